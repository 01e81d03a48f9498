#include "ui/panel_layout.h"

#include <algorithm>

namespace pondex::ui {

Size panelTextBoxSize(Size windowTwips) {
  return {std::max(0, windowTwips.width - 300), std::max(0, windowTwips.height - 1500)};
}

int panelButtonTop(Size textBoxTwips) {
  return kPanelMargin + textBoxTwips.height + kPanelButtonGap;
}

Size panelWindowSize(int pictureHeightTwips) {
  if (pictureHeightTwips <= 0) return kPanelWindow;
  return {kPanelWindow.width, kPanelWindow.height + pictureHeightTwips + kPanelPictureGap};
}

PanelParts panelParts(Size windowTwips, int pictureHeightTwips) {
  const Size room = panelTextBoxSize(windowTwips);
  PanelParts parts;
  int boxTop = kPanelMargin;
  int boxHeight = room.height;
  if (pictureHeightTwips > 0) {
    parts.picture = {kPanelMargin, kPanelMargin, room.width, pictureHeightTwips};
    boxTop += pictureHeightTwips + kPanelPictureGap;
    boxHeight = std::max(0, room.height - pictureHeightTwips - kPanelPictureGap);
  }
  parts.textBox = {kPanelMargin, boxTop, room.width, boxHeight};
  parts.button = {kPanelMargin, boxTop + boxHeight + kPanelButtonGap, kPanelButton.width, kPanelButton.height};
  return parts;
}

PanelTrim panelTrim(std::size_t current, std::size_t adding, std::size_t limit) {
  if (current + adding <= limit) return {};
  const std::size_t target = limit - limit / 4;
  if (adding >= target) return {current, adding - target};
  return {current + adding - target, 0};
}

}  // namespace pondex::ui
