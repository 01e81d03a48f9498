#pragma once
// The foreground window and the integrity level of its process, compared
// with our own.
#include <windows.h>

#include <optional>

#include "platform/foreground.h"

namespace pondex::win32 {

// The integrity level (the last sub-authority of the token's mandatory
// label, such as 0x2000 medium or 0x3000 high) of a process.
[[nodiscard]] std::optional<DWORD> processIntegrity(HANDLE process);

class Win32Foreground final : public Foreground {
 public:
  ForegroundTarget query() override;

 private:
  std::optional<DWORD> own_;
};

}  // namespace pondex::win32
