// Pon_dex: the entry point puts the Win32 implementations of the platform
// together, builds the main window over the control model and runs the
// user-interface thread's message loop until the program is closed.
#include <windows.h>

#include <exception>
#include <string>

#include "app/resources.h"
#include "core/controller.h"
#include "platform/program_name.h"
#include "platform/win32/callback_guard.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/foreground_win32.h"
#include "platform/win32/keyboard_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/serial_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/sockets_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/tray_win32.h"
#include "ui/win32/form_window.h"
#include "ui/win32/panel_win32.h"

namespace {

// The one message of a program that cannot work: it ends after it. The
// text comes from an exception, whose system messages the runtime writes in
// the ANSI code page (ours are ASCII).
void sayAndEnd(const std::string& what) {
  const std::wstring name = pondex::win32::widen(pondex::kProgramName);
  const std::wstring text = name + L" cannot go on: " + pondex::win32::widen(what, CP_ACP);
  ::MessageBoxW(nullptr, text.c_str(), name.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

int run(HINSTANCE instance) {
  using namespace pondex;
  const auto windowIcon = static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(kWindowIconResource), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  const auto transferIcon =
      static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kTransferIconResource), IMAGE_ICON,
                                      ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));

  win32::Win32EventLoop loop;
  win32::Win32Clock clock;
  win32::Win32Profiles profiles;
  win32::Win32FileSystem files;
  win32::Win32MessageBoxes messages;
  win32::Win32SingleInstance instanceGuard(L"Local\\Pon_dex.SingleInstance");
  win32::Win32Tray tray(windowIcon, transferIcon);
  win32::Win32Keyboard keyboard;
  win32::Win32SerialPorts serial(loop);
  win32::Win32SocketLibrary sockets;
  win32::Win32Shell shell;
  win32::Win32DataPanel panel(loop);
  win32::Win32Foreground foreground;
  Platform platform{loop,     clock,  profiles, files, messages, instanceGuard, tray,
                    keyboard, serial, sockets,  shell, panel,    foreground};

  // After an internal error nothing is left behind in the tray.
  win32::setFatalHandler([&tray](const std::string& what) {
    (void)tray.remove();
    sayAndEnd(what);
  });

  Controller controller(platform);
  win32::FormWindow window(controller.form(), windowIcon,
                           {.close = [&controller](ui::CloseReason reason) { controller.unload(reason); }});
  messages.setOwner(window.handle());
  shell.setOwner(window.handle());
  panel.setOwner(window.handle());
  loop.setDialogWindow(window.handle());
  loop.setKeyPreview([&controller](int virtualKey) { return controller.keyPressed(virtualKey); });

  if (!controller.start()) return 0;
  return loop.run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Windows, classes and timers that cannot be made end the program here,
  // with one message and a non-zero code.
  try {
    return run(instance);
  } catch (const std::exception& e) {
    sayAndEnd(e.what());
  } catch (...) {
    sayAndEnd("unknown error");
  }
  return 1;
}
