// Hot keys, commands and their answers while a scale sends, in virtual
// time: the keys are looked at whatever arrives, a port opened for a
// command listens before it sends and is closed again, the answer mark
// lapses, and nothing received is thrown away for a command.
#include <string>

#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

const std::string kWeights = "TYLKO WAGA=1\r\nTYLKO STABILNA=1\r\nKoniec ramki=0\r\nZMIANA=1\r\n";

class CommandExchangeTest : public ControllerFixture {
 protected:
  // The scale sends `line` every `every` from `from` to `until`, each line
  // at 9600 baud.
  void streamEvery(Millis every, const std::string& line, Millis from, Millis until) {
    for (Millis at = from; at < until; at += every) scale.streamAt(at, line, 9600);
  }
  // Answers every command with `answer`, `after` the command was written.
  void answerEachCommand(const std::string& answer, Millis after) {
    std::size_t answered = 0;
    for (int i = 0; i < 500; ++i) {
      for (; answered < scale.writeTimes.size(); ++answered) scale.sendAt(scale.writeTimes[answered] + after, answer);
      fake.loop.runFor(Millis(10));
    }
  }
};

struct HeldKey {
  const char* mode;
  int vk;
  const char* command;
};
void PrintTo(const HeldKey& k, std::ostream* os) {
  *os << k.mode << ", " << k.command;
}

class HeldKeyTest : public CommandExchangeTest, public ::testing::WithParamInterface<HeldKey> {};

TEST_P(HeldKeyTest, AKeyHeldWhileTheScaleStreamsSendsItsCommandWithinHalfASecond) {
  listen(kHotKeysOn + GetParam().mode);
  const Millis t0 = fake.loop.now();
  streamEvery(Millis(80), "S D      10.100 kg\r\n", t0, t0 + Millis(5000));
  fake.loop.runFor(Millis(1003));
  const Millis pressedAt = fake.loop.now();
  hold(GetParam().vk, Millis(600));
  ASSERT_FALSE(scale.writes.empty()) << "the key was never looked at";
  EXPECT_EQ(scale.writes.front(), GetParam().command);
  EXPECT_LE(scale.writeTimes.front() - pressedAt, Millis(500));
  EXPECT_GE(scale.writes.size(), 2u) << "a held key repeats its command every tick";
}

INSTANTIATE_TEST_SUITE_P(BothKeysBothModes, HeldKeyTest,
                         ::testing::Values(HeldKey{"", kF9, "SI\r\n"}, HeldKey{"", kF4, "T\r\n"},
                                           HeldKey{"TYLKO WAGA=1\r\n", kF9, "SI\r\n"},
                                           HeldKey{"TYLKO WAGA=1\r\n", kF4, "T\r\n"}));

TEST_F(CommandExchangeTest, OnePressOfTheReadKeyGivesOneTypedAnswer) {
  listen(kHotKeysOn + kWeights);
  const Millis t0 = fake.loop.now();
  streamEvery(Millis(80), "S S       5.000 kg\r\n", t0, t0 + Millis(3000));
  fake.loop.runFor(Millis(1000));
  ASSERT_EQ(typed(), "5,000\r");
  hold(kF9, Millis(600));
  fake.loop.runFor(Millis(2000));
  EXPECT_GE(scale.writes.size(), 3u);
  EXPECT_EQ(typed(), "5,000\r5,000\r") << "the repeats of a held key ask for nothing of their own";
}

TEST_F(CommandExchangeTest, NothingReceivedIsThrownAwayForACommand) {
  // The thread takes pieces late; a command that first emptied the port
  // would lose what waits.
  listen(kHotKeysOn + "Koniec ramki=2\r\nLF=0\r\nZMIANA=0\r\n");
  scale.signalDelay = Millis(30);
  std::string stream;
  for (int i = 0; i < 100; ++i) stream += "S S       5.000 kg\r\n";
  scale.streamAt(fake.loop.now(), stream, 9600);  // back to back: something is always on its way
  hold(kF9, Millis(1500));
  fake.loop.runFor(Millis(1000));
  std::string expected = stream;
  std::erase(expected, '\n');
  EXPECT_EQ(typed(), expected);
  EXPECT_GE(scale.writes.size(), 5u);
}

TEST_F(CommandExchangeTest, APortOpenedForACommandListensFirstSoTheAnswerIsNotSkipped) {
  start(kHotKeysOn + kWeights);
  ASSERT_FALSE(scale.open);
  hold(kF9, Millis(200));
  ASSERT_TRUE(scale.open);
  const Millis openedAt = fake.loop.now();
  EXPECT_TRUE(scale.writes.empty()) << "the command waits while the port listens";
  answerEachCommand("S S       2.500 kg\r\n", Millis(15));
  ASSERT_EQ(scale.writes.size(), 1u);
  EXPECT_GE(scale.writeTimes[0] - openedAt, Millis(50));
  EXPECT_EQ(typed(), "2,500\r");
  EXPECT_FALSE(scale.open) << "the reading that answered the command closed the port";
}

