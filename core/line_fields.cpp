#include "core/line_fields.h"

#include <algorithm>

namespace pondex::fields {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

bool isSign(char c) {
  return c == '+' || c == '-';
}

int severity(ReadingStatus s) {
  switch (s) {
    case ReadingStatus::None:
      return 0;
    case ReadingStatus::Settled:
      return 1;
    case ReadingStatus::Moving:
      return 2;
    case ReadingStatus::Overload:
    case ReadingStatus::Underload:
      return 3;
    case ReadingStatus::Error:
      return 4;
  }
  return 0;
}

bool isLabel(MarkMeaning m) {
  return m == MarkMeaning::Gross || m == MarkMeaning::Net || m == MarkMeaning::Tare;
}

// The marks, unit and address found on the way through a glued field.
struct Path {
  std::array<MarkMeaning, 8> marks{};
  std::size_t count = 0;
  std::string_view unit;
  bool address = false;

  bool push(MarkMeaning m) {
    if (count == marks.size()) return false;
    marks[count++] = m;
    return true;
  }
  [[nodiscard]] MarkSum sum() const {
    MarkSum s;
    for (std::size_t i = 0; i < count; ++i) s.add(marks[i]);
    return s;
  }
};

// Where the walk through a glued field stands: right after the digits,
// between them and the unit, after the unit, after a frame's letter, or
// after an echo.
enum class Stage { Start, BeforeUnit, AfterUnit, AfterLabel, AfterEcho };

bool walk(std::string_view s, Stage stage, Path& path);

// Tries each mark allowed at `place` that `s` begins with, then the rest
// from `next`; `labelsOnly` keeps to gross/net/tare letters.
bool walkMarks(std::string_view s, Place place, Stage next, Path& path, bool labelsOnly = false) {
  const std::size_t before = path.count;
  return marksStarting(s, place, [&](std::size_t length, const StatusMark& m) {
    if (labelsOnly && !isLabel(m.meaning)) return false;
    if (path.push(m.meaning) && walk(s.substr(length), next, path)) return true;
    path.count = before;
    return false;
  });
}

bool walkUnits(std::string_view s, Path& path) {
  const std::size_t before = path.count;
  return unitsStarting(s, [&](std::size_t length, std::string_view name) {
    path.unit = name;
    if (walk(s.substr(length), Stage::AfterUnit, path)) return true;
    path.unit = {};
    path.count = before;
    return false;
  });
}

bool walk(std::string_view s, Stage stage, Path& path) {
  switch (stage) {
    case Stage::Start: {
      if (s.empty()) return true;
      // A frame's gross/net/tare letter before any unit: "1250.5G", "1GM".
      if (walkMarks(s, Place::AfterDigits, Stage::AfterLabel, path, true)) return true;
      if (walkUnits(s, path)) return true;
      if (walkMarks(s, Place::BeforeUnit, Stage::BeforeUnit, path)) return true;
      if (walkMarks(s, Place::AfterDigits, Stage::AfterLabel, path)) return true;
      // A device number glued to a status header: "01ST".
      if (const auto* m = markAt(s, Place::BeforeNumber)) {
        path.address = true;
        return path.push(m->meaning);
      }
      return false;
    }
    case Stage::BeforeUnit:
      return walkUnits(s, path) || walkMarks(s, Place::BeforeUnit, Stage::BeforeUnit, path);
    case Stage::AfterUnit:
      return s.empty() || walkMarks(s, Place::AfterUnit, Stage::AfterUnit, path);
    case Stage::AfterLabel:
      return s.empty() || walkMarks(s, Place::AfterLabel, Stage::AfterLabel, path);
    case Stage::AfterEcho:
      return s.empty() || walkMarks(s, Place::AfterEcho, Stage::AfterEcho, path);
  }
  return false;
}

// Digits on both sides of '/' or ':': "2009/12/31", "12:34:56".
bool hasDateOrTimeShape(std::string_view t) {
  for (std::size_t i = 1; i + 1 < t.size(); ++i) {
    if ((t[i] == '/' || t[i] == ':') && isDigit(t[i - 1]) && isDigit(t[i + 1])) return true;
  }
  return false;
}

// Three groups of digits joined by points: "14.01.2011", "10.05.40".
bool hasDottedDateShape(std::string_view t) {
  int groups = 0;
  std::size_t i = 0;
  while (i < t.size()) {
    const std::size_t start = i;
    while (i < t.size() && isDigit(t[i])) ++i;
    const std::size_t length = i - start;
    if (length == 0 || length > 4) return false;
    ++groups;
    if (i == t.size()) break;
    if (t[i] != '.') return false;
    ++i;
  }
  return groups == 3;
}

void classifyNumber(Field& f) {
  const std::string_view t = f.text;
  std::size_t i = isSign(t[0]) ? 1 : 0;
  while (i < t.size() && isDigit(t[i])) ++i;
  f.integer = !isSign(t[0]);
  const auto separatorAt = [&](std::size_t at) {
    return at + 1 < t.size() && (t[at] == '.' || t[at] == ',') && isDigit(t[at + 1]);
  };
  if (separatorAt(i)) {
    f.integer = false;
    ++i;
    while (i < t.size() && isDigit(t[i])) ++i;
    if (separatorAt(i)) {  // two decimal points: a date, a version, never a weight
      f.kind = hasDottedDateShape(t) ? Kind::DateTime : Kind::Code;
      return;
    }
  }
  if (i + 2 < t.size() && t[i] == '[' && isDigit(t[i + 1]) && t[i + 2] == ']') i += 3;
  f.number = t.substr(0, i);
  if (i < t.size() && t[i] == '.') ++i;  // "12." has no decimals
  Path path;
  if (!walk(t.substr(i), Stage::Start, path)) {
    f.kind = Kind::Code;
    return;
  }
  f.kind = Kind::Number;
  f.unit = path.unit;
  f.address = path.address;
  f.marks = path.sum();
}

// An identifier word with its number glued: "No.001".
bool isIdWithNumber(std::string_view t) {
  const auto digit = std::find_if(t.begin(), t.end(), isDigit);
  if (digit == t.begin() || digit == t.end() || !std::all_of(digit, t.end(), isDigit)) return false;
  std::string_view prefix = t.substr(0, static_cast<std::size_t>(digit - t.begin()));
  if (prefix.size() > 1 && prefix.back() == ':') prefix.remove_suffix(1);
  return lineWord(prefix) == LineWord::Id;
}

// An echo with its status glued: "SUI?", "SI+".
bool classifyEcho(Field& f) {
  Path path;
  const bool found = marksStarting(f.text, Place::LineStart, [&](std::size_t length, const StatusMark& m) {
    if (m.meaning != MarkMeaning::Echo || length == f.text.size()) return false;
    path.count = 0;
    return path.push(m.meaning) && walk(f.text.substr(length), Stage::AfterEcho, path);
  });
  if (!found) return false;
  f.kind = Kind::Marks;
  f.marks = path.sum();
  return true;
}

// Marks, a range digit and its label, glued, at the start: "O1G", "U1G".
bool classifyStatusField(Field& f) {
  Path path;
  const bool found = marksStarting(f.text, Place::LineStart, [&](std::size_t length, const StatusMark& m) {
    std::size_t i = length;
    while (i < f.text.size() && isDigit(f.text[i])) ++i;
    if (i == length || i - length > 3) return false;
    path = Path{};
    return path.push(m.meaning) && walk(f.text.substr(i), Stage::Start, path) && path.unit.empty();
  });
  if (!found) return false;
  f.kind = Kind::Marks;
  f.marks = path.sum();
  f.lineStartOnly = true;
  return true;
}

void classify(Field& f) {
  const std::string_view t = f.text;
  if (t == "+" || t == "-") {
    f.kind = Kind::Sign;
    return;
  }
  if (hasDateOrTimeShape(t)) {
    f.kind = Kind::DateTime;
    return;
  }
  if (isDigit(t[0]) || (t.size() > 1 && isSign(t[0]) && isDigit(t[1]))) {
    classifyNumber(f);
    return;
  }
  std::string_view word = t;
  if (word.size() > 1 && word.back() == ':') word.remove_suffix(1);
  if (const auto w = lineWord(word)) {
    f.kind = Kind::Word;
    f.word = *w;
    return;
  }
  if (isMark(word)) {
    f.kind = Kind::Marks;
    f.text = word;
    f.alsoUnit = unitNamed(word).has_value();
    return;
  }
  if (isIdWithNumber(t)) {
    f.kind = Kind::Code;
    f.idNumber = true;
    return;
  }
  Path path;
  if (walkUnits(t, path)) {
    f.kind = Kind::Unit;
    f.unit = path.unit;
    f.marks = path.sum();
    return;
  }
  if (classifyEcho(f) || classifyStatusField(f)) return;
  f.kind = std::any_of(t.begin(), t.end(), isDigit) ? Kind::Code : Kind::Plain;
}

// "0012,50" and "12,5kg" are one number with a decimal comma; elsewhere a
// comma separates fields.
bool isDecimalCommaWord(std::string_view w) {
  std::size_t i = !w.empty() && isSign(w[0]) ? 1 : 0;
  const std::size_t start = i;
  while (i < w.size() && isDigit(w[i])) ++i;
  if (i == start || i + 1 >= w.size() || w[i] != ',' || !isDigit(w[i + 1])) return false;
  const std::string_view rest = w.substr(i + 1);
  return rest.find(',') == std::string_view::npos && rest.find('.') == std::string_view::npos;
}

}  // namespace

