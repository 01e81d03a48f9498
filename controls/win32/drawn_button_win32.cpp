#include "controls/win32/drawn_button_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

#include "controls/access_key.h"
#include "controls/drawn_button.h"
#include "controls/win32/gdi_canvas.h"
#include "platform/win32/gdi_win32.h"
#include "platform/win32/window_class.h"

namespace pondex::win32 {
namespace {

using controls::DrawnButton;
using controls::KeyCode;
using controls::MouseButton;
using controls::MouseButtons;

constexpr UINT_PTR kHoverTimerId = 1;

// The hover timer rides on the button's own window: its WM_TIMER, like the
// program's other timers, comes only when the thread is idle, and it dies
// with the window, so a renderer needs nothing but HWNDs to use buttons.
class WindowTimer final : public Timer {
 public:
  // `window` is read when the timer is switched: the button's behaviour,
  // and with it this timer, exists before its window.
  WindowTimer(const HWND& window, Millis interval, std::function<void()> onTick)
      : window_(window), interval_(interval), onTick_(std::move(onTick)) {}
  ~WindowTimer() override { setEnabled(false); }
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  void setEnabled(bool on) override {
    if (on == enabled_) return;
    enabled_ = on;
    firstDelayDiffers_ = false;
    if (on) {
      set(interval_);
    } else {
      ::KillTimer(window_, kHoverTimerId);
    }
  }
  [[nodiscard]] bool enabled() const override { return enabled_; }
  [[nodiscard]] Millis interval() const override { return interval_; }
  void restartIn(Millis delay) override {
    enabled_ = true;
    firstDelayDiffers_ = delay != interval_;
    set(delay);
  }

  void tick() {
    if (!enabled_) return;
    if (firstDelayDiffers_) {
      firstDelayDiffers_ = false;
      set(interval_);
    }
    const auto onTick = onTick_;
    onTick();
  }

 private:
  void set(Millis delay) {
    ::SetTimer(window_, kHoverTimerId, static_cast<UINT>(std::max<Millis::rep>(delay.count(), USER_TIMER_MINIMUM)),
               nullptr);
  }

