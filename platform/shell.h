#pragma once
// What the program asks of the Windows shell: starting another program and
// the folder browser. Paths are UTF-8 texts, as platform/files.h takes them.
#include <cstdint>
#include <string>

namespace pondex {

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts the executable at `path` in a normal window that gets the focus.
  // The path must be complete: it is never looked up on the search path.
  // 0 when it started, otherwise the system's error number (2 for a missing
  // file); nothing is shown to the user either way.
  virtual std::uint32_t startProgram(const std::string& path) = 0;
  // The modal folder browser over the computer's drives, offering only file
  // system folders. The chosen folder's path, whatever characters it holds,
  // or "" when the user cancelled or chose an item without a path.
  virtual std::string browseForFolder(const std::string& title) = 0;
};

}  // namespace pondex
