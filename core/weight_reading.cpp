#include "core/weight_reading.h"

#include <algorithm>

namespace pondex {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view withoutLeadingZeros(std::string_view digits) {
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  return digits;
}

std::string_view withoutTrailingZeros(std::string_view digits) {
  while (!digits.empty() && digits.back() == '0') digits.remove_suffix(1);
  return digits;
}

}  // namespace

ReadingStatus readingStatus(std::string_view line, std::span<const StatusMarker> markers) {
  const std::string_view text = trimmed(line);
  for (const auto& m : markers) {
    const bool found = m.place == StatusMarker::Place::Start ? text.starts_with(m.mark) : text.ends_with(m.mark);
    if (found) return m.status;
  }
  return ReadingStatus::Settled;
}

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

std::optional<WeightNumber> weightNumber(std::string_view line) {
  const auto first = std::find_if(line.begin(), line.end(), isDigit);
  if (first == line.end()) return std::nullopt;
  WeightNumber number;
  // The sign may stand apart from its digits: "-   1.5".
  auto before = first;
  while (before != line.begin() && isBlank(*(before - 1))) --before;
  number.negative = before != line.begin() && *(before - 1) == '-';

  auto end = std::find_if_not(first, line.end(), isDigit);
  number.units.assign(first, end);
  if (end != line.end() && (*end == '.' || *end == ',') && end + 1 != line.end() && isDigit(*(end + 1))) {
    const auto decimalsEnd = std::find_if_not(end + 1, line.end(), isDigit);
    number.decimals.assign(end + 1, decimalsEnd);
  }
  return number;
}

bool WeighingRule::take(ReadingStatus status, const WeightNumber& number, bool asked) {
  if (status != ReadingStatus::Settled) return false;
  if (asked) {
    lastTyped_ = number;
    if (number.isZero()) lastTyped_.reset();
    return true;
  }
  if (number.isZero()) {
    lastTyped_.reset();
    return false;
  }
  if (lastTyped_ && lastTyped_->sameValue(number)) return false;
  lastTyped_ = number;
  return true;
}

std::vector<Reading> WeightReader::line(const ReceivedLine& line, const Options& options) {
  const bool asked = asked_;
  auto number = reading(line, options);
  if (!number) return {};
  return {Reading{.number = std::move(*number), .answer = asked, .lineEndedAt = line.endedAt}};
}

std::vector<std::string> WeightReader::piece(std::string_view text, const Options& options) {
  std::vector<std::string> numbers;
  for (const auto& line : lines_.add({.bytes = std::string(text)})) {
    if (auto number = reading(line, options)) numbers.push_back(std::move(*number));
  }
  return numbers;
}

std::optional<std::string> WeightReader::silence(const Options& options) {
  const auto line = lines_.flush(Millis{0});
  if (!line) return std::nullopt;
  return reading(*line, options);
}

void WeightReader::clear() {
  lines_.closed();
  rule_.newWeighing();
  asked_ = false;
}

std::optional<std::string> WeightReader::reading(const ReceivedLine& line, const Options& options) {
  if (line.damaged) return std::nullopt;
  const bool asked = asked_;
  asked_ = false;
  const ReadingStatus status = readingStatus(line.text);
  if (status == ReadingStatus::Overload) return std::nullopt;
  const auto number = weightNumber(line.text);
  if (!number) return std::nullopt;
  if (line.cut) {
    // A number that would grow by one more digit ran into the cut.
    const auto longer = weightNumber(line.text + '0');
    if (longer->units != number->units || longer->decimals != number->decimals) return std::nullopt;
  }
  if (options.settledOnly && !rule_.take(status, *number, asked)) return std::nullopt;
  return number->text(options.separator);
}

}  // namespace pondex
