#include "ui/win32/control_marks.h"

#include <algorithm>
#include <string>

#include "platform/win32/dpi.h"
#include "platform/win32/gdi_win32.h"
#include "platform/win32/window_class.h"

namespace pondex::win32 {
namespace {

constexpr COLORREF kFocusColor = RGB(97, 125, 229);

bool isLabel(HWND hwnd) {
  wchar_t name[16] = {};
  ::GetClassNameW(hwnd, name, 16);
  return ::lstrcmpiW(name, L"Static") == 0;
}

std::wstring textOf(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

// Draws the mark over what the control painted.
void drawMark(HWND hwnd) {
  const bool label = isLabel(hwnd);
  const std::wstring text = textOf(hwnd);
  if (!label && !text.empty()) return;  // the system frames a check box's text itself
  RECT client{};
  ::GetClientRect(hwnd, &client);
  const WindowDc scope(hwnd);
  const HDC dc = scope.dc();
  if (dc == nullptr) return;
  RECT mark = client;
  if (label && !text.empty()) {
    // Round the text, as it is drawn: left aligned, centred vertically.
    auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    const SelectedObject selected(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT measured{0, 0, client.right, client.bottom};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int pad = 2;
    const int top = (client.bottom - (measured.bottom - measured.top)) / 2;
    mark = RECT{0, top - pad, std::min<LONG>(measured.right + 2 * pad, client.right), client.bottom - top + pad};
    if (mark.top < 0) mark.top = 0;
    if (mark.bottom > client.bottom) mark.bottom = client.bottom;
  }
  UniqueGdiObject brush(::CreateSolidBrush(kFocusColor));
  if (brush) {
    // One pixel at 100 %, thicker on larger scales so it stays visible.
    const int thickness = std::max(1, static_cast<int>(windowDpi(hwnd)) / 96);
    for (int i = 0; i < thickness && mark.right - mark.left > 2 * i; ++i) {
      RECT ring{mark.left + i, mark.top + i, mark.right - i, mark.bottom - i};
      ::FrameRect(dc, &ring, static_cast<HBRUSH>(brush.get()));
    }
  }
}

void notifyParent(HWND hwnd, WORD code) {
  const auto id = static_cast<WORD>(::GetDlgCtrlID(hwnd));
  ::SendMessageW(::GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_GETDLGCODE: {
      LRESULT code = callOriginal(hwnd, msg, wParam, lParam) | DLGC_WANTARROWS;
      if (isLabel(hwnd) && (wParam == VK_RETURN || wParam == VK_SPACE)) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN) {
        const bool back = wParam == VK_LEFT || wParam == VK_UP;
        HWND next = ::GetNextDlgTabItem(::GetAncestor(hwnd, GA_ROOT), hwnd, back ? TRUE : FALSE);
        if (next != nullptr && next != hwnd) ::SetFocus(next);
        return 0;
      }
      // Held keys repeat: only the first press acts.
      if (isLabel(hwnd) && (wParam == VK_RETURN || wParam == VK_SPACE) && (lParam & 0x40000000) == 0) {
        notifyParent(hwnd, STN_CLICKED);
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT result = callOriginal(hwnd, msg, wParam, lParam);
      ::InvalidateRect(hwnd, nullptr, TRUE);
      if (msg == WM_SETFOCUS && isLabel(hwnd)) notifyParent(hwnd, kLabelGotFocus);
      return result;
    }
    case WM_PAINT: {
      const LRESULT result = callOriginal(hwnd, msg, wParam, lParam);
      if (::GetFocus() == hwnd) drawMark(hwnd);
      return result;
    }
    default:
      break;
  }
  return callOriginal(hwnd, msg, wParam, lParam);
}

// Every subclassed control shares it: what it needs is the control's own.
struct KeyboardMarks {
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) const {
    return handle(hwnd, msg, wParam, lParam);
  }
};

}  // namespace

void drawSectionMark(HDC dc, const RECT& area, bool filled, int penWidth) {
  constexpr COLORREF kMarkerColor = RGB(0x3C, 0x7F, 0xB1);
  ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
  const int size = std::min(area.right - area.left, area.bottom - area.top) * 2 / 3;
  const int left = area.left + (area.right - area.left - size) / 2;
  const int top = area.top + (area.bottom - area.top - size) / 2;
  UniqueGdiObject pen(::CreatePen(PS_SOLID, std::max(1, penWidth), kMarkerColor));
  UniqueGdiObject fill(::CreateSolidBrush(filled ? kMarkerColor : ::GetSysColor(COLOR_BTNFACE)));
  if (!pen || !fill) return;
  const SelectedObject penSelected(dc, pen.get());
  const SelectedObject brushSelected(dc, fill.get());
  ::Ellipse(dc, left, top, left + size, top + size);
}

void keyboardControl(HWND control) {
  static KeyboardMarks marks;
  subclass(control, marks, "control");
}

}  // namespace pondex::win32
