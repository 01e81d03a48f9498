#include "tests/unit/key_fixture.h"
#include "ui/sections.h"

namespace pondex {
namespace {

using fakes::FakeTray;

using KeyTest = KeyFixture;

TEST_F(KeyTest, SecondCopyEndsAtOnceWithoutTouchingAnything) {
  fake.instance.otherRunning = true;
  EXPECT_FALSE(key.Form_Load());
  EXPECT_TRUE(key.ended());
  EXPECT_TRUE(fake.files.created.empty());
  EXPECT_EQ(fake.profiles.reads, 0);
  EXPECT_TRUE(fake.profiles.writes.empty());
  EXPECT_TRUE(fake.tray.calls.empty());
  EXPECT_FALSE(form.visible(ui::kWindowId));
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(KeyTest, StartUpPreparesFoldersTrayAndWindow) {
  fake.files.directories.insert("c:\\kolvat\\");  // an existing folder is no error
  const auto& com1 = fake.serial.addPort("COM1");
  ASSERT_TRUE(key.Form_Load());
  EXPECT_EQ(fake.files.created, (std::vector<std::string>{"c:\\kolvat\\", "c:\\kolvat\\pon_dex\\"}));
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
  EXPECT_EQ(fake.tray.calls, std::vector<FakeTray::Call>{FakeTray::Call::Add});
  EXPECT_TRUE(form.visible(ui::kWindowId));
  EXPECT_EQ(form.caption(ui::kWindowId), "PON_DEX [F1-Help]");
  EXPECT_EQ(form.tag(c.mnuVisible), "visible");
  EXPECT_FALSE(form.visible(c.frmHotKey)) << "hot keys are off by default";
  EXPECT_EQ(com1.opens, 0) << "no port is opened at start-up";
  EXPECT_TRUE(timerOn(kTimer2));
  EXPECT_FALSE(timerOn(kTimer1));
  EXPECT_FALSE(timerOn(kTimer3));
}

TEST_F(KeyTest, AutostartPressesStartOnlyWithFileOutput) {
  fake.plantSettings("[USTAWIENIA]\r\nautostart=1\r\nplik=0\r\n");
  ASSERT_TRUE(key.Form_Load());
  EXPECT_EQ(form.value(c.chAutostart), 1);
  EXPECT_FALSE(form.visible(c.chAutostart));
  EXPECT_FALSE(timerOn(kTimer3));
  EXPECT_TRUE(form.visible(ui::kWindowId));

  fakes::FakePlatform fake2;
  Key key2(fake2.platform);
  fake2.plantSettings("[USTAWIENIA]\r\nAUTOSTART=1\r\nplik=1\r\n");
  ASSERT_TRUE(key2.Form_Load());
  EXPECT_TRUE(fake2.loop.timerEnabled(kTimer3));
  EXPECT_FALSE(key2.form().visible(ui::kWindowId));
}

TEST_F(KeyTest, StartHidesTheWindowAndTheCloseBoxOnlyHidesIt) {
  ASSERT_TRUE(key.Form_Load());
  ui::ShowSection(form, c, c.picRamka);
  form.userClick(c.cmdStart);
  EXPECT_FALSE(form.visible(ui::kWindowId));
  EXPECT_EQ(form.container(c.picRamka), c.Smietnik);
  EXPECT_TRUE(timerOn(kTimer3));
  form.setVisible(ui::kWindowId, true);
  ui::ShowSection(form, c, c.picPlik);
  key.unload(kUnloadByUser);
  EXPECT_FALSE(key.ended());
  EXPECT_FALSE(form.visible(ui::kWindowId));
  EXPECT_EQ(form.container(c.picPlik), c.Smietnik);
  EXPECT_TRUE(timerOn(kTimer2));
  EXPECT_TRUE(timerOn(kTimer3));
  EXPECT_TRUE(fake.tray.present);
  EXPECT_FALSE(fake.loop.quitRequested());
  EXPECT_EQ(fake.setting("Pytanie"), "<absent>");
}

TEST_F(KeyTest, ZamknijRemovesTrayWritesCommandsAndEnds) {
  fake.plantSettings("[USTAWIENIA]\r\nPytanie=P1\r\n");
  ASSERT_TRUE(key.Form_Load());
  form.userClick(c.cmdZamknij);
  EXPECT_TRUE(key.ended());
  EXPECT_TRUE(fake.loop.quitRequested());
  EXPECT_FALSE(fake.tray.present);
  EXPECT_EQ(fake.setting("Pytanie"), "P1");
  EXPECT_EQ(fake.setting("Tarowanie"), "T");
  EXPECT_FALSE(timerOn(kTimer2));
  key.unload(kUnloadBySystem);  // a second close changes nothing
  EXPECT_EQ(fake.tray.calls.back(), FakeTray::Call::Remove);
}

TEST_F(KeyTest, EndTransmissionTicksOnceAndRestoresIdleState) {
  ASSERT_TRUE(key.Form_Load());
  form.setVisible(c.txtTransmisja, true);
  key.ProcessSerialData("1");
  fake.loop.runFor(Millis(99));
  EXPECT_TRUE(form.visible(c.txtTransmisja));
  fake.loop.runFor(Millis(1));
  EXPECT_FALSE(form.visible(c.txtTransmisja));
  EXPECT_FALSE(timerOn(kTimer1));
  EXPECT_TRUE(timerOn(kTimer3));
  EXPECT_EQ(fake.tray.calls.back(), FakeTray::Call::Idle);
  const auto calls = fake.tray.calls.size();
  fake.loop.runFor(Millis(1000));
  EXPECT_EQ(fake.tray.calls.size(), calls) << "Timer1 ticks once per arming";
}

TEST_F(KeyTest, SectionLabelsShowOnePanelAtATime) {
  ASSERT_TRUE(key.Form_Load());
  form.userClick(c.lblPlik);
  form.userClick(c.lblRamka);
  EXPECT_EQ(form.container(c.picPlik), c.Smietnik);
  EXPECT_EQ(form.container(c.picRamka), ui::kWindowId);
  EXPECT_EQ(form.rect(c.picRamka).left, 50);
  EXPECT_EQ(form.rect(c.picRamka).top, 50);
}

}  // namespace
}  // namespace pondex
