"""Running the real Pon_dex.exe under Wine for end-to-end tests.

The Wine environment (display, prefix, server, COM port paths) is prepared
by tools/wine-env.sh; ctest passes its folder in PONDEX_WINE_DIR and the
programs under test in PONDEX_EXE and PONDEX_WINTOOL.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
WINE_RUN = os.path.join(REPO, "cmake", "wine-run.sh")

SETTINGS = "Pon_dex_Settings.ini"
WINDOW_TITLE = "PON_DEX ["  # the full title is set late in the start-up


def wine_dir():
    return os.environ["PONDEX_WINE_DIR"]


def wine_prefix():
    return os.path.join(wine_dir(), "prefix")


def run_to_end(args, timeout, env=None):
    """Runs a Windows program to its end: its exit code, output and error output.

    The output goes through files, not pipes: a Wine helper process that the
    program starts on demand (the desktop's explorer) would inherit a pipe and
    keep it open long after the program ended."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run([WINE_RUN] + list(args), stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=timeout, env=env).returncode
        out.seek(0)
        err.seek(0)
        return code, out.read().decode("latin-1"), err.read().decode(errors="replace")


def wine(args, timeout=60, check=True):
    """Runs a Windows program to its end and returns its output."""
    code, out, err = run_to_end(args, timeout)
    if check and code != 0:
        raise AssertionError("%s failed (%d): %s" % (args, code, err))
    return out


def launch(args, log_path, env=None):
    """Starts a Windows program without waiting for it, its output appended to a file (see wine)."""
    with open(log_path, "ab") as log:
        return subprocess.Popen([WINE_RUN] + list(args), stdin=subprocess.DEVNULL, stdout=log, stderr=log, env=env)


def end(process):
    """Kills a process that still runs."""
    if process is not None and process.poll() is None:
        process.kill()
        process.wait(timeout=10)


def wintool(*args, timeout=60, check=True):
    """Runs wintool and returns its output.

    wintool ends every failure with a line on its error output. Exit 1 with no
    word at all came once in a few full runs on a loaded machine: Wine never
    started it (its own errors are silenced). That is tried once more, with
    Wine's errors shown, and reported either way."""
    command = [os.environ["PONDEX_WINTOOL"]] + [str(a) for a in args]
    code, out, err = run_to_end(command, timeout)
    if code != 0 and not out and not err:
        print("wintool %s: exit %d without a word from it; started again" % (args[0], code), file=sys.stderr)
        code, out, err = run_to_end(command, timeout, env=dict(os.environ, PONDEX_WINEDEBUG="-all,err+all"))
        if err:
            print(err[-2000:], file=sys.stderr)
    if check and code != 0:
        raise AssertionError("%s failed (%d): %s" % (command, code, err))
    return out


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return
        time.sleep(interval)
    raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what() if callable(what) else what))


class Program:
    """One copy of Pon_dex.exe in a folder of its own (its settings file lives beside it)."""

    def __init__(self, folder=None, settings=None):
        self.folder = folder or tempfile.mkdtemp(prefix="pondex-e2e-", dir=wine_dir())
        self.exe = os.path.join(self.folder, "Pon_dex.exe")
        if not os.path.exists(self.exe):
            shutil.copy(os.environ["PONDEX_EXE"], self.exe)
        if settings is not None:
            with open(self.settings_path, "wb") as f:
                f.write(settings)
        self.process = None

    @property
    def settings_path(self):
        return os.path.join(self.folder, SETTINGS)

    def settings(self):
        with open(self.settings_path, "rb") as f:
            return f.read()

    def setting(self, key):
        """The value of key (bytes, compared without letter case) in the settings file, or None."""
        for line in self.settings().split(b"\r\n"):
            name, sep, value = line.partition(b"=")
            if sep and name.strip().lower() == key.lower():
                return value.strip()
        return None

    def start(self):
        self.process = launch([self.exe], os.path.join(self.folder, "wine.log"))
        return self

    def start_and_wait_for_window(self, timeout=30):
        self.start()
        wintool("wait-window", WINDOW_TITLE, int(timeout * 1000), timeout=timeout + 10)
        return self

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def kill(self):
        end(self.process)

    def close(self):
        """Ends the program with its Zamknij button if it still runs, or kills it."""
        if self.running():
            wintool("click", WINDOW_TITLE, "Zamknij", check=False)
            try:
                self.wait_exit(10)
            except subprocess.TimeoutExpired:
                self.kill()


class ProgramTestCase(unittest.TestCase):
    """Ends every program a test started, whatever the outcome."""

    def program(self, **kwargs):
        p = Program(**kwargs)
        self.addCleanup(p.close)
        return p

    def start_receiving(self, settings):
        """Starts a program with these settings and a receiver with the focus, and presses START."""
        p = self.program(settings=settings).start_and_wait_for_window()
        receiver = Receiver(p.folder).start()
        self.addCleanup(receiver.stop)
        wintool("click", WINDOW_TITLE, "&START")
        return p, receiver


