#include "ui/win32/form_window.h"

#include <algorithm>
#include <stdexcept>

#include "controls/win32/drawn_button_win32.h"
#include "platform/win32/dpi.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/window_class.h"
#include "ui/win32/control_marks.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace pondex::win32 {
namespace {

using ui::ControlId;
using ui::ControlKind;

constexpr const wchar_t* kWindowClass = L"Pon_dex.Window";
constexpr const wchar_t* kPanelClass = L"Pon_dex.Panel";
constexpr const wchar_t* kOwnerClass = L"Pon_dex.Owner";
constexpr int kControlIdBase = 1000;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr COLORREF kMarkColor = RGB(0xCC, 0xE4, 0xF7);

// The hidden owner has nothing to say: its messages all go to the system.
struct SilentOwner {
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) const {
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
};

WindowClassSpec formClass(const wchar_t* name, HICON icon) {
  return {.name = name,
          .where = "settings window",
          .style = CS_DBLCLKS,
          .icon = icon,
          .cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)),  // IDC_ARROW
          .background = ::GetSysColorBrush(COLOR_BTNFACE)};
}

// Registered by the first window; its icon is the program's.
const WindowClass& windowClass(HICON icon) {
  static const WindowClass registered(formClass(kWindowClass, icon));
  return registered;
}

const WindowClass& panelClass() {
  static const WindowClass registered(formClass(kPanelClass, nullptr));
  return registered;
}

const WindowClass& ownerClass() {
  static const WindowClass registered({.name = kOwnerClass, .where = "settings window"});
  return registered;
}

bool hasWindow(ControlKind kind) {
  switch (kind) {
    case ControlKind::Timer:
    case ControlKind::Component:
    case ControlKind::Menu:
    case ControlKind::MenuItem:
      return false;
    default:
      return true;
  }
}

bool hasText(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::Button:
    case ControlKind::TextBox:
      return true;
    default:
      return false;
  }
}

}  // namespace

FormWindow::FormWindow(ui::Form& form, HICON icon, Callbacks callbacks)
    : form_(form), callbacks_(std::move(callbacks)), markBrush_(::CreateSolidBrush(kMarkColor)) {
  static SilentOwner silent;
  owner_.reset(ownerClass().create(silent, 0, L"", WS_POPUP, {}, nullptr));
  window_.reset(windowClass(icon).create(*this, kWindowExStyle, widen(form_.caption(ui::kWindowId)).c_str(),
                                         kWindowStyle, {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0}, owner_.get()));
  if (!owner_ || !window_) throw std::runtime_error("the settings window cannot be created");
  hwnds_.assign(form_.size(), nullptr);
  hwnds_[ui::kWindowId] = window_.get();

  dpi_ = windowDpi(window_.get());
  font_ = messageFont(dpi_);
  boldFont_ = messageFont(dpi_, true);
  for (ControlId id = 1; id < form_.size(); ++id) createControl(id);
  // Containers may come after their contents in control order: parent and
  // place everything once all windows exist.
  for (ControlId id = 0; id < form_.size(); ++id) place(id);
  arrangeTabOrder();
  for (ControlId id = 1; id < form_.size(); ++id) applyVisible(id);
  form_.setObserver(this);
  applyVisible(ui::kWindowId);
}

FormWindow::~FormWindow() {
  form_.setObserver(nullptr);
  window_.reset();  // while the members its messages reach are still here
}

int FormWindow::px(int twips) const {
  return twipsToPixels(twips, dpi_);
}

std::wstring FormWindow::shownCaption(ControlId id) const {
  if (!form_.captionShown(id)) return {};
  return widen(form_.caption(id));
}

void FormWindow::arrangeTabOrder() {
  // Tab walks the children of a container in their window order: make it
  // the model's tab order (ties in control order).
  for (ControlId container = 0; container < form_.size(); ++container) {
    auto kids = form_.children(container);
    std::stable_sort(kids.begin(), kids.end(),
                     [this](ControlId a, ControlId b) { return form_.tabIndex(a) < form_.tabIndex(b); });
    HWND after = HWND_TOP;
    for (ControlId kid : kids) {
      HWND hwnd = controlHandle(kid);
      if (hwnd == nullptr) continue;
      ::SetWindowPos(hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      after = hwnd;
    }
  }
}

HWND FormWindow::createChild(ControlId id, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle) {
  if (form_.tabStop(id)) style |= WS_TABSTOP;
  return ::CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, window_.get(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlIdBase + id)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

HWND FormWindow::createContainer(ControlId id, DWORD exStyle) {
  // The containers are ours: their messages come here too.
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (form_.tabStop(id) ? WS_TABSTOP : 0);
  return panelClass().create(*this, exStyle, L"", style, {}, window_.get(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlIdBase + id)));
}

HWND FormWindow::createButton(ControlId id, const std::wstring& caption) {
  // Every push button of the window is the XP-style button; it reports its
  // clicks and focus to this window as a system button does.
  HWND hwnd = win32::createDrawnButton(window_.get(), static_cast<int>(kControlIdBase + id), caption, RECT{}, nullptr);
  if (hwnd == nullptr) return nullptr;
  LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE);
  if (!form_.tabStop(id)) style &= ~static_cast<LONG_PTR>(WS_TABSTOP);
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, style | WS_CLIPSIBLINGS);
  return hwnd;
}

