#pragma once
// Starting another program by its path, and the shell's folder browser.
#include <windows.h>

#include "platform/shell.h"

namespace pondex::win32 {

class Win32Shell final : public Shell {
 public:
  // The folder browser belongs to this window while it is visible.
  void setOwner(HWND owner) { owner_ = owner; }

  // Refuses (ERROR_BAD_PATHNAME) a path that is not complete, so that a bare
  // name never runs whatever the search order would find.
  std::uint32_t startProgram(const std::string& path) override;
  std::string browseForFolder(const std::string& title) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace pondex::win32
