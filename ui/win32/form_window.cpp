#include "ui/win32/form_window.h"

namespace pondex::win32 {
namespace {

using ui::ControlId;
using ui::ControlKind;

constexpr const char* kWindowClass = "Pon_dex.Window";
constexpr const char* kPanelClass = "Pon_dex.Panel";
constexpr const char* kOwnerClass = "Pon_dex.Owner";
constexpr int kControlIdBase = 1000;

void registerClasses(HICON icon) {
  static bool registered = false;
  if (registered) return;
  registered = true;
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = kOwnerClass;
  ::RegisterClassA(&wc);

  wc = WNDCLASSA{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ::DefWindowProcA;  // replaced per window once it knows its FormWindow
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kWindowClass;
  ::RegisterClassA(&wc);
  wc.hIcon = nullptr;
  wc.lpszClassName = kPanelClass;
  ::RegisterClassA(&wc);
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

}  // namespace

FormWindow::FormWindow(ui::Form& form, HICON icon, Callbacks callbacks)
    : form_(form), callbacks_(std::move(callbacks)), font_(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))) {
  registerClasses(icon);
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  owner_.reset(::CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
  const ui::Rect r = form_.rect(ui::kWindowId);
  window_.reset(::CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, form_.caption(ui::kWindowId).c_str(),
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, twipsToPixelsX(r.width), twipsToPixelsY(r.height),
                                  owner_.get(), nullptr, instance, nullptr));
  hwnds_.assign(form_.size(), nullptr);
  hwnds_[ui::kWindowId] = window_.get();
  ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrA(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::windowProc));

  for (ControlId id = 1; id < form_.size(); ++id) createControl(id);
  // Containers may come after their contents in control order: parent and
  // place everything once all windows exist.
  for (ControlId id = 1; id < form_.size(); ++id) place(id);
  for (ControlId id = 1; id < form_.size(); ++id) applyVisible(id);
  form_.setObserver(this);
  applyVisible(ui::kWindowId);
}

FormWindow::~FormWindow() {
  form_.setObserver(nullptr);
}

void FormWindow::createControl(ControlId id) {
  const ControlKind kind = form_.kind(id);
  if (!hasWindow(kind)) return;
  const char* cls = "STATIC";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  std::string text = form_.captionShown(id) ? form_.caption(id) : std::string();
  switch (kind) {
    case ControlKind::Container:
      cls = kPanelClass;
      exStyle = WS_EX_CONTROLPARENT;
      text.clear();
      break;
    case ControlKind::Frame:
      cls = kPanelClass;
      exStyle = WS_EX_CONTROLPARENT | WS_EX_STATICEDGE;
      text.clear();
      break;
    case ControlKind::Label:
      style |= SS_NOTIFY | SS_LEFT;
      break;
    case ControlKind::CheckBox:
      cls = "BUTTON";
      style |= BS_3STATE | BS_NOTIFY;
      break;
    case ControlKind::OptionButton:
      cls = "BUTTON";
      style |= BS_RADIOBUTTON | BS_NOTIFY;
      break;
    case ControlKind::Button:
      cls = "BUTTON";
      style |= BS_PUSHBUTTON | BS_NOTIFY;
      break;
    case ControlKind::TextBox:
      cls = "EDIT";
      style |= ES_AUTOHSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    default:
      text.clear();
      break;
  }
  if (form_.tabStop(id)) style |= WS_TABSTOP;
  HWND hwnd = ::CreateWindowExA(exStyle, cls, text.c_str(), style, 0, 0, 0, 0, window_.get(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlIdBase + id)),
                                ::GetModuleHandleA(nullptr), nullptr);
  hwnds_[id] = hwnd;
  if (hwnd == nullptr) return;
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (std::string(cls) == kPanelClass) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::windowProc));
  }
  if (kind == ControlKind::TextBox && form_.maxLength(id) > 0) {
    ::SendMessageA(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(form_.maxLength(id)), 0);
  }
  applyValue(id);
}

void FormWindow::place(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr) return;
  if (id == ui::kWindowId) {
    const ui::Rect r = form_.rect(id);
    ::SetWindowPos(hwnd, nullptr, 0, 0, twipsToPixelsX(r.width), twipsToPixelsY(r.height),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  HWND parent = controlHandle(form_.container(id));
  if (parent != nullptr && ::GetParent(hwnd) != parent) ::SetParent(hwnd, parent);
  const ui::Rect r = form_.rect(id);
  ::MoveWindow(hwnd, twipsToPixelsX(r.left), twipsToPixelsY(r.top), twipsToPixelsX(r.width), twipsToPixelsY(r.height),
               TRUE);
}

void FormWindow::applyValue(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr) return;
  const ControlKind kind = form_.kind(id);
  if (kind == ControlKind::CheckBox) {
    const int v = form_.value(id);
    ::SendMessageA(hwnd, BM_SETCHECK, v == 0 ? BST_UNCHECKED : v == 1 ? BST_CHECKED : BST_INDETERMINATE, 0);
  } else if (kind == ControlKind::OptionButton) {
    ::SendMessageA(hwnd, BM_SETCHECK, form_.isOn(id) ? BST_CHECKED : BST_UNCHECKED, 0);
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
  const ControlKind kind = form_.kind(id);
  if (kind == ControlKind::Container || kind == ControlKind::Frame || kind == ControlKind::Image) return;
  updating_ = true;
  ::SetWindowTextA(hwnd, form_.captionShown(id) ? form_.caption(id).c_str() : "");
  updating_ = false;
}

void FormWindow::applyTabStop(ControlId id) {
  HWND hwnd = controlHandle(id);
  if (hwnd == nullptr || id == ui::kWindowId) return;
  LONG_PTR style = ::GetWindowLongPtrA(hwnd, GWL_STYLE);
  style = form_.tabStop(id) ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  ::SetWindowLongPtrA(hwnd, GWL_STYLE, style);
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
      ::SendMessageA(hwnd, EM_SETSEL, form_.selStart(id),
                     static_cast<LPARAM>(form_.selStart(id) + form_.selLength(id)));
      break;
    case ui::Change::ForeColor:
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
      break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::Button:
      if (code == BN_CLICKED) form_.userClick(id);
      if (code == BN_SETFOCUS) form_.gotFocus(id);
      break;
    case ControlKind::TextBox:
      if (code == EN_CHANGE) {
        const int length = ::GetWindowTextLengthA(child);
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        ::GetWindowTextA(child, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        form_.userEditedText(id, std::move(text));
      } else if (code == EN_SETFOCUS) {
        form_.gotFocus(id);
      }
      break;
    default:
      break;
  }
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  return self->handle(hwnd, msg, wParam, lParam);
}

LRESULT FormWindow::handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (lParam != 0) onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      const ControlId id = controlOf(reinterpret_cast<HWND>(lParam));
      auto dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, id != ui::kWindowId ? form_.foreColor(id) : 0);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONUP:
      if (hwnd != window_.get() && callbacks_.mouse) callbacks_.mouse(controlOf(hwnd), msg, wParam, lParam);
      break;
    case WM_CLOSE:
      if (hwnd == window_.get()) {
        if (callbacks_.close) callbacks_.close(0);
        return 0;
      }
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (hwnd == window_.get() && wParam != FALSE && callbacks_.close) callbacks_.close(2);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace pondex::win32
