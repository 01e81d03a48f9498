#pragma once
// A line cut into fields, each field told apart by its shape alone: a
// number with what is glued to it, a sign, a unit, marks, a word of
// kLineWords, a date or time, a code, any other word. Where a mark alone means
// what depends on where it stands relative to the weight, which
// core/line_recognition.cpp decides.
#include <array>
#include <cstddef>
#include <string_view>

#include "core/status_marks.h"

namespace pondex::fields {

enum class Kind {
  Number,    // digits, perhaps signed, with a unit, label or marks glued
  Sign,      // "+" or "-" alone
  Unit,      // a unit, perhaps with its label and marks glued: "kg", "lbG", "g?"
  Marks,     // a mark alone, an echo with its marks ("SUI?"), a status field ("O1G")
  Word,      // a word of kLineWords
  DateTime,  // "2009/12/31", "12:34:56"
  Code,      // digits mixed with other characters: "XY-300", "No.001", "1.1007.12.1"
  Plain,     // any other word: dashes or carets where digits would stand too
};

// What the marks glued in one field say, together.
struct MarkSum {
  ReadingStatus status = ReadingStatus::None;
  bool marked = false;
  bool echo = false;
  WeightLabel label = WeightLabel::None;

  void add(MarkMeaning meaning);
  void add(const MarkSum& other);
};

struct Field {
  std::string_view text;
  std::size_t end = 0;      // just past the field in the line
  bool afterComma = false;  // a comma, not only blanks, stands before it
  Kind kind = Kind::Plain;

  // A number: sign, digits, separator, decimals, a bracketed digit.
  std::string_view number;
  bool integer = false;        // digits alone, no sign, no separator
  bool address = false;        // glued to a status header: a device number ("01ST")
  std::string_view unit;       // a glued unit or a Unit field's, by its name
  MarkSum marks;               // what is glued to it
  bool lineStartOnly = false;  // a status field whose marks stand first ("O1G")
  bool alsoUnit = false;       // a mark that is also a unit ("G", "N", "T")
  bool idNumber = false;       // an identifier with its number glued ("No.001")
  LineWord word = LineWord::Id;
};

inline constexpr std::size_t kMaxFields = 40;

struct Fields {
  std::array<Field, kMaxFields> items;
  std::size_t count = 0;
};

// Cuts `line` into fields (at most kMaxFields; the rest is not read).
void split(std::string_view line, Fields& out);

}  // namespace pondex::fields
