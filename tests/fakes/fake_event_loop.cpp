#include "tests/fakes/fake_event_loop.h"

#include <algorithm>
#include <chrono>
#include <memory>

namespace pondex::fakes {

class FakeEventLoop::FakeTimer final : public Timer {
 public:
  FakeTimer(TimerSchedule& schedule, TimerSchedule::TimerId id) : schedule_(schedule), id_(id) {}
  ~FakeTimer() override { schedule_.remove(id_); }

  void setEnabled(bool on) override { schedule_.setEnabled(id_, on); }
  [[nodiscard]] bool enabled() const override { return schedule_.enabled(id_); }
  [[nodiscard]] Millis interval() const override { return schedule_.interval(id_); }
  void restartIn(Millis delay) override { schedule_.restartIn(id_, delay); }

 private:
  TimerSchedule& schedule_;
  TimerSchedule::TimerId id_;
};

class FakeEventLoop::FakeSignal final : public CrossThreadSignal {
 public:
  FakeSignal(FakeEventLoop& loop, std::function<void()> handler)
      : loop_(loop), state_(std::make_shared<State>(State{std::move(handler)})) {}
  ~FakeSignal() override { state_->alive = false; }

  void signal() override {
    if (state_->posted) return;
    state_->posted = true;
    loop_.post([state = state_] {
      state->posted = false;
      if (!state->alive) return;
      auto handler = state->handler;  // the handler may destroy the signal
      handler();
    });
  }

 private:
  struct State {
    std::function<void()> handler;
    bool posted = false;
    bool alive = true;
  };
  FakeEventLoop& loop_;
  std::shared_ptr<State> state_;
};

std::unique_ptr<CrossThreadSignal> FakeEventLoop::createSignal(std::function<void()> handler) {
  return std::make_unique<FakeSignal>(*this, std::move(handler));
}

void FakeEventLoop::postAt(Millis at, std::function<void()> event) {
  auto it = std::upper_bound(timed_.begin(), timed_.end(), at, [](Millis t, const TimedEvent& e) { return t < e.at; });
  timed_.insert(it, {at, std::move(event)});
}

void FakeEventLoop::releaseTimed() {
  while (!timed_.empty() && timed_.front().at <= now_) {
    posted_.push_back(std::move(timed_.front().event));
    timed_.pop_front();
  }
}

std::unique_ptr<Timer> FakeEventLoop::createTimer(Millis interval, std::function<void()> onTick) {
  auto id = schedule_.add(interval, [this, interval, tick = std::move(onTick)] {
    ticks_.push_back(interval);
    tick();
  });
  created_.push_back(id);
  return std::make_unique<FakeTimer>(schedule_, id);
}

bool FakeEventLoop::timerEnabled(Millis interval) const {
  for (auto id : created_) {
    if (schedule_.interval(id) == interval) return schedule_.enabled(id);
  }
  return false;
}

bool FakeEventLoop::runPosted() {
  releaseTimed();
  if (posted_.empty()) return false;
  auto events = std::move(posted_);
  posted_.clear();
  for (auto& e : events) e();
  return true;
}

void FakeEventLoop::runFor(Millis duration) {
  const Millis end = now_ + duration;
  while (!quit_) {
    if (runPosted()) continue;
    if (now_ > end) break;  // a blocking handler ran past the end
    auto due = schedule_.nextDue();
    const bool eventFirst = !timed_.empty() && (!due || timed_.front().at <= *due);
    if (eventFirst) due = timed_.front().at;
    if (!due || *due > end) break;
    if (*due > now_) now_ = *due;
    if (!eventFirst) schedule_.runNext();
  }
  if (now_ < end && !quit_) now_ = end;
}

void FakeEventLoop::yieldToPendingEvents() {
  TimerSchedule::Pass pass(schedule_);
  runPosted();
  while (schedule_.runNext()) {
  }
}

void FakeClock::set(const LocalDateTime& time) {
  base_ = time;
  baseAt_ = loop_.now();
}

LocalDateTime FakeClock::localNow() const {
  return shifted(base_, loop_.now() - baseAt_);
}

}  // namespace pondex::fakes
