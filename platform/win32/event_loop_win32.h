#pragma once
// The user-interface thread's message loop and window timers. Timers ride
// on a message-only window; WM_TIMER is generated only when the thread has
// nothing else to do, which gives the "tick only when idle" rule. A timer's
// tick is not entered again while it runs (a modal box inside a tick would
// otherwise stack a second one on every interval).
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/event_loop.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

class Win32EventLoop final : public EventLoop {
 public:
  Win32EventLoop();
  ~Win32EventLoop() override;

  std::unique_ptr<Timer> createTimer(Millis interval, std::function<void()> onTick) override;
  void yieldToPendingEvents() override;
  void sleep(Millis duration) override;
  void quit() override;

  // Runs until quit(); returns the exit code of the quit message.
  int run();
  // A modal window's own loop, nested in a handler: dispatches every message
  // of the thread (timers and sockets go on) until `window` is destroyed or
  // the program quits; the quit is then left for the outer loop. The
  // window's keyboard navigation (Tab, Enter) is served here.
  void runModal(HWND window);
  // Keyboard navigation (Tab, arrows, Enter) of this window's controls.
  void setDialogWindow(HWND window) { dialog_ = window; }
  // Sees every key pressed in the dialog window or any of its controls
  // before they do (the window's own key-down handling); true swallows it.
  void setKeyPreview(std::function<bool(int virtualKey)> preview) { keyPreview_ = std::move(preview); }

  struct TimerState {
    UINT_PTR id = 0;
    UINT interval = 0;
    std::function<void()> onTick;
    bool enabled = false;
    bool running = false;
  };

 private:
  class Win32Timer;
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void tick(UINT_PTR id);

  UniqueWindow window_;
  std::map<UINT_PTR, std::shared_ptr<TimerState>> timers_;
  UINT_PTR nextId_ = 1;
  // The timers that ticked inside each running yield: one tick each, so a
  // yield ends even when a tick lasts longer than its interval.
  std::vector<std::vector<UINT_PTR>> yieldTicks_;
  bool quitting_ = false;
  HWND dialog_ = nullptr;
  std::function<bool(int)> keyPreview_;

  void dispatch(MSG& msg);
};

}  // namespace pondex::win32
