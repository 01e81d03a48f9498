#pragma once
// The read and write rules of platform/profile.h, once, for every
// implementation: the in-memory fake and the file-backed one (native), and
// the system's profile functions (under Wine). An Env provides:
//   ProfileFiles& profiles();
//   std::string path(const std::string& name);   a fresh file's full path
//   void plant(const std::string& path, const std::string& bytes);
//   bool exists(const std::string& path);
#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"

namespace pondex::contract {

template <typename Env>
class ProfileContract : public ::testing::Test {
 protected:
  std::string read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& def = "<def>", std::size_t size = 100) {
    return env.profiles().getString(file, section, key, def, size).text;
  }
  Env env;
};

TYPED_TEST_SUITE_P(ProfileContract);

// A file of two sections, for the reading rules.
inline const char* const kReadFile =
    "[Ustawienia]\r\nKoniec Ramki =  3  \r\nenter=\"ENTER\"\r\ntab='TAB'\r\nodd=\"x'\r\n"
    "empty=\r\n[Global]\r\nplik=1\r\n";

TYPED_TEST_P(ProfileContract, NamesIgnoreLetterCase) {
  const std::string file = this->env.path("read.ini");
  this->env.plant(file, kReadFile);
  EXPECT_EQ(this->read(file, "USTAWIENIA", "koniec ramki"), "3");
  EXPECT_EQ(this->read(file, "ustawienia", "ENTER"), "ENTER");
  EXPECT_EQ(this->read(file, "GLOBAL", "PLIK"), "1");
}

TYPED_TEST_P(ProfileContract, ValuesLoseTheirOuterBlanksAsWellAsOnePairOfQuotes) {
  const std::string file = this->env.path("read.ini");
  this->env.plant(file, kReadFile);
  EXPECT_EQ(this->read(file, "Ustawienia", "Koniec Ramki"), "3");
  EXPECT_EQ(this->read(file, "Ustawienia", "enter"), "ENTER");
  EXPECT_EQ(this->read(file, "Ustawienia", "tab"), "TAB");
  EXPECT_EQ(this->read(file, "Ustawienia", "odd"), "\"x'") << "quotes that do not match stay";
}

TYPED_TEST_P(ProfileContract, AKeyIsFoundOnlyInItsSectionOfAFileThatExists) {
  const std::string file = this->env.path("read.ini");
  this->env.plant(file, kReadFile);
  EXPECT_EQ(this->read(file, "Ustawienia", "empty"), "") << "an empty value is not an absent key";
  EXPECT_EQ(this->read(file, "Ustawienia", "plik"), "<def>") << "a key of another section";
  EXPECT_EQ(this->read(this->env.path("missing.ini"), "Ustawienia", "plik", "0"), "0");
}

TYPED_TEST_P(ProfileContract, ValuesAreCutToTheBuffer) {
  const std::string file = this->env.path("cut.ini");
  this->env.plant(file, "[s]\r\nlong=" + std::string(150, 'a') + "\r\nexact=" + std::string(99, 'b') + "\r\n");
  const ProfileRead cut = this->env.profiles().getString(file, "s", "long", "", 100);
  EXPECT_EQ(cut.text, std::string(99, 'a'));
  EXPECT_EQ(cut.copied, 99u);
  EXPECT_EQ(this->env.profiles().getString(file, "s", "exact", "", 100).copied, 99u)
      << "a value that just fills the buffer looks like a cut one";
}

TYPED_TEST_P(ProfileContract, DefaultsAreCutToTheBuffer) {
  const std::string file = this->env.path("cut.ini");
  this->env.plant(file, "[s]\r\nlong=" + std::string(150, 'a') + "\r\n");
  const ProfileRead def = this->env.profiles().getString(file, "s", "none", "c:\\kolvat\\  ", 100);
  EXPECT_EQ(def.text, "c:\\kolvat\\") << "trailing blanks of the default go";
  EXPECT_EQ(def.copied, 10u);
  EXPECT_EQ(this->env.profiles().getString(file, "s", "none", "long default", 5).text, "long");
}

TYPED_TEST_P(ProfileContract, TheFirstWriteCreatesTheFile) {
  const std::string file = this->env.path("write.ini");
  ASSERT_FALSE(this->env.exists(file));
  EXPECT_TRUE(this->env.profiles().writeString(file, "USTAWIENIA", "Koniec ramki", "2").ok());
  EXPECT_TRUE(this->env.exists(file));
  EXPECT_EQ(this->read(file, "USTAWIENIA", "Koniec ramki"), "2");
}

TYPED_TEST_P(ProfileContract, TheLastWriteOfAKeyWins) {
  const std::string file = this->env.path("write.ini");
  EXPECT_TRUE(this->env.profiles().writeString(file, "USTAWIENIA", "Koniec ramki", "2").ok());
  EXPECT_TRUE(this->env.profiles().writeString(file, "ustawienia", "koniec RAMKI", "4").ok());
  EXPECT_EQ(this->read(file, "USTAWIENIA", "Koniec ramki"), "4") << "one key, whatever the case of the writes";
  // Windows-1250 bytes in names and values are kept as they are.
  const std::string key =
      "PR\xCA"
      "DKO\x8C\xC6";
  EXPECT_TRUE(this->env.profiles().writeString(file, "USTAWIENIA", key, "19200 \xA3").ok());
  EXPECT_EQ(this->read(file, "USTAWIENIA", key), "19200 \xA3");
  EXPECT_EQ(this->read(file, "USTAWIENIA", "Koniec ramki"), "4");
}

REGISTER_TYPED_TEST_SUITE_P(ProfileContract, NamesIgnoreLetterCase, ValuesLoseTheirOuterBlanksAsWellAsOnePairOfQuotes,
                            AKeyIsFoundOnlyInItsSectionOfAFileThatExists, ValuesAreCutToTheBuffer,
                            DefaultsAreCutToTheBuffer, TheFirstWriteCreatesTheFile, TheLastWriteOfAKeyWins);

}  // namespace pondex::contract
