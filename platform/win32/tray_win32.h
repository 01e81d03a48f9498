#pragma once
// The notification-area icon. It has its own hidden top-level window: the
// icon's notifications arrive there, and so does the "TaskbarCreated"
// broadcast after Explorer restarts (child and message-only windows never
// see broadcasts), upon which the icon is added again.
#include <windows.h>
//
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/tray.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

// Characters the wide record's tip holds, without its NUL.
inline constexpr std::size_t kTipChars = sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) - 1;

// Puts `tip` (UTF-8) into the record, shortened so that its end stays
// visible.
void setRecordTip(NOTIFYICONDATAW& record, const std::string& tip);

// The event a mouse message of the icon stands for; nothing for the
// messages the program does not answer (moves, presses, other buttons).
std::optional<TrayEvent> trayEventOf(UINT mouseMessage);

class Win32Tray final : public Tray {
 public:
  Win32Tray(HICON windowIcon, HICON transferIcon);
  ~Win32Tray() override;  // removes an icon still shown
  Win32Tray(const Win32Tray&) = delete;
  Win32Tray& operator=(const Win32Tray&) = delete;

  bool add(const std::string& tip) override;
  bool setPicture(TrayPicture picture) override;
  bool setTip(const std::string& tip) override;
  bool remove() override;
  void setEventHandler(std::function<void(TrayEvent)> handler) override { handler_ = std::move(handler); }
  std::optional<std::size_t> showMenu(const std::vector<std::string>& items) override;
  bool balloon(const std::string& title, const std::string& text) override;

  // The window the icon notifies.
  [[nodiscard]] HWND receiver() const { return window_.get(); }
  // Its messages, through the window-class helper.
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  bool addRecord();
  void notified(LPARAM lParam);
  [[nodiscard]] NOTIFYICONDATAW record() const;

  UniqueWindow window_;
  UINT taskbarCreated_ = 0;
  HICON windowIcon_;
  HICON transferIcon_;
  HICON current_ = nullptr;
  std::string tip_;
  bool added_ = false;
  std::function<void(TrayEvent)> handler_;
};

}  // namespace pondex::win32
