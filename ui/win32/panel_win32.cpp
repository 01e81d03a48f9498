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
constexpr int kPictureId = 102;

const WindowClass& panelClass() {
  static const WindowClass registered({.name = kPanelClass,
                                       .where = "data panel",
                                       .cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)),  // IDC_ARROW
                                       .background = ::GetSysColorBrush(COLOR_BTNFACE)});
  return registered;
}

}  // namespace

Win32DataPanel::Win32DataPanel(Win32EventLoop& loop, std::size_t limit)
    : loop_(loop), limit_(limit), picture_(loop), rowsRedraw_(loop, [this] { showNewRows(); }) {}

Win32DataPanel::~Win32DataPanel() {
  close();
}

void Win32DataPanel::open(PanelContent content) {
  if (isOpen()) return;
  content_ = content;
  rows_ = ui::RecentRows{};
  newRows_.clear();
  rowsDroppedSince_ = 0;
  rowsRedraw_.reset();
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  // It opens on its owner's monitor, at that monitor's scale.
  dpi_ = windowDpi(owner_);
  const ui::Size size = ui::panelWindowSize(pictureHeightTwips());
  window_.reset(panelClass().create(
      *this, 0, L"Panel", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
      {CW_USEDEFAULT, CW_USEDEFAULT, twipsToPixels(size.width, dpi_), twipsToPixels(size.height, dpi_)}, owner_));
  if (!window_) return;
  dpi_ = windowDpi(window_.get());

  // Made first: the children's order is the order in which a screen
  // reader reads them, top to bottom.
  if (content_ == PanelContent::Scale) picture_.create(window_.get(), kPictureId);

  // The rows of the scale fit the box's width: without a horizontal
  // scroll bar, an update of the box costs a fraction of the time.
  const DWORD horizontal = content_ == PanelContent::Scale ? 0 : WS_HSCROLL | ES_AUTOHSCROLL;
  edit_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                ES_WANTRETURN | ES_NOHIDESEL | horizontal,
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
  picture_.setStyle(static_cast<HFONT>(buttonFont_.get()), dpi_);
}

void Win32DataPanel::showModal(PanelContent content) {
  open(content);
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

void Win32DataPanel::showReading(const PanelReading& reading) {
  if (content_ != PanelContent::Scale || !isOpen()) return;
  picture_.show({reading.number, reading.unit, reading.settled, reading.at});
}

void Win32DataPanel::addRow(const std::string& row) {
  if (content_ != PanelContent::Scale || !isOpen() || edit_ == nullptr) return;
  newRows_ += widen(row + "\r\n", CP_UTF8);
  rowsDroppedSince_ += rows_.add(row);
  rowsRedraw_.changed();
}

void Win32DataPanel::showNewRows() {
  if (edit_ == nullptr) return;
  // What RecentRows dropped is the oldest text: first the box's own, then
  // rows that never reached it.
  const auto length = static_cast<std::size_t>(::GetWindowTextLengthW(edit_));
  const std::size_t fromBox = std::min(rowsDroppedSince_, length);
  newRows_.erase(0, std::min(newRows_.size(), rowsDroppedSince_ - fromBox));
  rowsDroppedSince_ = 0;
  // One redraw of the box for both changes, after them.
  ::SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
  if (fromBox > 0) {
    ::SendMessageW(edit_, EM_SETSEL, 0, static_cast<LPARAM>(fromBox));
    ::SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  }
  const int end = ::GetWindowTextLengthW(edit_);
  ::SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(end), end);
  ::SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(newRows_.c_str()));
  ::SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
  ::SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
  ::RedrawWindow(edit_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
  newRows_.clear();
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

int Win32DataPanel::pictureHeightTwips() const {
  if (content_ != PanelContent::Scale) return 0;
  // Twips are finer than pixels: the way back gives the same pixels.
  return pixelsToTwips(ui::scaleViewMetrics(static_cast<int>(dpi_)).pictureHeight(), dpi_);
}

void Win32DataPanel::layout() {
  if (edit_ == nullptr) return;
  RECT r{};
  ::GetWindowRect(window_.get(), &r);
  const ui::PanelParts parts = ui::panelParts(
      {pixelsToTwips(r.right - r.left, dpi_), pixelsToTwips(r.bottom - r.top, dpi_)}, pictureHeightTwips());
  const auto place = [this](HWND child, const ui::Box& box) {
    const auto px = [this](int twips) { return twipsToPixels(twips, dpi_); };
    if (child != nullptr) ::MoveWindow(child, px(box.left), px(box.top), px(box.width), px(box.height), TRUE);
  };
  place(picture_.handle(), parts.picture);
  place(edit_, parts.textBox);
  place(save_, parts.button);
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
    case WM_NEXTDLGCTL: {
      // The multi-line text box hands Tab to its parent as in a dialog; the
      // panel is no dialog window, so it moves the focus itself.
      HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                      : ::GetNextDlgTabItem(hwnd, ::GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next != nullptr) ::SetFocus(next);
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
