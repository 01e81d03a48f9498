#include "platform/win32/serial_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/serial_reader_win32.h"
#include "platform/win32/text_win32.h"

namespace pondex::win32 {
namespace {

// What SetupComm is told of the output side, which the program fills only
// with short commands.
constexpr DWORD kDriverOutputQueue = 4096;

struct Win32LineControl final : LineControl {
  DCB dcb{};
};

class Win32OpenPort final : public OpenPort {
 public:
  Win32OpenPort(UniqueFile handle, EventLoop& loop) : handle_(std::move(handle)), loop_(loop) {}
  ~Win32OpenPort() override { (void)close(); }

  Status setTimeouts(const SerialTimeouts& t) override {
    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = t.readInterval;
    ct.ReadTotalTimeoutMultiplier = t.readTotalMultiplier;
    ct.ReadTotalTimeoutConstant = t.readTotalConstant;
    ct.WriteTotalTimeoutMultiplier = t.writeTotalMultiplier;
    ct.WriteTotalTimeoutConstant = t.writeTotalConstant;
    if (!::SetCommTimeouts(handle_.get(), &ct)) return lastError();
    return {};
  }

  Status setLineControl(const LineControl& block) override {
    const auto* ours = dynamic_cast<const Win32LineControl*>(&block);
    if (ours == nullptr) return Status::failure(ERROR_INVALID_PARAMETER);
    DCB dcb = ours->dcb;  // SetCommState takes a non-const pointer
    if (!::SetCommState(handle_.get(), &dcb)) return lastError();
    return {};
  }

  void discardInput() override { ::PurgeComm(handle_.get(), PURGE_RXCLEAR); }

  void startReading(std::function<void()> arrived) override {
    if (reader_ || !handle_) return;
    reader_ = std::make_unique<SerialReader>(handle_.get(), loop_.createSignal(std::move(arrived)),
                                             [&loop = loop_] { return loop.now(); });
  }

  Result<SerialPiece> read(std::size_t maxBytes) override {
    if (!handle_) return {{}, ERROR_INVALID_HANDLE};
    if (!reader_) return {};
    return reader_->take(maxBytes);
  }

  Result<std::size_t> write(std::string_view bytes) override {
    // Bounded by the write timeouts; the reader's pending read does not
    // hold it up, as it would on a handle opened for synchronous I/O.
    OVERLAPPED overlapped{};
    overlapped.hEvent = writeDone_.get();
    DWORD put = 0;
    if (!::WriteFile(handle_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, &overlapped)) {
      const Status failed = lastError();
      if (failed.error != ERROR_IO_PENDING) return {put, failed.error};
      if (!::GetOverlappedResult(handle_.get(), &overlapped, &put, TRUE)) return {put, lastError().error};
    }
    return {put, 0};
  }

  bool close() override {
    reader_.reset();  // before the handle it reads goes
    if (!handle_) return false;
    return ::CloseHandle(handle_.release()) != FALSE;
  }

 private:
  UniqueFile handle_;
  EventLoop& loop_;
  UniqueKernelHandle writeDone_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::unique_ptr<SerialReader> reader_;
};

}  // namespace

std::string systemPortName(const std::string& name) {
  // "Com12:", "COM12" -> "\\.\COM12": only COM1..COM9 open by their short
  // names; the device namespace prefix reaches every number.
  std::string n = name;
  if (!n.empty() && n.back() == ':') n.pop_back();
  if (n.size() < 5 || (n[0] != 'C' && n[0] != 'c') || (n[1] != 'O' && n[1] != 'o') || (n[2] != 'M' && n[2] != 'm')) {
    return name;
  }
  unsigned number = 0;
  for (std::size_t i = 3; i < n.size(); ++i) {
    if (n[i] < '0' || n[i] > '9' || number > 100000) return name;
    number = number * 10 + static_cast<unsigned>(n[i] - '0');
  }
  if (number < 10) return name;
  return "\\\\.\\COM" + std::to_string(number);
}

Result<std::unique_ptr<OpenPort>> Win32SerialPorts::open(const std::string& name) {
  // Port names are ANSI bytes, as the settings hold them.
  const std::wstring systemName = widen(systemPortName(name));
  UniqueFile handle{::CreateFileW(systemName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr)};
  if (!handle) return {nullptr, lastError().error};
  // Room in the driver for what comes while the reader pauses. A driver
  // may refuse (a pty under Wine keeps its own size): that only makes the
  // room smaller, so the answer is ignored.
  (void)::SetupComm(handle.get(), kDriverInputQueue, kDriverOutputQueue);
  return {std::make_unique<Win32OpenPort>(std::move(handle), loop_), 0};
}

Result<std::unique_ptr<LineControl>> Win32SerialPorts::buildLineControl(const std::string& mode) {
  // Every field zero; BuildCommDCBA then sets DTR and RTS control to
  // "enable", so both lines are asserted while the port is open.
  auto block = std::make_unique<Win32LineControl>();
  if (!::BuildCommDCBA(mode.c_str(), &block->dcb)) return {nullptr, lastError().error};
  return {std::move(block), 0};
}

}  // namespace pondex::win32
