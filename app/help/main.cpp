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
#include "platform/win32/handles.h"

namespace {

using pondex::help::Language;

Language startLanguage(std::string_view commandLine) {
  while (commandLine.starts_with(' ')) commandLine.remove_prefix(1);
  while (commandLine.ends_with(' ')) commandLine.remove_suffix(1);
  if (commandLine == "pl") return Language::Polish;
  if (commandLine == "en") return Language::English;
  return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_POLISH ? Language::Polish : Language::English;
}

// The first copy owns this name for its whole run. It is taken before any
// window exists, so two starts within the same moment (F1 pressed twice)
// still give one window.
constexpr const wchar_t* kSingleInstanceName = L"Local\\Pon_dex.Help";
// How long a second start waits for the first copy's window to appear.
constexpr DWORD kWaitForFirstWindowMs = 10000;
constexpr DWORD kPollMs = 20;

// Brings the running copy's window forward, once it exists.
void raiseRunningCopy() {
  for (DWORD waited = 0; waited < kWaitForFirstWindowMs; waited += kPollMs) {
    if (HWND running = ::FindWindowW(pondex::help::HelpWindow::kClassName, nullptr)) {
      if (::IsIconic(running)) ::ShowWindow(running, SW_RESTORE);
      ::SetForegroundWindow(running);
      return;
    }
    ::Sleep(kPollMs);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  const pondex::win32::UniqueKernelHandle single(::CreateMutexW(nullptr, FALSE, kSingleInstanceName));
  if (single.valid() && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    raiseRunningCopy();
    return 0;
  }
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
