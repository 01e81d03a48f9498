#include "platform/win32/window_class.h"

#include <memory>
#include <new>

#include "platform/win32/callback_guard.h"

namespace pondex::win32 {
namespace {

// What a window is bound to; kept in its GWLP_USERDATA, owned by the window.
struct Binding {
  void* owner;
  detail::Dispatch dispatch;
  const char* where;
  WNDPROC original;  // subclassed windows only
};

Binding* bindingOf(HWND window) {
  return reinterpret_cast<Binding*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void setBinding(HWND window, Binding* binding) {
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(binding));
}

LRESULT dispatch(const Binding& binding, HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  // The owner may destroy the window, and with it the binding: nothing of
  // it is read once the owner has been called.
  const detail::Dispatch to = binding.dispatch;
  void* owner = binding.owner;
  return guarded(binding.where, [&] { return to(owner, window, message, wParam, lParam); });
}

LRESULT CALLBACK classProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  Binding* binding = bindingOf(window);
  if (message == WM_NCCREATE && binding == nullptr) {
    const auto* given = static_cast<const Binding*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (given != nullptr) {
      binding = new (std::nothrow) Binding(*given);
      if (binding == nullptr) return FALSE;  // the window is not made
      setBinding(window, binding);
    }
  }
  if (binding == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window's last message: unbound first, so the owner may go with it.
    const std::unique_ptr<Binding> last(binding);
    setBinding(window, nullptr);
    return dispatch(*last, window, message, wParam, lParam);
  }
  return dispatch(*binding, window, message, wParam, lParam);
}

LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const Binding* binding = bindingOf(window);
  if (binding == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = dispatch(*binding, window, message, wParam, lParam);
  if (message == WM_NCDESTROY) unsubclass(window);
  return result;
}

}  // namespace

WindowClass::WindowClass(const WindowClassSpec& classInfo) : name_(classInfo.name), where_(classInfo.where) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = classInfo.style;
  wc.lpfnWndProc = &classProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hIcon = classInfo.icon;
  wc.hIconSm = classInfo.icon;
  wc.hCursor = classInfo.cursor;
  wc.hbrBackground = classInfo.background;
  wc.lpszClassName = classInfo.name;
  registered_ = ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

namespace detail {

HWND createBound(const wchar_t* className, const char* where, void* owner, Dispatch dispatch, DWORD exStyle,
                 const wchar_t* caption, DWORD style, const Placement& place, HWND parent, HMENU menu) {
  Binding binding{owner, dispatch, where, nullptr};  // copied at WM_NCCREATE
  return ::CreateWindowExW(exStyle, className, caption, style, place.x, place.y, place.width, place.height, parent,
                           menu, ::GetModuleHandleW(nullptr), &binding);
}

void subclassBound(HWND window, const char* where, void* owner, Dispatch dispatch) {
  if (window == nullptr || bindingOf(window) != nullptr) return;
  auto binding = std::make_unique<Binding>(Binding{owner, dispatch, where, nullptr});
  binding->original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
  setBinding(window, binding.release());
  ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassProcedure));
}

void* ownerOf(HWND window, Dispatch dispatch) {
  if (window == nullptr) return nullptr;
  // Only our procedures put a Binding in the user data.
  const LONG_PTR procedure = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
  if (procedure != reinterpret_cast<LONG_PTR>(&classProcedure) &&
      procedure != reinterpret_cast<LONG_PTR>(&subclassProcedure)) {
    return nullptr;
  }
  const Binding* binding = bindingOf(window);
  return binding != nullptr && binding->dispatch == dispatch ? binding->owner : nullptr;
}

}  // namespace detail

LRESULT callOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool ours = ::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&subclassProcedure);
  const Binding* binding = ours ? bindingOf(window) : nullptr;
  if (binding == nullptr || binding->original == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return ::CallWindowProcW(binding->original, window, message, wParam, lParam);
}

void unsubclass(HWND window) {
  if (::GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&subclassProcedure)) return;
  const std::unique_ptr<Binding> binding(bindingOf(window));
  setBinding(window, nullptr);
  if (binding) ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(binding->original));
}

}  // namespace pondex::win32
