// The data panel showing the scale, over the real windows: the picture
// above the text box and its pixels as painted on the window, how often it
// paints, its size at two DPIs, the list of rows and the keyboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/gdi_win32.h"
#include "platform/win32/text_win32.h"
#include "ui/scale_view.h"
#include "ui/win32/panel_win32.h"

namespace pondex::win32 {
namespace {

namespace colors = ui::scale_colors;

std::wstring editText(HWND edit) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

RECT clientRect(HWND window) {
  RECT r{};
  ::GetClientRect(window, &r);
  return r;
}

// A window's client area as it is on the screen, read back through its
// device context.
class Pixels {
 public:
  explicit Pixels(HWND window) {
    const RECT client = clientRect(window);
    width_ = client.right;
    height_ = client.bottom;
    const WindowDc source(window);
    UniqueMemoryDc memory(::CreateCompatibleDC(source.dc()));
    UniqueGdiObject bitmap(::CreateCompatibleBitmap(source.dc(), width_, height_));
    const SelectedObject selected(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width_, height_, source.dc(), 0, 0, SRCCOPY);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bits_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    ::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(height_), bits_.data(), &info,
                DIB_RGB_COLORS);
  }

  // Pixels of `color` in the rows [top, bottom).
  [[nodiscard]] int count(COLORREF color, int top, int bottom) const {
    int n = 0;
    for (int y = std::max(0, top); y < std::min(bottom, height_); ++y) {
      for (int x = 0; x < width_; ++x) n += at(x, y) == color ? 1 : 0;
    }
    return n;
  }
  // How many rows lie between the first and the last row holding `color`.
  [[nodiscard]] int inkHeight(COLORREF color) const {
    int first = -1;
    int last = -1;
    for (int y = 0; y < height_; ++y) {
      if (count(color, y, y + 1) == 0) continue;
      if (first < 0) first = y;
      last = y;
    }
    return first < 0 ? 0 : last - first + 1;
  }

 private:
  [[nodiscard]] COLORREF at(int x, int y) const {
    const RGBQUAD& p = bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x];
    return RGB(p.rgbRed, p.rgbGreen, p.rgbBlue);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<RGBQUAD> bits_;
};

PanelReading reading(std::string number, bool settled) {
  return {std::move(number), "kg", settled, Millis(0)};
}

// Records when the picture paints, on the event loop's clock.
struct PaintLog {
  static inline std::vector<Millis> times;
  static inline WNDPROC original = nullptr;
  static inline const Win32EventLoop* clock = nullptr;

  static LRESULT CALLBACK procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) times.push_back(clock->now());
    return ::CallWindowProcW(original, window, msg, wParam, lParam);
  }
  static void attach(HWND picture, const Win32EventLoop& loop) {
    times.clear();
    clock = &loop;
    original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(picture, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintLog::procedure)));
  }
};

class PanelScaleWin32Test : public ::testing::Test {
 protected:
  // Runs the thread's messages and timers for `duration`.
  void runFor(Millis duration) {
    auto stop = loop.createTimer(duration, [this] { loop.quit(); });
    stop->setEnabled(true);
    loop.run();
  }
  void openScale() {
    panel.open(PanelContent::Scale);
    ASSERT_TRUE(panel.isOpen());
    ASSERT_NE(panel.picture(), nullptr);
    runFor(Millis(100));  // shown and painted once
  }
  // Through the dialog manager, as the panel's modal loop passes keys.
  void pressTab() {
    MSG msg{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    ::IsDialogMessageW(panel.handle(), &msg);
  }

  Win32EventLoop loop;
  Win32DataPanel panel{loop};
};

TEST_F(PanelScaleWin32Test, OnlyTheScaleHasAPictureAboveTheTextBoxAndTabPassesItBy) {
  panel.open(PanelContent::ReceivedText);
  EXPECT_EQ(panel.picture(), nullptr);
  EXPECT_EQ(::FindWindowExW(panel.handle(), nullptr, L"Pon_dex.ScaleView", nullptr), nullptr);
  ::SetFocus(panel.textBox());
  pressTab();
  EXPECT_EQ(::GetFocus(), panel.saveButton()) << "received text";
  pressTab();
  EXPECT_EQ(::GetFocus(), panel.textBox()) << "received text";
  panel.close();

  openScale();
  const HWND picture = ::FindWindowExW(panel.handle(), nullptr, L"Pon_dex.ScaleView", nullptr);
  ASSERT_EQ(picture, panel.picture());
  EXPECT_TRUE(::IsWindowVisible(picture));
  RECT pictureRect{};
  RECT boxRect{};
  ::GetWindowRect(picture, &pictureRect);
  ::GetWindowRect(panel.textBox(), &boxRect);
  EXPECT_LE(pictureRect.bottom, boxRect.top);
  EXPECT_EQ(pictureRect.right - pictureRect.left, boxRect.right - boxRect.left);

  ::SetFocus(panel.textBox());
  pressTab();
  EXPECT_EQ(::GetFocus(), panel.saveButton());
  pressTab();
  EXPECT_EQ(::GetFocus(), panel.textBox());
  MSG click{picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), 0, {}};
  ::DispatchMessageW(&click);
  EXPECT_EQ(::GetFocus(), panel.textBox()) << "a click on the picture leaves the focus where it is";
}

