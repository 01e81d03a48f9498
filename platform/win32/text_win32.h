#pragma once
// Text conversions at the Win32 boundary. The program holds its texts as
// Windows-1250 bytes (the language of its files and captions) and its paths
// as ANSI bytes (what the "A" file functions take); the screen and the shell
// get UTF-16.
#include <windows.h>

#include <string>
#include <string_view>

namespace pondex::win32 {

inline constexpr UINT kTextCodePage = 1250;

[[nodiscard]] std::wstring widen(std::string_view text, UINT codePage = kTextCodePage);
// Characters the code page lacks become "?".
[[nodiscard]] std::string narrow(std::wstring_view text, UINT codePage = kTextCodePage);
// As narrow, but nothing when a character has no form in the code page:
// a path with a "?" in it would name another file.
[[nodiscard]] bool narrowExactly(std::wstring_view text, UINT codePage, std::string& out);

}  // namespace pondex::win32
