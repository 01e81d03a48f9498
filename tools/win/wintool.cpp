// wintool: what the end-to-end tests need to do to Windows programs under
// Wine, from the outside, the way a user or the system would.
//
//   wintool wait-window TITLE TIMEOUT_MS   exit 0 once a top-level window whose title starts with TITLE exists
//   wintool visible TITLE                  print 1 or 0
//   wintool count TITLE                    print the number of such top-level windows
//   wintool close TITLE                    the close box (system menu Close)
//   wintool click TITLE CAPTION            click the child control with that caption
//   wintool texts TITLE                    print the captions of all child controls
//   wintool listbox TITLE                  print the items of the first list box child, in UTF-8
//   wintool listbox-select TITLE INDEX     select an item of that list box as a click would
//   wintool edit-text TITLE                print the text of the first edit box child, in UTF-8
//   wintool edit-selection TITLE           print that edit box's selection as START END (characters)
//   wintool checked TITLE CAPTION          print the check state of the child control with that caption
//                                          (0 unchecked, 1 checked, 2 grey)
//   wintool dump TITLE                     the window's client area, then for each child window: visible,
//                                          screen rectangle and text (GetWindowTextW, as UTF-8), tab-separated
//   wintool dpi                            print the display's DPI as this process sees it
//   wintool acp                            print the system's ANSI code page
//   wintool key VK HOLD_MS                 press a virtual key, hold it, release it
//   wintool keys KEY...                    press keys one after another into whatever has the focus: tab,
//                                          shift+tab, space, enter, esc, left, right, up, down, back, or one digit
//   wintool focus TITLE                    the control with the keyboard focus in that window's thread, as a
//                                          dump line (empty when none)
//   wintool activate TITLE                 bring the window to the front
//   wintool minimize TITLE                 minimise the window
//   wintool iconic TITLE                   print 1 while the window is minimised, else 0
//   wintool foreground                     print the title of the foreground window
//   wintool end-session TITLE              tell the window the session ends
//   wintool hold                           keep a hidden window (and so Wine's desktop process) alive
//   wintool ping TITLE COUNT PAUSE_MS      COUNT round trips of a null message to the window, PAUSE_MS apart:
//                                          prints each answer time in ms (or "none" after 2 s); exit 1 if
//                                          any went unanswered
//   wintool dialog TITLE TIMEOUT_MS        wait for a dialog (a message box, the folder browser) owned by the
//                                          window, then print its texts in UTF-8, one a line
//   wintool dialog-rect TITLE              print that dialog's screen rectangle as X Y WIDTH HEIGHT
//   wintool dialog-press TITLE ID          press the button ID (1 OK, 6 Yes, 7 No) of that dialog
//   wintool browse TITLE PATH              in the folder browser owned by the window, select PATH and press OK
//
// Titles, captions and paths are compared and taken in UTF-8, from the
// program's wide command line: any language passes. A failure always ends
// with a line on standard error.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h.
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "wintool_windows.h"

namespace {

using namespace wintool;

int usage() {
  std::fputs(
      "usage: wintool wait-window|visible|count|close|click|checked|texts|listbox|listbox-select|edit-text|"
      "edit-selection|dump|dpi|acp|key|keys|focus|activate|minimize|iconic|foreground|end-session|hold|dialog|"
      "dialog-rect|dialog-press|browse ...\n",
      stderr);
  return 2;
}

// How long the window takes to answer a message, as any program that sends
// it one (the shell, a screen reader) waits for it.
int ping(const char* title, int count, int pauseMs) {
  HWND window = windowTitled(title);
  if (window == nullptr) {
    std::fprintf(stderr, "no window titled %s\n", title);
    return 1;
  }
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  bool allAnswered = true;
  for (int i = 0; i < count; ++i) {
    LARGE_INTEGER before;
    LARGE_INTEGER after;
    DWORD_PTR result = 0;
    ::QueryPerformanceCounter(&before);
    const bool answered = ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result) != 0;
    ::QueryPerformanceCounter(&after);
    if (answered) {
      std::printf("%.2f\n", 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                                static_cast<double>(frequency.QuadPart));
    } else {
      std::printf("none\n");
      allAnswered = false;
    }
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(pauseMs));
  }
  return allAnswered ? 0 : 1;
}

