// The device-context scope under the real window manager.
#include "platform/win32/gdi_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/handles.h"

namespace pondex::win32 {
namespace {

TEST(WindowDc, GivesTheDeviceContextBackAtTheEndOfItsScope) {
  WNDCLASSW wc{};  // no class style: GetDC hands out a common device context
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Pon_dex.Test.CommonDc";
  ::RegisterClassW(&wc);
  UniqueWindow window(
      ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr));
  ASSERT_TRUE(window.valid());
  // One still out is given back once; one given back cannot be again.
  const HDC held = ::GetDC(window.get());
  ASSERT_EQ(::ReleaseDC(window.get(), held), 1);
  HDC seen = nullptr;
  {
    const WindowDc dc(window.get());
    seen = dc.dc();
    ASSERT_NE(seen, nullptr);
  }
  EXPECT_EQ(::ReleaseDC(window.get(), seen), 0);
}

}  // namespace
}  // namespace pondex::win32
