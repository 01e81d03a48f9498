#pragma once
// The number of a weight as the instrument sent it, and how it is typed.
#include <string>

namespace pondex {

struct WeightNumber {
  bool negative = false;
  std::string units;     // the digits before the separator, leading zeros kept
  std::string decimals;  // the digits after it, "" when there is no decimal part

  [[nodiscard]] bool isZero() const;
  // As typed: "-" only for a value below zero, the units without leading
  // zeros, `separator` and the decimals.
  [[nodiscard]] std::string text(char separator) const;
  // The same value, however many zeros either number carries.
  [[nodiscard]] bool sameValue(const WeightNumber& other) const;
};

}  // namespace pondex
