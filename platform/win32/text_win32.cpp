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

EncodedText toAnsiCodePage(std::wstring_view text) {
  EncodedText out;
  // A system whose ANSI code page is UTF-8 spells everything (and refuses
  // the "default used" question).
  if (::GetACP() == CP_UTF8) {
    out.bytes = narrow(text);
    return out;
  }
  // One character at a time, so that the first one missing can be named.
  for (std::size_t i = 0; i < text.size();) {
    const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
    const std::wstring_view one = text.substr(i, pair ? 2 : 1);
    char bytes[8] = {};
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, one.data(), static_cast<int>(one.size()), bytes,
                                        sizeof bytes, nullptr, &usedDefault);
    if (n <= 0 || usedDefault != FALSE) {
      out.bytes += '?';
      if (out.unspellable.empty()) out.unspellable = narrow(one);
    } else {
      out.bytes.append(bytes, static_cast<std::size_t>(n));
    }
    i += one.size();
  }
  return out;
}

}  // namespace pondex::win32
