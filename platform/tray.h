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

// A notification of the icon, delivered as a mouse move over the icon's
// receiver: the mouse message number travels in the x coordinate, in twips
// (pixels times the screen's twips per pixel).
struct TrayMouseEvent {
  int button = 0;
  int shift = 0;
  double x = 0;  // twips
  double y = 0;  // twips
  double twipsPerPixelX = 15;
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

  // Receives every notification of the icon, on the user-interface thread.
  virtual void setEventHandler(std::function<void(const TrayMouseEvent&)> handler) = 0;
  // Opens the pop-up menu at the mouse position and returns when it closes:
  // the index of the chosen item, or nothing when it was dismissed.
  // Timers and sockets keep running while it is open.
  virtual std::optional<std::size_t> showMenu(const std::vector<std::string>& items) = 0;
  // A balloon over the icon; it goes away by itself.
  virtual bool balloon(const std::string& title, const std::string& text) = 0;
};

}  // namespace pondex
