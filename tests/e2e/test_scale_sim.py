"""Self-test of tools/scale_sim.py: plays the program's side of the pty and of
the TCP connection. Linux only, no Wine."""

import os
import select
import signal
import socket
import subprocess
import sys
import tempfile
import termios
import time
import tty
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, TOOLS)

import scale_sim  # noqa: E402
from scale_sim import ScaleSimulator  # noqa: E402


def open_port(path):
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
    tty.setraw(fd, termios.TCSANOW)  # the default, TCSAFLUSH, would hide stale input
    return fd


def read_exactly(fd, count, timeout=3.0):
    data = b""
    deadline = time.monotonic() + timeout
    while len(data) < count:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            break
        data += os.read(fd, count - len(data))
    return data


def read_lines(fd, count, timeout=3.0):
    data = b""
    deadline = time.monotonic() + timeout
    while data.count(b"\r\n") < count:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            break
        data += os.read(fd, 4096)
    return data


def recv_lines(sock, count, timeout=3.0):
    sock.settimeout(timeout)
    data = b""
    while data.count(b"\r\n") < count:
        chunk = sock.recv(4096)
        if not chunk:
            break
        data += chunk
    return data


def assert_no_internal_error(test, sim):
    errors = [r.text for r in sim.log_records() if "internal error" in r.text]
    test.assertEqual(errors, [])


class SerialCommands(unittest.TestCase):
    def setUp(self):
        self.sim = ScaleSimulator(weight=12.345, baud=0).start()
        self.addCleanup(self.sim.stop)
        self.addCleanup(assert_no_internal_error, self, self.sim)
        self.fd = open_port(self.sim.pty_path)
        self.addCleanup(os.close, self.fd)

    def ask(self, command):
        os.write(self.fd, command)
        return read_lines(self.fd, 1)

    def test_read_tare_and_errors(self):
        self.assertEqual(self.ask(b"SI\r\n"), b"S S      12.345 kg\r\n")
        self.assertEqual(self.ask(b"T\r\n"), b"T S      12.345 kg\r\n")
        self.assertEqual(self.ask(b"SI\r\n"), b"S S       0.000 kg\r\n")
        self.sim.set_weight(10.845)
        self.assertEqual(self.ask(b"SI\r\n"), b"S S      -1.500 kg\r\n")
        self.assertEqual(self.ask(b"XYZ\r\n"), b"ES\r\n")
        self.assertEqual(self.ask(b"si\r\n"), b"ES\r\n")
        self.assertEqual(self.ask(b"A" * 1000 + b"\r\n"), b"ES\r\n")

    def test_line_ends(self):
        self.assertEqual(self.ask(b"SI\r"), b"S S      12.345 kg\r\n")
        self.assertEqual(self.ask(b"SI\n"), b"S S      12.345 kg\r\n")
        # CR and LF in separate writes, and blank lines: one answer per command.
        os.write(self.fd, b"SI\r")
        time.sleep(0.05)
        os.write(self.fd, b"\n\r\n\n")
        self.assertEqual(read_lines(self.fd, 2, timeout=0.3), b"S S      12.345 kg\r\n")
        os.write(self.fd, b"SI\r\nXX\r\n")
        self.assertEqual(read_lines(self.fd, 2), b"S S      12.345 kg\r\nES\r\n")

    def test_nothing_stale_after_the_program_closes(self):
        self.assertTrue(self.sim.wait_for(lambda rx: self.sim.serial_open, timeout=3))
        os.write(self.fd, b"SI\r\n")
        self.assertTrue(self.sim.wait_for(lambda rx: self.sim.sent().endswith(b"kg\r\n"), timeout=3))
        os.close(self.fd)  # the answer is left unread
        self.assertTrue(self.sim.wait_for(lambda rx: not self.sim.serial_open, timeout=3))
        self.sim.send(b"while closed\r\n")
        self.fd = open_port(self.sim.pty_path)
        self.assertTrue(self.sim.wait_for(lambda rx: self.sim.serial_open, timeout=3))
        self.assertEqual(read_lines(self.fd, 1, timeout=0.3), b"")
        self.assertEqual(self.ask(b"SI\r\n"), b"S S      12.345 kg\r\n")
        self.assertEqual(self.sim.serial_open_count, 2)


class AutomaticFrames(unittest.TestCase):
    def test_frames_at_an_interval(self):
        with ScaleSimulator(weight=2.5, interval=0.05, baud=19200) as sim:
            fd = open_port(sim.pty_path)
            try:
                start = time.monotonic()
                data = read_lines(fd, 4)
                elapsed = time.monotonic() - start
            finally:
                os.close(fd)
        self.assertEqual(data, b"S S       2.500 kg\r\n" * 4)
        self.assertGreaterEqual(elapsed, 0.15)

    def test_stream_is_numbered_without_gaps(self):
        with ScaleSimulator(weight=1, stream=True, baud=115200) as sim:
            fd = open_port(sim.pty_path)
            data = read_lines(fd, 50)
            os.close(fd)  # in the middle of the stream
            self.assertTrue(sim.wait_for(lambda rx: not sim.serial_open))
            fd = open_port(sim.pty_path)
            try:
                after_reopen = read_lines(fd, 1)
            finally:
                os.close(fd)
            assert_no_internal_error(self, sim)
        lines = data.split(b"\r\n")[:50]
        self.assertEqual(len(lines), 50)
        for number, line in enumerate(lines, start=1):
            self.assertEqual(line, b"%06d S S       1.000 kg" % number)
        # A read may bring more than one line: the first one counts.
        self.assertEqual(after_reopen.split(b"\r\n")[0], b"000001 S S       1.000 kg")

    def test_sending_is_paced_to_the_baud_rate(self):
        with ScaleSimulator(baud=9600) as sim:
            fd = open_port(sim.pty_path)
            try:
                self.assertTrue(sim.wait_for(lambda rx: sim.serial_open))
                start = time.monotonic()
                sim.send(bytes(range(100)))
                data = read_exactly(fd, 100)
                elapsed = time.monotonic() - start
            finally:
                os.close(fd)
        self.assertEqual(data, bytes(range(100)))
        self.assertGreaterEqual(elapsed, 0.1)  # 100 bytes x 10 bits / 9600 = 104 ms


