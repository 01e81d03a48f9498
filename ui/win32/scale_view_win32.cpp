#include "ui/win32/scale_view_win32.h"

#include <string>

#include "controls/win32/gdi_canvas.h"
#include "platform/win32/gdi_win32.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/window_class.h"

namespace pondex::win32 {
namespace {

constexpr const wchar_t* kPictureClass = L"Pon_dex.ScaleView";

const WindowClass& pictureClass() {
  // No background brush: the picture covers every pixel, and erasing first
  // would flash the background between two pictures.
  static const WindowClass registered({.name = kPictureClass,
                                       .where = "scale picture",
                                       .cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)),  // IDC_ARROW
                                       .background = nullptr});
  return registered;
}

std::string spoken(const ui::ScaleReading& reading) {
  std::string text = reading.number;
  if (!reading.unit.empty()) text += " " + reading.unit;
  text += " ";
  text += reading.settled ? ui::kSettledWord : ui::kMovingWord;
  return text;
}

}  // namespace

ScaleViewWindow::ScaleViewWindow(EventLoop& loop) : redraw_(loop, [this] { redrawNow(); }) {}

ScaleViewWindow::~ScaleViewWindow() {
  // Its messages would reach an object that is gone.
  if (window_ != nullptr) ::DestroyWindow(window_);
}

HWND ScaleViewWindow::create(HWND parent, int id) {
  model_ = ui::ScaleViewModel{};
  redraw_.reset();
  window_ = pictureClass().create(*this, 0, L"", WS_CHILD | WS_VISIBLE, {0, 0, 0, 0}, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
  return window_;
}

void ScaleViewWindow::setStyle(HFONT face, UINT dpi) {
  face_ = face;
  metrics_ = ui::scaleViewMetrics(static_cast<int>(dpi));
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, FALSE);
}

void ScaleViewWindow::show(const ui::ScaleReading& reading) {
  model_.add(reading);
  if (window_ != nullptr) redraw_.changed();
}

void ScaleViewWindow::redrawNow() {
  if (window_ == nullptr) return;
  if (model_.last()) ::SetWindowTextW(window_, widen(spoken(*model_.last())).c_str());
  ::InvalidateRect(window_, nullptr, FALSE);
  ::UpdateWindow(window_);
}

void ScaleViewWindow::paintInto(HDC target) {
  paintOffScreen(window_, target, face_, [this](controls::Canvas& canvas, const controls::PixelRect& area) {
    (void)ui::drawScaleView(canvas, area, model_, metrics_);
  });
}

LRESULT ScaleViewWindow::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers it all
    case WM_PAINT: {
      const PaintScope paint(hwnd);
      if (paint.dc() != nullptr) paintInto(paint.dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      paintInto(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      redraw_.reset();
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    default:
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace pondex::win32
