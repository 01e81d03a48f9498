#pragma once
// An event loop in virtual time, over the same TimerSchedule as the real
// loop. Nothing runs by itself: a test moves time with runFor(), which
// delivers due ticks, posted events and events posted for a later time in
// time order (posted events first). A cross-thread signal is an event
// posted now.
// Blocking calls (sleep, or a fake device that waits) move time with
// advanceClock(), during which no event runs, as on the real thread.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/portable/timer_schedule.h"

namespace pondex::fakes {

class FakeEventLoop final : public EventLoop {
 public:
  [[nodiscard]] Millis now() const override { return now_; }

  // Time passes while the thread is blocked: nothing runs.
  void advanceClock(Millis duration) { now_ += duration; }

  // Runs the loop for `duration` of virtual time.
  void runFor(Millis duration);

  // An event pending from now on (a socket notification, a user action).
  void post(std::function<void()> event) { posted_.push_back(std::move(event)); }
  // An event pending from virtual time `at` on (a byte on the line).
  void postAt(Millis at, std::function<void()> event);

  std::unique_ptr<Timer> createTimer(Millis interval, std::function<void()> onTick) override;
  std::unique_ptr<CrossThreadSignal> createSignal(std::function<void()> handler) override;
  // Runs the events pending now and the timers due now, each at most once,
  // as a message loop nested in a handler (a modal box) would.
  void yieldToPendingEvents();
  void sleep(Millis duration) override { advanceClock(duration); }
  void quit() override { quit_ = true; }

  [[nodiscard]] bool quitRequested() const { return quit_; }
  // Whether the live timer of this interval is on (the program's timers
  // have intervals of their own).
  [[nodiscard]] bool timerEnabled(Millis interval) const;
  // The interval of every tick that ran, in order.
  [[nodiscard]] const std::vector<Millis>& ticks() const { return ticks_; }

 private:
  class FakeTimer;
  class FakeSignal;
  struct TimedEvent {
    Millis at;
    std::function<void()> event;
  };
  bool runPosted();
  // Moves events whose time has come to the posted ones.
  void releaseTimed();

  Millis now_{0};
  TimerSchedule schedule_{[this] { return now_; }};
  std::vector<TimerSchedule::TimerId> created_;  // a removed timer reads as interval 0
  std::vector<std::function<void()>> posted_;
  std::deque<TimedEvent> timed_;  // in time order
  std::vector<Millis> ticks_;
  bool quit_ = false;
};

// Local time that follows the loop's virtual time from a chosen start.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(const FakeEventLoop& loop) : loop_(loop) {}
  // From now on the clock reads `time` plus the virtual time that passes.
  void set(const LocalDateTime& time);
  [[nodiscard]] LocalDateTime localNow() const override;

 private:
  const FakeEventLoop& loop_;
  LocalDateTime base_{2026, 12, 6, 8, 0, 0};
  Millis baseAt_{0};
};

}  // namespace pondex::fakes
