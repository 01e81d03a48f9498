"""Weights instead of characters under Wine: a scale that sends all the time
(the simulator's 27 lines, 80 ms apart) on a pty mapped as COM1, the real
Pon_dex.exe and a receiver window of another Wine process that has the focus."""
import time
import unittest

from harness import LISTENING, ProgramTestCase, com_port_path, scale_sim, settings_with, wait_until

# The end key ENTER and the decimal comma, as a person who wants weights in a spreadsheet sets them.
COMMON = dict(NR_PORTU=1, Koniec_ramki=0, ZMIANA=1)


class Weights(ProgramTestCase):
    def play_example(self, extra):
        scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, log_stream=None).start()
        self.addCleanup(scale.stop)
        _, receiver = self.start_receiving(settings_with({LISTENING: 1, **extra}, **COMMON))
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        scale.play(scale_sim.CONTINUOUS_EXAMPLE, 0.08)
        wait_until(lambda: not scale.playing, 20, what="the simulator to send its lines")
        scale.wait_sent()
        return receiver

    def test_a_continuous_scale_types_four_weights_for_27_lines(self):
        receiver = self.play_example({b"TYLKO WAGA": 1, b"TYLKO STABILNA": 1})
        receiver.wait_for_text(b"12,345\r7,125\r-0,500\r1,250\r")
        time.sleep(1)  # the silence after the last line types nothing more
        self.assertEqual(receiver.text(), b"12,345\r7,125\r-0,500\r1,250\r")

    def test_with_both_boxes_off_every_character_is_typed_as_before(self):
        receiver = self.play_example({})
        # Each CR is Enter and each LF a line feed; the lines never pause for 100 ms,
        # so one Enter follows the silence after the last.
        typed = b"".join(scale_sim.CONTINUOUS_EXAMPLE).replace(b".", b",") + b"\r"
        receiver.wait_for_text(typed, 30)
        time.sleep(1)
        self.assertEqual(receiver.text(), typed)


if __name__ == "__main__":
    unittest.main()
