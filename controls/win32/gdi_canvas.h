#pragma once
// A Canvas over a GDI device context. Lines and rectangles are filled with
// the context's own brush (DC_BRUSH), so drawing creates no GDI object;
// text goes through DrawTextW in the given font with "&" as access-key
// prefix. The font stays selected while the canvas lives.
#include <windows.h>

#include "controls/canvas.h"
#include "platform/win32/gdi_win32.h"

namespace pondex::win32 {

class GdiCanvas final : public controls::Canvas {
 public:
  GdiCanvas(HDC dc, HFONT font);

  void setPixel(int x, int y, controls::Color color) override;
  void horizontalLine(int x1, int x2, int y, controls::Color color) override;
  void verticalLine(int x, int y1, int y2, controls::Color color) override;
  void fillRect(const controls::PixelRect& rect, controls::Color color) override;
  [[nodiscard]] int wrappedTextHeight(std::wstring_view text, int width) override;
  void drawWrappedText(std::wstring_view text, const controls::PixelRect& box, controls::Color color) override;

 private:
  HDC dc_;
  SelectedObject font_;
};

}  // namespace pondex::win32
