#pragma once
// A Canvas over an array of pixels, for checking pictures pixel by pixel.
// Text is not rasterised: it is measured in a fixed-pitch font
// (kCharWidth x kLineHeight) and every draw is recorded.
#include <string>
#include <vector>

#include "controls/canvas.h"

namespace pondex::fakes {

class MemoryCanvas final : public controls::Canvas {
 public:
  static constexpr controls::Color kUnpainted = 0xFF000000;  // no 0x00BBGGRR colour looks like it
  static constexpr int kCharWidth = 7;
  static constexpr int kLineHeight = 13;

  MemoryCanvas(int width, int height);

  [[nodiscard]] controls::Color at(int x, int y) const;

  struct TextDraw {
    std::wstring text;
    controls::PixelRect box;
    controls::Color color = 0;
  };
  [[nodiscard]] const std::vector<TextDraw>& texts() const { return texts_; }

  void setPixel(int x, int y, controls::Color color) override;
  void horizontalLine(int x1, int x2, int y, controls::Color color) override;
  void verticalLine(int x, int y1, int y2, controls::Color color) override;
  void fillRect(const controls::PixelRect& rect, controls::Color color) override;
  [[nodiscard]] int wrappedTextHeight(std::wstring_view text, int width) override;
  void drawWrappedText(std::wstring_view text, const controls::PixelRect& box, controls::Color color) override;

 private:
  int width_;
  int height_;
  std::vector<controls::Color> pixels_;
  std::vector<TextDraw> texts_;
};

}  // namespace pondex::fakes
