#include "ui/panel_layout.h"

#include <gtest/gtest.h>

namespace pondex::ui {
namespace {

TEST(PanelLayout, TheTextBoxFollowsTheWindow) {
  EXPECT_EQ(panelTextBoxSize({9000, 6000}), (Size{8700, 4500}));
}

TEST(PanelLayout, TheTextBoxNeverGoesNegative) {
  EXPECT_EQ(panelTextBoxSize({299, 1600}), (Size{0, 100}));
  EXPECT_EQ(panelTextBoxSize({-100, -100}), (Size{0, 0}));  // a minimised window reports odd sizes
}

TEST(PanelLayout, TrimKeepsTheTextUnderTheLimitWithRoomToSpare) {
  EXPECT_EQ(panelTrim(90, 10, 100), PanelTrim{});
  // Passing the limit cuts back to three quarters of it.
  EXPECT_EQ(panelTrim(95, 10, 100), (PanelTrim{30, 0}));
  // A piece larger than the panel keeps only its own end.
  EXPECT_EQ(panelTrim(50, 500, 100), (PanelTrim{50, 425}));
}

}  // namespace
}  // namespace pondex::ui
