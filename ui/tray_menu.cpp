#include "ui/tray_menu.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace pondex::ui {

int trayMessage(const TrayMouseEvent& event) {
  if (!(event.twipsPerPixelX > 0)) return 0;
  const double pixels = event.x / event.twipsPerPixelX;
  if (!std::isfinite(pixels) || std::fabs(pixels) > std::numeric_limits<int>::max()) return 0;
  return static_cast<int>(std::lround(pixels));
}

TrayMenu::TrayMenu(Tray& tray, Form& form, const MainControls& controls, Actions actions)
    : tray_(tray), form_(form), controls_(controls), actions_(std::move(actions)) {
  tray_.setEventHandler([this](const TrayMouseEvent& event) { TrayMouseMove(event); });
}

TrayMenu::~TrayMenu() {
  tray_.setEventHandler(nullptr);
}

std::vector<std::string> TrayMenu::items() const {
  return {form_.caption(controls_.showWindowItem), form_.caption(controls_.closeItem),
          form_.caption(controls_.helpItem)};
}

void TrayMenu::TrayMouseMove(const TrayMouseEvent& event) {
  const int message = trayMessage(event);
  if (busy_) return;
  busy_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{busy_};
  switch (message) {
    case kTrayLeftDoubleClick:
      showWindow();
      break;
    case kTrayRightButtonUp:
      openMenu();
      break;
    default:
      break;
  }
}

void TrayMenu::showWindow() {
  if (actions_.showWindow) actions_.showWindow();
  // Shown is not enough: a minimised window stays an icon, one behind
  // others stays behind them. The click on the icon gives the program the
  // right to take the foreground.
  if (form_.visible(kWindowId)) form_.bringToFront();
}

void TrayMenu::openMenu() {
  const auto chosen = tray_.showMenu(items());
  if (!chosen) return;
  const std::function<void()>* action = nullptr;
  switch (*chosen) {
    case 0:
      showWindow();
      return;
    case 1:
      action = &actions_.close;
      break;
    case 2:
      action = &actions_.help;
      break;
    default:
      return;
  }
  if (*action) (*action)();
}

}  // namespace pondex::ui
