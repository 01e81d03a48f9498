#pragma once
// Serial ports over the communications functions of kernel32: CreateFileA,
// SetCommTimeouts, BuildCommDCBA, SetCommState, ReadFile, WriteFile and
// CloseHandle, one call each, with GetLastError as the error number.
#include <string>

#include "platform/serial.h"

namespace pondex::win32 {

// The name CreateFileA needs for a port the user names "Com12:" or "COM12":
// "\\.\COM12" for numbers from 10 up; any other name as given.
std::string systemPortName(const std::string& name);

class Win32SerialPorts final : public SerialPorts {
 public:
  // Exclusive (no sharing), synchronous (no overlapped I/O) read and write.
  Result<std::unique_ptr<OpenPort>> open(const std::string& name) override;
  // BuildCommDCBA on a DCB whose every field is zero.
  Result<std::unique_ptr<LineControl>> buildLineControl(const std::string& mode) override;
};

}  // namespace pondex::win32
