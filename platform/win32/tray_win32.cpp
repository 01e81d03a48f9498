#include "platform/win32/tray_win32.h"

#include <algorithm>
#include <cstring>

namespace pondex::win32 {

NOTIFYICONDATAA Win32Tray::record() const {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = window_;
  nid.uID = 1;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = WM_MOUSEMOVE;
  nid.hIcon = current_;
  const std::size_t n = std::min(tip_.size(), sizeof(nid.szTip) - 1);
  std::memcpy(nid.szTip, tip_.data(), n);
  return nid;
}

bool Win32Tray::add(const std::string& tip) {
  tip_ = tip;
  current_ = windowIcon_;
  NOTIFYICONDATAA nid = record();
  return ::Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
}

bool Win32Tray::setPicture(TrayPicture picture) {
  current_ = picture == TrayPicture::TransferIcon ? transferIcon_ : windowIcon_;
  NOTIFYICONDATAA nid = record();
  return ::Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

bool Win32Tray::setTip(const std::string& tip) {
  tip_ = tip;
  NOTIFYICONDATAA nid = record();
  return ::Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

bool Win32Tray::remove() {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = window_;
  nid.uID = 1;
  return ::Shell_NotifyIconA(NIM_DELETE, &nid) != FALSE;
}

}  // namespace pondex::win32
