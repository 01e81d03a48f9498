"""Self-test of tools/scale_sim.py: plays the program's side of the pty and of
the TCP connection. Linux only, no Wine."""

import os
import select
import socket
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))

import scale_sim  # noqa: E402

TIMEOUT = 10  # only bounds how long a failing test waits
WEIGHT = b"S S      12.345 kg\r\n"


def read(recv, size):
    """Up to `size` bytes, fewer only if nothing more comes: never what follows them."""
    data = b""
    while len(data) < size:
        chunk = recv(size - len(data))
        if not chunk:
            break
        data += chunk
    return data


def read_port(fd, size):
    return read(lambda n: os.read(fd, n) if select.select([fd], [], [], TIMEOUT)[0] else b"", size)


class ScaleSimulatorTest(unittest.TestCase):
    def start(self, **options):
        sim = scale_sim.ScaleSimulator(**options).start()
        self.addCleanup(lambda: self.assertEqual([r.text for r in sim.log_records() if "internal error" in r.text], []))
        self.addCleanup(sim.stop)
        return sim

    def wait(self, sim, condition):
        self.assertTrue(sim.wait_for(lambda rx: condition(), timeout=TIMEOUT))

    def test_serial_commands_reopen_log_and_link(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        link, log = os.path.join(folder.name, "com1"), os.path.join(folder.name, "sim.log")
        os.symlink("/nonexistent", link)  # left over by an earlier run: replaced
        sim = self.start(weight=12.345, baud=0, link=link, log_path=log)
        self.assertEqual(os.readlink(link), sim.pty_path)
        fd = os.open(link, os.O_RDWR | os.O_NOCTTY)
        os.write(fd, b"SI\r\n")
        self.assertEqual(read_port(fd, 20), WEIGHT)
        # An answer left unread and data sent while closed must not reach the next opener.
        os.write(fd, b"SI\r\n")
        self.wait(sim, lambda: sim.sent() == WEIGHT * 2)
        os.close(fd)
        self.wait(sim, lambda: not sim.serial_open)
        sim.send(b"while closed\r\n")
        fd = os.open(link, os.O_RDWR | os.O_NOCTTY)
        self.addCleanup(os.close, fd)
        os.write(fd, b"T\r\nSI\r\nXYZ\r\n")
        answers = b"T S      12.345 kg\r\nS S       0.000 kg\r\nES\r\n"
        self.assertEqual(read_port(fd, len(answers)), answers)
        self.assertEqual(sim.serial_open_count, 2)
        sim.stop()
        self.assertFalse(os.path.lexists(link))
        with open(log, encoding="utf-8") as f:
            records = [r for r in map(scale_sim.parse_log_line, f) if r and r.channel == "serial"]
        self.assertEqual(b"".join(r.data for r in records if r.direction == "RX"), b"SI\r\nSI\r\nT\r\nSI\r\nXYZ\r\n")
        self.assertEqual(b"".join(r.data for r in records if r.direction == "TX"), WEIGHT * 2 + answers)

    def test_pacing_and_automatic_frames(self):
        sim = self.start(weight=2.5, baud=9600)
        fd = os.open(sim.pty_path, os.O_RDWR | os.O_NOCTTY)
        self.addCleanup(os.close, fd)
        self.wait(sim, lambda: sim.serial_open)
        start = time.monotonic()
        sim.send(bytes(range(100)))
        self.assertEqual(read_port(fd, 100), bytes(range(100)))
        self.assertGreaterEqual(time.monotonic() - start, 0.1)  # 100 bytes x 10 bits / 9600 = 104 ms

        start = time.monotonic()
        sim.set_interval(0.05)  # the first frame one interval from now, the next ones as far apart
        frames = b"S S       2.500 kg\r\n" * 4
        self.assertEqual(read_port(fd, len(frames)), frames)
        self.assertGreaterEqual(time.monotonic() - start, 0.15)

    def test_tcp_query_stop_and_start(self):
        sim = self.start(serial=False, tcp_port=0, weight=3.25)

        def connect():
            sock = socket.create_connection(("127.0.0.1", sim.tcp_port), timeout=TIMEOUT)
            self.addCleanup(sock.close)
            return sock

        client = connect()
        client.sendall(b"SI\r\n")
        self.assertEqual(read(client.recv, 20), b"S S       3.250 kg\r\n")
        sim.stop_tcp()
        self.assertEqual(client.recv(100), b"")  # a normal close: a reset would raise
        with self.assertRaises(ConnectionRefusedError):
            connect()
        sim.start_tcp()
        client = connect()
        client.sendall(b"T\r\nSI\r\n")
        self.assertEqual(read(client.recv, 40), b"T S       3.250 kg\r\nS S       0.000 kg\r\n")
        self.assertEqual(sim.tcp_accept_count, 2)


if __name__ == "__main__":
    unittest.main()
