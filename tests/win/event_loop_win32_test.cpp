// What the Win32 event loop adds to the contract every loop keeps
// (contract_win32_test.cpp): the dialog window's key preview.
#include "platform/win32/event_loop_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"

namespace pondex::win32 {
namespace {

TEST(EventLoopWin32, TheDialogWindowSeesItsKeysFirst) {
  Win32EventLoop loop;
  UniqueWindow dialog(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  HWND child = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 5, 5, dialog.get(), nullptr, nullptr, nullptr);
  UniqueWindow other(::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr));
  std::vector<int> seen;
  loop.setDialogWindow(dialog.get());
  loop.setKeyPreview([&](int key) {
    seen.push_back(key);
    return key == VK_F1;
  });
  ::PostMessageW(child, WM_KEYDOWN, VK_F1, 0);
  ::PostMessageW(other.get(), WM_KEYDOWN, VK_F2, 0);
  ::PostMessageW(dialog.get(), WM_KEYDOWN, VK_F3, 0);
  // The loop's own run handles what is pending before its first tick.
  auto stop = loop.createTimer(Millis(1), [&] { loop.quit(); });
  stop->setEnabled(true);
  loop.run();
  EXPECT_EQ(seen, (std::vector<int>{VK_F1, VK_F3}));
}

}  // namespace
}  // namespace pondex::win32
