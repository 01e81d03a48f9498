#pragma once
// ARCComm: the serial port component. It opens one port by name with a mode
// text such as "9600,N,8,1", gives what has arrived when asked, writes text
// and closes the port. While the port is open the line is read in the
// background (platform/serial.h): pieces come within moments of their
// bytes, stamped with when they were received, and DataIn tells the host,
// on its own thread, that pieces wait; takePiece() then returns them at
// once. Nothing is ever waited for on the host's thread but a write (up to
// 1 ms per byte plus 1 ms).
//
// - Failures to open or set up a port are shown in a modal message box
//   titled with the program's name; InitCom then returns false and no port
//   is left open. Read and write failures show nothing: GetData gives empty
//   text, WriteData false.
// - A read or write that fails because the device has gone (an unplugged
//   USB adapter, see isDeviceGoneError) closes the port as FinCom does, so
//   that the host's next InitCom can open it again once it is back. So do
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
struct ARCCommEvents {
  // Raised on the host's thread when pieces (or a read failure) wait for
  // takePiece(); never inside it and never while the port is closed.
  std::function<void()> DataIn;
  // The port has just opened, before anything is read from it.
  std::function<void()> opened;
  // The port has just closed, whoever closed it; nothing more comes from it.
  std::function<void()> closed;
};

class ARCComm {
 public:
  // Starts with the port "Com1:" and the mode "9600,N,8,1".
  ARCComm(SerialPorts& ports, MessageBoxes& messages, std::string programName);
  ARCComm(const ARCComm&) = delete;
  ARCComm& operator=(const ARCComm&) = delete;
  // Unloading closes the port.
  ~ARCComm();

  ARCCommEvents events;

  // Opens the port ComPort with the mode ComSettings (closing an open one
  // first). False when the port is not open afterwards.
  bool InitCom();

  // What InitComQuiet gives back instead of a message box.
  struct InitComFailure {
    std::string text;  // the message InitCom would have shown
    int error = 0;     // the system's error number
  };
  // As InitCom(), but a failure shows nothing and comes back instead;
  // nothing when the port is open. For retrying while an adapter is out.
  std::optional<InitComFailure> InitComQuiet();
  // True from a close because the device vanished until the next open
  // succeeds: the host retries quietly meanwhile.
  [[nodiscard]] bool DeviceGone() const { return DeviceGone_; }

  // Closes the port; the system's close result (false when nothing was
  // open). Never fails.
  bool FinCom();

  // The next piece that has arrived (at most 256 bytes of it), without
  // waiting: nothing when none has (or no port is open).
  std::optional<SerialPiece> takePiece();

  // True when every character was written; texts of 256 characters or more
  // go out in pieces of 255.
  bool WriteData(const std::string& TextWrite);

  [[nodiscard]] const std::string& ComPort() const { return ComPort_; }
  void setComPort(std::string value) { ComPort_ = std::move(value); }
  [[nodiscard]] const std::string& ComSettings() const { return ComSettings_; }
  void setComSettings(std::string value) { ComSettings_ = std::move(value); }
  [[nodiscard]] bool PortIsOpen() const { return PortIsOpen_; }

 private:
  bool open();
  void show(const std::string& text, int error, MessageIcon icon);
  // Shows an "Unable to ..." message, closes the half-opened port, false.
  bool failSetup(const std::string& what, int error);
  std::optional<SerialPiece> ReadPort();
  void readFailed(const SerialPiece& failure, int error);
  bool WritePort(const std::string& text);
  void closeIfDeviceGone(int error);
  void raiseDataIn();

  SerialPorts& ports_;
  MessageBoxes& messages_;
  std::string programName_;

  std::string ComPort_ = "Com1:";
  std::string ComSettings_ = "9600,N,8,1";
  bool PortIsOpen_ = false;
  bool DeviceGone_ = false;
  std::optional<Millis> failingSince_;  // the first of the reads failing in a row

  std::unique_ptr<OpenPort> PortHandle_;
  // Set while InitComQuiet runs: failures are kept here instead of shown.
  std::optional<InitComFailure>* quietFailure_ = nullptr;
};

}  // namespace pondex
