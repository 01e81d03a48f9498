#pragma once
// The data panel window: title "Panel", a multi-line text box in a
// fixed-pitch font that follows the window's size, and below it a "Save"
// button that does nothing. Sizes and fonts follow the DPI of the monitor
// the window is on. Received text is shown in the system's ANSI code page. Shown modally over its owner through the
// event loop's nested loop, so the program's timers and sockets keep running and append.
//
// The text box holds at most `limit` characters: the edit control's own
// limit is lifted, and before it would pass ours the oldest lines go.
#include <windows.h>

#include <cstddef>

#include "platform/panel.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

class Win32DataPanel final : public DataPanel {
 public:
  static constexpr std::size_t kDefaultLimit = 1 << 20;  // characters, about a day of weighings

  explicit Win32DataPanel(Win32EventLoop& loop, std::size_t limit = kDefaultLimit);
  ~Win32DataPanel() override;
  Win32DataPanel(const Win32DataPanel&) = delete;
  Win32DataPanel& operator=(const Win32DataPanel&) = delete;

  // The window the panel is modal to (disabled while the panel is open).
  void setOwner(HWND owner) { owner_ = owner; }

  void showModal(PanelContent content) override;
  void append(const std::string& text) override;
  void showReading(const PanelReading& reading) override;
  void addRow(const std::string& row) override;
  [[nodiscard]] bool isOpen() const override { return window_.valid(); }

  // The window without the modal loop, for tests and for showModal.
  void open();
  void close();
  [[nodiscard]] HWND handle() const { return window_.get(); }
  [[nodiscard]] HWND textBox() const { return edit_; }

  // The window's messages, through the window-class helper.
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  void layout();
  // The text box's and the button's fonts at dpi_.
  void applyFonts();
  void dropOldest(std::size_t characters);

  // Puts wide text at the end of the text box, within the limit.
  void appendWide(std::wstring wide);

  Win32EventLoop& loop_;
  PanelContent content_ = PanelContent::ReceivedText;
  std::size_t limit_;
  HWND owner_ = nullptr;
  UniqueWindow window_;
  HWND edit_ = nullptr;  // children of window_
  HWND save_ = nullptr;
  UINT dpi_ = 96;  // of the monitor the panel is on
  UniqueGdiObject font_;
  UniqueGdiObject buttonFont_;
  bool ownerDisabled_ = false;
};

}  // namespace pondex::win32
