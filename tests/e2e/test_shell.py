"""The shell of the real program under Wine, with real mouse and keys on the
virtual display: the data panel opened from the file section, the help
program started by F1 and from the tray menu, the tray icon (through Wine's
own tray window: there is no tray manager on the virtual display), and the
automatic START of file output."""
import os
import shutil
import tempfile
import unittest

from harness import (LISTENING, ProgramTestCase, Receiver, WINDOW_TITLE, click, com_port_path, file_texts,
                     linux_to_wine_path, scale_sim, settings_with, visible_texts, wait_until, window_and_children,
                     wine_dir, wintool, xdotool)

PANEL = "Panel"
HELP_TITLE = "Pon_dex - "  # then "Pomoc" or "Help"


def x_windows(name):
    """The visible X windows whose name matches the regular expression."""
    return xdotool("search", "--onlyvisible", "--name", name).split()


def window_visible():
    return wintool("visible", WINDOW_TITLE).strip()


def panel_text():
    return wintool("edit-text", PANEL).encode("latin-1").decode("utf-8")[:-1]  # wintool adds one "\n"


def panel_box_checked():
    return wintool("checked", WINDOW_TITLE, PANEL).strip()


def save_below_text_box():
    """The data panel's "Save" lies wholly under its text box (screen pixels), and the box grew past its first
    height."""
    _, kids = window_and_children(PANEL)
    save = [c for c in kids if c.text == "Save"][0]
    box = [c for c in kids if c.text != "Save"][0]
    return box.y + box.height <= save.y and box.height > 400


def icon_centre():
    """Screen position of the first icon in Wine's tray window."""
    wait_until(lambda: x_windows("Wine System Tray"), 20, what="the tray icon")
    geometry = xdotool("getwindowgeometry", "--shell", x_windows("Wine System Tray")[0])
    values = dict(line.split("=", 1) for line in geometry.split())
    return int(values["X"]) + 9, int(values["Y"]) + 9


def hide_window():
    """Hides the settings window with its close box (it lies over the tray window on this display)."""
    wintool("close", WINDOW_TITLE)
    wait_until(lambda: window_visible() == "0", 10, what="the window to hide")
    # The display unmaps it a little later; clicks meanwhile would land on it.
    wait_until(lambda: not x_windows("PON_DEX"), 10, what="the window to leave the display")


def tray_menu_item(x, y, item):
    """Opens the tray menu with a right click; it opens at the mouse, its items 17 pixels apart."""
    shown = set(xdotool("search", "--onlyvisible", "--class", ".").split())
    xdotool("mousemove", x, y, "click", 3)
    # A click that comes before the menu is up is lost, and the menu can be slow to come.
    wait_until(lambda: set(xdotool("search", "--onlyvisible", "--class", ".").split()) - shown, 10,
               what="the tray menu")
    xdotool("mousemove", x + 40, y + 11 + 17 * item, "sleep", 0.2, "click", 1)


class WithScale(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, log_stream=None).start()
        self.addCleanup(self.scale.stop)


class DataPanel(WithScale):
    def test_frames_go_to_the_panel_while_it_is_open_and_are_typed_again_after(self):
        p = self.program(settings=settings_with({LISTENING: 1}, NR_PORTU=1, ZMIANA=1, TEKST=-1, Koniec_ramki=0))
        p.start_and_wait_for_window()
        click("Plik", rightmost=True)
        wait_until(lambda: PANEL in visible_texts(), 10, what="the file section")
        click(PANEL)
        wintool("wait-window", PANEL, 20000, timeout=30)
        # The port opens with the panel: no START is needed.
        wait_until(lambda: self.scale.serial_open, 20, what="the program to open the serial port")
        self.assertEqual(panel_box_checked(), "1")
        self.scale.send(b"1.000 kg\r\n")
        wait_until(lambda: panel_text() == "1,000 kg\r\n", 20, what=lambda: "the frame (%r)" % panel_text())

        # However the panel grows, its text box ends above "Save".
        xdotool("windowsize", "--sync", x_windows("^Panel$")[0], 900, 700)
        wait_until(lambda: save_below_text_box(), 10, what="Save clear of the grown text box")

        xdotool("windowfocus", "--sync", x_windows("^Panel$")[0], "key", "alt+F4")
        wait_until(lambda: wintool("count", PANEL).strip() == "0", 10, what="the panel to close")
        wait_until(lambda: panel_box_checked() == "0", 10, what="the Panel box to be unchecked")
        # The settings window takes clicks again.
        click("Ramka", rightmost=True)
        wait_until(lambda: "Dane numeryczne" in visible_texts(), 10, what="the frame section")

        receiver = Receiver(p.folder).start()
        self.addCleanup(receiver.stop)
        self.scale.send(b"2.000 kg\r\n")
        receiver.wait_for_text(b"2,000 kg\r\n\r")


