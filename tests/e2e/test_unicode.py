"""Paths in any language under Wine, whose ANSI code page is 1252 as on any
English or Western European Windows: the program in a folder named
"Łukasz" (its files, and the help program started beside it), the data folders "C:\\Dane\\Łódź\\" (which that code page cannot
spell) and "C:\\Dane\\Café\\" (which it can) chosen in the folder browser,
and a stored data folder without its final backslash. The installer's run
into such a folder is in test_package.py."""
import glob
import os
import shutil
import tempfile
import unittest

from harness import (LISTENING, SETTINGS, ProgramTestCase, WINDOW_TITLE, com_port_path, file_texts,
                     linux_to_wine_path, scale_sim, settings_with, wait_until, window_and_children, wine_dir,
                     wine_prefix, wintool)

LANGUAGE = "set.lng"
IDOK = 1
IDYES = 6
REFUSAL = "Tego katalogu nie można wybrać: ustawienia nie zapiszą znaku „Ł” z jego nazwy."


HELP_TITLE = "Pon_dex - "  # then "Pomoc" or "Help"
VK_F1 = 0x70


def lukasz():
    """A new folder named "Łukasz", as a Polish user's profile folder is."""
    folder = os.path.join(tempfile.mkdtemp(prefix="pondex-e2e-", dir=wine_dir()), "Łukasz")
    os.mkdir(folder)
    return folder


def assert_western_code_page(test):
    test.assertEqual(wintool("acp").strip(), "1252", "these runs stand for a Western European Windows")


def drive_c(*parts):
    return os.path.join(wine_prefix(), "drive_c", *parts)


def dialog_text():
    """The texts of the dialog the program's window opened (waiting for it), one a line."""
    return wintool("dialog", WINDOW_TITLE, 20000, timeout=40).encode("latin-1").decode("utf-8")


def window_texts():
    """Every child's text, on screen or parked."""
    return [c.text for c in window_and_children()[1]]


class ProgramFolder(ProgramTestCase):
    def setUp(self):
        super().setUp()
        assert_western_code_page(self)

    def first_start(self, folder):
        """The files a first start and Zamknij leave beside the program."""
        p = self.program(folder=folder).start_and_wait_for_window()
        p.close()
        self.assertFalse(p.running())
        names = sorted(os.listdir(folder))
        self.assertEqual([n for n in names if n.endswith(".new")], [], "no replacement left half-way")
        result = {}
        for name in (SETTINGS, LANGUAGE):
            with open(os.path.join(folder, name), "rb") as f:
                result[name] = f.read()
        return result

    def test_in_a_folder_named_lukasz_it_writes_the_files_of_an_ascii_folder(self):
        ascii_folder = tempfile.mkdtemp(prefix="pondex-e2e-", dir=wine_dir())
        expected = self.first_start(ascii_folder)
        self.assertEqual(self.first_start(lukasz()), expected)

    def test_in_a_folder_named_lukasz_f1_starts_the_help_program_beside_it(self):
        folder = lukasz()
        shutil.copy(os.environ["PONDEX_HELP"], os.path.join(folder, "pondex_help.exe"))
        self.addCleanup(lambda: wintool("close", HELP_TITLE, check=False))
        self.program(folder=folder).start_and_wait_for_window()
        wintool("activate", WINDOW_TITLE)
        wintool("key", VK_F1, 100)
        wintool("wait-window", HELP_TITLE, 20000, timeout=30)


class DataFolder(ProgramTestCase):
    def setUp(self):
        super().setUp()
        assert_western_code_page(self)
        self.scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, log_stream=None).start()
        self.addCleanup(self.scale.stop)

    def choose_folder(self, windows_path):
        wintool("click", WINDOW_TITLE, "Zmień")
        wintool("browse", WINDOW_TITLE, windows_path, timeout=40)
        return dialog_text()

    def test_a_folder_the_code_page_cannot_spell_is_refused_and_one_it_can_is_written_to(self):
        for name in ("Łódź", "Café"):
            os.makedirs(drive_c("Dane", name), exist_ok=True)
        self.addCleanup(shutil.rmtree, drive_c("Dane"), True)
        p = self.program(settings=settings_with({LISTENING: 1}, NR_PORTU=1, plik=1, plik_stat=-1, LF=0,
                                                PathDir="C:\\Dane\\"))
        p.start_and_wait_for_window()

        text = self.choose_folder("C:\\Dane\\Łódź")
        self.assertIn(REFUSAL, text)
        self.assertIn("C:\\Dane\\Łódź\\", text)
        wintool("dialog-press", WINDOW_TITLE, IDOK)
        self.assertEqual(p.setting(b"PathDir"), b"C:\\Dane\\")
        self.assertIn("C:\\Dane\\", window_texts())

        text = self.choose_folder("C:\\Dane\\Café")
        self.assertIn("na katalog    C:\\Dane\\Café\\", text)
        wintool("dialog-press", WINDOW_TITLE, IDYES)
        wait_until(lambda: p.setting(b"PathDir") == b"C:\\Dane\\Caf\xe9\\", 10,
                   what=lambda: "the new folder in the settings (%r)" % p.setting(b"PathDir"))
        wait_until(lambda: "C:\\Dane\\Café\\" in window_texts(), 10, what="the new folder in the window")

        wintool("click", WINDOW_TITLE, "&START")
        wait_until(lambda: self.scale.serial_open, 20, what="the program to open the serial port")
        self.scale.send(b"5.000 kg\r\n")
        wait_until(lambda: file_texts(drive_c("Dane", "Café")) == [b"5,000 kg\r"], 20,
                   what=lambda: "the data file (%r)" % file_texts(drive_c("Dane", "Café")))
        self.assertEqual(os.listdir(drive_c("Dane", "Łódź")), [])

    def test_a_stored_folder_without_its_backslash_holds_the_files(self):
        data = tempfile.mkdtemp(prefix="data-", dir=wine_dir())
        p = self.program(settings=settings_with({LISTENING: 1}, NR_PORTU=1, plik=1, plik_stat=-1, AUTOSTART=1, LF=0,
                                                PathDir=linux_to_wine_path(data)))
        p.start_and_wait_for_window()
        wait_until(lambda: self.scale.serial_open, 20, what="the program to open the serial port")
        self.scale.send(b"7.000 kg\r\n")
        wait_until(lambda: file_texts(data) == [b"7,000 kg\r"], 20,
                   what=lambda: "the data file inside the folder (%r)" % file_texts(data))
        self.assertEqual(glob.glob(data + "*.txt"), [], "no file beside the folder, its name glued to the folder's")


if __name__ == "__main__":
    unittest.main()
