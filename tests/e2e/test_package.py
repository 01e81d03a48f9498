"""The Windows package under Wine: the zip's contents, and the installer and
uninstaller for one user (install silently, run the installed program,
uninstall silently and keep what the program wrote), also into a folder
whose name the ANSI code page (1252 here) cannot spell."""
import glob
import os
import shutil
import subprocess
import unittest
import zipfile

from harness import WINE_RUN, WINDOW_TITLE, Program, wait_until, wine, wine_prefix, wintool

INSTALLED = ["Pon_dex.exe", "pondex_help.exe", "README.md", "LICENSE", "uninstall.exe"]
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pon_dex"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"


def user_folder(*parts):
    users = glob.glob(os.path.join(wine_prefix(), "drive_c", "users", "*", "AppData"))
    users = [u for u in users if "Public" not in u]
    assert len(users) == 1, users
    return os.path.join(users[0], *parts)


def install_folder():
    return user_folder("Local", "Programs", "Pon_dex")


def shortcut():
    return user_folder("Roaming", "Microsoft", "Windows", "Start Menu", "Programs", "Pon_dex.lnk")


def registry_value(key, name):
    """The text of a registry value, or None when it does not exist."""
    for line in wine(["reg", "query", key, "/v", name], check=False).splitlines():
        fields = line.split(None, 2)
        if len(fields) == 3 and fields[0] == name:
            return fields[2].strip()
    return None


class Package(unittest.TestCase):
    def setUp(self):
        self.installer = os.environ["PONDEX_INSTALLER"]
        # What an earlier, interrupted run may have left.
        shutil.rmtree(install_folder(), ignore_errors=True)
        if os.path.exists(shortcut()):
            os.remove(shortcut())

    def tearDown(self):
        shutil.rmtree(install_folder(), ignore_errors=True)
        wine(["reg", "delete", UNINSTALL_KEY, "/f"], check=False)

    def test_the_zip_holds_the_programs_and_the_documents(self):
        with zipfile.ZipFile(os.environ["PONDEX_ZIP"]) as archive:
            names = sorted(os.path.basename(n) for n in archive.namelist())
        self.assertEqual(names, sorted(["Pon_dex.exe", "pondex_help.exe", "README.md", "LICENSE"]))

    def test_install_run_and_uninstall_keeping_settings_and_data(self):
        wine([self.installer, "/S"], timeout=120)
        folder = install_folder()
        for name in INSTALLED:
            self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
        self.assertTrue(os.path.isfile(shortcut()))
        self.assertIn("uninstall.exe", registry_value(UNINSTALL_KEY, "UninstallString") or "")
        self.assertIsNone(registry_value(RUN_KEY, "Pon_dex"), "start with Windows is not chosen by default")

        # The installed program starts from its folder and writes its settings beside itself.
        program = Program(folder=folder)
        self.addCleanup(program.kill)
        program.start_and_wait_for_window()
        wait_until(lambda: os.path.exists(program.settings_path), 20, what="the settings file")
        # While it runs the uninstaller refuses. Run in place (_?=), so that
        # its exit code is the uninstaller's own.
        windows_folder = wine(["cmd", "/c", "echo", "%LOCALAPPDATA%"]).strip() + r"\Programs\Pon_dex"
        code = subprocess.run([WINE_RUN, os.path.join(folder, "uninstall.exe"), "/S", "_?=" + windows_folder],
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=120).returncode
        self.assertEqual(code, 2)
        self.assertTrue(all(os.path.isfile(os.path.join(folder, n)) for n in INSTALLED))
        self.assertTrue(program.running())
        wintool("click", WINDOW_TITLE, "Zamknij")
        self.assertEqual(program.wait_exit(30), 0)
        data_file = os.path.join(folder, "261206.txt")
        with open(data_file, "wb") as f:
            f.write(b"S S      12.345 kg\r\n")
        settings = program.settings()

        # The uninstaller copies itself away and returns at once; the copy does the work.
        wine([os.path.join(folder, "uninstall.exe"), "/S"], timeout=120)
        wait_until(lambda: not any(os.path.exists(os.path.join(folder, n)) for n in INSTALLED), 60,
                   what=lambda: "the installed files to go (left: %s)" % sorted(os.listdir(folder)))
        self.assertFalse(os.path.exists(shortcut()))
        self.assertIsNone(registry_value(UNINSTALL_KEY, "UninstallString"))
        self.assertEqual(program.settings(), settings)
        self.assertTrue(os.path.isfile(data_file))

    def test_installed_into_a_folder_named_with_l_stroke_it_runs_there_and_uninstalls(self):
        self.assertEqual(wintool("acp").strip(), "1252")
        root = os.path.join(wine_prefix(), "drive_c", "Łukasz")
        self.addCleanup(shutil.rmtree, root, True)
        folder = os.path.join(root, "Pon_dex")
        # Silent, into the folder given with /D= (last, unquoted).
        wine([self.installer, "/S", "/D=C:\\Łukasz\\Pon_dex"], timeout=120)
        for name in INSTALLED:
            self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
        self.assertFalse(os.path.exists(install_folder()), "nothing in the default folder")

        # It starts from there, writes its files beside itself and reads them at the next start.
        program = Program(folder=folder)
        self.addCleanup(program.kill)
        program.start_and_wait_for_window()
        wintool("click", WINDOW_TITLE, "Zamknij")
        self.assertEqual(program.wait_exit(30), 0)
        self.assertEqual(program.setting(b"Pytanie"), b"SI")
        self.assertTrue(os.path.isfile(os.path.join(folder, "set.lng")))
        # A value the program reads at its next start and writes back at its end.
        changed = program.settings().replace(b"Pytanie=SI", b"Pytanie=P")
        with open(program.settings_path, "wb") as f:
            f.write(changed)
        program.start_and_wait_for_window()
        wintool("click", WINDOW_TITLE, "Zamknij")
        self.assertEqual(program.wait_exit(30), 0)
        self.assertEqual(program.setting(b"Pytanie"), b"P")
        settings = program.settings()

        wine([os.path.join(folder, "uninstall.exe"), "/S"], timeout=120)
        wait_until(lambda: not any(os.path.exists(os.path.join(folder, n)) for n in INSTALLED), 60,
                   what=lambda: "the installed files to go (left: %s)" % sorted(os.listdir(folder)))
        self.assertFalse(os.path.exists(shortcut()))
        self.assertIsNone(registry_value(UNINSTALL_KEY, "UninstallString"))
        self.assertEqual(sorted(os.listdir(folder)), ["Pon_dex_Settings.ini", "set.lng", "wine.log"])
        self.assertEqual(program.settings(), settings)

if __name__ == "__main__":
    unittest.main()
