// A scale that never stops sending, in virtual time: every byte arrives at
// its own time and the fake reader cuts the stream wherever a real one
// could (every cut point of short sequences, seeded random cuts of long
// streams), so nothing here passes because pieces happen to end at line
// ends.
#include <gmock/gmock.h>

#include <string>
#include <tuple>

#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

const std::string kBothBoxes = "TYLKO WAGA=1\r\nTYLKO STABILNA=1\r\nKoniec ramki=0\r\nZMIANA=1\r\n";

// `count` copies of `line`.
std::string times(int count, const std::string& line) {
  std::string all;
  for (int i = 0; i < count; ++i) all += line;
  return all;
}

// Lines as a counting scale sends them: "000032\r\n", the number going up.
std::string countingLines(int count) {
  std::string all;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i % 1000000);
    all += std::string(6 - n.size(), '0') + n + "\r\n";
  }
  return all;
}

// Back to back at `baud`: how long `bytes` take on the line.
Millis lineTime(const std::string& bytes, int baud) {
  return Millis(static_cast<std::int64_t>(bytes.size()) * 10'000 / baud);
}

class SerialStreamTest : public ControllerFixture {
 protected:
  // The time of the last key event, the end-of-frame key after a stream.
  [[nodiscard]] Millis lastKeyAt() const { return fake.keyboard.eventTimes.back(); }
};

struct Cuts {
  std::uint32_t seed;
  Millis completionDelay;  // the reader's latency
  Millis signalDelay;      // how long the user-interface thread is busy before it takes a piece
};
void PrintTo(const Cuts& cuts, std::ostream* os) {
  *os << "seed " << cuts.seed << ", hand-over " << cuts.completionDelay.count() << " ms after the byte, taken "
      << cuts.signalDelay.count() << " ms later";
}

class FrameStreamTest : public SerialStreamTest, public ::testing::WithParamInterface<Cuts> {};

TEST_P(FrameStreamTest, AFortySecondStreamTypesEveryCharacterThenOneEndKeyAfterItsLastByte) {
  listen(
      "Koniec ramki=0\r\nLF=0\r\nPR\xCA"
      "DKO\x8C\xC6=19200\r\n");
  scale.cutAfter = fakes::randomCuts(GetParam().seed, 7);
  scale.completionDelay = GetParam().completionDelay;
  scale.signalDelay = GetParam().signalDelay;
  const std::string stream = countingLines(4800);  // 38,400 bytes: 20 s at 19200 baud
  scale.streamAt(fake.loop.now() + Millis(5), stream + stream, 19200);
  fake.loop.runFor(Millis(41'000));
  std::string expected = stream + stream;
  std::erase(expected, '\n');
  EXPECT_TRUE(typed() == expected + "\r") << "typed " << typed().size() << " characters for " << expected.size() + 1;
  const Millis endKeyDelay = lastKeyAt() - scale.lastArrival();
  EXPECT_GE(endKeyDelay, Millis(100));
  EXPECT_LE(endKeyDelay, Millis(150));
}

INSTANTIATE_TEST_SUITE_P(RandomCuts, FrameStreamTest,
                         ::testing::Values(Cuts{1, Millis(0), Millis(0)}, Cuts{2, Millis(15), Millis(5)},
                                           Cuts{3, Millis(20), Millis(0)}, Cuts{4, Millis(5), Millis(120)}));

TEST_F(SerialStreamTest, AFrameCutAnywhereIsTypedWholeWithItsEndKeyExactlyOneSilenceAfterItsLastByte) {
  const std::string frame = "S S      12.345 kg\r\n";
  listen("Koniec ramki=1\r\nLF=0\r\n");
  scale.signalDelay = Millis(30);  // the thread is busy: pieces are taken later than they came
  for (std::uint64_t cut = 0; cut < frame.size(); ++cut) {
    SCOPED_TRACE("cut after byte " + std::to_string(cut));
    fake.keyboard.events.clear();
    fake.keyboard.eventTimes.clear();
    // Byte numbers count every byte the port ever received: frame `cut` is
    // the port's bytes from cut * 20 on. Its second read ends with it.
    const std::uint64_t first = cut * frame.size();
    scale.cutAfter = [=](std::uint64_t n) { return n == first + cut || n == first + frame.size() - 1; };
    scale.streamAt(fake.loop.now() + Millis(10), frame, 9600);
    fake.loop.runFor(Millis(500));
    EXPECT_EQ(typed(), "S S      12,345 kg\r\t");
    EXPECT_EQ(lastKeyAt() - scale.lastArrival(), Millis(100)) << "the silence is counted from the last byte";
  }
}

TEST_F(SerialStreamTest, BytesReceivedButNotYetTakenStillBelongToTheTransmission) {
  // The second piece comes 95 ms after the first, but the thread is busy
  // and takes it 10 ms later, when the first is 105 ms old: no silence.
  listen("Koniec ramki=0\r\nLF=0\r\n");
  scale.signalDelay = Millis(10);
  scale.sendIn(Millis(10), "12");
  scale.sendIn(Millis(105), "34");
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "1234\r");
}

TEST_F(SerialStreamTest, OpensOrClosesChangeNothingInFrameMode) {
  // The scale is under way when the port opens and when it closes: every
  // byte that came while it was open is typed.
  const std::string line = "S S      12.345 kg\r\n";
  scale.streamAt(Millis(0), times(100, line), 9600);
  start(kListening + "Koniec ramki=2\r\nLF=0\r\nZMIANA=0\r\n");
  fake.loop.runFor(Millis(200));
  ASSERT_TRUE(scale.open);
  fake.loop.runFor(Millis(500));
  form.userClick(controls.listeningBox);  // off: the port closes mid-line
  ASSERT_FALSE(scale.open);
  const std::string text = typed();
  ASSERT_FALSE(text.empty());
  // Whatever came: a tail of a line first, a head of one last.
  std::string expected = times(100, line);
  std::erase(expected, '\n');
  EXPECT_NE(expected.find(text), std::string::npos) << text;
  EXPECT_NE(text.front(), 'S') << "the open fell mid-line, and that tail was typed";
}

class WeightStreamTest : public SerialStreamTest, public ::testing::WithParamInterface<std::tuple<int, int>> {};

// The scale of the issue: back to back at 9600 baud, moving, settled, the
// adapter pulled out mid-line and put back 2 s later while the scale sends
// moving, then settled lines of another load.
TEST_P(WeightStreamTest, AnAdapterPulledOutMidLineLeavesOnlyWholeReadings) {
  const auto [startOffset, seed] = GetParam();
  const std::string moving = "S D      10.100 kg\r\n";
  const std::string first = "S S      12.345 kg\r\n";
  const std::string moving2 = "S D       3.000 kg\r\n";
  const std::string second = "S S       7.125 kg\r\n";
  const std::string stream =
      times(96, moving) + times(144, first) + times(96, moving) + times(144, moving2) + times(144, second);
  scale.cutAfter = fakes::randomCuts(static_cast<std::uint32_t>(seed), 5);
  scale.completionDelay = Millis(seed % 3 * 7);
  scale.streamAt(Millis(0), stream, 9600);
  // START mid-stream: the port opens at a different place of a line each time.
  fake.loop.runFor(Millis(startOffset));
  start(kListening + kBothBoxes);
  fake.loop.runFor(Millis(4'990) - fake.loop.now());  // within the settled lines of the first load
  scale.unplug();
  fake.loop.runFor(Millis(2'000));
  scale.plugIn();
  fake.loop.runFor(lineTime(stream, 9600) - fake.loop.now() + Millis(1'000));
  EXPECT_EQ(typed(), "12,345\r7,125\r");
}

// Opens at every place of a 20-byte line (1 ms apart at 9600 baud), each
// with cuts of its own.
INSTANTIATE_TEST_SUITE_P(EveryOpenOffset, WeightStreamTest,
                         ::testing::Combine(::testing::Range(0, 21, 1), ::testing::Values(11)));
INSTANTIATE_TEST_SUITE_P(RandomCuts, WeightStreamTest,
                         ::testing::Combine(::testing::Values(7), ::testing::Range(1, 9)));

TEST_F(SerialStreamTest, ALineTheDriverReportedAnErrorInIsNeverAReading) {
  listen(kBothBoxes);
  scale.sendIn(Millis(10), "S S      12.3");
  scale.lineErrorAt(fake.loop.now() + Millis(10));
  scale.sendIn(Millis(20), "45 kg\r\n");
  scale.sendIn(Millis(100), "S S      12.345 kg\r\n");
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "12,345\r") << "the damaged line types nothing; the next is whole";
}

TEST_F(SerialStreamTest, AScaleThatWasQuietLosesNothingAtAnOpen) {
  start(kListening + kBothBoxes);
  fake.loop.runFor(Millis(200));
  ASSERT_TRUE(scale.open);
  scale.sendIn(Millis(60), "S S       2.500 kg\r\n");
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "2,500\r");
}

TEST_F(SerialStreamTest, AHalfLineAtACloseIsNeverTypedNorJoinedToTheNextPortsBytes) {
  listen(kBothBoxes);
  scale.sendIn(Millis(10), "S S      12.3");
  fake.loop.runFor(Millis(50));
  form.userClick(controls.listeningBox);  // off: the port closes
  form.userClick(controls.listeningBox);  // on: the next tick opens it again
  fake.loop.runFor(Millis(300));
  ASSERT_TRUE(scale.open);
  scale.sendIn(Millis(10), "45 kg\r\nS S       7.125 kg\r\n");
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "45\r7,125\r") << "neither the half line at the silence nor '12.3' + '45 kg'";
}

}  // namespace
}  // namespace pondex
