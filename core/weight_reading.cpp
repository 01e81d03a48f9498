#include "core/weight_reading.h"

namespace pondex {
namespace {

// Lines of this reader carry no time: whatever a piece leaves held is
// decided as if its wait were over when the piece ends.
constexpr Millis kLater = Millis::max() / 2;

void appendNumbers(std::vector<std::string>& numbers, std::vector<Reading> readings) {
  for (auto& r : readings) numbers.push_back(std::move(r.number));
}

}  // namespace

std::vector<std::string> WeightReader::piece(std::string_view text, const Options& options) {
  std::vector<std::string> numbers;
  for (const auto& line : lines_.add(text)) appendNumbers(numbers, records_.line(line, options));
  appendNumbers(numbers, records_.timeUp(kLater, options));
  return numbers;
}

std::optional<std::string> WeightReader::silence(const Options& options) {
  std::vector<std::string> numbers;
  if (const auto line = lines_.flush()) appendNumbers(numbers, records_.line(*line, options));
  appendNumbers(numbers, records_.timeUp(kLater, options));
  // Nothing is held after a piece, so the unended line gives one reading at most.
  if (numbers.empty()) return std::nullopt;
  return numbers.back();
}

void WeightReader::clear() {
  lines_.clear();
  records_.clear();
}

}  // namespace pondex
