// Hot keys and scale commands: the supervision tick with a fake global key
// state.
#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

class HotKeysTest : public ControllerFixture {
 protected:
  // Picks function key `functionKey` for the command of `label`.
  void assign(ui::ControlId label, std::size_t functionKey) {
    form.userClick(label);
    form.userClick(controls.hotKeyButtons[functionKey]);
    EXPECT_EQ(form.container(controls.keyPicker), controls.parkingHolder) << "the picker closes";
  }
};

TEST_F(HotKeysTest, ThePickerAssignsKeysThatTakeEffectAtOnce) {
  start(kHotKeysOn + kListening);
  assign(controls.tareLabel, 12);
  EXPECT_EQ(form.caption(controls.tareKeyValue), "F12");
  EXPECT_EQ(fake.setting("KLAWISZT"), "F12");
  tap(kF12);
  assign(controls.queryLabel, 1);
  EXPECT_EQ(fake.setting("KLAWISZ"), "F1");
  tap(kF1);
  EXPECT_EQ(scale.written(), "T\r\nSI\r\n");
}

TEST_F(HotKeysTest, OneKeyCanSendBothCommandsTheQueryFirst) {
  start(kHotKeysOn + kListening);
  assign(controls.tareLabel, 12);
  assign(controls.queryLabel, 12);
  tap(kF12);
  EXPECT_EQ(scale.written(), "SI\r\nT\r\n");
}

TEST_F(HotKeysTest, NothingIsSentWithHotKeysOffOrForAKeyNameOutsideF1ToF12) {
  start(kListening + "KLAWISZ=F13\r\n");
  tap(kF4);
  EXPECT_EQ(scale.written(), "") << "hot keys are off by default";
  form.userClick(controls.hotKeysBox);
  tap(kF9);
  tap(kF4);
  EXPECT_EQ(scale.written(), "T\r\n") << "F13 left the query key unset";
}

// A scale's old line waits in the port, the read key is pressed, and the
// scale answers.
TEST_F(HotKeysTest, WithoutListeningAHotKeyOpensThePortForTheExchangeOnly) {
  start(kHotKeysOn);
  EXPECT_FALSE(scale.open);
  scale.sendIn(Millis(0), "old\r\n");
  tap(kF9);
  EXPECT_TRUE(scale.open);
  EXPECT_EQ(scale.written(), "SI\r\n");
  scale.sendIn(Millis(20), "S S      1.000 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(typed(), "S S      1,000 kg\r\n") << "what waited before the command is discarded";
  EXPECT_FALSE(scale.open) << "closed again after the answer's transmission";
}

}  // namespace
}  // namespace pondex
