// The foreground window's title and rights over the real system calls.
#include "platform/win32/foreground_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/handles.h"

namespace pondex::win32 {
namespace {

class ForegroundWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    window.reset(::CreateWindowExW(0, L"STATIC", L"Po\u0142\u0105czenie \u6570\u636E", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   0, 0, 200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window.valid());
    ::SetForegroundWindow(window.get());
  }

  UniqueWindow window;
  Win32Foreground foreground;
};

TEST_F(ForegroundWin32Test, ItsTitleComesBackInUtf8WhateverItsLanguage) {
  const ForegroundTarget target = foreground.query();
  ASSERT_EQ(target.window, reinterpret_cast<std::uintptr_t>(window.get()));
  EXPECT_EQ(target.title, "Połączenie 数据");
}

TEST_F(ForegroundWin32Test, OurOwnWindowIsNoHigher) {
  ASSERT_TRUE(processIntegrity(::GetCurrentProcess()).has_value());
  const ForegroundTarget target = foreground.query();
  ASSERT_EQ(target.window, reinterpret_cast<std::uintptr_t>(window.get()));
  EXPECT_EQ(target.rights, TargetRights::SameOrLower);
}

}  // namespace
}  // namespace pondex::win32
