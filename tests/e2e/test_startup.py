"""Start-up, single instance and closing of the real program under Wine."""
import os
import unittest

from harness import HOT_KEYS, LISTENING, ProgramTestCase, WINDOW_TITLE, wait_until, wine_prefix, wintool

SPEED = b"PR\xcaDKO\x8c\xc6"
PARITY = b"PARZYSTO\x8c\xc6"


class StartUp(ProgramTestCase):
    def test_first_start_writes_the_keys_that_loading_changed(self):
        p = self.program().start_and_wait_for_window()
        # The hot key box is rewritten at start-up whatever its value.
        self.assertEqual(p.settings(), b"[USTAWIENIA]\r\nZMIANA=1\r\nplik stat=0\r\nplik dopisz=0\r\nTEKST=-1\r\n"
                                       b"koniec ramki=2\r\n" + HOT_KEYS + b"=0\r\n")
        self.assertTrue(os.path.isdir(os.path.join(wine_prefix(), "drive_c", "kolvat", "pon_dex")))
        self.assertEqual(wintool("visible", WINDOW_TITLE).strip(), "1")

    def test_polish_key_names_in_windows_1250_are_read(self):
        settings = (b"[USTAWIENIA]\r\n" + HOT_KEYS + b"=1\r\n" + LISTENING + b"=1\r\n" + SPEED + b"=38400\r\n" +
                    PARITY + b"=M\r\nNR PORTU=0042\r\n")
        p = self.program(settings=settings).start_and_wait_for_window()
        texts = wintool("texts", WINDOW_TITLE).splitlines()
        self.assertIn("38400", texts)
        self.assertIn("M", texts)
        self.assertIn("42", texts)
        # The hot key box is rewritten at start-up with the value it was given.
        self.assertEqual(p.setting(HOT_KEYS), b"1")
        self.assertEqual(p.setting(LISTENING), b"1")
        self.assertEqual(p.settings().count(HOT_KEYS), 1, "one key, not a second one under other bytes")

    def test_a_second_copy_ends_at_once_and_silently(self):
        first = self.program().start_and_wait_for_window()
        second = self.program(folder=first.folder).start()
        self.assertEqual(second.wait_exit(30), 0)
        self.assertTrue(first.running())
        self.assertEqual(wintool("count", WINDOW_TITLE).strip(), "1")


class Closing(ProgramTestCase):
    def test_close_box_hides_and_zamknij_ends_writing_the_commands(self):
        p = self.program(settings=b"[USTAWIENIA]\r\nPytanie=P\r\n").start_and_wait_for_window()
        self.assertIsNone(p.setting(b"Tarowanie"))
        wintool("close", WINDOW_TITLE)
        wait_until(lambda: wintool("visible", WINDOW_TITLE).strip() == "0", 10, what="the window to hide")
        self.assertTrue(p.running())
        wintool("click", WINDOW_TITLE, "Zamknij")
        self.assertEqual(p.wait_exit(30), 0)
        self.assertEqual(p.setting(b"Pytanie"), b"P")
        self.assertEqual(p.setting(b"Tarowanie"), b"T")

    def test_the_end_of_the_session_ends_the_program_like_zamknij(self):
        p = self.program().start_and_wait_for_window()
        wintool("end-session", WINDOW_TITLE)
        self.assertEqual(p.wait_exit(30), 0)
        self.assertEqual(p.setting(b"Pytanie"), b"SI")


if __name__ == "__main__":
    unittest.main()
