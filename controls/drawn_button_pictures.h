#pragma once
// The pictures of the XP-style button: a rounded, gradient-faced push
// button with a normal, pressed and disabled face, a blue focus ring and an
// orange hover ring. Pure drawing on a Canvas; which picture to show is the
// behaviour's business (drawn_button.h).
#include <array>
#include <string_view>

#include "controls/canvas.h"

namespace pondex::controls {

struct ButtonLook {
  enum class Face { Normal, Pressed, Disabled };
  enum class Ring { None, Focus, Hover };  // drawn on the normal face only
  Face face = Face::Normal;
  Ring ring = Ring::None;
  Color caption = 0;
  friend bool operator==(const ButtonLook&, const ButtonLook&) = default;
};

inline constexpr Color kDisabledCaption = rgb(161, 161, 146);

// Draws the whole button, face, ring, border and caption, into a client
// area of `width` x `height` pixels.
void drawButton(Canvas& canvas, int width, int height, const ButtonLook& look, std::wstring_view caption);

// The window's visible shape: the client rectangle without the single
// pixel at each of its four corners, which rounds the border off.
struct CutCornerRegion {
  int width = 0;
  int height = 0;

  struct Pixel {
    int x = 0;
    int y = 0;
  };
  [[nodiscard]] std::array<Pixel, 4> cutPixels() const {
    return {{{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}}};
  }
  friend bool operator==(const CutCornerRegion&, const CutCornerRegion&) = default;
};

}  // namespace pondex::controls
