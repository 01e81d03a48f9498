#pragma once
// The rules of platform/event_loop.h, once, for every loop: the virtual-time
// fake (native) and the Windows loop (under Wine, in real time). An Env
// provides:
//   EventLoop& loop();
//   Millis now();              the loop's clock
//   void runFor(Millis d);     runs the loop (idle ticks happen) for d
//   void block(Millis d);      the thread is busy for d: nothing runs
// The tests only assert order and counts, never a real duration, so they
// hold on a loaded machine too.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/event_loop.h"

namespace pondex::contract {

template <typename Env>
class EventLoopContract : public ::testing::Test {
 protected:
  Env env;
};

TYPED_TEST_SUITE_P(EventLoopContract);

TYPED_TEST_P(EventLoopContract, AnOverdueTimerGoesBeforeAShortOneThatJustBlocked) {
  auto& e = this->env;
  std::string log;
  // The long timer is created first; the short one blocks, so the long one
  // falls due inside it.
  auto longer = e.loop().createTimer(Millis(100), [&] { log += 'L'; });
  std::unique_ptr<Timer> shorter;
  shorter = e.loop().createTimer(Millis(1), [&] {
    log += 'S';
    e.block(Millis(250));
    if (log.size() >= 4) shorter->setEnabled(false);
  });
  longer->setEnabled(true);
  shorter->setEnabled(true);
  e.runFor(Millis(1200));
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log.substr(0, 3), "SLS") << "the short timer's next tick is due 1 ms after its END";
}

TYPED_TEST_P(EventLoopContract, ReenablingRestartsTheIntervalButEnablingAgainDoesNot) {
  auto& e = this->env;
  const Millis start = e.now();
  std::vector<Millis> ticks;
  auto timer = e.loop().createTimer(Millis(300), [&] { ticks.push_back(e.now()); });
  timer->setEnabled(true);
  e.runFor(Millis(150));
  timer->setEnabled(true);  // already on: no restart, the tick stays due at 300 ms
  e.runFor(Millis(250));
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_GE(ticks[0] - start, Millis(299));

  timer->setEnabled(false);
  timer->setEnabled(true);
  const Millis restarted = e.now();
  e.runFor(Millis(200));
  EXPECT_EQ(ticks.size(), 1u) << "a full interval again from the restart";
  e.runFor(Millis(250));
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_GE(ticks[1] - restarted, Millis(299));
  timer->setEnabled(false);
}

TYPED_TEST_P(EventLoopContract, RestartInPutsTheNextTickAtTheChosenDelayThenFollowsTheInterval) {
  auto& e = this->env;
  std::vector<Millis> ticks;
  auto timer = e.loop().createTimer(Millis(300), [&] { ticks.push_back(e.now()); });
  const Millis start = e.now();
  timer->restartIn(Millis(40));
  e.runFor(Millis(200));
  ASSERT_EQ(ticks.size(), 1u) << "the first tick comes after the chosen delay, not the interval";
  EXPECT_GE(ticks[0] - start, Millis(39));
  timer->restartIn(Millis(500));  // an enabled timer is moved too
  e.runFor(Millis(400));
  EXPECT_EQ(ticks.size(), 1u);
  e.runFor(Millis(200));
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_GE(ticks[1] - ticks[0], Millis(160 + 500 - 1));
  e.runFor(Millis(300));
  EXPECT_EQ(ticks.size(), 3u) << "then the interval again";
  timer->restartIn(Millis(-5));  // already past: due at once
  e.runFor(Millis(20));
  EXPECT_EQ(ticks.size(), 4u);
  EXPECT_EQ(e.loop().now(), e.now()) << "the loop's clock is the one its timers run on";
  timer->setEnabled(false);
}

TYPED_TEST_P(EventLoopContract, ATimerDestroyedInsideATickNeverTicksAgain) {
  auto& e = this->env;
  int ticksOfA = 0;
  int ticksOfB = 0;
  std::unique_ptr<Timer> a;
  std::unique_ptr<Timer> b = e.loop().createTimer(Millis(50), [&] { ++ticksOfB; });
  a = e.loop().createTimer(Millis(5), [&] {
    ++ticksOfA;
    b.reset();
    a.reset();  // its own timer, while its tick runs
  });
  a->setEnabled(true);
  b->setEnabled(true);
  e.runFor(Millis(150));
  EXPECT_EQ(ticksOfA, 1);
  EXPECT_EQ(ticksOfB, 0);
}

REGISTER_TYPED_TEST_SUITE_P(EventLoopContract, AnOverdueTimerGoesBeforeAShortOneThatJustBlocked,
                            ReenablingRestartsTheIntervalButEnablingAgainDoesNot,
                            RestartInPutsTheNextTickAtTheChosenDelayThenFollowsTheInterval,
                            ATimerDestroyedInsideATickNeverTicksAgain);

}  // namespace pondex::contract
