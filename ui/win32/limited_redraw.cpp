#include "ui/win32/limited_redraw.h"

#include <utility>

namespace pondex::win32 {

LimitedRedraw::LimitedRedraw(EventLoop& loop, std::function<void()> redraw)
    : loop_(loop),
      redraw_(std::move(redraw)),
      timer_(loop.createTimer(ui::RedrawLimiter::kInterval, [this] { timeUp(); })) {}

void LimitedRedraw::changed() {
  const Millis now = loop_.now();
  if (limiter_.changed(now)) {
    redrawAndStamp();
  } else if (!timer_->enabled()) {
    timer_->restartIn(*limiter_.deadline() - now);
  }
}

void LimitedRedraw::reset() {
  limiter_ = ui::RedrawLimiter{};
  timer_->setEnabled(false);
}

void LimitedRedraw::redrawAndStamp() {
  redraw_();
  // A slow redraw counts from its end: the next one waits its interval
  // after it, not back to back with it. Nothing changes while it runs.
  limiter_ = ui::RedrawLimiter{};
  (void)limiter_.changed(loop_.now());
}

void LimitedRedraw::timeUp() {
  const Millis now = loop_.now();
  if (limiter_.timeUp(now)) redrawAndStamp();
  // A tick a little early waits for the deadline; none owed, none due.
  if (const auto due = limiter_.deadline()) {
    timer_->restartIn(*due - now);
  } else {
    timer_->setEnabled(false);
  }
}

}  // namespace pondex::win32
