#!/usr/bin/env python3
"""Screenshots of the settings window under Wine, at 96 and 144 DPI.

    tools/window_shots.py [OUT_DIR]      (default: docs/)

Builds nothing: it runs build/mingw/app/Pon_dex.exe and build/mingw/tools/win/wintool.exe
(build them with `cmake --build --preset mingw`). It starts a Wine environment of its own in
build/shots, and for each DPI (HKCU\\Control Panel\\Desktop\\LogPixels) takes the strip alone,
each of the five sections, the frame section with both weight boxes ticked, the parity
selector open (clicking as a person would), the focus mark on a section label and on a
button (reached with Tab), and the status line shown when the settings file cannot be
written. Each picture is cropped to the
window's client area: window-<dpi>-<name>.png.
"""
import os
import subprocess
import sys
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(REPO, "build", "mingw")
SHOTS_ENV = os.path.join(REPO, "build", "shots")

os.environ.setdefault("PONDEX_WINE_DIR", SHOTS_ENV)
os.environ.setdefault("PONDEX_EXE", os.path.join(BUILD, "app", "Pon_dex.exe"))
os.environ.setdefault("PONDEX_WINTOOL", os.path.join(BUILD, "tools", "win", "wintool.exe"))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))

import harness  # noqa: E402

SECTIONS = [("polaczenie", "Połączenie"), ("transmisja", "Transmisja"), ("ramka", "Ramka"),
            ("zdarzenia", "zdarzenia"), ("plik", "Plik")]


def set_dpi(dpi):
    harness.wine(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                  "/f"])


def shot(path):
    window, _ = harness.window_and_children()
    time.sleep(0.3)  # let the last repaint reach the display
    subprocess.run(["import", "-display", harness.display(), "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (window.width, window.height, window.x, window.y), "+repage", path],
                   check=True, stdin=subprocess.DEVNULL)


def close(program):
    harness.wintool("click", harness.WINDOW_TITLE, "Zamknij", check=False)
    try:
        program.wait_exit(10)
    except subprocess.TimeoutExpired:
        program.kill()


def tab_to(text):
    """Presses Tab until the control showing `text` has the focus."""
    for _ in range(30):
        harness.keys("tab")
        now = harness.focused()
        if now is not None and now.text == text:
            return
    raise AssertionError("Tab never reached %r" % text)


def shoot(dpi, out):
    set_dpi(dpi)
    program = harness.Program().start_and_wait_for_window()
    try:
        harness.wait_until(lambda: "Konfiguracja" in harness.visible_texts(), 20, what="the strip")
        shot(os.path.join(out, "window-%d-strip.png" % dpi))
        harness.wintool("activate", harness.WINDOW_TITLE)
        tab_to("Połączenie")
        harness.keys("enter")
        shot(os.path.join(out, "window-%d-focus-label.png" % dpi))
        tab_to("&START")
        shot(os.path.join(out, "window-%d-focus-button.png" % dpi))
        for name, label in SECTIONS:
            harness.click(label, rightmost=True)
            time.sleep(0.3)
            shot(os.path.join(out, "window-%d-%s.png" % (dpi, name)))
        # The two weight boxes ticked: the second is enabled once the first is on.
        harness.click("Ramka", rightmost=True)
        harness.wait_until(lambda: "Tylko liczba" in harness.visible_texts(), 10, what="the frame section")
        harness.click("Tylko liczba")
        harness.wait_until(lambda: program.setting(b"TYLKO WAGA") == b"1", 10, what="TYLKO WAGA=1")
        harness.click("Tylko ustalone, raz na ważenie")
        harness.wait_until(lambda: program.setting(b"TYLKO STABILNA") == b"1", 10, what="TYLKO STABILNA=1")
        shot(os.path.join(out, "window-%d-ramka-wagi.png" % dpi))
        harness.click("Połączenie", rightmost=True)
        harness.click("parzystość")
        harness.wait_until(lambda: "E" in harness.visible_texts(), 10, what="the parity selector")
        shot(os.path.join(out, "window-%d-selector.png" % dpi))
    finally:
        close(program)
    # A settings file that cannot be written: the status line.
    program = harness.Program()
    os.mkdir(program.settings_path)
    program.start_and_wait_for_window()
    try:
        harness.wait_until(lambda: "Konfiguracja" in harness.visible_texts(), 20, what="the strip")
        shot(os.path.join(out, "window-%d-unwritable.png" % dpi))
    finally:
        close(program)


def run_in_shots_environment(take):
    """Starts the screenshots' own Wine environment, calls take(out_dir) and stops it again."""
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "docs"))
    os.makedirs(out, exist_ok=True)
    env_script = os.path.join(REPO, "tools", "wine-env.sh")
    subprocess.run([env_script, "start", SHOTS_ENV, os.environ["PONDEX_WINTOOL"]], check=True)
    try:
        take(out)
    finally:
        set_dpi(96)
        subprocess.run([env_script, "stop", SHOTS_ENV], check=False)
    print("screenshots in", out)


def main():
    def take(out):
        for dpi in (96, 144):
            shoot(dpi, out)

    run_in_shots_environment(take)


if __name__ == "__main__":
    main()