# ---- the instrument and the application being typed into ----

sys.path.insert(0, os.path.join(REPO, "tools"))
import scale_sim  # noqa: E402

LISTENING = b"SYGNA\xa3 ZEWNETRZNY"
HOT_KEYS = b"GOR\xa5CY KLAWISZ"


def settings_with(extra=None, **values):
    """The bytes of a settings file: keys from the dict `extra` as bytes (the Polish names), the others as
    keywords (underscores for blanks)."""
    pairs = dict(extra or {})
    pairs.update((k.replace("_", " ").encode("latin-1"), v) for k, v in values.items())
    lines = [b"[USTAWIENIA]"]
    for key, value in pairs.items():
        lines.append(key + b"=" + (value if isinstance(value, bytes) else str(value).encode("latin-1")))
    return b"\r\n".join(lines) + b"\r\n"


def com_port_path(n=1):
    """The path the Wine environment maps as COM<n>."""
    return os.path.join(wine_dir(), "com%d" % n)


def linux_to_wine_path(path):
    """A Linux path as Wine's Z: drive shows it."""
    return "Z:" + path.replace("/", "\\")


class Receiver:
    """receiver.exe: holds the focus and records every character typed into it."""

    def __init__(self, folder):
        self.log = os.path.join(folder, "typed.log")
        self.process = None

    def start(self, timeout=30):
        self.process = launch([os.environ["PONDEX_RECEIVER"], self.log], self.log + ".out")
        wait_until(lambda: os.path.exists(self.log + ".ready"), timeout, what="the receiver to take the focus")
        return self

    def records(self):
        """[(unix seconds, byte)] of every character received."""
        if not os.path.exists(self.log):
            return []
        result = []
        with open(self.log) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 2:
                    result.append((int(parts[0]) / 1e6, int(parts[1], 16)))
        return result

    def text(self):
        return bytes(b for _, b in self.records())

    def wait_for_text(self, expected, timeout=20):
        wait_until(lambda: self.text() == expected, timeout,
                   what=lambda: "the receiver to get %r (it has %r)" % (expected, self.text()))

    def stop(self):
        end(self.process)


# ---- the window as a person sees it ----


class Child:
    """One child window of the program's window, as wintool dump shows it."""

    def __init__(self, line):
        visible, rect, self.text = line.split("\t", 2)
        self.visible = visible == "1"
        self.x, self.y, self.width, self.height = (int(v) for v in rect.split(","))

    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2


def window_and_children(title=WINDOW_TITLE):
    raw = wintool("dump", title).encode("latin-1").decode("utf-8")
    # Wine's console turns each "\n" into "\r\n"; blanks at the end of a text are its own.
    lines = [Child(line.rstrip("\r")) for line in raw.split("\n") if line.strip("\r")]
    return lines[0], lines[1:]


def children(title=WINDOW_TITLE):
    """Every child window: visibility, screen rectangle and its text (GetWindowTextW)."""
    return window_and_children(title)[1]


def seen_in(window, c):
    """Whether a person can see the child: visible and inside the window's client area (not parked in the
    hidden holder)."""
    return (c.visible and c.width > 0 and window.x <= c.x and c.x + c.width <= window.x + window.width
            and window.y <= c.y and c.y + c.height <= window.y + window.height)


def on_screen(title=WINDOW_TITLE):
    """The children a person can see."""
    window, kids = window_and_children(title)
    return [c for c in kids if seen_in(window, c)]


def focused(title=WINDOW_TITLE):
    """The child with the keyboard focus, or None."""
    line = wintool("focus", title).encode("latin-1").decode("utf-8").rstrip("\r\n")
    return Child(line) if line else None


def keys(*names):
    """Presses keys into the window with the focus (see wintool keys)."""
    wintool("keys", *names)


def visible_texts(title=WINDOW_TITLE):
    return [c.text for c in on_screen(title) if c.text]


def display():
    with open(os.path.join(wine_dir(), "display")) as f:
        return f.read().strip()


def xdotool(*args):
    """Runs xdotool on the virtual display and returns its output."""
    return subprocess.run(["xdotool"] + [str(a) for a in args], env=dict(os.environ, DISPLAY=display()),
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=30).stdout


def click(text, rightmost=False, title=WINDOW_TITLE):
    """A real mouse click, on the virtual display, at the centre of the control on screen showing `text`
    (the rightmost of several, such as a section's label in the strip, when asked)."""
    matches = sorted((c for c in on_screen(title) if c.text == text), key=lambda c: c.x)
    if not matches or (len(matches) > 1 and not rightmost):
        raise AssertionError("%d controls on screen show %r" % (len(matches), text))
    xdotool("mousemove", "--sync", *matches[-1].centre(), "click", 1)


def file_texts(folder):
    """The contents of the data files in a folder, in no particular order."""
    result = []
    for name in glob.glob(os.path.join(folder, "*.txt")):
        with open(name, "rb") as f:
            result.append(f.read())
    return result
