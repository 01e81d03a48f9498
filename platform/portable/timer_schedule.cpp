#include "platform/portable/timer_schedule.h"

#include <algorithm>
#include <utility>

namespace pondex {

TimerSchedule::TimerSchedule(std::function<Millis()> now) : now_(std::move(now)) {}

TimerSchedule::TimerId TimerSchedule::add(Millis interval, std::function<void()> onTick) {
  auto entry = std::make_shared<Entry>();
  entry->id = nextId_++;
  entry->interval = interval;
  entry->onTick = std::move(onTick);
  entries_.push_back(entry);
  return entry->id;
}

void TimerSchedule::remove(TimerId id) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [id](const auto& e) { return e->id == id; });
  if (it == entries_.end()) return;
  (*it)->enabled = false;  // a tick in progress must not reschedule it
  entries_.erase(it);
}

TimerSchedule::Millis TimerSchedule::step(const Entry& e) {
  // A zero interval would keep a timer due for ever within one instant.
  return std::max(e.interval, Millis{1});
}

TimerSchedule::Entry* TimerSchedule::find(TimerId id) const {
  for (const auto& e : entries_) {
    if (e->id == id) return e.get();
  }
  return nullptr;
}

void TimerSchedule::setEnabled(TimerId id, bool on) {
  Entry* e = find(id);
  if (e == nullptr || e->enabled == on) return;
  e->enabled = on;
  if (on) {
    e->due = now_() + step(*e);
    ++e->restarts;
  }
}

void TimerSchedule::restartIn(TimerId id, Millis delay) {
  Entry* e = find(id);
  if (e == nullptr) return;
  e->enabled = true;
  e->due = now_() + std::max(delay, Millis{0});
  ++e->restarts;
}

bool TimerSchedule::enabled(TimerId id) const {
  const Entry* e = find(id);
  return e != nullptr && e->enabled;
}

TimerSchedule::Millis TimerSchedule::interval(TimerId id) const {
  const Entry* e = find(id);
  return e == nullptr ? Millis{0} : e->interval;
}

TimerSchedule::Entry* TimerSchedule::first(Millis limit) const {
  Entry* best = nullptr;
  for (const auto& e : entries_) {
    if (!e->enabled || e->running || e->due > limit) continue;
    if (best == nullptr || e->due < best->due) best = e.get();  // strict: the older timer wins a tie
  }
  return best;
}

std::optional<TimerSchedule::Millis> TimerSchedule::nextDue() const {
  const Entry* e = first(Millis::max());
  if (e == nullptr) return std::nullopt;
  return e->due;
}

bool TimerSchedule::runNext() {
  const Millis now = now_();
  const Millis limit = passStarts_.empty() ? now : std::min(now, passStarts_.back());
  Entry* found = first(limit);
  if (found == nullptr) return false;
  // Keeps the entry (and its handler) alive if the tick removes its timer.
  std::shared_ptr<Entry> entry;
  for (const auto& e : entries_) {
    if (e.get() == found) entry = e;
  }
  const std::uint64_t restarts = entry->restarts;
  // Also when the tick throws: the timer must not stay "running" for ever.
  struct Finish {
    TimerSchedule& schedule;
    Entry& e;
    std::uint64_t restartsBefore;
    ~Finish() {
      e.running = false;
      if (e.enabled && e.restarts == restartsBefore) e.due = schedule.now_() + step(e);
    }
  } finish{*this, *entry, restarts};
  entry->running = true;
  auto onTick = entry->onTick;
  onTick();
  return true;
}

int TimerSchedule::runDue() {
  Pass pass(*this);
  int ran = 0;
  while (runNext()) ++ran;
  return ran;
}

TimerSchedule::Pass::Pass(TimerSchedule& schedule) : schedule_(schedule) {
  schedule_.passStarts_.push_back(schedule_.now_());
}

TimerSchedule::Pass::~Pass() {
  schedule_.passStarts_.pop_back();
}

}  // namespace pondex
