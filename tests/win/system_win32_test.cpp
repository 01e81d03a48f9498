// The file calls the weighing log stands on, against real files: a whole
// write lands at the end, a cut takes a file back so the next write lands
// where the cut was, and a file another program holds is read but refused
// to writers, as the fakes say.
#include "platform/win32/system_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/text_win32.h"
#include "tests/win/temp_folder.h"

namespace pondex::win32 {
namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(SystemWin32Files, AWholeWriteLandsAtTheEndAndACutTakesTheFileBack) {
  TempFolder folder("pondex-log-Łukasz");
  const std::string path = folder.file("261206.csv");
  TempFolder::plant(path, "head\r\n");
  Win32FileSystem files;
  {
    auto opened = files.openForWriting(path, WriteMode::Append);
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_TRUE(opened.value->writeWhole(bytesOf("row 1\r\n")).ok());
  }
  EXPECT_EQ(TempFolder::contents(path), "head\r\nrow 1\r\n");

  const UniqueFile file(::CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file.valid());
  ASSERT_NE(::SetFilePointer(file.get(), 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  DWORD put = 0;
  ASSERT_TRUE(::WriteFile(file.get(), "half of a longer row", 20, &put, nullptr));
  EXPECT_TRUE(cutFileBack(file.get(), 13).ok());
  ASSERT_TRUE(::WriteFile(file.get(), "row 2\r\n", 7, &put, nullptr));
  EXPECT_EQ(TempFolder::contents(path), "head\r\nrow 1\r\nrow 2\r\n");
}

TEST(SystemWin32Files, TheStartOfAFileIsReadWhileAnotherProgramHoldsItAgainstWriters) {
  TempFolder folder("pondex-log");
  const std::string path = folder.file("261206.csv");
  Win32FileSystem files;
  const auto missing = files.readStart(path, 256);
  EXPECT_TRUE(missing.ok()) << "a missing file reads as empty";
  EXPECT_EQ(missing.value, "");
  EXPECT_EQ(files.readStart(folder.path() + "\\gone\\261206.csv", 256).error, ERROR_PATH_NOT_FOUND);

  TempFolder::plant(path, "data,godzina\r\n2026-12-06,");
  // Held as a spreadsheet holds an open workbook: readers welcome, writers not.
  const UniqueFile held(::CreateFileW(widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held.valid());
  const auto start = files.readStart(path, 8);
  ASSERT_TRUE(start.ok()) << start.error;
  EXPECT_EQ(start.value, "data,god");
  EXPECT_EQ(files.openForWriting(path, WriteMode::Append).error, ERROR_SHARING_VIOLATION);
}

}  // namespace
}  // namespace pondex::win32
