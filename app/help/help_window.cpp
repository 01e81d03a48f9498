#include "app/help/help_window.h"

#include <algorithm>
#include <string_view>

#include "app/help/help_resources.h"
#include "platform/program_name.h"
#include "platform/win32/dpi.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/window_class.h"
#include "ui/help_topics.h"

namespace pondex::help {
namespace {

using win32::dipsToPixels;
using win32::widen;
using win32::windowDpi;

enum ControlId : int { kPolish = 101, kEnglish, kList, kText };

// Layout in device-independent pixels.
constexpr int kMargin = 10;
constexpr int kGap = 8;
constexpr int kSwitchHeight = 24;
constexpr int kTextMargin = 6;
constexpr int kMinListWidth = 170;
constexpr int kMaxListWidth = 280;
constexpr int kMinWidth = 480;
constexpr int kMinHeight = 320;
constexpr int kStartWidth = 800;
constexpr int kStartHeight = 560;

std::wstring title(Language language) {
  return widen(std::string(kProgramName) + (language == Language::Polish ? " - Pomoc" : " - Help"));
}

std::string_view resourceBytes(HINSTANCE instance, int id) {
  HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(instance, found);  // resources are never freed
  const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return {static_cast<const char*>(bytes), ::SizeofResource(instance, found)};
}

}  // namespace

std::vector<WideTopic> loadTopics(HINSTANCE instance, Language language) {
  const int id = language == Language::Polish ? IDR_HELP_POLISH : IDR_HELP_ENGLISH;
  std::vector<WideTopic> topics;
  for (const Topic& topic : parseTopics(resourceBytes(instance, id))) {
    topics.push_back({widen(topic.title), widen(topic.body)});
  }
  return topics;
}

HelpWindow::HelpWindow(HINSTANCE instance, HICON icon, Language language)
    : instance_(instance), icon_(icon), language_(language) {}

bool HelpWindow::open(int showCommand) {
  const win32::WindowClass windowClass({.name = kClassName,
                                        .where = "help window",
                                        .icon = icon_,
                                        .cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)),  // IDC_ARROW
                                        .background = ::GetSysColorBrush(COLOR_BTNFACE)});
  if (!windowClass.registered()) return false;

  // The monitor is not known before the window exists; start at the
  // primary monitor's DPI and follow WM_DPICHANGED from there.
  dpi_ = windowDpi(nullptr);
  HWND created = windowClass.create(
      *this, 0, title(language_).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
      {CW_USEDEFAULT, CW_USEDEFAULT, dipsToPixels(kStartWidth, dpi_), dipsToPixels(kStartHeight, dpi_)}, nullptr);
  if (created == nullptr) return false;
  ::ShowWindow(created, showCommand);
  ::UpdateWindow(created);
  return true;
}

LRESULT HelpWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      window_.reset(window);
      break;
    case WM_NCDESTROY:
      (void)window_.release();  // already gone
      break;
    case WM_CREATE:
      dpi_ = windowDpi(window);
      createControls();
      applyDpi(dpi_);
      // Without its texts the help has nothing to show: it ends with 1.
      if (!showLanguage(language_, 0)) ::PostQuitMessage(1);
      ::SetFocus(list_);
      return 0;
    case WM_SIZE:
      layout();
      return 0;
    case WM_DPICHANGED: {
      applyDpi(HIWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {dipsToPixels(kMinWidth, dpi_), dipsToPixels(kMinHeight, dpi_)};
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      // A read-only edit box is grey by default; the text reads better on
      // the window colour.
      if (reinterpret_cast<HWND>(lParam) == text_) {
        ::SetTextColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kList:
          if (HIWORD(wParam) == LBN_SELCHANGE) showTopic(selectedTopic());
          return 0;
        case kPolish:
        case kEnglish:
          if (HIWORD(wParam) == BN_CLICKED &&
              !showLanguage(LOWORD(wParam) == kPolish ? Language::Polish : Language::English, selectedTopic())) {
            ::PostQuitMessage(1);
          }
          return 0;
        case IDCANCEL:  // Esc
          ::DestroyWindow(window);
          return 0;
        default:
          break;
      }
      break;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void HelpWindow::createControls() {
  HWND window = window_.get();
  const auto control = [&](DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    return ::CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  };
  // The language names are written in their own language.
  polish_ = control(0, L"BUTTON", L"Polski", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, kPolish);
  english_ = control(0, L"BUTTON", L"English", BS_AUTORADIOBUTTON, kEnglish);
  list_ = control(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                  LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_GROUP | WS_TABSTOP, kList);
  text_ = control(WS_EX_CLIENTEDGE, L"EDIT", L"",
                  ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_GROUP | WS_TABSTOP, kText);
}

void HelpWindow::applyDpi(UINT dpi) {
  dpi_ = dpi;
  win32::UniqueGdiObject font = win32::messageFont(dpi);
  for (HWND child : {polish_, english_, list_, text_}) {
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  font_ = std::move(font);  // the old font only after no control uses it
  const int inner = dipsToPixels(kTextMargin, dpi);
  ::SendMessageW(text_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(inner, inner));
  layout();
}

void HelpWindow::layout() {
  RECT client{};
  if (polish_ == nullptr || !::GetClientRect(window_.get(), &client)) return;
  const auto px = [this](int dips) { return dipsToPixels(dips, dpi_); };
  const int width = client.right;
  const int height = client.bottom;
  const int margin = px(kMargin);
  const int listWidth = std::clamp(width * 3 / 10, px(kMinListWidth), px(kMaxListWidth));
  const int switchHeight = px(kSwitchHeight);
  const int listTop = margin + switchHeight + px(kGap) / 2;
  const int textLeft = margin + listWidth + px(kGap);

  HDWP moves = ::BeginDeferWindowPos(4);
  const auto place = [&moves](HWND control, int x, int y, int w, int h) {
    if (moves != nullptr) {
      moves = ::DeferWindowPos(moves, control, nullptr, x, y, std::max(w, 0), std::max(h, 0),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
  };
  place(polish_, margin, margin, listWidth / 2, switchHeight);
  place(english_, margin + listWidth / 2, margin, listWidth - listWidth / 2, switchHeight);
  place(list_, margin, listTop, listWidth, height - listTop - margin);
  place(text_, textLeft, margin, width - textLeft - margin, height - 2 * margin);
  if (moves != nullptr) ::EndDeferWindowPos(moves);
}

bool HelpWindow::showLanguage(Language language, int topic) {
  std::vector<WideTopic> topics = loadTopics(instance_, language);
  if (topics.empty()) return false;
  language_ = language;
  topics_ = std::move(topics);
  ::SetWindowTextW(window_.get(), title(language).c_str());
  ::SendMessageW(polish_, BM_SETCHECK, language == Language::Polish ? BST_CHECKED : BST_UNCHECKED, 0);
  ::SendMessageW(english_, BM_SETCHECK, language == Language::English ? BST_CHECKED : BST_UNCHECKED, 0);

  ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  for (const WideTopic& t : topics_) {
    ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.title.c_str()));
  }
  ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list_, nullptr, TRUE);

  const int index = std::clamp(topic, 0, static_cast<int>(topics_.size()) - 1);
  ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  showTopic(index);
  return true;
}

void HelpWindow::showTopic(int index) {
  if (index < 0 || index >= static_cast<int>(topics_.size())) return;
  ::SetWindowTextW(text_, topics_[static_cast<std::size_t>(index)].body.c_str());
}

int HelpWindow::selectedTopic() const {
  const LRESULT selected = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? 0 : static_cast<int>(selected);
}

}  // namespace pondex::help
