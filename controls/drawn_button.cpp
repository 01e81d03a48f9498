#include "controls/drawn_button.h"

#include <utility>

#include "controls/access_key.h"

namespace pondex::controls {

DrawnButton::DrawnButton(Host& host, EventLoop& loop)
    : DrawnButton(host, [&loop](Millis interval, std::function<void()> onTick) {
        return loop.createTimer(interval, std::move(onTick));
      }) {}

DrawnButton::DrawnButton(Host& host, const TimerFactory& timers) : host_(host) {
  hoverTimer_ = timers(kHoverInterval, [this] {
    if (host_.cursorOverButton()) return;
    hoverTimer_->setEnabled(false);
    hoverActive_ = false;
    over_ = false;
    redraw(false);
    raise(events.mouseLeave);
  });
  look_ = lookFor(false);
}

DrawnButton::~DrawnButton() {
  *alive_ = false;
}

template <typename Handler, typename... Args>
bool DrawnButton::raise(const Handler& handler, Args... args) {
  if (!handler) return true;
  const std::shared_ptr<bool> alive = alive_;
  const Handler copy = handler;  // the handler may replace itself
  copy(args...);
  return *alive;
}

void DrawnButton::setEnabled(bool on) {
  enabled_ = on;
  if (!on) {
    // Nothing begun before a disable may finish as a click after it.
    leftPressArmed_ = false;
    lastKeyDown_.reset();
    keyHeld_ = false;
  }
  redraw(false);
}

void DrawnButton::setCaption(std::wstring caption) {
  caption_ = std::move(caption);
  accessKey_ = accessKeyOf(caption_);
  redraw(false);
}

void DrawnButton::setForeColor(Color c) {
  foreColor_ = c;
  redraw(false);
}

void DrawnButton::setForeHover(Color c) {
  foreHover_ = c;
  redraw(false);
}

ButtonLook DrawnButton::lookFor(bool pressed) const {
  ButtonLook look;
  if (!enabled_) {
    look.face = ButtonLook::Face::Disabled;
    look.caption = kDisabledCaption;
    return look;
  }
  look.caption = hoverActive_ ? foreHover_ : foreColor_;
  if (pressed && (lastButton_ == MouseButton::Left || keyHeld_)) {
    look.face = ButtonLook::Face::Pressed;
  } else if (hoverActive_) {
    look.ring = ButtonLook::Ring::Hover;
  } else if (hasFocus_) {
    look.ring = ButtonLook::Ring::Focus;
  }
  return look;
}

void DrawnButton::redraw(bool pressed) {
  look_ = lookFor(pressed);
  host_.pictureChanged();
  const CutCornerRegion region{width_, height_};
  if (region != region_) {
    region_ = region;
    host_.setRegion(region_);
  }
}

void DrawnButton::paint(Canvas& canvas) const {
  drawButton(canvas, width_, height_, look_, caption_);
}

void DrawnButton::mouseDown(MouseButton button, int shift, int x, int y) {
  if (!enabled_) return;
  lastButton_ = button;
  if (button == MouseButton::Left) leftPressArmed_ = true;
  host_.refresh();
  if (button != MouseButton::Right) redraw(true);
  raise(events.mouseDown, button, shift, x, y);
}

void DrawnButton::mouseMove(MouseButtons held, int shift, int x, int y) {
  if (!enabled_) return;
  const auto left = static_cast<MouseButtons>(MouseButton::Left);
  if (held != 0 && held != left) {
    raise(events.mouseMove, held, shift, x, y);
    return;
  }
  const bool over = host_.cursorOverButton();
  if (over && !over_) {
    over_ = true;
    if (held == 0 && !hoverActive_) {
      hoverTimer_->setEnabled(true);
      hoverActive_ = true;
      over_ = false;
      redraw(false);
      if (!raise(events.mouseEnter)) return;
    } else if (held == left) {
      // Dragged back in: the pressed picture, with the hover caption colour.
      hoverActive_ = true;
      redraw(true);
      hoverActive_ = false;
    }
    raise(events.mouseMove, held, shift, x, y);
  } else if (!over && over_) {
    redraw(false);
    raise(events.mouseMove, held, shift, x, y);
  }
}

void DrawnButton::mouseUp(MouseButton button, int shift, int x, int y) {
  if (!enabled_) return;
  const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
  const bool clicked = button == MouseButton::Left && leftPressArmed_ && inside;
  if (button == MouseButton::Left) leftPressArmed_ = false;
  redraw(false);
  host_.refresh();
  if (!raise(events.mouseUp, button, shift, x, y)) return;
  if (clicked) click();
}

void DrawnButton::doubleClick(int shift, int x, int y) {
  mouseDown(MouseButton::Left, shift, x, y);
}

void DrawnButton::captureLost() {
  if (!leftPressArmed_) return;
  leftPressArmed_ = false;
  redraw(false);
}

void DrawnButton::click() {
  redraw(false);
  host_.refresh();
  raise(events.click);
}

void DrawnButton::accessKeyPressed() {
  if (accessKey_) performClick();
}

void DrawnButton::performClick() {
  if (enabled_) click();
}

void DrawnButton::keyDown(KeyCode key, int shift) {
  if (!enabled_) return;
  lastKeyDown_ = key;
  switch (key) {
    case KeyCode::Space:
    case KeyCode::Enter:
      // Held apart from the mouse's last button: a key must neither lose
      // its pressed picture to a right click before it nor leave a "left
      // press" behind that a later drag over the button would show.
      keyHeld_ = true;
      redraw(true);
      break;
    case KeyCode::Left:
    case KeyCode::Right:
      host_.moveFocus(true);
      break;
    case KeyCode::Up:
    case KeyCode::Down:
      host_.moveFocus(false);
      break;
    default:
      break;
  }
  raise(events.keyDown, key, shift);
}

void DrawnButton::keyUp(KeyCode key, int shift) {
  if (!enabled_) return;
  const bool clicked = (key == KeyCode::Space || key == KeyCode::Enter) && lastKeyDown_ == key;
  // A key-up matches one key-down only: a second release (a key held while
  // the focus arrived) must not click again.
  if (lastKeyDown_ == key) lastKeyDown_.reset();
  if (clicked) {
    keyHeld_ = false;
    redraw(false);
    host_.refresh();
    if (!raise(events.click)) return;
  }
  raise(events.keyUp, key, shift);
}

void DrawnButton::keyPress(int keyAscii) {
  if (!enabled_) return;
  raise(events.keyPress, keyAscii);
}

void DrawnButton::focusChanged(bool hasFocus) {
  hasFocus_ = hasFocus;
  // A key held when the focus left is not released here.
  if (!hasFocus) {
    lastKeyDown_.reset();
    keyHeld_ = false;
  }
  redraw(false);
}

void DrawnButton::resize(int width, int height) {
  width_ = width;
  height_ = height;
  redraw(false);
}

void DrawnButton::shown() {
  redraw(false);
}

}  // namespace pondex::controls
