#pragma once
// How real instruments mark a reading: the status marks with the places
// where they may stand and what they mean, the units a weight may carry,
// and the words that make a number no weight. These are tables to read and
// extend: a new instrument family whose marks stand in the same places
// needs a row, not code. They hold marks and words, never whole lines.
//
// A line is read as fields, separated by blanks or commas. A mark is a
// field of its own or glued to the number, the unit or a command echo; it
// is found only where the whole field is made of units, marks and at most
// one number, so "MO" is a mark in "LBGMO" but never inside "Model".
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pondex {

enum class ReadingStatus { None, Settled, Moving, Overload, Underload, Error };

enum class WeightLabel { None, Gross, Net, Tare };

// What a mark says. An echo is the command a reply repeats at its start
// ("S", "SI"): the field after it may hold the status. A neutral mark is
// known and says nothing of the weight (a checkweighing result).
enum class MarkMeaning { Settled, Moving, Overload, Underload, Error, Gross, Net, Tare, Echo, Neutral };

// Where a mark may stand, relative to the line, the number and the unit.
// A set of places is their bits or-ed together.
enum class Place : std::uint16_t {
  LineStart = 1 << 0,     // the first field: "? -  2.237 lb", "^  0.000 kg", "O1G  600.1lb"
  AfterEcho = 1 << 1,     // the field after an echo or a leading label, or glued to it: "S D", "SUI?", "SI+"
  BeforeNumber = 1 << 2,  // a header field before the number: "ST,+00123.45  g", "...,12:34:56,ST,+0.12,g"
  AfterDigits = 1 << 3,   // glued to the digits with no unit after them (a frame's status letter): "1250.5M"
  AfterLabel = 1 << 4,    // glued after such a letter: "1GM"
  BeforeUnit = 1 << 5,    // glued between the digits and the unit: "0012.34MlbG"
  AfterUnit = 1 << 6,     // after the unit (and its gross/net/tare letter), glued or apart: "LBGMO", "g?", "g  ?"
  LineEnd = 1 << 7,       // the last field, apart from the unit: "65.4321KG U"
};

constexpr Place operator|(Place a, Place b) {
  return static_cast<Place>(static_cast<std::uint16_t>(a) | static_cast<std::uint16_t>(b));
}
constexpr bool allows(Place set, Place place) {
  return (static_cast<std::uint16_t>(set) & static_cast<std::uint16_t>(place)) != 0;
}
inline constexpr Place kAnywhere = static_cast<Place>(0xFF);

enum class Letters { Exact, AnyCase };

struct StatusMark {
  std::string_view mark;
  Place places;
  MarkMeaning meaning;
  Letters letters = Letters::Exact;
};

// The marks, first match wins among the rows allowed at a place.
inline constexpr StatusMark kStatusMarks[] = {
    // A header before the number.
    {"ST", Place::LineStart | Place::BeforeNumber, MarkMeaning::Settled},
    {"US", Place::LineStart | Place::BeforeNumber, MarkMeaning::Moving},
    {"SD", Place::LineStart | Place::BeforeNumber, MarkMeaning::Moving},
    {"OL", Place::LineStart | Place::BeforeNumber, MarkMeaning::Overload},
    {"UL", Place::LineStart | Place::BeforeNumber, MarkMeaning::Underload},
    {"QT", Place::LineStart | Place::BeforeNumber, MarkMeaning::Settled},  // a settled count
    {"WT", Place::LineStart | Place::BeforeNumber, MarkMeaning::Settled},
    {"GS", Place::LineStart | Place::BeforeNumber, MarkMeaning::Gross},
    {"NT", Place::LineStart | Place::BeforeNumber, MarkMeaning::Net},
    {"OK", Place::BeforeNumber, MarkMeaning::Neutral},  // checkweighing results
    {"HI", Place::BeforeNumber, MarkMeaning::Neutral},
    {"LO", Place::BeforeNumber, MarkMeaning::Neutral},
    {"--", Place::BeforeNumber, MarkMeaning::Neutral},
    // The command a reply repeats, then its status.
    {"S", Place::LineStart, MarkMeaning::Echo},
    {"SI", Place::LineStart, MarkMeaning::Echo},
    {"SU", Place::LineStart, MarkMeaning::Echo},
    {"SUI", Place::LineStart, MarkMeaning::Echo},
    {"SIR", Place::LineStart, MarkMeaning::Echo},
    {"Stat", Place::LineStart, MarkMeaning::Echo, Letters::AnyCase},  // a status line instead of a value
    {"S", Place::AfterEcho | Place::LineEnd, MarkMeaning::Settled},
    {"D", Place::AfterEcho, MarkMeaning::Moving},
    {"I", Place::AfterEcho, MarkMeaning::Error},  // busy, or did not settle in time
    {"A", Place::AfterEcho, MarkMeaning::Neutral},
    {"+", Place::AfterEcho, MarkMeaning::Overload},  // a sign with no digits after it
    {"-", Place::AfterEcho, MarkMeaning::Underload},
    {"H", Place::AfterEcho, MarkMeaning::Overload},
    {"L", Place::AfterEcho, MarkMeaning::Underload},
    // Wherever it stands.
    {"?", kAnywhere, MarkMeaning::Moving},
    // The first field, or a frame's status letter glued to the digits.
    {"^", Place::LineStart, MarkMeaning::Overload},
    {"v", Place::LineStart, MarkMeaning::Underload},
    {"O", Place::LineStart | Place::AfterDigits | Place::AfterUnit, MarkMeaning::Overload},
    {"U", Place::LineStart | Place::AfterDigits, MarkMeaning::Underload},
    {"E", Place::LineStart | Place::AfterDigits | Place::AfterUnit | Place::LineEnd, MarkMeaning::Error},
    // Around the unit and at the end of the line.
    {"M", Place::AfterDigits | Place::AfterLabel | Place::BeforeUnit | Place::AfterUnit | Place::LineEnd,
     MarkMeaning::Moving},
    {"MO", Place::AfterUnit | Place::LineEnd, MarkMeaning::Moving},
    {"MOT", Place::AfterUnit | Place::LineEnd, MarkMeaning::Moving, Letters::AnyCase},
    {"MOT.", Place::AfterUnit | Place::LineEnd, MarkMeaning::Moving, Letters::AnyCase},
    {"MOTION", Place::LineStart | Place::AfterUnit | Place::LineEnd, MarkMeaning::Moving, Letters::AnyCase},
    {"U", Place::AfterUnit | Place::LineEnd, MarkMeaning::Moving},
    {"OC", Place::AfterUnit | Place::LineEnd, MarkMeaning::Overload},
    {"CZ", Place::AfterUnit | Place::LineEnd, MarkMeaning::Neutral},  // centre of zero
    {"ee", Place::AfterUnit | Place::LineEnd, MarkMeaning::Error},    // not displayed
    // Gross, net and tare: a leading field, a frame's letter after the
    // digits (or after a range digit), a letter after the unit, a legend.
    {"G", Place::LineStart | Place::AfterDigits | Place::AfterUnit, MarkMeaning::Gross},
    {"N", Place::LineStart | Place::AfterDigits | Place::AfterUnit, MarkMeaning::Net},
    {"T", Place::LineStart | Place::AfterDigits | Place::AfterUnit, MarkMeaning::Tare},
    {"G#", Place::LineStart, MarkMeaning::Gross},
    {"PT", Place::AfterUnit | Place::LineEnd, MarkMeaning::Tare},  // a preset tare
    {"GROSS", Place::LineStart | Place::BeforeNumber | Place::AfterUnit | Place::LineEnd, MarkMeaning::Gross,
     Letters::AnyCase},
    {"NET", Place::LineStart | Place::BeforeNumber | Place::AfterUnit | Place::LineEnd, MarkMeaning::Net,
     Letters::AnyCase},
    {"TARE", Place::LineStart | Place::BeforeNumber | Place::AfterUnit | Place::LineEnd, MarkMeaning::Tare,
     Letters::AnyCase},
};

// A numeric status field after a unitless weight and its address
// ("-00001.0,01,006": weight, address, status) is a sum of bits.
inline constexpr unsigned kStatusOverloadBit = 1;
inline constexpr unsigned kStatusStandstillBit = 2;  // absent: moving

// The units a weight may carry, in any case; `name` is how a reading
// reports it. Split off longest first: "LBGMO" is "LB", "G", "MO".
struct WeightUnit {
  std::string_view spelling;
  std::string_view name;
};

inline constexpr WeightUnit kWeightUnits[] = {
    {"ozt", "ozt"}, {"dwt", "dwt"}, {"mom", "mom"}, {"pcs", "pcs"}, {"lbs", "lb"}, {"mg", "mg"},
    {"kg", "kg"},   {"lb", "lb"},   {"oz", "oz"},   {"ct", "ct"},   {"gn", "gn"},  {"tl", "tl"},
    {"pc", "pcs"},  {"g", "g"},     {"t", "t"},     {"N", "N"},     {"%", "%"},
};

// Words that make a number near them no weight, compared in any case and
// without a trailing colon.
enum class LineWord {
  Id,        // the number after it is an identifier: "ID", "No.", "S/N"
  Heading,   // a line of a report's heading: no weight on it ("MODEL", "Vers.")
  Error,     // an error report: no weight on it ("Err")
  DateTime,  // "Date", "Time": the date or time after it is never a weight
};

struct LineWordEntry {
  std::string_view word;
  LineWord kind;
};

inline constexpr LineWordEntry kLineWords[] = {
    {"ID", LineWord::Id},           {"No", LineWord::Id},         {"No.", LineWord::Id},
    {"Nr", LineWord::Id},           {"Nr.", LineWord::Id},        {"S/N", LineWord::Id},
    {"SN", LineWord::Id},           {"Ser.no.", LineWord::Id},    {"Serial", LineWord::Id},
    {"Lot", LineWord::Id},          {"Code", LineWord::Id},       {"User", LineWord::Id},
    {"Seq", LineWord::Id},          {"Ticket", LineWord::Id},     {"Model", LineWord::Heading},
    {"Type", LineWord::Heading},    {"Vers.", LineWord::Heading}, {"Ver.", LineWord::Heading},
    {"Version", LineWord::Heading}, {"SCALE", LineWord::Heading}, {"Page", LineWord::Heading},
    {"Err", LineWord::Error},       {"Error", LineWord::Error},   {"Date", LineWord::DateTime},
    {"Time", LineWord::DateTime},
};

// The rows of kStatusMarks allowed at `place` whose mark is the whole of
// `field`; the first, or none.
const StatusMark* markAt(std::string_view field, Place place);
// Whether `field` is a mark at any place.
bool isMark(std::string_view field);
// Calls `each` with the length of every mark allowed at `place` that
// `text` begins with, longest first, until it returns true.
template <typename Each>
bool marksStarting(std::string_view text, Place place, Each each);

// The units `text` begins with, longest first, as (length, name).
template <typename Each>
bool unitsStarting(std::string_view text, Each each);
// The unit that is the whole of `field`.
std::optional<std::string_view> unitNamed(std::string_view field);

std::optional<LineWord> lineWord(std::string_view field);

bool sameLetters(std::string_view a, std::string_view b, Letters letters);

template <typename Each>
bool marksStarting(std::string_view text, Place place, Each each) {
  // Longest first: the table is short, so each length is tried in turn.
  for (std::size_t length = 6; length > 0; --length) {
    if (length > text.size()) continue;
    for (const auto& m : kStatusMarks) {
      if (m.mark.size() == length && allows(m.places, place) &&
          sameLetters(text.substr(0, length), m.mark, m.letters)) {
        if (each(length, m)) return true;
      }
    }
  }
  return false;
}

template <typename Each>
bool unitsStarting(std::string_view text, Each each) {
  for (const auto& u : kWeightUnits) {  // longest first already
    if (u.spelling.size() <= text.size() &&
        sameLetters(text.substr(0, u.spelling.size()), u.spelling, Letters::AnyCase)) {
      if (each(u.spelling.size(), u.name)) return true;
    }
  }
  return false;
}

}  // namespace pondex
