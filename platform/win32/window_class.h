#pragma once
// The one way a window reaches its C++ object.
//
// A class of ours: a WindowClass registers it once (a class of that name
// already registered in the process is taken as it is). create() hands the
// object to CreateWindowExW; the class's procedure binds it at WM_NCCREATE,
// before any message but the few the system sends earlier (those, and any
// after WM_NCDESTROY, go to DefWindowProcW), and unbinds it after
// WM_NCDESTROY. The owner's
//
//   LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
//
// sees every message in between, WM_NCCREATE and WM_NCDESTROY included, and
// calls DefWindowProcW itself for what it leaves. The object must outlive
// its windows (an owner holding its window in a UniqueWindow destroys it
// first in its destructor) or delete itself at WM_NCDESTROY.
//
// A window of a class not ours (a system control, a predefined class):
// subclass() puts the owner in front of the window's own procedure, which
// callOriginal() reaches. It is undone by unsubclass() or when the window
// is destroyed.
//
// Every message runs inside guarded(where, ...): an exception ends the
// program through its fatal handler. Unicode ("W") windows throughout.
// User-interface thread only.
#include <windows.h>

namespace pondex::win32 {

// Where a new window goes, in pixels (CW_USEDEFAULT where the system may choose).
struct Placement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

namespace detail {

using Dispatch = LRESULT (*)(void* owner, HWND, UINT, WPARAM, LPARAM);

template <typename Owner>
LRESULT dispatchTo(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return static_cast<Owner*>(owner)->onMessage(window, message, wParam, lParam);
}

HWND createBound(const wchar_t* className, const char* where, void* owner, Dispatch dispatch, DWORD exStyle,
                 const wchar_t* caption, DWORD style, const Placement& place, HWND parent, HMENU menu);
void subclassBound(HWND window, const char* where, void* owner, Dispatch dispatch);
// The owner bound to `window` by this helper through `dispatch`; null for
// any other window (also one of another process).
void* ownerOf(HWND window, Dispatch dispatch);

}  // namespace detail

struct WindowClassSpec {
  const wchar_t* name = nullptr;  // read by tests and other programs: keep it
  const char* where = "window";   // names the window in the report of a failure
  UINT style = 0;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
};

class WindowClass {
 public:
  explicit WindowClass(const WindowClassSpec& classInfo);

  // False when the class could not be registered: create() then fails.
  [[nodiscard]] bool registered() const { return registered_; }
  [[nodiscard]] const wchar_t* name() const { return name_; }

  // A window of this class bound to `owner`; null when it could not be made
  // (`owner` then got no message, or got WM_NCDESTROY after WM_NCCREATE).
  template <typename Owner>
  HWND create(Owner& owner, DWORD exStyle, const wchar_t* caption, DWORD style, const Placement& place, HWND parent,
              HMENU menu = nullptr) const {
    return detail::createBound(name_, where_, &owner, &detail::dispatchTo<Owner>, exStyle, caption, style, place,
                               parent, menu);
  }

 private:
  const wchar_t* name_;
  const char* where_;
  bool registered_;
};

template <typename Owner>
void subclass(HWND window, Owner& owner, const char* where) {
  detail::subclassBound(window, where, &owner, &detail::dispatchTo<Owner>);
}
// The window's procedure before subclass(); DefWindowProcW when there is none.
LRESULT callOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void unsubclass(HWND window);

// The Owner that `window` is bound to, by create() or subclass(); null for
// any other window.
template <typename Owner>
Owner* ownerOf(HWND window) {
  return static_cast<Owner*>(detail::ownerOf(window, &detail::dispatchTo<Owner>));
}

}  // namespace pondex::win32
