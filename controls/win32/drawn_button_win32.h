#pragma once
// The drawn button as a Win32 child window (window class "Pon_dex.ButtonXP").
//
//   HWND start = createDrawnButton(parent, kStartId, L"&START", RECT{8, 8, 108, 38}, font);
//
// - The window text is the caption: SetWindowTextW / GetWindowTextW read and
//   change it, so screen readers read it. "&" marks the access key
//   (Alt+letter), "&&" shows one "&".
// - Enabled is the window's enabled state: EnableWindow.
// - A click (left button, Space or Enter released, the access key, BM_CLICK)
//   sends WM_COMMAND with BN_CLICKED and the button's id to the parent.
//   Gaining and losing the focus send BN_SETFOCUS and BN_KILLFOCUS the same
//   way.
// - Left/Right arrows move the focus to the next tab stop of the top-level
//   window, Up/Down to the previous one (GetNextDlgTabItem).
// - The font is the one given (WM_SETFONT works too); the caller keeps it
//   alive while the button uses it. Null means the default GUI font.
// - The window belongs to its parent, which destroys it; DestroyWindow ends
//   it earlier. The parent may destroy the button, or itself, while it
//   handles the button's notifications.
// All functions are for the user-interface thread; those taking an HWND do
// nothing when it is not a DrawnButton window.
#include <windows.h>

#include <string>

namespace pondex::win32 {

inline constexpr const wchar_t* kDrawnButtonClass = L"Pon_dex.ButtonXP";

// A visible tab-stop child window at `rect` (parent client pixels); null
// when the window could not be created.
HWND createDrawnButton(HWND parent, int id, const std::wstring& caption, const RECT& rect, HFONT font);

// Caption colours, normal and while the mouse is over the button (COLORREF).
void setDrawnButtonColors(HWND button, COLORREF foreColor, COLORREF foreHover);

}  // namespace pondex::win32
