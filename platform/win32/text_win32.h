#pragma once
// Text conversions at the Win32 boundary: the program's UTF-8 to the UTF-16
// of the "W" functions and back, and the system's ANSI code page.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/text.h"

namespace pondex::win32 {

[[nodiscard]] std::wstring widen(std::string_view text, UINT codePage = CP_UTF8);
[[nodiscard]] std::string narrow(std::wstring_view text, UINT codePage = CP_UTF8);

// The bytes of the text in the system's ANSI code page. No best-fit
// substitutes: an "Ł" stored as "L" would name another folder.
[[nodiscard]] EncodedText toAnsiCodePage(std::wstring_view text);

}  // namespace pondex::win32