class HelpAndTray(ProgramTestCase):
    def program_with_help(self, settings=None):
        self.addCleanup(lambda: wintool("close", HELP_TITLE, check=False))
        p = self.program(settings=settings)
        shutil.copy(os.environ["PONDEX_HELP"], os.path.join(p.folder, "pondex_help.exe"))
        return p.start_and_wait_for_window()

    def test_a_double_click_shows_the_hidden_window_where_f1_starts_the_help_program(self):
        p = self.program_with_help()
        x, y = icon_centre()
        hide_window()
        xdotool("mousemove", x, y, "click", 1, "sleep", 0.7)  # a single click does nothing
        self.assertEqual(window_visible(), "0")
        xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 80, 1)
        wait_until(lambda: window_visible() == "1", 10, what="the window to show")

        xdotool("windowfocus", "--sync", x_windows("^PON_DEX \\[")[0])
        click("Konfiguracja")  # activates the window
        xdotool("key", "F1")
        wintool("wait-window", HELP_TITLE, 20000, timeout=30)
        self.assertEqual(wintool("visible", HELP_TITLE).strip(), "1")
        self.assertTrue(p.running())

    def test_a_double_click_restores_a_minimised_window_in_front_of_others(self):
        p = self.program().start_and_wait_for_window()
        x, y = icon_centre()
        # Without a window manager a minimised window stays drawn: out of the tray window's way first.
        xdotool("windowmove", "--sync", x_windows("^PON_DEX \\[")[0], 300, 400)
        wintool("minimize", WINDOW_TITLE)
        wait_until(lambda: wintool("iconic", WINDOW_TITLE).strip() == "1", 10, what="the window to be minimised")
        receiver = Receiver(p.folder).start()  # another program in front
        self.addCleanup(receiver.stop)
        xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 80, 1)
        wait_until(lambda: wintool("iconic", WINDOW_TITLE).strip() == "0", 10, what="the window to be restored")
        wait_until(lambda: wintool("foreground").startswith(WINDOW_TITLE), 10,
                   what=lambda: "the window in front (%r is)" % wintool("foreground"))

    def test_the_menu_starts_the_help_program_and_zamknij_ends_writing_the_commands(self):
        p = self.program_with_help(settings=b"[USTAWIENIA]\r\nPytanie=P\r\n")
        x, y = icon_centre()
        hide_window()
        tray_menu_item(x, y, 2)
        wintool("wait-window", HELP_TITLE, 20000, timeout=30)
        self.assertEqual(window_visible(), "0", "the settings window stays hidden")
        wintool("close", HELP_TITLE)
        wait_until(lambda: not x_windows("^Pon_dex - "), 10, what="the help window to leave the display")
        tray_menu_item(x, y, 1)
        self.assertEqual(p.wait_exit(30), 0)
        self.assertEqual(p.setting(b"Pytanie"), b"P")
        self.assertEqual(p.setting(b"Tarowanie"), b"T")
        wait_until(lambda: not x_windows("Wine System Tray"), 10, what="the tray icon to go")


class AutoStart(WithScale):
    def test_with_file_output_the_program_starts_by_itself_and_writes_the_file(self):
        data = tempfile.mkdtemp(prefix="data-", dir=wine_dir())
        p = self.program(settings=settings_with({LISTENING: 1}, NR_PORTU=1, plik=1, plik_stat=0, AUTOSTART=1, LF=0,
                                                PathDir=linux_to_wine_path(data) + "\\"))
        p.start_and_wait_for_window()
        wait_until(lambda: window_visible() == "0", 10, what="the window to hide itself")
        wait_until(lambda: self.scale.serial_open, 20, what="the program to open the serial port")
        self.scale.send(b"5.000 kg\r\n")
        wait_until(lambda: file_texts(data) == [b"5,000 kg\r"], 20,
                   what=lambda: "the data file (%r)" % file_texts(data))


if __name__ == "__main__":
    unittest.main()
