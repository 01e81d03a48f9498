// Hot keys and scale commands: the Timer3 tick with a fake global key state.
#include "output/hot_keys.h"

#include "tests/unit/key_fixture.h"

namespace pondex {
namespace {

constexpr int kF1 = 112, kF4 = 115, kF9 = 120, kF12 = 123;
constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);
const std::string kHotKeysOn =
    "GOR\xA5"
    "CY KLAWISZ=1\r\n";
const std::string kListeningOn = "SYGNA\xA3 ZEWNETRZNY=1\r\n";

class HotKeysTest : public KeyFixture {
 protected:
  HotKeysTest() { scale = &fake.serial.addPort("COM1"); }

  void start(const std::string& settings) {
    load(settings);
    form.userClick(c.cmdStart);
  }
  // Holds a key down until a command went out (each tick may wait behind a
  // blocking serial poll), then releases it.
  void tap(int vk, fakes::FakeSerialDevice* port = nullptr) {
    port = port != nullptr ? port : scale;
    const auto before = port->writes.size();
    fake.keyboard.asyncStates[static_cast<std::size_t>(vk)] = kDown;
    for (int i = 0; i < 40 && port->writes.size() == before; ++i) fake.loop.runFor(Millis(10));
    fake.keyboard.asyncStates[static_cast<std::size_t>(vk)] = 0;
  }

