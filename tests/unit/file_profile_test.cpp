#include "platform/portable/file_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace pondex {
namespace {

class FileProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("pondex_profile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The path as the program builds it: directory + "\Pon_dex_Settings.ini".
  std::string programPath() const { return dir_.string() + "\\Pon_dex_Settings.ini"; }
  std::string bytesOnDisk() const {
    std::ifstream in(dir_ / "Pon_dex_Settings.ini", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::filesystem::path dir_;
};

TEST_F(FileProfileTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
  FileProfile profile;
  EXPECT_EQ(profile.getString(programPath(), "USTAWIENIA", "ZMIANA", "1", 100).text, "1");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "Pon_dex_Settings.ini"));
  ASSERT_TRUE(profile.writeString(programPath(), "USTAWIENIA", "ZMIANA", "1").ok());
  EXPECT_EQ(bytesOnDisk(), "[USTAWIENIA]\r\nZMIANA=1\r\n");
}

TEST_F(FileProfileTest, PolishKeyNamesReachTheDiskAsWindows1250Bytes) {
  FileProfile profile;
  ASSERT_TRUE(profile.writeString(programPath(), "USTAWIENIA", "SYGNA\xA3 ZEWNETRZNY", "1").ok());
  const std::string expected =
      "[USTAWIENIA]\r\n\x53\x59\x47\x4E\x41\xA3\x20\x5A\x45\x57\x4E\x45\x54\x52\x5A\x4E\x59=1\r\n";
  EXPECT_EQ(bytesOnDisk(), expected);
}

TEST_F(FileProfileTest, EveryCallReadsTheFileAnew) {
  FileProfile writer;
  FileProfile reader;
  ASSERT_TRUE(writer.writeString(programPath(), "USTAWIENIA", "plik", "0").ok());
  EXPECT_EQ(reader.getString(programPath(), "USTAWIENIA", "plik", "", 100).text, "0");
  {
    std::ofstream out(dir_ / "Pon_dex_Settings.ini", std::ios::binary | std::ios::trunc);
    out << "[ustawienia]\nPLIK = 1\n";
  }
  EXPECT_EQ(reader.getString(programPath(), "USTAWIENIA", "plik", "", 100).text, "1");
}

TEST_F(FileProfileTest, AnUnwritableLocationReportsFailure) {
  FileProfile profile;
  EXPECT_FALSE(profile.writeString(dir_.string() + "\\missing\\x.ini", "s", "k", "v").ok());
}

}  // namespace
}  // namespace pondex
