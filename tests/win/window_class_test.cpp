// The window-class helper under the real window manager: the object bound
// for the window's whole life, subclassing a system control, and an
// exception in an owner ending the program through the fatal handler.
#include "platform/win32/window_class.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/callback_guard.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {
namespace {

constexpr UINT kFail = WM_APP + 7;

struct Recorder {
  std::vector<UINT> seen;
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    seen.push_back(msg);
    if (msg == kFail) throw std::runtime_error("broken");
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
};

// Swallows the letter x typed into a system edit control.
struct NoX {
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) const {
    if (msg == WM_CHAR && wParam == L'x') return 0;
    return callOriginal(hwnd, msg, wParam, lParam);
  }
};

const WindowClass& testClass() {
  static const WindowClass registered({.name = L"Pon_dex.Test.Bound", .where = "test window"});
  return registered;
}

std::wstring textOf(HWND hwnd) {
  wchar_t text[64] = {};
  ::GetWindowTextW(hwnd, text, 64);
  return text;
}

TEST(WindowClass, TheOwnerSeesEveryMessageFromWmNcCreateToWmNcDestroy) {
  ASSERT_TRUE(testClass().registered());
  Recorder owner;
  UniqueWindow window(testClass().create(owner, 0, L"", WS_POPUP, {0, 0, 10, 10}, nullptr));
  ASSERT_TRUE(window.valid());
  ASSERT_FALSE(owner.seen.empty());
  EXPECT_EQ(owner.seen.front(), static_cast<UINT>(WM_NCCREATE));
  EXPECT_NE(std::find(owner.seen.begin(), owner.seen.end(), static_cast<UINT>(WM_CREATE)), owner.seen.end());
  window.reset();
  EXPECT_EQ(owner.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(WindowClass, EachWindowReachesItsOwnOwnerAlsoWhenTheClassIsRegisteredAgain) {
  const WindowClass again({.name = L"Pon_dex.Test.Bound", .where = "test window"});
  ASSERT_TRUE(testClass().registered());
  ASSERT_TRUE(again.registered());
  Recorder first;
  Recorder second;
  UniqueWindow one(testClass().create(first, 0, L"", WS_POPUP, {}, nullptr));
  UniqueWindow two(again.create(second, 0, L"", WS_POPUP, {}, nullptr));
  ASSERT_TRUE(one.valid() && two.valid());
  EXPECT_EQ(ownerOf<Recorder>(one.get()), &first);
  EXPECT_EQ(ownerOf<Recorder>(two.get()), &second);
}

TEST(WindowClass, NoOwnerIsFoundInAWindowBoundToAnotherTypeOrToNone) {
  Recorder owner;
  UniqueWindow ours(testClass().create(owner, 0, L"", WS_POPUP, {}, nullptr));
  UniqueWindow system(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(ours.valid() && system.valid());
  EXPECT_EQ(ownerOf<NoX>(ours.get()), nullptr);
  EXPECT_EQ(ownerOf<Recorder>(system.get()), nullptr);
  EXPECT_EQ(ownerOf<Recorder>(nullptr), nullptr);
}

TEST(WindowClass, ASubclassOwnerComesBeforeTheControlsOwnProcedureUntilUndone) {
  UniqueWindow edit(::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(edit.valid());
  NoX owner;
  subclass(edit.get(), owner, "test control");
  EXPECT_EQ(ownerOf<NoX>(edit.get()), &owner);
  for (const wchar_t c : {L'a', L'x', L'b'}) ::SendMessageW(edit.get(), WM_CHAR, c, 0);
  EXPECT_EQ(textOf(edit.get()), L"ab");
  unsubclass(edit.get());
  ::SendMessageW(edit.get(), WM_CHAR, L'x', 0);
  EXPECT_EQ(textOf(edit.get()), L"abx");
  EXPECT_EQ(ownerOf<NoX>(edit.get()), nullptr);
}

TEST(WindowClass, AnExceptionInAnOwnerEndsTheProgramThroughTheFatalHandler) {
  EXPECT_EXIT(
      {
        setFatalHandler([](const std::string& what) { std::fprintf(stderr, "fatal: %s\n", what.c_str()); });
        Recorder owner;
        const HWND window = testClass().create(owner, 0, L"", WS_POPUP, {}, nullptr);
        ::SendMessageW(window, kFail, 0, 0);
      },
      ::testing::ExitedWithCode(kExitAfterFailure), "fatal: test window: broken");
}

}  // namespace
}  // namespace pondex::win32
