#pragma once
// A surface the custom controls draw on: the Windows half puts it over a
// memory device context, tests put it over an array of pixels.
//
// Coordinates are pixels from the top left of the control's client area.
// Lines include both end points. Drawing outside the surface is clipped.
// Text is one caption: "&" marks the next character as the access key
// (drawn underlined) and "&&" stands for a literal "&".
#include <cstdint>
#include <string_view>

namespace pondex::controls {

using Color = std::uint32_t;  // 0x00BBGGRR, the platform's colour layout (as ui::Color)
inline constexpr Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
inline constexpr std::uint8_t redOf(Color c) {
  return static_cast<std::uint8_t>(c & 0xFF);
}
inline constexpr std::uint8_t greenOf(Color c) {
  return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
inline constexpr std::uint8_t blueOf(Color c) {
  return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

// Right and bottom are exclusive, as in a Windows RECT.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  [[nodiscard]] int width() const { return right - left; }
  [[nodiscard]] int height() const { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void setPixel(int x, int y, Color color) = 0;
  virtual void horizontalLine(int x1, int x2, int y, Color color) = 0;
  virtual void verticalLine(int x, int y1, int y2, Color color) = 0;
  virtual void fillRect(const PixelRect& rect, Color color) = 0;

  // Height in pixels of `text` broken at word boundaries into lines no
  // wider than `width`.
  [[nodiscard]] virtual int wrappedTextHeight(std::wstring_view text, int width) = 0;
  // Draws `text` broken as wrappedTextHeight breaks it for box.width(),
  // each line centred horizontally, the first line at box.top, on a
  // transparent background.
  virtual void drawWrappedText(std::wstring_view text, const PixelRect& box, Color color) = 0;

  // A line of any slope, one pixel wide.
  virtual void line(int x1, int y1, int x2, int y2, Color color) = 0;
  // The size of `text` on one line in the canvas's font with characters
  // `height` pixels high (the font's em; the line it takes is a little
  // higher). "&" is a character like any other here.
  [[nodiscard]] virtual PixelSize textSize(std::wstring_view text, int height) = 0;
  // Draws `text` as textSize measures it, its box's top left at (x, y), on
  // a transparent background.
  virtual void drawText(std::wstring_view text, int x, int y, int height, Color color) = 0;
};

}  // namespace pondex::controls
