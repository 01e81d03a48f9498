#!/usr/bin/env python3
"""Screenshots of the tray menu, the data panel, the XP-style button's looks and the refusal of a data folder,
under Wine at 96 DPI.

    tools/shell_shots.py [OUT_DIR]      (default: docs/)

Builds nothing: it runs build/mingw/app/Pon_dex.exe and build/mingw/tools/win/{wintool,button_states}.exe
(build them with `cmake --build --preset mingw`). It starts a Wine environment of its own in build/shots
and writes:
  tray-menu-96dpi.png       the tray menu, opened by a right click on Wine's tray window
  panel-96dpi.png           the data panel with a few frames from the scale simulator on COM1
  button-states-96dpi.png   normal, focused, hover, pressed and disabled, left to right
  folder-refused-96dpi.png  "C:\\Dane\\Łódź\\" chosen in the folder browser, which the ANSI code page 1252 cannot spell
"""
import os
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(REPO, "build", "mingw")
SHOTS_ENV = os.path.join(REPO, "build", "shots")
CONVERT = "/usr/bin/convert"  # another "convert" may come first in PATH

os.environ.setdefault("PONDEX_WINE_DIR", SHOTS_ENV)
os.environ.setdefault("PONDEX_EXE", os.path.join(BUILD, "app", "Pon_dex.exe"))
os.environ.setdefault("PONDEX_WINTOOL", os.path.join(BUILD, "tools", "win", "wintool.exe"))
BUTTON_STATES = os.path.join(BUILD, "tools", "win", "button_states.exe")
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))

import harness  # noqa: E402
from window_shots import close, run_in_shots_environment, set_dpi  # noqa: E402

FRAMES = [b"S S      12.345 kg\r\n", b"S S       0.870 kg\r\n", b"S D     104.500 kg\r\n", b"S S       7.125 kg\r\n"]
BUTTON_STATES_TITLE = "Pon_dex button states"
MARGIN = 4  # pixels of background kept around each button


def xdotool(*args):
    env = dict(os.environ, DISPLAY=harness.display())
    # Not checked: a search that finds nothing ends with status 1.
    return subprocess.run(["xdotool"] + [str(a) for a in args], env=env, capture_output=True, text=True,
                          timeout=30).stdout


def geometry(x_window):
    values = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", x_window).split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def grab(path, x, y, width, height):
    time.sleep(0.4)  # let the last repaint reach the display
    subprocess.run(["import", "-display", harness.display(), "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (width, height, x, y), "+repage", path], check=True, stdin=subprocess.DEVNULL)


def tray_menu(out):
    program = harness.Program().start_and_wait_for_window()
    try:
        harness.wait_until(lambda: xdotool("search", "--onlyvisible", "--name", "Wine System Tray").split(), 20,
                           what="the tray icon")
        tray = xdotool("search", "--onlyvisible", "--name", "Wine System Tray").split()[0]
        # The settings window lies over the tray window on this display.
        harness.wintool("close", harness.WINDOW_TITLE)
        harness.wait_until(lambda: not xdotool("search", "--onlyvisible", "--name", "PON_DEX").split(), 10,
                           what="the window to leave the display")
        x, y, _, _ = geometry(tray)
        xdotool("mousemove", "--sync", x + 9, y + 9, "click", 3)
        time.sleep(0.5)
        grab(os.path.join(out, "tray-menu-96dpi.png"), max(x - 4, 0), max(y - 4, 0), 170, 78)
        xdotool("key", "Escape")
    finally:
        close(program)


def data_panel(out):
    scale = harness.scale_sim.ScaleSimulator(link=harness.com_port_path(1), baud=9600, log_stream=None).start()
    program = harness.Program(settings=harness.settings_with({harness.LISTENING: 1}, NR_PORTU=1, ZMIANA=1, TEKST=-1))
    program.start_and_wait_for_window()
    try:
        harness.click("Plik", rightmost=True)
        harness.wait_until(lambda: "Panel" in harness.visible_texts(), 10, what="the file section")
        harness.click("Panel")
        harness.wintool("wait-window", "Panel", 20000, timeout=30)
        harness.wait_until(lambda: scale.serial_open, 20, what="the serial port to open")
        for frame in FRAMES:
            scale.send(frame)
            time.sleep(0.4)  # each frame its own transmission
        expected = len(FRAMES)
        harness.wait_until(lambda: harness.wintool("edit-text", "Panel").count("\r\n") >= expected, 20,
                           what="the frames in the panel")
        panel = xdotool("search", "--onlyvisible", "--name", "^Panel$").split()[0]
        grab(os.path.join(out, "panel-96dpi.png"), *geometry(panel))
        harness.wintool("close", "Panel")
    finally:
        close(program)
        scale.stop()


def button_states(out):
    log = open(os.path.join(SHOTS_ENV, "button_states.log"), "ab")
    process = subprocess.Popen([harness.WINE_RUN, BUTTON_STATES], stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    log.close()
    try:
        harness.wintool("wait-window", BUTTON_STATES_TITLE, 20000, timeout=30)
        buttons = {c.text: c for c in harness.children(BUTTON_STATES_TITLE)}
        with tempfile.TemporaryDirectory() as work:
            def crop(name):
                b = buttons[name]
                path = os.path.join(work, name + ".png")
                grab(path, b.x - MARGIN, b.y - MARGIN, b.width + 2 * MARGIN, b.height + 2 * MARGIN)
                return path

            pictures = {}
            hx, hy = buttons["Hover"].centre()
            xdotool("mousemove", "--sync", hx, hy)
            for name in ("Normal", "Focused", "Hover", "Disabled"):
                pictures[name] = crop(name)
            # A press without its release; the release happens away from the button, so nothing is clicked.
            px, py = buttons["Pressed"].centre()
            xdotool("mousemove", "--sync", px, py, "mousedown", 1)
            pictures["Pressed"] = crop("Pressed")
            xdotool("mousemove", "--sync", px, py + 200, "mouseup", 1)
            order = ["Normal", "Focused", "Hover", "Pressed", "Disabled"]
            subprocess.run([CONVERT] + [pictures[n] for n in order] + ["+append", os.path.join(out,
                           "button-states-96dpi.png")], check=True, stdin=subprocess.DEVNULL)
    finally:
        harness.wintool("close", BUTTON_STATES_TITLE, check=False)
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()


def folder_refused(out):
    os.makedirs(os.path.join(harness.wine_prefix(), "drive_c", "Dane", "Łódź"), exist_ok=True)
    program = harness.Program().start_and_wait_for_window()
    try:
        harness.wintool("click", harness.WINDOW_TITLE, "Zmień")
        harness.wintool("browse", harness.WINDOW_TITLE, "C:\\Dane\\Łódź", timeout=40)
        harness.wintool("dialog", harness.WINDOW_TITLE, 20000, timeout=40)
        rect = [int(v) for v in harness.wintool("dialog-rect", harness.WINDOW_TITLE).split()]
        grab(os.path.join(out, "folder-refused-96dpi.png"), *rect)
        harness.wintool("dialog-press", harness.WINDOW_TITLE, 1)
    finally:
        close(program)


def main():
    def take(out):
        set_dpi(96)
        tray_menu(out)
        data_panel(out)
        button_states(out)
        folder_refused(out)

    run_in_shots_environment(take)


if __name__ == "__main__":
    main()
