#include "platform/win32/text_win32.h"

namespace pondex::win32 {

std::wstring widen(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string narrow(std::wstring_view text, UINT codePage) {
  if (text.empty()) return {};
  const int n =
      ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool narrowExactly(std::wstring_view text, UINT codePage, std::string& out) {
  out = narrow(text, codePage);
  // Converting back shows every character the code page could not hold
  // (the UTF-8 code page rejects the "default used" flag, so compare).
  return widen(out, codePage) == text;
}

}  // namespace pondex::win32
