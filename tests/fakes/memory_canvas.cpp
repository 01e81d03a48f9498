#include "tests/fakes/memory_canvas.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace pondex::fakes {

MemoryCanvas::MemoryCanvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), kUnpainted) {}

controls::Color MemoryCanvas::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("pixel outside the canvas");
  return pixels_[static_cast<std::size_t>(y * width_ + x)];
}

void MemoryCanvas::setPixel(int x, int y, controls::Color color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y * width_ + x)] = color;
}

void MemoryCanvas::horizontalLine(int x1, int x2, int y, controls::Color color) {
  for (int x = x1; x <= x2; ++x) setPixel(x, y, color);
}

void MemoryCanvas::verticalLine(int x, int y1, int y2, controls::Color color) {
  for (int y = y1; y <= y2; ++y) setPixel(x, y, color);
}

void MemoryCanvas::fillRect(const controls::PixelRect& rect, controls::Color color) {
  for (int y = rect.top; y < rect.bottom; ++y) horizontalLine(rect.left, rect.right - 1, y, color);
}

// Breaks anywhere, not only between words: close enough for centring.
int MemoryCanvas::wrappedTextHeight(std::wstring_view text, int width) {
  int shown = 0;  // "&x" shows x, "&&" shows one "&"
  for (std::size_t i = 0; i < text.size(); ++i, ++shown) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
  }
  const int perLine = std::max(1, width / kCharWidth);
  return (shown + perLine - 1) / perLine * kLineHeight;
}

void MemoryCanvas::drawWrappedText(std::wstring_view text, const controls::PixelRect& box, controls::Color color) {
  texts_.push_back({std::wstring(text), box, color});
}

}  // namespace pondex::fakes