class TcpChannel(unittest.TestCase):
    def setUp(self):
        self.sim = ScaleSimulator(serial=False, tcp_port=0, weight=3.25).start()
        self.addCleanup(self.sim.stop)
        self.addCleanup(assert_no_internal_error, self, self.sim)

    def connect(self):
        sock = socket.create_connection(("127.0.0.1", self.sim.tcp_port), timeout=3)
        self.addCleanup(sock.close)
        return sock

    def test_query_stop_and_restart(self):
        client = self.connect()
        client.sendall(b"SI\r\n")
        self.assertEqual(recv_lines(client, 1), b"S S       3.250 kg\r\n")
        self.assertTrue(self.sim.tcp_connected)

        self.sim.stop_tcp()
        self.assertEqual(client.recv(100), b"")  # a normal close, not a reset
        self.assertFalse(self.sim.tcp_connected)
        with self.assertRaises(ConnectionRefusedError):
            self.connect()

        self.sim.start_tcp()
        again = self.connect()
        again.sendall(b"T\r\nSI\r\n")
        self.assertEqual(recv_lines(again, 2), b"T S       3.250 kg\r\nS S       0.000 kg\r\n")
        self.assertEqual(self.sim.tcp_accept_count, 2)

    def test_new_client_replaces_the_old_one(self):
        first = self.connect()
        self.assertTrue(self.sim.wait_for(lambda rx: self.sim.tcp_accept_count == 1))
        second = self.connect()
        first.settimeout(3)
        self.assertEqual(first.recv(100), b"")
        self.sim.send("hello\r\n", channel="tcp")
        self.assertEqual(recv_lines(second, 1), b"hello\r\n")

    def test_client_reset_does_not_stop_the_simulator(self):
        client = self.connect()
        client.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
        self.assertTrue(self.sim.wait_for(lambda rx: self.sim.tcp_connected))
        client.close()
        self.assertTrue(self.sim.wait_for(lambda rx: not self.sim.tcp_connected))
        again = self.connect()
        again.sendall(b"SI\r\n")
        self.assertEqual(recv_lines(again, 1), b"S S       3.250 kg\r\n")


class LogAndLink(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def test_log_records_both_directions(self):
        log_path = os.path.join(self.dir.name, "sim.log")
        with ScaleSimulator(weight=1, log_path=log_path, baud=0) as sim:
            fd = open_port(sim.pty_path)
            try:
                os.write(fd, b"SI\r\n")
                read_lines(fd, 1)
                sim.send(b"\t\\\xff\r\n")
                read_lines(fd, 1)
            finally:
                os.close(fd)
        with open(log_path, encoding="utf-8") as f:
            records = [r for r in map(scale_sim.parse_log_line, f) if r and r.direction != "EV"]
        self.assertEqual(
            [(r.direction, r.channel, r.data) for r in records],
            [("RX", "serial", b"SI\r\n"), ("TX", "serial", b"S S       1.000 kg\r\n"),
             ("TX", "serial", b"\t\\\xff\r\n")],
        )
        self.assertEqual(records[2].text, "\\t\\\\\\xff\\r\\n")
        self.assertLessEqual(records[0].time, records[1].time)

    def test_link_is_replaced_and_removed(self):
        link = os.path.join(self.dir.name, "com1")
        os.symlink("/nonexistent", link)
        with ScaleSimulator(link=link) as sim:
            self.assertEqual(os.readlink(link), sim.pty_path)
            fd = open_port(link)
            os.write(fd, b"SI\r\n")
            self.assertEqual(read_lines(fd, 1), b"S S       0.000 kg\r\n")
            os.close(fd)
        self.assertFalse(os.path.lexists(link))

    def test_link_never_replaces_a_file(self):
        path = os.path.join(self.dir.name, "precious")
        with open(path, "w") as f:
            f.write("data")
        with self.assertRaises(FileExistsError):
            ScaleSimulator(link=path).start()
        with open(path) as f:
            self.assertEqual(f.read(), "data")

    def test_command_line_prints_the_device_and_cleans_up(self):
        link = os.path.join(self.dir.name, "com2")
        proc = subprocess.Popen(
            [sys.executable, os.path.join(TOOLS, "scale_sim.py"), "--link", link, "--tcp", "0", "--quiet"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
        )
        self.addCleanup(proc.kill)
        header = {}
        for line in proc.stdout:
            if line.strip() == "ready":
                break
            key, _, value = line.strip().partition(" ")
            header[key] = value
        self.assertEqual(os.readlink(link), header["pty"])
        self.assertEqual(header["link"], link)
        port = int(header["tcp"].rsplit(":", 1)[1])
        with socket.create_connection(("127.0.0.1", port), timeout=3) as sock:
            sock.sendall(b"SI\r\n")
            self.assertEqual(recv_lines(sock, 1), b"S S       0.000 kg\r\n")
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(proc.wait(timeout=5), 0)
        proc.stdout.close()
        proc.stdin.close()
        self.assertFalse(os.path.lexists(link))


if __name__ == "__main__":
    unittest.main()
