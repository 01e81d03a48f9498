"""The "A" functions Pon_dex.exe imports, read from its import table.

Every text and path goes through the "W" functions. An "A" import is allowed
only where bytes are meant (the serial line's mode text, the keystrokes of
the instrument's data) or where the static C and C++ runtime makes the call
with no text of ours; any other makes this test fail.

    check_imports.py OBJDUMP EXE
"""
import subprocess
import sys

ALLOWED = {
    # The serial line: the mode text ("9600,N,8,1") is ASCII.
    "BuildCommDCBA": "serial mode text",
    # The keystrokes: the instrument's bytes are typed in the ANSI code page.
    "VkKeyScanA": "keystrokes",
    "CharToOemA": "keystrokes",
    "MapVirtualKeyA": "keystrokes",
    "IsCharAlphaA": "keystrokes",
    "IsCharUpperA": "keystrokes",
    "CharLowerBuffA": "keystrokes",
    "CharUpperBuffA": "keystrokes",
    # The runtime: the start-up code (crt2), the threads library (unnamed
    # events and semaphores, a debug trace, a look-up of kernel32.dll) and
    # the messages of std::system_error.
    "GetStartupInfoA": "runtime",
    "CreateEventA": "runtime",
    "CreateSemaphoreA": "runtime",
    "OutputDebugStringA": "runtime",
    "GetModuleHandleA": "runtime",
    "FormatMessageA": "runtime",
}


def imports(objdump, exe):
    """[(dll, function)] of the import table."""
    out = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    result = []
    dll = None
    for line in out.splitlines():
        fields = line.split()
        if line.strip().startswith("DLL Name:"):
            dll = fields[-1]
        elif dll and len(fields) == 3 and fields[1].isdigit():
            try:
                int(fields[0], 16)
            except ValueError:
                continue
            result.append((dll, fields[2]))
    return result


def main():
    objdump, exe = sys.argv[1:3]
    table = imports(objdump, exe)
    if not any(function == "CreateFileW" for _, function in table):
        print("no import table read from %s (CreateFileW missing)" % exe)
        return 1
    ansi = sorted((dll, f) for dll, f in table if f.endswith("A"))
    unexpected = [(dll, f) for dll, f in ansi if f not in ALLOWED]
    for dll, f in ansi:
        print("%-14s %-22s %s" % (dll, f, ALLOWED.get(f, "NOT ALLOWED")))
    if unexpected:
        print("\n%d \"A\" import(s) not allowed: %s" % (len(unexpected), ", ".join(f for _, f in unexpected)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