TEST_F(CommandExchangeTest, WithListeningOffAScaleThatKeepsSendingIsLeftTwoSecondsAfterTheCommand) {
  start(kHotKeysOn + "Koniec ramki=1\r\nLF=0\r\nZMIANA=0\r\n");
  streamEvery(Millis(40), "S D      10.100 kg\r\n", Millis(0), Millis(10'000));
  tap(kF9);
  ASSERT_TRUE(scale.open);
  const Millis sentAt = scale.writeTimes.at(0);
  fake.loop.runFor(sentAt + Millis(2000) - fake.loop.now());
  EXPECT_FALSE(scale.open);
  const std::string text = typed();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\t') << "the end-of-frame key once, at the forced close";
  EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 1);
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), text) << "nothing more after the close";
}

TEST_F(CommandExchangeTest, WithListeningOffAWeightStreamDropsItsHalfLineAtTheForcedClose) {
  start(kHotKeysOn + kWeights);
  // Moving all the time, then an unended settled line cut by the close.
  streamEvery(Millis(40), "S D      10.100 kg\r\n", Millis(0), Millis(2'200));
  scale.streamAt(Millis(2'200), "S S      10.1", 9600);
  tap(kF9);
  ASSERT_TRUE(scale.open);
  fake.loop.runFor(Millis(5000));
  EXPECT_FALSE(scale.open);
  EXPECT_EQ(typed(), "") << "moving readings, and a half line that must not count at a silence";
}

// A settled 5 kg is typed, the read key pressed, and the same 5 kg comes
// again: it is typed only as an answer, and here it is none.
struct NoAnswer {
  const char* why;
  bool commandFails;
  const char* scaleSends;  // right after the command
  Millis wait;
};
void PrintTo(const NoAnswer& n, std::ostream* os) {
  *os << n.why;
}
class NoAnswerTest : public CommandExchangeTest, public ::testing::WithParamInterface<NoAnswer> {};

TEST_P(NoAnswerTest, TheRepeatedWeightIsNotTyped) {
  listen(kHotKeysOn + kWeights);
  scale.sendIn(Millis(10), "S S       5.000 kg\r\n");
  fake.loop.runFor(Millis(300));
  ASSERT_EQ(typed(), "5,000\r");
  if (GetParam().commandFails) scale.failNextWrite = 1117;
  tap(kF9);
  if (!GetParam().commandFails) {
    ASSERT_EQ(scale.writes.size(), 1u);
  }
  if (*GetParam().scaleSends != 0) scale.sendIn(Millis(20), GetParam().scaleSends);
  fake.loop.runFor(GetParam().wait);
  scale.sendIn(Millis(10), "S S       5.000 kg\r\n");
  fake.loop.runFor(Millis(300));
  EXPECT_EQ(typed(), "5,000\r");
}

INSTANTIATE_TEST_SUITE_P(MarkNotSetOrLapsed, NoAnswerTest,
                         ::testing::Values(NoAnswer{"the command did not go out", true, "", Millis(300)},
                                           NoAnswer{"two seconds passed", false, "", Millis(2500)},
                                           // The scale refuses: no reading, then silence.
                                           NoAnswer{"the next silence came", false, "\x15", Millis(500)}));

TEST_F(CommandExchangeTest, APanelOpenedWhileKeysAreTypedGetsWhatArrivesWhileItIsOpen) {
  listen(kHotKeysOn + "LF=0\r\nZMIANA=0\r\n");
  const Millis t0 = fake.loop.now();
  streamEvery(Millis(80), "1.5 kg\r\n", t0, t0 + Millis(3000));
  bool keySent = false;
  fake.panel.whileOpen = [&] {
    fake.loop.runFor(Millis(800));
    hold(kF4, Millis(400));
    keySent = !scale.writes.empty();
  };
  // The user clicks "Panel" while the first line is being typed.
  fake.keyboard.whileTyping = [&] { fake.loop.post([&] { form.userClick(controls.dataPanelBox); }); };
  fake.loop.runFor(Millis(3000));
  // The first character was typed, the rest of its line and what came in
  // the next 1.2 s went to the panel, the rest was typed again.
  std::string sent;
  for (Millis at = t0; at < t0 + Millis(3000); at += Millis(80)) sent += "1.5 kg\r";
  const std::string text = typed();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.substr(0, 1) + fake.panel.text + text.substr(1), sent);
  EXPECT_GE(fake.panel.text.size(), 14 * 7u) << "the panel got what came while it was open";
  EXPECT_TRUE(keySent) << "the hot keys are watched while the panel is open";
}

}  // namespace
}  // namespace pondex
