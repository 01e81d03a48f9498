#pragma once
// The program's icon in the notification area, its pop-up menu and its
// balloon. Texts are UTF-8, as the program holds them; the platform
// converts them for the screen.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pondex {

enum class TrayPicture {
  WindowIcon,    // the main window's own icon: idle
  TransferIcon,  // shown while a transmission is written to a file
};

// What the user did to the icon with the mouse.
enum class TrayEvent {
  Click,        // the left button released
  DoubleClick,  // the left button
  RightClick,   // the right button released
};

class Tray {
 public:
  virtual ~Tray() = default;
  // Results are the platform's; the program does not act on them.
  virtual bool add(const std::string& tip) = 0;
  virtual bool setPicture(TrayPicture picture) = 0;
  // The tip shown over the icon; one too long for the system keeps its end.
  virtual bool setTip(const std::string& tip) = 0;
  virtual bool remove() = 0;

  // Receives every event of the icon, on the user-interface thread.
  virtual void setEventHandler(std::function<void(TrayEvent)> handler) = 0;
  // Opens the pop-up menu at the mouse position and returns when it closes:
  // the index of the chosen item, or nothing when it was dismissed.
  // Timers and sockets keep running while it is open.
  virtual std::optional<std::size_t> showMenu(const std::vector<std::string>& items) = 0;
  // A balloon over the icon; it goes away by itself.
  virtual bool balloon(const std::string& title, const std::string& text) = 0;
};

}  // namespace pondex
