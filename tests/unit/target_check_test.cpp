#include "output/target_check.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_tray.h"

namespace pondex {
namespace {

class TargetCheckTest : public ::testing::Test {
 protected:
  fakes::FakeForeground foreground;
  fakes::FakeTray tray;
  TargetCheck check{foreground, tray};
};

TEST_F(TargetCheckTest, WarnsOncePerWindowThatRunsHigherOrCannotBeExamined) {
  foreground.target = {.window = 7, .rights = TargetRights::Higher, .title = "Edytor"};
  check.beforeTyping();
  check.beforeTyping();
  ASSERT_EQ(tray.balloons.size(), 1u);
  EXPECT_EQ(tray.balloons[0].title, "Pon_dex");
  EXPECT_EQ(tray.balloons[0].text, "Pon_dex cannot type into Edytor: it runs as administrator");

  foreground.target = {.window = 8, .rights = TargetRights::Unknown, .title = ""};
  check.beforeTyping();
  ASSERT_EQ(tray.balloons.size(), 2u);
  EXPECT_EQ(tray.balloons[1].text, "Pon_dex cannot type into the active window: it runs as administrator");

  foreground.target.window = 7;  // back to the first one: already told
  check.beforeTyping();
  EXPECT_EQ(tray.balloons.size(), 2u);
}

TEST_F(TargetCheckTest, SaysNothingForAnEqualTargetOrNoForegroundWindow) {
  for (ForegroundTarget t : {ForegroundTarget{7, TargetRights::SameOrLower, "Notatnik"}, ForegroundTarget{}}) {
    foreground.target = t;
    check.beforeTyping();
  }
  EXPECT_TRUE(tray.balloons.empty());
}

}  // namespace
}  // namespace pondex
