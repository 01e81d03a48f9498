#include "platform/win32/dpi.h"

#include "platform/win32/gdi_win32.h"

namespace pondex::win32 {
namespace {

template <typename F>
F user32Function(const char* name) {
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  // GetProcAddress returns a generic function pointer; its real type is F.
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

UINT systemDpi() {
  const WindowDc screen;
  // Pixels are square on every display: one axis says it.
  const int dpi = screen.dc() != nullptr ? ::GetDeviceCaps(screen.dc(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT windowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return dpi;
  }
  return systemDpi();
}

int twipsToPixels(int twips, UINT dpi) {
  return ::MulDiv(twips, static_cast<int>(dpi), 1440);
}

int pixelsToTwips(int pixels, UINT dpi) {
  return ::MulDiv(pixels, 1440, static_cast<int>(dpi));
}

int dipsToPixels(int dips, UINT dpi) {
  return ::MulDiv(dips, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

UniqueGdiObject messageFont(UINT dpi, bool bold) {
  using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto forDpi = user32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  if (forDpi != nullptr && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi) != FALSE) {
    font = metrics.lfMessageFont;
  } else if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE) {
    // Given for the system's scale: rescale to the window's.
    font = metrics.lfMessageFont;
    font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi()));
  } else {
    font.lfHeight = -::MulDiv(9, static_cast<int>(dpi), 72);
    font.lfCharSet = DEFAULT_CHARSET;
  }
  if (bold) font.lfWeight = FW_BOLD;
  return UniqueGdiObject(::CreateFontIndirectW(&font));
}

SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT r{0, 0, width, height};
  if (adjustForDpi == nullptr || adjustForDpi(&r, style, FALSE, exStyle, dpi) == FALSE) {
    r = RECT{0, 0, width, height};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace pondex::win32
