// The text conversions against the system's own: the portable code page
// tables (the product's Windows-1250 and the fakes' 1252) and the ANSI
// code page of the files. The Wine runs have the ANSI code page 1252.
#include "platform/win32/text_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/portable/code_page.h"
#include "platform/win32/system_win32.h"
#include "tests/fakes/fake_platform.h"
#include "tests/win/temp_folder.h"

namespace pondex::win32 {
namespace {

void expectTableOfTheSystem(const text::SingleByteCodePage& page, UINT codePage) {
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const char b = static_cast<char>(byte);
    wchar_t wide = 0;
    ASSERT_EQ(::MultiByteToWideChar(codePage, 0, &b, 1, &wide, 1), 1);
    EXPECT_EQ(static_cast<char16_t>(wide), page.upper[static_cast<std::size_t>(byte - 0x80)])
        << codePage << " byte " << byte;
  }
}

TEST(TextWin32, ThePortableTablesAreTheSystems) {
  expectTableOfTheSystem(text::kWindows1250, 1250);
  expectTableOfTheSystem(fakes::kWindows1252, 1252);
}

// Best fit would make "Ł" an "L", the name of another folder; the first
// character the code page lacks is named whole.
TEST(TextWin32, TheAnsiCodePageTakesNoBestFit) {
  ASSERT_EQ(::GetACP(), 1252u);
  const EncodedText cafe = toAnsiCodePage(L"C:\\Dane\\Caf\u00E9\\");
  EXPECT_TRUE(cafe.complete());
  EXPECT_EQ(cafe.bytes, "C:\\Dane\\Caf\xE9\\");
  const EncodedText lodz = toAnsiCodePage(L"C:\\Dane\\\u0141\u00F3d\u017A\\");
  EXPECT_EQ(lodz.bytes,
            "C:\\Dane\\?\xF3"
            "d?\\");
  EXPECT_EQ(lodz.unspellable, "Ł");
  EXPECT_EQ(toAnsiCodePage(L"a\U0001D11E").unspellable, "𝄞") << "a character of two UTF-16 units is one";
}

// The program's paths in any language, to the "W" file functions.
TEST(TextWin32, PathsInAnyLanguageReachTheFileFunctions) {
  TempFolder folder("pondex-files-Łukasz");
  Win32FileSystem files;
  const std::string inner = folder.path() + "\\数据";
  EXPECT_TRUE(files.createDirectory(inner).ok());
  EXPECT_EQ(files.createDirectory(inner).error, ERROR_ALREADY_EXISTS);
  const std::string path = inner + "\\261206.txt";
  {
    auto opened = files.openForWriting(path, WriteMode::Append);
    ASSERT_TRUE(opened.ok()) << opened.error;
    const std::string bytes = "1,5 kg\r\n";
    EXPECT_TRUE(opened.value->write({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}).ok());
  }
  EXPECT_TRUE(files.isNormalFile(path));
  EXPECT_FALSE(files.isNormalFile(inner)) << "a folder is no normal file";
  EXPECT_EQ(TempFolder::contents(path), "1,5 kg\r\n");
  ::DeleteFileW(widen(path).c_str());
  ::RemoveDirectoryW(widen(inner).c_str());

  EXPECT_EQ(files.fromAnsi("C:\\Caf\xE9\\"), "C:\\Café\\");
  EXPECT_EQ(files.toAnsi("C:\\Łódź\\").unspellable, "Ł");
}

}  // namespace
}  // namespace pondex::win32
