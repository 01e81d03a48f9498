#pragma once
// Text in the program is UTF-8; the Win32 layer turns it into UTF-16 at its
// boundary. Two single-byte forms meet it at the edges, each converted in
// one place:
// - Windows-1250: the Polish letters of the settings file's key names and of
//   the language file (config/settings_store, ui/localisation);
// - the system's ANSI code page: the data folder as the settings file keeps
//   it (FileSystem::fromAnsi and toAnsi, used by config/settings_store).
// Bytes from and for the instrument (received data, commands, keystrokes,
// data files) are not text here: they pass as they are.
#include <string>

namespace pondex {

// UTF-8 text in a single-byte code page.
struct EncodedText {
  std::string bytes;        // characters the code page lacks are "?"
  std::string unspellable;  // the first such character (UTF-8), "" when none
  [[nodiscard]] bool complete() const { return unspellable.empty(); }
};

}  // namespace pondex
