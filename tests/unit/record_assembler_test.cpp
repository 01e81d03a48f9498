// Records and the rules over time, on explicit times: tickets, status lines
// around their weight, streams with and without marks, the 150 ms bound,
// the read command's answer, settled-only on and off.
#include "core/record_assembler.h"

#include <gtest/gtest.h>

namespace pondex {
namespace {

const RecordAssembler::Options kSettledOnly{.settledOnly = true, .separator = ','};
const RecordAssembler::Options kNumberAlone{.settledOnly = false, .separator = ','};

// Lines at given times, and what was typed when: "number@ms" each.
class Records {
 public:
  explicit Records(RecordAssembler::Options options = kSettledOnly) : options_(options) {}

  Records& at(int ms, const std::string& text) {
    runUntil(ms);
    take(ms, assembler.line({.text = text, .endedAt = Millis(ms)}, options_));
    return *this;
  }
  // Lines from `ms` on, `gap` apart.
  Records& every(int ms, int gap, const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
      at(ms, line);
      ms += gap;
    }
    return *this;
  }
  // Runs the deadlines up to `ms`, as the caller's timer would.
  Records& runUntil(int ms) {
    while (assembler.deadline() && *assembler.deadline() <= Millis(ms)) {
      const Millis due = *assembler.deadline();
      take(static_cast<int>(due.count()), assembler.timeUp(due, options_));
    }
    return *this;
  }

  RecordAssembler assembler;
  std::string typed;  // "number@when|"
  std::vector<Reading> readings;

