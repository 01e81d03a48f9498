#pragma once
// Serial ports over the communications functions of kernel32: CreateFileW,
// SetupComm, SetCommTimeouts, BuildCommDCBA, SetCommState, ReadFile,
// WriteFile and CloseHandle, with GetLastError as the error number. Ports
// are opened for overlapped I/O: a reader thread waits in the reads
// (serial_reader_win32.h) while the window's thread writes and takes what
// arrived.
#include <string>

#include "platform/event_loop.h"
#include "platform/serial.h"

namespace pondex::win32 {

// The name CreateFileW needs for a port the user names "Com12:" or "COM12":
// "\\.\COM12" for numbers from 10 up; any other name as given.
std::string systemPortName(const std::string& name);

class Win32SerialPorts final : public SerialPorts {
 public:
  // Arrival handlers run through `loop`'s cross-thread signals, and pieces
  // are stamped with its clock; it must outlive every port opened here.
  explicit Win32SerialPorts(EventLoop& loop) : loop_(loop) {}

  // Exclusive (no sharing), overlapped read and write, with an input queue
  // of kDriverInputQueue bytes where the driver grants it.
  Result<std::unique_ptr<OpenPort>> open(const std::string& name) override;
  // BuildCommDCBA on a DCB whose every field is zero.
  Result<std::unique_ptr<LineControl>> buildLineControl(const std::string& mode) override;

 private:
  EventLoop& loop_;
};

}  // namespace pondex::win32
