#pragma once
// The data panel window: title "Panel", a multi-line text box in a
// fixed-pitch font that follows the window's size, and below it a "Save"
// button that does nothing. Sizes and fonts follow the DPI of the monitor
// the window is on. Shown modally over its owner through the event loop's
// nested loop, so the program's timers and sockets keep running and append.
//
// Received text is shown in the system's ANSI code page. The text box then
// holds at most `limit` characters: the edit control's own limit is
// lifted, and before it would pass ours the oldest lines go.
//
// The scale: the picture (ScaleViewWindow) above the text box, at the
// height its metrics ask at the panel's DPI, and in the text box the rows
// RecentRows keeps, the box dropping from its start what RecentRows drops.
// The text box takes new rows at most once each RedrawLimiter::kInterval,
// all that came meanwhile at once: each change of its text redraws it and
// its scroll bars, which costs far more than the rows themselves.
#include <windows.h>

#include <cstddef>

#include "platform/panel.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/handles.h"
#include "ui/recent_rows.h"
#include "ui/win32/limited_redraw.h"
#include "ui/win32/scale_view_win32.h"

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
  void open(PanelContent content = PanelContent::ReceivedText);
  void close();
  [[nodiscard]] HWND handle() const { return window_.get(); }
  [[nodiscard]] HWND textBox() const { return edit_; }
  [[nodiscard]] HWND saveButton() const { return save_; }
  // The scale's picture; null in the received text.
  [[nodiscard]] HWND picture() const { return picture_.handle(); }

  // The window's messages, through the window-class helper.
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  void layout();
  // The picture's height in twips; 0 without one.
  [[nodiscard]] int pictureHeightTwips() const;
  // The text box's and the button's fonts at dpi_.
  void applyFonts();
  void dropOldest(std::size_t characters);
  // Puts the rows that came since the last time into the text box.
  void showNewRows();

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
  UniqueGdiObject buttonFont_;  // also the picture's face
  ScaleViewWindow picture_;
  ui::RecentRows rows_;
  std::wstring newRows_;              // not yet in the text box, with their line ends
  std::size_t rowsDroppedSince_ = 0;  // UTF-16 units RecentRows dropped meanwhile
  LimitedRedraw rowsRedraw_;
  bool ownerDisabled_ = false;
};

}  // namespace pondex::win32
