#include "wintool_windows.h"

#include <fcntl.h>
#include <io.h>
// After windows.h.
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace wintool {

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

static BOOL CALLBACK collect(HWND hwnd, LPARAM lParam) {
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

static BOOL CALLBACK findChildOfClass(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ClassSearch*>(lParam);
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  if (::lstrcmpiW(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

static HWND childOfClass(HWND window, const wchar_t* className) {
  ClassSearch search{className};
  ::EnumChildWindows(window, &findChildOfClass, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) std::fprintf(stderr, "no child of class %ls\n", className);
  return search.found;
}

// UTF-8 bytes as they are: no line-end translation by the C library.
static void printUtf8(const std::wstring& text) {
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

static BOOL CALLBACK findDialog(HWND hwnd, LPARAM lParam) {
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

}  // namespace wintool
