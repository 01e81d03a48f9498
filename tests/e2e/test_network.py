"""TCP input end to end under Wine: the real program in network mode (port
number 0, continuous listening) against the scale simulator's TCP port on
loopback."""
import unittest

from harness import HOT_KEYS, LISTENING, ProgramTestCase, scale_sim, settings_with, wait_until, wintool

VK_F9 = 0x78


class Network(ProgramTestCase):
    def start_program(self, address="127.0.0.1", tcp_baud=0):
        scale = scale_sim.ScaleSimulator(serial=False, tcp_port=0, tcp_baud=tcp_baud, weight=3.25,
                                         log_stream=None).start()
        self.addCleanup(scale.stop)
        p, receiver = self.start_receiving(settings_with({LISTENING: 1, HOT_KEYS: 1}, NR_PORTU=0, EthIp=address,
                                                         EthPort=scale.tcp_port, ZMIANA=0, LF=0, Koniec_ramki=1))
        wait_until(lambda: scale.tcp_connected, 20, what="the program to connect")
        return scale, p, receiver

    def test_a_host_name_reconnection_and_the_read_command(self):
        scale, _, receiver = self.start_program(address="localhost")
        scale.send(b"1.5\r\n", channel="tcp")
        receiver.wait_for_text(b"1.5\r\t")

        # Stopped: the client gets a normal close, then every attempt is refused.
        accepted = scale.tcp_accept_count
        scale.stop_tcp()
        wait_until(lambda: not scale.tcp_connected, 10, what="the connection to close")
        scale.start_tcp()
        wait_until(lambda: scale.tcp_connected and scale.tcp_accept_count > accepted, 20,
                   what="the program to connect again")
        scale.send(b"2\r\n", channel="tcp")
        receiver.wait_for_text(b"1.5\r\t2\r\t")

        wintool("key", VK_F9, 600)
        wait_until(lambda: scale.received("tcp").startswith(b"SI\r\n"), 20, what="the read command over TCP")
        wait_until(lambda: receiver.text().startswith(b"1.5\r\t2\r\tS S       3.250 kg\r\t"), 20,
                   what=lambda: "the answer typed (%r)" % receiver.text())

    def test_a_long_paced_burst_is_typed_whole_and_in_order(self):
        # Paced at 115200 baud, a segment every 2 ms: they keep arriving while
        # the program is typing the ones before.
        scale, p, receiver = self.start_program(tcp_baud=115200)
        lines = 400
        scale.send(b"".join(b"%03d\r\n" % i for i in range(lines)), channel="tcp")
        expected = b"".join(b"%03d\r" % i for i in range(lines))
        # A pause of the simulator may end a frame early; only the bytes count.
        wait_until(lambda: receiver.text().replace(b"\t", b"") == expected and receiver.text().endswith(b"\t"), 60,
                   what=lambda: "the whole burst typed (%d of %d bytes)" % (len(receiver.text()), len(expected)))
        self.assertTrue(p.running(), "the program is still running")


if __name__ == "__main__":
    unittest.main()
