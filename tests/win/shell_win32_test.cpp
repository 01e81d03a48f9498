// Starting the help program over the real process calls.
#include "platform/win32/shell_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

namespace pondex::win32 {
namespace {

// Visible windows of this thread: where an error box of ours would appear.
int visibleWindowsOfThisThread() {
  int count = 0;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM n) -> BOOL {
        if (::IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(n);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(ShellWin32, AMissingOrIncompletePathStartsNothingWithoutAWord) {
  Win32Shell shell;
  const auto before = visibleWindowsOfThisThread();
  EXPECT_EQ(shell.startProgram("C:\\windows\\pondex_help.exe"), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(shell.startProgram("C:\\no such folder\\pondex_help.exe"), 0u);
  // A bare name would otherwise be looked for in the working folder and
  // beyond; notepad.exe exists in the system folder.
  EXPECT_EQ(shell.startProgram("notepad.exe"), static_cast<std::uint32_t>(ERROR_BAD_PATHNAME));
  EXPECT_EQ(visibleWindowsOfThisThread(), before);
}

}  // namespace
}  // namespace pondex::win32
