#!/usr/bin/env python3
"""End-to-end figures of the keyboard wedge under Wine (a benchmark, not a test).

For each program given (this build, and with --compare an older
Pon_dex.exe, run one after the other on the same machine) it measures:

1. The window's answer time while listening on a silent serial port: round
   trips of a null message sent from another process (wintool ping), median,
   90th percentile and maximum (aim: every answer within 50 ms, median at
   most 5 ms).
2. Frames from the scale simulator at 9600 baud, 1.5 s apart: the delay of
   the first character typed after the frame's first byte left, and of the
   end-of-frame key (Tab) after its last byte (aim: median at most 150 ms,
   maximum at most 250 ms).
3. The CPU share of the program, idle with its window shown and the port
   closed, and idle while listening on a silent port, next to that of an
   idle Win32 window (the receiver), each over --idle seconds; the Wine
   server's share in the same span follows in brackets (aim: at most 2 % of
   one core).
4. Throughput: a continuous stream of weight lines at 19200 baud for
   --seconds, typed into the receiver with Tab as the end-of-frame key
   (every character, in order, then exactly one Tab, is the only good
   answer; the Tabs typed are counted).
5. Bursts of lines sent back to back at 9600 baud (1 s each, 1.5 s apart):
   the delay of the first character typed after the burst's first byte,
   and of the end-of-frame key (Tab) after its last byte.
6. The read hot key (F9) held for 600 ms while the scale sends a line every
   80 ms: the delay from the press to the command's arrival at the scale
   (aim: within 500 ms; "never" when it did not come while the key was held).

Run after the MinGW build (tools/dev.sh test builds it):
    python3 bench/bench_wedge.py [--compare OLD/Pon_dex.exe] [--seconds 30] [--frames 20] [--idle 10]
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
BUILD = os.path.join(REPO, "build", "mingw")
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
os.environ.setdefault("PONDEX_WINE_DIR", os.path.join(BUILD, "wine"))
os.environ.setdefault("PONDEX_EXE", os.path.join(BUILD, "app", "Pon_dex.exe"))
os.environ.setdefault("PONDEX_WINTOOL", os.path.join(BUILD, "tools", "win", "wintool.exe"))
os.environ.setdefault("PONDEX_RECEIVER", os.path.join(BUILD, "tools", "win", "receiver.exe"))

from harness import HOT_KEYS, LISTENING, Program, Receiver, WINDOW_TITLE, com_port_path, scale_sim, settings_with  # noqa: E402
from harness import wait_until, wintool  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(needle):
    """User and system CPU time of every process whose command line holds needle; for "wineserver", the
    server of this benchmark's Wine prefix only (other prefixes may be busy meanwhile)."""
    prefix = b"WINEPREFIX=" + os.path.join(os.environ["PONDEX_WINE_DIR"], "prefix").encode() + b"\0"
    total = 0
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if needle.encode() not in f.read():
                    continue
            if needle == "wineserver":
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if prefix not in f.read():
                        continue
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            continue
    return total / TICKS


def cpu_share(needle, seconds):
    """(share of one core used by the matching processes, and by the Wine server) over seconds."""
    program, server = cpu_seconds(needle), cpu_seconds("wineserver")
    time.sleep(seconds)
    return (100 * (cpu_seconds(needle) - program) / seconds, 100 * (cpu_seconds("wineserver") - server) / seconds)


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def run_program(settings):
    program = Program(settings=settings).start_and_wait_for_window()
    receiver = Receiver(program.folder).start()
    wintool("click", WINDOW_TITLE, "&START")
    return program, receiver


def close(program, receiver):
    wintool("click", WINDOW_TITLE, "Zamknij", check=False)
    try:
        program.wait_exit(20)
    except subprocess.TimeoutExpired:
        program.kill()
    receiver.stop()


