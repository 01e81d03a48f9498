"""The settings window as a person sees it under Wine: the language file, the
letters on screen and real mouse clicks."""
import os
import unittest

from harness import ProgramTestCase, click, visible_texts, wait_until, window_and_children, wintool

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
    b"CONFIG=Konfiguracja\r\nhelp=Help\r\nwait=Czekaj transmisja\r\n"
    b"weight only=Tylko liczba\r\nstable only=Tylko ustalone, raz na wa\xbfenie\r\n")


class Window(ProgramTestCase):
    def test_first_start_writes_the_language_file_and_shows_polish_letters_on_a_western_system(self):
        self.assertEqual(wintool("acp").strip(), "1252", "the prefix must not be Polish for this test to mean much")
        p = self.program().start_and_wait_for_window()
        with open(os.path.join(p.folder, "set.lng"), "rb") as f:
            self.assertEqual(f.read(), FIRST_START_LANGUAGE)
        self.assertIn("Połączenie", visible_texts())
        # Every caption the file names is a window text (parked panels too,
        # ready for a screen reader), in the right letters.
        all_texts = [c.text for c in window_and_children()[1]]
        for line in FIRST_START_LANGUAGE.split(b"\r\n")[1:-1]:
            value = line.partition(b"=")[2]
            if value[:1] == b'"' and value[-1:] == b'"' and len(value) >= 2:
                value = value[1:-1]
            self.assertIn(value.decode("cp1250"), all_texts, line)

    def test_clicks_on_sections_options_and_a_selector_change_the_settings_file(self):
        p = self.program().start_and_wait_for_window()
        click("Ramka", rightmost=True)
        wait_until(lambda: "Dane numeryczne" in visible_texts(), 10, what="the frame section")
        click("Dane numeryczne")
        wait_until(lambda: p.setting(b"TEKST") == b"0", 10, what="TEKST=0")

        click("Połączenie", rightmost=True)
        wait_until(lambda: "parzystość" in visible_texts(), 10, what="the connection section")
        self.assertNotIn("Dane numeryczne", visible_texts(), "one section at a time")
        click("parzystość")
        wait_until(lambda: "E" in visible_texts(), 10, what="the parity selector")
        click("E")
        wait_until(lambda: p.setting(PARITY) == b"E", 10, what="parity E in the file")
        self.assertNotIn("O", visible_texts(), "the selector closes once a value is chosen")
        self.assertIn("E", visible_texts(), "the value label shows the new parity")


if __name__ == "__main__":
    unittest.main()
