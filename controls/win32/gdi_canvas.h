#pragma once
// A Canvas over a GDI device context. Lines and rectangles are filled with
// the context's own brush (DC_BRUSH), so drawing creates no GDI object;
// text goes through DrawTextW in the given font with "&" as access-key
// prefix. The font stays selected while the canvas lives. Text of a chosen
// height is drawn in the same face, made once per height and kept while the
// canvas lives; lines of any slope go with the context's own pen (DC_PEN).
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

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
  void line(int x1, int y1, int x2, int y2, controls::Color color) override;
  [[nodiscard]] controls::PixelSize textSize(std::wstring_view text, int height) override;
  void drawText(std::wstring_view text, int x, int y, int height, controls::Color color) override;

 private:
  // The canvas's face with characters `height` pixels high.
  HGDIOBJ fontOfHeight(int height);

  HDC dc_;
  HFONT baseFont_;
  SelectedObject font_;
  std::vector<std::pair<int, UniqueGdiObject>> sizedFonts_;  // by height
};

// Paints a window's client area off-screen first, then copies it in one
// step, so that it is never seen half drawn: `draw` gets a canvas over
// the whole area with `font` (the GUI font when null).
void paintOffScreen(HWND window, HDC target, HFONT font,
                    const std::function<void(controls::Canvas&, const controls::PixelRect&)>& draw);

}  // namespace pondex::win32
