"""TCP input under Wine when data keep arriving while the program is still
typing the previous piece: every byte is typed, in order, and the program
stays up."""
import unittest

from harness import LISTENING, ProgramTestCase, scale_sim, settings_with, wait_until

LINES = 400


class NetworkBurst(ProgramTestCase):
    def test_a_long_paced_burst_is_typed_whole_and_in_order(self):
        # Paced at 115200 baud, a segment every 2 ms: they keep arriving while
        # the program is typing the ones before.
        scale = scale_sim.ScaleSimulator(serial=False, tcp_port=0, tcp_baud=115200, log_stream=None).start()
        self.addCleanup(scale.stop)
        p, receiver = self.start_receiving(settings_with({LISTENING: 1}, NR_PORTU=0, EthIp="127.0.0.1",
                                                         EthPort=scale.tcp_port, ZMIANA=0, LF=0, Koniec_ramki=1))
        wait_until(lambda: scale.tcp_connected, 20, what="the program to connect")

        scale.send(b"".join(b"%03d\r\n" % i for i in range(LINES)), channel="tcp")
        expected = b"".join(b"%03d\r" % i for i in range(LINES))
        # A pause of the simulator may end a frame early; only the bytes count.
        wait_until(lambda: receiver.text().replace(b"\t", b"") == expected and receiver.text().endswith(b"\t"), 60,
                   what=lambda: "the whole burst typed (%d of %d bytes)" % (len(receiver.text()), len(expected)))
        self.assertTrue(p.running(), "the program is still running")


if __name__ == "__main__":
    unittest.main()
