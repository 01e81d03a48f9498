#include "platform/win32/event_loop_win32.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "platform/win32/callback_guard.h"
#include "platform/win32/window_class.h"

namespace pondex::win32 {
namespace {
constexpr const wchar_t* kTimerWindowClass = L"Pon_dex.Timers";
constexpr UINT_PTR kWakeUpTimer = 1;
// wParam: the signal's id.
constexpr UINT kSignalMessage = WM_APP + 1;
}  // namespace

class Win32EventLoop::Win32Timer final : public Timer {
 public:
  Win32Timer(Win32EventLoop& loop, TimerSchedule::TimerId id) : loop_(loop), id_(id) {}
  ~Win32Timer() override {
    loop_.schedule_.remove(id_);
    loop_.armWakeUp();
  }

  void setEnabled(bool on) override {
    if (on == loop_.schedule_.enabled(id_)) return;
    loop_.schedule_.setEnabled(id_, on);
    loop_.armWakeUp();
  }
  [[nodiscard]] bool enabled() const override { return loop_.schedule_.enabled(id_); }
  [[nodiscard]] Millis interval() const override { return loop_.schedule_.interval(id_); }
  void restartIn(Millis delay) override {
    loop_.schedule_.restartIn(id_, delay);
    loop_.armWakeUp();
  }

 private:
  Win32EventLoop& loop_;
  TimerSchedule::TimerId id_;
};

class Win32EventLoop::Win32Signal final : public CrossThreadSignal {
 public:
  Win32Signal(Win32EventLoop& loop, std::uint64_t id, std::function<void()> handler)
      : loop_(loop), id_(id), handler_(std::move(handler)) {
    loop_.signals_[id_] = this;
  }
  ~Win32Signal() override { loop_.signals_.erase(id_); }

  void signal() override {
    // One message at a time: the flag drops just before the handler runs,
    // so a signal given during the run posts the next message.
    if (posted_.exchange(true)) return;
    if (!::PostMessageW(loop_.window_.get(), kSignalMessage, static_cast<WPARAM>(id_), 0)) posted_ = false;
  }

  void run() {
    posted_ = false;
    auto handler = handler_;  // the handler may destroy this signal
    handler();
  }

 private:
  Win32EventLoop& loop_;
  std::uint64_t id_;
  std::function<void()> handler_;
  std::atomic<bool> posted_{false};
};

Win32EventLoop::Win32EventLoop() {
  static const WindowClass timers({.name = kTimerWindowClass, .where = "timers"});
  window_.reset(timers.create(*this, 0, L"", 0, {}, HWND_MESSAGE));
  if (!window_) throw std::runtime_error("the timers' window cannot be created");
}

Win32EventLoop::~Win32EventLoop() {
  if (wakeUpArmed_) ::KillTimer(window_.get(), kWakeUpTimer);
  window_.reset();  // while the members its messages reach are still here
}

Millis Win32EventLoop::monotonicNow() {
  // steady_clock is QueryPerformanceCounter here: far finer than the tick
  // count's 10-16 ms, which would blur 1 ms intervals.
  return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

std::unique_ptr<Timer> Win32EventLoop::createTimer(Millis interval, std::function<void()> onTick) {
  return std::make_unique<Win32Timer>(*this, schedule_.add(interval, std::move(onTick)));
}

std::unique_ptr<CrossThreadSignal> Win32EventLoop::createSignal(std::function<void()> handler) {
  return std::make_unique<Win32Signal>(*this, nextSignalId_++, std::move(handler));
}

void Win32EventLoop::runSignal(std::uint64_t id) {
  const auto it = signals_.find(id);
  if (it == signals_.end()) return;
  Win32Signal* signal = it->second;
  guarded("signal", [signal] { signal->run(); });
  armWakeUp();  // the handler may have changed the timers
}

void Win32EventLoop::armWakeUp() {
  const auto due = schedule_.nextDue();
  if (!due) {
    if (wakeUpArmed_) ::KillTimer(window_.get(), kWakeUpTimer);
    wakeUpArmed_ = false;
    return;
  }
  const auto wait = std::max<Millis::rep>(0, (*due - monotonicNow()).count());
  const auto delay = static_cast<UINT>(std::clamp<Millis::rep>(wait, USER_TIMER_MINIMUM, 0x7FFFFFFF));
  // SetTimer is a server call under Wine: skip it when nothing changes.
  if (wakeUpArmed_ && delay == wakeUpDelay_) return;
  // Without the wake-up the program would stop ticking: that must not pass.
  if (::SetTimer(window_.get(), kWakeUpTimer, delay, nullptr) == 0) failFatally("the timer cannot be set");
  wakeUpArmed_ = true;
  wakeUpDelay_ = delay;
}

void Win32EventLoop::runNextTick() {
  guarded("timer tick", [this] { schedule_.runNext(); });
  armWakeUp();
}

LRESULT Win32EventLoop::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == kWakeUpTimer) {
    // The window timer repeats until re-armed; forget its period so the
    // next arm really sets it.
    wakeUpDelay_ = 0;
    runNextTick();
    return 0;
  }
  if (msg == kSignalMessage) {
    runSignal(static_cast<std::uint64_t>(wParam));
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Win32EventLoop::dispatch(MSG& msg) {
  if (msg.message == WM_KEYDOWN && keyPreview_ && dialog_ != nullptr &&
      (msg.hwnd == dialog_ || ::IsChild(dialog_, msg.hwnd) != FALSE)) {
    auto preview = keyPreview_;  // the handler may replace it
    if (preview(static_cast<int>(msg.wParam))) return;
  }
  if (dialog_ != nullptr && ::IsWindow(dialog_) && ::IsDialogMessageW(dialog_, &msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

void Win32EventLoop::sleep(Millis duration) {
  ::Sleep(static_cast<DWORD>(duration.count()));
}

void Win32EventLoop::quit() {
  if (quitting_) return;
  quitting_ = true;
  ::PostQuitMessage(0);
}

int Win32EventLoop::run() {
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quitting_ = false;  // the loop may be run again
        return static_cast<int>(msg.wParam);
      }
      dispatch(msg);
    }
    // Idle: one tick, then whatever it caused is handled before the next.
    if (schedule_.nextDue() && *schedule_.nextDue() <= monotonicNow()) {
      runNextTick();
      continue;
    }
    armWakeUp();
    DWORD timeout = INFINITE;
    if (const auto due = schedule_.nextDue()) {
      timeout = static_cast<DWORD>(std::max<Millis::rep>(1, (*due - monotonicNow()).count()));
    }
    ::MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void Win32EventLoop::runModal(HWND window) {
  MSG msg;
  while (::IsWindow(window)) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    // Unicode throughout: the modal window is a Unicode window, and a
    // message taken with the "W" call must be dispatched with it.
    if (::IsDialogMessageW(window, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace pondex::win32
