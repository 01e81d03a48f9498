"""Hot keys end to end under Wine: an F9 press injected by another Wine
process makes the real program send the read command to the scale, whose
answer is typed into the receiver."""
import unittest

from harness import HOT_KEYS, LISTENING, ProgramTestCase, com_port_path, scale_sim, settings_with, wait_until, wintool

VK_F4 = 0x73
VK_F9 = 0x78


class HotKeys(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, weight=7.5, log_stream=None).start()
        self.addCleanup(self.scale.stop)

    def start_program(self, listening):
        return self.start_receiving(settings_with({LISTENING: listening, HOT_KEYS: 1}, NR_PORTU=1, ZMIANA=0, LF=0,
                                                  Koniec_ramki=0))[1]

    def press(self, vk):
        # Held for more than two supervision intervals: the "pressed since"
        # bit of the key state goes to whichever program polls first.
        wintool("key", vk, 600)

    def test_f9_without_listening_opens_the_port_for_the_exchange_only(self):
        receiver = self.start_program(listening=0)
        self.assertFalse(self.scale.serial_open)
        self.press(VK_F9)
        wait_until(lambda: self.scale.received("serial").startswith(b"SI\r\n"), 20, what="the read command")
        answer = b"S S       7.500 kg\r"
        wait_until(lambda: receiver.text().startswith(answer + b"\r"), 20,
                   what=lambda: "the answer typed (%r)" % receiver.text())
        # The key was held for a while: every command went out whole.
        self.assertEqual(self.scale.received("serial").replace(b"SI\r\n", b""), b"")
        wait_until(lambda: not self.scale.serial_open, 20, what="the port to close after the answer")
        self.assertGreaterEqual(self.scale.serial_open_count, 1)

    def test_f4_with_listening_keeps_the_port_open(self):
        receiver = self.start_program(listening=1)
        wait_until(lambda: self.scale.serial_open, 20, what="the port to open")
        opens = self.scale.serial_open_count
        self.press(VK_F4)
        wait_until(lambda: self.scale.received("serial").startswith(b"T\r\n"), 20, what="the tare command")
        wait_until(lambda: receiver.text().startswith(b"T S       7.500 kg\r\r"), 20,
                   what=lambda: "the tare answer typed (%r)" % receiver.text())
        self.assertTrue(self.scale.serial_open)
        self.assertEqual(self.scale.serial_open_count, opens)


if __name__ == "__main__":
    unittest.main()
