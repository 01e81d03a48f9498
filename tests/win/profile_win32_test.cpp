// The profile files where Windows differs from the fakes: files held open
// by another program, read-only files, and a reader that watches every
// write. The shared rules run in contract_win32_test.cpp.
#include "platform/win32/profile_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

#include "platform/win32/handles.h"
#include "tests/win/temp_folder.h"

namespace pondex::win32 {
namespace {

const std::string kContent = "[USTAWIENIA]\r\nplik=1\r\n";

class ProfileWin32Test : public ::testing::Test {
 protected:
  std::string read(const std::string& key) { return profiles.getString(file, "USTAWIENIA", key, "<def>", 100).text; }
  // The file opened as an editor that shares nothing would open it.
  UniqueFile holdWithoutSharing() const {
    return UniqueFile(
        ::CreateFileW(widen(file).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  }

  TempFolder folder{"pondex-profile-Żółw"};
  std::string file = folder.file("Pon_dex_Settings.ini");
  Win32Profiles profiles;
};

TEST_F(ProfileWin32Test, AReadOnlyFileIsLeftAsItIs) {
  TempFolder::plant(file, kContent);
  ::SetFileAttributesW(widen(file).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(profiles.writeString(file, "USTAWIENIA", "plik", "0").error, ERROR_ACCESS_DENIED);
  EXPECT_EQ(TempFolder::contents(file), kContent);
  EXPECT_EQ(read("plik"), "1");
  EXPECT_FALSE(TempFolder::exists(file + ".new"));
}

TEST_F(ProfileWin32Test, AFileHeldWithoutSharingIsNeitherReadNorReplaced) {
  TempFolder::plant(file, kContent);
  const UniqueFile held = holdWithoutSharing();
  ASSERT_TRUE(held.valid());
  EXPECT_EQ(read("plik"), "<def>") << "as the system's profile functions answer";
  EXPECT_EQ(profiles.writeString(file, "USTAWIENIA", "plik", "0").error, ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(TempFolder::exists(file + ".new"));
}

// A virus scanner opens a file just written for a moment: the write waits
// for it instead of failing.
TEST_F(ProfileWin32Test, AFileHeldForAMomentIsWrittenOnceFree) {
  TempFolder::plant(file, kContent);
  UniqueFile held = holdWithoutSharing();
  ASSERT_TRUE(held.valid());
  std::thread release([&held] {
    ::Sleep(60);
    held.reset();
  });
  const Status written = profiles.writeString(file, "USTAWIENIA", "plik", "0");
  release.join();
  EXPECT_TRUE(written.ok()) << written.error;
  EXPECT_EQ(TempFolder::contents(file), "[USTAWIENIA]\r\nplik=0\r\n");
}

// Whatever moment another program reads the file at, it finds one whole
// version of it: never a half-written one, never none. (A file open in
// another program cannot be replaced, even when it shares deleting: the
// reader pauses between reads, as any reader but a tight loop does, and
// the write waits for such a pause.)
TEST_F(ProfileWin32Test, AReaderNeverSeesAHalfWrittenFile) {
  const std::string longValue(3000, 'x');
  ASSERT_TRUE(profiles.writeString(file, "USTAWIENIA", "a", "0").ok());
  const std::set<std::string> whole = {"[USTAWIENIA]\r\na=0\r\n", "[USTAWIENIA]\r\na=" + longValue + "\r\n"};
  std::atomic<bool> done{false};
  std::atomic<int> reads{0};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done) {
      // A file missing for a moment reads as "<none>".
      if (whole.count(TempFolder::contents(file)) == 0) ++torn;
      ++reads;
      ::Sleep(1);
    }
  });
  for (int i = 0; i < 100; ++i) {
    const Status s = profiles.writeString(file, "USTAWIENIA", "a", i % 2 == 0 ? longValue : "0");
    EXPECT_TRUE(s.ok()) << s.error;
  }
  done = true;
  reader.join();
  EXPECT_GT(reads, 0);
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(read("a"), "0") << "the last write wins";
}

TEST_F(ProfileWin32Test, AFileThatCannotBeReadIsNotReplaced) {
  // A folder where the file should be: it cannot be read as a file.
  ASSERT_TRUE(::CreateDirectoryW(widen(file).c_str(), nullptr));
  EXPECT_FALSE(profiles.writeString(file, "USTAWIENIA", "plik", "0").ok());
  EXPECT_EQ(read("plik"), "<def>");
  ::RemoveDirectoryW(widen(file).c_str());
}

}  // namespace
}  // namespace pondex::win32