  const HWND& window_;
  Millis interval_;
  std::function<void()> onTick_;
  bool enabled_ = false;
  bool firstDelayDiffers_ = false;  // the next tick re-arms the window timer with the interval
};

int shiftState() {
  int shift = 0;
  if (::GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (::GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (::GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

MouseButtons heldButtons(WPARAM keys) {
  MouseButtons held = 0;
  if ((keys & MK_LBUTTON) != 0) held |= static_cast<MouseButtons>(MouseButton::Left);
  if ((keys & MK_RBUTTON) != 0) held |= static_cast<MouseButtons>(MouseButton::Right);
  if ((keys & MK_MBUTTON) != 0) held |= static_cast<MouseButtons>(MouseButton::Middle);
  return held;
}

// Made before its window and handed to it; from WM_NCCREATE on, the window
// owns it and deletes it after its last message.
class ButtonWindow final : public DrawnButton::Host {
 public:
  ButtonWindow()
      : button_(*this, [this](Millis interval, std::function<void()> onTick) {
          auto timer = std::make_unique<WindowTimer>(window_, interval, std::move(onTick));
          hoverTimer_ = timer.get();
          return timer;
        }) {
    button_.events.click = [this] { notifyParent(BN_CLICKED); };
  }

  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  [[nodiscard]] bool ownedByWindow() const { return window_ != nullptr; }

  DrawnButton& button() { return button_; }

  void pictureChanged() override { ::InvalidateRect(window_, nullptr, FALSE); }
  void refresh() override { ::UpdateWindow(window_); }
  bool cursorOverButton() override {
    POINT p{};
    return ::GetCursorPos(&p) != FALSE && ::WindowFromPoint(p) == window_;
  }
  void moveFocus(bool forward) override;
  void setRegion(const controls::CutCornerRegion& region) override;

 private:
  LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void paintInto(HDC target);
  void notifyParent(WORD code);
  void press(MouseButton button, LPARAM at);
  void release(MouseButton button, WPARAM keysStillDown, LPARAM at);

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  WindowTimer* hoverTimer_ = nullptr;  // owned by button_
  DrawnButton button_;
  int depth_ = 0;           // messages of this window being handled, nested
  bool destroyed_ = false;  // the window is gone; the object goes when depth_ falls to 0
};

void ButtonWindow::moveFocus(bool forward) {
  HWND root = ::GetAncestor(window_, GA_ROOT);
  HWND next = ::GetNextDlgTabItem(root, window_, forward ? FALSE : TRUE);
  if (next != nullptr && next != window_) ::SetFocus(next);
}

void ButtonWindow::setRegion(const controls::CutCornerRegion& region) {
  UniqueGdiObject shape(::CreateRectRgn(0, 0, region.width, region.height));
  if (!shape) return;
  for (const auto& p : region.cutPixels()) {
    UniqueGdiObject pixel(::CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
    if (pixel)
      ::CombineRgn(static_cast<HRGN>(shape.get()), static_cast<HRGN>(shape.get()), static_cast<HRGN>(pixel.get()),
                   RGN_DIFF);
  }
  // On success the window owns the region.
  if (::SetWindowRgn(window_, static_cast<HRGN>(shape.get()), TRUE) != 0) (void)shape.release();
}

void ButtonWindow::notifyParent(WORD code) {
  HWND parent = ::GetParent(window_);
  if (parent == nullptr) return;
  const auto id = static_cast<WORD>(::GetDlgCtrlID(window_));
  ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(window_));
}

// Off-screen first, then one copy: the face is never seen half drawn.
void ButtonWindow::paintInto(HDC target) {
  paintOffScreen(window_, target, font_,
                 [this](controls::Canvas& canvas, const controls::PixelRect&) { button_.paint(canvas); });
}

void ButtonWindow::press(MouseButton button, LPARAM at) {
  if (button == MouseButton::Left) ::SetFocus(window_);  // only the left button takes the focus
  ::SetCapture(window_);
  button_.mouseDown(button, shiftState(), GET_X_LPARAM(at), GET_Y_LPARAM(at));
}

void ButtonWindow::release(MouseButton button, WPARAM keysStillDown, LPARAM at) {
  button_.mouseUp(button, shiftState(), GET_X_LPARAM(at), GET_Y_LPARAM(at));
  if (!destroyed_ && heldButtons(keysStillDown) == 0 && ::GetCapture() == window_) ::ReleaseCapture();
}

LRESULT ButtonWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      const int length = ::GetWindowTextLengthW(window_);
      std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
      ::GetWindowTextW(window_, caption.data(), length + 1);
      caption.resize(static_cast<std::size_t>(length));
      button_.setCaption(std::move(caption));
      button_.setEnabled(::IsWindowEnabled(window_) != FALSE);
      RECT client{};
      ::GetClientRect(window_, &client);
      button_.resize(client.right, client.bottom);
      return 0;
    }
    case WM_SETTEXT: {
      const LRESULT result = ::DefWindowProcW(window_, msg, wParam, lParam);
      const auto* text = reinterpret_cast<const wchar_t*>(lParam);
      button_.setCaption(text != nullptr ? std::wstring(text) : std::wstring());
      return result;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) != 0) pictureChanged();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
      button_.resize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_SHOWWINDOW:
      if (wParam != FALSE) button_.shown();
      break;
    case WM_ENABLE:
      button_.setEnabled(wParam != FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_PAINT: {
      PaintScope paint(window_);
      if (paint.dc() != nullptr) paintInto(paint.dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      paintInto(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kHoverTimerId && hoverTimer_ != nullptr) hoverTimer_->tick();
      return 0;
    case WM_SETFOCUS:
      button_.focusChanged(true);
      if (!destroyed_) notifyParent(BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      button_.focusChanged(false);
      if (!destroyed_) notifyParent(BN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
      press(MouseButton::Left, lParam);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      press(MouseButton::Right, lParam);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      press(MouseButton::Middle, lParam);
      return 0;
    case WM_LBUTTONDBLCLK:
      ::SetCapture(window_);
      button_.doubleClick(shiftState(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      release(MouseButton::Left, wParam, lParam);
      return 0;
    case WM_RBUTTONUP:
      release(MouseButton::Right, wParam, lParam);
      return 0;
    case WM_MBUTTONUP:
      release(MouseButton::Middle, wParam, lParam);
      return 0;
    case WM_MOUSEMOVE:
      button_.mouseMove(heldButtons(wParam), shiftState(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window_) button_.captureLost();
      return 0;
    case WM_KEYDOWN:
      button_.keyDown(KeyCode{static_cast<std::uint16_t>(wParam)}, shiftState());
      return 0;
    case WM_KEYUP:
      button_.keyUp(KeyCode{static_cast<std::uint16_t>(wParam)}, shiftState());
      return 0;
    case WM_CHAR:
      button_.keyPress(static_cast<int>(wParam));
      return 0;
    case WM_SYSCHAR: {
      const auto key = button_.accessKey();
      if (key && controls::lowerCase(static_cast<wchar_t>(wParam)) == *key) {
        button_.accessKeyPressed();
        return 0;
      }
      break;
    }
    case BM_CLICK:  // the dialog manager found our access key, or the program clicks
      button_.performClick();
      return 0;
    case WM_GETDLGCODE: {
      // Arrows, characters and Enter are ours; Tab stays with the dialog
      // manager, and DLGC_BUTTON lets it match our access key.
      LRESULT code = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_WANTARROWS | DLGC_WANTCHARS;
      if (wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    default:
      break;
  }
  return ::DefWindowProcW(window_, msg, wParam, lParam);
}

LRESULT ButtonWindow::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) window_ = hwnd;
  if (msg == WM_NCDESTROY) {
    destroyed_ = true;
    const LRESULT result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (depth_ == 0) delete this;
    return result;
  }
  // A handler may destroy this window while it runs: the object outlives
  // every message of its window that is still on the stack.
  struct Depth {
    ButtonWindow* window;
    explicit Depth(ButtonWindow* w) : window(w) { ++window->depth_; }
    ~Depth() {
      if (--window->depth_ == 0 && window->destroyed_) delete window;
    }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;
  } depth(this);
  return handle(msg, wParam, lParam);
}

const WindowClass& buttonClass() {
  static const WindowClass registered({.name = kDrawnButtonClass,
                                       .where = "button",
                                       .style = CS_DBLCLKS,
                                       .cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))});  // IDC_ARROW
  return registered;
}

}  // namespace

HWND createDrawnButton(HWND parent, int id, const std::wstring& caption, const RECT& rect, HFONT font) {
  if (!buttonClass().registered()) return nullptr;
  auto owned = std::make_unique<ButtonWindow>();
  const HWND hwnd = buttonClass().create(*owned, 0, caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                         {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}, parent,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
  // Once it saw WM_NCCREATE the window owns the object, also when its
  // creation failed after that (it then went with WM_NCDESTROY).
  if (hwnd != nullptr || owned->ownedByWindow()) (void)owned.release();
  if (hwnd != nullptr && font != nullptr) ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

void setDrawnButtonColors(HWND button, COLORREF foreColor, COLORREF foreHover) {
  if (auto* w = ownerOf<ButtonWindow>(button)) {
    w->button().setForeColor(foreColor);
    w->button().setForeHover(foreHover);
  }
}

}  // namespace pondex::win32
