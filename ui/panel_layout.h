#pragma once
// Geometry and size rules of the data panel window, kept apart from the
// window so that they can be tested.
#include <cstddef>

namespace pondex::ui {

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// The text box follows the window: 300 twips narrower and 1500 twips lower
// (the room for the borders and the button). A window smaller than that
// (minimised, or dragged tiny) gives an empty box, never a negative one.
[[nodiscard]] Size panelTextBoxSize(Size windowTwips);

// The text box's top left corner, in twips of the client area.
inline constexpr int kPanelMargin = 60;
// "Save" sits this far under the text box and moves with its bottom edge,
// so a box that grows with the window never covers it.
inline constexpr int kPanelButtonGap = 120;
[[nodiscard]] int panelButtonTop(Size textBoxTwips);

// The window's size when it opens, in twips; a picture of the scale makes
// it taller by its own height, so that the text box keeps its room.
inline constexpr Size kPanelWindow{9000, 6000};
inline constexpr Size kPanelButton{1200, 400};
inline constexpr int kPanelPictureGap = 60;  // between the picture and the text box
[[nodiscard]] Size panelWindowSize(int pictureHeightTwips);

// A part's place in twips of the client area.
struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

// Where the parts go in a window of `windowTwips` (its outer size). With
// no picture (height 0, the received text) the text box and "Save" lie as
// panelTextBoxSize and panelButtonTop place them. With one, the picture
// spans the text box's width at the top and keeps its height, and the text
// box below it gives up that room, down to nothing in a window too small
// for both; "Save" stays under the text box.
struct PanelParts {
  Box picture;  // empty without a picture
  Box textBox;
  Box button;
  friend bool operator==(const PanelParts&, const PanelParts&) = default;
};
[[nodiscard]] PanelParts panelParts(Size windowTwips, int pictureHeightTwips);

// How much text to drop before appending `adding` characters to a text of
// `current` characters when the panel keeps at most `limit`. Once the limit
// would be passed, the text is cut back to three quarters of it, so that
// the cut does not repeat on every append.
struct PanelTrim {
  std::size_t fromText = 0;    // leading characters of the text to remove
  std::size_t fromAppend = 0;  // leading characters of the new text to skip
  friend bool operator==(const PanelTrim&, const PanelTrim&) = default;
};
[[nodiscard]] PanelTrim panelTrim(std::size_t current, std::size_t adding, std::size_t limit);

}  // namespace pondex::ui
