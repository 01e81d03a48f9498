#pragma once
// At most one redraw each kInterval, that is 20 a second, however fast the
// readings come: a change is drawn at once when the last redraw is at
// least kInterval old, else once when it is, with every change that came
// meanwhile. Nothing here reads a clock: the caller passes the event
// loop's time and runs timeUp() at deadline() on a timer of its own.
#include <optional>

#include "platform/event_loop.h"

namespace pondex::ui {

class RedrawLimiter {
 public:
  static constexpr Millis kInterval{50};

  // Something to show changed at `now`: true when it is to be drawn now;
  // otherwise a redraw is owed at deadline().
  bool changed(Millis now);
  // When the owed redraw is due; none while none is owed.
  [[nodiscard]] std::optional<Millis> deadline() const;
  // The timer at `now`: true when the owed redraw is to be drawn now.
  bool timeUp(Millis now);

 private:
  std::optional<Millis> lastDrawn_;
  bool owed_ = false;
};

}  // namespace pondex::ui
