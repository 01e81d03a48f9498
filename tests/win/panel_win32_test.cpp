// The data panel's text box over the real edit control. Its modal loop is
// seen end to end (tests/e2e/test_shell.py).
#include "ui/win32/panel_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/event_loop_win32.h"

namespace pondex::win32 {
namespace {

std::wstring editText(HWND edit) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text;
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
  panel.append("13,0 kg\r\n");
  EXPECT_EQ(editText(panel.textBox()), L"12.5 kg\r\n13,0 kg\r\n");
  panel.close();
  EXPECT_FALSE(panel.isOpen());
}

TEST_F(PanelWin32Test, ReceivedBytesAreReadInTheAnsiCodePage) {
  Win32DataPanel panel(loop);
  panel.open();
  panel.append("\xB3");
  // As keystrokes and data files read them: in the ANSI code page (1252
  // here, where 0xB3 is not the Polish letter).
  wchar_t ansi = 0;
  ASSERT_EQ(::MultiByteToWideChar(CP_ACP, 0, "\xB3", 1, &ansi, 1), 1);
  EXPECT_EQ(editText(panel.textBox()), std::wstring(1, ansi));
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

}  // namespace
}  // namespace pondex::win32
