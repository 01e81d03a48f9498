// The shared lines of real instruments (tests/data/scale-lines), fed as
// their README says: one record at a time, 400 ms after a settled zero and
// 400 ms before a settled weight no record has, tickets a line every 80 ms,
// through the line splitter and the record assembler on explicit times,
// with settled-only on. Then every line again with its digits, padding,
// ending and the case of its unit changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "core/line_recognition.h"
#include "core/line_splitter.h"
#include "core/record_assembler.h"
#include "tests/unit/scale_lines_data.h"

namespace pondex {
namespace {

using testdata::ScaleLine;

const RecordAssembler::Options kSettledOnly{.settledOnly = true, .separator = '.'};

// Lines in, what would be typed out: each reading and its end-of-frame "|".
class Feeder {
 public:
  void send(const std::string& bytes, Millis at) {
    advanceTo(at);
    for (const auto& line : splitter_.add({.bytes = bytes, .receivedAt = at}))
      take(assembler_.line(line, kSettledOnly));
    lastPiece_ = at;
  }
  // The 100 ms silence after a piece: an unended line counts then.
  void silence() {
    const Millis at = lastPiece_ + Millis(100);
    advanceTo(at);
    if (auto line = splitter_.flush(lastPiece_)) take(assembler_.line(*line, kSettledOnly));
  }
  void advanceTo(Millis at) {
    while (assembler_.deadline() && *assembler_.deadline() <= at) {
      take(assembler_.timeUp(*assembler_.deadline(), kSettledOnly));
    }
  }
  std::string typed;

 private:
  void take(const std::vector<Reading>& readings) {
    for (const auto& r : readings) typed += r.number + "|";
  }
  LineSplitter splitter_;
  RecordAssembler assembler_;
  Millis lastPiece_{0};
};

struct Record {
  std::vector<ScaleLine> lines;
  [[nodiscard]] std::string expected() const {
    std::string out;
    for (const auto& l : lines) {
      if (l.typed) out += *l.typed + "|";
    }
    return out;
  }
};

bool inTicket(const std::string& id) {
  return (id >= "H01" && id <= "H04") || (id >= "L08" && id <= "L12");
}

std::vector<Record> records(const std::vector<ScaleLine>& lines) {
  std::vector<Record> out;
  for (const auto& l : lines) {
    const bool continues = inTicket(l.id) && !out.empty() && inTicket(out.back().lines.back().id) &&
                           out.back().lines.back().id[0] == l.id[0];
    if (continues) {
      out.back().lines.push_back(l);
    } else {
      out.push_back({{l}});
    }
  }
  return out;
}

// Feeds each record between its settled zero and its settled weight, the
// lines passed through `change` (bytes in, bytes out); what each record
// typed, with the weight after it.
std::vector<std::string> typedPerRecord(const std::vector<Record>& recs,
                                        const std::function<std::string(const std::string&)>& change,
                                        bool silences = true) {
  Feeder feeder;
  std::vector<std::string> out;
  Millis t{1000};
  int n = 0;
  for (const auto& rec : recs) {
    const std::size_t before = feeder.typed.size();
    feeder.send(change("S S       0.000 kg\r\n"), t);
    if (silences) feeder.silence();
    t += Millis(400);
    for (const auto& line : rec.lines) {
      feeder.send(change(line.bytes), t);
      t += Millis(80);
    }
    t -= Millis(80);
    if (silences) feeder.silence();
    t += Millis(400);
    feeder.send(change("S S  " + std::to_string(77001 + n) + ".5 kg\r\n"), t);
    if (silences) feeder.silence();
    t += Millis(400);
    feeder.advanceTo(t);
    out.push_back(feeder.typed.substr(before));
    ++n;
  }
  return out;
}

std::string followUp(int n) {
  return std::to_string(77001 + n) + ".5|";
}

const std::vector<Record>& sharedRecords() {
  static const std::vector<Record> recs = records(testdata::scaleLines());
  return recs;
}

TEST(SharedLines, EveryRecordTypesWhatTheOperatorWants) {
  const auto& recs = sharedRecords();
  ASSERT_EQ(recs.size(), 91u);
  const auto typed = typedPerRecord(recs, [](const std::string& s) { return s; });
  int right = 0;
  for (std::size_t i = 0; i < recs.size(); ++i) {
    const std::string expected = recs[i].expected() + followUp(static_cast<int>(i));
    EXPECT_EQ(typed[i], expected) << recs[i].lines.front().id << " (" << recs[i].lines.front().family << ")";
    right += typed[i] == expected ? 1 : 0;
  }
  EXPECT_EQ(right, 91);
}

// The line as the splitter gives it: without the ending at either end.
std::string withoutEndings(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == '\x03')) s.pop_back();
  while (!s.empty() && (s.front() == '\r' || s.front() == '\n')) s.erase(0, 1);
  return s;
}

TEST(SharedLines, EachLineSaysItsStatus) {
  const std::map<std::string, std::function<bool(const LineReading&)>> meets = {
      {"settled", [](const LineReading& r) { return r.isWeight && r.status == ReadingStatus::Settled; }},
      {"moving", [](const LineReading& r) { return r.isWeight && r.status == ReadingStatus::Moving; }},
      {"overload", [](const LineReading& r) { return r.status == ReadingStatus::Overload; }},
      {"underload", [](const LineReading& r) { return r.status == ReadingStatus::Underload; }},
      {"not_a_weight", [](const LineReading& r) { return !r.isWeight; }},
      {"unknown", [](const LineReading& r) { return r.isWeight && !r.marked; }},
  };
  for (const auto& line : testdata::scaleLines()) {
    EXPECT_TRUE(meets.at(line.status)(recogniseLine(withoutEndings(line.bytes)))) << line.id << " " << line.status;
  }
}

