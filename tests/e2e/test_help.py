"""The help program under Wine: its topics, the text shown beside them, the
language switch and one window only."""
import os
import subprocess
import unittest

from harness import REPO, end, launch, wait_until, wine_dir, wintool

TITLE = "Pon_dex - "  # then "Pomoc" or "Help"


def topics(language):
    """[(title, first line of its body)] from the text file, the way the help shows them."""
    result = []
    with open(os.path.join(REPO, "app", "help", "text", language + ".txt"), encoding="utf-8-sig") as f:
        for line in f:
            if line.startswith("== "):
                result.append([line[3:].strip(), None])
            elif result and result[-1][1] is None and line.strip():
                result[-1][1] = line.strip()
    return result


def shown_topics():
    # The harness reads output as Latin-1.
    return wintool("listbox", TITLE).encode("latin-1").decode("utf-8").splitlines()


def shown_text():
    return wintool("edit-text", TITLE).encode("latin-1").decode("utf-8")


class Help(unittest.TestCase):
    def start(self, *args, locale="en_US.UTF-8"):
        process = launch([os.environ["PONDEX_HELP"]] + list(args), os.path.join(wine_dir(), "help.log"),
                         env=dict(os.environ, LC_ALL=locale))
        self.addCleanup(self.stop, process)
        return process

    def stop(self, process):
        if process.poll() is None:
            wintool("close", TITLE, check=False)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                end(process)

    def open_window(self, *args, locale="en_US.UTF-8"):
        process = self.start(*args, locale=locale)
        wintool("wait-window", TITLE, 30000, timeout=40)
        return process

    # Pon_dex starts it without arguments: the first language is that of the
    # Windows user interface, English here and Polish in the next test.
    def test_the_text_follows_the_topic_and_the_language_in_one_window(self):
        english, polish = topics("en"), topics("pl")
        process = self.open_window()
        self.assertEqual(shown_topics(), [title for title, _ in english])
        self.assertTrue(shown_text().startswith(english[0][1]), shown_text()[:80])
        self.assertEqual(self.start("pl").wait(timeout=30), 0, "a second start ends at once")
        self.assertEqual(wintool("count", TITLE).strip(), "1")

        wintool("listbox-select", TITLE, 7)
        self.assertTrue(shown_text().startswith(english[7][1]), shown_text()[:80])
        # Polish keeps the chosen topic.
        wintool("click", TITLE, "Polski")
        wait_until(lambda: shown_topics() == [title for title, _ in polish], 10, what="the Polish topics")
        self.assertTrue(shown_text().startswith(polish[7][1]), shown_text()[:80])
        self.assertEqual(wintool("count", TITLE + "Pomoc").strip(), "1")

        wintool("close", TITLE)
        self.assertEqual(process.wait(timeout=20), 0)

    def test_two_starts_at_once_give_one_window(self):
        # Started a few milliseconds apart: neither has a window yet when the other starts.
        both = [self.start(), self.start()]
        wintool("wait-window", TITLE, 30000, timeout=40)
        wait_until(lambda: any(p.poll() is not None for p in both), 30, what="one of the two to end")
        ended = [p for p in both if p.poll() is not None]
        self.assertEqual([p.returncode for p in ended], [0], "one ends by itself, the other stays")
        self.assertEqual(wintool("count", TITLE).strip(), "1")

    def test_a_polish_user_interface_gives_polish_topics(self):
        self.open_window(locale="pl_PL.UTF-8")
        self.assertEqual(shown_topics()[0], topics("pl")[0][0])

if __name__ == "__main__":
    unittest.main()
