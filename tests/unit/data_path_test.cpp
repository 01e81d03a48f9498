// The data path end to end in virtual time: a scale on the fake serial port,
// the real controller, and the text a focused window would receive.
#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

using DataPathTest = ControllerFixture;

struct Typing {
  const char* name;
  const char* settings;
  const char* received;
  const char* typed;
};
void PrintTo(const Typing& t, std::ostream* os) {
  *os << t.name;
}

class TypingTest : public DataPathTest, public ::testing::WithParamInterface<Typing> {};

TEST_P(TypingTest, ReceivedTextIsTypedWithItsEndOfFrameKeyWhateverCapsLock) {
  listen(GetParam().settings);
  fake.keyboard.capsLock = true;
  scale.sendIn(Millis(10), GetParam().received);
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), GetParam().typed);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, TypingTest,
    ::testing::Values(
        // Text data: decimal comma, CR is Enter, LF Ctrl+Enter, then Enter.
        Typing{"text", "ZMIANA=1\r\nTEKST=-1\r\nKoniec ramki=0\r\n", "12.5 kg\r\n", "12,5 kg\r\n\r"},
        Typing{"numeric", "ZMIANA=1\r\nTEKST=0\r\nLF=0\r\nKoniec ramki=0\r\n", "N   +0.500 g\r\n", "+0,500\r\r"},
        // CR becomes a tab, then one Tab at the end.
        Typing{"tabs", "Koniec ramki=3\r\nLF=0\r\n", "1\r\n2\r\n", "1\t2\t\t"},
        // The characters of the key syntax are typed as themselves; nothing at the end.
        Typing{"key syntax", "Koniec ramki=2\r\n", "~{TAB}+^%1.5 kg", "~{TAB}+^%1,5 kg"}));

// Each piece is typed as it arrives; the Enter comes once the line has been
// silent for 100 ms after the last one, and only then.
TEST_F(DataPathTest, OnlyASilenceOfAHundredMillisecondsEndsATransmission) {
  listen("Koniec ramki=0\r\nLF=0\r\nCR=0\r\n");
  const Millis t0 = fake.loop.now();
  scale.sendAt(t0 + Millis(300), "12.5");
  scale.sendAt(t0 + Millis(350), "00 kg");
  scale.sendAt(t0 + Millis(1050), "3");
  fake.loop.runFor(Millis(3000));
  EXPECT_EQ(typed(), "12,500 kg\r3\r");
  const auto& times = fake.keyboard.eventTimes;
  EXPECT_EQ(times.front(), t0 + Millis(300));
  EXPECT_EQ(times[times.size() - 6] - times[times.size() - 7], Millis(100)) << "the key down of the first Enter";
}

TEST_F(DataPathTest, ThePanelShowsWhatArrivesWhileItIsOpen) {
  listen("LF=0\r\n");
  fake.panel.whileOpen = [&] {
    scale.sendIn(Millis(10), "1.5 kg\r\n");
    fake.loop.runFor(Millis(1000));  // the timers run while the modal panel is open
  };
  form.userClick(controls.dataPanelBox);  // returns when the panel closes
  EXPECT_EQ(fake.panel.text, "1,5 kg\r");
  EXPECT_EQ(typed(), "") << "nothing is typed while the panel shows the data";
  EXPECT_EQ(form.value(controls.dataPanelBox), 0);
}

TEST_F(DataPathTest, ListeningGoesOnAfterThePanelCloses) {
  listen("LF=0\r\n");
  form.userClick(controls.dataPanelBox);
  EXPECT_TRUE(timerOn(kSupervisionTimer)) << "START was pressed before: supervision and hot keys go on";

  scale.sendIn(Millis(10), "2\r\n");
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(typed(), "2\r") << "keystrokes again";
}

TEST_F(DataPathTest, EachTransmissionInFileOutputReplacesItsOwnFileWhole) {
  listen("plik=1\r\nplik stat=0\r\nplik dopisz=1\r\nLF=0\r\nKoniec ramki=0\r\n");
  scale.sendAt(Millis(300), "1");  // two pieces of one transmission, as above
  scale.sendAt(Millis(350), "2");
  scale.sendAt(Millis(1050), "3");
  fake.loop.runFor(Millis(320) - fake.loop.now());  // between the two pieces
  EXPECT_TRUE(form.visible(controls.transmissionStatus)) << "the window says a transmission is being written";
  fake.loop.runFor(Millis(3000));
  EXPECT_FALSE(form.visible(controls.transmissionStatus));
  EXPECT_EQ(fake.files.contents["c:\\kolvat\\pon_dex\\261206_080000.txt"], "12");
  EXPECT_EQ(fake.files.contents["c:\\kolvat\\pon_dex\\261206_080001.txt"], "3");
  EXPECT_EQ(fake.files.openFiles, 0);
  EXPECT_TRUE(fake.keyboard.events.empty()) << "no keys and no end-of-frame reaction in file output";
}

class UnwritableFileTest : public DataPathTest {
 protected:
  // A transmission to a file per day that cannot be opened.
  void failOnce() {
    listen("plik=1\r\nplik stat=-1\r\n");
    fake.files.unopenable.insert(path);
    scale.sendIn(Millis(10), "1");
    fake.loop.runFor(Millis(2000));
  }
  const std::string path = "c:\\kolvat\\pon_dex\\261206.txt";
};

TEST_F(UnwritableFileTest, AFileThatCannotBeWrittenIsShownWithoutABox) {
  failOnce();
  EXPECT_EQ(form.caption(controls.dataFolderValue), "BŁĄD ZAPISU (3): " + path);
  EXPECT_EQ(form.foreColor(controls.dataFolderValue), ui::rgb(255, 0, 0));
  EXPECT_NE(fake.tray.tip.find(path), std::string::npos);
  EXPECT_TRUE(fake.messages.shown.empty()) << "no modal box stops the data path";
}

TEST_F(UnwritableFileTest, TheNextTransmissionTriesAgain) {
  failOnce();
  fake.files.unopenable.clear();
  scale.sendIn(Millis(10), "2");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(fake.files.contents[path], "2");
  EXPECT_EQ(form.caption(controls.dataFolderValue), path);
  EXPECT_EQ(form.foreColor(controls.dataFolderValue), ui::kBlack);
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
}

}  // namespace
}  // namespace pondex