void MarkSum::add(MarkMeaning meaning) {
  ReadingStatus s = ReadingStatus::None;
  switch (meaning) {
    case MarkMeaning::Gross:
      label = WeightLabel::Gross;
      return;
    case MarkMeaning::Net:
      label = WeightLabel::Net;
      return;
    case MarkMeaning::Tare:
      label = WeightLabel::Tare;
      return;
    case MarkMeaning::Echo:
      echo = true;
      break;
    case MarkMeaning::Neutral:
      break;
    case MarkMeaning::Settled:
      s = ReadingStatus::Settled;
      break;
    case MarkMeaning::Moving:
      s = ReadingStatus::Moving;
      break;
    case MarkMeaning::Overload:
      s = ReadingStatus::Overload;
      break;
    case MarkMeaning::Underload:
      s = ReadingStatus::Underload;
      break;
    case MarkMeaning::Error:
      s = ReadingStatus::Error;
      break;
  }
  marked = true;
  if (severity(s) > severity(status)) status = s;
}

void MarkSum::add(const MarkSum& other) {
  if (severity(other.status) > severity(status)) status = other.status;
  marked = marked || other.marked;
  echo = echo || other.echo;
  if (other.label != WeightLabel::None) label = other.label;
}

void split(std::string_view line, Fields& out) {
  out.count = 0;
  bool comma = false;
  std::size_t i = 0;
  while (i < line.size() && out.count < kMaxFields) {
    if (isBlank(line[i]) || line[i] == ',') {
      comma = comma || line[i] == ',';
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < line.size() && !isBlank(line[end])) ++end;
    // Only a whole word between blanks may hold a decimal comma.
    const bool wordStart = i == 0 || isBlank(line[i - 1]);
    if (!wordStart || !isDecimalCommaWord(line.substr(i, end - i))) end = std::min(end, line.find(',', i));
    Field& f = out.items[out.count++];
    f = Field{};
    f.text = line.substr(i, end - i);
    f.end = end;
    f.afterComma = comma;
    classify(f);
    comma = false;
    i = end;
  }
}

}  // namespace pondex::fields
