#include "core/binary_status.h"

#include <algorithm>

namespace pondex {
namespace {

constexpr std::size_t kStatusBytes = 3;
constexpr std::size_t kDigits = 6;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isStatusByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b & 0x20U) != 0 && (b & 0x80U) == 0;
}

// Six digits, leading zeros perhaps sent as blanks.
bool isDigitField(std::string_view field) {
  const auto first = std::find_if_not(field.begin(), field.end(), [](char c) { return c == ' '; });
  return first != field.end() && std::all_of(first, field.end(), isDigit);
}

}  // namespace

std::optional<LineReading> binaryStatusReading(std::string_view line, bool framed) {
  if (line.size() != kStatusBytes + kDigits && line.size() != kStatusBytes + 2 * kDigits) return std::nullopt;
  const auto a = static_cast<unsigned char>(line[0]);
  const auto b = static_cast<unsigned char>(line[1]);
  const auto c = static_cast<unsigned char>(line[2]);
  if (!std::all_of(line.begin(), line.begin() + kStatusBytes, isStatusByte)) return std::nullopt;
  if ((a >> 3U & 3U) == 0) return std::nullopt;  // no count-by: not a status byte
  if (!framed && std::all_of(line.begin(), line.begin() + kStatusBytes, isDigit)) return std::nullopt;
  const std::string_view weight = line.substr(kStatusBytes, kDigits);
  if (!isDigitField(weight)) return std::nullopt;
  if (line.size() > kStatusBytes + kDigits && !isDigitField(line.substr(kStatusBytes + kDigits))) return std::nullopt;

  std::string digits(weight);
  std::replace(digits.begin(), digits.end(), ' ', '0');
  LineReading r;
  r.isWeight = true;
  r.marked = true;
  const unsigned point = a & 7U;
  if (point <= 2) {
    r.number.units = digits + std::string(2 - point, '0');
  } else {
    const std::size_t decimals = point - 2;
    r.number.units = digits.substr(0, kDigits - decimals);
    r.number.decimals = digits.substr(kDigits - decimals);
  }
  r.number.negative = (b & 2U) != 0;
  r.label = (b & 1U) != 0 ? WeightLabel::Net : WeightLabel::Gross;
  if ((b & 4U) != 0) {
    r.status = r.number.negative ? ReadingStatus::Underload : ReadingStatus::Overload;
  } else {
    r.status = (b & 8U) != 0 ? ReadingStatus::Moving : ReadingStatus::Settled;
  }
  if ((c & 7U) == 0) r.unit = (b & 16U) != 0 ? "kg" : "lb";
  return r;
}

}  // namespace pondex
