#include "ui/tray_menu.h"

namespace pondex::ui {

TrayMenu::TrayMenu(Tray& tray, Form& form, const MainControls& controls, Actions actions)
    : tray_(tray), form_(form), controls_(controls), actions_(std::move(actions)) {
  tray_.setEventHandler([this](TrayEvent event) { handle(event); });
}

TrayMenu::~TrayMenu() {
  tray_.setEventHandler(nullptr);
}

std::vector<std::string> TrayMenu::items() const {
  return {form_.caption(controls_.showWindowItem), form_.caption(controls_.closeItem),
          form_.caption(controls_.helpItem)};
}

void TrayMenu::handle(TrayEvent event) {
  if (busy_) return;
  busy_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{busy_};
  switch (event) {
    case TrayEvent::DoubleClick:
      showWindow();
      break;
    case TrayEvent::RightClick:
      openMenu();
      break;
    case TrayEvent::Click:
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
