// The tray icon's record over the real system's wide structure. Clicks on
// the icon are seen end to end (tests/e2e/test_shell.py).
#include "platform/win32/tray_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace pondex::win32 {
namespace {

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
}

TEST(TrayWin32, TheTipIsReadAsWindows1250) {
  NOTIFYICONDATAW record{};
  setRecordTip(record,
               "Po\xB3\xB9"
               "czenie");  // "Połączenie" in Windows-1250
  EXPECT_EQ(std::wstring(record.szTip), L"Po\u0142\u0105czenie");
}

}  // namespace
}  // namespace pondex::win32
