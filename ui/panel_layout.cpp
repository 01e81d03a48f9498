#include "ui/panel_layout.h"

#include <algorithm>

namespace pondex::ui {

Size panelTextBoxSize(Size windowTwips) {
  return {std::max(0, windowTwips.width - 300), std::max(0, windowTwips.height - 1500)};
}

int panelButtonTop(Size textBoxTwips) {
  return kPanelMargin + textBoxTwips.height + kPanelButtonGap;
}

PanelTrim panelTrim(std::size_t current, std::size_t adding, std::size_t limit) {
  if (current + adding <= limit) return {};
  const std::size_t target = limit - limit / 4;
  if (adding >= target) return {current, adding - target};
  return {current + adding - target, 0};
}

}  // namespace pondex::ui
