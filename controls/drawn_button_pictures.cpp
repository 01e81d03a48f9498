#include "controls/drawn_button_pictures.h"

namespace pondex::controls {
namespace {

// The colour table of the look.
constexpr Color kBorder = rgb(0, 60, 116);
constexpr Color kBorderCornerSide = rgb(122, 149, 168);
constexpr Color kBorderCornerInner = rgb(37, 87, 131);

constexpr Color kFaceTop = rgb(255, 255, 253);
constexpr int kFaceGradientEndBlue = 230;
constexpr Color kFaceFifthLast = rgb(236, 235, 230);
constexpr Color kFaceFourthLast = rgb(226, 223, 214);
constexpr Color kFaceThirdLast = rgb(214, 208, 197);

constexpr Color kPressedTop = rgb(226, 225, 218);
constexpr int kPressedGradientEndBlue = 218;
constexpr Color kPressedShadowDark = rgb(209, 204, 192);
constexpr Color kPressedShadow = rgb(220, 216, 207);
constexpr Color kPressedLight = rgb(234, 233, 227);
constexpr Color kPressedLightest = rgb(242, 241, 238);

constexpr Color kFocusTopOuter = rgb(206, 231, 251);
constexpr Color kFocusTopInner = rgb(188, 212, 246);
constexpr Color kFocusSide = rgb(186, 211, 246);
constexpr int kFocusSideEndBlue = 228;
constexpr Color kFocusBottomOuter = rgb(77, 125, 193);
constexpr Color kFocusBottomInner = rgb(97, 125, 229);

constexpr Color kHoverTopOuter = rgb(255, 240, 207);
constexpr Color kHoverTopInner = rgb(253, 216, 137);
constexpr Color kHoverSide = rgb(254, 223, 154);
constexpr Color kHoverBottom = rgb(229, 151, 0);

constexpr Color kDisabledFace = rgb(245, 244, 234);
constexpr Color kDisabledFrame = rgb(201, 199, 186);
constexpr Color kDisabledCornerSide = rgb(216, 213, 199);
constexpr Color kDisabledCornerInner = rgb(234, 233, 222);

// Each component one step darker; the gradients never reach zero.
Color darker(Color c) {
  return rgb(static_cast<std::uint8_t>(redOf(c) - 1), static_cast<std::uint8_t>(greenOf(c) - 1),
             static_cast<std::uint8_t>(blueOf(c) - 1));
}

// Rows first..last, one colour per row; after each row the colour darkens
// by one while its blue component is still at least `endBlue`.
void gradientRows(Canvas& c, int x1, int x2, int first, int last, Color start, int endBlue) {
  Color color = start;
  for (int y = first; y <= last; ++y) {
    c.horizontalLine(x1, x2, y, color);
    if (blueOf(color) >= endBlue) color = darker(color);
  }
}

// The ring's two-pixel sides darken the same way, row by row.
void gradientSides(Canvas& c, int right, int first, int last, Color start, int endBlue) {
  Color color = start;
  for (int y = first; y <= last; ++y) {
    c.horizontalLine(1, 2, y, color);
    c.horizontalLine(right - 2, right - 1, y, color);
    if (blueOf(color) >= endBlue) color = darker(color);
  }
}

// A one-pixel frame whose corners are softened: the two pixels beside each
// corner and the one diagonally inside it take their own colours.
void frame(Canvas& c, int right, int bottom, Color line, Color cornerSide, Color cornerInner) {
  c.horizontalLine(0, right, 0, line);
  c.horizontalLine(0, right, bottom, line);
  c.verticalLine(0, 0, bottom, line);
  c.verticalLine(right, 0, bottom, line);
  struct Corner {
    int x, y, dx, dy;
  };
  for (const Corner k :
       {Corner{0, 0, 1, 1}, Corner{right, 0, -1, 1}, Corner{0, bottom, 1, -1}, Corner{right, bottom, -1, -1}}) {
    c.setPixel(k.x + k.dx, k.y, cornerSide);
    c.setPixel(k.x, k.y + k.dy, cornerSide);
    c.setPixel(k.x + k.dx, k.y + k.dy, cornerInner);
  }
}

void normalFace(Canvas& c, int right, int bottom) {
  c.fillRect({1, 1, right, bottom}, kFaceTop);
  gradientRows(c, 1, right - 1, 3, bottom - 3, kFaceTop, kFaceGradientEndBlue);
  c.horizontalLine(1, right - 1, bottom - 4, kFaceFifthLast);
  c.horizontalLine(1, right - 1, bottom - 3, kFaceFourthLast);
  c.horizontalLine(1, right - 1, bottom - 2, kFaceThirdLast);
  c.horizontalLine(1, right - 1, bottom - 1, kFaceThirdLast);
}

// Sunken: shadow along the top and left, light along the bottom and right.
void pressedFace(Canvas& c, int right, int bottom) {
  gradientRows(c, 1, right - 1, 1, bottom - 1, kPressedTop, kPressedGradientEndBlue);
  c.horizontalLine(1, right - 1, 1, kPressedShadowDark);
  c.horizontalLine(1, right - 1, 2, kPressedShadow);
  c.verticalLine(1, 3, bottom - 3, kPressedShadow);
  c.verticalLine(right - 1, 3, bottom - 3, kPressedLight);
  c.horizontalLine(1, right - 1, bottom - 2, kPressedLight);
  c.horizontalLine(1, right - 1, bottom - 1, kPressedLightest);
}

void focusRing(Canvas& c, int right, int bottom) {
  c.horizontalLine(2, right - 2, 1, kFocusTopOuter);
  c.horizontalLine(1, right - 1, 2, kFocusTopInner);
  gradientSides(c, right, 3, bottom - 3, kFocusSide, kFocusSideEndBlue);
  c.horizontalLine(2, right - 2, bottom - 2, kFocusBottomInner);
  c.setPixel(1, bottom - 2, kFocusBottomOuter);
  c.setPixel(right - 1, bottom - 2, kFocusBottomOuter);
  c.horizontalLine(2, right - 2, bottom - 1, kFocusBottomOuter);
}

// The hover sides darken over as many rows as the focus ring's do.
void hoverRing(Canvas& c, int right, int bottom) {
  constexpr int kEndBlue = blueOf(kHoverSide) - (blueOf(kFocusSide) - kFocusSideEndBlue);
  c.horizontalLine(2, right - 2, 1, kHoverTopOuter);
  c.horizontalLine(1, right - 1, 2, kHoverTopInner);
  gradientSides(c, right, 3, bottom - 3, kHoverSide, kEndBlue);
  c.horizontalLine(2, right - 2, bottom - 1, kHoverBottom);
}

}  // namespace

void drawButton(Canvas& canvas, int width, int height, const ButtonLook& look, std::wstring_view caption) {
  const int right = width - 1;
  const int bottom = height - 1;
  switch (look.face) {
    case ButtonLook::Face::Disabled:
      canvas.fillRect({1, 1, right, bottom}, kDisabledFace);
      frame(canvas, right, bottom, kDisabledFrame, kDisabledCornerSide, kDisabledCornerInner);
      break;
    case ButtonLook::Face::Pressed:
      pressedFace(canvas, right, bottom);
      frame(canvas, right, bottom, kBorder, kBorderCornerSide, kBorderCornerInner);
      break;
    case ButtonLook::Face::Normal:
      normalFace(canvas, right, bottom);
      if (look.ring == ButtonLook::Ring::Focus) focusRing(canvas, right, bottom);
      if (look.ring == ButtonLook::Ring::Hover) hoverRing(canvas, right, bottom);
      frame(canvas, right, bottom, kBorder, kBorderCornerSide, kBorderCornerInner);
      break;
  }
  const int textHeight = canvas.wrappedTextHeight(caption, width);
  const int top = height / 2 - textHeight / 2;
  canvas.drawWrappedText(caption, {0, top, width, height}, look.caption);
}

}  // namespace pondex::controls
