"""TCP input end to end under Wine: the real program in network mode (port
number 0, continuous listening) against the scale simulator's TCP port on
loopback."""
import unittest

from harness import HOT_KEYS, LISTENING, ProgramTestCase, scale_sim, settings_with, wait_until, wintool

VK_F9 = 0x78


class Network(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.scale = scale_sim.ScaleSimulator(serial=False, tcp_port=0, tcp_baud=0, weight=3.25,
                                              log_stream=None).start()
        self.addCleanup(self.scale.stop)

    def start_program(self, address="127.0.0.1"):
        _, receiver = self.start_receiving(settings_with({LISTENING: 1, HOT_KEYS: 1}, NR_PORTU=0, EthIp=address,
                                                         EthPort=self.scale.tcp_port, ZMIANA=0, LF=0, Koniec_ramki=1))
        wait_until(lambda: self.scale.tcp_connected, 20, what="the program to connect")
        return receiver

    def test_types_what_arrives_and_reconnects_after_refusal_and_normal_close(self):
        receiver = self.start_program()
        self.scale.send(b"1.5\r\n", channel="tcp")
        receiver.wait_for_text(b"1.5\r\t")

        # Stopped: the client gets a normal close, then every attempt is refused.
        accepted = self.scale.tcp_accept_count
        self.scale.stop_tcp()
        wait_until(lambda: not self.scale.tcp_connected, 10, what="the connection to close")
        self.scale.start_tcp()
        wait_until(lambda: self.scale.tcp_connected and self.scale.tcp_accept_count > accepted, 20,
                   what="the program to connect again")
        self.scale.send(b"2\r\n", channel="tcp")
        receiver.wait_for_text(b"1.5\r\t2\r\t")

        # A normal close while the scale keeps listening (a converter that restarts).
        accepted = self.scale.tcp_accept_count
        self.scale.disconnect_tcp_client()
        wait_until(lambda: self.scale.tcp_accept_count > accepted and self.scale.tcp_connected, 20,
                   what="a new connection after the normal close")
        self.scale.send(b"3\r\n", channel="tcp")
        receiver.wait_for_text(b"1.5\r\t2\r\t3\r\t")

    def test_host_name_and_read_command_over_the_connection(self):
        receiver = self.start_program(address="localhost")
        wintool("key", VK_F9, 600)
        wait_until(lambda: self.scale.received("tcp").startswith(b"SI\r\n"), 20, what="the read command over TCP")
        wait_until(lambda: receiver.text().startswith(b"S S       3.250 kg\r\t"), 20,
                   what=lambda: "the answer typed (%r)" % receiver.text())


if __name__ == "__main__":
    unittest.main()
