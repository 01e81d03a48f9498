#pragma once
// The timers of the user-interface thread, decided in one place for every
// event loop (the Windows loop in real time, the fake in virtual time). A
// loop only has to wake up by nextDue() and call runNext() or runDue().
//
// Rules:
// - A timer's next tick is due one interval after the END of its previous
//   tick, so a tick that blocks (a slow write, a pause between commands)
//   never leaves its timer overdue in front of the others.
// - Due timers run in the order of their due times; ties go to the timer
//   created first. A short timer that has just finished blocking therefore
//   comes after a longer one that fell due meanwhile.
// - A tick is never entered again while it runs (a yield inside it, a modal
//   box's own loop); it is just skipped.
// - Enabling an enabled timer changes nothing; disabling and enabling
//   restarts the full interval from that moment (an interval below 1 ms
//   counts as 1 ms). A timer enabled or
//   restarted inside its own tick keeps the due time that gives it.
// - Inside a pass (a yield), only timers that were due when the pass began
//   run, so each runs at most once in it.
//
// Not thread-safe: everything happens on the user-interface thread. A tick
// may add, remove, enable or disable any timer, its own included.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pondex {

class TimerSchedule {
 public:
  using Millis = std::chrono::milliseconds;
  using TimerId = std::uint64_t;

  // `now` reads the loop's monotonic clock; it is called around every tick.
  explicit TimerSchedule(std::function<Millis()> now);

  // A new timer, disabled. Ids are never reused.
  TimerId add(Millis interval, std::function<void()> onTick);
  // The timer is gone at once, even when called inside its tick.
  void remove(TimerId id);

  void setEnabled(TimerId id, bool on);
  // Enables the timer with its next tick due `delay` from now (no later
  // than now when not positive); the ticks after it follow the interval.
  void restartIn(TimerId id, Millis delay);
  [[nodiscard]] bool enabled(TimerId id) const;
  [[nodiscard]] Millis interval(TimerId id) const;

  // The earliest due time of a timer that could run now (enabled, not
  // running); nothing when no such timer exists. May lie in the past.
  [[nodiscard]] std::optional<Millis> nextDue() const;

  // Runs the one timer due first, if any is due; true when one ran.
  bool runNext();

  // Every timer due now runs once, in due order.
  int runDue();

  // While a Pass lives, runNext() only runs timers that were due when it
  // began. A yield holds one across everything it dispatches.
  class Pass {
   public:
    explicit Pass(TimerSchedule& schedule);
    ~Pass();
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;

   private:
    TimerSchedule& schedule_;
  };

 private:
  struct Entry {
    TimerId id = 0;
    Millis interval{0};
    std::function<void()> onTick;
    bool enabled = false;
    bool running = false;
    Millis due{0};
    std::uint64_t restarts = 0;  // counts enable calls, to notice one inside a tick
  };

  static Millis step(const Entry& e);
  [[nodiscard]] Entry* find(TimerId id) const;
  [[nodiscard]] Entry* first(Millis limit) const;

  std::function<Millis()> now_;
  // In creation order, which breaks ties of due time.
  std::vector<std::shared_ptr<Entry>> entries_;
  std::vector<Millis> passStarts_;
  TimerId nextId_ = 1;
};

}  // namespace pondex
