#!/usr/bin/env python3
"""End-to-end figures of the keyboard wedge under Wine (a benchmark, not a test).

1. Throughput: the scale simulator sends a continuous stream of weight lines
   at 19200 baud for 30 seconds on the pty mapped as COM1; the real
   Pon_dex.exe types them into the receiver window. Reports how many
   characters were sent and how many arrived (all of them is the only good
   answer).
2. End-of-frame delay: single weight lines; reports the median and the
   maximum time from the last byte of a frame leaving the simulator to the
   end-of-frame key (Tab) arriving in the receiver (at least 20 frames;
   aim: median at most 500 ms, maximum at most 600 ms).

Run after the MinGW build (tools/dev.sh test builds it):
    python3 bench/bench_wedge.py [--seconds 30] [--frames 20]
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

from harness import LISTENING, Program, Receiver, WINDOW_TITLE, com_port_path, scale_sim, settings_with  # noqa: E402
from harness import wait_until, wintool  # noqa: E402


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
    scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=19200, weight=12.345, log_stream=None).start()
    speed = b"PR\xcaDKO\x8c\xc6"
    program, receiver = run_program(settings_with({LISTENING: 1, speed: 19200}, NR_PORTU=1, ZMIANA=0,
                                                  Koniec_ramki=2))
    try:
        wait_until(lambda: scale.serial_open, 30, what="the port to open")
        scale.set_stream(True)
        started = time.monotonic()
        time.sleep(seconds)
        scale.set_stream(False)
        scale.wait_sent("serial", 10)
        sent_for = time.monotonic() - started
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
    print("throughput: %d characters sent in %.1f s at 19200 baud (%.0f characters/s); %d arrived; %s" %
          (len(sent), sent_for, len(sent) / sent_for, len(typed),
           "all of them, in order" if typed == sent else "MISMATCH"))
    if typed != sent:
        i = next((i for i, (a, b) in enumerate(zip(sent, typed)) if a != b), min(len(sent), len(typed)))
        print("  first difference at character %d: sent %r, typed %r" % (i, sent[i - 20:i + 20], typed[i - 20:i + 20]))
    return typed == sent


def end_of_frame_delay(frames):
    scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, weight=1.0, log_stream=None).start()
    program, receiver = run_program(settings_with({LISTENING: 1}, NR_PORTU=1, ZMIANA=0, CR=0, LF=0,
                                                  Koniec_ramki=1))
    delays = []
    try:
        wait_until(lambda: scale.serial_open, 30, what="the port to open")
        for _ in range(frames):
            before = len(receiver.records())
            scale.send(b"S S       1.000 kg\r\n")
            scale.wait_sent("serial", 5)
            last_byte = time.time()
            wait_until(lambda: any(b == 0x09 for _, b in receiver.records()[before:]), 10, what="the Tab")
            tab_time = next(t for t, b in receiver.records()[before:] if b == 0x09)
            delays.append((tab_time - last_byte) * 1000)
            time.sleep(1.0)
    finally:
        close(program, receiver)
        scale.stop()
    median, worst = statistics.median(delays), max(delays)
    print("end-of-frame delay over %d frames: median %.0f ms, min %.0f ms, max %.0f ms (%s)" %
          (len(delays), median, min(delays), worst,
           "within 500/600 ms" if median <= 500 and worst <= 600 else "SLOWER than 500/600 ms"))
    print("  every frame, ms: " + " ".join("%.0f" % d for d in delays))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--frames", type=int, default=20)
    args = parser.parse_args()
    if args.frames < 20:
        parser.error("--frames: a median and a maximum need at least 20 frames")
    env = os.path.join(REPO, "tools", "wine-env.sh")
    subprocess.run([env, "start", os.environ["PONDEX_WINE_DIR"], os.environ["PONDEX_WINTOOL"]], check=True,
                   stdout=subprocess.DEVNULL)
    try:
        ok = throughput(args.seconds)
        end_of_frame_delay(args.frames)
    finally:
        subprocess.run([env, "stop", os.environ["PONDEX_WINE_DIR"]], check=False)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
