"""The settings window as a person sees it under Wine: the language file, the
letters on screen and real mouse clicks."""
import os
import unittest

from harness import (WINDOW_TITLE, ProgramTestCase, click, focused, keys, seen_in, visible_texts, wait_until,
                     window_and_children, wintool)

PARITY = b"PARZYSTO\x8c\xc6"
SPEED = b"PR\xcaDKO\x8c\xc6"
HOT_KEYS = b"GOR\xa5CY KLAWISZ"

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
    b"weight only=Tylko liczba\r\nstable only=Tylko ustalone, raz na wa\xbfenie\r\n"
    b"log=Dziennik z dat\xb9 i godzin\xb9\r\n")


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



class Keyboard(ProgramTestCase):
    """The window used with the keyboard alone, as wintool presses keys into it."""

    def start(self):
        p = self.program().start_and_wait_for_window()
        wintool("activate", WINDOW_TITLE)
        wait_until(lambda: wintool("foreground").startswith(WINDOW_TITLE), 10, what="the window in front")
        return p

    def focus_seen(self):
        """The focused control, which must be one a person sees."""
        window, _ = window_and_children()
        now = focused()
        self.assertIsNotNone(now, "the focus went nowhere")
        self.assertTrue(seen_in(window, now), "the focus is on %r, out of sight" % now.text)
        return now

    def tab_until(self, wanted, what, backwards=False):
        for _ in range(30):
            keys("shift+tab" if backwards else "tab")
            now = self.focus_seen()
            if wanted(now):
                return now
        self.fail("Tab never reached " + what)

    def tab_to(self, text):
        return self.tab_until(lambda c: c.text == text, repr(text))

    def changes(self, p, action, what):
        """Runs action and waits until the settings file changed."""
        before = p.settings()
        action()
        wait_until(lambda: p.settings() != before, 10, what=what)

    def test_tab_stays_on_what_is_seen_and_reaches_every_setting_of_the_open_section(self):
        p = self.start()
        port = p.setting(b"NR PORTU")
        # What once changed the port number unseen: Tab x5, Space, Shift+Tab, Space.
        keys("tab", "tab", "tab", "tab", "tab", "space", "shift+tab", "space")
        self.focus_seen()
        self.assertEqual(p.setting(b"NR PORTU"), port)

        click("Połączenie", rightmost=True)
        reached = set()
        for _ in range(16):
            keys("tab")
            reached.add(self.focus_seen().text)
        self.assertLessEqual({"numer portu", "prędkość transmisji", "bity danych", "bity stopu", "parzystość", "IP",
                              "Połączenie", "Plik", "&START", "Zamknij"}, reached)

    def test_every_section_opens_and_changes_a_setting_by_keyboard_alone(self):
        p = self.start()
        self.tab_to("Połączenie")
        keys("enter")
        self.tab_to("prędkość transmisji")
        keys("enter")  # the selector opens with the focus on the current value
        wait_until(lambda: "19200" in visible_texts(), 10, what="the speed selector")
        self.assertEqual(self.focus_seen().text, "9600")
        self.changes(p, lambda: keys("right", "enter"), "the new speed in the file")
        self.assertEqual(p.setting(SPEED), b"19200")
        self.assertNotIn("4800", visible_texts(), "the selector closed")
        # The section's tab order is back: on to the next setting.
        self.assertEqual(self.focus_seen().text, "prędkość transmisji")
        self.tab_to("bity stopu")
        keys("space")
        wait_until(lambda: "2" in visible_texts(), 10, what="the stop bits selector")
        keys("esc")  # its "Anuluj": nothing changes, the window stays
        wait_until(lambda: "2" not in visible_texts(), 10, what="the selector to close")
        self.assertIsNone(p.setting(b"BITY STOPU"))
        self.tab_to("bity danych")
        self.changes(p, lambda: keys("enter", "right", "enter"), "the new data bits in the file")
        self.assertEqual(p.setting(b"BITY DANYCH"), b"7")

        self.tab_to("Transmisja")
        keys("space")
        # The hot key box has no text of its own; it comes first in the section.
        self.tab_until(lambda c: c.text == "" and c.width < 40, "the hot key box")
        self.changes(p, lambda: keys("space"), "hot keys on in the file")
        self.assertEqual(p.setting(HOT_KEYS), b"1")

        self.tab_to("Ramka")
        keys("enter")
        self.tab_to("Dane numeryczne")
        self.changes(p, lambda: keys("space"), "numeric data in the file")
        self.assertEqual(p.setting(b"TEKST"), b"0")

        self.tab_to("zdarzenia")
        keys("enter")
        self.tab_to('"TAB" ')
        self.changes(p, lambda: keys("enter"), "the frame end in the file")
        self.assertEqual(p.setting(b"koniec ramki"), b"1")

        self.tab_to("Plik")
        keys("enter")
        self.tab_to("Do pliku")
        self.changes(p, lambda: keys("space"), "file output in the file")
        self.assertEqual(p.setting(b"plik"), b"1")

    def test_bad_address_parts_and_ports_are_refused_and_nothing_is_stored(self):
        p = self.start()
        click("Połączenie", rightmost=True)
        self.tab_to("IP")
        keys("enter")
        wait_until(lambda: "Zastosuj" in visible_texts(), 10, what="the address editor")
        keys("1", "2", "3", "4")  # the first part, selected as it took the focus; 3 digits at most
        self.assertEqual(wintool("edit-text", WINDOW_TITLE).strip(), "123")
        before = p.settings()
        for typed, refusal in ((["back", "back", "back"], "adresu"),  # an empty part
                               (["3", "0", "0"], "adresu"),
                               (["2", "5", "5", "tab", "tab", "tab", "tab", "7", "0", "0", "0", "0"], "port")):
            keys(*typed)
            self.tab_to("Zastosuj")
            keys("enter")
            wait_until(lambda: any(t.startswith("Odrzucono") and refusal in t for t in visible_texts()), 10,
                       what="the refusal naming the " + refusal)
            self.assertIn("Zastosuj", visible_texts(), "the editor stays open")
            self.assertEqual(p.settings(), before, typed)
            keys(*["shift+tab"] * 5)  # back to the first part
        keys("esc")
        wait_until(lambda: "Zastosuj" not in visible_texts(), 10, what="the editor to close")
        self.assertEqual(p.settings(), before)

if __name__ == "__main__":
    unittest.main()
