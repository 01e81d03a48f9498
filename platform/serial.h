#pragma once
// Serial ports, as the serial component needs them: the communications
// functions of the system, one call each.
//
// Contract, the same for the Win32 implementation and the fake:
// - A failed call comes back with ok false and the system's error number
//   (GetLastError on Win32: 2 no such port, 5 in use, 87 bad mode text, ...).
// - A port is opened for exclusive, synchronous reading and writing; an
//   OpenPort object owns its handle and closes it when it goes, unless
//   close() did so already.
// - A line-control block is built from a mode text such as "9600,N,8,1" on
//   a block whose every field is zero: no flow control. Building it sets the
//   DTR and RTS lines to "enable", so they are asserted while the port is
//   open; that is kept on purpose, as many instruments send only while DTR
//   is up. The block is opaque: only the SerialPorts that built it can
//   apply it.
// - read() and write() block the calling thread under the timeouts last set
//   on the port; bytes are passed one character each, unconverted.
// - A read or write on a handle whose device has gone fails with an error
//   for which isDeviceGoneError is true, also where the system's read itself
//   would only time out empty.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace pondex {

// The system error numbers the logic names.
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorNotReady = 21;
inline constexpr int kErrorBadCommand = 22;
inline constexpr int kErrorGenFailure = 31;
inline constexpr int kErrorDevNotExist = 55;
inline constexpr int kErrorInvalidParameter = 87;
inline constexpr int kErrorNoSuchDevice = 433;
inline constexpr int kErrorDeviceNotConnected = 1167;
inline constexpr int kErrorDeviceRemoved = 1617;

// True for the errors a read or write gives once the device behind an open
// handle has gone (a USB adapter unplugged); such a handle never works again.
// 21 (not ready) is what Wine answers once the tty behind a port vanished;
// a port that is there is always "ready", so it cannot come from a healthy
// line.
constexpr bool isDeviceGoneError(int error) {
  switch (error) {
    case kErrorNotReady:
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

// COMMTIMEOUTS, in milliseconds. A read of n bytes ends when n bytes have
// arrived, when more than readInterval passed between two bytes (0: no such
// limit), or readTotalMultiplier * n + readTotalConstant after it began.
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
  // Reads at most `maxBytes` bytes: what arrived, possibly nothing (a
  // timeout is no error).
  virtual Result<std::string> read(std::size_t maxBytes) = 0;
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
