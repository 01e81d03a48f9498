#!/usr/bin/env python3
"""Weighing-scale simulator for trying and testing Pon_dex on Linux.

It plays the instrument at the far end of the serial line and of the TCP
connection: it answers the read command ("SI") and the tare command ("T"),
can send weight frames on its own or a continuous stream of numbered lines,
paces everything it sends to the configured baud rate, and logs every byte in
both directions. Python 3 standard library only.

Serial line
    The simulator creates a pseudo-terminal pair (raw, no echo) and prints the
    path of the device the program must open ("pty /dev/pts/N"). With
    --link PATH it also makes PATH a symlink to that device (an existing link
    is replaced; the link is removed on exit), so that a fixed path can be
    mapped as a Wine COM port. While no program has the device open, nothing
    is sent on the line (a closed port receives nothing), and whatever the
    program did not read before closing is discarded.

TCP
    With --tcp PORT it listens on 127.0.0.1:PORT (--host to change; PORT 0
    picks a free port, printed as "tcp HOST:PORT"). One client at a time: a new
    client replaces the old one, which gets a normal close.

Running it with the program under Wine
    1. python3 tools/scale_sim.py --link /tmp/pondex-com1 --tcp 4001 --weight 12.345
    2. wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM1 /t REG_SZ /d /tmp/pondex-com1 /f
    3. wineserver -k      (Wine reads the port mapping when its server starts)
    4. Start the program, choose port 1 at 9600,N,8,1 (or port 0 for TCP, with
       address 127.0.0.1 and port 4001), press START and the read hot key.
    The link may be re-created (simulator restarted) without touching Wine: Wine
    opens the path each time the program opens the port.

Frames
    Weight:  3 status characters, the value right-aligned in VALUE_WIDTH (12)
             characters, a space, the unit, CR LF:   "S S      12.345 kg\\r\\n"
    Tare:    the same with status "T S" and the tare value.
    Error:   "ES\\r\\n" for an unknown command or one longer than MAX_COMMAND.
    Stream:  a 6-digit sequence number (from 000001 for every new reader or
             client), a space, then a weight line: "000001 S S      12.345 kg\\r\\n"
    Commands end at CR LF; a lone CR or LF also ends one and empty lines are
    ignored. The displayed weight is the gross weight minus the tare: after a
    tare it is 0 until the weight changes.

Pacing
    Each byte is handed to the line only once its 10 bit times (8N1) have
    passed since the previous one, so the receiver never sees the simulated line
    run faster than --baud. The pty's own line speed is set too where the OS
    knows the rate. --baud 0 sends unpaced.

Output and log
    At start the simulator prints "pty PATH", "link PATH", "tcp HOST:PORT" (those
    that apply) and "ready" on standard output. Then comes the log, one line per
    chunk, tab-separated, flushed at once (parse_log_line reads it):
        <unix time, 6 decimals> TAB RX|TX|EV TAB serial|tcp|- TAB <hex bytes or -> TAB <text>
    RX: one line per read. TX: one line per frame sent (per 64 bytes of longer
    data), stamped when its last byte went out. The text is the bytes with
    \\r \\n \\t \\\\ and \\xNN escapes. EV lines report events (open, close,
    connect, dropped data, errors). Other lines (answers to interactive
    commands) start with "#". --log FILE appends the same lines to FILE.

Interactive commands on standard input (type "help"): weight, tare, zero,
send, interval, stream, weigh, ticket, binary, tcp stop|start|drop|reset, quit.

Python API (for the end-to-end tests):
    with ScaleSimulator(tcp_port=0, weight=1.5, link="/tmp/com1") as sim:
        sim.pty_path, sim.tcp_port
        sim.wait_for(b"SI\\r\\n", timeout=5, channel="serial")
        sim.send("hello\\r\\n", channel="tcp")
        sim.stop_tcp(); sim.start_tcp()
"""

import argparse
import collections
import errno
import os
import select
import selectors
import signal
import socket
import sys
import termios
import threading
import time
import traceback
import tty

SERIAL = "serial"
TCP = "tcp"
CHANNELS = (SERIAL, TCP)

VALUE_WIDTH = 12
MAX_COMMAND = 256
BITS_PER_BYTE = 10  # start bit, 8 data bits, stop bit

_CR = 13
_LF = 10
# How often the loop looks whether a program has opened the pty, and how long
# it waits before trying again a write the OS refused.
_PRESENCE_POLL = 0.01
_RETRY_DELAY = 0.01
# Smallest sleep between two paced writes: batches bytes at high rates.
_MIN_WRITE_GAP = 0.002
# Written bytes are logged per frame, or per this many bytes of a longer send.
_TX_LOG_CHUNK = 64
_CALL_TIMEOUT = 5.0

LogRecord = collections.namedtuple("LogRecord", "time direction channel data text")


# --- Frames -------------------------------------------------------------------


def format_value(value, decimals=3):
    """The weight as right-aligned text of VALUE_WIDTH characters."""
    text = f"{float(value):.{decimals}f}"
    if float(text) == 0:
        text = f"{0.0:.{decimals}f}"  # never "-0.000"
    return text.rjust(VALUE_WIDTH)


def weight_line(value, unit="kg", decimals=3, status="S S"):
    return f"{status}{format_value(value, decimals)} {unit}\r\n".encode("latin-1")


def stream_line(seq, value, unit="kg", decimals=3):
    return f"{seq % 1000000:06d} ".encode("ascii") + weight_line(value, unit, decimals)


