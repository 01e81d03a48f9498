#include "core/record_assembler.h"

#include <algorithm>

namespace pondex {
namespace {

bool typesNothing(ReadingStatus s) {
  return s != ReadingStatus::Settled && s != ReadingStatus::Moving;
}

template <typename Entries>
auto lastLabelled(const Entries& weights, WeightLabel label) {
  const auto found =
      std::find_if(weights.rbegin(), weights.rend(), [label](const auto& e) { return e.reading.label == label; });
  return found == weights.rend() ? nullptr : &*found;
}

}  // namespace

bool WeighingRule::take(ReadingStatus status, const WeightNumber& number, bool answer) {
  if (status != ReadingStatus::Settled) return false;
  if (answer) {
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

std::vector<Reading> RecordAssembler::line(const ReceivedLine& line, const Options& options) {
  std::vector<Reading> out;
  if (line.damaged) return out;
  const LineReading reading = recogniseLine(line.text);
  if (line.cut && reading.numberAtEnd) return out;  // the number may have gone on past the cut
  const Millis at = line.endedAt;
  if (open_ && at >= open_->lastEnd + kRecordWait) close(out, options);
  if (reading.isWeight) {
    weightLine(reading, at, out, options);
  } else if (reading.status != ReadingStatus::None) {
    statusLine(reading, at, out, options);
  } else if (reading.heading) {
    headingLine(at, out, options);
  } else if (open_) {
    open_->lastEnd = at;  // free text inside a ticket
  }
  return out;
}

std::optional<Millis> RecordAssembler::deadline() const {
  if (!open_) return std::nullopt;
  return open_->lastEnd + kRecordWait;
}

std::vector<Reading> RecordAssembler::timeUp(Millis now, const Options& options) {
  std::vector<Reading> out;
  if (open_ && now >= open_->lastEnd + kRecordWait) close(out, options);
  return out;
}

void RecordAssembler::dropPending() {
  open_.reset();
}

void RecordAssembler::clear() {
  open_.reset();
  run_ = Run{};
  rule_.newWeighing();
  answer_ = false;
}

ReadingStatus RecordAssembler::streamStatus(const LineReading& reading, Millis at) {
  if (!run_.lastReading || at - *run_.lastReading >= kStreamInterval) run_ = Run{.start = at};
  run_.lastReading = at;
  run_.marked = run_.marked || reading.marked;
  run_.same = run_.lastValue && run_.lastValue->sameValue(reading.number) ? run_.same + 1 : 1;
  run_.lastValue = reading.number;
  const bool markless = !run_.marked && !run_.statusLines && at - run_.start >= kStreamSpan;
  if (reading.marked || !markless || answer_) return reading.status;
  return run_.same >= kSameReadings ? ReadingStatus::Settled : ReadingStatus::Moving;
}

RecordAssembler::Record& RecordAssembler::openRecord(Millis at) {
  if (!open_) open_ = Record{};
  open_->lastEnd = at;
  return *open_;
}

void RecordAssembler::weightLine(const LineReading& reading, Millis at, std::vector<Reading>& out,
                                 const Options& options) {
  const ReadingStatus status = streamStatus(reading, at);
  if (open_ && !open_->weights.empty()) {
    const bool repeated = lastLabelled(open_->weights, reading.label) != nullptr;
    if (repeated || reading.heading) close(out, options);
  }
  Record& record = openRecord(at);
  record.weights.push_back({reading, status, at, answer_});
  const bool answer = answer_;
  answer_ = false;
  const bool statusKnown = reading.marked || run_.marked || record.statusLine != ReadingStatus::None;
  const bool unlabelledAndKnown = reading.label == WeightLabel::None && !record.heading && (statusKnown || answer);
  if (reading.label == WeightLabel::Net || unlabelledAndKnown) close(out, options);
}

void RecordAssembler::statusLine(const LineReading& reading, Millis at, std::vector<Reading>& out,
                                 const Options& options) {
  if (run_.lastReading && at - *run_.lastReading < kStreamInterval) run_.statusLines = true;
  if (open_ && !open_->weights.empty()) {
    Entry& last = open_->weights.back();
    if (!last.reading.marked) {  // the status of the weight before it
      last.status = reading.status;
      last.reading.marked = true;
      close(out, options);
      return;
    }
    close(out, options);
  }
  openRecord(at).statusLine = reading.status;
}

void RecordAssembler::headingLine(Millis at, std::vector<Reading>& out, const Options& options) {
  if (open_ && !open_->weights.empty()) close(out, options);  // a new ticket begins
  openRecord(at).heading = true;
}

void RecordAssembler::close(std::vector<Reading>& out, const Options& options) {
  const Record record = std::move(*open_);
  open_.reset();
  const Entry* chosen = lastLabelled(record.weights, WeightLabel::Net);
  if (chosen == nullptr) chosen = lastLabelled(record.weights, WeightLabel::None);
  if (chosen == nullptr && lastLabelled(record.weights, WeightLabel::Tare) == nullptr) {
    chosen = lastLabelled(record.weights, WeightLabel::Gross);
  }
  if (chosen == nullptr) return;
  const bool answer =
      std::any_of(record.weights.begin(), record.weights.end(), [](const Entry& e) { return e.answer; });
  ReadingStatus status = chosen->status;
  if (!chosen->reading.marked && record.statusLine != ReadingStatus::None) status = record.statusLine;
  if (typesNothing(status)) return;
  const WeightNumber& number = chosen->reading.number;
  Reading reading{.number = number.text(options.separator),
                  .unit = std::string(chosen->reading.unit),
                  .settled = status == ReadingStatus::Settled,
                  .answer = answer,
                  .lineEndedAt = chosen->endedAt};
  if (recognised_) recognised_(reading);
  if (options.settledOnly && !rule_.take(status, number, answer)) return;
  out.push_back(std::move(reading));
}

}  // namespace pondex