def throughput(seconds):
    """'all N characters, in order, then K end keys' or what went wrong."""
    scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=19200, weight=12.345, log_stream=None).start()
    speed = b"PR\xcaDKO\x8c\xc6"
    program, receiver = run_program(settings_with({LISTENING: 1, speed: 19200}, NR_PORTU=1, ZMIANA=0,
                                                  Koniec_ramki=1))
    try:
        wait_until(lambda: scale.serial_open, 30, what="the port to open")
        scale.set_stream(True)
        time.sleep(seconds)
        scale.set_stream(False)
        scale.wait_sent("serial", 10)
        sent = scale.sent("serial")
        # Let the program type what is still on its way.
        last = -1
        while len(receiver.text()) != last:
            last = len(receiver.text())
            time.sleep(2)
        typed = receiver.text()
    finally:
        close(program, receiver)
        scale.stop()
    tabs = typed.count(b"\t")
    typed = typed.replace(b"\t", b"")
    if typed == sent:
        return "all %d, in order, then %d end key%s" % (len(sent), tabs, "" if tabs == 1 else "s")
    i = next((i for i, (a, b) in enumerate(zip(sent, typed)) if a != b), min(len(sent), len(typed)))
    return "MISMATCH: %d sent, %d typed, first difference at %d; %d end keys" % (len(sent), len(typed), i, tabs)


def back_to_back(bursts):
    """Bursts of lines sent back to back: first character and end-of-frame key delays, ms."""
    scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, weight=1.0, log_stream=None).start()
    program, receiver = run_program(settings_with({LISTENING: 1}, NR_PORTU=1, ZMIANA=0, CR=0, LF=0,
                                                  Koniec_ramki=1))
    first, last = [], []
    try:
        wait_until(lambda: scale.serial_open, 30, what="the port to open")
        time.sleep(2)
        for _ in range(bursts):
            before = len(receiver.records())
            sent_at = time.time()
            scale.play([b"S S       1.000 kg\r\n"] * 48, 0)  # 1 s at 9600 baud, no pause
            wait_until(lambda: not scale.playing, 10, what="the burst to be queued")
            scale.wait_sent("serial", 10)
            last_byte = time.time()
            wait_until(lambda: any(b == 0x09 for _, b in receiver.records()[before:]), 10, what="the Tab")
            records = receiver.records()[before:]
            first.append((records[0][0] - sent_at) * 1000)
            last.append((next(t for t, b in records if b == 0x09) - last_byte) * 1000)
            time.sleep(1.5)
    finally:
        close(program, receiver)
        scale.stop()
    return first, last


def idle_shown(idle):
    """CPU share with the window shown and the port closed (nothing started)."""
    program = Program(settings=settings_with(NR_PORTU=1)).start_and_wait_for_window()
    try:
        time.sleep(2)
        return cpu_share(program.folder, idle)
    finally:
        program.close()


def listening(idle, frames):
    """On a silent port: CPU share and answer times; then frames: first character and end-of-frame delays."""
    scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, weight=1.0, log_stream=None).start()
    program, receiver = run_program(settings_with({LISTENING: 1}, NR_PORTU=1, ZMIANA=0, CR=0, LF=0,
                                                  Koniec_ramki=1))
    result = {}
    try:
        wait_until(lambda: scale.serial_open, 30, what="the port to open")
        time.sleep(2)
        result["cpu"] = cpu_share(program.folder, idle)
        answers = wintool("ping", WINDOW_TITLE, 50, 100, timeout=300, check=False)
        result["answers"] = [float("inf") if a == "none" else float(a) for a in answers.split()]
        first, last = [], []
        for _ in range(frames):
            before = len(receiver.records())
            sent_at = time.time()
            scale.send(b"S S       1.000 kg\r\n")
            scale.wait_sent("serial", 5)
            last_byte = time.time()
            wait_until(lambda: any(b == 0x09 for _, b in receiver.records()[before:]), 10, what="the Tab")
            records = receiver.records()[before:]
            first.append((records[0][0] - sent_at) * 1000)
            last.append((next(t for t, b in records if b == 0x09) - last_byte) * 1000)
            time.sleep(1.5)
        result["first"], result["end"] = first, last
    finally:
        close(program, receiver)
        scale.stop()
    return result


def idle_window(idle):
    """CPU share of a plain idle Win32 window: the receiver, alone."""
    folder = Program().folder
    receiver = Receiver(folder).start()
    try:
        time.sleep(2)
        return cpu_share(os.environ["PONDEX_RECEIVER"], idle)
    finally:
        receiver.stop()


