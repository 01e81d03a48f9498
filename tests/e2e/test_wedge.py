"""The keyboard wedge end to end under Wine: a scale on a pty mapped as COM1,
the real Pon_dex.exe, and a receiver window of another Wine process that has
the focus."""
import glob
import os
import tempfile
import time
import unittest

from harness import (LISTENING, ProgramTestCase, com_port_path, file_texts, linux_to_wine_path, scale_sim,
                     settings_with, wait_until, wine_dir)

WEIGHT_LINE = b"S S      12.345 kg\r\n"


class Wedge(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, weight=12.345,
                                              log_stream=None).start()
        self.addCleanup(self.scale.stop)

    def start_program(self, **settings):
        """Starts Pon_dex with continuous listening on port 1, a receiver with the
        focus, presses START and waits until the port is open."""
        p, receiver = self.start_receiving(settings_with({LISTENING: 1}, NR_PORTU=1, **settings))
        wait_until(lambda: self.scale.serial_open, 20, what="the program to open the serial port")
        return p, receiver

    def test_text_data_are_typed_with_comma_and_the_end_of_frame_key(self):
        _, receiver = self.start_program(ZMIANA=1, TEKST=-1, Koniec_ramki=0)
        self.scale.send(WEIGHT_LINE)
        # CR is Enter, LF is Ctrl+Enter ("\n"), and after the silence one more Enter.
        receiver.wait_for_text(b"S S      12,345 kg\r\n\r")

    def data_folder(self):
        folder = tempfile.mkdtemp(prefix="data-", dir=wine_dir())
        return folder, linux_to_wine_path(folder) + "\\"

    def test_each_transmission_gets_its_own_file(self):
        data, path = self.data_folder()
        _, receiver = self.start_program(plik=1, plik_stat=0, PathDir=path, LF=0)
        self.scale.send(b"1.000 kg\r\n")
        wait_until(lambda: file_texts(data) == [b"1,000 kg\r"], 20, what="the first file")
        time.sleep(1.2)  # the next transmission starts in another second
        self.scale.send(b"2.000 kg\r\n")
        wait_until(lambda: sorted(file_texts(data)) == [b"1,000 kg\r", b"2,000 kg\r"], 20,
                   what=lambda: "a second file (%r)" % file_texts(data))
        for name in glob.glob(os.path.join(data, "*.txt")):
            self.assertRegex(os.path.basename(name), r"^\d{6}_\d{6}\.txt$")
        self.assertEqual(receiver.text(), b"", "nothing is typed in file output")

    def test_one_file_per_day_collects_every_transmission(self):
        data, path = self.data_folder()
        self.start_program(plik=1, plik_stat=-1, plik_dopisz=0, PathDir=path)
        self.scale.send(b"1\r\n")
        wait_until(lambda: file_texts(data) == [b"1\r\n"], 20, what="the day's file")
        time.sleep(0.8)  # well after the end of the first transmission
        self.scale.send(b"2\r\n")
        wait_until(lambda: file_texts(data) == [b"1\r\n2\r\n"], 20,
                   what=lambda: "both transmissions in the day's file (%r)" % file_texts(data))
        self.assertRegex(os.path.basename(glob.glob(os.path.join(data, "*.txt"))[0]), r"^\d{6}\.txt$")


if __name__ == "__main__":
    unittest.main()
