#include "ui/redraw_limiter.h"

#include <gtest/gtest.h>

#include <vector>

namespace pondex::ui {
namespace {

// Changes at `changes` (ms, ascending) with the caller's timer running
// timeUp() at every deadline; the times of the redraws.
std::vector<int> redraws(const std::vector<int>& changes, int until) {
  RedrawLimiter limiter;
  std::vector<int> drawn;
  auto next = changes.begin();
  for (int now = 0; now <= until; ++now) {
    if (const auto due = limiter.deadline(); due && due->count() <= now && limiter.timeUp(Millis(now))) {
      drawn.push_back(now);
    }
    for (; next != changes.end() && *next == now; ++next) {
      if (limiter.changed(Millis(now))) drawn.push_back(now);
    }
  }
  return drawn;
}

TEST(RedrawLimiter, AtMostTwentyRedrawsInAnySecondWithTheLastChangeDrawn) {
  std::vector<int> changes;
  for (int t = 0; t < 3000; t += 7) changes.push_back(t);  // 143 readings a second
  const std::vector<int> drawn = redraws(changes, 4000);
  for (std::size_t i = 20; i < drawn.size(); ++i) {
    ASSERT_GE(drawn[i] - drawn[i - 20], 1000) << "21 redraws within a second, the last at " << drawn[i];
  }
  EXPECT_GE(drawn.size(), 59u) << "and not fewer than the limit allows";
  EXPECT_GE(drawn.back(), changes.back());
  EXPECT_LE(drawn.back(), changes.back() + 50);
}

TEST(RedrawLimiter, EachChangeIsDrawnAtTheFirstFreeSlot) {
  EXPECT_EQ(redraws({0, 1000}, 2000), (std::vector<int>{0, 1000}));
  EXPECT_EQ(redraws({0, 10, 20, 30}, 2000), (std::vector<int>{0, 50}));
  EXPECT_EQ(redraws({0, 30, 49}, 2000), (std::vector<int>{0, 50})) << "one owed redraw shows both";
  EXPECT_EQ(redraws({0, 49, 50}, 2000), (std::vector<int>{0, 50, 100})) << "a change after it owes another";
}

}  // namespace
}  // namespace pondex::ui
