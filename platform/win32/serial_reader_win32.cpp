#include "platform/win32/serial_reader_win32.h"

#include <stdexcept>
#include <utility>

#include "platform/serial.h"
#include "platform/win32/callback_guard.h"

namespace pondex::win32 {
namespace {

// How often a waiting read checks that the device is still there, and how
// long it rests after a failure before it reads again.
constexpr DWORD kPresenceCheckMs = 250;
constexpr DWORD kRetryAfterFailureMs = 250;

}  // namespace

SerialReader::SerialReader(HANDLE port, std::unique_ptr<CrossThreadSignal> arrived)
    : port_(port),
      arrived_(std::move(arrived)),
      stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      readDone_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      buffer_{} {
  if (!stop_ || !readDone_) throw std::runtime_error("the serial reader's events cannot be created");
  thread_ = std::thread([this] { guarded("serial reader", [this] { run(); }); });
}

SerialReader::~SerialReader() {
  ::SetEvent(stop_.get());
  thread_.join();
}

Result<std::string> SerialReader::take(std::size_t maxBytes) {
  const std::lock_guard lock(mutex_);
  if (!pending_.empty()) {
    std::string piece = pending_.substr(0, maxBytes);
    pending_.erase(0, piece.size());
    return {std::move(piece), 0};
  }
  return {{}, std::exchange(failure_, 0)};
}

void SerialReader::run() {
  while (::WaitForSingleObject(stop_.get(), 0) != WAIT_OBJECT_0) {
    if (!readOnce()) return;
  }
}

bool SerialReader::readOnce() {
  OVERLAPPED overlapped{};
  overlapped.hEvent = readDone_.get();
  ::ResetEvent(readDone_.get());
  DWORD got = 0;
  DWORD error = 0;
  if (!::ReadFile(port_, buffer_, sizeof buffer_, &got, &overlapped)) {
    error = ::GetLastError();
    if (error == ERROR_IO_PENDING && !waitForRead(overlapped, got, error)) return false;
  }
  // An empty read that ran into a total timeout is silence, not a failure
  // (Wine says so with ERROR_TIMEOUT).
  if (error == ERROR_TIMEOUT) error = 0;
  keep(buffer_, got, error);
  if (error == 0) return true;
  if (isDeviceGoneError(static_cast<int>(error))) return false;
  return ::WaitForSingleObject(stop_.get(), kRetryAfterFailureMs) != WAIT_OBJECT_0;
}

bool SerialReader::waitForRead(OVERLAPPED& overlapped, DWORD& got, DWORD& error) {
  const HANDLE events[] = {stop_.get(), readDone_.get()};
  for (;;) {
    const DWORD woke = ::WaitForMultipleObjects(2, events, FALSE, kPresenceCheckMs);
    if (woke == WAIT_OBJECT_0 + 1) break;
    DWORD lineErrors = 0;
    COMSTAT status{};
    const bool stopping = woke != WAIT_TIMEOUT;
    const bool gone = !stopping && !::ClearCommError(port_, &lineErrors, &status);
    if (!stopping && !gone) continue;
    const DWORD goneError = gone ? ::GetLastError() : 0;
    ::CancelIoEx(port_, &overlapped);
    ::GetOverlappedResult(port_, &overlapped, &got, TRUE);
    if (stopping) return false;
    error = goneError;
    return true;
  }
  error = ::GetOverlappedResult(port_, &overlapped, &got, FALSE) ? 0 : ::GetLastError();
  return true;
}

void SerialReader::keep(const char* bytes, DWORD count, DWORD error) {
  if (count == 0 && error == 0) return;
  {
    const std::lock_guard lock(mutex_);
    pending_.append(bytes, count);
    if (error != 0) failure_ = static_cast<int>(error);
  }
  arrived_->signal();
}

}  // namespace pondex::win32
