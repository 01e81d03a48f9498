#include "serial/arc_comm.h"

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

ARCComm::ARCComm(SerialPorts& ports, MessageBoxes& messages, std::string programName)
    : ports_(ports), messages_(messages), programName_(std::move(programName)) {}

ARCComm::~ARCComm() {
  FinCom();
}

bool ARCComm::InitCom() {
  return open();
}

std::optional<ARCComm::InitComFailure> ARCComm::InitComQuiet() {
  std::optional<InitComFailure> failure;
  quietFailure_ = &failure;
  open();
  quietFailure_ = nullptr;
  return failure;
}

bool ARCComm::open() {
  if (PortIsOpen_) FinCom();
  // Copies: a message box below runs the event loop, whose handlers may
  // set the properties anew.
  const std::string port = ComPort_;
  const std::string mode = ComSettings_;

  auto opened = ports_.open(port);
  if (!opened.value) {
    show("Com Port " + port + " not available. Use Serial settings (on the main menu) to setup your ports.",
         opened.error, MessageIcon::Exclamation);
    return false;
  }
  PortHandle_ = std::move(opened.value);
  // What the line sent before the port was ours belongs to nobody (a hot
  // key's exchange must see only the answer to its command); what comes
  // from here on waits in the driver until the reading starts.
  PortHandle_->discardInput();

  if (const Status s = PortHandle_->setTimeouts(kPortTimeouts); !s.ok()) {
    return failSetup("Unable to set timeouts for port " + port, s.error);
  }
  const auto built = ports_.buildLineControl(mode);
  if (!built.value) return failSetup("Unable to build Comm DCB " + mode, built.error);
  if (const Status s = PortHandle_->setLineControl(*built.value); !s.ok()) {
    return failSetup("Unable to set Comm DCB " + mode, s.error);
  }
  PortIsOpen_ = true;
  DeviceGone_ = false;
  failingSince_.reset();
  if (events.opened) events.opened();
  PortHandle_->startReading([this] { raiseDataIn(); });
  return true;
}

void ARCComm::raiseDataIn() {
  if (!events.DataIn) return;
  auto handler = events.DataIn;  // the handler may replace it
  handler();
}

bool ARCComm::failSetup(const std::string& what, int error) {
  show(what + " Error: " + std::to_string(error), error, MessageIcon::None);
  FinCom();
  return false;
}

void ARCComm::show(const std::string& text, int error, MessageIcon icon) {
  if (quietFailure_ != nullptr) {
    *quietFailure_ = InitComFailure{text, error};
    return;
  }
  messages_.show(text, programName_, MessageButtons::Ok, icon);
}

bool ARCComm::FinCom() {
  bool closed = false;
  if (PortHandle_) {
    closed = PortHandle_->close();
    PortHandle_.reset();
  }
  const bool wasOpen = PortIsOpen_;
  PortIsOpen_ = false;
  if (wasOpen && events.closed) events.closed();
  return closed;
}

std::optional<SerialPiece> ARCComm::takePiece() {
  return ReadPort();
}

std::optional<SerialPiece> ARCComm::ReadPort() {
  while (PortIsOpen_ && PortHandle_) {
    Result<SerialPiece> r = PortHandle_->read(kReadSize);
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

void ARCComm::readFailed(const SerialPiece& failure, int error) {
  if (!failingSince_) failingSince_ = failure.receivedAt;
  if (failure.receivedAt - *failingSince_ >= kFailingLineLimit) error = kErrorDeviceNotConnected;
  closeIfDeviceGone(error);
}

bool ARCComm::WriteData(const std::string& TextWrite) {
  return WritePort(TextWrite);
}

bool ARCComm::WritePort(const std::string& text) {
  if (text.size() > kWritePiece) {
    // Both pieces are attempted, as the line expects the whole text.
    const bool head = WritePort(text.substr(0, kWritePiece));
    const bool tail = WritePort(text.substr(kWritePiece));
    return head && tail;
  }
  if (!PortIsOpen_ || !PortHandle_) return false;
  const Result<std::size_t> w = PortHandle_->write(text);
  if (!w.ok()) {
    closeIfDeviceGone(w.error);
    return false;
  }
  return w.value == text.size();
}

void ARCComm::closeIfDeviceGone(int error) {
  // The handle of a removed device never works again; closing it lets the
  // host's next InitCom find the device once it is plugged back in.
  if (!isDeviceGoneError(error)) return;
  DeviceGone_ = true;
  FinCom();
}

}  // namespace pondex
