"""The help program under Wine: its topics, the text shown beside them and the language switch."""
import os
import subprocess
import unittest

from harness import REPO, WINE_RUN, wait_until, wintool

TITLE = "Pon_dex - "  # then "Pomoc" or "Help"
TEXT_DIR = os.path.join(REPO, "app", "help", "text")


def topics(language):
    """[(title, first line of its body)] from the text file, the way the help shows them."""
    result = []
    with open(os.path.join(TEXT_DIR, language + ".txt"), encoding="utf-8-sig") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("== "):
                result.append([line[3:].strip(), None])
            elif result and result[-1][1] is None and line.strip():
                result[-1][1] = line.strip()
    return [tuple(t) for t in result]


def utf8(text):
    return text.encode("latin-1").decode("utf-8")  # the harness reads output as Latin-1


def shown_topics():
    return utf8(wintool("listbox", TITLE)).splitlines()


def shown_text():
    return utf8(wintool("edit-text", TITLE))


class Help(unittest.TestCase):
    def start(self, *args, env=None):
        log = open(os.path.join(os.environ["PONDEX_WINE_DIR"], "help.log"), "ab")
        process = subprocess.Popen([WINE_RUN, os.environ["PONDEX_HELP"]] + list(args), stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=log, env=dict(os.environ, **(env or {})))
        log.close()
        self.addCleanup(self.stop, process)
        return process

    def stop(self, process):
        if process.poll() is None:
            wintool("close", TITLE, check=False)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=10)

    def open_window(self, *args, env=None):
        process = self.start(*args, env=env)
        wintool("wait-window", TITLE, 30000, timeout=40)
        return process

    def test_the_text_follows_the_chosen_topic_and_language(self):
        english, polish = topics("en"), topics("pl")
        process = self.open_window("en")
        self.assertEqual(shown_topics(), [title for title, _ in english])
        self.assertTrue(shown_text().startswith(english[0][1]), shown_text()[:80])

        wintool("listbox-select", TITLE, 7)
        self.assertTrue(shown_text().startswith(english[7][1]), shown_text()[:80])

        # Polish keeps the chosen topic.
        wintool("click", TITLE, "Polski")
        wait_until(lambda: shown_topics() == [title for title, _ in polish], 10, what="the Polish topics")
        self.assertTrue(shown_text().startswith(polish[7][1]), shown_text()[:80])
        self.assertEqual(wintool("count", TITLE + "Pomoc").strip(), "1")

        wintool("close", TITLE)
        self.assertEqual(process.wait(timeout=20), 0)

    def test_the_first_language_is_that_of_the_windows_user_interface(self):
        for locale, language in (("pl_PL.UTF-8", "pl"), ("en_US.UTF-8", "en")):
            with self.subTest(locale=locale):
                process = self.open_window(env={"LC_ALL": locale})
                self.assertEqual(shown_topics()[0], topics(language)[0][0])
                self.stop(process)

    def test_a_second_start_leaves_one_window(self):
        self.open_window("en")
        second = self.start("pl")
        self.assertEqual(second.wait(timeout=30), 0)
        self.assertEqual(wintool("count", TITLE).strip(), "1")
        self.assertEqual(shown_topics()[0], topics("en")[0][0])


if __name__ == "__main__":
    unittest.main()
