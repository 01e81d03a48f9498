#include "platform/portable/ini_text.h"

#include <gtest/gtest.h>

namespace pondex::ini {
namespace {

// The read rules shared with the other profile implementations are in
// tests/contract/profile_contract.h; here, the exact text the writer makes.
TEST(IniText, AFirstWriteGivesCrLfLinesOfTheBytesAsGiven) {
  EXPECT_EQ(setString("", "USTAWIENIA", "SYGNA\xA3 ZEWNETRZNY", "Zmie\xF1"),
            "[USTAWIENIA]\r\nSYGNA\xA3 ZEWNETRZNY=Zmie\xF1\r\n");
}

TEST(IniText, AKeyIsReplacedInPlaceInItsOwnSpelling) {
  const std::string f = "[A]\r\nKoniec ramki=0\r\n\r\n[B]\r\ny=2\r\n";
  EXPECT_EQ(setString(f, "a", "koniec RAMKI", "2"), "[A]\r\nKoniec ramki=2\r\n\r\n[B]\r\ny=2\r\n");
}

TEST(IniText, NewKeysGoToTheEndOfTheirSection) {
  std::string f = "[A]\r\nKoniec ramki=2\r\n\r\n[B]\r\ny=2\r\n";
  f = setString(f, "A", "z", "3");
  f = setString(f, "C", "w", "4");
  EXPECT_EQ(f, "[A]\r\nKoniec ramki=2\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nw=4\r\n");
}

TEST(IniText, LinesWithoutAKeyOrWithUnixEndsAreTolerated) {
  const std::string f = "; comment\n[s]\nnot a key\nk = v\n";
  EXPECT_EQ(getString(f, "s", "k", "<def>", 100).text, "v");
  EXPECT_EQ(setString(f, "s", "k", "w"), "; comment\r\n[s]\r\nnot a key\r\nk=w\r\n");
}

}  // namespace
}  // namespace pondex::ini
