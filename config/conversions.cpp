#include "config/conversions.h"

#include <cmath>
#include <limits>

#include "config/settings.h"

namespace pondex {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of the number at the start of `text` (after blanks), or 0.
struct Scan {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool hasDigits = false;
};

Scan scanNumber(std::string_view text) {
  Scan s;
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  s.begin = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  while (i < text.size() && isDigit(text[i])) {
    ++i;
    s.hasDigits = true;
  }
  if (i < text.size() && text[i] == '.') {
    std::size_t j = i + 1;
    bool fraction = false;
    while (j < text.size() && isDigit(text[j])) {
      ++j;
      fraction = true;
    }
    if (fraction || s.hasDigits) i = j;
    s.hasDigits = s.hasDigits || fraction;
  }
  s.end = i;
  return s;
}

template <typename T>
std::optional<T> roundedTo(std::string_view text) {
  const double rounded = std::nearbyint(leadingNumber(text));  // ties to even
  if (!(rounded >= static_cast<double>(std::numeric_limits<T>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<T>::max()))) {
    return std::nullopt;
  }
  return static_cast<T>(rounded);
}

}  // namespace

double leadingNumber(std::string_view text) {
  const Scan s = scanNumber(text);
  if (!s.hasDigits) return 0.0;
  double value = 0.0;
  double scale = 0.0;
  bool negative = false;
  for (std::size_t i = s.begin; i < s.end; ++i) {
    const char c = text[i];
    if (c == '-') {
      negative = true;
    } else if (c == '.') {
      scale = 1.0;
    } else if (isDigit(c)) {
      if (scale > 0.0) {
        scale /= 10.0;
        value += (c - '0') * scale;
      } else {
        value = value * 10.0 + (c - '0');
      }
    }
  }
  return negative ? -value : value;
}

std::optional<std::int16_t> toInt16(std::string_view text) {
  return roundedTo<std::int16_t>(text);
}
std::optional<std::uint8_t> toByte(std::string_view text) {
  return roundedTo<std::uint8_t>(text);
}
std::optional<std::int32_t> toInt32(std::string_view text) {
  return roundedTo<std::int32_t>(text);
}

bool isNumericText(std::string_view text) {
  const Scan s = scanNumber(text);
  if (!s.hasDigits) return false;
  for (std::size_t i = s.end; i < text.size(); ++i) {
    if (!isBlank(text[i])) return false;
  }
  return true;
}

std::optional<bool> toBoolean(std::string_view text) {
  if (isNumericText(text)) return leadingNumber(text) != 0.0;
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  std::string word;
  for (char c : text) word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (word == "true") return true;
  if (word == "false") return false;
  return std::nullopt;
}

}  // namespace pondex

namespace pondex {

std::optional<OutputTarget> storedOutputTarget(int value) {
  // Panel output is never stored: only the two stored targets come back.
  if (value == 0) return OutputTarget::Keystrokes;
  if (value == 1) return OutputTarget::DataFile;
  return std::nullopt;
}

std::optional<FrameEndReaction> storedFrameEndReaction(int value) {
  if (value < 0 || value > 4) return std::nullopt;
  return static_cast<FrameEndReaction>(value);
}

std::optional<DecimalCommaMode> storedDecimalCommaMode(int value) {
  if (value < 0 || value > 2) return std::nullopt;
  return static_cast<DecimalCommaMode>(value);
}

std::optional<WriteMode> storedWriteMode(int value) {
  if (value == 0) return WriteMode::Append;
  if (value == 1) return WriteMode::Replace;
  return std::nullopt;
}

FileNaming storedFileNaming(int value) {
  return value == -1 ? FileNaming::PerDay : FileNaming::PerTransmission;
}

int storedValue(OutputTarget target) {
  return static_cast<int>(target);
}

int storedValue(FrameEndReaction reaction) {
  return static_cast<int>(reaction);
}

int storedValue(DecimalCommaMode mode) {
  return static_cast<int>(mode);
}

int storedValue(WriteMode mode) {
  return mode == WriteMode::Replace ? 1 : 0;
}

int storedValue(FileNaming naming) {
  return static_cast<int>(naming);
}

}  // namespace pondex
