#pragma once
// UTF-8 and the single-byte Windows code pages, without the system: the
// same conversions natively, in tests and on Windows.
#include <array>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace pondex::text {

// Bytes 0x00-0x7F are ASCII; `upper` gives the characters of 0x80-0xFF. A
// byte the code page leaves undefined stands for the C1 control of the same
// number, as Windows converts it, so every byte survives a round trip.
struct SingleByteCodePage {
  std::array<char16_t, 128> upper;
};

// The code page of the settings and language files.
extern const SingleByteCodePage kWindows1250;

[[nodiscard]] std::string toUtf8(std::string_view bytes, const SingleByteCodePage& page);
[[nodiscard]] EncodedText fromUtf8(std::string_view utf8, const SingleByteCodePage& page);

// One character of UTF-8 text: its code point and how many bytes it took.
// A malformed sequence reads as U+FFFD, one byte long, so that decoding
// always moves on.
struct CodePoint {
  char32_t value;
  std::size_t length;
};
[[nodiscard]] CodePoint decodeUtf8(std::string_view utf8);
void appendUtf8(std::string& out, char32_t codePoint);

// How many UTF-16 units the text takes, which is how Win32 measures room.
[[nodiscard]] std::size_t utf16Length(std::string_view utf8);

}  // namespace pondex::text
