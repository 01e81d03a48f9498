#include "controls/access_key.h"

#include <cstdint>

namespace pondex::controls {

wchar_t lowerCase(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(static_cast<char32_t>(c));  // a code point, never negative
  if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<wchar_t>(u + 0x20);
  // Latin Extended-A pairs capitals with the small letter that follows,
  // on even code points in two stretches and on odd ones in two others.
  const bool evenCapital = (u >= 0x100 && u <= 0x137) || (u >= 0x14A && u <= 0x177);
  const bool oddCapital = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
  if ((evenCapital && u % 2 == 0) || (oddCapital && u % 2 == 1)) return static_cast<wchar_t>(u + 1);
  if (u == 0x178) return static_cast<wchar_t>(0xFF);  // Y with diaeresis
  return c;
}

std::optional<wchar_t> accessKeyOf(std::wstring_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    return lowerCase(caption[i + 1]);
  }
  return std::nullopt;
}

}  // namespace pondex::controls