// ---- Variations -------------------------------------------------------

// The digits of the weight change, 1 to 2 ... 9 to 1, zeros stay, so that
// leading zeros and the typed value change alike. Status bytes and status
// numbers keep theirs: changing them changes the status, not the weight.
char changedDigit(char c) {
  if (c < '1' || c > '9') return c;
  return c == '9' ? '1' : static_cast<char>(c + 1);
}

std::string changedDigits(const std::string& id, const std::string& bytes) {
  std::string out = bytes;
  std::size_t from = 0;
  std::size_t to = out.size();
  if (const auto stx = out.find('\x02'); stx != std::string::npos && id[0] == 'I') from = stx + 4;
  if (id == "L05" || id == "L06") to = out.rfind(',');
  std::transform(out.begin() + static_cast<std::ptrdiff_t>(from), out.begin() + static_cast<std::ptrdiff_t>(to),
                 out.begin() + static_cast<std::ptrdiff_t>(from), changedDigit);
  return out;
}

std::string changedTyped(const std::string& typed) {
  std::string out = typed;
  std::transform(out.begin(), out.end(), out.begin(), changedDigit);
  return out;
}

// Every run of two blanks or more, one blank longer or shorter. Status
// bytes of a binary frame are not padding.
std::string padded(const std::string& id, const std::string& bytes, int by) {
  if (id[0] == 'I') return bytes;
  std::string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (bytes[i] != ' ') {
      out += bytes[i++];
      continue;
    }
    std::size_t run = 0;
    while (i < bytes.size() && bytes[i] == ' ') ++run, ++i;
    if (run >= 2) run = static_cast<std::size_t>(static_cast<int>(run) + by);
    out.append(run, ' ');
  }
  return out;
}

std::string ended(const std::string& bytes, const std::string& ending) {
  std::string s = bytes;
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == '\x03')) s.pop_back();
  return s + ending;
}

// The unit the line was recognised with, in the other case.
std::string otherCaseUnit(const std::string& bytes) {
  const LineReading r = recogniseLine(withoutEndings(bytes));
  if (r.unit.empty()) return bytes;
  std::string out = bytes;
  std::size_t at = std::string::npos;
  for (std::size_t i = 0; i + r.unit.size() <= out.size(); ++i) {
    if (sameLetters(std::string_view(out).substr(i, r.unit.size()), r.unit, Letters::AnyCase)) at = i;
  }
  if (at == std::string::npos) return bytes;  // named by status bits, not sent as text
  for (std::size_t i = at; i < at + r.unit.size(); ++i) {
    const char c = out[i];
    if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Feeds the varied records and compares with the varied expectations.
void expectVaried(const char* what, const std::function<std::string(const ScaleLine&)>& vary,
                  const std::function<std::string(const std::string&)>& varyTyped,
                  const std::function<std::string(const std::string&)>& varyFrame, bool silences = true) {
  std::vector<Record> recs = sharedRecords();
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < recs.size(); ++i) {
    for (auto& line : recs[i].lines) {
      line.bytes = vary(line);
      if (line.typed) line.typed = varyTyped(*line.typed);
    }
    expected.push_back(recs[i].expected() + followUp(static_cast<int>(i)));
  }
  const auto typed = typedPerRecord(recs, varyFrame, silences);
  for (std::size_t i = 0; i < recs.size(); ++i) {
    EXPECT_EQ(typed[i], expected[i]) << what << ": " << recs[i].lines.front().id;
  }
}

const auto kSame = [](const std::string& s) { return s; };

TEST(SharedLinesVaried, DigitsChanged) {
  expectVaried(
      "digits", [](const ScaleLine& l) { return changedDigits(l.id, l.bytes); }, changedTyped, kSame);
}

TEST(SharedLinesVaried, PaddingOneBlankLongerOrShorter) {
  for (int by : {+1, -1}) {
    expectVaried(
        by > 0 ? "longer" : "shorter", [by](const ScaleLine& l) { return padded(l.id, l.bytes, by); }, kSame, kSame);
  }
}

TEST(SharedLinesVaried, UnitInTheOtherCase) {
  expectVaried(
      "unit case", [](const ScaleLine& l) { return otherCaseUnit(l.bytes); }, kSame, kSame);
}

// Every line, the settled zero and weight around it too, with one ending,
// and no silence to end an unended line: the ending alone must end it.
class SharedLinesEnding : public ::testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(SharedLinesEnding, EndsEveryLine) {
  const std::string ending = GetParam().second;
  const auto end = [ending](const std::string& s) { return ended(s, ending); };
  expectVaried(
      GetParam().first, [end](const ScaleLine& l) { return end(l.bytes); }, kSame, end, false);
}

INSTANTIATE_TEST_SUITE_P(Endings, SharedLinesEnding,
                         ::testing::Values(std::pair<const char*, std::string>{"CR", "\r"},
                                           std::pair<const char*, std::string>{"LF", "\n"},
                                           std::pair<const char*, std::string>{"CRLF", "\r\n"},
                                           std::pair<const char*, std::string>{"ETX", "\x03"}),
                         [](const auto& p) { return std::string(p.param.first); });

}  // namespace
}  // namespace pondex
