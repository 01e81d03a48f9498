// The supervision of the serial line while listening: a port that cannot
// be opened, an adapter pulled out and put back, listening switched off.
#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

using SerialSupervisionTest = ControllerFixture;

// The supervision stops, so the message comes once.
TEST_F(SerialSupervisionTest, APortThatCannotBeOpenedIsGivenUpWithOneMessage) {
  start("NR PORTU=7\r\n" + kListening);
  fake.loop.runFor(Millis(200));
  EXPECT_FALSE(timerOn(kSupervisionTimer));
  fake.loop.runFor(Millis(2000));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Com Port Com7: not available. Use Serial settings (on the main menu) to setup your ports.");
}

TEST_F(SerialSupervisionTest, ListeningReopensAPulledOutAdapterQuietly) {
  start(kListening);
  fake.loop.runFor(Millis(200));
  ASSERT_TRUE(scale.open);
  scale.unplug();
  fake.loop.runFor(Millis(2000));  // the read fails at once; ten supervision ticks fail
  EXPECT_FALSE(scale.open);
  EXPECT_TRUE(fake.messages.shown.empty()) << "no box may take the keyboard focus";
  EXPECT_EQ(fake.tray.tip, "Pon_dex - Com1: missing");
  EXPECT_EQ(form.foreColor(controls.connectionLabel), ui::rgb(255, 0, 0));

  scale.plugIn();
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
  scale.sendIn(Millis(10), "7");
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(typed(), "7") << "reopened, and data flow again";
}

// The tip's owner hears of both conditions: the adapter pulled out after a
// data file could not be written (each clearing alone is the tip owner's).
TEST_F(SerialSupervisionTest, AMissingAdapterAndAFailedFileShowTogether) {
  listen("plik=1\r\nplik stat=-1\r\n");
  const std::string path = "c:\\kolvat\\pon_dex\\261206.txt";
  fake.files.unopenable.insert(path);
  scale.sendIn(Millis(10), "1");
  fake.loop.runFor(Millis(1000));
  scale.unplug();
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(fake.tray.tip, "Pon_dex - Com1: missing - BŁĄD ZAPISU: " + path);
}

// The red label is the open port's.
TEST_F(SerialSupervisionTest, ListeningSwitchedOffClosesThePort) {
  start(kListening);
  fake.loop.runFor(Millis(200));
  ASSERT_TRUE(scale.open);
  EXPECT_EQ(form.foreColor(controls.connectionLabel), ui::rgb(255, 0, 0));
  form.userClick(controls.listeningBox);
  EXPECT_FALSE(scale.open);
  fake.loop.runFor(Millis(200));
  EXPECT_EQ(form.foreColor(controls.connectionLabel), ui::kBlack);
}

}  // namespace
}  // namespace pondex
