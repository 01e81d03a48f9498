"""Serial input end to end under Wine: a scale simulator on a pty mapped as a
COM port, the real Pon_dex.exe, and a receiver window of another Wine process
that has the focus."""
import glob
import os
import tempfile
import threading
import time
import unittest

from harness import (HOT_KEYS, LISTENING, WINDOW_TITLE, ProgramTestCase, com_port_path, file_texts,
                     linux_to_wine_path, scale_sim, settings_with, wait_until, wine_dir, wintool)

VK_F9 = 0x78


class Serial(ProgramTestCase):
    def scale(self, port=1):
        sim = scale_sim.ScaleSimulator(link=com_port_path(port), baud=9600, weight=12.345, log_stream=None).start()
        self.addCleanup(sim.stop)
        return sim

    def start_program(self, port=1, extra=None, **settings):
        return self.start_receiving(settings_with({LISTENING: 1, **(extra or {})}, NR_PORTU=port, **settings))

    def test_text_from_com12_is_typed_with_comma_and_the_end_of_frame_key(self):
        # Ports above 9 open only by their device names.
        scale = self.scale(12)
        _, receiver = self.start_program(12, ZMIANA=1, TEKST=-1, Koniec_ramki=0)
        wait_until(lambda: scale.serial_open, 20, what="Com12: to open")
        scale.send(b"S S      12.345 kg\r\n")
        # CR is Enter, LF is Ctrl+Enter ("\n"), and after the silence one more Enter.
        receiver.wait_for_text(b"S S      12,345 kg\r\n\r")

    def test_the_window_answers_another_program_while_frames_arrive(self):
        scale = self.scale()
        _, receiver = self.start_program(Koniec_ramki=1, LF=0, CR=0)
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        answers = []
        # Another program asks the window for an answer every 50 ms; only a
        # hang (no answer within 2 s) counts against it.
        asker = threading.Thread(target=lambda: answers.extend(
            wintool("ping", WINDOW_TITLE, 60, 50, timeout=300, check=False).split()))
        asker.start()
        for _ in range(10):
            scale.send(b"S S       1.000 kg\r\n")
            time.sleep(0.3)
        asker.join()
        self.assertEqual(len(answers), 60)
        self.assertNotIn("none", answers)
        receiver.wait_for_text(b"S S       1,000 kg\t" * 10)  # the decimal comma is on by default

    def test_an_adapter_pulled_out_and_put_back_is_reopened_without_a_box(self):
        scale = self.scale()
        p, receiver = self.start_program(Koniec_ramki=2, LF=0)
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        scale.send(b"1\r\n")
        receiver.wait_for_text(b"1\r")

        scale.stop()  # the adapter is pulled out: its device vanishes
        time.sleep(2)  # ten supervision ticks without the port
        self.assertTrue(p.running())

        back = self.scale()  # the same adapter plugged in again
        wait_until(lambda: back.serial_open, 10, what="the port to be reopened")
        back.send(b"2\r\n")
        # Typed into the receiver, which kept the focus: no message box came
        # up in between to take it (the frame would have gone there).
        receiver.wait_for_text(b"1\r2\r")

    def test_one_file_per_day_collects_every_transmission_and_nothing_is_typed(self):
        scale = self.scale()
        data = tempfile.mkdtemp(prefix="data-", dir=wine_dir())
        _, receiver = self.start_program(plik=1, plik_stat=-1, plik_dopisz=0, PathDir=linux_to_wine_path(data) + "\\")
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        scale.send(b"1\r\n")
        wait_until(lambda: file_texts(data) == [b"1\r\n"], 20, what="the day's file")
        time.sleep(0.8)  # well after the end of the first transmission
        scale.send(b"2\r\n")
        wait_until(lambda: file_texts(data) == [b"1\r\n2\r\n"], 20,
                   what=lambda: "both transmissions in the day's file (%r)" % file_texts(data))
        self.assertRegex(os.path.basename(glob.glob(os.path.join(data, "*.txt"))[0]), r"^\d{6}\.txt$")
        self.assertEqual(receiver.text(), b"")

    def test_f9_without_listening_opens_the_port_for_the_exchange_only(self):
        scale = self.scale()
        _, receiver = self.start_program(extra={LISTENING: 0, HOT_KEYS: 1}, ZMIANA=0, LF=0, Koniec_ramki=0)
        self.assertFalse(scale.serial_open)
        # Held for more than two supervision intervals: the "pressed since"
        # bit of the key state goes to whichever program polls first.
        wintool("key", VK_F9, 600)
        wait_until(lambda: scale.received("serial").startswith(b"SI\r\n"), 20, what="the read command")
        wait_until(lambda: receiver.text().startswith(b"S S      12.345 kg\r\r"), 20,
                   what=lambda: "the answer typed (%r)" % receiver.text())
        # The key was held for a while: every command went out whole.
        self.assertEqual(scale.received("serial").replace(b"SI\r\n", b""), b"")
        wait_until(lambda: not scale.serial_open, 20, what="the port to close after the answer")


if __name__ == "__main__":
    unittest.main()
