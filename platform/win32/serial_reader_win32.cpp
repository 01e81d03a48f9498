#include "platform/win32/serial_reader_win32.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/serial.h"
#include "platform/win32/callback_guard.h"

namespace pondex::win32 {

bool isLineError(DWORD commErrors) {
  return (commErrors & (CE_FRAME | CE_RXPARITY | CE_OVERRUN | CE_RXOVER)) != 0;
}

SerialReader::SerialReader(HANDLE port, std::unique_ptr<CrossThreadSignal> arrived, std::function<Millis()> clock)
    : port_(port),
      arrived_(std::move(arrived)),
      clock_(std::move(clock)),
      stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      readDone_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      buffer_(kDriverInputQueue) {
  if (!stop_ || !readDone_) throw std::runtime_error("the serial reader's events cannot be created");
  thread_ = std::thread([this] { guarded("serial reader", [this] { run(); }); });
}

SerialReader::~SerialReader() {
  ::SetEvent(stop_.get());
  waiting_.close();
  thread_.join();
}

void SerialReader::run() {
  while (cycle()) {
  }
}

bool SerialReader::cycle() {
  const std::size_t room = waiting_.waitForRoom();
  if (room == 0) return false;
  // The first byte as long as it takes: the thread sleeps while the line is
  // silent. Then what the driver holds beyond it, which completes at once.
  const ReadOutcome first = read(0, 1);
  if (first.stopped) return false;
  std::size_t got = first.got;
  DWORD error = first.error;
  if (error == 0) {
    const Result<DWORD> held = driverStatus();
    error = static_cast<DWORD>(held.error);
    const std::size_t more = std::min<std::size_t>({held.value, room - got, buffer_.size() - got});
    if (error == 0 && more > 0) {
      const ReadOutcome second = read(got, static_cast<DWORD>(more));
      if (second.stopped) return false;
      got += second.got;
      error = second.error;
    }
  }
  handOver(got);
  if (error == 0) return rest(got > 0 ? kCycleRest : kRestAfterNothing);
  handOverFailure(error);
  if (isDeviceGoneError(static_cast<int>(error))) return false;
  return rest(kRetryAfterFailure);
}

SerialReader::ReadOutcome SerialReader::read(std::size_t at, DWORD count) {
  // The overlapped block lives on this stack: no path returns while the
  // read may still write into it. The count comes from the result alone.
  OVERLAPPED overlapped{};
  overlapped.hEvent = readDone_.get();
  ::ResetEvent(readDone_.get());
  ReadOutcome outcome;
  if (!::ReadFile(port_, buffer_.data() + at, count, nullptr, &overlapped)) {
    outcome.error = ::GetLastError();
    if (outcome.error != ERROR_IO_PENDING) return outcome;
    outcome.error = 0;
    const HANDLE events[] = {stop_.get(), readDone_.get()};
    while (!HasOverlappedIoCompleted(&overlapped)) {
      const DWORD woke = ::WaitForMultipleObjects(2, events, FALSE, kPresenceCheck);
      if (woke == WAIT_OBJECT_0 + 1) continue;
      outcome.stopped = woke != WAIT_TIMEOUT;
      if (!outcome.stopped) {
        const Result<DWORD> present = driverStatus();
        if (present.ok()) continue;
        outcome.error = static_cast<DWORD>(present.error);
      }
      ::CancelIoEx(port_, &overlapped);
      break;
    }
  }
  const DWORD failed = ::GetOverlappedResult(port_, &overlapped, &outcome.got, TRUE) ? 0 : ::GetLastError();
  if (outcome.error == 0 && !outcome.stopped) outcome.error = failed;
  // A read that ran into a total timeout has merely found the line silent
  // (Wine says so with ERROR_TIMEOUT).
  if (outcome.error == ERROR_TIMEOUT) outcome.error = 0;
  return outcome;
}

Result<DWORD> SerialReader::driverStatus() {
  DWORD errors = 0;
  COMSTAT status{};
  if (!::ClearCommError(port_, &errors, &status)) return {0, lastError().error};
  if (isLineError(errors)) lineError_ = true;
  return {status.cbInQue, 0};
}

bool SerialReader::rest(DWORD ms) {
  return ::WaitForSingleObject(stop_.get(), ms) != WAIT_OBJECT_0;
}

void SerialReader::handOver(std::size_t count) {
  if (count == 0) return;
  waiting_.put({.bytes = std::string(buffer_.data(), count), .receivedAt = clock_(), .lineError = lineError_});
  lineError_ = false;
  arrived_->signal();
}

void SerialReader::handOverFailure(DWORD error) {
  waiting_.putFailure(static_cast<int>(error), clock_());
  arrived_->signal();
}

}  // namespace pondex::win32