void FormWindow::createControl(ControlId id) {
  const ControlKind kind = form_.kind(id);
  if (!hasWindow(kind)) return;
  const std::wstring text = shownCaption(id);
  HWND hwnd = nullptr;
  switch (kind) {
    case ControlKind::Container:
      hwnd = createContainer(id, WS_EX_CONTROLPARENT);
      break;
    case ControlKind::Frame:
      hwnd = createContainer(id, WS_EX_CONTROLPARENT | WS_EX_STATICEDGE);
      break;
    case ControlKind::Label:
      hwnd = createChild(id, L"STATIC", text, SS_NOTIFY | SS_LEFT | SS_CENTERIMAGE, 0);
      keyboardControl(hwnd);
      break;
    case ControlKind::Image:
      hwnd = createChild(id, L"STATIC", L"", form_.marker(id) ? SS_OWNERDRAW : 0, 0);
      break;
    case ControlKind::CheckBox:
      hwnd = createChild(id, L"BUTTON", text, BS_3STATE | BS_NOTIFY, 0);
      keyboardControl(hwnd);
      break;
    case ControlKind::OptionButton:
      hwnd = createChild(id, L"BUTTON", text, BS_RADIOBUTTON | BS_NOTIFY, 0);
      keyboardControl(hwnd);
      break;
    case ControlKind::Button:
      hwnd = createButton(id, text);
      break;
    case ControlKind::TextBox:
      hwnd = createChild(id, L"EDIT", text, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
      break;
    default:
      hwnd = createChild(id, L"STATIC", L"", 0, 0);
      break;
  }
  hwnds_[id] = hwnd;
  if (hwnd == nullptr) return;
  applyFont(id);
  if (kind == ControlKind::TextBox && form_.maxLength(id) > 0) {
    ::SendMessageW(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(form_.maxLength(id)), 0);
  }
  applyValue(id);
  if (!form_.enabled(id)) ::EnableWindow(hwnd, FALSE);
}

void FormWindow::applyFont(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr || id == ui::kWindowId) return;
  auto* font = static_cast<HFONT>(form_.emphasised(id) ? boldFont_.get() : font_.get());
  ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void FormWindow::place(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr) return;
  const ui::Rect r = form_.rect(id);
  if (id == ui::kWindowId) {
    const SIZE outer = outerSize(px(r.width), px(r.height), kWindowStyle, kWindowExStyle, dpi_);
    ::SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  HWND parent = controlHandle(form_.container(id));
  if (parent != nullptr && ::GetParent(hwnd) != parent) ::SetParent(hwnd, parent);
  ::MoveWindow(hwnd, px(r.left), px(r.top), px(r.width), px(r.height), TRUE);
  // The focus never stays in a panel that went out of sight: keys typed
  // there would change what nobody sees.
  HWND focus = ::GetFocus();
  if (focus != nullptr && (focus == hwnd || ::IsChild(hwnd, focus) != FALSE) && ::IsWindowVisible(hwnd) == FALSE &&
      ::IsWindowVisible(window_.get()) != FALSE) {
    ::SetFocus(window_.get());
  }
}

void FormWindow::rescale(UINT dpi) {
  dpi_ = dpi;
  font_ = messageFont(dpi_);
  boldFont_ = messageFont(dpi_, true);
  for (ControlId id = 1; id < form_.size(); ++id) {
    applyFont(id);
    place(id);
  }
}

void FormWindow::applyValue(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr) return;
  const ControlKind kind = form_.kind(id);
  if (kind == ControlKind::CheckBox) {
    const int v = form_.value(id);
    ::SendMessageW(hwnd, BM_SETCHECK, v == 0 ? BST_UNCHECKED : v == 1 ? BST_CHECKED : BST_INDETERMINATE, 0);
  } else if (kind == ControlKind::OptionButton) {
    ::SendMessageW(hwnd, BM_SETCHECK, form_.isOn(id) ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void FormWindow::applyVisible(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr) return;
  ::ShowWindow(hwnd, form_.visible(id) ? (id == ui::kWindowId ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
}

void FormWindow::applyCaption(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr) return;
  if (id != ui::kWindowId && !hasText(form_.kind(id))) return;
  updating_ = true;
  ::SetWindowTextW(hwnd, id == ui::kWindowId ? widen(form_.caption(id)).c_str() : shownCaption(id).c_str());
  updating_ = false;
}

void FormWindow::applyTabStop(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr || id == ui::kWindowId) return;
  LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  style = form_.tabStop(id) ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, style);
}

void FormWindow::controlChanged(ControlId id, ui::Change what) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr) return;
  switch (what) {
    case ui::Change::Caption:
      applyCaption(id);
      break;
    case ui::Change::Value:
      applyValue(id);
      break;
    case ui::Change::Visible:
      applyVisible(id);
      break;
    case ui::Change::Container:
    case ui::Change::Geometry:
      place(id);
      break;
    case ui::Change::TabOrder:
      applyTabStop(id);
      break;
    case ui::Change::Focus:
      ::SetFocus(hwnd);
      break;
    case ui::Change::Selection:
      ::SendMessageW(hwnd, EM_SETSEL, form_.selStart(id),
                     static_cast<LPARAM>(form_.selStart(id) + form_.selLength(id)));
      break;
    case ui::Change::Emphasis:
      applyFont(id);
      ::InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case ui::Change::Front:
      if (::IsIconic(hwnd) != FALSE) ::ShowWindow(hwnd, SW_RESTORE);
      ::SetForegroundWindow(hwnd);
      break;
    case ui::Change::Enabled:
      ::EnableWindow(hwnd, form_.enabled(id) ? TRUE : FALSE);
      break;
    case ui::Change::ForeColor:
      if (form_.kind(id) == ControlKind::Button) {
        win32::setDrawnButtonColors(hwnd, form_.foreColor(id), form_.foreColor(id));
      }
      ::InvalidateRect(hwnd, nullptr, TRUE);
      break;
  }
}

