"""The data panel showing the scale, under Wine: the real Pon_dex.exe in weight mode with the panel as
output, a scale that sends all the time on a pty mapped as COM1, at 96 and at 144 DPI (150 %). The panel
shows the last reading in its picture and the readings taken in its list; a screenshot of each DPI goes to
panel-scale-<dpi>dpi.png in the test's Wine folder, or in PONDEX_SHOTS_DIR when it is set (docs/ to
refresh the README's pictures)."""
import os
import subprocess
import time
import unittest

from harness import (LISTENING, REPO, ProgramTestCase, click, com_port_path, display, scale_sim, settings_with,
                     visible_texts, wait_until, window_and_children, wine, wine_dir, wintool, xdotool)

PANEL = "Panel"
WEIGHTS = {b"TYLKO WAGA": 1, b"TYLKO STABILNA": 1, LISTENING: 1}
TAKEN = ["12,345", "7,125", "-0,500", "1,250"]  # the settled readings of the example, decimal comma


def set_dpi(dpi):
    """The display's scale, read by a program when it starts."""
    wine(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"])


def panel_rows():
    text = wintool("edit-text", PANEL).encode("latin-1").decode("utf-8")[:-1]  # wintool adds one "\n"
    return [row for row in text.split("\r\n") if row]


def panel_parts():
    """The picture, the text box and Save, as screen readers see them: the picture is the child whose text
    is a reading (its number, unit and state), the box the one without text."""
    panel, kids = window_and_children(PANEL)
    save = [c for c in kids if c.text == "Save"]
    picture = [c for c in kids if c.text.endswith("ustalona")]
    box = [c for c in kids if c.text == ""]
    return panel, (picture[0] if picture else None), (box[0] if box else None), (save[0] if save else None)


class ScalePanel(ProgramTestCase):
    def weigh_into_the_panel(self, dpi):
        set_dpi(dpi)
        self.addCleanup(set_dpi, 96)
        scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, log_stream=None).start()
        self.addCleanup(scale.stop)
        p = self.program(settings=settings_with(WEIGHTS, NR_PORTU=1, ZMIANA=1, Koniec_ramki=0))
        p.start_and_wait_for_window()
        self.assertEqual(wintool("dpi").strip(), str(dpi))
        click("Plik", rightmost=True)
        wait_until(lambda: PANEL in visible_texts(), 10, what="the file section")
        click(PANEL)
        wintool("wait-window", PANEL, 20000, timeout=30)
        self.addCleanup(lambda: wintool("close", PANEL, check=False))
        wait_until(lambda: scale.serial_open, 20, what="the program to open the serial port")
        # Out of the settings window's way, whole on the screen.
        xdotool("windowmove", "--sync", xdotool("search", "--onlyvisible", "--name", "^Panel$").split()[0], 0, 0)
        scale.play(scale_sim.CONTINUOUS_EXAMPLE, 0.08)
        wait_until(lambda: not scale.playing, 20, what="the simulator to send its lines")
        scale.wait_sent()
        wait_until(lambda: len(panel_rows()) == len(TAKEN), 20,
                   what=lambda: "the readings taken in the list (%r)" % panel_rows())
        return panel_parts()

    def shoot(self, dpi, panel):
        time.sleep(0.5)  # the last redraw on the display
        folder = os.environ.get("PONDEX_SHOTS_DIR") or wine_dir()
        path = os.path.join(os.path.abspath(os.path.join(REPO, folder)), "panel-scale-%ddpi.png" % dpi)
        subprocess.run(["import", "-display", display(), "-window", "root", "-crop",
                        "%dx%d+%d+%d" % (panel.width, panel.height, panel.x, panel.y), "+repage", path],
                       check=True, stdin=subprocess.DEVNULL)

    def check(self, dpi):
        panel, picture, box, save = self.weigh_into_the_panel(dpi)
        self.assertEqual([row.split(";")[2:] for row in panel_rows()],
                         [[number, unit, "ustalona", ""] for number, unit in zip(TAKEN, ["kg", "kg", "kg", "g"])])
        self.assertIsNotNone(picture, "a picture child")
        self.assertEqual(picture.text, "1,250 g ustalona")
        # Picture, box and Save top to bottom, all inside the panel's client area.
        self.assertLessEqual(picture.y + picture.height, box.y)
        self.assertLessEqual(box.y + box.height, save.y)
        self.assertLessEqual(save.y + save.height, panel.y + panel.height)
        self.assertLessEqual(picture.x + picture.width, panel.x + panel.width)
        self.shoot(dpi, panel)
        return picture

    def test_the_picture_and_the_rows_at_96_and_144_dpi(self):
        small = self.check(96)
        self.doCleanups()
        large = self.check(144)
        # The picture's sizes follow the DPI.
        self.assertAlmostEqual(large.height / small.height, 1.5, delta=0.05)


if __name__ == "__main__":
    unittest.main()
