#pragma once
// The one place that knows the display's scale: the DPI of a window, sizes
// in twips and device-independent pixels at that DPI, and the system's
// message font sized for it. Functions newer than Windows 7 are looked up at
// run time, so the program starts on Windows 7 and uses per-monitor scaling
// where it exists.
#include <windows.h>

#include "platform/win32/handles.h"

namespace pondex::win32 {

// The screen's logical pixels per inch (the system DPI); 96 when unknown.
UINT systemDpi();
// GetDpiForWindow where available, else the system DPI (so also for a null
// window, or before the window is on a monitor).
UINT windowDpi(HWND window);

// Twips (1/1440 inch) and pixels at `dpi`.
int twipsToPixels(int twips, UINT dpi);
int pixelsToTwips(int pixels, UINT dpi);
// Device-independent pixels (1/96 inch) to pixels at `dpi`.
int dipsToPixels(int dips, UINT dpi);

// The message font of the non-client metrics (the one dialogs use), sized
// for `dpi`; bold when asked. Never an empty handle unless the system is
// out of fonts.
UniqueGdiObject messageFont(UINT dpi, bool bold = false);

// The outer size of a window whose client area is `width` x `height`.
SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace pondex::win32
