// The tray icon's record over the real system's wide structure, and the
// events its mouse messages stand for. Clicks on the icon are seen end to
// end (tests/e2e/test_shell.py).
#include "platform/win32/tray_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace pondex::win32 {
namespace {

TEST(TrayWin32, TheIconsMouseMessagesBecomeEventsByName) {
  EXPECT_EQ(trayEventOf(WM_LBUTTONUP), TrayEvent::Click);
  EXPECT_EQ(trayEventOf(WM_LBUTTONDBLCLK), TrayEvent::DoubleClick);
  EXPECT_EQ(trayEventOf(WM_RBUTTONUP), TrayEvent::RightClick);
  for (UINT other :
       {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_CONTEXTMENU}) {
    EXPECT_EQ(trayEventOf(other), std::nullopt) << other;
  }
}

TEST(TrayWin32, ALongTipKeepsItsFileNameInTheWideRecord) {
  NOTIFYICONDATAW record{};
  std::string folder = "c:\\kolvat\\pon_dex\\";
  for (int i = 0; i < 20; ++i) folder += "folder" + std::to_string(10 + i) + "\\";
  setRecordTip(record, "Pon_dex - " + folder + "261206.txt");
  const std::wstring tip = record.szTip;
  // Cut at a folder boundary: within one folder name of the 127 characters
  // the wide record holds.
  EXPECT_LE(tip.size(), 127u);
  EXPECT_GT(tip.size(), 118u);
  EXPECT_EQ(tip.substr(tip.size() - 20), L"\\folder29\\261206.txt");
}

// The record counts UTF-16 units: a character beyond them takes two, and
// the cut never splits one.
TEST(TrayWin32, ALongTipOfWideCharactersFitsTheRecordWhole) {
  NOTIFYICONDATAW record{};
  std::string folder = "C:\\Łódź\\";
  for (int i = 0; i < 40; ++i) folder += "𝄞ł\\";
  setRecordTip(record, "Pon_dex - " + folder + "261206.txt");
  const std::wstring tip = record.szTip;
  EXPECT_LE(tip.size(), 127u);
  EXPECT_EQ(tip.substr(0, 13), L"Pon_dex - ...");
  EXPECT_EQ(tip.substr(tip.size() - 15), L"\\\U0001D11E\u0142\\261206.txt");
  for (std::size_t i = 0; i < tip.size(); ++i) {
    if (IS_HIGH_SURROGATE(tip[i])) {
      EXPECT_TRUE(i + 1 < tip.size() && IS_LOW_SURROGATE(tip[i + 1])) << i;
    }
    if (IS_LOW_SURROGATE(tip[i])) {
      EXPECT_TRUE(i > 0 && IS_HIGH_SURROGATE(tip[i - 1])) << i;
    }
  }
}

}  // namespace
}  // namespace pondex::win32
