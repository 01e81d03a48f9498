#include "tests/fakes/fake_event_loop.h"

#include <chrono>

namespace pondex::fakes {

class FakeEventLoop::FakeTimer final : public Timer {
 public:
  FakeTimer(FakeEventLoop& loop, std::shared_ptr<TimerState> state) : loop_(loop), state_(std::move(state)) {}
  ~FakeTimer() override { state_->alive = false; }

  void setEnabled(bool on) override {
    if (on == state_->enabled) return;
    state_->enabled = on;
    ++state_->generation;
    if (on) state_->due = loop_.now() + state_->interval;
  }
  [[nodiscard]] bool enabled() const override { return state_->enabled; }
  [[nodiscard]] Millis interval() const override { return state_->interval; }

 private:
  FakeEventLoop& loop_;
  std::shared_ptr<TimerState> state_;
};

std::unique_ptr<Timer> FakeEventLoop::createTimer(Millis interval, std::function<void()> onTick) {
  auto state = std::make_shared<TimerState>();
  state->interval = interval;
  state->onTick = std::move(onTick);
  timers_.push_back(state);
  return std::make_unique<FakeTimer>(*this, state);
}

bool FakeEventLoop::timerEnabled(Millis interval) const {
  for (const auto& t : timers_) {
    if (t->alive && t->interval == interval) return t->enabled;
  }
  return false;
}

std::shared_ptr<FakeEventLoop::TimerState> FakeEventLoop::nextDue(Millis limit, bool includeRunning) const {
  std::shared_ptr<TimerState> best;
  for (const auto& t : timers_) {
    if (!t->alive || !t->enabled || t->due > limit) continue;
    if (t->running && !includeRunning) continue;
    if (!best || t->due < best->due) best = t;
  }
  return best;
}

void FakeEventLoop::fire(const std::shared_ptr<TimerState>& timer) {
  const Millis started = now_;
  const std::uint64_t generation = timer->generation;
  timer->running = true;
  ++timer->ticks;
  auto onTick = timer->onTick;
  onTick();
  timer->running = false;
  // Unless the handler switched the timer off and on, the next tick is one
  // interval after this one began; an overdue tick comes once, at once.
  if (timer->generation == generation && timer->enabled) timer->due = started + timer->interval;
}

bool FakeEventLoop::runPosted() {
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
    auto timer = nextDue(end, false);
    if (!timer) break;
    if (timer->due > now_) now_ = timer->due;
    fire(timer);
  }
  if (now_ < end && !quit_) now_ = end;
}

void FakeEventLoop::yieldToPendingEvents() {
  ++yields_;
  runPosted();
  // Every timer due now ticks once; a handler that is running is not entered again.
  std::vector<std::shared_ptr<TimerState>> due;
  for (const auto& t : timers_) {
    if (t->alive && t->enabled && !t->running && t->due <= now_) due.push_back(t);
  }
  for (const auto& t : due) {
    if (t->alive && t->enabled && !t->running && t->due <= now_) fire(t);
  }
}

void FakeEventLoop::sleep(Millis duration) {
  sleeps_.push_back(duration);
  advanceClock(duration);
}

void FakeClock::set(const LocalDateTime& time) {
  base_ = time;
  baseAt_ = loop_.now();
}

LocalDateTime FakeClock::localNow() const {
  using namespace std::chrono;
  const sys_days day{year{base_.year} / month{static_cast<unsigned>(base_.month)} /
                     std::chrono::day{static_cast<unsigned>(base_.day)}};
  const auto at = day + hours{base_.hour} + minutes{base_.minute} + seconds{base_.second} +
                  duration_cast<seconds>(loop_.now() - baseAt_);
  const auto d = floor<days>(at);
  const year_month_day ymd{d};
  const hh_mm_ss<seconds> hms{duration_cast<seconds>(at - d)};
  return {static_cast<int>(ymd.year()),
          static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())),
          static_cast<int>(hms.hours().count()),
          static_cast<int>(hms.minutes().count()),
          static_cast<int>(hms.seconds().count())};
}

}  // namespace pondex::fakes
