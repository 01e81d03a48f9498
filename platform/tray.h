#pragma once
// The program's icon in the notification area.
#include <string>

namespace pondex {

enum class TrayPicture {
  WindowIcon,    // the main window's own icon: idle
  TransferIcon,  // shown while a transmission is written to a file
};

class Tray {
 public:
  virtual ~Tray() = default;
  // Results are the platform's; the program does not act on them.
  virtual bool add(const std::string& tip) = 0;
  virtual bool setPicture(TrayPicture picture) = 0;
  // The tip shown over the icon (cut to what the system allows).
  virtual bool setTip(const std::string& tip) = 0;
  virtual bool remove() = 0;
};

}  // namespace pondex
