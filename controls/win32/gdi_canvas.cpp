#include "controls/win32/gdi_canvas.h"

namespace pondex::win32 {

GdiCanvas::GdiCanvas(HDC dc, HFONT font) : dc_(dc), baseFont_(font), font_(dc, font) {
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

void GdiCanvas::line(int x1, int y1, int x2, int y2, controls::Color color) {
  const SelectedObject pen(dc_, ::GetStockObject(DC_PEN));
  ::SetDCPenColor(dc_, color);
  ::MoveToEx(dc_, x1, y1, nullptr);
  ::LineTo(dc_, x2, y2);
  ::SetPixelV(dc_, x2, y2, color);  // LineTo stops short of its end
}

HGDIOBJ GdiCanvas::fontOfHeight(int height) {
  for (const auto& [h, font] : sizedFonts_) {
    if (h == height) return font.get();
  }
  LOGFONTW face{};
  const HGDIOBJ base = baseFont_ != nullptr ? baseFont_ : ::GetCurrentObject(dc_, OBJ_FONT);
  if (::GetObjectW(base, sizeof face, &face) == 0) return base;
  face.lfHeight = -height;
  face.lfWidth = 0;
  UniqueGdiObject made(::CreateFontIndirectW(&face));
  if (!made) return base;
  return sizedFonts_.emplace_back(height, std::move(made)).second.get();
}

controls::PixelSize GdiCanvas::textSize(std::wstring_view text, int height) {
  const SelectedObject font(dc_, fontOfHeight(height));
  SIZE size{};
  if (::GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size) == FALSE) return {};
  return {size.cx, size.cy};
}

void GdiCanvas::drawText(std::wstring_view text, int x, int y, int height, controls::Color color) {
  if (text.empty()) return;
  const SelectedObject font(dc_, fontOfHeight(height));
  ::SetTextColor(dc_, color);
  ::ExtTextOutW(dc_, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
}

void paintOffScreen(HWND window, HDC target, HFONT font,
                    const std::function<void(controls::Canvas&, const controls::PixelRect&)>& draw) {
  RECT client{};
  ::GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  UniqueMemoryDc memory(::CreateCompatibleDC(target));
  UniqueGdiObject bitmap(::CreateCompatibleBitmap(target, client.right, client.bottom));
  if (!memory || !bitmap) return;
  const SelectedObject selected(memory.get(), bitmap.get());
  {
    GdiCanvas canvas(memory.get(), font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    draw(canvas, {0, 0, client.right, client.bottom});
  }
  ::BitBlt(target, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace pondex::win32
