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

TEST_F(ControllerTest, StartUpMakesTheFoldersAndTheTrayIconButOpensNoPort) {
  fake.files.directories.insert("c:\\kolvat\\");  // an existing folder is no error
  load();
  EXPECT_EQ(fake.files.created, (std::vector<std::string>{"c:\\kolvat\\", "c:\\kolvat\\pon_dex\\"}));
  EXPECT_EQ(fake.tray.calls, std::vector<FakeTray::Call>{FakeTray::Call::Add});
  EXPECT_EQ(scale.opens, 0) << "no port is opened at start-up";
  EXPECT_FALSE(timerOn(kSupervisionTimer));
}

TEST_F(ControllerTest, AnIdleMinuteRunsNoTimerShorterThanTheSupervisionWithThePortClosedOrOpen) {
  load(kListening);
  fake.loop.runFor(std::chrono::minutes(1));
  EXPECT_TRUE(fake.loop.ticks().empty()) << "the window shown, nothing started: nothing ticks";

  form.userClick(c.startButton);
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

TEST_F(ControllerTest, ZamknijEndsTheProgramOnceAndWritesTheCommands) {
  start("Pytanie=P1\r\n");
  form.userClick(c.closeButton);
  EXPECT_TRUE(controller.ended());
  EXPECT_TRUE(fake.loop.quitRequested());
  EXPECT_FALSE(timerOn(kSupervisionTimer));
  EXPECT_EQ(fake.setting("Pytanie"), "P1");
  EXPECT_EQ(fake.setting("Tarowanie"), "T");
  controller.unload(ui::CloseReason::Session);  // a second close changes nothing
  EXPECT_EQ(fake.tray.calls.back(), FakeTray::Call::Remove);
  EXPECT_EQ(std::count(fake.tray.calls.begin(), fake.tray.calls.end(), FakeTray::Call::Remove), 1);
}

}  // namespace
}  // namespace pondex