def hot_key_delays(presses):
    """ms from pressing F9 to the command reaching the scale, while the scale streams."""
    scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, weight=1.0, log_stream=None).start()
    program, receiver = run_program(settings_with({LISTENING: 1, HOT_KEYS: 1}, NR_PORTU=1, ZMIANA=0,
                                                  Koniec_ramki=2, LF=0))
    delays = []
    try:
        wait_until(lambda: scale.serial_open, 30, what="the port to open")
        scale.play([b"S D      10.100 kg\r\n"], 0.08, repeat=True)
        time.sleep(1)
        for _ in range(presses):
            scale.clear_received("serial")
            pressed = time.time()
            wintool("key", 0x78, 600)
            released = time.time()
            arrivals = [r.time for r in scale.log_records()
                        if r.direction == "RX" and r.channel == "serial" and pressed <= r.time <= released]
            delays.append((arrivals[0] - pressed) * 1000 if arrivals else float("inf"))
            time.sleep(0.5)
        scale.play([], 0)
    finally:
        close(program, receiver)
        scale.stop()
    return delays


def measure(exe, args):
    os.environ["PONDEX_EXE"] = exe
    figures = {"shown": idle_shown(args.idle)}
    figures.update(listening(args.idle, args.frames))
    figures["stream"] = throughput(args.seconds)
    figures["burst first"], figures["burst end"] = back_to_back(args.frames)
    figures["hot key"] = hot_key_delays(args.frames)
    return figures


def cpu_text(share):
    return "%.1f %% (server %.1f %%)" % share


def delays_text(values):
    text = "median %.0f, max %.0f ms" % (statistics.median(values), max(values))
    return text.replace("inf", "never")


def report(runs, reference):
    names = list(runs)
    rows = [
        ("window answer, listening", lambda f: "median %.1f, p90 %.1f, max %.1f ms" % (
            statistics.median(f["answers"]), percentile(f["answers"], 90), max(f["answers"]))),
        ("first character after its byte", lambda f: delays_text(f["first"])),
        ("end-of-frame key after last byte", lambda f: delays_text(f["end"])),
        ("19200 baud stream", lambda f: f["stream"]),
        ("back to back: first character", lambda f: delays_text(f["burst first"])),
        ("back to back: end key after last byte", lambda f: delays_text(f["burst end"])),
        ("F9 held in a stream: command at the scale", lambda f: delays_text(f["hot key"])),
        ("CPU idle, shown, port closed", lambda f: cpu_text(f["shown"])),
        ("CPU idle, listening", lambda f: cpu_text(f["cpu"])),
    ]
    width = max(len(r[0]) for r in rows) + 2
    columns = [max(40, len(n) + 2) for n in names]
    print("".ljust(width) + "".join(n.ljust(c) for n, c in zip(names, columns)))
    for label, cell in rows:
        print(label.ljust(width) + "".join(cell(runs[n]).ljust(c) for n, c in zip(names, columns)))
    print("CPU of an idle Win32 window".ljust(width) + cpu_text(reference))
    for n in names:
        f = runs[n]
        print("\n%s, every frame (first character / end-of-frame key), ms:" % n)
        print("  " + " ".join("%.0f/%.0f" % pair for pair in zip(f["first"], f["end"])))
        print("  answers, ms: " + " ".join("%.1f" % a for a in f["answers"]))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--compare", help="an older Pon_dex.exe measured the same way, before this build")
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--frames", type=int, default=20)
    parser.add_argument("--idle", type=float, default=10)
    args = parser.parse_args()
    if args.frames < 20:
        parser.error("--frames: a median and a maximum need at least 20 frames")
    env = os.path.join(REPO, "tools", "wine-env.sh")
    subprocess.run([env, "start", os.environ["PONDEX_WINE_DIR"], os.environ["PONDEX_WINTOOL"]], check=True,
                   stdout=subprocess.DEVNULL)
    exes = {}
    if args.compare:
        exes["compared (%s)" % os.path.basename(os.path.dirname(os.path.abspath(args.compare)))] = args.compare
    exes["this build"] = os.environ["PONDEX_EXE"]
    try:
        runs = {name: measure(exe, args) for name, exe in exes.items()}
        reference = idle_window(args.idle)
    finally:
        subprocess.run([env, "stop", os.environ["PONDEX_WINE_DIR"]], check=False)
    report(runs, reference)
    return 0 if all(r["stream"].startswith("all") and r["stream"].endswith("1 end key") for r in runs.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