ERROR_LINE = b"ES\r\n"

# A scale that sends all the time marks each reading settled or moving; three
# shapes of such lines (moving marks: "S D", "US,", a "?" after the unit).
SHAPES = ("status", "comma", "question")


def shape_line(shape, value, moving=False, unit="kg", decimals=3):
    """One reading in one of the SHAPES, CR LF ended."""
    value = 0.0 if round(float(value), decimals) == 0 else float(value)
    if shape == "status":
        return weight_line(value, unit, decimals, status="S D" if moving else "S S")
    if shape == "comma":
        sign = "-" if value < 0 else "+"
        return f"{'US' if moving else 'ST'},{sign}{abs(value):0{decimals + 6}.{decimals}f}  {unit}\r\n".encode("latin-1")
    if shape == "question":
        return f"{value:.{decimals}f}".rjust(10).encode("latin-1") + f" {unit}{'  ?' if moving else ''}\r\n".encode(
            "latin-1")
    raise ValueError(f"unknown shape {shape} (one of {', '.join(SHAPES)})")


def weighing_lines(shape, loads, unit="kg", decimals=3, settled=5):
    """A scale in use: each load put on (moving readings closing in on it), settled for a while, taken off
    (moving down) and the empty pan settled at zero."""
    lines = []
    for load in loads:
        lines += [shape_line(shape, load * f, True, unit, decimals) for f in (0.6, 1.04, 0.99)]
        lines += [shape_line(shape, load, False, unit, decimals)] * settled
        lines += [shape_line(shape, load * f, True, unit, decimals) for f in (0.4, 0.05)]
        lines += [shape_line(shape, 0, False, unit, decimals)] * 3
    return lines


# 27 readings of three scales one after the other: a person wants four weights of them.
DEFAULT_LOADS = (12.345, 7.125, 0.5)

CONTINUOUS_EXAMPLE = (
    [b"S D      10.100 kg\r\n"] * 3 + [b"S S      12.345 kg\r\n"] * 5 + [b"S D       3.000 kg\r\n"] * 2 +
    [b"S S       0.000 kg\r\n"] * 3 + [b"ST,+00007.125  kg\r\n"] * 4 + [b"US,+00007.500  kg\r\n"] * 2 +
    [b"ST,-00000.500  kg\r\n"] * 3 + [b"     1.250 g  ?\r\n"] * 2 + [b"     1.250 g\r\n"] * 3)


# A printed ticket: headings, then gross, tare and net, sent as one burst a line every TICKET_GAP
# seconds. A scale in weight mode types its net only.
TICKET_GAP = 0.08


def ticket_lines(gross=1520.5, tare=420.0, unit="kg", number=2031, when="2024/05/17 10:42:07"):
    """The lines of one printed ticket, CR LF ended."""
    day, time_of_day = when.split()
    lines = [f"Date: {day}", f"Time: {time_of_day}", f"Ticket No: {number}",
             f"GROSS: {gross:10.1f} {unit}", f"TARE:  {tare:10.1f} {unit}", f"NET:   {gross - tare:10.1f} {unit}",
             "Thank you"]
    return [(line + "\r\n").encode("latin-1") for line in lines]


# The continuous binary status frame of indicators: STX, status bytes A, B and C, six weight digits, six
# tare digits, CR, and after the CR a checksum byte (the two's complement of the 7-bit sum of STX to CR).
# A: bit 5 always, bits 3-4 the count-by (1 here), bits 0-2 the decimal point (2 none, 3-7 one to five
# decimals). B: bit 5 always, bit 0 net, bit 1 negative, bit 2 out of range, bit 3 motion, bit 4 kg (lb
# when clear). C: bit 5 always, the unit of B.
STX = 0x02


def binary_frame(value, decimals=2, unit="kg", net=False, moving=False, out_of_range=False, tare=0.0,
                 with_tare=True, checksum=True):
    """One binary status frame, its checksum byte after the CR unless checksum=False."""
    if not 0 <= decimals <= 5:
        raise ValueError("decimals must be 0 to 5")
    scale = 10 ** decimals
    weight = round(abs(float(value)) * scale)
    a = 0x20 | 0x08 | (decimals + 2)
    b = 0x20 | (1 if net else 0) | (2 if float(value) < 0 and weight else 0) | (4 if out_of_range else 0)
    b |= (8 if moving else 0) | (16 if unit == "kg" else 0)
    frame = bytes([STX, a, b, 0x20]) + f"{min(weight, 999999):06d}".encode("ascii")
    if with_tare:
        frame += f"{min(round(abs(float(tare)) * scale), 999999):06d}".encode("ascii")
    frame += b"\r"
    if checksum:
        frame += bytes([-sum(frame) & 0x7F])
    return frame


def binary_weighing(loads, decimals=2, unit="kg", settled=5):
    """A scale in use as binary frames: each load closed in on (motion bit set), settled, taken off, and
    the empty platform settled at zero."""
    frames = []
    for load in loads:
        frames += [binary_frame(load * f, decimals, unit, moving=True) for f in (0.6, 1.04, 0.99)]
        frames += [binary_frame(load, decimals, unit)] * settled
        frames += [binary_frame(load * f, decimals, unit, moving=True) for f in (0.4, 0.05)]
        frames += [binary_frame(0, decimals, unit)] * 3
    return frames


# --- Log format ---------------------------------------------------------------


