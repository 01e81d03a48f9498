// The supervision of the serial line while listening: a port that cannot
// be opened, an adapter pulled out and put back, listening switched off.
#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

using SerialSupervisionTest = ControllerFixture;

TEST_F(SerialSupervisionTest, APortThatCannotBeOpenedSaysSoOnce) {
  start("NR PORTU=7\r\n" + kListening);
  fake.loop.runFor(Millis(2000));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Com Port Com7: not available. Use Serial settings (on the main menu) to setup your ports.");
}

TEST_F(SerialSupervisionTest, APortThatCannotBeOpenedStopsTheSupervision) {
  start("NR PORTU=7\r\n" + kListening);
  fake.loop.runFor(Millis(200));
  EXPECT_FALSE(timerOn(kSupervisionTimer));
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

TEST_F(SerialSupervisionTest, ReadsThatKeepFailingForASecondAreTakenForAPulledOutAdapter) {
  // A driver that answers "access denied" after a removal, not "gone", and
  // the adapter cannot be opened meanwhile.
  start(kListening);
  fake.loop.runFor(Millis(200));
  ASSERT_TRUE(scale.open);
  scale.refuseOpen = kErrorFileNotFound;
  const Millis t0 = fake.loop.now();
  for (int i = 0; i <= 4; ++i) scale.readFailsAt(t0 + Millis(250 * i), kErrorAccessDenied);
  fake.loop.runFor(Millis(900));
  EXPECT_TRUE(scale.open) << "less than a second of failures";
  fake.loop.runFor(Millis(300));
  EXPECT_FALSE(scale.open);
  EXPECT_EQ(fake.tray.tip, "Pon_dex - Com1: missing");
  EXPECT_EQ(form.foreColor(controls.connectionLabel), ui::rgb(255, 0, 0));
  EXPECT_TRUE(fake.messages.shown.empty()) << "no box may take the keyboard focus";
  scale.refuseOpen.reset();
  fake.loop.runFor(Millis(400));
  EXPECT_TRUE(scale.open) << "reopened quietly";
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
}

// The tip's owner keeps both conditions: the adapter pulled out after a
// data file could not be written.
class TipConditionsTest : public SerialSupervisionTest {
 protected:
  void failAFileThenPullTheAdapter() {
    listen("plik=1\r\nplik stat=-1\r\n");
    fake.files.unopenable.insert(path);
    scale.sendIn(Millis(10), "1");
    fake.loop.runFor(Millis(1000));
    EXPECT_EQ(fake.tray.tip, "Pon_dex - BŁĄD ZAPISU: " + path);
    scale.unplug();
    fake.loop.runFor(Millis(2000));
  }
  const std::string path = "c:\\kolvat\\pon_dex\\261206.txt";
};

TEST_F(TipConditionsTest, AMissingAdapterAndAFailedFileShowTogether) {
  failAFileThenPullTheAdapter();
  EXPECT_EQ(fake.tray.tip, "Pon_dex - Com1: missing - BŁĄD ZAPISU: " + path);
}

TEST_F(TipConditionsTest, EachConditionClearsOnItsOwn) {
  failAFileThenPullTheAdapter();
  scale.plugIn();
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(fake.tray.tip, "Pon_dex - BŁĄD ZAPISU: " + path) << "the adapter's part clears alone";

  fake.files.unopenable.clear();
  scale.sendIn(Millis(10), "2");
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
}

TEST_F(SerialSupervisionTest, ListeningSwitchedOffClosesThePort) {
  start(kListening);
  fake.loop.runFor(Millis(200));
  ASSERT_TRUE(scale.open);
  form.userClick(controls.listeningBox);
  EXPECT_FALSE(scale.open);
}

TEST_F(SerialSupervisionTest, ListeningSwitchedOffClearsThePortsColour) {
  start(kListening);
  fake.loop.runFor(Millis(200));
  EXPECT_EQ(form.foreColor(controls.connectionLabel), ui::rgb(255, 0, 0));
  form.userClick(controls.listeningBox);
  fake.loop.runFor(Millis(200));
  EXPECT_EQ(form.foreColor(controls.connectionLabel), ui::kBlack);
}

}  // namespace
}  // namespace pondex
