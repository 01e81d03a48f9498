#pragma once
// The background read of one serial port: a thread of its own that waits in
// an overlapped read, keeps what arrives, in order, and signals the
// user-interface thread, which takes it without waiting. The window's thread
// never waits for the line; this thread waits for nothing else.
//
// - The port must be opened for overlapped I/O; the reader does not own it,
//   and it must stay open until the reader is gone.
// - Each read ends under the port's timeouts. While a read waits, the
//   device is checked every few hundred milliseconds, since under Wine a
//   read on a vanished tty waits on silently; a failed check ends the read
//   like a failed read does.
// - A failure is kept after the bytes read before it and handed over once.
//   After a device-gone failure the thread ends; after any other it tries
//   again a little later, so that a failing line cannot spin.
// - Destroying the reader cancels the pending read and waits for the thread.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/event_loop.h"
#include "platform/result.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

class SerialReader {
 public:
  SerialReader(HANDLE port, std::unique_ptr<CrossThreadSignal> arrived);
  ~SerialReader();
  SerialReader(const SerialReader&) = delete;
  SerialReader& operator=(const SerialReader&) = delete;

  // At most `maxBytes` of what has arrived; a kept failure once nothing is
  // left before it. Never waits.
  Result<std::string> take(std::size_t maxBytes);

 private:
  void run();
  // One overlapped read; false when the reader is being stopped.
  bool readOnce();
  // Waits for the pending read; false when stopped (the read is cancelled).
  bool waitForRead(OVERLAPPED& overlapped, DWORD& got, DWORD& error);
  void keep(const char* bytes, DWORD count, DWORD error);

  HANDLE port_;
  std::unique_ptr<CrossThreadSignal> arrived_;
  UniqueKernelHandle stop_;
  UniqueKernelHandle readDone_;
  char buffer_[256];

  std::mutex mutex_;
  std::string pending_;  // under mutex_
  int failure_ = 0;      // under mutex_

  std::thread thread_;
};

}  // namespace pondex::win32
