"""The settings window as a person sees it under Wine: the language file, the
letters on screen, real mouse clicks, and a settings file that cannot be written."""
import os
import unittest

from harness import LANGUAGE, ProgramTestCase, children, click, on_screen, visible_texts, wait_until, wintool

PARITY = b"PARZYSTO\x8c\xc6"

FIRST_START_LANGUAGE = (
    b"[Global]\r\n"
    b"set=Zastosuj\r\ncancel=Anuluj\r\npanel=Panel\r\nzmien=Zmie\xf1\r\nfile=Plik\r\nto file=Do pliku\r\n"
    b"NameStatic=Nazwa sta\xb3a\r\nNameDynamic=Nazwa nadawana dynamicznie\r\ndopisywanie=Dopisywanie\r\n"
    b"nadpisywanie=Nadpisywanie\r\ntext=Dane tekstowe\r\nvalue=Dane numeryczne\r\nhot key=Gor\xb9cy klawisz\r\n"
    b"dot=Zmiana \".\" >> \",\"\r\nLF=Usu\xf1 \"LF\"\r\nCR=\"Usu\xf1 \"CR\"  \"\r\nblock=Ramka\r\nevents=zdarzenia\r\n"
    b"EntTabEnt=\"\"ENTER >>TAB >> ENTER\"\"\r\nEntTab=\"\"ENTER >> TAB\"\"\r\nenter=\"\"ENTER\"\"\r\n"
    b"tab=\"\"TAB\" \"\r\nno=\" BEZ REAKCJI\"\r\nquery tare=Tarowanie\r\nquery read=Pytanie\r\n"
    b"print=Nas\xb3uch ci\xb9g\xb3y\r\ntransmition=Transmisja\r\nIP=IP\r\nconect=Po\xb3\xb9czenie\r\n"
    b"speed=pr\xeadko\x9c\xe6 transmisji\r\nbits data=bity danych\r\nbits stop=bity stopu\r\n"
    b"parity=parzysto\x9c\xe6\r\ncomm=numer portu\r\nstart=&START\r\nend=Zamknij\r\nautoStr=Autostart\r\n"
    b"CONFIG=Konfiguracja\r\nhelp=Help\r\nwait=Czekaj transmisja\r\n")


class Language(ProgramTestCase):
    def test_first_start_writes_the_language_file_and_shows_polish_letters_on_a_western_system(self):
        self.assertEqual(wintool("acp").strip(), "1252", "the prefix must not be Polish for this test to mean much")
        p = self.program().start_and_wait_for_window()
        with open(os.path.join(p.folder, LANGUAGE), "rb") as f:
            self.assertEqual(f.read(), FIRST_START_LANGUAGE)
        texts = [c.text for c in on_screen()]
        for caption in ["Konfiguracja", "Połączenie", "Transmisja", "Ramka", "zdarzenia", "Plik", "&START",
                        "Ukryj", "Zamknij", "RS232/TCP"]:
            self.assertIn(caption, texts)
        # Every caption the file names is a window text (parked panels too, ready for a screen
        # reader), in the right letters although the system's code page is not Polish.
        all_texts = [c.text for c in children()]
        for line in FIRST_START_LANGUAGE.split(b"\r\n")[1:-1]:
            value = line.partition(b"=")[2]
            if value[:1] == b'"' and value[-1:] == b'"' and len(value) >= 2:
                value = value[1:-1]
            self.assertIn(value.decode("cp1250"), all_texts, line)
        self.assertNotIn("Po³¹czenie", all_texts)

    def test_an_english_language_file_gives_english_captions_and_title(self):
        p = self.program()
        with open(os.path.join(p.folder, LANGUAGE), "wb") as f:
            f.write(b"[Global]\r\nconect=Connection\r\ntransmition=Transmission\r\nblock=Frame\r\nevents=Events\r\n"
                    b"file=File\r\nCONFIG=Settings\r\nend=Close\r\nstart=&Start\r\nhelp=Hints\r\n")
        p.start()
        wintool("wait-window", "PON_DEX [F1-Hints]", 30000, timeout=40)
        texts = visible_texts("PON_DEX [F1-Hints]")
        for caption in ["Connection", "Transmission", "Frame", "Events", "File", "Settings", "Close", "&Start"]:
            self.assertIn(caption, texts)
        self.assertNotIn("Połączenie", texts)
        wintool("click", "PON_DEX [F1-Hints]", "Close")
        self.assertEqual(p.wait_exit(30), 0)


class MouseClicks(ProgramTestCase):
    def test_sections_options_and_a_selector_change_the_settings_file(self):
        p = self.program().start_and_wait_for_window()
        self.assertNotIn("Dane numeryczne", visible_texts())
        click("Ramka", rightmost=True)
        wait_until(lambda: "Dane numeryczne" in visible_texts(), 10, what="the frame section")
        click("Dane numeryczne")
        wait_until(lambda: p.setting(b"TEKST") == b"0", 10, what="TEKST=0")

        click("zdarzenia", rightmost=True)
        wait_until(lambda: '"TAB" ' in visible_texts(), 10, what="the events section")
        self.assertNotIn("Dane numeryczne", visible_texts(), "one section at a time")
        click('"TAB" ')
        wait_until(lambda: p.setting(b"koniec ramki") == b"1", 10, what="koniec ramki=1")

        click("Połączenie", rightmost=True)
        wait_until(lambda: "parzystość" in visible_texts(), 10, what="the connection section")
        click("parzystość")
        wait_until(lambda: "E" in visible_texts(), 10, what="the parity selector")
        click("E")
        wait_until(lambda: p.setting(PARITY) == b"E", 10, what="parity E in the file")
        self.assertNotIn("O", visible_texts(), "the selector closes once a value is chosen")
        self.assertIn("E", visible_texts(), "the value label shows the new parity")


class UnwritableSettings(ProgramTestCase):
    def test_the_window_says_once_that_settings_are_kept_in_memory(self):
        p = self.program()
        # A folder where the settings file should be: every write of it fails,
        # even for root, who ignores read-only bits.
        os.mkdir(p.settings_path)
        p.start_and_wait_for_window()
        notice = "Nie można zapisać ustawień: zmiany obowiązują do zamknięcia programu"
        self.assertEqual(visible_texts().count(notice), 1)
        click("Ramka", rightmost=True)
        wait_until(lambda: "Dane numeryczne" in visible_texts(), 10, what="the frame section")
        click("Dane numeryczne")
        self.assertEqual(visible_texts().count(notice), 1)
        self.assertTrue(p.running())


if __name__ == "__main__":
    unittest.main()
