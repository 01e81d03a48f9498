// Hot keys and scale commands: the supervision tick with a fake global key
// state.
#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

constexpr int kF1 = 112, kF4 = 115, kF9 = 120, kF12 = 123;
constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);

class HotKeysTest : public ControllerFixture {
 protected:
  // Holds a key down until a command went out, then releases it.
  void tap(int vk) {
    const auto before = scale.writes.size();
    fake.keyboard.asyncStates[static_cast<std::size_t>(vk)] = kDown;
    for (int i = 0; i < 40 && scale.writes.size() == before; ++i) fake.loop.runFor(Millis(10));
    fake.keyboard.asyncStates[static_cast<std::size_t>(vk)] = 0;
  }
  // Picks function key `functionKey` for the command of `label`.
  void assign(ui::ControlId label, std::size_t functionKey) {
    form.userClick(label);
    form.userClick(controls.hotKeyButtons[functionKey]);
    EXPECT_EQ(form.container(controls.keyPicker), controls.parkingHolder) << "the picker closes";
  }
  // Without listening: a scale's old line waits in the port, the read key is
  // pressed, and the scale answers.
  void askWithoutListening() {
    start(kHotKeysOn);
    EXPECT_FALSE(scale.open);
    scale.sendIn(Millis(0), "old\r\n");  // waiting in the port before the command
    tap(kF9);
    openedForCommand = scale.open;
    scale.sendIn(Millis(20), "S S      1.000 kg\r\n");
    fake.loop.runFor(Millis(2000));
  }
  bool openedForCommand = false;
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

TEST_F(HotKeysTest, WithoutListeningAHotKeyOpensThePortForItsCommand) {
  askWithoutListening();
  EXPECT_TRUE(openedForCommand);
  EXPECT_EQ(scale.written(), "SI\r\n");
}

TEST_F(HotKeysTest, WithoutListeningWhatWaitedBeforeTheCommandIsDiscarded) {
  askWithoutListening();
  EXPECT_EQ(typed(), "S S      1,000 kg\r\n");
}

TEST_F(HotKeysTest, WithoutListeningThePortClosesAfterTheAnswer) {
  askWithoutListening();
  EXPECT_FALSE(scale.open) << "closed again after the answer's transmission";
}

}  // namespace
}  // namespace pondex
