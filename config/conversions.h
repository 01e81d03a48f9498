#pragma once
// Conversions of texts read from the settings file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pondex {

// The leading number of a text: blanks skipped, an optional sign, digits and
// an optional fraction. A text without a leading number gives 0.
double leadingNumber(std::string_view text);

// The leading number rounded to the nearest integer, ties to even; empty
// when the result does not fit the target type.
std::optional<std::int16_t> toInt16(std::string_view text);
std::optional<std::uint8_t> toByte(std::string_view text);
std::optional<std::int32_t> toInt32(std::string_view text);

// True when the whole text (blanks around it aside) is a decimal number.
bool isNumericText(std::string_view text);

// A truth value: a numeric text is true when not zero; "True" and "False"
// in any letter case; anything else is empty.
std::optional<bool> toBoolean(std::string_view text);

// The written form of a 16-bit truth value: "-1" or "0".
inline std::string booleanText(bool value) {
  return value ? "-1" : "0";
}

}  // namespace pondex
