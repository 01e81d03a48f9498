#pragma once
// A Canvas over an array of pixels, for checking pictures pixel by pixel.
// Text is not rasterised: it is measured in a fixed-pitch font
// (kCharWidth x kLineHeight, and in proportion for other heights) and
// every draw is recorded.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
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
    int height = 0;  // of drawText; 0 for the caption font of drawWrappedText
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
  // Bresenham's line, end points included.
  void line(int x1, int y1, int x2, int y2, controls::Color color) override {
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int stepX = x1 < x2 ? 1 : -1;
    const int stepY = y1 < y2 ? 1 : -1;
    for (int error = dx + dy;;) {
      setPixel(x1, y1, color);
      if (x1 == x2 && y1 == y2) return;
      const int twice = 2 * error;
      if (twice >= dy) {
        error += dy;
        x1 += stepX;
      }
      if (twice <= dx) {
        error += dx;
        y1 += stepY;
      }
    }
  }
  [[nodiscard]] controls::PixelSize textSize(std::wstring_view text, int height) override {
    return {static_cast<int>(text.size()) * std::max(1, (height * kCharWidth + kLineHeight / 2) / kLineHeight), height};
  }
  void drawText(std::wstring_view text, int x, int y, int height, controls::Color color) override {
    const controls::PixelSize size = textSize(text, height);
    texts_.push_back({std::wstring(text), {x, y, x + size.width, y + size.height}, color, height});
  }

 private:
  [[nodiscard]] std::size_t index(int x, int y) const { return static_cast<std::size_t>(y * width_ + x); }

  int width_;
  int height_;
  std::vector<controls::Color> pixels_;
  std::vector<TextDraw> texts_;
};

}  // namespace pondex::fakes