  fakes::FakeSerialDevice* scale = nullptr;
};

TEST_F(HotKeysTest, QueryAndTareCommandsGoOutWithCrLf) {
  start(kHotKeysOn + kListeningOn);
  tap(kF9);
  EXPECT_EQ(scale->written(), "\x53\x49\x0D\x0A");
  fake.loop.runFor(Millis(1000));
  tap(kF4);
  EXPECT_EQ(scale->written(), "SI\r\n\x54\x0D\x0A");
  EXPECT_EQ(fake.loop.sleeps(), std::vector<Millis>{Millis(10)}) << "a short pause after the tare command";
}

TEST_F(HotKeysTest, TheLowestHeldKeyWinsAndOneKeyCanSendBoth) {
  start(kHotKeysOn + kListeningOn);
  fake.keyboard.asyncStates[kF9] = kDown;
  tap(kF4);
  fake.keyboard.asyncStates[kF9] = 0;
  EXPECT_EQ(scale->written(), "T\r\n") << "F4 (115) is found before F9 (120)";

  form.userClick(c.lblTarowanie);  // the tare command on F9 too
  form.userClick(c.cmdHotKey[9]);
  tap(kF9);
  EXPECT_EQ(scale->written(), "T\r\nSI\r\nT\r\n");
}

TEST_F(HotKeysTest, HotKeysOffOrKeyNamesOutsideF1ToF12SendNothing) {
  start(kListeningOn +
        "GOR\xA5"
        "CY KLAWISZ=2\r\n");
  tap(kF9);
  EXPECT_EQ(scale->written(), "");
  EXPECT_FALSE(form.visible(c.frmHotKey));

  for (const char* name : {"F13", "f9", "F0", "", "F1 "}) EXPECT_EQ(functionKeyCode(name), std::nullopt) << name;
  EXPECT_EQ(functionKeyCode("F1"), kVkF1);
  EXPECT_EQ(functionKeyCode("F12"), kVkF12);
}

TEST_F(HotKeysTest, AnUnknownKeyNameLeavesThatHotKeyUnset) {
  start(kHotKeysOn + kListeningOn + "KLAWISZ=F13\r\n");
  tap(kF9);
  tap(kF4);
  EXPECT_EQ(scale->written(), "T\r\n");
}

TEST_F(HotKeysTest, HeldKeyRepeatsTheCommandOnEveryTick) {
  start(kHotKeysOn + kListeningOn);
  fake.keyboard.asyncStates[kF9] = kDown;
  fake.loop.runFor(Millis(2000));
  // There is no debouncing: every tick sends again. Each command first
  // empties the port (a read that waits 257 ms) and the poll takes its turn
  // between ticks, so a held key repeats about twice a second.
  std::string expected;
  for (std::size_t i = 0; i < scale->writes.size(); ++i) expected += "SI\r\n";
  EXPECT_GE(scale->writes.size(), 3u);
  EXPECT_EQ(scale->written(), expected);
}

TEST_F(HotKeysTest, WithoutListeningAHotKeyOpensThePortDiscardsPendingInputAndTheEndClosesIt) {
  start(kHotKeysOn);
  EXPECT_FALSE(scale->open);
  scale->sendIn(Millis(0), "old\r\n");  // waiting in the port before the command
  fake.keyboard.asyncStates[kF9] = kDown;
  fake.loop.runFor(Millis(200));
  fake.keyboard.asyncStates[kF9] = 0;
  EXPECT_TRUE(scale->open);
  EXPECT_EQ(scale->written(), "SI\r\n");
  EXPECT_EQ(scale->unread(), 0u) << "what waited in the port was discarded";
  scale->sendIn(Millis(20), "S S      1.000 kg\r\n");
  fake.loop.runFor(Millis(2000));
  EXPECT_FALSE(scale->open) << "closed again after the answer's transmission";
}

TEST_F(HotKeysTest, ListeningKeepsThePortOpenAndColoursTheConnectionLabel) {
  start(kListeningOn);
  const auto label = c.LblUstawieniaPortu;
  fake.loop.runFor(Millis(200));
  EXPECT_TRUE(scale->open);
  EXPECT_EQ(form.foreColor(label), ui::rgb(255, 0, 0));
  form.userClick(c.chNasluch);  // switched off: the port closes
  EXPECT_FALSE(scale->open);
  fake.loop.runFor(Millis(200));
  EXPECT_EQ(form.foreColor(label), ui::kBlack);
}

TEST_F(HotKeysTest, APortThatCannotBeOpenedStopsTheSupervisionAfterOneMessage) {
  fake.plantSettings("[USTAWIENIA]\r\nNR PORTU=7\r\n" + kListeningOn);
  ASSERT_TRUE(key.Form_Load());
  form.userClick(c.cmdStart);
  fake.loop.runFor(Millis(2000));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Com Port Com7: not available. Use Serial settings (on the main menu) to setup your ports.");
  EXPECT_FALSE(timerOn(kTimer3));
}

TEST_F(HotKeysTest, ThePickerAssignsAKeyThatTakesEffectAtOnce) {
  start(kHotKeysOn + kListeningOn);
  form.userClick(c.lblTarowanie);
  EXPECT_EQ(form.container(c.picKey), c.picHotKey);
  EXPECT_EQ(form.caption(c.LblTypKey), "Tarowanie");
  EXPECT_EQ(form.rect(c.picKey).top, form.rect(c.pic00).top + form.rect(c.pic00).height);
  form.userClick(c.cmdHotKey[12]);
  EXPECT_EQ(form.caption(c.lblTarowanieVal), "F12");
  EXPECT_EQ(fake.setting("KLAWISZT"), "F12");
  EXPECT_EQ(form.container(c.picKey), c.Smietnik);
  tap(kF12);
  EXPECT_EQ(scale->written(), "T\r\n");

  form.userClick(c.lblPytanie);
  form.userClick(c.cmdHotKey[1]);
  EXPECT_EQ(fake.setting("KLAWISZ"), "F1");
  tap(kF1);
  EXPECT_EQ(scale->written(), "T\r\nSI\r\n");
}

TEST_F(HotKeysTest, AnAdapterPulledOutIsRetriedQuietlyAndReopenedWhenBack) {
  start(kListeningOn);
  fake.loop.runFor(Millis(200));
  ASSERT_TRUE(scale->open);
  scale->unplug();
  fake.loop.runFor(Millis(2000));  // the poll notices; ten supervision ticks fail
  EXPECT_FALSE(scale->open);
  EXPECT_TRUE(fake.messages.shown.empty()) << "no box may take the keyboard focus";
  EXPECT_EQ(fake.tray.tip, "Pon_dex - Com1: missing");
  EXPECT_EQ(form.foreColor(c.LblUstawieniaPortu), ui::rgb(255, 0, 0));
  EXPECT_TRUE(timerOn(kTimer3)) << "the supervision goes on";

  scale->plugIn();
  fake.loop.runFor(Millis(1000));
  EXPECT_TRUE(scale->open);
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
  scale->sendIn(Millis(10), "7");
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(typed(), "7") << "and data flow again";
}

}  // namespace
}  // namespace pondex
