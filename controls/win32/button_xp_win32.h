#pragma once
// The XP-style button as a Win32 child window (window class "Pon_dex.ButtonXP").
//
//   HWND start = createButtonXP(parent, kStartId, L"&START", RECT{8, 8, 108, 38}, font);
//   setButtonXPClickHandler(start, [&] { ... });
//
// - The window text is the caption: SetWindowTextW / GetWindowTextW (or
//   setButtonXPCaption) read and change it, so screen readers read it.
//   "&" marks the access key (Alt+letter), "&&" shows one "&".
// - Enabled is the window's enabled state: EnableWindow (or setButtonXPEnabled).
// - A click (left button, Space or Enter released, the access key, BM_CLICK)
//   sends WM_COMMAND with BN_CLICKED and the button's id to the parent, then
//   calls the click handler if one is set. Gaining and losing the focus
//   send BN_SETFOCUS and BN_KILLFOCUS the same way.
// - Left/Right arrows move the focus to the next tab stop of the top-level
//   window, Up/Down to the previous one (GetNextDlgTabItem), unless a focus
//   mover is set.
// - The font is the one given (WM_SETFONT works too); the caller keeps it
//   alive while the button uses it. Null means the default GUI font.
// - The window belongs to its parent, which destroys it; DestroyWindow ends
//   it earlier. Handlers may destroy the button or its parent.
// All functions are for the user-interface thread; those taking an HWND do
// nothing when it is not a ButtonXP window.
#include <windows.h>

#include <functional>
#include <string>

#include "controls/button_xp.h"

namespace pondex::win32 {

inline constexpr const wchar_t* kButtonXPClass = L"Pon_dex.ButtonXP";

// A visible tab-stop child window at `rect` (parent client pixels); null
// when the window could not be created.
HWND createButtonXP(HWND parent, int id, const std::wstring& caption, const RECT& rect, HFONT font);

void setButtonXPCaption(HWND button, const std::wstring& caption);
void setButtonXPEnabled(HWND button, bool enabled);
// Caption colours, normal and while the mouse is over the button (COLORREF).
void setButtonXPColors(HWND button, COLORREF foreColor, COLORREF foreHover);
void setButtonXPClickHandler(HWND button, std::function<void()> onClick);
void setButtonXPFocusMover(HWND button, std::function<void(bool forward)> moveFocus);

// The behaviour behind the window, for its other events and properties;
// null for other windows. Valid until the window is destroyed. Its
// events.click is the window's own: use setButtonXPClickHandler instead.
controls::ButtonXP* buttonXPOf(HWND button);

}  // namespace pondex::win32
