#pragma once
// The data panel: a window in which received data are shown as text.
// Texts are received bytes, in the system's ANSI code page as keystrokes and data
// files take them; the platform converts them for the screen.
#include <string>

namespace pondex {

class DataPanel {
 public:
  virtual ~DataPanel() = default;
  // Opens the window (with an empty text) and returns when the user closed
  // it or the program ends. The program's timers and sockets keep running
  // meanwhile, and their handlers may append.
  virtual void showModal() = 0;
  // Appends at the end of the text, wherever the user put the caret.
  // Nothing happens while the window is not open. When the text grows past
  // what the panel keeps, the oldest lines are dropped.
  virtual void append(const std::string& text) = 0;
  [[nodiscard]] virtual bool isOpen() const = 0;
};

}  // namespace pondex
