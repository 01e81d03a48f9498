#pragma once
// The tray icon's mouse handling and its pop-up menu. The menu's captions
// are those of the menu items of the control model (showWindowItem, closeItem,
// helpItem), so a language file renames them as it renames the window.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/tray.h"
#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex::ui {

inline constexpr int kTrayLeftDoubleClick = 515;  // WM_LBUTTONDBLCLK
inline constexpr int kTrayRightButtonUp = 517;    // WM_RBUTTONUP

// The mouse message number a notification carries: x divided by the
// screen's twips per pixel, rounded to the nearest whole number. 0 when the
// event cannot carry one (no resolution, a value out of range).
[[nodiscard]] int trayMessage(const TrayMouseEvent& event);

class TrayMenu {
 public:
  struct Actions {
    // showWindowItem, and a double click; the menu then also restores a
    // minimised window and brings it to the front.
    std::function<void()> showWindow;
    std::function<void()> close;  // closeItem: ends the program
    std::function<void()> help;   // helpItem
  };

  // Takes the tray's notifications from here on, until destroyed.
  TrayMenu(Tray& tray, Form& form, const MainControls& controls, Actions actions);
  ~TrayMenu();
  TrayMenu(const TrayMenu&) = delete;
  TrayMenu& operator=(const TrayMenu&) = delete;

  // One notification. While one is being handled (the pop-up menu is open)
  // further ones are ignored, so no second menu can open over the first.
  void TrayMouseMove(const TrayMouseEvent& event);

  // The menu's captions, in menu order.
  [[nodiscard]] std::vector<std::string> items() const;

 private:
  void openMenu();
  void showWindow();

  Tray& tray_;
  Form& form_;
  const MainControls& controls_;
  Actions actions_;
  bool busy_ = false;  // the re-entrancy flag
};

}  // namespace pondex::ui
