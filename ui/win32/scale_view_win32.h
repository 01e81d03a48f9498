#pragma once
// The picture of the scale in the data panel: a child window that
// drawScaleView paints through a GdiCanvas, off-screen first and then in
// one copy, so that it never flickers. It takes no focus and no tab stop.
//
// Readings go into the picture's model at once; the window is redrawn at
// most once each RedrawLimiter::kInterval: at once when the last redraw is
// old enough, else by a timer of the event loop at the limiter's deadline.
// Its window text is the last reading as a person reads it ("12,345 kg
// ustalona"), kept with the redraws, so that screen readers have it.
#include <windows.h>

#include "platform/event_loop.h"
#include "ui/scale_view.h"
#include "ui/win32/limited_redraw.h"

namespace pondex::win32 {

class ScaleViewWindow {
 public:
  explicit ScaleViewWindow(EventLoop& loop);
  ~ScaleViewWindow();
  ScaleViewWindow(const ScaleViewWindow&) = delete;
  ScaleViewWindow& operator=(const ScaleViewWindow&) = delete;

  // Makes the picture, empty, as child `id` of `parent`, which owns the
  // window and destroys it with itself. Null when it could not be made.
  HWND create(HWND parent, int id);
  [[nodiscard]] HWND handle() const { return window_; }

  // The face the picture's text is drawn in (borrowed: it must outlive the
  // window or the next call) and the DPI its sizes follow.
  void setStyle(HFONT face, UINT dpi);
  [[nodiscard]] const ui::ScaleViewMetrics& metrics() const { return metrics_; }

  void show(const ui::ScaleReading& reading);

  // The window's messages, through the window-class helper.
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  void redrawNow();
  void paintInto(HDC target);

  ui::ScaleViewModel model_;
  ui::ScaleViewMetrics metrics_ = ui::scaleViewMetrics(USER_DEFAULT_SCREEN_DPI);
  HFONT face_ = nullptr;
  HWND window_ = nullptr;  // owned by its parent
  LimitedRedraw redraw_;
};

}  // namespace pondex::win32
