#include "platform/portable/ini_text.h"

#include <gtest/gtest.h>

namespace pondex::ini {
namespace {

std::string read(std::string_view content, std::string_view section, std::string_view key,
                 std::string_view def = "<def>", std::size_t size = 100) {
  return getString(content, section, key, def, size).text;
}

TEST(IniText, NamesCompareWithoutLetterCaseAndValuesLoseSurroundingBlanks) {
  const std::string file = "[Ustawienia]\r\nKoniec Ramki =  3  \r\nplik=1\r\n";
  EXPECT_EQ(read(file, "USTAWIENIA", "koniec ramki"), "3");
  EXPECT_EQ(read(file, "ustawienia", "PLIK"), "1");
  EXPECT_EQ(read(file, "USTAWIENIA", "plik stat"), "<def>");
  EXPECT_EQ(read(file, "other", "plik"), "<def>");
  EXPECT_EQ(read("", "USTAWIENIA", "plik"), "<def>");
}

TEST(IniText, OneMatchingPairOfQuotesIsDroppedOnReading) {
  const std::string file = "[Global]\r\nenter=\"ENTER\"\r\ntab='TAB' \r\nodd=\"x'\r\nempty=\r\n";
  EXPECT_EQ(read(file, "Global", "enter"), "ENTER");
  EXPECT_EQ(read(file, "Global", "tab"), "TAB");
  EXPECT_EQ(read(file, "Global", "odd"), "\"x'");
  EXPECT_EQ(read(file, "Global", "empty"), "") << "a key with an empty value is not absent";
}

TEST(IniText, DefaultLosesTrailingBlanksAndEverythingIsCutToTheBuffer) {
  EXPECT_EQ(read("", "s", "k", "na katalog  "), "na katalog");
  const auto cut = getString("[s]\r\nk=abcdefghij\r\n", "s", "k", "", 5);
  EXPECT_EQ(cut.text, "abcd");
  EXPECT_EQ(cut.copied, 4u);
  const auto exact = getString("[s]\r\nk=abcd\r\n", "s", "k", "", 5);
  EXPECT_EQ(exact.copied, 4u) << "a value that just fills the buffer looks like a cut one";
  EXPECT_EQ(getString("", "s", "k", "long default", 5).copied, 4u);
}

TEST(IniText, FirstWriteCreatesSectionAndKeyWithCrLf) {
  EXPECT_EQ(setString("", "USTAWIENIA", "ZMIANA", "1"), "[USTAWIENIA]\r\nZMIANA=1\r\n");
}

TEST(IniText, LastWriteWinsAndAnExistingKeyKeepsItsSpellingAndPlace) {
  std::string f = setString("", "USTAWIENIA", "Koniec ramki", "0");
  f = setString(f, "USTAWIENIA", "plik", "1");
  f = setString(f, "ustawienia", "koniec ramki", "2");
  EXPECT_EQ(f, "[USTAWIENIA]\r\nKoniec ramki=2\r\nplik=1\r\n");
  EXPECT_EQ(read(f, "USTAWIENIA", "KONIEC RAMKI"), "2");
}

TEST(IniText, NewKeysGoToTheEndOfTheirOwnSection) {
  std::string f = "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n";
  f = setString(f, "A", "z", "3");
  f = setString(f, "C", "w", "4");
  EXPECT_EQ(f, "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nw=4\r\n");
}

TEST(IniText, Windows1250BytesAreKeptByteForByte) {
  const std::string key =
      "PR\xCA"
      "DKO\x8C\xC6";
  const std::string value = "Zmie\xF1";
  const std::string f = setString("", "USTAWIENIA", key, value);
  EXPECT_EQ(f, "[USTAWIENIA]\r\n" + key + "=" + value + "\r\n");
  EXPECT_EQ(read(f, "USTAWIENIA", key), value);
}

TEST(IniText, LinesWithoutEqualsSignAndUnixLineEndsAreTolerated) {
  const std::string f = "; comment\n[s]\nnot a key\nk = v\n";
  EXPECT_EQ(read(f, "s", "k"), "v");
  EXPECT_EQ(setString(f, "s", "k", "w"), "; comment\r\n[s]\r\nnot a key\r\nk=w\r\n");
}

}  // namespace
}  // namespace pondex::ini
