#pragma once
// What wintool does to other programs' windows: finding them by title and
// caption, reading their controls' texts, pressing keys, and answering the
// dialogs they own. Texts are UTF-8.
#include <windows.h>

#include <string>
#include <vector>

namespace wintool {

struct ChildSearch {
  std::string caption;
  HWND found = nullptr;
};

std::string utf8(const std::wstring& text);
std::wstring wide(const std::string& text);
std::string windowText(HWND hwnd);
std::vector<HWND> windowsTitled(const std::string& prefix);
HWND windowTitled(const std::string& prefix);
BOOL CALLBACK findChild(HWND hwnd, LPARAM lParam);
BOOL CALLBACK printText(HWND hwnd, LPARAM);
int printListBox(HWND window);
int selectListBoxItem(HWND window, int index);
int printEditText(HWND window);
int printEditSelection(HWND window);
BOOL CALLBACK dumpChild(HWND hwnd, LPARAM);
bool pressNamed(std::string name);
HWND dialogOf(HWND owner, DWORD timeoutMs);
BOOL CALLBACK printStaticText(HWND hwnd, LPARAM);
int browse(HWND owner, const std::string& path);

}  // namespace wintool
