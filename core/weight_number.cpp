#include "core/weight_number.h"

#include <algorithm>
#include <string_view>

namespace pondex {
namespace {

std::string_view withoutLeadingZeros(std::string_view digits) {
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  return digits;
}

std::string_view withoutTrailingZeros(std::string_view digits) {
  while (!digits.empty() && digits.back() == '0') digits.remove_suffix(1);
  return digits;
}

}  // namespace

bool WeightNumber::isZero() const {
  const auto zero = [](char c) { return c == '0'; };
  return std::all_of(units.begin(), units.end(), zero) && std::all_of(decimals.begin(), decimals.end(), zero);
}

std::string WeightNumber::text(char separator) const {
  std::string out;
  if (negative && !isZero()) out += '-';
  out += withoutLeadingZeros(units);
  if (!decimals.empty()) {
    out += separator;
    out += decimals;
  }
  return out;
}

bool WeightNumber::sameValue(const WeightNumber& other) const {
  if (isZero() || other.isZero()) return isZero() && other.isZero();
  return negative == other.negative && withoutLeadingZeros(units) == withoutLeadingZeros(other.units) &&
         withoutTrailingZeros(decimals) == withoutTrailingZeros(other.decimals);
}

}  // namespace pondex
