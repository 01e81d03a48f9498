#pragma once
// Serial ports, as the serial component needs them: the communications
// functions of the system, one call each.
//
// Contract, the same for the Win32 implementation and the fake:
// - A failed call comes back with ok false and the system's error number
//   (GetLastError on Win32: 2 no such port, 5 in use, 87 bad mode text, ...).
// - A port is opened for exclusive reading and writing; an OpenPort object
//   owns its handle and closes it when it goes, unless close() did so
//   already.
// - A line-control block is built from a mode text such as "9600,N,8,1" on
//   a block whose every field is zero: no flow control. Building it sets the
//   DTR and RTS lines to "enable", so they are asserted while the port is
//   open; that is kept on purpose, as many instruments send only while DTR
//   is up. The block is opaque: only the SerialPorts that built it can
//   apply it.
// - Reading happens in the background once startReading() was called. The
//   reader waits for the line, never polls it: idle, it sleeps until a byte
//   comes. While bytes keep coming it hands over what has arrived within
//   about 20 ms of each byte, however the stream runs (no waiting for a gap
//   or a full buffer). Each piece is stamped with the moment the read that
//   brought it completed, on the event loop's clock (EventLoop::now), so a
//   silence can be measured from the line, not from the delivery.
// - Pieces are kept, in order, until read() takes them; read() never waits.
//   At most kMaxWaitingBytes wait: above that the reader pauses until
//   read() drains them, and the driver's input queue (enlarged at open)
//   holds what comes meanwhile. Nothing is ever dropped by the reader.
// - A piece says whether the driver reported a line error (parity,
//   framing, overrun, input queue overflow) while it was read.
// - The arrival handler runs on the user-interface thread, from whichever
//   message loop that thread is in, whenever something (bytes or a read
//   failure) waits for read(); an arrival during the handler makes it run
//   once more after it returns. It never runs inside read() or after
//   close(), and nothing handed over but not taken survives close().
// - A read that fails is handed over once, after every byte read before
//   it, stamped like a piece. After a device-gone failure nothing more is
//   read; after any other the reader tries again about 250 ms later, and a
//   read that completes at once with nothing rests at least 10 ms, so that
//   a failing or odd driver cannot spin.
// - write() blocks the calling thread under the write timeouts; bytes are
//   passed one character each, unconverted. A pending read does not hold
//   it up.
// - A read or write on a handle whose device has gone fails with an error
//   for which isDeviceGoneError is true, also where the system's read itself
//   would only wait on.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/event_loop.h"
#include "platform/result.h"

namespace pondex {

// The system error numbers the logic names.
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorNotReady = 21;
inline constexpr int kErrorBrokenPipe = 109;
inline constexpr int kErrorBadCommand = 22;
inline constexpr int kErrorGenFailure = 31;
inline constexpr int kErrorDevNotExist = 55;
inline constexpr int kErrorInvalidParameter = 87;
inline constexpr int kErrorNoSuchDevice = 433;
inline constexpr int kErrorDeviceNotConnected = 1167;
inline constexpr int kErrorDeviceRemoved = 1617;

// True for the errors a read or write gives once the device behind an open
// handle has gone (a USB adapter unplugged); such a handle never works again.
// 21 (not ready) and 109 (broken pipe) are what Wine answers once the tty
// behind a port vanished; a port that is there is always "ready" and has no
// pipe to break, so neither can come from a healthy line.
constexpr bool isDeviceGoneError(int error) {
  switch (error) {
    case kErrorNotReady:
    case kErrorBrokenPipe:
    case kErrorBadCommand:
    case kErrorGenFailure:
    case kErrorDevNotExist:
    case kErrorNoSuchDevice:
    case kErrorDeviceNotConnected:
    case kErrorDeviceRemoved:
      return true;
    default:
      return false;
  }
}

// What may wait between the reader and the user-interface thread.
inline constexpr std::size_t kMaxWaitingBytes = std::size_t{1024} * 1024;

// One piece of what the line sent, as the background read hands it over.
struct SerialPiece {
  std::string bytes;       // in order, one character per byte
  Millis receivedAt{0};    // when its read completed (or failed), on the event loop's clock
  bool lineError = false;  // the driver reported a line error while it was read
};

// COMMTIMEOUTS, in milliseconds. A read of n bytes ends when n bytes have
// arrived, when more than readInterval passed between two bytes (0: no such
// limit), or readTotalMultiplier * n + readTotalConstant after it began
// (both 0: no such limit, the read waits for its first byte).
struct SerialTimeouts {
  std::uint32_t readInterval = 0;
  std::uint32_t readTotalMultiplier = 0;
  std::uint32_t readTotalConstant = 0;
  std::uint32_t writeTotalMultiplier = 0;
  std::uint32_t writeTotalConstant = 0;
  friend bool operator==(const SerialTimeouts&, const SerialTimeouts&) = default;
};

// A line-control block as built from a mode text.
class LineControl {
 public:
  virtual ~LineControl() = default;
};

class OpenPort {
 public:
  virtual ~OpenPort() = default;
  virtual Status setTimeouts(const SerialTimeouts& timeouts) = 0;
  virtual Status setLineControl(const LineControl& block) = 0;
  // Drops what the line sent before now and nobody read: the input queue
  // of a port that was just opened may hold bytes from before (a pty
  // does; a serial driver may). Right after the open, before the reading
  // starts.
  virtual void discardInput() = 0;
  // Starts the background reading; `arrived` is the arrival handler. Once
  // per open port, after its timeouts are set.
  virtual void startReading(std::function<void()> arrived) = 0;
  // The next piece waiting, at most `maxBytes` of it (the rest stays
  // first in line), without waiting: an empty piece when nothing waits. A
  // failure of the background read comes back once, as an empty piece with
  // the error, after every byte read before it.
  virtual Result<SerialPiece> read(std::size_t maxBytes) = 0;
  // Writes all of `bytes` in one call (an empty write is a call too): the
  // count written, fewer than asked when the write timed out.
  virtual Result<std::size_t> write(std::string_view bytes) = 0;
  // Closes the handle; true when the system closed it. Later calls return
  // false and do nothing.
  virtual bool close() = 0;
};

class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  // `name` as the user gives it: "Com1:", "COM1", "\\.\COM1".
  virtual Result<std::unique_ptr<OpenPort>> open(const std::string& name) = 0;
  // Null when the text was refused.
  virtual Result<std::unique_ptr<LineControl>> buildLineControl(const std::string& mode) = 0;
};

}  // namespace pondex
