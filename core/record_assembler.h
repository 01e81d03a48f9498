#pragma once
// Readings over time, for the weight mode: received lines grouped into
// records, which reading of a record is typed and when, and the
// once-per-weighing rule. Every input carries its time, on the event
// loop's millisecond clock (ReceivedLine::endedAt); nothing here reads a
// clock, so the caller runs deadline() and timeUp() on its own timer.
//
// - A record is the lines one burst brings: a printed ticket (headings of
//   date, time and ID, labelled gross, tare and net lines, free text) or a
//   single reading. It ends at its net line, at a line that repeats a
//   label already in it (for a stream of single readings, the next
//   reading), at a heading that begins a new ticket, or kRecordWait after
//   its last line's end.
// - A ticket types its net; with no net, its gross when no tare came with
//   it; never a tare. A single reading types itself.
// - A reading is decided at once when nothing could still change it: a
//   net, or an unlabelled reading whose status is known (a mark on it, or
//   on the readings around it). A gross or tare, a reading inside a
//   ticket, and an unmarked reading from an instrument that has shown no
//   marks (a status line may follow it) wait at most kRecordWait.
// - A status line (marks, no weight) gives its status to an unmarked
//   weight of the same record, whether it comes before or after it.
// - A stream without marks: once readings have come less than
//   kStreamInterval apart for kStreamSpan or more and none carried a mark,
//   an unmarked reading is settled only when the same value came
//   kSameReadings times in a row, moving otherwise.
// - The read command's answer is the next reading: decided at once, never
//   held for the same value, and typed even if it repeats the last one.
// - Settled readings only (Options::settledOnly): WeighingRule. Without
//   it, moving readings are typed too. Overloads, underloads, errors and
//   lines with no weight never type anything.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/line_recognition.h"
#include "core/line_splitter.h"
#include "platform/event_loop.h"

namespace pondex {

// One reading to deliver.
struct Reading {
  std::string number;  // as typed, with the caller's decimal separator
  std::string unit;    // as kWeightUnits names it, "" when the line had none
  bool settled = false;
  bool answer = false;  // it answers the read command
  Millis lineEndedAt{0};
};

// Settled readings, once per weighing: a settled reading is typed when
// nothing was typed since the weighing began or when its value differs
// from the last one typed; a settled zero types nothing and begins a new
// weighing; a moving reading types nothing. An answer to the read command
// is typed when settled even if it repeats the last value.
class WeighingRule {
 public:
  bool take(ReadingStatus status, const WeightNumber& number, bool answer);
  void newWeighing() { lastTyped_.reset(); }

 private:
  std::optional<WeightNumber> lastTyped_;
};

class RecordAssembler {
 public:
  struct Options {
    bool settledOnly = false;
    char separator = '.';
  };

  static constexpr Millis kRecordWait{150};
  static constexpr Millis kStreamInterval{300};
  static constexpr Millis kStreamSpan{2000};
  static constexpr int kSameReadings = 3;

  // A complete line, without its ending. A damaged line, or one whose
  // number runs into its cut, is no line. The readings decided now.
  std::vector<Reading> line(const ReceivedLine& line, const Options& options);
  // When what is held must be decided if no line comes first.
  [[nodiscard]] std::optional<Millis> deadline() const;
  // Decides what is due at `now`.
  std::vector<Reading> timeUp(Millis now, const Options& options);

  // The read command went out: the next reading answers it.
  void readingAsked() { answer_ = true; }
  // No answer came in time.
  void answerLapsed() { answer_ = false; }
  // The next settled reading is typed whatever was typed before.
  void newWeighing() { rule_.newWeighing(); }
  // The channel closed: what is held is dropped, like a half line.
  void dropPending();
  void clear();
  // Hears every reading a record decides, before the settled-only rule
  // chooses what is typed: the panel shows moving readings too.
  void onRecognised(std::function<void(const Reading&)> recognised) { recognised_ = std::move(recognised); }

 private:
  struct Entry {
    LineReading reading;
    ReadingStatus status = ReadingStatus::None;
    Millis endedAt{0};
    bool answer = false;  // the first reading after the read command
  };
  struct Record {
    std::vector<Entry> weights;
    ReadingStatus statusLine = ReadingStatus::None;
    bool heading = false;
    Millis lastEnd{0};
  };
  // Readings coming less than kStreamInterval apart.
  struct Run {
    std::optional<Millis> lastReading;
    Millis start{0};
    bool marked = false;       // a reading of the run carried a mark
    bool statusLines = false;  // a status line came in the run
    std::optional<WeightNumber> lastValue;
    int same = 0;
  };

  void weightLine(const LineReading& reading, Millis at, std::vector<Reading>& out, const Options& options);
  void statusLine(const LineReading& reading, Millis at, std::vector<Reading>& out, const Options& options);
  void headingLine(Millis at, std::vector<Reading>& out, const Options& options);
  // The status of an unmarked reading by the stream it came in.
  ReadingStatus streamStatus(const LineReading& reading, Millis at);
  Record& openRecord(Millis at);
  void close(std::vector<Reading>& out, const Options& options);

  std::optional<Record> open_;
  Run run_;
  WeighingRule rule_;
  bool answer_ = false;
  std::function<void(const Reading&)> recognised_;
};

}  // namespace pondex
