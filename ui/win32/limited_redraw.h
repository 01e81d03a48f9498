#pragma once
// A RedrawLimiter with its timer on the event loop: changed() runs the
// redraw at once when the limiter allows it, else the timer runs it once
// at the limiter's deadline, with every change that came meanwhile. The
// interval runs from the end of a redraw, so a slow one is never followed
// at once by the next.
#include <functional>
#include <memory>

#include "platform/event_loop.h"
#include "ui/redraw_limiter.h"

namespace pondex::win32 {

class LimitedRedraw {
 public:
  LimitedRedraw(EventLoop& loop, std::function<void()> redraw);

  void changed();
  // Forgets what is owed and when the last redraw was, as for a new window.
  void reset();

 private:
  void timeUp();
  void redrawAndStamp();

  EventLoop& loop_;
  std::function<void()> redraw_;
  ui::RedrawLimiter limiter_;
  std::unique_ptr<Timer> timer_;  // last: it stops before the rest goes
};

}  // namespace pondex::win32
