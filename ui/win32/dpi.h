#pragma once
// The display scale of one window, and the system's message font at that
// scale. Functions newer than Windows 7 are looked up at run time, so the
// program starts on Windows 7 and uses per-monitor scaling where it exists.
#include <windows.h>

namespace pondex::win32 {

// GetDpiForWindow where available, else the screen's logical pixels.
UINT windowDpi(HWND hwnd);
// Twips (1/1440 inch) to pixels at `dpi`.
int twipsToPixels(int twips, UINT dpi);
// The message font of the non-client metrics, sized for `dpi`; bold when asked.
HFONT createMessageFont(UINT dpi, bool bold);
// The outer size of a window whose client area is `width` x `height`.
SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace pondex::win32
