#pragma once
// The marks the settings window draws over or beside system controls.
//
// Keyboard use of the controls the system draws for the settings window:
// labels that act on a click, check boxes and option buttons.
//
// keyboardControl(hwnd) subclasses one such control:
// - it shows a focus mark while it has the focus: a frame in the blue of
//   the XP button's focus picture around a label's text, or around a check
//   box drawn without text (the system's own dotted frame has nothing to
//   go round there);
// - the arrows move the focus to the next (Right, Down) or previous (Left,
//   Up) tab stop of the window, as on the XP button;
// - a label sends its parent STN_CLICKED for Enter and Space, as for a
//   click, and kLabelGotFocus when it receives the focus.
#include <windows.h>

namespace pondex::win32 {

// The WM_COMMAND notification code of a label that received the focus.
inline constexpr WORD kLabelGotFocus = 0x0F00;

void keyboardControl(HWND control);

// The round mark of a section's image beside its label: a ring, filled
// while the section is open.
void drawSectionMark(HDC dc, const RECT& area, bool filled, int penWidth);

}  // namespace pondex::win32