int run(int argc, const char* const* argv) {
  if (argc < 2) return usage();
  const std::string cmd = argv[1];
  if (cmd == "hold" && argc == 2) {
    HWND hidden = ::CreateWindowExA(0, "STATIC", "Pon_dex test desktop holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (hidden == nullptr) return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    return 0;
  }
  if (cmd == "wait-window" && argc == 4) {
    const DWORD timeout = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    const DWORD start = ::GetTickCount();
    while (windowTitled(argv[2]) == nullptr) {
      if (::GetTickCount() - start > timeout) return 1;
      ::Sleep(20);
    }
    return 0;
  }
  if (cmd == "dpi" && argc == 2) {
    HDC dc = ::GetDC(nullptr);
    std::printf("%d\n", ::GetDeviceCaps(dc, LOGPIXELSY));
    ::ReleaseDC(nullptr, dc);
    return 0;
  }
  if (cmd == "acp" && argc == 2) {
    std::printf("%u\n", ::GetACP());
    return 0;
  }
  if (cmd == "ping" && argc == 5) return ping(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (cmd == "foreground" && argc == 2) {
    wchar_t title[512] = {};
    if (HWND front = ::GetForegroundWindow()) ::GetWindowTextW(front, title, 512);
    const std::string line = utf8(title) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    return 0;
  }
  if (cmd == "keys") {
    for (int i = 2; i < argc; ++i) {
      if (!pressNamed(argv[i])) {
        std::fprintf(stderr, "no key %s\n", argv[i]);
        return 2;
      }
    }
    return 0;
  }
  if (cmd == "count" && argc == 3) {
    std::printf("%u\n", static_cast<unsigned>(windowsTitled(argv[2]).size()));
    return 0;
  }
  if (argc == 3 || argc == 4) {
    if (cmd == "key" && argc == 4) {
      const auto vk = static_cast<BYTE>(std::strtoul(argv[2], nullptr, 0));
      const auto scan = static_cast<BYTE>(::MapVirtualKeyA(vk, 0));
      ::keybd_event(vk, scan, 0, 0);
      ::Sleep(static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
      ::keybd_event(vk, scan, KEYEVENTF_KEYUP, 0);
      return 0;
    }
    HWND window = windowTitled(argv[2]);
    if (window == nullptr) {
      std::fprintf(stderr, "no window titled %s\n", argv[2]);
      return 1;
    }
    if (cmd == "focus") {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus != nullptr &&
          info.hwndFocus != window) {
        dumpChild(info.hwndFocus, 0);
      }
      return 0;
    }
    if (cmd == "activate") {
      if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
      ::SetForegroundWindow(window);
      return 0;
    }
    if (cmd == "minimize") {
      ::ShowWindow(window, SW_MINIMIZE);
      return 0;
    }
    if (cmd == "iconic") {
      std::printf("%d\n", ::IsIconic(window) ? 1 : 0);
      return 0;
    }
    if (cmd == "visible") {
      std::printf("%d\n", ::IsWindowVisible(window) ? 1 : 0);
      return 0;
    }
    if (cmd == "listbox") return printListBox(window);
    if (cmd == "listbox-select" && argc == 4) return selectListBoxItem(window, std::atoi(argv[3]));
    if (cmd == "edit-text") return printEditText(window);
    if (cmd == "edit-selection") return printEditSelection(window);
    if (cmd == "dump") {
      // The window's client area first, then every child.
      RECT client{};
      ::GetClientRect(window, &client);
      POINT origin{0, 0};
      ::ClientToScreen(window, &origin);
      std::printf("%d\t%ld,%ld,%ld,%ld\t\n", ::IsWindowVisible(window) ? 1 : 0, origin.x, origin.y, client.right,
                  client.bottom);
      std::fflush(stdout);
      ::EnumChildWindows(window, &dumpChild, 0);
      return 0;
    }
    if (cmd == "texts") {
      ::EnumChildWindows(window, &printText, 0);
      return 0;
    }
    if (cmd == "close") {
      ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    }
    if (cmd == "end-session") {
      ::SendMessageA(window, WM_QUERYENDSESSION, 0, 0);
      ::SendMessageA(window, WM_ENDSESSION, TRUE, 0);
      return 0;
    }
    if (cmd == "checked" && argc == 4) {
      ChildSearch search{argv[3]};
      ::EnumChildWindows(window, &findChild, reinterpret_cast<LPARAM>(&search));
      if (search.found == nullptr) {
        std::fprintf(stderr, "no control %s\n", argv[3]);
        return 1;
      }
      std::printf("%d\n", static_cast<int>(::SendMessageW(search.found, BM_GETCHECK, 0, 0)));
      return 0;
    }
    if (cmd == "dialog" && argc == 4) {
      HWND dialog = dialogOf(window, static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
      if (dialog == nullptr) {
        std::fprintf(stderr, "no dialog of %s\n", argv[2]);
        return 1;
      }
      std::fflush(stdout);
      ::EnumChildWindows(dialog, &printStaticText, 0);
      return 0;
    }
    if (cmd == "dialog-rect") {
      HWND dialog = dialogOf(window, 0);
      if (dialog == nullptr) return 1;
      RECT r{};
      ::GetWindowRect(dialog, &r);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      return 0;
    }
    if (cmd == "dialog-press" && argc == 4) {
      HWND dialog = dialogOf(window, 0);
      if (dialog == nullptr) return 1;
      const auto id = static_cast<WORD>(std::strtoul(argv[3], nullptr, 10));
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
      return 0;
    }
    if (cmd == "browse" && argc == 4) return browse(window, argv[3]);
    if (cmd == "click" && argc == 4) {
      ChildSearch search{argv[3]};
      ::EnumChildWindows(window, &findChild, reinterpret_cast<LPARAM>(&search));
      if (search.found == nullptr) {
        std::fprintf(stderr, "no control %s\n", argv[3]);
        return 1;
      }
      // What a click on the button tells its parent; works on a hidden window too.
      const auto id = static_cast<WORD>(::GetDlgCtrlID(search.found));
      ::PostMessageA(::GetParent(search.found), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(search.found));
      return 0;
    }
  }
  return usage();
}

}  // namespace

int main() {
  // The wide command line, so that titles and paths in any language arrive
  // whole (argv is in the ANSI code page).
  int argc = 0;
  LPWSTR* wideArgs = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (wideArgs == nullptr) {
    std::fputs("wintool: no command line\n", stderr);
    return 2;
  }
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(utf8(wideArgs[i]));
  ::LocalFree(wideArgs);
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  const int code = run(argc, argv.data());
  // Every failure says so, even where the reason is already printed: the
  // tests tell a failure of the tool from Wine not starting it by this line.
  if (code != 0) std::fprintf(stderr, "wintool %s: exit %d\n", argc > 1 ? argv[1] : "", code);
  return code;
}
