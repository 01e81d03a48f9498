"""The shell of the real program under Wine, with real mouse and keys on the
virtual display: the data panel opened from the file section, F1 starting the
help program, and the automatic START of file output."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

from harness import (LISTENING, ProgramTestCase, Receiver, WINDOW_TITLE, click, com_port_path, display, file_texts,
                     linux_to_wine_path, scale_sim, settings_with, visible_texts, wait_until, window_and_children,
                     wine_dir, wintool)
from test_tray import hide_window, icon_centre

PANEL = "Panel"
HELP_TITLE = "Pon_dex - "  # then "Pomoc" or "Help"


def xdotool(*args):
    env = dict(os.environ, DISPLAY=display())
    return subprocess.run(["xdotool"] + [str(a) for a in args], env=env, capture_output=True, text=True,
                          timeout=30).stdout


def x_windows(name):
    """The visible X windows whose name matches the regular expression."""
    return xdotool("search", "--onlyvisible", "--name", name).split()


def focus_settings_window():
    """Gives the settings window the X focus and activates it with a click on its title label."""
    window = x_windows("^PON_DEX \\[")[0]
    xdotool("windowfocus", "--sync", window)
    click("Konfiguracja")


def panel_text():
    return wintool("edit-text", PANEL).encode("latin-1").decode("utf-8")[:-1]  # wintool adds one "\n"


def panel_selection():
    return tuple(int(v) for v in wintool("edit-selection", PANEL).split())


def panel_box_checked():
    return wintool("checked", WINDOW_TITLE, PANEL).strip()


class WithScale(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, log_stream=None).start()
        self.addCleanup(self.scale.stop)


class DataPanel(WithScale):
    def open_panel(self):
        p = self.program(settings=settings_with({LISTENING: 1}, NR_PORTU=1, ZMIANA=1, TEKST=-1,
                                           Koniec_ramki=0))
        p.start_and_wait_for_window()
        click("Plik", rightmost=True)
        wait_until(lambda: PANEL in visible_texts(), 10, what="the file section")
        self.assertEqual(panel_box_checked(), "0")
        click(PANEL)
        wintool("wait-window", PANEL, 20000, timeout=30)
        # The port opens with the panel: no START is needed.
        wait_until(lambda: self.scale.serial_open, 20, what="the program to open the serial port")
        return p

    def test_frames_are_appended_at_the_end_wherever_the_caret_is(self):
        p = self.open_panel()
        self.assertEqual(panel_box_checked(), "1")
        self.scale.send(b"1.000 kg\r\n")
        wait_until(lambda: panel_text() == "1,000 kg\r\n", 20, what=lambda: "the first frame (%r)" % panel_text())
        self.scale.send(b"22.500 kg\r\n")
        first_two = "1,000 kg\r\n22,500 kg\r\n"
        wait_until(lambda: panel_text() == first_two, 20, what=lambda: "the second frame (%r)" % panel_text())

        # The user clicks into the first line, a few characters in.
        edit = next(c for c in window_and_children(PANEL)[1] if c.text != "Save")
        xdotool("mousemove", "--sync", edit.x + 30, edit.y + 10, "click", 1)
        wait_until(lambda: panel_selection()[0] < len("1,000 kg"), 10,
                   what=lambda: "the caret in the first line (%r)" % (panel_selection(),))

        self.scale.send(b"333.000 kg\r\n")
        wait_until(lambda: panel_text() != first_two, 20, what="the third frame")
        time.sleep(0.3)  # the frame may arrive in more than one piece
        self.assertEqual(panel_text(), first_two + "333,000 kg\r\n")
        self.assertTrue(p.running())

    def test_closing_the_panel_unchecks_the_box_and_data_are_typed_again(self):
        p = self.open_panel()
        self.scale.send(b"1.000 kg\r\n")
        wait_until(lambda: panel_text() == "1,000 kg\r\n", 20, what=lambda: "the frame (%r)" % panel_text())

        panel = x_windows("^Panel$")[0]
        xdotool("windowfocus", "--sync", panel, "key", "alt+F4")
        wait_until(lambda: wintool("count", PANEL).strip() == "0", 10, what="the panel to close")
        wait_until(lambda: panel_box_checked() == "0", 10, what="the Panel box to be unchecked")
        # The settings window takes clicks again.
        click("Ramka", rightmost=True)
        wait_until(lambda: "Dane numeryczne" in visible_texts(), 10, what="the frame section")

        receiver = Receiver(p.folder).start()
        self.addCleanup(receiver.stop)
        self.scale.send(b"2.000 kg\r\n")
        receiver.wait_for_text(b"2,000 kg\r\n\r")
        self.assertEqual(wintool("count", PANEL).strip(), "0")


class HelpProgram(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.addCleanup(lambda: wintool("close", HELP_TITLE, check=False))

    def program_with_help(self):
        p = self.program()
        shutil.copy(os.environ["PONDEX_HELP"], os.path.join(p.folder, "pondex_help.exe"))
        return p.start_and_wait_for_window()

    def test_f1_starts_the_help_program_beside_the_program(self):
        p = self.program_with_help()
        focus_settings_window()
        xdotool("key", "F1")
        wintool("wait-window", HELP_TITLE, 20000, timeout=30)
        self.assertEqual(wintool("visible", HELP_TITLE).strip(), "1")
        self.assertTrue(p.running())

    def test_the_tray_menu_starts_the_help_program(self):
        p = self.program_with_help()
        x, y = icon_centre()
        hide_window()  # it lies over the tray window on this display
        xdotool("mousemove", x, y, "click", 3)
        # The menu opens at the mouse; the help item is its third.
        xdotool("sleep", 0.5, "mousemove", x + 40, y + 45, "click", 1)
        wintool("wait-window", HELP_TITLE, 20000, timeout=30)
        self.assertTrue(p.running())
        self.assertEqual(wintool("visible", WINDOW_TITLE).strip(), "0", "the settings window stays hidden")

    def test_f1_without_the_help_program_changes_nothing_on_screen(self):
        p = self.program()
        self.assertFalse(os.path.exists(os.path.join(p.folder, "pondex_help.exe")))
        p.start_and_wait_for_window()
        focus_settings_window()
        before = set(x_windows("."))
        xdotool("key", "F1", "sleep", 2)
        self.assertEqual(wintool("count", HELP_TITLE).strip(), "0")
        self.assertEqual(set(x_windows(".")), before, "no new window (no message box either)")
        self.assertTrue(p.running())
        click("Ramka", rightmost=True)
        wait_until(lambda: "Dane numeryczne" in visible_texts(), 10, what="the window to go on answering")


class AutoStart(WithScale):
    def test_with_file_output_the_program_starts_by_itself_and_writes_the_file(self):
        data = tempfile.mkdtemp(prefix="data-", dir=wine_dir())
        p = self.program(settings=settings_with({LISTENING: 1}, NR_PORTU=1, plik=1, plik_stat=0, AUTOSTART=1, LF=0,
                                                PathDir=linux_to_wine_path(data) + "\\"))
        p.start_and_wait_for_window()
        wait_until(lambda: wintool("visible", WINDOW_TITLE).strip() == "0", 10, what="the window to hide itself")
        wait_until(lambda: self.scale.serial_open, 20, what="the program to open the serial port")
        self.scale.send(b"5.000 kg\r\n")
        wait_until(lambda: file_texts(data) == [b"5,000 kg\r"], 20,
                   what=lambda: "the data file (%r)" % file_texts(data))

    def test_without_file_output_autostart_does_nothing(self):
        p = self.program(settings=settings_with({LISTENING: 1}, NR_PORTU=1, plik=0, AUTOSTART=1))
        p.start_and_wait_for_window()
        time.sleep(2)  # autostart, had it acted, would have hidden the window and opened the port by now
        self.assertEqual(wintool("visible", WINDOW_TITLE).strip(), "1")
        self.assertFalse(self.scale.serial_open)
        self.assertNotIn("Autostart", visible_texts(), "the box is offered only with file output")


if __name__ == "__main__":
    unittest.main()
