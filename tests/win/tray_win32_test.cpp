// The tray icon's record, the data panel, the shell and the foreground query
// over the real system calls. Clicks on the icon and the panel's modal loop
// are seen end to end (tests/e2e/test_shell.py).
#include "platform/win32/tray_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/event_loop_win32.h"
#include "platform/win32/foreground_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/text_win32.h"
#include "ui/win32/panel_win32.h"

namespace pondex::win32 {
namespace {

std::wstring editText(HWND edit) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

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

TEST(TrayWin32, ALongTipKeepsItsFileNameInTheWideRecord) {
  NOTIFYICONDATAW record{};
  std::string folder = "c:\\kolvat\\pon_dex\\";
  for (int i = 0; i < 20; ++i) folder += "folder" + std::to_string(10 + i) + "\\";
  setRecordTip(record, "Pon_dex - " + folder + "261206.txt");
  const std::wstring tip = record.szTip;
  // Cut at a folder boundary: within one folder name of the 127 characters
  // the wide record holds (the old record held 63).
  EXPECT_LE(tip.size(), 127u);
  EXPECT_GT(tip.size(), 118u);
  EXPECT_EQ(tip.substr(tip.size() - 20), L"\\folder29\\261206.txt");

  setRecordTip(record,
               "Po\xB3\xB9"
               "czenie");  // "Połączenie" in Windows-1250
  EXPECT_EQ(std::wstring(record.szTip), L"Po\u0142\u0105czenie");
}

class PanelWin32Test : public ::testing::Test {
 protected:
  Win32EventLoop loop;
};

TEST_F(PanelWin32Test, AppendsAtTheEndWhereverTheCaretIs) {
  Win32DataPanel panel(loop);
  panel.append("lost");  // not open yet
  panel.open();
  ASSERT_TRUE(panel.isOpen());
  EXPECT_EQ(::GetWindowTextLengthW(panel.textBox()), 0);
  panel.append("12.5 kg\r\n");
  ::SendMessageW(panel.textBox(), EM_SETSEL, 1, 4);  // the user selected part of the text
  panel.append("13,0 kg\r\n\xB3");
  // Received bytes read as keystrokes and data files read them: in the
  // ANSI code page (1252 here, where 0xB3 is not the Polish letter).
  wchar_t ansi = 0;
  ASSERT_EQ(::MultiByteToWideChar(CP_ACP, 0, "\xB3", 1, &ansi, 1), 1);
  EXPECT_EQ(editText(panel.textBox()), std::wstring(L"12.5 kg\r\n13,0 kg\r\n") + ansi);
  panel.close();
  EXPECT_FALSE(panel.isOpen());
}

TEST_F(PanelWin32Test, DropsTheOldestLinesBeforeTheLimit) {
  Win32DataPanel panel(loop, 40);
  panel.open();
  for (char c = 'a'; c <= 'f'; ++c) panel.append(std::string(8, c) + "\r\n");  // 60 characters
  const std::wstring text = editText(panel.textBox());
  EXPECT_LE(text.size(), 40u);
  EXPECT_EQ(text.substr(text.size() - 10), L"ffffffff\r\n");
  EXPECT_EQ(text.substr(0, 8), std::wstring(8, text[0])) << "a whole first line";
}

TEST_F(PanelWin32Test, TheMainWindowSeesItsKeysFirst) {
  UniqueWindow dialog(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  HWND child = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 5, 5, dialog.get(), nullptr, nullptr, nullptr);
  UniqueWindow other(::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr));
  std::vector<int> seen;
  loop.setDialogWindow(dialog.get());
  loop.setKeyPreview([&](int key) {
    seen.push_back(key);
    return key == VK_F1;
  });
  ::PostMessageW(child, WM_KEYDOWN, VK_F1, 0);
  ::PostMessageW(other.get(), WM_KEYDOWN, VK_F2, 0);
  ::PostMessageW(dialog.get(), WM_KEYDOWN, VK_F3, 0);
  loop.yieldToPendingEvents();
  EXPECT_EQ(seen, (std::vector<int>{VK_F1, VK_F3}));
}

TEST(ShellWin32, AMissingOrIncompletePathStartsNothingAndShowsNothing) {
  Win32Shell shell;
  const auto before = visibleWindowsOfThisThread();
  EXPECT_EQ(shell.startProgram("C:\\windows\\pondex_help.exe"), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(shell.startProgram("C:\\no such folder\\pondex_help.exe"), 0u);
  // A bare name would otherwise be looked for in the working folder and
  // beyond; notepad.exe exists in the system folder.
  EXPECT_EQ(shell.startProgram("notepad.exe"), static_cast<std::uint32_t>(ERROR_BAD_PATHNAME));
  EXPECT_EQ(visibleWindowsOfThisThread(), before);
}

TEST(ForegroundWin32, OurOwnWindowIsNoHigherAndItsTitleComesBackIn1250) {
  UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"Po\u0142\u0105czenie", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                        200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(window.valid());
  ::SetForegroundWindow(window.get());
  Win32Foreground foreground;
  const ForegroundTarget target = foreground.query();
  ASSERT_EQ(target.window, reinterpret_cast<std::uintptr_t>(window.get()));
  EXPECT_EQ(target.title,
            "Po\xB3\xB9"
            "czenie");
  EXPECT_EQ(target.rights, TargetRights::SameOrLower);
  EXPECT_TRUE(processIntegrity(::GetCurrentProcess()).has_value());
}

}  // namespace
}  // namespace pondex::win32
