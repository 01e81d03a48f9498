#pragma once
// The control model holds Windows-1250 bytes whatever the system's ANSI
// code page is; the window shows UTF-16. These convert between the two.
#include <string>

namespace pondex::win32 {

std::wstring fromCp1250(const std::string& text);
// Characters without a Windows-1250 form become '?'.
std::string toCp1250(const std::wstring& text);

}  // namespace pondex::win32
