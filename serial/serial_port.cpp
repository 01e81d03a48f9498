#include "serial/serial_port.h"

#include <utility>

namespace pondex {
namespace {

// A read waits for as many bytes as it asks for, however long that takes
// (the background reader asks for what the driver holds, or for one byte
// when it holds none). A write may take 1 ms per byte plus 1 ms.
constexpr SerialTimeouts kPortTimeouts{.readInterval = 0,
                                       .readTotalMultiplier = 0,
                                       .readTotalConstant = 0,
                                       .writeTotalMultiplier = 1,
                                       .writeTotalConstant = 1};
constexpr std::size_t kReadSize = 256;
constexpr std::size_t kWritePiece = 255;

}  // namespace

SerialPort::SerialPort(SerialPorts& ports, MessageBoxes& messages, std::string programName)
    : ports_(ports), messages_(messages), programName_(std::move(programName)) {}

SerialPort::~SerialPort() {
  close();
}

std::optional<SerialPort::OpenFailure> SerialPort::openQuietly() {
  std::optional<OpenFailure> failure;
  quietFailure_ = &failure;
  open();
  quietFailure_ = nullptr;
  return failure;
}

bool SerialPort::open() {
  if (open_) close();
  // Copies: a message box below runs the event loop, whose handlers may
  // set the properties anew.
  const std::string port = portName_;
  const std::string mode = mode_;

  auto opened = ports_.open(port);
  if (!opened.value) {
    show("Com Port " + port + " not available. Use Serial settings (on the main menu) to setup your ports.",
         opened.error, MessageIcon::Exclamation);
    return false;
  }
  handle_ = std::move(opened.value);
  // What the line sent before the port was ours belongs to nobody (a hot
  // key's exchange must see only the answer to its command); what comes
  // from here on waits in the driver until the reading starts.
  handle_->discardInput();

  if (const Status set = handle_->setTimeouts(kPortTimeouts); !set.ok()) {
    return failSetup("Unable to set timeouts for port " + port, set.error);
  }
  const auto built = ports_.buildLineControl(mode);
  if (!built.value) return failSetup("Unable to build Comm DCB " + mode, built.error);
  if (const Status set = handle_->setLineControl(*built.value); !set.ok()) {
    return failSetup("Unable to set Comm DCB " + mode, set.error);
  }
  open_ = true;
  deviceGone_ = false;
  failingSince_.reset();
  if (events.opened) events.opened();
  handle_->startReading([this] { raiseArrived(); });
  return true;
}

void SerialPort::raiseArrived() {
  if (!events.arrived) return;
  auto handler = events.arrived;  // the handler may replace it
  handler();
}

bool SerialPort::failSetup(const std::string& what, int error) {
  show(what + " Error: " + std::to_string(error), error, MessageIcon::None);
  close();
  return false;
}

void SerialPort::show(const std::string& text, int error, MessageIcon icon) {
  if (quietFailure_ != nullptr) {
    *quietFailure_ = OpenFailure{text, error};
    return;
  }
  messages_.show(text, programName_, MessageButtons::Ok, icon);
}

bool SerialPort::close() {
  bool closed = false;
  if (handle_) {
    closed = handle_->close();
    handle_.reset();
  }
  const bool wasOpen = open_;
  open_ = false;
  if (wasOpen && events.closed) events.closed();
  return closed;
}

std::optional<SerialPiece> SerialPort::takePiece() {
  while (open_ && handle_) {
    Result<SerialPiece> r = handle_->read(kReadSize);
    if (!r.ok()) {
      readFailed(r.value, r.error);
      continue;  // the bytes after a failure, if the port is still open
    }
    if (r.value.bytes.empty()) return std::nullopt;
    failingSince_.reset();
    return std::move(r.value);
  }
  return std::nullopt;
}

void SerialPort::readFailed(const SerialPiece& failure, int error) {
  if (!failingSince_) failingSince_ = failure.receivedAt;
  if (failure.receivedAt - *failingSince_ >= kFailingLineLimit) error = kErrorDeviceNotConnected;
  closeIfDeviceGone(error);
}

bool SerialPort::write(const std::string& text) {
  if (text.size() > kWritePiece) {
    // Both pieces are attempted, as the line expects the whole text.
    const bool head = write(text.substr(0, kWritePiece));
    const bool tail = write(text.substr(kWritePiece));
    return head && tail;
  }
  if (!open_ || !handle_) return false;
  const Result<std::size_t> w = handle_->write(text);
  if (!w.ok()) {
    closeIfDeviceGone(w.error);
    return false;
  }
  return w.value == text.size();
}

void SerialPort::closeIfDeviceGone(int error) {
  // The handle of a removed device never works again; closing it lets the
  // host's next open() find the device once it is plugged back in.
  if (!isDeviceGoneError(error)) return;
  deviceGone_ = true;
  close();
}

}  // namespace pondex
