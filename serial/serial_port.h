#pragma once
// SerialPort: the serial port component. It opens one port by name with a
// mode text such as "9600,N,8,1", gives what has arrived when asked, writes
// text and closes the port. While the port is open the line is read in the
// background (platform/serial.h): pieces come within moments of their
// bytes, stamped with when they were received, and `arrived` tells the
// host, on its own thread, that pieces wait; takePiece() then returns them
// at once. Nothing is ever waited for on the host's thread but a write (up
// to 1 ms per byte plus 1 ms).
//
// - Failures to open or set up a port are shown in a modal message box
//   titled with the program's name; open() then returns false and no port
//   is left open. Read and write failures show nothing: takePiece() gives
//   nothing, write() false.
// - A read or write that fails because the device has gone (an unplugged
//   USB adapter, see isDeviceGoneError) closes the port as close() does, so
//   that the host's next open() can open it again once it is back. So do
//   reads that keep failing for kFailingLineLimit with no byte between them,
//   whatever the error: a driver that answers with some other number after
//   a removal must not leave the port dead for ever.
// - Bytes are characters one for one (ANSI bytes in std::string).
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/message_box.h"
#include "platform/serial.h"

namespace pondex {

// How long reads may fail one after the other before the port counts as gone.
inline constexpr Millis kFailingLineLimit{1000};

// Empty handlers are not called.
struct SerialPortEvents {
  // Raised on the host's thread when pieces (or a read failure) wait for
  // takePiece(); never inside it and never while the port is closed.
  std::function<void()> arrived;
  // The port has just opened, before anything is read from it.
  std::function<void()> opened;
  // The port has just closed, whoever closed it; nothing more comes from it.
  std::function<void()> closed;
};

class SerialPort {
 public:
  // Starts with the port "Com1:" and the mode "9600,N,8,1"; messages are
  // titled `programName`.
  SerialPort(SerialPorts& ports, MessageBoxes& messages, std::string programName);
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;
  // Closes the port.
  ~SerialPort();

  SerialPortEvents events;

  // Opens the port portName() with the mode mode() (closing an open one
  // first). False when the port is not open afterwards.
  bool open();

  // What openQuietly() gives back instead of a message box.
  struct OpenFailure {
    std::string text;  // the message open() would have shown
    int error = 0;     // the system's error number
  };
  // As open(), but a failure shows nothing and comes back instead; nothing
  // when the port is open. For retrying while an adapter is out.
  std::optional<OpenFailure> openQuietly();
  // True from a close because the device vanished until the next open
  // succeeds: the host retries quietly meanwhile.
  [[nodiscard]] bool deviceGone() const { return deviceGone_; }

  // Closes the port; the system's close result (false when nothing was
  // open). Never fails.
  bool close();

  // The next piece that has arrived (at most 256 bytes of it), without
  // waiting: nothing when none has (or no port is open).
  std::optional<SerialPiece> takePiece();

  // True when every character was written; texts of 256 characters or more
  // go out in pieces of 255.
  bool write(const std::string& text);

  [[nodiscard]] const std::string& portName() const { return portName_; }
  void setPortName(std::string value) { portName_ = std::move(value); }
  [[nodiscard]] const std::string& mode() const { return mode_; }
  void setMode(std::string value) { mode_ = std::move(value); }
  [[nodiscard]] bool isOpen() const { return open_; }

 private:
  void show(const std::string& text, int error, MessageIcon icon);
  // Shows an "Unable to ..." message, closes the half-opened port, false.
  bool failSetup(const std::string& what, int error);
  void readFailed(const SerialPiece& failure, int error);
  void closeIfDeviceGone(int error);
  void raiseArrived();

  SerialPorts& ports_;
  MessageBoxes& messages_;
  std::string programName_;

  std::string portName_ = "Com1:";
  std::string mode_ = "9600,N,8,1";
  bool open_ = false;
  bool deviceGone_ = false;
  std::optional<Millis> failingSince_;  // the first of the reads failing in a row

  std::unique_ptr<OpenPort> handle_;
  // Set while openQuietly() runs: failures are kept here instead of shown.
  std::optional<OpenFailure>* quietFailure_ = nullptr;
};

}  // namespace pondex
