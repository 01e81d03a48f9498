// Weights instead of characters, end to end in virtual time: a scale on the
// fake serial port sending lines, the real controller, and what the focused
// window, the data files and the panel receive.
#include <vector>

#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

const std::string kWeightOnly = "TYLKO WAGA=1\r\n";
const std::string kBoth = "TYLKO WAGA=1\r\nTYLKO STABILNA=1\r\n";

class WeightPathTest : public ControllerFixture {
 protected:
  // Sends the lines one every `gap`, the first at once; returns when the
  // last has arrived.
  void play(const std::vector<std::string>& lines, Millis gap = Millis(80)) {
    for (std::size_t i = 0; i < lines.size(); ++i) scale.sendIn(gap * static_cast<int>(i) + Millis(1), lines[i]);
    fake.loop.runFor(gap * static_cast<int>(lines.size()));
  }
};

std::vector<std::string> repeated(std::initializer_list<std::pair<int, const char*>> runs) {
  std::vector<std::string> lines;
  for (const auto& [count, line] : runs) lines.insert(lines.end(), static_cast<std::size_t>(count), line);
  return lines;
}

TEST_F(WeightPathTest, AContinuousScaleTypesEachWeightOnceWithItsEnterAtOnce) {
  listen(kBoth + "Koniec ramki=0\r\nZMIANA=1\r\n");
  const Millis t0 = fake.loop.now();
  play(repeated({{3, "S D      10.100 kg\r\n"},
                 {5, "S S      12.345 kg\r\n"},
                 {2, "S D       3.000 kg\r\n"},
                 {3, "S S       0.000 kg\r\n"},
                 {4, "ST,+00007.125  kg\r\n"},
                 {2, "US,+00007.500  kg\r\n"},
                 {3, "ST,-00000.500  kg\r\n"},
                 {2, "     1.250 g  ?\r\n"},
                 {3, "     1.250 g\r\n"}}));
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), "12,345\r7,125\r-0,500\r1,250\r");
  // The last Enter went with the 25th line, not after the silence.
  EXPECT_EQ(fake.keyboard.eventTimes.back(), t0 + Millis(24 * 80 + 1));
}

struct Reaction {
  std::string settings;
  const char* typed;
};
void PrintTo(const Reaction& r, std::ostream* os) {
  *os << r.settings;
}

class ReactionTest : public WeightPathTest, public ::testing::WithParamInterface<Reaction> {};

TEST_P(ReactionTest, EachSettingTypesWhatItSays) {
  listen(GetParam().settings);
  play({"S D 1.0 kg\r\n", "S S 2.5 kg\r\n", "S S 2.5 kg\r\n", "S S 3.0 kg"});
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(typed(), GetParam().typed);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ReactionTest,
    ::testing::Values(Reaction{"Koniec ramki=0\r\nLF=0\r\n", "S D 1,0 kg\rS S 2,5 kg\rS S 2,5 kg\rS S 3,0 kg\r"},
                      // Settled only without the number alone is as if both were off.
                      Reaction{"TYLKO STABILNA=1\r\nKoniec ramki=0\r\nLF=0\r\n",
                               "S D 1,0 kg\rS S 2,5 kg\rS S 2,5 kg\rS S 3,0 kg\r"},
                      Reaction{kWeightOnly + "Koniec ramki=0\r\nLF=0\r\n", "1,0\r2,5\r2,5\r3,0\r"},
                      // Neither CR nor LF settings apply; the unended last line counts at the silence.
                      Reaction{kBoth + "Koniec ramki=0\r\nCR=0\r\nZMIANA=0\r\n", "2.5\r3.0\r"},
                      Reaction{kBoth + "Koniec ramki=3\r\n", "2,5\t3,0\t"},
                      Reaction{kBoth + "Koniec ramki=2\r\n", "2,53,0"}));

// Overwrite mode, a file per transmission.
const std::string kReadingFiles = kWeightOnly + "plik=1\r\nplik stat=0\r\nplik dopisz=1\r\n";

TEST_F(WeightPathTest, EachReadingIsAFileOfItsOwn) {
  listen(kReadingFiles);
  scale.sendAt(Millis(300), "S S 1.0 kg\r\n");
  scale.sendAt(Millis(1200), "S S 2.0 kg\r\n");
  fake.loop.runFor(Millis(100));
  EXPECT_EQ(fake.files.openFiles, 0) << "the file of a reading is closed with it";
  fake.loop.runFor(Millis(3000));
  EXPECT_EQ(fake.files.contents["c:\\kolvat\\pon_dex\\261206_080000.txt"], "1,0\r\n");
  EXPECT_EQ(fake.files.contents["c:\\kolvat\\pon_dex\\261206_080001.txt"], "2,0\r\n");
  EXPECT_TRUE(fake.keyboard.events.empty());
}

// The second reading of a second must not replace the first.
TEST_F(WeightPathTest, ReadingsInOneSecondShareItsFile) {
  listen(kReadingFiles);
  scale.sendAt(Millis(1200), "S S 2.0 kg\r\n");
  scale.sendAt(Millis(1500), "S S 3.0 kg\r\nS S 4.0 kg\r\n");
  fake.loop.runFor(Millis(3000));
  EXPECT_EQ(fake.files.contents["c:\\kolvat\\pon_dex\\261206_080001.txt"], "2,0\r\n3,0\r\n4,0\r\n");
}

TEST_F(WeightPathTest, APrintedTicketTypesItsNet) {
  listen(kBoth + "Koniec ramki=0\r\nZMIANA=0\r\n");
  play({"10/02/10 09:35:36  000000167 123ABC\r\n", "GROSS:    150.0kg\r\n", " TARE:     65.0kg PT\r\n",
        "  NET:     85.0kg\r\n", "Thank You for your Business!\r\n"});
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(typed(), "85.0\r");
}

// A ticket with a gross and nothing after it: the gross, once its record
// has waited 150 ms for a net.
TEST_F(WeightPathTest, AGrossAloneWaitsNoLongerThan150Milliseconds) {
  listen(kBoth + "Koniec ramki=0\r\nZMIANA=0\r\n");
  play({"10/02/10 09:35:36  000000167 123ABC\r\n", "GROSS:    150.0kg\r\n", " TARE:     65.0kg PT\r\n",
        "  NET:     85.0kg\r\n", "Thank You for your Business!\r\n"});
  fake.loop.runFor(Millis(1000));
  scale.sendIn(Millis(10), "GROSS:    152.5kg\r\n");
  const Millis lineEnd = fake.loop.now() + Millis(10);
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(typed(), "85.0\r152.5\r");
  EXPECT_EQ(fake.keyboard.eventTimes.back() - lineEnd, Millis(150)) << "decided by the controller's timer";
}

TEST_F(WeightPathTest, TheAnswerToTheReadKeyIsTypedEvenWhenTheWeightRepeats) {
  listen(kBoth + kHotKeysOn + "Koniec ramki=0\r\n");
  play({"S S 5.0 kg\r\n", "S S 5.0 kg\r\n"});
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "5,0\r");
  fake.keyboard.asyncStates[120] = static_cast<std::int16_t>(0x8000);  // F9
  fake.loop.runFor(Millis(200));
  fake.keyboard.asyncStates[120] = 0;
  ASSERT_EQ(scale.written(), "SI\r\n");
  play({"S S 5.0 kg\r\n", "S S 5.0 kg\r\n"});
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "5,0\r5,0\r");
}

}  // namespace
}  // namespace pondex
