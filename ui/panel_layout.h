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
