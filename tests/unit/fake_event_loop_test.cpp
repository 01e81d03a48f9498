// The virtual-time loop is what every timing test stands on: its timer
// rules must match the real loop's.
#include "tests/fakes/fake_event_loop.h"

#include <gtest/gtest.h>

#include <vector>

namespace pondex::fakes {
namespace {

TEST(FakeEventLoop, ReenablingRestartsTheIntervalButEnablingAgainDoesNot) {
  FakeEventLoop loop;
  std::vector<Millis> ticks;
  auto t = loop.createTimer(Millis(100), [&] { ticks.push_back(loop.now()); });
  t->setEnabled(true);
  loop.runFor(Millis(60));
  t->setEnabled(true);
  loop.runFor(Millis(60));
  EXPECT_EQ(ticks, std::vector<Millis>{Millis(100)});
  t->setEnabled(false);
  t->setEnabled(true);
  loop.runFor(Millis(99));
  EXPECT_EQ(ticks.size(), 1u);
  loop.runFor(Millis(1));
  EXPECT_EQ(ticks.back(), Millis(220));
}

TEST(FakeEventLoop, AnOverdueTickComesOnceNotAsABurst) {
  FakeEventLoop loop;
  std::vector<Millis> starts;
  // A 1 ms poll whose handler blocks for 257 ms, as an idle serial read does.
  auto poll = loop.createTimer(Millis(1), [&] {
    starts.push_back(loop.now());
    loop.advanceClock(Millis(257));
  });
  poll->setEnabled(true);
  loop.runFor(Millis(1000));
  EXPECT_EQ(starts, (std::vector<Millis>{Millis(1), Millis(258), Millis(515), Millis(772)}));
}

TEST(FakeEventLoop, YieldRunsPendingEventsAndDueTimersButNotTheRunningOne) {
  FakeEventLoop loop;
  int inner = 0;
  int outer = 0;
  auto other = loop.createTimer(Millis(5), [&] { ++inner; });
  std::unique_ptr<Timer> self;
  self = loop.createTimer(Millis(5), [&] {
    ++outer;
    loop.post([&] { inner += 10; });
    loop.yieldToPendingEvents();
  });
  other->setEnabled(true);
  self->setEnabled(true);
  loop.runFor(Millis(5));
  EXPECT_EQ(outer, 1);
  EXPECT_EQ(inner, 11);
}

}  // namespace
}  // namespace pondex::fakes
