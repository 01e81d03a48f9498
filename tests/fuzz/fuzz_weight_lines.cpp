// Received bytes through the line splitter, the line recogniser and the
// record assembler of the weight mode, on times the input chooses, checking
// what every reading must be: a plain number in the chosen form, settled
// when only settled readings are asked for, never from a damaged line, and
// deadlines that never lie in the past of the line that set them.
//
// The first byte chooses the options. The rest is pieces ended by 0xFF;
// the byte after a 0xFF is the time to the next piece, in units of 8 ms. A
// piece starting with 0xFE, 0xFD, 0xFC or 0xFB first asks for a reading,
// lets the answer lapse, begins a new weighing or drops what is held.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/line_recognition.h"
#include "core/line_splitter.h"
#include "core/record_assembler.h"

namespace {

using pondex::Millis;

void check(bool ok) {
  if (!ok) __builtin_trap();
}

bool plainNumber(std::string_view s, char separator) {
  if (!s.empty() && s.front() == '-') s.remove_prefix(1);
  if (s.empty() || s.front() < '0' || s.front() > '9') return false;
  bool separatorSeen = false;
  for (char c : s) {
    if (c == separator && !separatorSeen) {
      separatorSeen = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
  }
  return s.back() != separator;
}

void checkLine(const pondex::ReceivedLine& line) {
  const pondex::LineReading r = pondex::recogniseLine(line.text);
  if (r.isWeight) {
    check(!r.number.units.empty());
    check(r.status != pondex::ReadingStatus::None);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 4096) return -1;
  const pondex::RecordAssembler::Options options{.settledOnly = (data[0] & 1) != 0,
                                                 .separator = (data[0] & 2) != 0 ? ',' : '.'};
  pondex::LineSplitter splitter;
  pondex::RecordAssembler records;
  Millis now{0};
  const auto take = [&](const std::vector<pondex::Reading>& readings) {
    for (const auto& r : readings) {
      check(plainNumber(r.number, options.separator));
      check(!options.settledOnly || r.settled);
      check(r.lineEndedAt <= now);
    }
  };
  const auto runUntil = [&](Millis at) {
    while (records.deadline() && *records.deadline() <= at) {
      now = *records.deadline();
      take(records.timeUp(now, options));
    }
    now = at;
  };
  std::size_t i = 1;
  while (i < size) {
    std::string piece;
    while (i < size && data[i] != 0xFF) piece += static_cast<char>(data[i++]);
    const Millis gap = i + 1 < size ? Millis(8 * data[i + 1]) : Millis(0);
    i += 2;
    if (!piece.empty()) {
      switch (static_cast<std::uint8_t>(piece[0])) {
        case 0xFE:
          records.readingAsked();
          break;
        case 0xFD:
          records.answerLapsed();
          break;
        case 0xFC:
          records.newWeighing();
          break;
        case 0xFB:
          records.dropPending();
          splitter.closed();
          break;
        default:
          break;
      }
    }
    for (const auto& line : splitter.add({.bytes = piece, .receivedAt = now})) {
      checkLine(line);
      take(records.line(line, options));
      if (records.deadline()) check(*records.deadline() > now);
    }
    runUntil(now + gap);
  }
  if (auto line = splitter.flush(now)) {
    checkLine(*line);
    take(records.line(*line, options));
  }
  runUntil(now + Millis(1000));
  check(!records.deadline());
  return 0;
}
