#pragma once
// What the tray icon's events do, and its pop-up menu. The menu's captions
// are those of the menu items of the control model (showWindowItem, closeItem,
// helpItem), so a language file renames them as it renames the window.
#include <functional>
#include <string>
#include <vector>

#include "platform/tray.h"
#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex::ui {

class TrayMenu {
 public:
  struct Actions {
    // showWindowItem, and a double click; the menu then also restores a
    // minimised window and brings it to the front.
    std::function<void()> showWindow;
    std::function<void()> close;  // closeItem: ends the program
    std::function<void()> help;   // helpItem
  };

  // Takes the tray's events from here on, until destroyed.
  TrayMenu(Tray& tray, Form& form, const MainControls& controls, Actions actions);
  ~TrayMenu();
  TrayMenu(const TrayMenu&) = delete;
  TrayMenu& operator=(const TrayMenu&) = delete;

  // A double click shows the window, a right click opens the menu, a click
  // does nothing. While one event is being handled (the pop-up menu is
  // open) further ones are ignored, so no second menu can open over the
  // first.
  void handle(TrayEvent event);

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
