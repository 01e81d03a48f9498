"""The weighing log under Wine: a scale that sends all the time on a pty mapped as COM1, the real
Pon_dex.exe in weight mode with "DZIENNIK" on, and the day's yymmdd.csv it writes beside what it types."""
import datetime
import glob
import os
import tempfile
import time
import unittest

from harness import (LISTENING, ProgramTestCase, com_port_path, linux_to_wine_path, scale_sim, settings_with,
                     wait_until, wine_dir)

HEADER = "data;godzina;masa;jednostka;stan;odpowiedź"
WEIGHTS = {b"TYLKO WAGA": 1, b"TYLKO STABILNA": 1, b"DZIENNIK": 1, LISTENING: 1}


def log_rows(folder):
    """The rows of the one log file in a folder (header first), or [] while there is none."""
    names = glob.glob(os.path.join(folder, "*.csv"))
    if len(names) != 1:
        return []
    with open(names[0], "rb") as f:
        text = f.read().decode("cp1250")
    return text.split("\r\n")[:-1] if text.endswith("\r\n") else []


class Log(ProgramTestCase):
    def play(self, **values):
        scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, log_stream=None).start()
        self.addCleanup(scale.stop)
        data = tempfile.mkdtemp(prefix="log-", dir=wine_dir())
        p, receiver = self.start_receiving(settings_with(WEIGHTS, NR_PORTU=1, Koniec_ramki=0, ZMIANA=1,
                                                         PathDir=linux_to_wine_path(data) + "\\", **values))
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        scale.play(scale_sim.CONTINUOUS_EXAMPLE, 0.08)
        wait_until(lambda: not scale.playing, 20, what="the simulator to send its lines")
        scale.wait_sent()
        return p, receiver, data

    def test_with_keystrokes_the_log_rows_are_what_was_typed_when_it_was_typed(self):
        _, receiver, data = self.play()
        receiver.wait_for_text(b"12,345\r7,125\r-0,500\r1,250\r")
        wait_until(lambda: len(log_rows(data)) == 5, 10, what=lambda: "five lines in the log (%r)" % log_rows(data))
        rows = log_rows(data)
        self.assertEqual(rows[0], HEADER)
        name = os.path.basename(glob.glob(os.path.join(data, "*.csv"))[0])
        self.assertEqual(name, datetime.date.today().strftime("%y%m%d") + ".csv")
        fields = [row.split(";") for row in rows[1:]]
        self.assertEqual([f[2:] for f in fields], [["12,345", "kg", "ustalona", ""], ["7,125", "kg", "ustalona", ""],
                                                   ["-0,500", "kg", "ustalona", ""], ["1,250", "g", "ustalona", ""]])
        # Each row's time is when its line ended; its Enter was typed right after. Wine's clock is
        # this machine's, so the two are compared in local time.
        enters = [t for t, byte in receiver.records() if byte == 0x0D]
        self.assertEqual(len(enters), 4)
        for f, typed_at in zip(fields, enters):
            logged = datetime.datetime.strptime(f[0] + " " + f[1], "%Y-%m-%d %H:%M:%S.%f")
            typed = datetime.datetime.fromtimestamp(typed_at)
            self.assertLess(abs((typed - logged).total_seconds()), 0.5, (f, typed))

    def test_with_file_output_the_log_is_written_and_no_data_file(self):
        p, receiver, data = self.play(plik=1, plik_stat=-1)
        wait_until(lambda: len(log_rows(data)) == 5, 20, what=lambda: "five lines in the log (%r)" % log_rows(data))
        time.sleep(1)  # the silence after the last line writes nothing more
        self.assertEqual([row.split(";")[2] for row in log_rows(data)[1:]], ["12,345", "7,125", "-0,500", "1,250"])
        self.assertEqual(glob.glob(os.path.join(data, "*.txt")), [])
        self.assertEqual(receiver.text(), b"")
        self.assertTrue(p.running())


if __name__ == "__main__":
    unittest.main()
