#pragma once
// The data panel: a window in which received data are shown. Outside the
// weight mode it shows the received text; in the weight mode it shows the
// scale: the last reading large with a plot of the last readings, and
// below it the list of the readings taken, one row each.
// Received text is in the system's ANSI code page, as keystrokes and data
// files take it; the platform converts it for the screen.
#include <string>

#include "platform/event_loop.h"

namespace pondex {

// What the panel shows while it is open.
enum class PanelContent { ReceivedText, Scale };

// One reading the weight mode recognised, taken or not.
struct PanelReading {
  std::string number;  // as typed, ASCII
  std::string unit;    // "" when the line had none
  bool settled = false;
  Millis at{0};  // when its line ended, on the event loop's clock
};

class DataPanel {
 public:
  virtual ~DataPanel() = default;
  // Opens the window (empty) and returns when the user closed it or the
  // program ends. The program's timers and sockets keep running meanwhile,
  // and their handlers may append.
  virtual void showModal(PanelContent content) = 0;
  // ReceivedText: appends at the end of the text, wherever the user put
  // the caret. When the text grows past what the panel keeps, the oldest
  // lines are dropped.
  virtual void append(const std::string& text) = 0;
  // Scale: the picture shows `reading` as the last one.
  virtual void showReading(const PanelReading& reading) = 0;
  // Scale: one row (UTF-8, without its line end) at the end of the list;
  // the list keeps the newest rows.
  virtual void addRow(const std::string& row) = 0;
  // Each does nothing while the window is not open or shows the other
  // content.
  [[nodiscard]] virtual bool isOpen() const = 0;
};

}  // namespace pondex
