#include "platform/win32/serial_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace pondex::win32 {
namespace {

struct Win32LineControl final : LineControl {
  DCB dcb{};
};

SerialStatus lastError() {
  return {false, ::GetLastError()};
}

class Win32OpenPort final : public OpenPort {
 public:
  explicit Win32OpenPort(UniqueFile handle) : handle_(std::move(handle)) {}

  SerialStatus setTimeouts(const SerialTimeouts& t) override {
    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = t.readInterval;
    ct.ReadTotalTimeoutMultiplier = t.readTotalMultiplier;
    ct.ReadTotalTimeoutConstant = t.readTotalConstant;
    ct.WriteTotalTimeoutMultiplier = t.writeTotalMultiplier;
    ct.WriteTotalTimeoutConstant = t.writeTotalConstant;
    if (!::SetCommTimeouts(handle_.get(), &ct)) return lastError();
    return {};
  }

  SerialStatus setLineControl(const LineControl& block) override {
    const auto* ours = dynamic_cast<const Win32LineControl*>(&block);
    if (ours == nullptr) return {false, ERROR_INVALID_PARAMETER};
    DCB dcb = ours->dcb;  // SetCommState takes a non-const pointer
    if (!::SetCommState(handle_.get(), &dcb)) return lastError();
    return {};
  }

  SerialRead read(std::size_t maxBytes) override {
    std::string buffer(maxBytes, '\0');
    DWORD got = 0;
    if (!::ReadFile(handle_.get(), buffer.data(), static_cast<DWORD>(maxBytes), &got, nullptr)) {
      return {false, {}, ::GetLastError()};
    }
    buffer.resize(got);
    return {true, std::move(buffer), 0};
  }

  SerialWrite write(std::string_view bytes) override {
    DWORD put = 0;
    if (!::WriteFile(handle_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr)) {
      return {false, put, ::GetLastError()};
    }
    return {true, put, 0};
  }

  bool close() override {
    if (!handle_) return false;
    return ::CloseHandle(handle_.release()) != FALSE;
  }

 private:
  UniqueFile handle_;
};

}  // namespace

OpenedPort Win32SerialPorts::open(const std::string& name) {
  UniqueFile handle{::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)};
  if (!handle) return {nullptr, ::GetLastError()};
  return {std::make_unique<Win32OpenPort>(std::move(handle)), 0};
}

BuiltLineControl Win32SerialPorts::buildLineControl(const std::string& mode) {
  auto block = std::make_unique<Win32LineControl>();  // every field zero
  if (!::BuildCommDCBA(mode.c_str(), &block->dcb)) return {nullptr, ::GetLastError()};
  return {std::move(block), 0};
}

}  // namespace pondex::win32
