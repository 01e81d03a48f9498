#include "platform/win32/handles.h"

namespace pondex::win32 {
namespace {

int screenDpi(int axis) {
  HDC dc = ::GetDC(nullptr);
  const int dpi = dc != nullptr ? ::GetDeviceCaps(dc, axis) : 96;
  if (dc != nullptr) ::ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int twipsToPixelsX(int twips) {
  static const int dpi = screenDpi(LOGPIXELSX);
  return ::MulDiv(twips, dpi, 1440);
}

int twipsToPixelsY(int twips) {
  static const int dpi = screenDpi(LOGPIXELSY);
  return ::MulDiv(twips, dpi, 1440);
}

}  // namespace pondex::win32
