// The data path end to end in virtual time: a scale on the fake serial port,
// the real controller, and the text a focused window would receive.
#include <gtest/gtest.h>

#include "core/key.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/us_layout.h"

namespace pondex {
namespace {

using fakes::typedText;

const std::string kListening = "SYGNA\xA3 ZEWNETRZNY=1\r\n";

class DataPathTest : public ::testing::Test {
 protected:
  DataPathTest() {
    fakes::installUsLayout(fake.keyboard);
    fake.keyboard.clock = &fake.loop;
    scale = &fake.serial.addPort("COM1");
  }

  // Starts the program with these settings and opens the port as the
  // supervision would.
  void start(const std::string& settings) {
    fake.plantSettings("[USTAWIENIA]\r\n" + settings);
    ASSERT_TRUE(key.Form_Load());
    ASSERT_TRUE(key.serialPort().InitCom());
  }
  std::string typed() const { return typedText(fake.keyboard.events, fake.keyboard.capsLock); }
  // Virtual times of the Enter presses (key down of VK_RETURN).
  std::vector<Millis> enterTimes() const {
    std::vector<Millis> times;
    for (std::size_t i = 0; i < fake.keyboard.events.size(); ++i) {
      const auto& e = fake.keyboard.events[i];
      if (e.vk == 0x0D && e.flags == 0) times.push_back(fake.keyboard.eventTimes[i]);
    }
    return times;
  }

