// The virtual-time loop is what every timing test stands on. The rules it
// shares with the real loop are in tests/contract/event_loop_contract.h;
// these are the exact virtual times and the posted events of the fake.
#include "tests/fakes/fake_event_loop.h"

#include <gtest/gtest.h>

#include <vector>

namespace pondex::fakes {
namespace {

TEST(FakeEventLoop, AnOverdueTickComesOnceNotAsABurst) {
  FakeEventLoop loop;
  std::vector<Millis> starts;
  // A 1 ms poll whose handler blocks for 257 ms, as an idle serial read
  // does: the next tick is due 1 ms after the end of the previous one.
  auto poll = loop.createTimer(Millis(1), [&] {
    starts.push_back(loop.now());
    loop.advanceClock(Millis(257));
  });
  poll->setEnabled(true);
  loop.runFor(Millis(1000));
  EXPECT_EQ(starts, (std::vector<Millis>{Millis(1), Millis(259), Millis(517), Millis(775)}));
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
