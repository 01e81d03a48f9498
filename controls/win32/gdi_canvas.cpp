#include "controls/win32/gdi_canvas.h"

namespace pondex::win32 {

GdiCanvas::GdiCanvas(HDC dc, HFONT font) : dc_(dc), font_(dc, font) {
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

void GdiCanvas::setPixel(int x, int y, controls::Color color) {
  ::SetPixelV(dc_, x, y, color);
}

void GdiCanvas::horizontalLine(int x1, int x2, int y, controls::Color color) {
  if (x2 >= x1) fillRect({x1, y, x2 + 1, y + 1}, color);
}

void GdiCanvas::verticalLine(int x, int y1, int y2, controls::Color color) {
  if (y2 >= y1) fillRect({x, y1, x + 1, y2 + 1}, color);
}

void GdiCanvas::fillRect(const controls::PixelRect& rect, controls::Color color) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  const RECT r{rect.left, rect.top, rect.right, rect.bottom};
  ::SetDCBrushColor(dc_, color);
  ::FillRect(dc_, &r, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

int GdiCanvas::wrappedTextHeight(std::wstring_view text, int width) {
  if (text.empty()) return 0;
  RECT r{0, 0, width, 0};
  ::DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  return r.bottom - r.top;
}

void GdiCanvas::drawWrappedText(std::wstring_view text, const controls::PixelRect& box, controls::Color color) {
  if (text.empty()) return;
  RECT r{box.left, box.top, box.right, box.bottom};
  ::SetTextColor(dc_, color);
  ::DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &r, DT_WORDBREAK | DT_CENTER);
}

}  // namespace pondex::win32