// The picture's height at a DPI, and its number against a row of the same
// digits in the text box, as both are painted.
TEST_F(PanelScaleWin32Test, ThePictureFollowsTheDpiWithANumberThreeTimesTheTextsHeight) {
  openScale();
  panel.showReading(reading("12,345", true));
  panel.addRow("12,345");
  for (const UINT dpi : {96U, 144U}) {
    if (dpi != 96) {
      // As when the window moves to a monitor at 150 %.
      RECT outer{};
      ::GetWindowRect(panel.handle(), &outer);
      RECT suggested{outer.left, outer.top, outer.left + (outer.right - outer.left) * 3 / 2,
                     outer.top + (outer.bottom - outer.top) * 3 / 2};
      ::SendMessageW(panel.handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
      runFor(Millis(100));
    }
    SCOPED_TRACE(dpi);
    EXPECT_EQ(clientRect(panel.picture()).bottom, ui::scaleViewMetrics(static_cast<int>(dpi)).pictureHeight());
    ::SetFocus(panel.saveButton());  // no caret in the text box
    runFor(Millis(50));
    const int number = Pixels(panel.picture()).inkHeight(colors::kNumber);
    const int text = Pixels(panel.textBox()).inkHeight(::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_GT(text, 0);
    EXPECT_GE(number, 3 * text);
  }
}

TEST_F(PanelScaleWin32Test, AReadingIsPaintedInTheNumbersColourWithTheMarkOnlyWhenSettled) {
  openScale();
  const ui::ScaleViewMetrics m = ui::scaleViewMetrics(static_cast<int>(windowDpi(panel.handle())));
  const int readingBottom = m.padding + m.readingHeight();
  EXPECT_EQ(Pixels(panel.picture()).count(colors::kNumber, 0, readingBottom), 0) << "nothing before a reading";

  panel.showReading(reading("7,125", true));
  runFor(Millis(100));
  const Pixels settled(panel.picture());
  EXPECT_GT(settled.count(colors::kNumber, 0, readingBottom), 50);
  EXPECT_GT(settled.count(colors::kSettled, 0, readingBottom), 0);
  EXPECT_GT(settled.count(colors::kLine, readingBottom, m.pictureHeight()) +
                settled.count(colors::kSettled, readingBottom, m.pictureHeight()),
            0)
      << "the plot's point";
  EXPECT_EQ(editText(panel.picture()), L"7,125 kg ustalona");

  panel.showReading(reading("7,130", false));
  runFor(Millis(100));
  EXPECT_EQ(Pixels(panel.picture()).count(colors::kSettled, 0, readingBottom), 0);
  EXPECT_EQ(editText(panel.picture()), L"7,130 kg nieustalona");
}

TEST_F(PanelScaleWin32Test, ABurstOfReadingsIsPaintedAtMostOnceIn50MsAndEndsWithTheLast) {
  openScale();
  // Until the display has done with the new window: its own paints are
  // not the readings'.
  runFor(Millis(300));
  PaintLog::attach(panel.picture(), loop);
  for (int i = 0; i < 100; ++i) {
    panel.showReading(reading(std::to_string(i) + ",000", i % 2 == 0));
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  runFor(Millis(200));
  const std::vector<Millis>& paints = PaintLog::times;
  ASSERT_GE(paints.size(), 2U) << "the first reading at once, the last one later";
  for (std::size_t i = 1; i < paints.size(); ++i) EXPECT_GE(paints[i] - paints[i - 1], Millis(50)) << i;
  EXPECT_EQ(editText(panel.picture()), L"99,000 kg nieustalona");
}

TEST_F(PanelScaleWin32Test, TheListKeepsTheLastThousandRowsDroppingTheOldest) {
  panel.open(PanelContent::ReceivedText);
  panel.addRow("not in received text");
  panel.showReading(reading("1,000", true));
  runFor(Millis(60));
  EXPECT_EQ(editText(panel.textBox()), L"");
  panel.close();

  openScale();
  panel.append("received text is not a row");
  std::vector<std::string> rows;
  const auto addRows = [&](int count) {
    for (int i = 0; i < count; ++i) {
      // Rows of several lengths, with letters of one and of two UTF-16 units.
      const std::size_t n = rows.size();
      rows.push_back("2026-12-06;14:03:27." + std::to_string(n) + ";12,345;kg;" + (n % 3 == 0 ? "\xC5\x82" : "") +
                     (n % 7 == 0 ? "\xF0\x9F\x98\x80" : "") + "ustalona;");
      panel.addRow(rows.back());
    }
    runFor(Millis(100));
  };
  const auto lastThousand = [&] {
    std::string text;
    for (std::size_t i = rows.size() - 1000; i < rows.size(); ++i) text += rows[i] + "\r\n";
    return widen(text);
  };
  // In a burst some rows are dropped before they reach the box; then the
  // box itself gives up its oldest.
  addRows(1003);
  EXPECT_EQ(editText(panel.textBox()), lastThousand());
  addRows(7);
  EXPECT_EQ(editText(panel.textBox()), lastThousand());
}

}  // namespace
}  // namespace pondex::win32
