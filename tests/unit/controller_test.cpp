#include <gmock/gmock.h>

#include <algorithm>

#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

using fakes::FakeTray;

using ControllerTest = ControllerFixture;

TEST_F(ControllerTest, ASecondCopyEndsWithoutTouchingAnything) {
  fakes::FakePlatform second;
  second.instance.otherRunning = true;
  Controller copy(second.platform);
  EXPECT_FALSE(copy.start());
  EXPECT_TRUE(copy.ended());
  EXPECT_TRUE(second.files.created.empty());
  EXPECT_TRUE(second.profiles.writes.empty());
  EXPECT_TRUE(second.tray.calls.empty());
}

TEST_F(ControllerTest, StartUpMakesTheDataFolders) {
  fake.files.directories.insert("c:\\kolvat\\");  // an existing folder is no error
  load();
  EXPECT_EQ(fake.files.created, (std::vector<std::string>{"c:\\kolvat\\", "c:\\kolvat\\pon_dex\\"}));
}

TEST_F(ControllerTest, StartUpPutsTheIconIntoTheTray) {
  load();
  EXPECT_EQ(fake.tray.calls, std::vector<FakeTray::Call>{FakeTray::Call::Add});
  EXPECT_EQ(fake.tray.tip, "Pon_dex");
}

// "Autostart" presses START at start-up when the data go to a file; a
// grayed box, or keystroke output, leaves it to the user.
TEST_F(ControllerTest, AutostartPressesStartOnlyWhenCheckedForFileOutput) {
  const std::string autostart[] = {"AUTOSTART=1\r\nplik=1\r\n", "AUTOSTART=2\r\nplik=1\r\n",
                                   "AUTOSTART=1\r\nplik=0\r\n"};
  const bool started[] = {true, false, false};
  for (int i = 0; i < 3; ++i) {
    fakes::FakePlatform platform;
    platform.plantSettings("[USTAWIENIA]\r\n" + autostart[i]);
    Controller program(platform.platform);
    ASSERT_TRUE(program.start());
    EXPECT_EQ(platform.loop.timerEnabled(kSupervisionTimer), started[i]) << autostart[i];
    EXPECT_EQ(program.form().visible(ui::kWindowId), !started[i]) << "START hides the window";
  }
}

TEST_F(ControllerTest, AnIdleMinuteRunsNoTimerShorterThanTheSupervisionWithThePortClosedOrOpen) {
  load(kListening);
  fake.loop.runFor(std::chrono::minutes(1));
  EXPECT_TRUE(fake.loop.ticks().empty()) << "the window shown, nothing started: nothing ticks";
  EXPECT_EQ(scale.opens, 0) << "no port is opened at start-up";

  form.userClick(controls.startButton);
  fake.loop.runFor(std::chrono::minutes(1));
  ASSERT_TRUE(scale.open);
  EXPECT_EQ(fake.loop.ticks().size(), 300u) << "the supervision, five times a second";
  EXPECT_THAT(fake.loop.ticks(), ::testing::Each(Millis(200)));
}

TEST_F(ControllerTest, TheCloseBoxOnlyHidesTheWindow) {
  start("Pytanie=P1\r\n");
  EXPECT_FALSE(form.visible(ui::kWindowId)) << "START hides the window";
  form.setVisible(ui::kWindowId, true);
  controller.unload(ui::CloseReason::User);
  EXPECT_FALSE(form.visible(ui::kWindowId));
  EXPECT_FALSE(controller.ended());
  EXPECT_TRUE(timerOn(kSupervisionTimer)) << "listening goes on behind the hidden window";
  EXPECT_EQ(fake.setting("Tarowanie"), "<absent>");
}

TEST_F(ControllerTest, ZamknijWritesTheCommands) {
  start("Pytanie=P1\r\n");
  form.userClick(controls.closeButton);
  EXPECT_EQ(fake.setting("Pytanie"), "P1");
  EXPECT_EQ(fake.setting("Tarowanie"), "T");
}

TEST_F(ControllerTest, ZamknijEndsTheProgramOnce) {
  start("Pytanie=P1\r\n");
  form.userClick(controls.closeButton);
  EXPECT_TRUE(controller.ended());
  EXPECT_TRUE(fake.loop.quitRequested());
  EXPECT_FALSE(timerOn(kSupervisionTimer));
  controller.unload(ui::CloseReason::Session);  // a second close changes nothing
  EXPECT_EQ(fake.tray.calls.back(), FakeTray::Call::Remove);
  EXPECT_EQ(std::count(fake.tray.calls.begin(), fake.tray.calls.end(), FakeTray::Call::Remove), 1);
}

}  // namespace
}  // namespace pondex
