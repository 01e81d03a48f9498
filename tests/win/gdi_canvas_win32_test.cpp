// The GDI canvas's text of a chosen height and its lines, in a memory
// device context under the real GDI: what the panel's picture of the scale
// is painted with.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "controls/win32/gdi_canvas.h"
#include "platform/win32/dpi.h"
#include "platform/win32/gdi_win32.h"
#include "platform/win32/handles.h"
#include "ui/scale_view.h"

namespace pondex::win32 {
namespace {

constexpr int kW = 400;
constexpr int kH = 160;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The smallest rectangle round the pixels of `area` that `picked` picks.
template <typename Pick>
controls::PixelRect inkOf(HDC dc, const controls::PixelRect& area, Pick picked) {
  controls::PixelRect r{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (!picked(::GetPixel(dc, x, y))) continue;
      r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    }
  }
  return r;
}

class GdiCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dc.get(), nullptr);
    ASSERT_TRUE(bitmap.valid());
    canvas.fillRect({0, 0, kW, kH}, kWhite);
  }

  // Round every pixel that is not white.
  controls::PixelRect ink() {
    return inkOf(dc.get(), {0, 0, kW, kH}, [](COLORREF c) { return c != kWhite; });
  }

  WindowDc screen;
  UniqueMemoryDc dc{::CreateCompatibleDC(screen.dc())};
  UniqueGdiObject bitmap{::CreateCompatibleBitmap(screen.dc(), kW, kH)};
  SelectedObject selected{dc.get(), bitmap.get()};
  UniqueGdiObject font = messageFont(96);
  GdiCanvas canvas{dc.get(), static_cast<HFONT>(font.get())};
};

TEST_F(GdiCanvasTest, TextOfAHeightIsDrawnThatHighWhereItsSizeSays) {
  // The panel's number at 96 and at 144 DPI, and its 10-point text.
  const controls::PixelSize small = canvas.textSize(L"12,345", 13);
  for (const int height : {52, 80}) {
    const controls::PixelSize size = canvas.textSize(L"12,345", height);
    EXPECT_GE(size.height, height);
    EXPECT_LT(size.height, height * 3 / 2);
    EXPECT_GT(size.width, small.width * height / 13 * 3 / 4);

    canvas.fillRect({0, 0, kW, kH}, kWhite);
    canvas.drawText(L"12,345", 7, 3, height, RGB(0, 0, 0));
    const controls::PixelRect drawn = ink();
    EXPECT_GE(drawn.left, 7);
    EXPECT_GE(drawn.top, 3);
    EXPECT_LE(drawn.right, 7 + size.width + 1);
    EXPECT_LE(drawn.bottom, 3 + size.height);
    EXPECT_GE(drawn.height(), height / 2) << "the digits are as high as asked";
    EXPECT_GE(drawn.width(), size.width * 3 / 4);
  }
}

TEST_F(GdiCanvasTest, LinesOfAnySlopeHoldBothEnds) {
  const COLORREF blue = RGB(0, 84, 166);
  canvas.line(10, 10, 70, 40, blue);
  canvas.line(100, 90, 40, 120, blue);  // drawn right to left
  canvas.line(5, 150, 5, 150, blue);    // a dot
  for (const auto& [x, y] : {std::pair{10, 10}, {70, 40}, {100, 90}, {40, 120}, {5, 150}}) {
    EXPECT_EQ(::GetPixel(dc.get(), x, y), blue) << x << "," << y;
  }
  EXPECT_EQ(::GetPixel(dc.get(), 40, 25), blue) << "half way";
  EXPECT_EQ(ink(), (controls::PixelRect{5, 10, 101, 151}));
}

// The panel's picture painted by GDI: the number is drawn at least three
// times as high as the panel's text, in real pixels, at both scales.
TEST(ScaleViewGdi, TheNumberIsThreeTimesTheTextsHeightAt96And144Dpi) {
  ui::ScaleViewModel model;
  for (int i = 0; i < 70; ++i) model.add({std::to_string(10 + i % 9) + ",5", "kg", i % 4 == 0, Millis(100 * i)});
  for (const int dpi : {96, 144}) {
    const ui::ScaleViewMetrics m = ui::scaleViewMetrics(dpi);
    const int width = 480 * dpi / 96;
    const WindowDc screen;
    UniqueMemoryDc dc(::CreateCompatibleDC(screen.dc()));
    UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.dc(), width, m.pictureHeight()));
    const SelectedObject selected(dc.get(), bitmap.get());
    const UniqueGdiObject font = messageFont(dpi);
    GdiCanvas canvas(dc.get(), static_cast<HFONT>(font.get()));
    const ui::ScaleViewLayout layout = ui::drawScaleView(canvas, {0, 0, width, m.pictureHeight()}, model, m);
    const auto black = [](COLORREF c) { return c == ui::scale_colors::kNumber; };
    const int number = inkOf(dc.get(), layout.reading, black).height();
    // The same digits at the text's height, where the plot's labels stand.
    canvas.fillRect({0, 0, width, m.pictureHeight()}, ui::scale_colors::kBackground);
    canvas.drawText(L"18,5", 0, 0, m.textHeight, ui::scale_colors::kNumber);
    const int text = inkOf(dc.get(), {0, 0, width, m.pictureHeight()}, black).height();
    EXPECT_GT(text, 0) << dpi;
    EXPECT_GE(number, 3 * text) << dpi;
  }
}

}  // namespace
}  // namespace pondex::win32
