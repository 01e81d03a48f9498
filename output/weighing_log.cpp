#include "output/weighing_log.h"

#include <algorithm>
#include <memory>
#include <span>
#include <utility>

#include "output/data_file.h"
#include "platform/portable/code_page.h"

namespace pondex {
namespace {

// Enough of a file's start to hold its first line.
constexpr std::size_t kProbeBytes = 256;

char separatorChar(LogSeparator separator) {
  return separator == LogSeparator::Semicolon ? ';' : ',';
}

void digits(std::string& out, int value, int count) {
  std::string text(static_cast<std::size_t>(count), '0');
  for (auto it = text.rbegin(); it != text.rend() && value > 0; ++it, value /= 10) {
    *it = static_cast<char>('0' + value % 10);
  }
  out += text;
}

void field(std::string& out, std::string_view text, char separator) {
  if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// The separator of a file from its first line: the first ";" or "," in it.
LogSeparator separatorOfFile(std::string_view start, LogSeparator otherwise) {
  start = start.substr(0, start.find_first_of("\r\n"));
  const auto at = start.find_first_of(";,");
  if (at == std::string_view::npos) return otherwise;
  return start[at] == ';' ? LogSeparator::Semicolon : LogSeparator::Comma;
}

std::string fileLine(const std::string& utf8) {
  return text::fromUtf8(utf8, text::kWindows1250).bytes + "\r\n";
}

std::span<const std::uint8_t> bytesOf(const std::string& line) {
  return {reinterpret_cast<const std::uint8_t*>(line.data()), line.size()};
}

}  // namespace

std::string logFileName(const LocalDateTime& at) {
  std::string name;
  digits(name, at.year % 100, 2);
  digits(name, at.month, 2);
  digits(name, at.day, 2);
  return name + ".csv";
}

std::string logHeader(LogSeparator separator) {
  const char s = separatorChar(separator);
  std::string header = "data";
  for (const char* name : {"godzina", "masa", "jednostka", "stan", "odpowiedź"}) {
    header += s;
    header += name;
  }
  return header;
}

std::string logRow(const LoggedReading& reading, LogSeparator separator) {
  const char s = separatorChar(separator);
  const LocalDateTime& t = reading.endedAt;
  std::string row;
  digits(row, t.year, 4);
  row += '-';
  digits(row, t.month, 2);
  row += '-';
  digits(row, t.day, 2);
  row += s;
  digits(row, t.hour, 2);
  row += ':';
  digits(row, t.minute, 2);
  row += ':';
  digits(row, t.second, 2);
  row += '.';
  digits(row, t.millisecond, 3);
  row += s;
  field(row, reading.number, s);
  row += s;
  field(row, reading.unit, s);
  row += s;
  row += reading.settled ? "ustalona" : "nieustalona";
  row += s;
  if (reading.answer) row += "tak";
  return row;
}

// One file opened for an attempt, with the separator it keeps.
struct WeighingLog::OpenLog {
  std::string path;
  std::unique_ptr<OutputFile> file;
  LogSeparator separator = LogSeparator::Semicolon;
};

bool WeighingLog::add(LoggedReading reading, LogSeparator separator, Millis now) {
  if (waiting_.size() >= kMaxWaiting) flush(now);
  if (waiting_.size() >= kMaxWaiting) {
    ++dropped_;
    return false;
  }
  waiting_.push_back({std::move(reading), separator});
  flush(now);
  return true;
}

std::optional<Millis> WeighingLog::deadline() const {
  if (waiting_.empty()) return std::nullopt;
  if (shown_ || !failingSince_) return nextRetry_;
  return std::min(nextRetry_, *failingSince_ + kFailureShownAfter);
}

void WeighingLog::timeUp(Millis now) {
  if (waiting_.empty()) return;
  if (now >= nextRetry_) flush(now);
  if (!waiting_.empty() && !shown_ && failingSince_ && now - *failingSince_ >= kFailureShownAfter) {
    shown_ = lastFailure_;
    if (onFailureChanged_) onFailureChanged_();
  }
}

void WeighingLog::flush(Millis now) {
  OpenLog open;
  while (!waiting_.empty()) {
    const Row& row = waiting_.front();
    std::string path = dataFilePath(folder_, logFileName(row.reading.endedAt));
    if (path != open.path || !open.file) {
      open.file.reset();
      open.path = path;
      auto start = files_.readStart(path, kProbeBytes);
      if (!start.ok()) return failed(now, std::move(path), start.error);
      auto opened = files_.openForWriting(path, WriteMode::Append);
      if (!opened.ok() || !opened.value) return failed(now, std::move(path), opened.ok() ? 1 : opened.error);
      open.file = std::move(opened.value);
      if (start.value.empty()) {
        open.separator = row.separator;
        const std::string header = fileLine(logHeader(open.separator));
        if (const Status written = open.file->writeWhole(bytesOf(header)); !written.ok()) {
          return failed(now, std::move(path), written.error);
        }
      } else {
        open.separator = separatorOfFile(start.value, row.separator);
      }
    }
    const std::string line = fileLine(logRow(row.reading, open.separator));
    if (const Status written = open.file->writeWhole(bytesOf(line)); !written.ok()) {
      return failed(now, std::move(path), written.error);
    }
    lastWritten_ = open.path;
    waiting_.pop_front();
  }
  failingSince_.reset();
  if (shown_) {
    shown_.reset();
    if (onFailureChanged_) onFailureChanged_();
  }
}

void WeighingLog::failed(Millis now, std::string path, int error) {
  if (!failingSince_) failingSince_ = now;
  nextRetry_ = now + kRetryInterval;
  lastFailure_ = {std::move(path), error};
  if (shown_) shown_ = lastFailure_;
}

}  // namespace pondex
