#include "platform/win32/event_loop_win32.h"

namespace pondex::win32 {
namespace {
constexpr const char* kTimerWindowClass = "Pon_dex.Timers";
}

class Win32EventLoop::Win32Timer final : public Timer {
 public:
  Win32Timer(Win32EventLoop& loop, std::shared_ptr<TimerState> state) : loop_(loop), state_(std::move(state)) {}
  ~Win32Timer() override {
    setEnabled(false);
    loop_.timers_.erase(state_->id);
  }

  void setEnabled(bool on) override {
    if (on == state_->enabled) return;
    state_->enabled = on;
    // SetTimer on an existing id restarts its interval; KillTimer also drops
    // a WM_TIMER already waiting in the queue.
    if (on) {
      ::SetTimer(loop_.window_.get(), state_->id, state_->interval, nullptr);
    } else {
      ::KillTimer(loop_.window_.get(), state_->id);
    }
  }
  [[nodiscard]] bool enabled() const override { return state_->enabled; }
  [[nodiscard]] Millis interval() const override { return Millis(state_->interval); }

 private:
  Win32EventLoop& loop_;
  std::shared_ptr<TimerState> state_;
};

Win32EventLoop::Win32EventLoop() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &Win32EventLoop::windowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kTimerWindowClass;
  ::RegisterClassA(&wc);
  window_.reset(
      ::CreateWindowExA(0, kTimerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
  ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32EventLoop::~Win32EventLoop() {
  for (auto& [id, state] : timers_) ::KillTimer(window_.get(), id);
}

std::unique_ptr<Timer> Win32EventLoop::createTimer(Millis interval, std::function<void()> onTick) {
  auto state = std::make_shared<TimerState>();
  state->id = nextId_++;
  state->interval = static_cast<UINT>(interval.count());
  state->onTick = std::move(onTick);
  timers_[state->id] = state;
  return std::make_unique<Win32Timer>(*this, state);
}

LRESULT CALLBACK Win32EventLoop::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    auto* self = reinterpret_cast<Win32EventLoop*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr) self->tick(static_cast<UINT_PTR>(wParam));
    return 0;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Win32EventLoop::tick(UINT_PTR id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  auto state = it->second;  // keeps the state alive if the tick destroys its timer
  if (!state->enabled || state->running) return;
  if (!yieldTicks_.empty()) {
    auto& ticked = yieldTicks_.back();
    for (UINT_PTR t : ticked) {
      if (t == id) return;
    }
    ticked.push_back(id);
  }
  state->running = true;
  auto onTick = state->onTick;
  onTick();
  state->running = false;
}

void Win32EventLoop::yieldToPendingEvents() {
  yieldTicks_.emplace_back();
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for the outer loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    dispatch(msg);
  }
  yieldTicks_.pop_back();
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
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) dispatch(msg);
  return static_cast<int>(msg.wParam);
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
