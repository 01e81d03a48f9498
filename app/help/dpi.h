#pragma once
// Sizes for the help window at the DPI of the monitor it is on. The
// per-monitor functions exist from Windows 10 on; older systems get the
// system DPI, which is then the same for every monitor.
#include <windows.h>

#include "platform/win32/handles.h"

namespace pondex::help {

UINT windowDpi(HWND window);

// Device-independent pixels (1/96 inch) to pixels at `dpi`.
inline int scaled(int dips, UINT dpi) {
  return ::MulDiv(dips, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// The system's message font (the one dialogs use), sized for `dpi`.
win32::UniqueGdiObject messageFont(UINT dpi);

}  // namespace pondex::help
