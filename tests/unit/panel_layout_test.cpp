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

TEST(PanelLayout, WithoutAPictureThePartsLieAsForTheReceivedText) {
  const Size window{9500, 7000};
  const PanelParts parts = panelParts(window, 0);
  const Size box = panelTextBoxSize(window);
  EXPECT_EQ(parts.picture, Box{});
  EXPECT_EQ(parts.textBox, (Box{kPanelMargin, kPanelMargin, box.width, box.height}));
  EXPECT_EQ(parts.button.top, panelButtonTop(box));
  EXPECT_EQ(parts.button.left, kPanelMargin);
}

TEST(PanelLayout, ThePictureTakesTheTopLeavingTheRestAboveSaveToTheTextBox) {
  const Size window = panelWindowSize(2000);
  const PanelParts parts = panelParts(window, 2000);
  EXPECT_EQ(parts.picture, (Box{kPanelMargin, kPanelMargin, parts.textBox.width, 2000}));
  EXPECT_EQ(parts.textBox.top, parts.picture.top + 2000 + kPanelPictureGap);
  EXPECT_EQ(parts.button.top, parts.textBox.top + parts.textBox.height + kPanelButtonGap);
  // The window opens taller by the picture: the text box keeps the room it
  // has without one, and "Save" keeps its distance from the bottom.
  EXPECT_EQ(parts.textBox.height, panelParts(kPanelWindow, 0).textBox.height);
  EXPECT_EQ(window.height - parts.button.top, kPanelWindow.height - panelParts(kPanelWindow, 0).button.top);
}

TEST(PanelLayout, ASmallWindowShrinksTheTextBoxBeforeThePicture) {
  const PanelParts parts = panelParts({4000, 2500}, 2000);
  EXPECT_EQ(parts.picture.height, 2000);
  EXPECT_EQ(parts.textBox.height, 0);
  EXPECT_GE(parts.button.top, parts.picture.top + parts.picture.height);
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