 private:
  void take(int when, const std::vector<Reading>& rs) {
    for (const auto& r : rs) {
      typed += r.number + "@" + std::to_string(when) + "|";
      readings.push_back(r);
    }
  }
  RecordAssembler::Options options_;
};

std::vector<std::string> repeated(std::initializer_list<std::pair<int, const char*>> runs) {
  std::vector<std::string> lines;
  for (const auto& [count, line] : runs) lines.insert(lines.end(), static_cast<std::size_t>(count), line);
  return lines;
}

TEST(RecordAssembler, ATicketTypesOnlyItsNetAtOnce) {
  Records r;
  r.every(0, 80,
          {"10/02/10 09:35:36  000000167 123ABC", "GROSS:    150.0kg", " TARE:     65.0kg PT", "  NET:     85.0kg",
           "Thank You for your Business!"})
      .runUntil(2000);
  EXPECT_EQ(r.typed, "85,0@240|");
}

TEST(RecordAssembler, ATicketWithoutNetTypesItsGrossOnlyWhenNoTareCame) {
  Records withTare;
  withTare.every(0, 80, {"Date: 23/09/04", "GROSS  1500 lb", "TARE    500 lb"}).runUntil(2000);
  EXPECT_EQ(withTare.typed, "");
  Records alone;
  alone.every(0, 80, {"Date: 23/09/04", "GROSS  1500 lb"}).runUntil(2000);
  EXPECT_EQ(alone.typed, "1500@230|") << "150 ms after the gross line";
}

TEST(RecordAssembler, AHeadingBeginsANewTicket) {
  Records r;
  r.every(0, 80,
          {"Date: 23/09/04", "Gross:  20.0 kg", "14.01.2011", "Net: 12.5 g", "Gross:  30.0 kg", "23/09/04  10:42",
           "Net: 2.5 g"})
      .runUntil(2000);
  EXPECT_EQ(r.typed, "20,0@160|12,5@240|30,0@400|2,5@480|");
}

TEST(RecordAssembler, AStatusLineGivesItsStatusToTheWeightItFollowsOrPrecedes) {
  Records after;
  after.at(0, "    12.5 kg").at(30, "US").at(500, "    13.5 kg").at(530, "ST").runUntil(2000);
  EXPECT_EQ(after.typed, "13,5@530|");
  Records before;
  before.at(0, "US").at(30, "    12.5 kg").at(500, "ST").at(530, "    13.5 kg").runUntil(2000);
  EXPECT_EQ(before.typed, "13,5@530|");
  // An instrument that sends status lines keeps waiting for them.
  Records stream;
  stream.every(0, 100, {"    1.5 kg", "ST", "    2.5 kg", "US", "    2.5 kg", "ST"}).runUntil(2000);
  EXPECT_EQ(stream.typed, "1,5@100|2,5@500|");
}

TEST(RecordAssembler, AGrossLabelledStreamTypesEverySettledWeighingOnce) {
  Records r;
  r.every(0, 80,
          repeated({{3, "\n 1GM      5.100kg "},
                    {5, " 1G       7.650kg "},
                    {2, " 1GM      2.000kg "},
                    {3, " 1G       0.000kg "},
                    {2, " 1GM      3.300kg "},
                    {4, " 1G       3.250kg "}}))
      .runUntil(5000);
  // Each gross waits for the next line (a net could follow), 80 ms.
  EXPECT_EQ(r.typed, "7,650@320|3,250@1280|");
}

TEST(RecordAssembler, TheLastGrossOfAStreamIsHeldNoLongerThan150Ms) {
  Records last;
  last.every(0, 80, repeated({{2, " 1GM      5.100kg "}, {1, " 1G       7.650kg "}})).runUntil(5000);
  EXPECT_EQ(last.typed, "7,650@310|") << "the last line waits 150 ms, no longer";
}

TEST(RecordAssembler, AnUnmarkedLineWaitsAtMost150Ms) {
  Records r;
  r.at(1000, "      1832.0 g  ");
  EXPECT_EQ(r.assembler.deadline(), Millis(1150));
  r.runUntil(1149);
  EXPECT_EQ(r.typed, "");
  r.runUntil(1150);
  EXPECT_EQ(r.typed, "1832,0@1150|");
  EXPECT_EQ(r.assembler.deadline(), std::nullopt);
  // A marked line has nothing to wait for.
  r.at(2000, "S S    1833.0 g");
  EXPECT_EQ(r.typed, "1832,0@1150|1833,0@2000|");
  EXPECT_EQ(r.assembler.deadline(), std::nullopt);
}

TEST(RecordAssembler, AStreamWithoutMarksHoldsAValueUntilItCameThreeTimes) {
  Records r;
  // 2.5 s of the same value 100 ms apart: typed once, at once (no stream yet).
  std::vector<std::string> lines(25, "   1.000 kg");
  // Then a load put on: passing values, then one that holds.
  for (const char* v : {"   4.100 kg", "   5.300 kg", "   5.200 kg", "   5.200 kg", "   5.200 kg", "   5.200 kg"}) {
    lines.emplace_back(v);
  }
  r.every(0, 100, lines).runUntil(5000);
  EXPECT_EQ(r.typed, "1,000@100|5,200@3000|");
  // Lines further apart type at once, whatever they say.
  Records slow;
  slow.every(0, 400, {"   1.000 kg", "   2.000 kg", "   3.000 kg", "   4.000 kg", "   5.000 kg", "   6.000 kg"})
      .runUntil(5000);
  EXPECT_EQ(slow.typed, "1,000@150|2,000@550|3,000@950|4,000@1350|5,000@1750|6,000@2150|");
}

// A stream without marks, 2.5 s of one value, then the read command's
// answer: a new value.
Records answeredStream() {
  Records r;
  r.every(0, 100, std::vector<std::string>(25, "   1.000 kg"));
  r.assembler.readingAsked();
  r.at(2500, "   2.000 kg");
  return r;
}

TEST(RecordAssembler, TheAnswerIsTypedAtOnceEvenInAStreamWithoutMarks) {
  Records r = answeredStream();
  EXPECT_EQ(r.typed, "1,000@100|2,000@2500|") << "a new value, typed without waiting for it to repeat";
  EXPECT_TRUE(r.readings.back().answer);
  r.assembler.readingAsked();
  r.at(2600, "   2.000 kg");
  EXPECT_EQ(r.typed, "1,000@100|2,000@2500|2,000@2600|") << "an answer repeating the last weight";
}

TEST(RecordAssembler, ALapsedQuestionHasNoAnswer) {
  Records r = answeredStream();
  r.assembler.readingAsked();
  r.at(2600, "   2.000 kg");
  r.assembler.readingAsked();
  r.assembler.answerLapsed();
  r.at(2700, "   2.000 kg").runUntil(3000);
  EXPECT_EQ(r.readings.size(), 3u) << "a lapsed question has no answer";
}

TEST(RecordAssembler, WithoutSettledOnlyEveryReadingTypesMovingOnesToo) {
  Records r(kNumberAlone);
  r.every(0, 80, {"S D 10.1 kg", "S S 10.1 kg", "S S 10.1 kg", "OL,+9999999E+19", "MODEL     XY-300"}).runUntil(3000);
  EXPECT_EQ(r.typed, "10,1@0|10,1@80|10,1@160|") << "not an overload, nor a line of text";
  ASSERT_EQ(r.readings.size(), 3u);
  EXPECT_FALSE(r.readings[0].settled);
  EXPECT_TRUE(r.readings[1].settled);
}

TEST(RecordAssembler, WithoutSettledOnlyATicketStillTypesOnlyItsNet) {
  Records r(kNumberAlone);
  r.every(1000, 80, {"GROSS:    150.0kg", " TARE:     65.0kg PT", "  NET:     85.0kg"}).runUntil(3000);
  EXPECT_EQ(r.typed, "85,0@1160|");
}

TEST(RecordAssembler, AReadingCarriesItsUnitWithTheTimeItsLineEnded) {
  Records r;
  r.at(0, "Date: 23/09/04").at(80, "Net: 123.456 g");
  ASSERT_EQ(r.readings.size(), 1u);
  EXPECT_EQ(r.readings[0].unit, "g");
  EXPECT_EQ(r.readings[0].lineEndedAt, Millis(80));
  EXPECT_FALSE(r.readings[0].answer);
}

TEST(RecordAssembler, ACloseDropsWhatIsHeld) {
  Records r;
  r.at(0, "GROSS  1500 lb");
  r.assembler.dropPending();
  r.runUntil(1000);
  EXPECT_EQ(r.typed, "");
}

TEST(RecordAssembler, ADamagedLineOrOneCutInItsNumberGivesNoReading) {
  Records r;
  EXPECT_TRUE(r.assembler.line({.text = "S S 1.0 kg", .damaged = true, .endedAt = Millis(1000)}, kSettledOnly).empty());
  EXPECT_TRUE(r.assembler.line({.text = "S S 12.345", .cut = true, .endedAt = Millis(1100)}, kSettledOnly).empty());
  EXPECT_EQ(r.assembler.line({.text = "S S 4.5 kg   ", .cut = true, .endedAt = Millis(1200)}, kSettledOnly).size(), 1u);
}

}  // namespace
}  // namespace pondex
