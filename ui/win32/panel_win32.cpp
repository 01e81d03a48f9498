#include "ui/win32/panel_win32.h"

#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/window_class.h"
#include "ui/panel_layout.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace pondex::win32 {
namespace {

constexpr const wchar_t* kPanelClass = L"Pon_dex.DataPanel";
constexpr int kEditId = 100;
constexpr int kSaveId = 101;
// Design geometry in twips.
constexpr int kWindowWidth = 9000;
constexpr int kWindowHeight = 6000;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 400;

const WindowClass& panelClass() {
  static const WindowClass registered({.name = kPanelClass,
                                       .where = "data panel",
                                       .cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)),  // IDC_ARROW
                                       .background = ::GetSysColorBrush(COLOR_BTNFACE)});
  return registered;
}

}  // namespace

Win32DataPanel::Win32DataPanel(Win32EventLoop& loop, std::size_t limit) : loop_(loop), limit_(limit) {}

Win32DataPanel::~Win32DataPanel() {
  close();
}

void Win32DataPanel::open() {
  if (isOpen()) return;
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  // It opens on its owner's monitor, at that monitor's scale.
  dpi_ = windowDpi(owner_);
  window_.reset(panelClass().create(
      *this, 0, L"Panel", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
      {CW_USEDEFAULT, CW_USEDEFAULT, twipsToPixels(kWindowWidth, dpi_), twipsToPixels(kWindowHeight, dpi_)}, owner_));
  if (!window_) return;
  dpi_ = windowDpi(window_.get());

  edit_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                            0, 0, 0, 0, window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance,
                            nullptr);
  ::SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);  // our own limit applies, in append()
  save_ = ::CreateWindowExW(0, L"BUTTON", L"Save", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                            window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSaveId)), instance, nullptr);
  applyFonts();
  layout();
  ::ShowWindow(window_.get(), SW_SHOW);
  ::SetFocus(edit_);
}

void Win32DataPanel::close() {
  if (ownerDisabled_) {
    // Enabled before the panel goes, so that the owner gets the activation.
    ::EnableWindow(owner_, TRUE);
    ownerDisabled_ = false;
  }
  edit_ = nullptr;
  save_ = nullptr;
  window_.reset();
  font_.reset();
  buttonFont_.reset();
}

void Win32DataPanel::applyFonts() {
  font_.reset(::CreateFontW(-::MulDiv(10, static_cast<int>(dpi_), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            FIXED_PITCH | FF_MODERN, L"Courier New"));
  buttonFont_ = messageFont(dpi_);
  const auto font = reinterpret_cast<WPARAM>(font_.valid() ? font_.get() : ::GetStockObject(ANSI_FIXED_FONT));
  ::SendMessageW(edit_, WM_SETFONT, font, TRUE);
  const auto buttonFont =
      reinterpret_cast<WPARAM>(buttonFont_.valid() ? buttonFont_.get() : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SendMessageW(save_, WM_SETFONT, buttonFont, TRUE);
}

void Win32DataPanel::showModal(PanelContent content) {
  content_ = content;
  open();
  if (!isOpen()) return;
  if (owner_ != nullptr && ::IsWindowEnabled(owner_)) {
    ::EnableWindow(owner_, FALSE);
    ownerDisabled_ = true;
  }
  loop_.runModal(window_.get());
  close();
}

void Win32DataPanel::dropOldest(std::size_t characters) {
  const auto length = static_cast<std::size_t>(::GetWindowTextLengthW(edit_));
  characters = std::min(characters, length);
  // Whole lines only: extend the cut to the start of the next line when
  // there is one.
  const LRESULT line = ::SendMessageW(edit_, EM_LINEFROMCHAR, characters, 0);
  const LRESULT next = ::SendMessageW(edit_, EM_LINEINDEX, static_cast<WPARAM>(line + 1), 0);
  if (next > 0 && static_cast<std::size_t>(next) >= characters) characters = static_cast<std::size_t>(next);
  ::SendMessageW(edit_, EM_SETSEL, 0, static_cast<LPARAM>(characters));
  ::SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void Win32DataPanel::append(const std::string& text) {
  if (content_ != PanelContent::ReceivedText || text.empty()) return;
  // Instrument data, decoded as the keystrokes and the data files take it:
  // in the system's ANSI code page.
  std::wstring wide = widen(text, CP_ACP);
  // The edit control takes a NUL-terminated text: a NUL byte from the
  // instrument would cut off the rest of the piece.
  std::replace(wide.begin(), wide.end(), L'\0', L' ');
  appendWide(std::move(wide));
}

void Win32DataPanel::showReading(const PanelReading&) {}

void Win32DataPanel::addRow(const std::string& row) {
  if (content_ != PanelContent::Scale) return;
  appendWide(widen(row + "\r\n", CP_UTF8));
}

void Win32DataPanel::appendWide(std::wstring wide) {
  if (!isOpen() || edit_ == nullptr) return;
  const auto length = static_cast<std::size_t>(::GetWindowTextLengthW(edit_));
  const ui::PanelTrim trim = ui::panelTrim(length, wide.size(), limit_);
  if (trim.fromText > 0) dropOldest(trim.fromText);
  if (trim.fromAppend > 0) wide.erase(0, trim.fromAppend);

  const int end = ::GetWindowTextLengthW(edit_);
  ::SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(end), end);
  ::SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
  ::SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

void Win32DataPanel::layout() {
  if (edit_ == nullptr) return;
  RECT r{};
  ::GetWindowRect(window_.get(), &r);
  const ui::Size box =
      ui::panelTextBoxSize({pixelsToTwips(r.right - r.left, dpi_), pixelsToTwips(r.bottom - r.top, dpi_)});
  const auto px = [this](int twips) { return twipsToPixels(twips, dpi_); };
  ::MoveWindow(edit_, px(ui::kPanelMargin), px(ui::kPanelMargin), px(box.width), px(box.height), TRUE);
  ::MoveWindow(save_, px(ui::kPanelMargin), px(ui::panelButtonTop(box)), px(kButtonWidth), px(kButtonHeight), TRUE);
}

LRESULT Win32DataPanel::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      layout();
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another scale: fonts and sizes follow it.
      dpi_ = HIWORD(wParam);
      applyFonts();
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      layout();
      return 0;
    }
    case WM_COMMAND:
      return 0;  // "Save" does nothing
    case WM_CLOSE:
      if (ownerDisabled_) {
        ::EnableWindow(owner_, TRUE);
        ownerDisabled_ = false;
      }
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      // Gone by its close box: nothing is left to destroy.
      edit_ = nullptr;
      save_ = nullptr;
      (void)window_.release();
      return 0;
    default:
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace pondex::win32
