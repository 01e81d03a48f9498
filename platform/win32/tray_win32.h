#pragma once
// The notification-area icon. Its notifications arrive as mouse-move
// messages of the window it is attached to.
#include <windows.h>
//
#include <shellapi.h>

#include "platform/tray.h"

namespace pondex::win32 {

class Win32Tray final : public Tray {
 public:
  Win32Tray(HICON windowIcon, HICON transferIcon) : windowIcon_(windowIcon), transferIcon_(transferIcon) {}
  // The window that receives the icon's notifications; set before add().
  void attach(HWND window) { window_ = window; }

  bool add(const std::string& tip) override;
  bool setPicture(TrayPicture picture) override;
  bool setTip(const std::string& tip) override;
  bool remove() override;

 private:
  NOTIFYICONDATAA record() const;

  HWND window_ = nullptr;
  HICON windowIcon_;
  HICON transferIcon_;
  HICON current_ = nullptr;
  std::string tip_;
};

}  // namespace pondex::win32
