// What the loops' shared contract cannot show in real time: ties, and
// ticks that throw.
#include "platform/portable/timer_schedule.h"

#include <gtest/gtest.h>

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

TEST_F(TimerScheduleTest, ATickThatThrowsLeavesItsTimerScheduled) {
  int ticks = 0;
  const auto thrower = schedule.add(Millis(10), [&] {
    ++ticks;
    throw std::runtime_error("tick failed");
  });
  schedule.setEnabled(thrower, true);
  now = Millis(10);
  EXPECT_THROW(schedule.runDue(), std::runtime_error);
  EXPECT_EQ(schedule.nextDue(), Millis(20)) << "not left running";
  now = Millis(20);
  EXPECT_THROW(schedule.runNext(), std::runtime_error);
  EXPECT_EQ(ticks, 2);
}

TEST_F(TimerScheduleTest, AZeroIntervalCannotSpin) {
  int ticks = 0;
  const auto thrower = schedule.add(Millis(0), [&] {
    ++ticks;
    throw std::runtime_error("tick failed");
  });
  schedule.setEnabled(thrower, true);
  now = Millis(1);
  EXPECT_THROW(schedule.runDue(), std::runtime_error);
  EXPECT_EQ(schedule.nextDue(), Millis(2)) << "not left running, and at least 1 ms on";
  now = Millis(2);
  EXPECT_THROW(schedule.runNext(), std::runtime_error);
  EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace pondex
