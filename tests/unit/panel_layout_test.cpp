#include "ui/panel_layout.h"

#include <gtest/gtest.h>

namespace pondex::ui {
namespace {

TEST(PanelLayout, TextBoxFollowsTheWindowAndNeverGoesNegative) {
  EXPECT_EQ(panelTextBoxSize({9000, 6000}), (Size{8700, 4500}));
  EXPECT_EQ(panelTextBoxSize({300, 1500}), (Size{0, 0}));
  EXPECT_EQ(panelTextBoxSize({299, 1600}), (Size{0, 100}));
  EXPECT_EQ(panelTextBoxSize({0, 0}), (Size{0, 0}));
  EXPECT_EQ(panelTextBoxSize({-100, -100}), (Size{0, 0}));  // a minimised window reports odd sizes
}

TEST(PanelLayout, TrimKeepsTheTextUnderTheLimitWithRoomToSpare) {
  EXPECT_EQ(panelTrim(90, 10, 100), PanelTrim{});
  // Passing the limit cuts back to three quarters of it.
  const PanelTrim t = panelTrim(95, 10, 100);
  EXPECT_EQ(t, (PanelTrim{30, 0}));
  EXPECT_EQ(95 - t.fromText + 10, 75u);
  // A piece larger than the panel keeps only its own end.
  EXPECT_EQ(panelTrim(50, 500, 100), (PanelTrim{50, 425}));
  EXPECT_EQ(panelTrim(0, 75, 100), PanelTrim{});
}

}  // namespace
}  // namespace pondex::ui