def render_printable(data):
    out = []
    for b in data:
        if b == _CR:
            out.append("\\r")
        elif b == _LF:
            out.append("\\n")
        elif b == 9:
            out.append("\\t")
        elif b == 0x5C:
            out.append("\\\\")
        elif 0x20 <= b < 0x7F:
            out.append(chr(b))
        else:
            out.append(f"\\x{b:02x}")
    return "".join(out)


def format_log_line(rec):
    hexpart = " ".join(f"{b:02x}" for b in rec.data) if rec.data else "-"
    return f"{rec.time:.6f}\t{rec.direction}\t{rec.channel}\t{hexpart}\t{rec.text}"


def parse_log_line(line):
    """A LogRecord from one log line, or None for any other line."""
    parts = line.rstrip("\r\n").split("\t", 4)
    if len(parts) != 5 or parts[1] not in ("RX", "TX", "EV"):
        return None
    try:
        stamp = float(parts[0])
        data = b"" if parts[3] == "-" else bytes.fromhex(parts[3])
    except ValueError:
        return None
    return LogRecord(stamp, parts[1], parts[2], data, parts[4])


# --- Simulator ----------------------------------------------------------------


class _Channel:
    def __init__(self, name, baud):
        self.name = name
        self.baud = baud
        self.rx = bytearray()  # everything received (until cleared)
        self.tx = bytearray()  # everything written to the line
        self.command = bytearray()
        self.command_overflow = False
        self.out = bytearray()  # waiting to be paced out
        self.tx_clock = 0.0  # monotonic time the last written byte ended
        self.retry_at = 0.0
        self.seq = 0
        self.tx_unlogged = bytearray()  # written, to be logged as one line
        self.active = False  # a reader (serial) or a client (tcp) is there

    def byte_time(self):
        return BITS_PER_BYTE / self.baud if self.baud > 0 else 0.0

    def reset_session(self):
        self.command.clear()
        self.command_overflow = False
        self.out.clear()
        self.seq = 0


