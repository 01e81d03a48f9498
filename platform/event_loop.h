#pragma once
// Timers and the event loop of the single user-interface thread.
//
// Contract, the same for the Windows loop and the virtual-time fake (both
// run platform/portable/timer_schedule.h):
// - a timer ticks only when the thread is idle; its next tick is due one
//   interval after the END of its previous tick, so an overdue tick comes
//   once, never as a burst;
// - due timers tick in the order of their due times, ties in the order the
//   timers were created;
// - a tick is never entered again while it runs;
// - switching an enabled timer off and on again restarts its full interval;
//   enabling a timer that is already on changes nothing; restartIn() puts
//   its next tick at a chosen delay from now, whether it was on or not;
// - every callback runs on the user-interface thread;
// - a signal from another thread wakes every loop the thread may be in.
#include <chrono>
#include <functional>
#include <memory>

namespace pondex {

using Millis = std::chrono::milliseconds;

class Timer {
 public:
  virtual ~Timer() = default;
  virtual void setEnabled(bool on) = 0;
  [[nodiscard]] virtual bool enabled() const = 0;
  [[nodiscard]] virtual Millis interval() const = 0;
  // Enables the timer with its next tick due `delay` from now (at once when
  // not positive); the ticks after it follow the interval.
  virtual void restartIn(Millis delay) = 0;
};

// Lets another thread have a handler run on the user-interface thread.
class CrossThreadSignal {
 public:
  virtual ~CrossThreadSignal() = default;
  // Callable from any thread, any number of times. The handler then runs
  // once, soon, on the user-interface thread, from whichever message loop
  // that thread is in (the program's own, a modal window's, a message
  // box's or a menu's). Signals given before it runs are merged into that
  // run; one given while it runs makes it run again afterwards.
  virtual void signal() = 0;
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // The loop's monotonic clock, the one its timers run on; any thread may
  // read it (the serial reader stamps its pieces with it).
  [[nodiscard]] virtual Millis now() const = 0;

  // The timer starts disabled; destroying it stops it for good.
  virtual std::unique_ptr<Timer> createTimer(Millis interval, std::function<void()> onTick) = 0;

  // The handler never runs after the signal object is gone. Only the
  // user-interface thread creates and destroys signals.
  virtual std::unique_ptr<CrossThreadSignal> createSignal(std::function<void()> handler) = 0;

  // Blocks the thread; no event runs meanwhile.
  virtual void sleep(Millis duration) = 0;

  // Asks the loop to end once the current handler returns.
  virtual void quit() = 0;
};

}  // namespace pondex
