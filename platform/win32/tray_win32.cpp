#include "platform/win32/tray_win32.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>

#include "platform/portable/tray_tip.h"
#include "platform/program_name.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/window_class.h"

namespace pondex::win32 {
namespace {

constexpr const wchar_t* kTrayWindowClass = L"Pon_dex.Tray";
constexpr UINT kIconId = 1;
// The icon's notifications: the mouse message in the low word of lParam.
constexpr UINT kCallbackMessage = WM_APP + 1;

template <std::size_t N>
void copyText(wchar_t (&field)[N], const std::wstring& text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::wmemcpy(field, text.data(), n);
  field[n] = L'\0';
}

}  // namespace

void setRecordTip(NOTIFYICONDATAW& record, const std::string& tip) {
  copyText(record.szTip, widen(shortenTip(tip, kTipChars)));
}

std::optional<TrayEvent> trayEventOf(UINT mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONUP:
      return TrayEvent::Click;
    case WM_LBUTTONDBLCLK:
      return TrayEvent::DoubleClick;
    case WM_RBUTTONUP:
      return TrayEvent::RightClick;
    default:
      return std::nullopt;
  }
}

Win32Tray::Win32Tray(HICON windowIcon, HICON transferIcon) : windowIcon_(windowIcon), transferIcon_(transferIcon) {
  static const WindowClass trayClass({.name = kTrayWindowClass, .where = "tray notification"});
  window_.reset(trayClass.create(*this, WS_EX_TOOLWINDOW, widen(kProgramName).c_str(), WS_POPUP, {}, nullptr));
  if (!window_) throw std::runtime_error("the tray's window cannot be created");
  taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
}

Win32Tray::~Win32Tray() {
  if (added_) (void)remove();
  window_.reset();  // while the members its messages reach are still here
}

NOTIFYICONDATAW Win32Tray::record() const {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = window_.get();
  nid.uID = kIconId;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kCallbackMessage;
  nid.hIcon = current_;
  setRecordTip(nid, tip_);
  return nid;
}

bool Win32Tray::add(const std::string& tip) {
  tip_ = tip;
  current_ = windowIcon_;
  return addRecord();
}

bool Win32Tray::addRecord() {
  NOTIFYICONDATAW nid = record();
  added_ = true;  // also when the shell is not up yet: TaskbarCreated adds it then
  return ::Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
}

bool Win32Tray::setPicture(TrayPicture picture) {
  current_ = picture == TrayPicture::TransferIcon ? transferIcon_ : windowIcon_;
  NOTIFYICONDATAW nid = record();
  return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

bool Win32Tray::setTip(const std::string& tip) {
  tip_ = tip;
  NOTIFYICONDATAW nid = record();
  return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

bool Win32Tray::remove() {
  added_ = false;
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = window_.get();
  nid.uID = kIconId;
  return ::Shell_NotifyIconW(NIM_DELETE, &nid) != FALSE;
}

bool Win32Tray::balloon(const std::string& title, const std::string& text) {
  NOTIFYICONDATAW nid = record();
  nid.uFlags = NIF_INFO;
  nid.dwInfoFlags = NIIF_WARNING;
  nid.uTimeout = 10000;  // only older systems read it
  copyText(nid.szInfoTitle, widen(title));
  copyText(nid.szInfo, widen(text));
  return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

std::optional<std::size_t> Win32Tray::showMenu(const std::vector<std::string>& items) {
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return std::nullopt;
  for (std::size_t i = 0; i < items.size(); ++i) {
    ::AppendMenuW(menu.get(), MF_STRING, i + 1, widen(items[i]).c_str());
  }
  POINT at{};
  ::GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the WM_NULL afterwards lets the menu's loop end cleanly.
  ::SetForegroundWindow(window_.get());
  const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                                           at.x, at.y, window_.get(), nullptr));
  ::PostMessageW(window_.get(), WM_NULL, 0, 0);
  if (chosen == 0 || chosen > items.size()) return std::nullopt;
  return chosen - 1;
}

void Win32Tray::notified(LPARAM lParam) {
  if (!handler_) return;
  if (const auto event = trayEventOf(LOWORD(static_cast<DWORD>(lParam)))) handler_(*event);
}

LRESULT Win32Tray::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kCallbackMessage) {
    notified(lParam);
    return 0;
  }
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    if (added_) (void)addRecord();  // with the picture and tip of now
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace pondex::win32
