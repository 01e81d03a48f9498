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
};

TEST_F(HotKeysTest, ThePickerAssignsKeysThatTakeEffectAtOnceAndOneKeyCanSendBoth) {
  start(kHotKeysOn + kListening);
  const auto assign = [&](ui::ControlId label, std::size_t functionKey) {
    form.userClick(label);
    form.userClick(c.hotKeyButtons[functionKey]);
    EXPECT_EQ(form.container(c.keyPicker), c.parkingHolder) << "the picker closes";
  };
  assign(c.tareLabel, 12);
  EXPECT_EQ(form.caption(c.tareKeyValue), "F12");
  EXPECT_EQ(fake.setting("KLAWISZT"), "F12");
  tap(kF12);
  assign(c.queryLabel, 1);
  EXPECT_EQ(fake.setting("KLAWISZ"), "F1");
  tap(kF1);
  assign(c.queryLabel, 12);
  tap(kF12);
  EXPECT_EQ(scale.written(), "T\r\nSI\r\nSI\r\nT\r\n");
}

TEST_F(HotKeysTest, NothingIsSentWithHotKeysOffOrForAKeyNameOutsideF1ToF12) {
  start(kListening + "KLAWISZ=F13\r\n");
  tap(kF4);
  EXPECT_EQ(scale.written(), "") << "hot keys are off by default";
  form.userClick(c.hotKeysBox);
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

}  // namespace
}  // namespace pondex
