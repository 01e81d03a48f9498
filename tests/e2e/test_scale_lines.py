"""Real scales' lines under Wine: the shared lines of tests/data/scale-lines, played from the simulator on
a pty mapped as COM1 one record at a time, as their README says (a settled zero 400 ms before, a settled
weight no record has 400 ms after, tickets a line every 80 ms), written in pieces of at most 5 bytes every
5 ms, into the real Pon_dex.exe with "TYLKO WAGA" and "TYLKO STABILNA" on; the receiver must get exactly
what an operator wants typed, each number followed by Enter."""
import codecs
import json
import os
import time
import unittest

from harness import LISTENING, ProgramTestCase, com_port_path, scale_sim, settings_with, wait_until

LINES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data", "scale-lines",
                     "lines.json")
TICKETS = (("H01", "H04"), ("L08", "L12"))
PIECE = 5
PIECE_GAP = 0.005


def records():
    """[(first id, [(bytes, typed or None)])], tickets as one record."""
    with open(LINES, encoding="utf-8") as f:
        lines = json.load(f)
    out = []
    for line in lines:
        data = codecs.escape_decode(line["bytes"].encode("latin-1"))[0]
        in_ticket = any(first <= line["id"] <= last for first, last in TICKETS)
        continues = in_ticket and out and out[-1][0][0] == line["id"][0] and any(
            first <= out[-1][0] <= last for first, last in TICKETS)
        if continues:
            out[-1][1].append((data, line["typed"]))
        else:
            out.append((line["id"], [(data, line["typed"])]))
    return out


class ScaleLines(ProgramTestCase):
    def send_in_pieces(self, scale, data):
        for i in range(0, len(data), PIECE):
            scale.send(data[i:i + PIECE])
            time.sleep(PIECE_GAP)

    def test_every_record_types_what_the_operator_wants(self):
        scale = scale_sim.ScaleSimulator(link=com_port_path(1), baud=9600, log_stream=None).start()
        self.addCleanup(scale.stop)
        settings = settings_with({LISTENING: 1, b"TYLKO WAGA": 1, b"TYLKO STABILNA": 1}, NR_PORTU=1,
                                 Koniec_ramki=0, ZMIANA=0)
        _, receiver = self.start_receiving(settings)
        wait_until(lambda: scale.serial_open, 20, what="the port to open")
        time.sleep(0.5)
        wrong = []
        expected_all = b""
        for n, (first, lines) in enumerate(records()):
            before = len(receiver.text())
            follow = "%d.5" % (77001 + n)
            expected = b"".join(t.encode("ascii") + b"\r" for _, t in lines if t is not None)
            expected += follow.encode("ascii") + b"\r"
            self.send_in_pieces(scale, b"S S       0.000 kg\r\n")
            time.sleep(0.4)
            for i, (data, _) in enumerate(lines):
                if i:
                    time.sleep(0.08)
                self.send_in_pieces(scale, data)
            time.sleep(0.4)
            self.send_in_pieces(scale, ("S S  %s kg\r\n" % follow).encode("ascii"))
            scale.wait_sent()
            try:
                wait_until(lambda: receiver.text()[before:].endswith(follow.encode("ascii") + b"\r"), 3,
                           what="the weight after " + first)
            except AssertionError:
                pass
            got = receiver.text()[before:]
            if got != expected:
                wrong.append("%s: typed %r, wanted %r" % (first, got, expected))
            expected_all += expected
        time.sleep(1)
        self.assertEqual(wrong, [], "%d of %d records typed otherwise" % (len(wrong), len(records())))
        self.assertEqual(receiver.text(), expected_all)


if __name__ == "__main__":
    unittest.main()
