#pragma once
// A Canvas over an array of pixels, for checking pictures pixel by pixel.
// Text is not rasterised: it is measured in a fixed-pitch font
// (kCharWidth x kLineHeight) and every draw is recorded.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "controls/canvas.h"

namespace pondex::fakes {

class MemoryCanvas final : public controls::Canvas {
 public:
  static constexpr controls::Color kUnpainted = 0xFF000000;  // no 0x00BBGGRR colour looks like it
  static constexpr int kCharWidth = 7;
  static constexpr int kLineHeight = 13;

  MemoryCanvas(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), kUnpainted) {}

  [[nodiscard]] controls::Color at(int x, int y) const { return pixels_.at(index(x, y)); }

  struct TextDraw {
    std::wstring text;
    controls::PixelRect box;
    controls::Color color = 0;
  };
  [[nodiscard]] const std::vector<TextDraw>& texts() const { return texts_; }

  void setPixel(int x, int y, controls::Color color) override {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[index(x, y)] = color;
  }
  void horizontalLine(int x1, int x2, int y, controls::Color color) override {
    for (int x = x1; x <= x2; ++x) setPixel(x, y, color);
  }
  void verticalLine(int x, int y1, int y2, controls::Color color) override {
    for (int y = y1; y <= y2; ++y) setPixel(x, y, color);
  }
  void fillRect(const controls::PixelRect& rect, controls::Color color) override {
    for (int y = rect.top; y < rect.bottom; ++y) horizontalLine(rect.left, rect.right - 1, y, color);
  }
  // Breaks anywhere, not only between words, and counts an "&" as shown:
  // close enough for centring.
  [[nodiscard]] int wrappedTextHeight(std::wstring_view text, int width) override {
    const int perLine = std::max(1, width / kCharWidth);
    return (static_cast<int>(text.size()) + perLine - 1) / perLine * kLineHeight;
  }
  void drawWrappedText(std::wstring_view text, const controls::PixelRect& box, controls::Color color) override {
    texts_.push_back({std::wstring(text), box, color});
  }

 private:
  [[nodiscard]] std::size_t index(int x, int y) const { return static_cast<std::size_t>(y * width_ + x); }

  int width_;
  int height_;
  std::vector<controls::Color> pixels_;
  std::vector<TextDraw> texts_;
};

}  // namespace pondex::fakes
