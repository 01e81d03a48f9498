#include "platform/win32/system_win32.h"

#include <vector>

#include "platform/win32/text_win32.h"

namespace pondex::win32 {
namespace {

class Win32OutputFile final : public OutputFile {
 public:
  explicit Win32OutputFile(UniqueFile file) : file_(std::move(file)) {}
  ~Win32OutputFile() override { (void)close(); }

  Status write(std::span<const std::uint8_t> bytes) override {
    if (!file_) return Status::failure(ERROR_INVALID_HANDLE);
    DWORD written = 0;
    if (::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) == FALSE) {
      return lastError();
    }
    return written == bytes.size() ? Status{} : Status::failure(ERROR_HANDLE_DISK_FULL);
  }
  Status writeWhole(std::span<const std::uint8_t> bytes) override {
    if (!file_) return Status::failure(ERROR_INVALID_HANDLE);
    LARGE_INTEGER start{};
    if (::SetFilePointerEx(file_.get(), LARGE_INTEGER{}, &start, FILE_CURRENT) == FALSE) return lastError();
    DWORD written = 0;
    Status result;
    if (::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) == FALSE) {
      result = lastError();
    } else if (written != bytes.size()) {
      result = Status::failure(ERROR_HANDLE_DISK_FULL);
    }
    // The failure stands whether or not the cut succeeds.
    if (!result.ok()) (void)cutFileBack(file_.get(), start.QuadPart);
    return result;
  }
  Status close() override {
    if (!file_) return {};
    return ::CloseHandle(file_.release()) != FALSE ? Status{} : lastError();
  }

 private:
  UniqueFile file_;
};

}  // namespace

Status cutFileBack(HANDLE file, std::int64_t length) {
  LARGE_INTEGER at{};
  at.QuadPart = length;
  if (::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) == FALSE || ::SetEndOfFile(file) == FALSE) return lastError();
  return {};
}

LocalDateTime Win32Clock::localNow() const {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

Status Win32FileSystem::createDirectory(const std::string& path) {
  return ::CreateDirectoryW(widen(path).c_str(), nullptr) != FALSE ? Status{} : lastError();
}

bool Win32FileSystem::isNormalFile(const std::string& path) const {
  const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string Win32FileSystem::programDirectory() const {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return ".";
    if (n < buffer.size()) {
      const std::wstring_view path(buffer.data(), n);
      const auto slash = path.find_last_of(L"\\/");
      if (slash == std::wstring_view::npos) return ".";
      // A drive root keeps its "\" ("C:\"), as the system reports it.
      return narrow(slash == 2 && path[1] == L':' ? path.substr(0, 3) : path.substr(0, slash));
    }
    buffer.resize(buffer.size() * 2);
  }
}

Result<std::unique_ptr<OutputFile>> Win32FileSystem::openForWriting(const std::string& path, WriteMode mode) {
  // Others may read the file while it is open for a transmission.
  UniqueFile file(::CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                mode == WriteMode::Replace ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) return {nullptr, lastError().error};
  if (mode == WriteMode::Append && ::SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) {
    const Status error = lastError();
    if (!error.ok()) return {nullptr, error.error};
  }
  return {std::make_unique<Win32OutputFile>(std::move(file)), 0};
}

Result<std::string> Win32FileSystem::readStart(const std::string& path, std::size_t count) {
  // Shared every way, so that a file another program writes can be read.
  UniqueFile file(::CreateFileW(widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const Status error = lastError();
    return {{}, error.error == ERROR_FILE_NOT_FOUND ? 0 : error.error};
  }
  std::string bytes(count, '\0');
  DWORD read = 0;
  if (::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(count), &read, nullptr) == FALSE) {
    return {{}, lastError().error};
  }
  bytes.resize(read);
  return {std::move(bytes), 0};
}

std::string Win32FileSystem::fromAnsi(std::string_view ansi) const {
  return narrow(widen(ansi, CP_ACP));
}

EncodedText Win32FileSystem::toAnsi(std::string_view utf8) const {
  return toAnsiCodePage(widen(utf8));
}

MessageAnswer Win32MessageBoxes::show(const std::string& text, const std::string& title, MessageButtons buttons,
                                      MessageIcon icon) {
  UINT type = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  if (icon == MessageIcon::Exclamation) type |= MB_ICONEXCLAMATION;
  if (icon == MessageIcon::Question) type |= MB_ICONQUESTION;
  const HWND owner = owner_ != nullptr && ::IsWindowVisible(owner_) ? owner_ : nullptr;
  if (owner == nullptr) type |= MB_TASKMODAL | MB_SETFOREGROUND;
  switch (::MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), type)) {
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    default:
      return MessageAnswer::Ok;
  }
}

bool Win32SingleInstance::anotherInstanceRunning() {
  if (mutex_) return false;
  mutex_.reset(::CreateMutexW(nullptr, FALSE, name_));
  const DWORD error = ::GetLastError();
  if (!mutex_) return error == ERROR_ACCESS_DENIED;  // held by a copy of another rights level
  return error == ERROR_ALREADY_EXISTS;
}

}  // namespace pondex::win32
