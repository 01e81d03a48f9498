// The XP-style button's window under the real window manager: caption as
// window text, the rounded region, clicks reaching the parent as
// notifications (the only way the program learns of them), and the pixels
// it paints.
#include "controls/win32/drawn_button_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/gdi_win32.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {
namespace {

constexpr int kId = 101;
constexpr int kW = 100;
constexpr int kH = 30;

std::vector<std::pair<int, int>> parentCommands;  // (control id, notification)
bool destroyParentOnClick = false;

LRESULT CALLBACK parentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && lParam != 0) {
    parentCommands.emplace_back(LOWORD(wParam), HIWORD(wParam));
    if (destroyParentOnClick && HIWORD(wParam) == BN_CLICKED) ::DestroyWindow(hwnd);
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

// BN_CLICKED notifications from the button with `id`.
int clicksOf(int id) {
  int n = 0;
  for (const auto& [from, code] : parentCommands) n += from == id && code == BN_CLICKED ? 1 : 0;
  return n;
}

class DrawnButtonWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &parentProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DrawnButtonTestParent";
    ::RegisterClassW(&wc);
    parent.reset(::CreateWindowExW(WS_EX_CONTROLPARENT, wc.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                   nullptr, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(parent.valid());
    button = createDrawnButton(parent.get(), kId, L"Zmień", RECT{10, 10, 10 + kW, 10 + kH}, nullptr);
    ASSERT_NE(button, nullptr);
    parentCommands.clear();
    destroyParentOnClick = false;
  }

  // The client area as the button paints it, read back pixel by pixel.
  COLORREF pixelAt(int x, int y) {
    const WindowDc screen;
    UniqueMemoryDc dc(::CreateCompatibleDC(screen.dc()));
    UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.dc(), kW, kH));
    SelectedObject selected(dc.get(), bitmap.get());
    ::SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    return ::GetPixel(dc.get(), x, y);
  }

  UniqueWindow parent;
  HWND button = nullptr;
};

TEST_F(DrawnButtonWin32Test, TheCaptionIsTheWindowText) {
  wchar_t text[64] = {};
  ::GetWindowTextW(button, text, 64);
  EXPECT_EQ(std::wstring(text), L"Zmień");
}

TEST_F(DrawnButtonWin32Test, TheRegionFollowsTheSize) {
  UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  const auto rgn = static_cast<HRGN>(region.get());
  ASSERT_NE(::GetWindowRgn(button, rgn), ERROR);
  EXPECT_FALSE(::PtInRegion(rgn, kW - 1, kH - 1));
  EXPECT_TRUE(::PtInRegion(rgn, kW - 2, kH - 1));
  ::MoveWindow(button, 10, 10, 40, 20, TRUE);
  ASSERT_NE(::GetWindowRgn(button, rgn), ERROR);
  EXPECT_FALSE(::PtInRegion(rgn, 39, 19));
  EXPECT_TRUE(::PtInRegion(rgn, 38, 19));
}

// The parent hears of a click as of a system button's: BN_CLICKED.
TEST_F(DrawnButtonWin32Test, ALeftClickTellsTheParentARightOneNothing) {
  ::SendMessageW(button, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(button, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicksOf(kId), 0);

  ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(::GetCapture(), button);
  EXPECT_EQ(::GetFocus(), button);
  ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(parentCommands, (std::vector<std::pair<int, int>>{{kId, BN_SETFOCUS}, {kId, BN_CLICKED}}));
}

TEST_F(DrawnButtonWin32Test, SpaceTellsTheParentOfAClick) {
  ::SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
  ::SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(clicksOf(kId), 1);
}

TEST_F(DrawnButtonWin32Test, TheAccessKeyClicksThroughTheDialogManagerOrTheButton) {
  ::SetWindowTextW(button, L"&START");  // the access key comes with the new caption
  HWND other = createDrawnButton(parent.get(), kId + 1, L"Drugi", RECT{10, 50, 110, 80}, nullptr);
  ::SetFocus(other);  // Alt+S works wherever the focus is
  MSG msg{other, WM_SYSCHAR, L's', 0, 0, {}};
  EXPECT_TRUE(::IsDialogMessageW(parent.get(), &msg));
  EXPECT_EQ(clicksOf(kId), 1);
  ::SendMessageW(button, WM_SYSCHAR, L'S', 0);  // no dialog manager: the button itself
  ::SendMessageW(button, WM_SYSCHAR, L'x', 0);
  EXPECT_EQ(clicksOf(kId), 2);
}

TEST_F(DrawnButtonWin32Test, ArrowsMoveTheFocusAlongTheTabStops) {
  HWND other = createDrawnButton(parent.get(), kId + 1, L"Drugi", RECT{10, 50, 110, 80}, nullptr);
  ::SetFocus(other);
  ::SendMessageW(other, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(::GetFocus(), button);
  ::SendMessageW(button, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(::GetFocus(), other);
}

// The pictures themselves are checked on the memory canvas; here only that
// they reach the window's pixels, the disabled one by EnableWindow.
TEST_F(DrawnButtonWin32Test, PaintsThePictureOfItsState) {
  EXPECT_EQ(pixelAt(kW / 2, 0), RGB(0, 60, 116));
  EXPECT_EQ(pixelAt(5, 3), RGB(255, 255, 253));
  ::EnableWindow(button, FALSE);
  EXPECT_EQ(pixelAt(kW / 2, 0), RGB(201, 199, 186));
}

TEST_F(DrawnButtonWin32Test, ADisabledButtonIgnoresClicks) {
  ::EnableWindow(button, FALSE);
  ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicksOf(kId), 0);
}

// The button's object outlives the messages still on its stack.
TEST_F(DrawnButtonWin32Test, TheParentMayDestroyItselfOnAClick) {
  destroyParentOnClick = true;
  ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(::IsWindow(button));
  EXPECT_FALSE(::IsWindow(parent.get()));
  EXPECT_EQ(clicksOf(kId), 1);
  (void)parent.release();  // already gone
}

}  // namespace
}  // namespace pondex::win32
