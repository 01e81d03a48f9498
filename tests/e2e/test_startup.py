"""Start-up and the end of the real program under Wine: the settings file
read and written, one copy only, and the end of the session."""
import os
import unittest

from harness import HOT_KEYS, LISTENING, ProgramTestCase, WINDOW_TITLE, visible_texts, wine_prefix, wintool

SPEED = b"PR\xcaDKO\x8c\xc6"
PARITY = b"PARZYSTO\x8c\xc6"


class StartUp(ProgramTestCase):
    def test_polish_key_names_are_read_and_the_keys_that_loading_changed_written(self):
        planted = (b"[USTAWIENIA]\r\n" + HOT_KEYS + b"=1\r\n" + LISTENING + b"=1\r\n" + SPEED + b"=38400\r\n" +
                   PARITY + b"=M\r\nNR PORTU=0042\r\n")
        p = self.program(settings=planted).start_and_wait_for_window()
        self.assertEqual(wintool("visible", WINDOW_TITLE).strip(), "1")
        self.assertTrue(os.path.isdir(os.path.join(wine_prefix(), "drive_c", "kolvat", "pon_dex")))
        # Read under their Windows-1250 names; the hot key box is rewritten
        # at start-up under the same bytes, not as a second key.
        texts = wintool("texts", WINDOW_TITLE).splitlines()
        for value in ("38400", "M", "42"):
            self.assertIn(value, texts)
        self.assertEqual(p.settings(), planted + b"ZMIANA=1\r\nplik stat=0\r\nplik dopisz=0\r\nTEKST=-1\r\n"
                                                  b"koniec ramki=2\r\n")

    def test_a_settings_file_that_cannot_be_written_is_said_once(self):
        p = self.program()
        # A folder where the settings file should be: every write of it fails,
        # even for root, who ignores read-only bits.
        os.mkdir(p.settings_path)
        p.start_and_wait_for_window()
        notice = "Nie można zapisać ustawień: zmiany obowiązują do zamknięcia programu"
        self.assertEqual(visible_texts().count(notice), 1)

    def test_a_second_copy_ends_at_once_and_silently(self):
        first = self.program().start_and_wait_for_window()
        second = self.program(folder=first.folder).start()
        self.assertEqual(second.wait_exit(30), 0)
        self.assertTrue(first.running())
        self.assertEqual(wintool("count", WINDOW_TITLE).strip(), "1")

    def test_the_end_of_the_session_ends_the_program_like_zamknij(self):
        p = self.program().start_and_wait_for_window()
        wintool("end-session", WINDOW_TITLE)
        self.assertEqual(p.wait_exit(30), 0)
        self.assertEqual(p.setting(b"Pytanie"), b"SI")


if __name__ == "__main__":
    unittest.main()
