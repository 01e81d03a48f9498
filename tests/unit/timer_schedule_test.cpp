// What the loops' shared contract cannot show in real time: ties, and
// ticks that throw.
#include "platform/portable/timer_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace pondex {
namespace {

using Millis = TimerSchedule::Millis;

class TimerScheduleTest : public ::testing::Test {
 protected:
  Millis now{0};
  TimerSchedule schedule{[this] { return now; }};
  std::string log;
};

TEST_F(TimerScheduleTest, TimersDueAtTheSameMomentRunInCreationOrderWhateverTheEnableOrder) {
  const auto a = schedule.add(Millis(10), [&] { log += 'a'; });
  const auto b = schedule.add(Millis(10), [&] { log += 'b'; });
  const auto c = schedule.add(Millis(10), [&] { log += 'c'; });
  schedule.setEnabled(c, true);
  schedule.setEnabled(b, true);
  schedule.setEnabled(a, true);
  now = Millis(50);
  EXPECT_EQ(schedule.runDue(), 3);
  EXPECT_EQ(log, "abc");
  EXPECT_EQ(schedule.nextDue(), Millis(60)) << "due again one interval after the end of the tick";
}

// A tick that throws leaves its timer scheduled, not running; a zero
// interval is at least 1 ms, so that it cannot spin.
TEST_F(TimerScheduleTest, ATickThatThrowsLeavesItsTimerScheduled) {
  for (const int interval : {10, 0}) {
    const Millis step(std::max(interval, 1));
    const Millis start = now;
    int ticks = 0;
    const auto thrower = schedule.add(Millis(interval), [&] {
      ++ticks;
      throw std::runtime_error("tick failed");
    });
    schedule.setEnabled(thrower, true);
    now = start + step;
    EXPECT_THROW(schedule.runDue(), std::runtime_error);
    EXPECT_EQ(schedule.nextDue(), start + step * 2) << interval;
    now = start + step * 2;
    EXPECT_THROW(schedule.runNext(), std::runtime_error);
    EXPECT_EQ(ticks, 2);
    schedule.remove(thrower);
  }
}

}  // namespace
}  // namespace pondex