class ScaleSimulator:
    """A simulated scale on a pty and/or a TCP port, run by one background thread.

    All public methods are thread-safe. Methods that touch sockets run on the
    simulator's thread and return when done.
    """

    def __init__(
        self,
        *,
        serial=True,
        link=None,
        tcp_port=None,
        host="127.0.0.1",
        baud=9600,
        tcp_baud=None,
        weight=0.0,
        unit="kg",
        decimals=3,
        interval=0.0,
        stream=False,
        query_command="SI",
        tare_command="T",
        log_path=None,
        log_stream=None,
    ):
        if baud < 0 or (tcp_baud is not None and tcp_baud < 0):
            raise ValueError("baud must be >= 0")
        self._serial_enabled = serial
        self._link_request = link
        self._host = host
        self._tcp_port = tcp_port
        self._unit = unit
        self._decimals = decimals
        self._query = query_command
        self._tare_cmd = tare_command
        self._gross = float(weight)
        self._tare = 0.0
        self._interval = float(interval)
        self._stream = bool(stream)
        self._next_auto = 0.0
        self._play_lines = []
        self._play_index = 0
        self._play_interval = 0.0
        self._play_repeat = False
        self._play_next = 0.0

        self._lock = threading.RLock()
        self._cond = threading.Condition(self._lock)
        self._channels = {
            SERIAL: _Channel(SERIAL, baud),
            TCP: _Channel(TCP, baud if tcp_baud is None else tcp_baud),
        }
        self._log_lock = threading.Lock()
        self._log_records = []
        self._log_stream = log_stream
        self._log_path = log_path
        self._log_file = None

        self._master = None
        self._pty_path = None
        self._link = None
        self._presence_poll = None
        self._listener = None
        self._client = None
        self._tcp_accepts = 0
        self._serial_opens = 0

        self._selector = None
        self._wake_r = self._wake_w = None
        self._calls = collections.deque()
        self._thread = None
        self._running = False

    # -- lifecycle ---------------------------------------------------------

    def start(self):
        if self._thread is not None:
            raise RuntimeError("already started")
        try:
            if self._log_path:
                self._log_file = open(self._log_path, "a", encoding="utf-8")
            self._selector = selectors.DefaultSelector()
            self._wake_r, self._wake_w = os.pipe()
            os.set_blocking(self._wake_r, False)
            os.set_blocking(self._wake_w, False)
            self._selector.register(self._wake_r, selectors.EVENT_READ, "wake")
            if self._serial_enabled:
                self._open_pty()
                if self._link_request:
                    self._make_link(self._link_request)
            if self._tcp_port is not None:
                self._listen()
        except BaseException:
            self._release()
            raise
        self._next_auto = time.monotonic() + self._interval
        self._running = True
        self._thread = threading.Thread(target=self._loop, name="scale-sim", daemon=True)
        self._thread.start()
        return self

    def stop(self):
        thread = self._thread
        if thread is not None and self._running:
            self._running = False
            self._wake()
            thread.join(timeout=_CALL_TIMEOUT)
        self._release()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    # -- properties ----------------------------------------------------------

    @property
    def pty_path(self):
        """Path of the device the program must open (the pty's slave side)."""
        return self._pty_path

    @property
    def link(self):
        return self._link

    @property
    def tcp_port(self):
        """The listening port (the real one when 0 was asked for)."""
        return self._tcp_port

    @property
    def tcp_listening(self):
        with self._lock:
            return self._listener is not None

    @property
    def tcp_connected(self):
        with self._lock:
            return self._client is not None

    @property
    def tcp_accept_count(self):
        with self._lock:
            return self._tcp_accepts

    @property
    def serial_open(self):
        """Whether a program has the serial device open."""
        with self._lock:
            return self._channels[SERIAL].active

    @property
    def serial_open_count(self):
        with self._lock:
            return self._serial_opens

    @property
    def weight(self):
        """The displayed (net) weight: gross minus tare."""
        with self._lock:
            return self._gross - self._tare

    # -- data ----------------------------------------------------------------

    def received(self, channel=SERIAL):
        with self._lock:
            return bytes(self._channels[channel].rx)

    def sent(self, channel=SERIAL):
        """Bytes actually written to the line (after pacing)."""
        with self._lock:
            return bytes(self._channels[channel].tx)

    def clear_received(self, channel=None):
        with self._lock:
            for name in CHANNELS if channel is None else (channel,):
                self._channels[name].rx.clear()

    def log_records(self):
        with self._log_lock:
            return list(self._log_records)

    def attach_log_stream(self, stream):
        """Log to `stream` from now on, after writing it the records so far."""
        with self._log_lock:
            for rec in self._log_records:
                stream.write(format_log_line(rec) + "\n")
            stream.flush()
            self._log_stream = stream

    def wait_for(self, what, timeout=5.0, channel=SERIAL):
        """Wait until bytes `what` are among those received on `channel`, or until
        `what(received_bytes)` is true. Returns whether that happened in time."""
        if isinstance(what, str):
            what = what.encode("latin-1")
        if isinstance(what, (bytes, bytearray)):
            needle = bytes(what)

            def predicate():
                return needle in self._channels[channel].rx

        else:

            def predicate():
                return what(bytes(self._channels[channel].rx))

        with self._cond:
            return self._cond.wait_for(predicate, timeout)

    def send(self, data, channel=SERIAL):
        """Queue bytes (or text, one byte per character, latin-1) for paced sending.
        Data for a channel with no reader or client are dropped and logged."""
        if isinstance(data, str):
            data = data.encode("latin-1")
        with self._lock:
            self._enqueue(self._channels[channel], bytes(data))
        self._wake()

    def wait_sent(self, channel=SERIAL, timeout=5.0):
        """Wait until everything queued on `channel` has been written."""
        with self._cond:
            return self._cond.wait_for(lambda: not self._channels[channel].out, timeout)

    # -- scale state -----------------------------------------------------------

    def set_weight(self, value):
        """Set the gross weight on the platform (the display shows it minus the tare)."""
        with self._lock:
            self._gross = float(value)

    def tare(self):
        with self._lock:
            self._tare = self._gross
            return self._tare

    def clear_tare(self):
        with self._lock:
            self._tare = 0.0

    def set_interval(self, seconds):
        """Automatic frames every `seconds` (0 = off). With the stream on, the
        interval paces the numbered lines instead (0 = back to back)."""
        with self._lock:
            self._interval = max(0.0, float(seconds))
            self._next_auto = time.monotonic() + self._interval
        self._wake()

    def set_stream(self, on):
        with self._lock:
            self._stream = bool(on)
            for ch in self._channels.values():
                ch.seq = 0
        self._wake()

    def play(self, lines, interval, repeat=False):
        """Send each of `lines` (bytes) on every channel that has a reader, one every `interval` seconds from
        now, over and over with repeat=True. An empty list stops playing."""
        with self._lock:
            self._play_lines = [bytes(line) for line in lines]
            self._play_index = 0
            self._play_interval = max(0.0, float(interval))
            self._play_repeat = bool(repeat)
            self._play_next = time.monotonic()
        self._wake()

    @property
    def playing(self):
        with self._lock:
            return self._play_index < len(self._play_lines)

    # -- TCP control -----------------------------------------------------------

    def stop_tcp(self):
        """Close the listener and the client (a normal close)."""
        self._call(self._stop_tcp_now)

    def start_tcp(self):
        """Listen again on the same port."""
        self._call(self._listen)

    def disconnect_tcp_client(self, reset=False):
        """Drop the client only: a normal close, or a reset with reset=True."""
        self._call(lambda: self._close_client("dropped", reset=reset))

    # -- internals: setup and teardown -------------------------------------------

    def _open_pty(self):
        master, slave = os.openpty()
        try:
            tty.setraw(slave)
            attrs = termios.tcgetattr(slave)
            attrs[3] &= ~(termios.ECHO | termios.ECHONL)
            speed = getattr(termios, f"B{self._channels[SERIAL].baud}", None)
            if speed is not None and self._channels[SERIAL].baud > 0:
                attrs[4] = attrs[5] = speed
            termios.tcsetattr(slave, termios.TCSANOW, attrs)
            self._pty_path = os.ttyname(slave)
        finally:
            # Holding the slave open would make data queue up for a program that
            # is not there; closed, the master tells when a program opens it.
            os.close(slave)
        os.set_blocking(master, False)
        self._master = master
        self._presence_poll = select.poll()
        self._presence_poll.register(master, select.POLLIN)

    def _make_link(self, path):
        path = os.path.abspath(path)
        if os.path.lexists(path) and not os.path.islink(path):
            raise FileExistsError(f"{path} exists and is not a symlink")
        tmp = f"{path}.{os.getpid()}.tmp"
        if os.path.lexists(tmp):
            os.unlink(tmp)
        os.symlink(self._pty_path, tmp)
        os.replace(tmp, path)
        self._link = path
        self._event("-", f"link {path} -> {self._pty_path}")

    def _remove_link(self):
        if self._link is None:
            return
        try:
            if os.path.islink(self._link) and os.readlink(self._link) == self._pty_path:
                os.unlink(self._link)
        except OSError:
            pass
        self._link = None

    def _release(self):
        with self._lock:
            for ch in self._channels.values():
                self._flush_tx_log(ch)
            if self._client is not None:
                self._close_client("simulator stopped")
            self._close_listener()
            if self._master is not None:
                self._forget(self._master)
                try:
                    os.close(self._master)
                except OSError:
                    pass
                self._master = None
            self._remove_link()
            if self._selector is not None:
                self._selector.close()
                self._selector = None
            for fd in (self._wake_r, self._wake_w):
                if fd is not None:
                    try:
                        os.close(fd)
                    except OSError:
                        pass
            self._wake_r = self._wake_w = None
            self._thread = None
            self._cond.notify_all()
        with self._log_lock:
            if self._log_file is not None:
                self._log_file.close()
                self._log_file = None

    def _forget(self, fileobj):
        if self._selector is None:
            return
        try:
            self._selector.unregister(fileobj)
        except (KeyError, ValueError):
            pass

    # -- internals: calls onto the loop thread ---------------------------------------

    def _wake(self):
        fd = self._wake_w
        if fd is None:
            return
        try:
            os.write(fd, b"x")
        except OSError:
            pass  # full pipe: the loop is woken anyway

    def _call(self, fn):
        if not self._running or threading.current_thread() is self._thread:
            with self._lock:
                return fn()
        done = threading.Event()
        box = {}

        def run():
            try:
                box["result"] = fn()
            except BaseException as exc:  # handed back to the caller
                box["error"] = exc
            done.set()

        self._calls.append(run)
        self._wake()
        if not done.wait(_CALL_TIMEOUT):
            raise TimeoutError("simulator thread did not answer")
        if "error" in box:
            raise box["error"]
        return box.get("result")

    # -- internals: the loop ----------------------------------------------------------

    def _loop(self):
        while self._running:
            try:
                timeout = self._next_timeout()
                events = self._selector.select(timeout)
                with self._lock:
                    for key, mask in events:
                        self._dispatch(key, mask)
                    while self._calls:
                        self._calls.popleft()()
                    self._check_serial_presence()
                    self._auto_frames()
                    self._pump_all()
                    self._cond.notify_all()
            except Exception:  # keep serving whatever went wrong
                self._event("-", "internal error: " + traceback.format_exc().replace("\n", " | "))
                time.sleep(_RETRY_DELAY)
        while self._calls:  # callers waiting on a stopped loop
            self._calls.popleft()()

    def _next_timeout(self):
        now = time.monotonic()
        with self._lock:
            deadline = now + 0.5
            serial = self._channels[SERIAL]
            if self._master is not None and not serial.active:
                deadline = min(deadline, now + _PRESENCE_POLL)
            if self._interval > 0:
                if any(ch.active for ch in self._channels.values()):
                    deadline = min(deadline, self._next_auto)
            elif self._stream:
                if any(ch.active and not ch.out for ch in self._channels.values()):
                    deadline = now
            if self._play_index < len(self._play_lines):
                deadline = min(deadline, self._play_next)
            for ch in self._channels.values():
                if ch.out and ch.active:
                    due = max(ch.tx_clock + ch.byte_time(), ch.retry_at, now + _MIN_WRITE_GAP)
                    deadline = min(deadline, due)
        return max(0.0, deadline - now)

    def _dispatch(self, key, mask):
        tag = key.data
        if tag == "wake":
            try:
                while os.read(self._wake_r, 4096):
                    pass
            except BlockingIOError:
                pass
        elif tag == "pty":
            self._read_pty()
        elif tag == "listener":
            self._accept()
        elif tag == "client":
            if key.fileobj is self._client:
                self._read_client()

    # -- internals: serial ------------------------------------------------------------

    def _check_serial_presence(self):
        serial = self._channels[SERIAL]
        if self._master is None or serial.active:
            return
        events = self._presence_poll.poll(0)
        if events and events[0][1] & select.POLLHUP:
            if events[0][1] & select.POLLIN:
                self._drain_pty()  # written by a program that closed already
            return
        serial.active = True
        serial.reset_session()
        self._serial_opens += 1
        self._selector.register(self._master, selectors.EVENT_READ, "pty")
        self._event(SERIAL, "opened by the program")

    def _drain_pty(self):
        while True:
            try:
                data = os.read(self._master, 4096)
            except OSError:
                return
            if not data:
                return
            self._received(self._channels[SERIAL], data)

    def _read_pty(self):
        try:
            data = os.read(self._master, 4096)
        except BlockingIOError:
            return
        except OSError as exc:
            if exc.errno == errno.EIO:
                self._serial_closed()
                return
            raise
        if data:
            self._received(self._channels[SERIAL], data)

    def _serial_closed(self):
        serial = self._channels[SERIAL]
        if not serial.active:
            return
        serial.active = False
        self._forget(self._master)
        pending = len(serial.out)
        self._flush_tx_log(serial)
        serial.reset_session()
        self._discard_unread()
        note = f", {pending} bytes not sent" if pending else ""
        self._event(SERIAL, f"closed by the program{note}")

    def _discard_unread(self):
        # What the program left unread would otherwise reach it at its next open.
        try:
            fd = os.open(self._pty_path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        except OSError:
            return
        try:
            termios.tcflush(fd, termios.TCIFLUSH)
        except termios.error:
            pass
        finally:
            os.close(fd)

    # -- internals: TCP ---------------------------------------------------------------

    def _listen(self):
        if self._listener is not None:
            return
        if self._selector is None:
            raise RuntimeError("the simulator is not running")
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        try:
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            sock.bind((self._host, self._tcp_port))
            sock.listen(1)
            sock.setblocking(False)
        except BaseException:
            sock.close()
            raise
        self._listener = sock
        self._tcp_port = sock.getsockname()[1]
        self._selector.register(sock, selectors.EVENT_READ, "listener")
        self._event(TCP, f"listening on {self._host}:{self._tcp_port}")

    def _close_listener(self):
        if self._listener is None:
            return
        self._forget(self._listener)
        self._listener.close()
        self._listener = None
        self._event(TCP, "listener closed")

    def _stop_tcp_now(self):
        self._close_client("simulator stopped listening")
        self._close_listener()

    def _accept(self):
        try:
            sock, peer = self._listener.accept()
        except (BlockingIOError, InterruptedError, ConnectionAbortedError):
            return
        if self._client is not None:
            self._close_client("replaced by a new client")
        sock.setblocking(False)
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self._client = sock
        self._tcp_accepts += 1
        tcp = self._channels[TCP]
        tcp.active = True
        tcp.reset_session()
        self._selector.register(sock, selectors.EVENT_READ, "client")
        self._event(TCP, f"client connected from {peer[0]}:{peer[1]}")

    def _read_client(self):
        try:
            data = self._client.recv(4096)
        except (BlockingIOError, InterruptedError):
            return
        except OSError as exc:
            self._close_client(f"client error: {exc.strerror or exc}")
            return
        if not data:
            self._close_client("client closed the connection")
            return
        self._received(self._channels[TCP], data)

    def _close_client(self, why, reset=False):
        sock = self._client
        if sock is None:
            return
        self._forget(sock)
        self._client = None
        tcp = self._channels[TCP]
        tcp.active = False
        self._flush_tx_log(tcp)
        tcp.reset_session()
        try:
            if reset:
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
            else:
                # Unread input would turn the close into a reset: take it first.
                while True:
                    try:
                        data = sock.recv(4096)
                    except (BlockingIOError, InterruptedError):
                        break
                    if not data:
                        break
                    self._received(tcp, data)
                sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        sock.close()
        self._event(TCP, f"{why}{' (reset)' if reset else ''}")

    # -- internals: commands and frames ---------------------------------------------------

    def _received(self, ch, data):
        ch.rx += data
        self._log("RX", ch.name, data)
        for b in data:
            if b in (_CR, _LF):
                if ch.command or ch.command_overflow:
                    self._answer(ch)
                ch.command.clear()
                ch.command_overflow = False
            elif len(ch.command) < MAX_COMMAND:
                ch.command.append(b)
            else:
                ch.command_overflow = True
        self._cond.notify_all()

    def _answer(self, ch):
        text = ch.command.decode("latin-1")
        if ch.command_overflow:
            reply = ERROR_LINE
        elif text == self._query:
            reply = weight_line(self._gross - self._tare, self._unit, self._decimals)
        elif text == self._tare_cmd:
            tare = self.tare()
            reply = weight_line(tare, self._unit, self._decimals, status="T S")
        else:
            reply = ERROR_LINE
        self._enqueue(ch, reply)

    def _play_due(self):
        now = time.monotonic()
        if self._play_index >= len(self._play_lines) or now < self._play_next:
            return
        line = self._play_lines[self._play_index]
        self._play_index += 1
        if self._play_repeat and self._play_index == len(self._play_lines):
            self._play_index = 0
        # On schedule, without a burst to catch up after a late pass.
        self._play_next = max(self._play_next + self._play_interval, now)
        for ch in self._channels.values():
            if ch.active:  # nobody listening: the line goes nowhere, as on a real cable
                self._enqueue(ch, line)

    def _auto_frames(self):
        self._play_due()
        if not (self._interval > 0 or self._stream):
            return
        now = time.monotonic()
        if self._interval > 0:
            if now < self._next_auto:
                return
            self._next_auto += self._interval
            if self._next_auto <= now:  # missed ticks are skipped, not caught up
                self._next_auto = now + self._interval
        net = self._gross - self._tare
        for ch in self._channels.values():
            if not ch.active or ch.out:
                continue  # a slow line or no reader: skip rather than pile up
            if self._stream:
                ch.seq += 1
                self._enqueue(ch, stream_line(ch.seq, net, self._unit, self._decimals))
            else:
                self._enqueue(ch, weight_line(net, self._unit, self._decimals))

    def _enqueue(self, ch, data):
        if not data:
            return
        if not ch.active or not self._running:
            self._event(ch.name, f"dropped {len(data)} bytes: no {'client' if ch.name == TCP else 'reader'}")
            return
        if not ch.out:
            ch.tx_clock = max(ch.tx_clock, time.monotonic())
        ch.out += data

    def _pump_all(self):
        for ch in self._channels.values():
            if ch.out and ch.active:
                self._pump(ch)
            if ch.tx_unlogged and not ch.out:
                self._flush_tx_log(ch)

    def _pump(self, ch):
        now = time.monotonic()
        if now < ch.retry_at:
            return
        bt = ch.byte_time()
        if bt > 0:
            due = int((now - ch.tx_clock) / bt + 1e-9)
            if due <= 0:
                return
            chunk = bytes(ch.out[:due])
        else:
            chunk = bytes(ch.out)
        written = self._write(ch, chunk)
        if written is None:
            return  # the channel went away
        if written:
            del ch.out[:written]
            ch.tx += chunk[:written]
            ch.tx_clock += written * bt
            ch.tx_unlogged += chunk[:written]
            if len(ch.tx_unlogged) >= _TX_LOG_CHUNK:
                self._flush_tx_log(ch)
        if written < len(chunk):
            # The OS buffer is full: the line stalls; restart pacing from now.
            ch.retry_at = now + _RETRY_DELAY
            ch.tx_clock = now + _RETRY_DELAY - bt

    def _write(self, ch, data):
        """Bytes written (0 when the OS refuses for now), None when the peer is gone."""
        try:
            if ch.name == SERIAL:
                return os.write(self._master, data)
            return self._client.send(data, socket.MSG_NOSIGNAL)
        except (BlockingIOError, InterruptedError):
            return 0
        except OSError as exc:
            if ch.name == SERIAL:
                if exc.errno == errno.EIO:
                    self._serial_closed()
                    return None
                raise
            self._close_client(f"client error: {exc.strerror or exc}")
            return None

    # -- internals: log -------------------------------------------------------------------

    def _flush_tx_log(self, ch):
        if ch.tx_unlogged:
            self._log("TX", ch.name, ch.tx_unlogged)
            ch.tx_unlogged.clear()

    def _event(self, channel, text):
        self._emit(LogRecord(time.time(), "EV", channel, b"", text.replace("\t", " ")))

    def _log(self, direction, channel, data):
        self._emit(LogRecord(time.time(), direction, channel, bytes(data), render_printable(data)))

    def _emit(self, rec):
        line = format_log_line(rec) + "\n"
        with self._log_lock:
            self._log_records.append(rec)
            for out in (self._log_stream, self._log_file):
                if out is None:
                    continue
                try:
                    out.write(line)
                    out.flush()
                except (OSError, ValueError):
                    pass  # a closed stdout must not stop the simulator


# --- Command line ---------------------------------------------------------------------

INTERACTIVE_HELP = """commands:
  weight VALUE          set the gross weight (w VALUE)
  tare | zero           tare now | clear the tare
  send CHANNEL TEXT     send TEXT (escapes \\r \\n \\xNN) on serial or tcp
  interval SECONDS      automatic frames (0 = off)
  stream on|off         numbered lines
  weigh SHAPE [RATE]    a scale in use, RATE lines a second (SHAPE status, comma, question; off)
  ticket                a printed ticket: headings, gross, tare and net, a line every 80 ms
  binary [RATE]         a scale in use as binary status frames, RATE frames a second (off)
  tcp stop|start|drop|reset
  status | help | quit"""


def _interactive(sim, line, out):
    words = line.strip().split(None, 2)
    if not words:
        return True
    cmd, args = words[0].lower(), words[1:]
    try:
        if cmd in ("quit", "exit", "q"):
            return False
        if cmd in ("weight", "w"):
            sim.set_weight(float(args[0]))
        elif cmd == "tare":
            sim.tare()
        elif cmd == "zero":
            sim.clear_tare()
        elif cmd == "send":
            channel = args[0]
            if channel not in CHANNELS:
                raise ValueError(f"unknown channel {channel}")
            text = line.strip().split(None, 2)[2]
            sim.send(text.encode("latin-1").decode("unicode_escape").encode("latin-1"), channel)
        elif cmd == "interval":
            sim.set_interval(float(args[0]))
        elif cmd == "stream":
            sim.set_stream(args[0].lower() in ("on", "1", "yes"))
        elif cmd == "weigh":
            if args[0].lower() == "off":
                sim.play([], 0)
            else:
                rate = float(line.split()[2]) if len(line.split()) > 2 else 10.0
                sim.play(weighing_lines(args[0].lower(), DEFAULT_LOADS), 1.0 / rate, repeat=True)
        elif cmd == "ticket":
            sim.play(ticket_lines(), TICKET_GAP)
        elif cmd == "binary":
            if args and args[0].lower() == "off":
                sim.play([], 0)
            else:
                rate = float(args[0]) if args else 10.0
                sim.play(binary_weighing(DEFAULT_LOADS), 1.0 / rate, repeat=True)
        elif cmd == "tcp":
            action = args[0].lower()
            if action == "stop":
                sim.stop_tcp()
            elif action == "start":
                sim.start_tcp()
            elif action in ("drop", "reset"):
                sim.disconnect_tcp_client(reset=action == "reset")
            else:
                raise ValueError(f"unknown tcp action {action}")
        elif cmd == "status":
            print(
                f"# weight {sim.weight} serial_open {sim.serial_open} "
                f"tcp_listening {sim.tcp_listening} tcp_connected {sim.tcp_connected}",
                file=out,
                flush=True,
            )
        elif cmd == "help":
            print(INTERACTIVE_HELP, file=out, flush=True)
        else:
            raise ValueError(f"unknown command {cmd} (try help)")
    except (IndexError, ValueError, OSError) as exc:
        print(f"# error: {exc}", file=out, flush=True)
    return True


def _parse_args(argv):
    parser = argparse.ArgumentParser(
        prog="scale_sim.py",
        formatter_class=argparse.RawDescriptionHelpFormatter,
        description="Simulated weighing scale on a pty pair and/or a TCP port.\n"
        "Answers SI with a weight line, T with a tare line, anything else with ES;\n"
        "logs every byte received and sent (tab-separated, one line per chunk).",
        epilog="""frames:
  weight  "S S" + value right-aligned in 12 characters + " " + unit + CR LF,
          e.g. "S S      12.345 kg"; tare: the same with "T S"; error: "ES"
  stream  "000001 " + a weight line, numbered from 1 for every reader/client
  weigh   lines of a scale in use, marked settled or moving, in one of three shapes:
          status    "S S      12.345 kg" settled, "S D      10.100 kg" moving
          comma     "ST,+00007.125  kg" settled, "US,+00007.500  kg" moving
          question  "     1.250 g" settled, "     1.250 g  ?" moving
  ticket  (command) "Date: ...", "Time: ...", "Ticket No: ...", "GROSS:", "TARE:", "NET:" lines, 80 ms apart
  binary  STX + status bytes A B C + 6 weight digits + 6 tare digits + CR + checksum byte

standard output: "pty PATH", "link PATH", "tcp HOST:PORT", "ready", then the log.
standard input:  type "help" for the commands (weight, tare, send, tcp stop/start...).
Stop with Ctrl+C, "quit" or SIGTERM; the link is removed on exit.

under Wine:
  python3 tools/scale_sim.py --link /tmp/pondex-com1 --tcp 4001
  wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM1 /t REG_SZ /d /tmp/pondex-com1 /f
  wineserver -k     (the port mapping is read when the Wine server starts)""",
    )
    parser.add_argument("--link", metavar="PATH", help="symlink to the pty's device (replaced if it exists)")
    parser.add_argument("--no-serial", action="store_true", help="no pty, TCP only")
    parser.add_argument("--tcp", metavar="PORT", type=int, help="listen on this TCP port (0: any free port)")
    parser.add_argument("--host", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    parser.add_argument("--baud", type=int, default=9600, help="line speed; sending never runs faster (0: unpaced)")
    parser.add_argument("--tcp-baud", type=int, help="pacing of the TCP channel (default: --baud; 0: unpaced)")
    parser.add_argument("--weight", type=float, default=0.0, help="gross weight (default 0)")
    parser.add_argument("--unit", default="kg", help="unit after the value (default kg)")
    parser.add_argument("--decimals", type=int, default=3, help="decimals of the value (default 3)")
    parser.add_argument("--interval", type=float, default=0.0, metavar="SECONDS", help="send a frame every SECONDS (0: off)")
    parser.add_argument("--stream", action="store_true", help="send numbered lines back to back (or every --interval)")
    parser.add_argument("--weigh", choices=SHAPES, help="play a scale in use: loads put on, settled, taken off")
    parser.add_argument("--binary", action="store_true",
                        help="play a scale in use as binary status frames (STX, 3 status bytes, weight, tare, CR)")
    parser.add_argument("--rate", type=float, default=10.0, help="lines a second for --weigh and --binary (default 10)")
    parser.add_argument("--loads", default=",".join(str(v) for v in DEFAULT_LOADS), metavar="LIST",
                        help="comma-separated loads for --weigh (default %(default)s)")
    parser.add_argument("--query-command", default="SI", metavar="TEXT", help="read command (default SI)")
    parser.add_argument("--tare-command", default="T", metavar="TEXT", help="tare command (default T)")
    parser.add_argument("--log", metavar="FILE", help="also append the log to FILE")
    parser.add_argument("--quiet", action="store_true", help="do not log to standard output")
    args = parser.parse_args(argv)
    if args.no_serial and args.tcp is None:
        parser.error("nothing to serve: --no-serial needs --tcp")
    if args.no_serial and args.link:
        parser.error("--link needs the serial line")
    if args.rate <= 0:
        parser.error("--rate must be above 0")
    try:
        args.loads = [float(v) for v in args.loads.split(",") if v.strip()]
    except ValueError:
        parser.error("--loads takes numbers separated by commas")
    return args


def main(argv=None):
    args = _parse_args(argv)

    def terminate(signum, frame):
        raise KeyboardInterrupt

    # Set explicitly: a shell starts background jobs with SIGINT ignored, and a
    # closed terminal (SIGHUP) must still remove the link.
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, terminate)
    sim = ScaleSimulator(
        serial=not args.no_serial,
        link=args.link,
        tcp_port=args.tcp,
        host=args.host,
        baud=args.baud,
        tcp_baud=args.tcp_baud,
        weight=args.weight,
        unit=args.unit,
        decimals=args.decimals,
        interval=args.interval,
        stream=args.stream,
        query_command=args.query_command,
        tare_command=args.tare_command,
        log_path=args.log,
    )
    try:
        sim.start()
    except OSError as exc:
        print(f"scale_sim: {exc}", file=sys.stderr)
        return 1
    try:
        if sim.pty_path:
            print(f"pty {sim.pty_path}")
        if sim.link:
            print(f"link {sim.link}")
        if sim.tcp_port is not None:
            print(f"tcp {args.host}:{sim.tcp_port}")
        if args.weigh:
            sim.play(weighing_lines(args.weigh, args.loads, args.unit, args.decimals), 1.0 / args.rate, repeat=True)
        elif args.binary:
            sim.play(binary_weighing(args.loads, min(args.decimals, 5), args.unit), 1.0 / args.rate, repeat=True)
        print("ready", flush=True)
        if not args.quiet:
            sim.attach_log_stream(sys.stdout)
        for line in sys.stdin if sys.stdin is not None else ():
            if not _interactive(sim, line, sys.stdout):
                break
        else:
            while True:  # no (more) standard input: serve until a signal
                time.sleep(3600)
    except KeyboardInterrupt:
        pass
    finally:
        sim.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
