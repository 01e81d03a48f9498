"""A scale that never stops sending, end to end under Wine: the simulator
writes its lines back to back, a few bytes at a time as a UART or a USB
adapter delivers them (it paces every byte to the baud rate and writes what
is due every few milliseconds), the real Pon_dex.exe reads them from a pty
mapped as COM1, and a receiver window of another Wine process has the focus."""
import time
import unittest

from harness import HOT_KEYS, LISTENING, ProgramTestCase, com_port_path, scale_sim, settings_with, wait_until, \
    wintool

SPEED = b"PR\xcaDKO\x8c\xc6"
VK_F4, VK_F9 = 0x73, 0x78


def counting_lines(count):
    """Lines as a counting scale sends them: "000032" CR LF, the number going up."""
    return [b"%06d\r\n" % (i % 1000000) for i in range(count)]


class Stream(ProgramTestCase):
    def scale(self, baud):
        sim = scale_sim.ScaleSimulator(link=com_port_path(1), baud=baud, weight=12.345, log_stream=None).start()
        self.addCleanup(sim.stop)
        return sim

    def test_a_twenty_second_stream_is_typed_whole_with_one_end_key_after_it(self):
        scale = self.scale(19200)
        _, receiver = self.start_receiving(settings_with({LISTENING: 1, SPEED: 19200}, NR_PORTU=1, ZMIANA=0,
                                                         Koniec_ramki=1))
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        time.sleep(0.5)  # a quiet moment, then 38,400 bytes back to back: 20 s at 19200 baud
        lines = counting_lines(4800)
        scale.play(lines, 0)
        wait_until(lambda: not scale.playing, 60, what="the simulator to queue its lines")
        scale.wait_sent("serial", 60)
        sent = b"".join(lines)
        self.assertEqual(scale.sent("serial"), sent)
        # CR is Enter and LF a line feed; the stream never pauses for 100 ms.
        receiver.wait_for_text(sent + b"\t", 120)
        time.sleep(1)
        self.assertEqual(receiver.text().count(b"\t"), 1)
        self.assertEqual(receiver.text(), sent + b"\t")

    def test_a_weight_stream_cut_by_a_pulled_adapter_types_only_whole_readings(self):
        settings = settings_with({LISTENING: 1, b"TYLKO WAGA": 1, b"TYLKO STABILNA": 1}, NR_PORTU=1, ZMIANA=1,
                                 Koniec_ramki=0)
        line_time = 20 * 10 / 9600  # a 20-byte line at 9600 baud: one after the other, no pause
        # The scale sends before the program listens, so the port opens in a stream.
        scale = self.scale(9600)
        scale.play([b"S D      10.100 kg\r\n"], line_time, repeat=True)
        _, receiver = self.start_receiving(settings)
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        time.sleep(2)
        scale.play([b"S S      12.345 kg\r\n"], line_time, repeat=True)
        time.sleep(3)
        scale.stop()  # pulled out in the middle of a line (its bytes go out a few at a time)
        time.sleep(2)
        # Put back while the scale sends moving, then settled readings of another load.
        back = self.scale(9600)
        back.play([b"S D       3.000 kg\r\n"] * 144 + [b"S S       7.125 kg\r\n"] * 144, line_time)
        wait_until(lambda: back.serial_open, 10, what="the port to be reopened")
        wait_until(lambda: not back.playing, 20, what="the simulator to send its lines")
        back.wait_sent("serial", 20)
        receiver.wait_for_text(b"12,345\r7,125\r", 10)
        time.sleep(1)
        self.assertEqual(receiver.text(), b"12,345\r7,125\r")

    def test_hot_keys_held_while_the_scale_streams_reach_it_before_they_are_released(self):
        scale = self.scale(9600)
        _, receiver = self.start_receiving(settings_with({LISTENING: 1, HOT_KEYS: 1}, NR_PORTU=1, ZMIANA=0,
                                                         Koniec_ramki=2, LF=0))
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        scale.play([b"S D      10.100 kg\r\n"], 0.08, repeat=True)
        wait_until(lambda: len(receiver.text()) > 100, 10, what="the stream to be typed")
        for vk, command in ((VK_F9, b"SI\r\n"), (VK_F4, b"T\r\n")):
            scale.clear_received("serial")
            wintool("key", vk, 600)
            released = time.time()
            received = [r for r in scale.log_records() if r.direction == "RX" and r.channel == "serial"
                        and r.time >= released - 5]
            self.assertTrue(scale.received("serial").startswith(command), scale.received("serial"))
            self.assertTrue(received and received[0].time <= released,
                            "the command came only after the key was released")
            self.assertTrue(scale.playing, "the stream still runs")
        scale.play([], 0)


if __name__ == "__main__":
    unittest.main()
