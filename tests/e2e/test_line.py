"""The serial line where stations fail: a USB adapter pulled out and put back
while the program listens, and a port numbered above 9."""
import time
import unittest

from harness import LISTENING, ProgramTestCase, com_port_path, scale_sim, settings_with, wait_until


class Line(ProgramTestCase):
    def scale(self, port):
        sim = scale_sim.ScaleSimulator(link=com_port_path(port), baud=9600, weight=1.0, log_stream=None).start()
        self.addCleanup(sim.stop)
        return sim

    def start_listening(self, port):
        return self.start_receiving(settings_with({LISTENING: 1}, NR_PORTU=port, Koniec_ramki=2, LF=0))

    def test_an_adapter_pulled_out_and_put_back_is_reopened_without_a_box(self):
        scale = self.scale(1)
        p, receiver = self.start_listening(1)
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        scale.send(b"1\r\n")
        receiver.wait_for_text(b"1\r")

        scale.stop()  # the adapter is pulled out: its device vanishes
        time.sleep(2)  # ten supervision ticks without the port
        self.assertTrue(p.running())

        back = self.scale(1)  # the same adapter plugged in again
        wait_until(lambda: back.serial_open, 10, what="the port to be reopened")
        back.send(b"2\r\n")
        # Typed into the receiver, which kept the focus: no message box came
        # up in between to take it (the frame would have gone there).
        receiver.wait_for_text(b"1\r2\r")

    def test_a_frame_is_read_from_com12(self):
        scale = self.scale(12)
        _, receiver = self.start_listening(12)
        wait_until(lambda: scale.serial_open, 20, what="Com12: to open")
        scale.send(b"12\r\n")
        receiver.wait_for_text(b"12\r")


if __name__ == "__main__":
    unittest.main()
