#pragma once
// The user-interface thread's message loop. Which timer ticks when is
// decided by the portable TimerSchedule; this loop only wakes up for it.
// The thread's own loop waits for messages with a timeout to the next due
// time and runs a tick only once every pending message has been handled
// ("only when idle"). One window timer on a message-only window wakes the
// schedule in loops that are not ours (a modal message box, a menu), where
// ticks then come with the window timer's coarser granularity. A signal
// from another thread is a message posted to that window, so every message
// loop of the thread dispatches it.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>

#include "platform/event_loop.h"
#include "platform/portable/timer_schedule.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

class Win32EventLoop final : public EventLoop {
 public:
  Win32EventLoop();
  ~Win32EventLoop() override;

  [[nodiscard]] Millis now() const override { return monotonicNow(); }
  std::unique_ptr<Timer> createTimer(Millis interval, std::function<void()> onTick) override;
  std::unique_ptr<CrossThreadSignal> createSignal(std::function<void()> handler) override;
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

  // The timers' window, through the window-class helper.
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  class Win32Timer;
  class Win32Signal;
  // Thread-safe: the serial reader stamps its pieces with it.
  static Millis monotonicNow();
  void dispatch(MSG& msg);
  // Points the wake-up window timer at the next due time (or stops it).
  void armWakeUp();
  void runNextTick();
  void runSignal(std::uint64_t id);

  UniqueWindow window_;
  TimerSchedule schedule_{&Win32EventLoop::monotonicNow};
  bool wakeUpArmed_ = false;
  UINT wakeUpDelay_ = 0;
  bool quitting_ = false;
  HWND dialog_ = nullptr;
  std::function<bool(int)> keyPreview_;
  // Live signals by id; a message for an id no longer here is dropped.
  std::map<std::uint64_t, Win32Signal*> signals_;
  std::uint64_t nextSignalId_ = 1;
};

}  // namespace pondex::win32
