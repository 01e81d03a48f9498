#include "ui/redraw_limiter.h"

namespace pondex::ui {

bool RedrawLimiter::changed(Millis now) {
  if (!lastDrawn_ || now - *lastDrawn_ >= kInterval) {
    owed_ = false;  // drawn with this change
    lastDrawn_ = now;
    return true;
  }
  owed_ = true;
  return false;
}

std::optional<Millis> RedrawLimiter::deadline() const {
  if (!owed_) return std::nullopt;
  return *lastDrawn_ + kInterval;
}

bool RedrawLimiter::timeUp(Millis now) {
  if (!owed_ || now - *lastDrawn_ < kInterval) return false;
  owed_ = false;
  lastDrawn_ = now;
  return true;
}

}  // namespace pondex::ui
