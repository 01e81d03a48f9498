#include "output/target_check.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_tray.h"

namespace pondex {
namespace {

TEST(TargetCheck, WarnsOnlyOncePerWindowThatRunsHigherOrCannotBeExamined) {
  fakes::FakeForeground foreground;
  fakes::FakeTray tray;
  TargetCheck check{foreground, tray};
  foreground.target = {.window = 7, .rights = TargetRights::Higher, .title = "Edytor"};
  check.beforeTyping();
  check.beforeTyping();
  EXPECT_EQ(tray.balloons, std::vector<std::string>{"Pon_dex cannot type into Edytor: it runs as administrator"});

  foreground.target = {.window = 8, .rights = TargetRights::Unknown, .title = ""};
  check.beforeTyping();
  ASSERT_EQ(tray.balloons.size(), 2u);
  EXPECT_EQ(tray.balloons[1], "Pon_dex cannot type into the active window: it runs as administrator");

  foreground.target.window = 7;  // back to the first one: already told
  check.beforeTyping();
  // Nothing for an equal target or no foreground window.
  for (ForegroundTarget t : {ForegroundTarget{9, TargetRights::SameOrLower, "Notatnik"}, ForegroundTarget{}}) {
    foreground.target = t;
    check.beforeTyping();
  }
  EXPECT_EQ(tray.balloons.size(), 2u);
}

}  // namespace
}  // namespace pondex
