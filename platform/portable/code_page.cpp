#include "platform/portable/code_page.h"

#include <algorithm>

namespace pondex::text {

// Undefined bytes (0x81, 0x83, 0x88, 0x90, 0x98) map to themselves.
const SingleByteCodePage kWindows1250{{
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  //
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  //
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  //
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  //
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  //
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  //
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
}};

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool continuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

}  // namespace

CodePoint decodeUtf8(std::string_view utf8) {
  const auto lead = static_cast<unsigned char>(utf8.at(0));
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t value = 0;
  char32_t smallest = 0;  // a longer form of a smaller value is malformed
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1Fu;
    smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0Fu;
    smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07u;
    smallest = 0x10000;
  } else {
    return {kReplacement, 1};
  }
  if (utf8.size() < length) return {kReplacement, 1};
  for (std::size_t i = 1; i < length; ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (!continuation(c)) return {kReplacement, 1};
    value = (value << 6) | (c & 0x3Fu);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {kReplacement, 1};
  return {value, length};
}

void appendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::size_t utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  while (!utf8.empty()) {
    const CodePoint c = decodeUtf8(utf8);
    units += c.value >= 0x10000 ? 2 : 1;
    utf8.remove_prefix(c.length);
  }
  return units;
}

std::string toUtf8(std::string_view bytes, const SingleByteCodePage& page) {
  std::string out;
  out.reserve(bytes.size());
  for (const char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    appendUtf8(out, byte < 0x80 ? char32_t{byte} : char32_t{page.upper[byte - 0x80u]});
  }
  return out;
}

EncodedText fromUtf8(std::string_view utf8, const SingleByteCodePage& page) {
  EncodedText out;
  out.bytes.reserve(utf8.size());
  while (!utf8.empty()) {
    const CodePoint c = decodeUtf8(utf8);
    if (c.value < 0x80) {
      out.bytes += static_cast<char>(c.value);
    } else {
      const auto* found = std::find(page.upper.begin(), page.upper.end(), c.value);
      if (found != page.upper.end()) {
        out.bytes += static_cast<char>(0x80 + (found - page.upper.begin()));
      } else {
        out.bytes += '?';
        if (out.unspellable.empty()) appendUtf8(out.unspellable, c.value);
      }
    }
    utf8.remove_prefix(c.length);
  }
  return out;
}

}  // namespace pondex::text
