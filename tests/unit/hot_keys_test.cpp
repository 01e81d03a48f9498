// Hot keys and scale commands: the supervision tick with a fake global key
// state.
#include "tests/unit/key_fixture.h"

namespace pondex {
namespace {

constexpr int kF1 = 112, kF4 = 115, kF9 = 120, kF12 = 123;
constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);

class HotKeysTest : public KeyFixture {
 protected:
  // Holds a key down until a command went out, then releases it.
  void tap(int vk) {
    const auto before = scale.writes.size();
    fake.keyboard.asyncStates[static_cast<std::size_t>(vk)] = kDown;
    for (int i = 0; i < 40 && scale.writes.size() == before; ++i) fake.loop.runFor(Millis(10));
    fake.keyboard.asyncStates[static_cast<std::size_t>(vk)] = 0;
  }
};

TEST_F(HotKeysTest, ThePickerAssignsKeysThatTakeEffectAtOnceAndOneKeyCanSendBoth) {
  start(kHotKeysOn + kListening);
  const auto assign = [&](ui::ControlId label, std::size_t functionKey) {
    form.userClick(label);
    form.userClick(c.cmdHotKey[functionKey]);
    EXPECT_EQ(form.container(c.picKey), c.Smietnik) << "the picker closes";
  };
  assign(c.lblTarowanie, 12);
  EXPECT_EQ(form.caption(c.lblTarowanieVal), "F12");
  EXPECT_EQ(fake.setting("KLAWISZT"), "F12");
  tap(kF12);
  assign(c.lblPytanie, 1);
  EXPECT_EQ(fake.setting("KLAWISZ"), "F1");
  tap(kF1);
  assign(c.lblPytanie, 12);
  tap(kF12);
  EXPECT_EQ(scale.written(), "T\r\nSI\r\nSI\r\nT\r\n");
}

TEST_F(HotKeysTest, NothingIsSentWithHotKeysOffOrForAKeyNameOutsideF1ToF12) {
  start(kListening + "KLAWISZ=F13\r\n");
  tap(kF4);
  EXPECT_EQ(scale.written(), "") << "hot keys are off by default";
  form.userClick(c.chHotKey);
  tap(kF9);
  tap(kF4);
  EXPECT_EQ(scale.written(), "T\r\n") << "F13 left the query key unset";
}

TEST_F(HotKeysTest, WithoutListeningAHotKeyOpensThePortDiscardsOldInputAndTheEndClosesIt) {
  start(kHotKeysOn);
  EXPECT_FALSE(scale.open);
  scale.sendIn(Millis(0), "old\r\n");  // waiting in the port before the command
  tap(kF9);
  EXPECT_TRUE(scale.open);
  scale.sendIn(Millis(20), "S S      1.000 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(scale.written(), "SI\r\n");
  EXPECT_EQ(typed(), "S S      1,000 kg\r\n");
  EXPECT_FALSE(scale.open) << "closed again after the answer's transmission";
}

TEST_F(HotKeysTest, APortThatCannotBeOpenedSaysSoOnceAndTheSupervisionStops) {
  start("NR PORTU=7\r\n" + kListening);
  fake.loop.runFor(Millis(2000));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Com Port Com7: not available. Use Serial settings (on the main menu) to setup your ports.");
  EXPECT_FALSE(timerOn(kTimer3));
}

TEST_F(HotKeysTest, ListeningReopensAPulledOutAdapterQuietlyAndSwitchedOffClosesThePort) {
  start(kListening);
  fake.loop.runFor(Millis(200));
  ASSERT_TRUE(scale.open);
  scale.unplug();
  fake.loop.runFor(Millis(2000));  // the read fails at once; ten supervision ticks fail
  EXPECT_FALSE(scale.open);
  EXPECT_TRUE(fake.messages.shown.empty()) << "no box may take the keyboard focus";
  EXPECT_EQ(fake.tray.tip, "Pon_dex - Com1: missing");
  EXPECT_EQ(form.foreColor(c.LblUstawieniaPortu), ui::rgb(255, 0, 0));

  scale.plugIn();
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
  scale.sendIn(Millis(10), "7");
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(typed(), "7") << "reopened, and data flow again";
  form.userClick(c.chNasluch);
  EXPECT_FALSE(scale.open);
  fake.loop.runFor(Millis(200));
  EXPECT_EQ(form.foreColor(c.LblUstawieniaPortu), ui::kBlack);
}

}  // namespace
}  // namespace pondex
