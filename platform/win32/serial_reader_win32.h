#pragma once
// The background read of one serial port: a thread of its own that waits in
// overlapped reads, keeps what arrives, in order, and signals the
// user-interface thread, which takes it without waiting. The window's thread
// never waits for the line; this thread waits for nothing else.
//
// - The port must be opened for overlapped I/O with read timeouts that make
//   a read wait for the bytes it asks for (all 0); the reader does not own
//   it, and it must stay open until the reader is gone.
// - A cycle reads one byte, waiting for it as long as it takes, then at once
//   whatever more the driver holds (ClearCommError says how much), hands the
//   piece over stamped by `clock`, and rests kCycleRest before the next: a
//   byte is handed over within about that rest of its arrival, and a steady
//   stream costs one cycle per rest, not one per byte.
// - While a read waits, the device is checked every kPresenceCheck, since
//   under Wine a read on a vanished tty may wait on silently; a failed check
//   ends the read like a failed read does.
// - Line errors the driver reports (at any ClearCommError of the reader)
//   mark the next piece handed over.
// - A failure is kept after the bytes read before it and handed over once.
//   After a device-gone failure the thread ends; after any other it rests
//   kRetryAfterFailure and reads again. A read that completes with nothing
//   rests kRestAfterNothing, so that an odd driver cannot make it spin.
// - At most kMaxWaitingBytes wait to be taken; while that many do, the
//   thread reads nothing (the driver's queue holds what comes).
// - Destroying the reader cancels the pending read and waits for the thread;
//   that cancellation is never handed over.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/event_loop.h"
#include "platform/portable/serial_piece_queue.h"
#include "platform/result.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

inline constexpr DWORD kCycleRest = 10;  // ms
// Longer: a read completing with nothing is a driver's oddity, not a stream.
inline constexpr DWORD kRestAfterNothing = 20;    // ms
inline constexpr DWORD kPresenceCheck = 250;      // ms
inline constexpr DWORD kRetryAfterFailure = 250;  // ms
// The driver's input queue asked for at open, which holds what the line
// sends while the reader pauses; one cycle reads at most that much.
inline constexpr DWORD kDriverInputQueue = 64 * 1024;

// True when ClearCommError's error bits tell of bytes lost or garbled on the
// line: framing, parity, a hardware overrun, an input queue overflow.
bool isLineError(DWORD commErrors);

class SerialReader {
 public:
  SerialReader(HANDLE port, std::unique_ptr<CrossThreadSignal> arrived, std::function<Millis()> clock);
  ~SerialReader();
  SerialReader(const SerialReader&) = delete;
  SerialReader& operator=(const SerialReader&) = delete;

  // The next piece waiting, at most `maxBytes` of it; a kept failure once
  // nothing is left before it. Never waits.
  Result<SerialPiece> take(std::size_t maxBytes) { return waiting_.take(maxBytes); }

 private:
  struct ReadOutcome {
    DWORD got = 0;
    DWORD error = 0;
    bool stopped = false;  // the reader is being destroyed; the read was cancelled
  };

  void run();
  // One cycle; false when the thread is to end.
  bool cycle();
  // One overlapped read of exactly `count` bytes into the buffer at `at`.
  ReadOutcome read(std::size_t at, DWORD count);
  // Notes the line errors; the driver's queue count, or the error of the call.
  Result<DWORD> driverStatus();
  // Waits `ms` unless stopped; false when stopped.
  bool rest(DWORD ms);
  void handOver(std::size_t count);
  void handOverFailure(DWORD error);

  HANDLE port_;
  std::unique_ptr<CrossThreadSignal> arrived_;
  std::function<Millis()> clock_;
  UniqueKernelHandle stop_;
  UniqueKernelHandle readDone_;
  std::vector<char> buffer_;
  bool lineError_ = false;  // reported, not yet on a piece; the thread's own

  SerialPieceQueue waiting_;
  std::thread thread_;
};

}  // namespace pondex::win32
