#pragma once
// Weights out of what a scale sends, for the "number alone" mode: received
// text is cut into lines, each line is one reading, and a reading gives its
// number, typed the same way whatever the scale's line looks like.
//
// - Lines come from core/line_splitter.h. A number that runs into a line's
//   cut gives nothing rather than a wrong weight. A line still unended when
//   the scale falls silent is a reading too (silence()).
// - The number is the first run of digits, with a sign before it (blanks
//   between them allowed) and a decimal part ("." or "," and digits) after
//   it. It is typed with a sign only when negative, without leading zeros
//   before the units digit, with the decimals as sent and the separator the
//   caller chooses.
// - The status of a reading comes from the marker table (kStatusMarkers):
//   moving and overload readings are recognised by their marks; a reading
//   without one counts as settled.
// - Settled readings only, once per weighing: a settled reading is typed
//   when nothing was typed since the weighing began or when its value
//   differs from the last one typed; a settled zero types nothing and
//   begins a new weighing; a moving reading types nothing. The first
//   reading after the read command is the answer the person asked for: it
//   is typed when settled even if it repeats the last value.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/line_splitter.h"

namespace pondex {

enum class ReadingStatus { Settled, Moving, Overload };

// One entry of the marker table: `mark` at the start of the line (after
// blanks) or at its end (before blanks) gives the reading `status`.
struct StatusMarker {
  enum class Place { Start, End };
  std::string_view mark;
  Place place;
  ReadingStatus status;
};

// The marks recognised, first match wins. Settled marks need no entry (a
// reading without a mark is settled); they are listed so the table tells
// the whole shape of each line.
inline constexpr StatusMarker kStatusMarkers[] = {
    {"S S", StatusMarker::Place::Start, ReadingStatus::Settled},   // S S      12.345 kg
    {"S D", StatusMarker::Place::Start, ReadingStatus::Moving},    // S D      10.100 kg
    {"ST,", StatusMarker::Place::Start, ReadingStatus::Settled},   // ST,+00007.125  kg
    {"US,", StatusMarker::Place::Start, ReadingStatus::Moving},    // US,+00007.500  kg
    {"OL,", StatusMarker::Place::Start, ReadingStatus::Overload},  // OL,+99999.999  kg
    {"?", StatusMarker::Place::End, ReadingStatus::Moving},        //      1.250 g  ?
};

ReadingStatus readingStatus(std::string_view line, std::span<const StatusMarker> markers = kStatusMarkers);

// The number of a line as sent.
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

std::optional<WeightNumber> weightNumber(std::string_view line);

// The once-per-weighing rule over readings that have a number.
class WeighingRule {
 public:
  // Whether this reading is typed; `asked` when it answers the read command.
  bool take(ReadingStatus status, const WeightNumber& number, bool asked);
  void newWeighing() { lastTyped_.reset(); }

 private:
  std::optional<WeightNumber> lastTyped_;
};

// One reading as the weight mode takes it.
struct Reading {
  std::string number;  // as typed, with the caller's decimal separator
  std::string unit;    // as recognised, "" when none
  bool settled = true;
  bool answer = false;  // answers the read command
  Millis lineEndedAt{0};
};

// Lines in, readings to type out.
class WeightReader {
 public:
  struct Options {
    bool settledOnly = false;
    char separator = '.';
  };

  // The readings a complete line decides now.
  std::vector<Reading> line(const ReceivedLine& line, const Options& options);
  // When a held reading must be decided if no line comes first; nothing
  // when none is held.
  [[nodiscard]] std::optional<Millis> deadline() const { return std::nullopt; }
  // The readings due by `now`.
  std::vector<Reading> timeUp(Millis /*now*/, const Options& /*options*/) { return {}; }

  // The numbers of the readings this piece completes (lines split here).
  std::vector<std::string> piece(std::string_view text, const Options& options);
  // The scale fell silent: the number of the unended line, if it gives one.
  std::optional<std::string> silence(const Options& options);

  // The read command went out: the next reading is its answer.
  void readingAsked() { asked_ = true; }
  // The answer did not come in time: the next reading is an ordinary one.
  void answerLapsed() { asked_ = false; }
  void newWeighing() { rule_.newWeighing(); }
  // The input closed: nothing pending is typed.
  void dropPending() { lines_.closed(); }
  // Forgets everything: a pending reading, the weighing, a pending answer.
  void clear();

 private:
  std::optional<std::string> reading(const ReceivedLine& line, const Options& options);

  LineSplitter lines_;  // for piece() and silence()
  WeighingRule rule_;
  bool asked_ = false;
};

}  // namespace pondex
