// pondex_help: the help program that Pon_dex starts on F1 and from its tray
// menu. It shows its topics in Polish or English, chosen by the language of
// the Windows user interface unless the command line says "pl" or "en".
// commctrl.h builds on windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string_view>

#include "app/help/help_resources.h"
#include "app/help/help_window.h"

namespace {

using pondex::help::Language;

Language startLanguage(std::string_view commandLine) {
  while (commandLine.starts_with(' ')) commandLine.remove_prefix(1);
  while (commandLine.ends_with(' ')) commandLine.remove_suffix(1);
  if (commandLine == "pl") return Language::Polish;
  if (commandLine == "en") return Language::English;
  return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_POLISH ? Language::Polish : Language::English;
}

// F1 pressed again while the help is open brings the open window forward
// instead of a second one.
bool raiseRunningCopy() {
  HWND running = ::FindWindowW(pondex::help::HelpWindow::kClassName, nullptr);
  if (running == nullptr) return false;
  if (::IsIconic(running)) ::ShowWindow(running, SW_RESTORE);
  ::SetForegroundWindow(running);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  if (raiseRunningCopy()) return 0;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  const auto icon = static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_HELP_ICON), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  pondex::help::HelpWindow help(instance, icon, startLanguage(commandLine != nullptr ? commandLine : ""));
  if (!help.open(showCommand)) return 1;

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab between the controls, Esc closes.
    if (help.handle() != nullptr && ::IsDialogMessageW(help.handle(), &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