ControlId FormWindow::controlOf(HWND hwnd) const {
  for (ControlId id = 0; id < hwnds_.size(); ++id) {
    if (hwnds_[id] == hwnd) return id;
  }
  return ui::kWindowId;
}

void FormWindow::onCommand(HWND child, WORD code) {
  if (updating_ || child == nullptr) return;
  const ControlId id = controlOf(child);
  if (id == ui::kWindowId) return;
  switch (form_.kind(id)) {
    case ControlKind::Label:
      if (code == STN_CLICKED) form_.userClick(id);
      if (code == kLabelGotFocus) form_.gotFocus(id);
      break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::Button:
      if (code == BN_CLICKED) form_.userClick(id);
      if (code == BN_SETFOCUS) form_.gotFocus(id);
      break;
    case ControlKind::TextBox:
      if (code == EN_CHANGE) {
        const int length = ::GetWindowTextLengthW(child);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const int copied = ::GetWindowTextW(child, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        form_.userEditedText(id, narrow(text));
      } else if (code == EN_SETFOCUS) {
        form_.gotFocus(id);
      }
      break;
    default:
      break;
  }
}

void FormWindow::onDialogKey(WORD command) {
  // The dialog manager turns Escape into IDCANCEL and an Enter that no
  // control took into IDOK.
  if (command == IDCANCEL) {
    form_.userCancel();
    return;
  }
  if (command != IDOK) return;
  const ControlId id = controlOf(::GetFocus());
  if (id == ui::kWindowId) return;
  const ControlKind kind = form_.kind(id);
  if (kind == ControlKind::CheckBox || kind == ControlKind::OptionButton) form_.userClick(id);
}

void FormWindow::drawMarker(const DRAWITEMSTRUCT& item) {
  const ControlId id = controlOf(item.hwndItem);
  if (id != ui::kWindowId && form_.marker(id)) drawSectionMark(item.hDC, item.rcItem, form_.emphasised(id), px(20));
}

LRESULT FormWindow::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (lParam != 0) {
        onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      } else if (hwnd == window_.get()) {
        onDialogKey(LOWORD(wParam));
      }
      return 0;
    case WM_DRAWITEM:
      drawMarker(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      const ControlId id = controlOf(reinterpret_cast<HWND>(lParam));
      auto dc = reinterpret_cast<HDC>(wParam);
      const bool marked = id != ui::kWindowId && form_.emphasised(id);
      ::SetTextColor(dc, id != ui::kWindowId ? form_.foreColor(id) : 0);
      ::SetBkColor(dc, marked ? kMarkColor : ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(marked ? static_cast<HBRUSH>(markBrush_.get())
                                              : ::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED:
      if (hwnd == window_.get()) {
        rescale(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        place(ui::kWindowId);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (hwnd == window_.get()) {
        if (callbacks_.close) callbacks_.close(ui::CloseReason::User);
        return 0;
      }
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (hwnd == window_.get() && wParam != FALSE && callbacks_.close) callbacks_.close(ui::CloseReason::Session);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace pondex::win32
