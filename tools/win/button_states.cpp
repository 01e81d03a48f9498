// button_states: one XP-style button for each of its looks, side by side, for
// the screenshot of the button's states (tools/shell_shots.py).
//
//   button_states       window "Pon_dex button states"; the button "Focused"
//                       holds the focus and "Disabled" is disabled. Hover
//                       and pressed need the mouse: the script moves it.
#include <windows.h>

#include "controls/win32/drawn_button_win32.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"

namespace {

constexpr const wchar_t* kClass = L"Pon_dex.ButtonStates";
constexpr const wchar_t* kCaptions[] = {L"Normal", L"Focused", L"Hover", L"Pressed", L"Disabled"};
constexpr int kWidth = 90;
constexpr int kHeight = 30;
constexpr int kGap = 12;

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &windowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClass;
  if (::RegisterClassW(&wc) == 0) return 1;

  const int count = static_cast<int>(sizeof kCaptions / sizeof kCaptions[0]);
  RECT frame{0, 0, kGap + count * (kWidth + kGap), kHeight + 2 * kGap};
  ::AdjustWindowRect(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE);
  pondex::win32::UniqueWindow window(
      ::CreateWindowExW(0, kClass, L"Pon_dex button states", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 100, 100,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr));
  if (!window) return 1;
  const pondex::win32::UniqueGdiObject font = pondex::win32::messageFont(96);
  HWND buttons[count] = {};
  for (int i = 0; i < count; ++i) {
    const int left = kGap + i * (kWidth + kGap);
    buttons[i] = pondex::win32::createDrawnButton(window.get(), 100 + i, kCaptions[i],
                                                  RECT{left, kGap, left + kWidth, kGap + kHeight},
                                                  static_cast<HFONT>(font.get()));
  }
  ::EnableWindow(buttons[4], FALSE);
  ::ShowWindow(window.get(), SW_SHOWNORMAL);
  ::SetFocus(buttons[1]);

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  (void)window.release();  // destroyed by its close box
  return 0;
}