  fakes::FakePlatform fake;
  fakes::FakeSerialDevice* scale = nullptr;
  Key key{fake.platform};
};

TEST_F(DataPathTest, TextDataAreTypedWithCommaAndFollowedByEnter) {
  start("ZMIANA=1\r\nTEKST=-1\r\nKoniec ramki=0\r\n");
  scale->sendIn(Millis(10), "12.5 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), "12,5 kg\r\n\r");
}

TEST_F(DataPathTest, NumericDataKeepSignDigitsAndCarriageReturn) {
  start("ZMIANA=1\r\nTEKST=0\r\nLF=0\r\nKoniec ramki=0\r\n");
  scale->sendIn(Millis(10), "N   +0.500 g\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), "+0,500\r\r");
}

TEST_F(DataPathTest, EndOfFrameReactions) {
  start("Koniec ramki=3\r\nLF=0\r\n" + kListening);
  scale->sendIn(Millis(10), "1\r\n2\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), "1\t2\t\t") << "CR becomes a tab, then one Tab at the end";
  fake.keyboard.events.clear();
  key.form().userClick(key.controls().opKoniecRamki[2]);
  scale->sendIn(Millis(10), "3\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), "3\r") << "no reaction types nothing at the end";
}

TEST_F(DataPathTest, PiecesOfOneFrameGiveOneReactionAfterAnEmptyPoll) {
  start("Koniec ramki=0\r\nLF=0\r\nCR=0\r\n");
  // The read that starts at 259 ms (1 ms after the first one ended) gets
  // both pieces and ends at 516 ms.
  scale->sendAt(Millis(300), "12.5");
  scale->sendAt(Millis(350), "00 kg\r\n");
  fake.loop.runFor(Millis(3000));
  EXPECT_EQ(typed(), "12,500 kg\r");
  // The silence timer is due at 616 ms but cannot tick inside a read: the
  // next read (517..774 ms) is empty; when it ends, the silence tick, due
  // earlier than the next poll, comes first.
  EXPECT_EQ(enterTimes(), std::vector<Millis>{Millis(774)});
}

TEST_F(DataPathTest, AFrameAfterTheSilenceStartsANewTransmission) {
  start("Koniec ramki=0\r\nLF=0\r\nCR=0\r\n" + kListening);
  scale->sendAt(Millis(300), "1");   // read 258..500 (interval after the byte)
  scale->sendAt(Millis(560), "2");   // read 501..758 gets it: still the same transmission
  scale->sendAt(Millis(1500), "3");  // after the silence ended it at 1273 ms: a new one
  fake.loop.runFor(Millis(3000));
  EXPECT_EQ(typed(), "12\r3\r");
}

TEST_F(DataPathTest, NoTickRunsWhileAPieceIsProcessed) {
  start(
      "GOR\xA5"
      "CY KLAWISZ=1\r\n");
  key.form().userClick(key.controls().cmdStart);                       // hot keys are watched from now on
  fake.keyboard.asyncStates[120] = static_cast<std::int16_t>(0x8000);  // F9 held
  scale->sendIn(Millis(10), "5");
  fake.loop.runFor(Millis(260));
  EXPECT_FALSE(key.timer3().enabled()) << "supervision and hot keys pause during a transmission";
  const auto before = scale->written();
  fake.loop.runFor(Millis(150));  // the transmission ends at 468 ms; the hot key tick would be due at 668
  EXPECT_EQ(scale->written(), before);
  fake.loop.runFor(Millis(1000));
  EXPECT_TRUE(key.timer3().enabled());
  EXPECT_NE(scale->written(), before) << "hot keys answer again after the transmission";
}

TEST_F(DataPathTest, ReceivedCharactersAreTypedAsThemselves) {
  start("Koniec ramki=2\r\n");
  fake.keyboard.capsLock = true;
  scale->sendIn(Millis(10), "~{TAB}12.5 kg");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), "~{TAB}12,5 kg");
}

TEST_F(DataPathTest, WithoutContinuousListeningThePortClosesAfterTheTransmission) {
  start("");
  scale->sendIn(Millis(10), "7");
  fake.loop.runFor(Millis(2000));
  EXPECT_FALSE(key.serialPort().PortIsOpen());
  // With listening on it stays open: the tests of several transmissions
  // above depend on it.
}

class FileOutputTest : public DataPathTest {
 protected:
  void SetUp() override { fake.clock.set({2026, 12, 6, 14, 30, 0}); }
};

TEST_F(FileOutputTest, EachTransmissionOpensAndClosesItsOwnFile) {
  start("plik=1\r\nplik stat=0\r\nLF=0\r\n" + kListening);
  const auto& c = key.controls();
  scale->sendAt(Millis(300), "1.5 kg\r\n");
  fake.loop.runFor(Millis(520));
  EXPECT_TRUE(key.form().visible(c.txtTransmisja));
  EXPECT_EQ(fake.tray.calls.back(), fakes::FakeTray::Call::Transfer);
  EXPECT_EQ(fake.files.openFiles, 1);
  fake.loop.runFor(Millis(1000));
  EXPECT_FALSE(key.form().visible(c.txtTransmisja));
  EXPECT_EQ(fake.tray.calls.back(), fakes::FakeTray::Call::Idle);
  EXPECT_EQ(fake.files.openFiles, 0);
  scale->sendAt(Millis(2500), "2.0 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(fake.files.contents["c:\\kolvat\\pon_dex\\261206_143000.txt"], "1,5 kg\r");
  EXPECT_EQ(fake.files.contents["c:\\kolvat\\pon_dex\\261206_143002.txt"], "2,0 kg\r");
  EXPECT_EQ(fake.files.opened.size(), 2u);
  EXPECT_TRUE(fake.keyboard.events.empty()) << "no keys and no end-of-frame reaction in file output";
  EXPECT_EQ(key.form().caption(c.LblPlikPath), "c:\\kolvat\\pon_dex\\261206_143002.txt");
}

TEST_F(FileOutputTest, AFileThatCannotBeWrittenIsShownAndTheNextTransmissionTriesAgain) {
  start("plik=1\r\nplik stat=-1\r\n" + kListening);
  const auto& c = key.controls();
  const std::string path = "c:\\kolvat\\pon_dex\\261206.txt";
  fake.files.unopenable.insert(path);
  scale->sendIn(Millis(10), "1");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(key.form().caption(c.LblPlikPath),
            "B\xA3\xA5"
            "D ZAPISU (3): " +
                path);
  EXPECT_EQ(key.form().foreColor(c.LblPlikPath), ui::rgb(255, 0, 0));
  EXPECT_NE(fake.tray.tip.find(path), std::string::npos);
  EXPECT_TRUE(fake.messages.shown.empty()) << "no modal box stops the data path";
  EXPECT_TRUE(key.timer2().enabled());

  fake.files.unopenable.clear();
  scale->sendIn(Millis(10), "2");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(fake.files.contents[path], "2");
  EXPECT_EQ(key.form().caption(c.LblPlikPath), path);
  EXPECT_EQ(key.form().foreColor(c.LblPlikPath), ui::kBlack);
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
}

}  // namespace
}  // namespace pondex
