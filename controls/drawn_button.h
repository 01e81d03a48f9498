#pragma once
// DrawnButton: the behaviour of the owner-drawn push button used for every
// button of the main window. It owns no window: a platform half forwards
// the mouse, keyboard, focus and size to it, and paints whatever paint()
// draws whenever the Host hears that the picture changed.
//
// Events (all optional, raised on the user-interface thread):
//   click                    the button was clicked (mouse, Space/Enter, access key)
//   mouseDown/mouseUp        button, shift bits, client x, y in pixels
//   mouseMove                buttons held (MouseButton bits), shift bits, x, y
//   keyPress                 the character typed
//   keyDown/keyUp            virtual key code, shift bits
//   mouseEnter/mouseLeave    the hover look began or ended
// Shift bits: 1 Shift, 2 Ctrl, 4 Alt. A handler may destroy the button;
// nothing of it is touched after that.
//
// Hover: the first move over the button starts a 50 ms timer; the hover look
// ends only when a tick finds the cursor no longer over the button.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "controls/canvas.h"
#include "controls/drawn_button_pictures.h"
#include "platform/event_loop.h"

namespace pondex::controls {

enum class MouseButton : std::uint8_t { None = 0, Left = 1, Right = 2, Middle = 4 };
using MouseButtons = std::uint8_t;  // MouseButton bits held during a move

// Virtual key codes; the ones the button reacts to are named.
enum class KeyCode : std::uint16_t { Enter = 0x0D, Space = 0x20, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28 };

inline constexpr Millis kHoverInterval{50};

class DrawnButton {
 public:
  // What the button needs of its window.
  class Host {
   public:
    virtual ~Host() = default;
    // The picture changed: paint it when convenient.
    virtual void pictureChanged() = 0;
    // Paint any changed picture now.
    virtual void refresh() = 0;
    // Whether the window under the cursor is the button's own window.
    [[nodiscard]] virtual bool cursorOverButton() = 0;
    // Move the keyboard focus to the next control in tab order, or the previous one.
    virtual void moveFocus(bool forward) = 0;
    // The window's visible shape changed (called when the size changes).
    virtual void setRegion(const CutCornerRegion& region) = 0;
  };

  using TimerFactory = std::function<std::unique_ptr<Timer>(Millis, std::function<void()>)>;

  struct Events {
    std::function<void()> click;
    std::function<void(MouseButton, int shift, int x, int y)> mouseDown;
    std::function<void(MouseButtons, int shift, int x, int y)> mouseMove;
    std::function<void(MouseButton, int shift, int x, int y)> mouseUp;
    std::function<void(int keyAscii)> keyPress;
    std::function<void(KeyCode, int shift)> keyDown;
    std::function<void(KeyCode, int shift)> keyUp;
    std::function<void()> mouseEnter;
    std::function<void()> mouseLeave;
  };

  DrawnButton(Host& host, EventLoop& loop);
  DrawnButton(Host& host, const TimerFactory& timers);
  ~DrawnButton();
  DrawnButton(const DrawnButton&) = delete;
  DrawnButton& operator=(const DrawnButton&) = delete;

  Events events;

  // Properties; every set redraws.
  [[nodiscard]] bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  [[nodiscard]] const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring caption);
  [[nodiscard]] Color foreColor() const { return foreColor_; }
  void setForeColor(Color c);
  [[nodiscard]] Color foreHover() const { return foreHover_; }
  void setForeHover(Color c);

  [[nodiscard]] std::optional<wchar_t> accessKey() const { return accessKey_; }
  [[nodiscard]] bool hasFocus() const { return hasFocus_; }
  [[nodiscard]] bool hoverActive() const { return hoverActive_; }
  [[nodiscard]] const ButtonLook& look() const { return look_; }
  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }

  // Input from the platform half. Mouse coordinates are client pixels.
  void mouseDown(MouseButton button, int shift, int x, int y);
  void mouseMove(MouseButtons held, int shift, int x, int y);
  // A left release over the button after a left press on it is a click.
  void mouseUp(MouseButton button, int shift, int x, int y);
  // The second press of a double click; its release clicks again.
  void doubleClick(int shift, int x, int y);
  // The mouse capture went elsewhere (a message box, Alt+Tab): no release follows.
  void captureLost();
  void keyDown(KeyCode key, int shift);
  void keyUp(KeyCode key, int shift);
  void keyPress(int keyAscii);
  // Alt with the access key (see accessKey()); nothing when the caption has none.
  void accessKeyPressed();
  // A click asked for by the program or the dialog manager, as by the access key.
  void performClick();
  void focusChanged(bool hasFocus);
  void resize(int width, int height);
  void shown();

  // Draws the current picture.
  void paint(Canvas& canvas) const;

 private:
  void redraw(bool pressed);
  void click();
  [[nodiscard]] ButtonLook lookFor(bool pressed) const;
  // Calls an event handler; false when the handler destroyed the button.
  template <typename Handler, typename... Args>
  bool raise(const Handler& handler, Args... args);

  Host& host_;
  std::unique_ptr<Timer> hoverTimer_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  bool enabled_ = true;
  std::wstring caption_;
  std::optional<wchar_t> accessKey_;
  Color foreColor_ = 0;
  Color foreHover_ = 0;

  int width_ = 0;
  int height_ = 0;
  bool hasFocus_ = false;
  MouseButton lastButton_ = MouseButton::None;
  bool leftPressArmed_ = false;  // a left press on the button waits for its release
  bool hoverActive_ = false;
  bool over_ = false;
  std::optional<KeyCode> lastKeyDown_;
  bool keyHeld_ = false;  // Space or Enter is down on the button
  ButtonLook look_;
  CutCornerRegion region_;
};

}  // namespace pondex::controls
