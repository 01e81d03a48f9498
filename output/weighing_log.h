#pragma once
// The weighing log: each reading the weight mode takes becomes one row of a
// file a spreadsheet opens, one file per day ("yymmdd.csv") in the data
// folder, always appended.
//
// - A row holds the ISO date and the local time, to the millisecond, of the
//   moment the reading's line ended; the weight as typed; its unit ("" when
//   none); "ustalona" or "nieustalona"; and "tak" when it answers the read
//   command. Its file is the day of that moment, so a reading from just
//   before midnight goes into the earlier day's file, even when it is
//   written after midnight.
// - A file's first line, once, is the header. An empty or new file gets the
//   separator of the reading that starts it; a file with content keeps the
//   separator of its first line. A field that holds the separator, a quote
//   or a line end is quoted as RFC 4180 says. Lines end in CR LF; the
//   file's bytes are Windows-1250.
// - Every row is one OutputFile::writeWhole: it is in the file whole or not
//   at all. The file is opened for each attempt and closed after it, never
//   held between readings, so that a spreadsheet may open it meanwhile.
// - A row that cannot be written (the file is held, the folder is missing)
//   waits, in order, and is written before any newer one. At most
//   kMaxWaiting rows wait: a reading that comes while that many wait is
//   dropped and counted, so that the rows already waiting continue the
//   file without a gap.
// - Nothing here reads a clock: every call takes the event loop's time, and
//   the caller runs timeUp() at deadline() on a timer of its own. Waiting
//   rows are tried again at every new reading and kRetryInterval after the
//   last failed attempt.
// - After kFailureShownAfter of failure with rows still waiting, failure()
//   is set; when the last waiting row is in, it is cleared. Both changes
//   call onFailureChanged.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/files.h"

namespace pondex {

// How a new file separates its fields: what a spreadsheet opens by a double
// click where the decimal mark is a comma (";") or a point (",").
enum class LogSeparator { Semicolon, Comma };

struct LoggedReading {
  std::string number;  // as typed
  std::string unit;    // "" when the line had none
  bool settled = false;
  bool answer = false;    // it answers the read command
  LocalDateTime endedAt;  // local time its line ended, to the millisecond
};

// "yymmdd.csv" for the day of `at`.
[[nodiscard]] std::string logFileName(const LocalDateTime& at);
// The header and a row as UTF-8, without the line end; the panel lists
// the same text the file gets.
[[nodiscard]] std::string logHeader(LogSeparator separator);
[[nodiscard]] std::string logRow(const LoggedReading& reading, LogSeparator separator);

class WeighingLog {
 public:
  static constexpr std::size_t kMaxWaiting = 10'000;
  static constexpr Millis kRetryInterval{200};
  static constexpr Millis kFailureShownAfter{5000};

  struct Failure {
    std::string path;  // the file of the oldest waiting row
    int error = 0;     // the system's number of the last failed attempt
  };

  explicit WeighingLog(FileSystem& files, std::function<void()> onFailureChanged = {})
      : files_(files), onFailureChanged_(std::move(onFailureChanged)) {}

  // The data folder; rows waiting go to the folder set when they are
  // written, so choosing another folder also rescues them.
  void setFolder(std::string folder) { folder_ = std::move(folder); }

  // Takes one reading at `now`: written at once after any rows still
  // waiting, or left waiting. False when it was dropped because
  // kMaxWaiting rows wait.
  bool add(LoggedReading reading, LogSeparator separator, Millis now);

  // When timeUp() is next due; none while nothing waits.
  [[nodiscard]] std::optional<Millis> deadline() const;
  // Retries the waiting rows and shows the failure, as far as due by `now`.
  void timeUp(Millis now);

  [[nodiscard]] std::size_t waiting() const { return waiting_.size(); }
  // Readings dropped since the start because too many rows waited.
  [[nodiscard]] std::uint64_t dropped() const { return dropped_; }
  [[nodiscard]] const std::optional<Failure>& failure() const { return shown_; }
  // The file the last row written went to; "" before the first.
  [[nodiscard]] const std::string& lastWritten() const { return lastWritten_; }

 private:
  struct Row {
    LoggedReading reading;
    LogSeparator separator;  // for a file it starts
  };
  struct OpenLog;

  // Writes waiting rows in order until one fails or none is left.
  void flush(Millis now);
  void failed(Millis now, std::string path, int error);

  FileSystem& files_;
  std::function<void()> onFailureChanged_;
  std::string folder_;
  std::deque<Row> waiting_;
  std::uint64_t dropped_ = 0;
  std::optional<Millis> failingSince_;  // the first failed attempt of the rows waiting now
  Millis nextRetry_{0};
  Failure lastFailure_;
  std::optional<Failure> shown_;
  std::string lastWritten_;
};

}  // namespace pondex
