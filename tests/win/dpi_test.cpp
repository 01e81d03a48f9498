// The DPI helper over the real system metrics.
#include "platform/win32/dpi.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

namespace pondex::win32 {
namespace {

TEST(Dpi, TheMessageFontFollowsTheDpi) {
  const auto height = [](UINT dpi, bool bold) {
    const UniqueGdiObject font = messageFont(dpi, bold);
    LOGFONTW shape{};
    EXPECT_NE(::GetObjectW(font.get(), sizeof shape, &shape), 0);
    if (bold) {
      EXPECT_EQ(shape.lfWeight, FW_BOLD);
    }
    return std::abs(shape.lfHeight);
  };
  const int at96 = height(96, false);
  ASSERT_GT(at96, 0);
  EXPECT_NEAR(height(192, false), 2 * at96, 1);
  EXPECT_NEAR(height(144, true), at96 * 3 / 2, 1);
}

}  // namespace
}  // namespace pondex::win32
