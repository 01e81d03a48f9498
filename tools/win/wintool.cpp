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
// program's wide command line: any language passes.
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

namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string windowText(HWND hwnd) {
  wchar_t text[512] = {};
  ::GetWindowTextW(hwnd, text, 512);
  return utf8(text);
}

struct Search {
  std::string prefix;
  std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (windowText(hwnd).rfind(search->prefix, 0) == 0) search->found.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> windowsTitled(const std::string& prefix) {
  Search search{prefix, {}};
  ::EnumWindows(&collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND windowTitled(const std::string& prefix) {
  const auto all = windowsTitled(prefix);
  return all.empty() ? nullptr : all.front();
}

struct ChildSearch {
  std::string caption;
  HWND found = nullptr;
};

BOOL CALLBACK findChild(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ChildSearch*>(lParam);
  if (search->caption == windowText(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK printText(HWND hwnd, LPARAM) {
  char text[512] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  if (text[0] != '\0') std::printf("%s\n", text);
  return TRUE;
}

struct ClassSearch {
  const wchar_t* className;
  HWND found = nullptr;
};

BOOL CALLBACK findChildOfClass(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ClassSearch*>(lParam);
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  if (::lstrcmpiW(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND childOfClass(HWND window, const wchar_t* className) {
  ClassSearch search{className};
  ::EnumChildWindows(window, &findChildOfClass, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) std::fprintf(stderr, "no child of class %ls\n", className);
  return search.found;
}

// UTF-8 bytes as they are: no line-end translation by the C library.
void printUtf8(const std::wstring& text) {
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  std::fflush(stdout);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fputc('\n', stdout);
}

int printListBox(HWND window) {
  HWND list = childOfClass(window, L"ListBox");
  if (list == nullptr) return 1;
  std::wstring all;
  const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(length));
    if (i > 0) all += L'\n';
    all += item;
  }
  printUtf8(all);
  return 0;
}

int selectListBoxItem(HWND window, int index) {
  HWND list = childOfClass(window, L"ListBox");
  if (list == nullptr) return 1;
  if (::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR) return 1;
  // What the list box tells its parent when the user picks an item.
  const auto id = static_cast<WORD>(::GetDlgCtrlID(list));
  ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  return 0;
}

int printEditText(HWND window) {
  HWND edit = childOfClass(window, L"Edit");
  if (edit == nullptr) return 1;
  // GetWindowText would give another process's edit box's caption, not its text.
  const auto length = ::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto got =
      ::SendMessageW(edit, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  printUtf8(text);
  return 0;
}

int printEditSelection(HWND window) {
  HWND edit = childOfClass(window, L"Edit");
  if (edit == nullptr) return 1;
  // With null pointers the answer comes packed in the result, which crosses processes.
  const auto packed = static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0));
  std::printf("%u %u\n", static_cast<unsigned>(LOWORD(packed)), static_cast<unsigned>(HIWORD(packed)));
  return 0;
}

BOOL CALLBACK dumpChild(HWND hwnd, LPARAM) {
  wchar_t text[512] = {};
  ::GetWindowTextW(hwnd, text, 512);
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  // Text is written as bytes: the console's code page must not touch it.
  const std::string line = std::to_string(::IsWindowVisible(hwnd) ? 1 : 0) + "\t" + std::to_string(r.left) + "," +
                           std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
                           std::to_string(r.bottom - r.top) + "\t" + utf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  return TRUE;
}

// One key of `wintool keys`: a name or a single digit, "shift+" before it
// holds Shift.
bool pressNamed(std::string name) {
  bool shift = false;
  if (name.rfind("shift+", 0) == 0) {
    shift = true;
    name = name.substr(6);
  }
  struct Named {
    const char* name;
    BYTE vk;
  };
  const Named keys[] = {{"tab", VK_TAB},    {"space", VK_SPACE}, {"enter", VK_RETURN},
                        {"esc", VK_ESCAPE}, {"left", VK_LEFT},   {"right", VK_RIGHT},
                        {"up", VK_UP},      {"down", VK_DOWN},   {"back", VK_BACK}};
  BYTE vk = 0;
  for (const Named& k : keys) {
    if (name == k.name) vk = k.vk;
  }
  if (vk == 0 && name.size() == 1 && name[0] >= '0' && name[0] <= '9') vk = static_cast<BYTE>(name[0]);
  if (vk == 0) return false;
  const auto press = [](BYTE key, DWORD flags) {
    const auto scan = static_cast<BYTE>(::MapVirtualKeyA(key, 0));
    // The arrows are extended keys.
    const bool extended = key >= VK_LEFT && key <= VK_DOWN;
    ::keybd_event(key, scan, flags | (extended ? KEYEVENTF_EXTENDEDKEY : 0), 0);
  };
  if (shift) press(VK_SHIFT, 0);
  press(vk, 0);
  ::Sleep(30);
  press(vk, KEYEVENTF_KEYUP);
  if (shift) press(VK_SHIFT, KEYEVENTF_KEYUP);
  ::Sleep(60);
  return true;
}

// The visible dialog owned by the window: a message box or the folder
// browser it opened.
struct DialogSearch {
  HWND owner;
  HWND found = nullptr;
};

BOOL CALLBACK findDialog(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  wchar_t name[16] = {};
  ::GetClassNameW(hwnd, name, 16);
  if (::GetWindow(hwnd, GW_OWNER) == search->owner && ::IsWindowVisible(hwnd) && std::wcscmp(name, L"#32770") == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND dialogOf(HWND owner, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    DialogSearch search{owner};
    ::EnumWindows(&findDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || ::GetTickCount() - start > timeoutMs) return search.found;
    ::Sleep(20);
  }
}

BOOL CALLBACK printStaticText(HWND hwnd, LPARAM) {
  wchar_t name[16] = {};
  ::GetClassNameW(hwnd, name, 16);
  const std::string text = windowText(hwnd);
  if (::lstrcmpiW(name, L"Static") == 0 && !text.empty()) {
    const std::string line = text + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return TRUE;
}

// Selects the folder in the browser as its owner's program would, with
// BFFM_SETSELECTIONW: the path goes into the browser's process first, since
// a message carries only its address.
int browse(HWND owner, const std::string& path) {
  HWND dialog = dialogOf(owner, 20000);
  if (dialog == nullptr) {
    std::fprintf(stderr, "no folder browser\n");
    return 1;
  }
  DWORD processId = 0;
  ::GetWindowThreadProcessId(dialog, &processId);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
  if (process == nullptr) return 1;
  const std::wstring widePath = wide(path);
  const SIZE_T size = (widePath.size() + 1) * sizeof(wchar_t);
  void* remote = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  int result = 1;
  if (remote != nullptr && ::WriteProcessMemory(process, remote, widePath.c_str(), size, nullptr)) {
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote));
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    result = 0;
  }
  // The browser has ended by now; its process may free the page or not.
  if (remote != nullptr) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  ::CloseHandle(process);
  return result;
}

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
  if (wideArgs == nullptr) return 2;
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(utf8(wideArgs[i]));
  ::LocalFree(wideArgs);
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  return run(argc, argv.data());
}
