"""The tray icon of the real program, through Wine's own tray window (there
is no tray manager on the virtual display): a double click shows the hidden
window, the menu's "Zamknij" ends the program and takes the icon away."""
import os
import subprocess
import unittest

from harness import ProgramTestCase, WINDOW_TITLE, display, wait_until, wintool

TRAY_WINDOW = "Wine System Tray"


def xdotool(*args):
    env = dict(os.environ, DISPLAY=display())
    return subprocess.run(["xdotool"] + [str(a) for a in args], env=env, capture_output=True, text=True,
                          timeout=30).stdout


def tray_windows():
    return [w for w in xdotool("search", "--onlyvisible", "--name", TRAY_WINDOW).split()]


def icon_centre():
    """Screen position of the first icon in the tray window."""
    wait_until(lambda: tray_windows(), 20, what="the tray icon")
    geometry = xdotool("getwindowgeometry", "--shell", tray_windows()[0])
    values = dict(line.split("=", 1) for line in geometry.split())
    return int(values["X"]) + 9, int(values["Y"]) + 9


def hide_window():
    wintool("close", WINDOW_TITLE)
    wait_until(lambda: wintool("visible", WINDOW_TITLE).strip() == "0", 10, what="the window to hide")
    # The display unmaps it a little later; clicks meanwhile would land on it.
    wait_until(lambda: not xdotool("search", "--onlyvisible", "--name", "PON_DEX").split(), 10,
               what="the window to leave the display")


class TrayIcon(ProgramTestCase):
    def test_a_double_click_shows_the_hidden_window(self):
        p = self.program().start_and_wait_for_window()
        x, y = icon_centre()
        hide_window()
        xdotool("mousemove", x, y, "click", 1, "sleep", 0.7)  # a single click does nothing
        self.assertEqual(wintool("visible", WINDOW_TITLE).strip(), "0")
        xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 80, 1)
        wait_until(lambda: wintool("visible", WINDOW_TITLE).strip() == "1", 10, what="the window to show")
        self.assertTrue(p.running())

    def test_zamknij_in_the_menu_ends_the_program_and_removes_the_icon(self):
        p = self.program(settings=b"[USTAWIENIA]\r\nPytanie=P\r\n").start_and_wait_for_window()
        x, y = icon_centre()
        hide_window()  # it lies over the tray window on this display
        xdotool("mousemove", x, y, "click", 3)
        # The menu opens at the mouse; "Zamknij" is its second item.
        xdotool("sleep", 0.5, "mousemove", x + 40, y + 28, "click", 1)
        self.assertEqual(p.wait_exit(30), 0)
        self.assertEqual(p.setting(b"Tarowanie"), b"T")
        wait_until(lambda: not tray_windows(), 10, what="the tray icon to go")


if __name__ == "__main__":
    unittest.main()
