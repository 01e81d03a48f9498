#include "ui/tray_menu.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/portable/tray_tip.h"
#include "tests/fakes/fake_tray.h"
#include "ui/main_window.h"

namespace pondex::ui {
namespace {

class TrayMenuTest : public ::testing::Test, public FormObserver {
 protected:
  TrayMenuTest() { form.setObserver(this); }
  void controlChanged(ControlId id, Change what) override {
    if (id == kWindowId && what == Change::Front) done.push_back("front");
  }

  Form form = buildMainWindow();
  MainControls c{form};
  fakes::FakeTray tray;
  std::vector<std::string> done;
  TrayMenu menu{tray,
                form,
                c,
                {.showWindow = [this] { done.push_back("show"); },
                 .close = [this] { done.push_back("close"); },
                 .help = [this] { done.push_back("help"); }}};
};

TEST(TrayMessage, RoundsTheTwipsBackToTheMessageNumber) {
  // At 192 dpi a pixel is 7.5 twips; a window layer that keeps whole twips
  // hands over 3862 for 515, which only rounding turns back into 515.
  EXPECT_EQ(trayMessage({.x = 3862, .twipsPerPixelX = 7.5}), 515);
  EXPECT_EQ(trayMessage({.x = 3863, .twipsPerPixelX = 7.5}), 515);
  EXPECT_EQ(trayMessage({.x = 515 * 15.0, .twipsPerPixelX = 0}), 0);
  EXPECT_EQ(trayMessage({.x = 1e300, .twipsPerPixelX = 1}), 0);
}

TEST_F(TrayMenuTest, ADoubleClickShowsTheWindowARightReleaseOpensTheMenuOthersNothing) {
  for (int message : {512, 513, 514, 516, 518, 519}) tray.play(message);
  EXPECT_TRUE(done.empty());
  EXPECT_TRUE(tray.menus.empty());
  tray.play(515, 12);
  EXPECT_EQ(done, std::vector<std::string>{"show"}) << "a hidden window is only shown";
  form.setVisible(kWindowId, true);
  done.clear();

  form.setCaption(c.helpItem, "Hints");  // as a language file renames it
  for (std::optional<std::size_t> item : {std::optional<std::size_t>(0), {1}, {2}, {}}) {
    tray.menuChoice = item;  // nothing: the menu was dismissed
    tray.play(517, 10);
  }
  EXPECT_EQ(tray.menus.at(0).at(2), "Hints");
  // A shown window is also restored and brought to the front: it may be
  // minimised or behind others.
  EXPECT_EQ(done, (std::vector<std::string>{"show", "front", "close", "help"}));
}

TEST_F(TrayMenuTest, NoSecondMenuOrDoubleClickWhileTheMenuIsOpen) {
  tray.whileMenuOpen = [this] {
    tray.play(517);
    tray.play(515);
  };
  tray.play(517);
  EXPECT_EQ(tray.menus.size(), 1u);
  EXPECT_TRUE(done.empty());

  tray.whileMenuOpen = [] { throw std::runtime_error("boom"); };
  EXPECT_THROW(tray.play(517), std::runtime_error);
  tray.whileMenuOpen = nullptr;  // the flag is clear again once it closed, by an exception too
  tray.play(517);
  EXPECT_EQ(tray.menus.size(), 3u);
}

// A tip with room for its label is cut under Wine by tests/win/tray_win32_test.cpp.
TEST(ShortenTip, WithoutRoomForTheLabelOnlyTheEndIsKept) {
  // Without room for the label and the file name, only the end is kept.
  const std::string label = std::string(50, 'x') + " c:\\d\\" + std::string(20, 'n') + ".txt";
  EXPECT_EQ(shortenTip(label, 30), "...\\d\\" + std::string(20, 'n') + ".txt");
  // A file name longer than the whole room still ends the tip.
  const std::string name = "c:\\" + std::string(100, 'z') + ".txt";
  EXPECT_EQ(shortenTip(name, 20), "..." + std::string(13, 'z') + ".txt");
  EXPECT_EQ(shortenTip("abcdef", 2), "ef");
}

// The record counts UTF-16 units: "𝄞" takes two, "ł" one.
TEST(ShortenTip, CountsWhatTheRecordCountsAndNeverSplitsACharacter) {
  std::string folder = "C:\\";
  for (int i = 0; i < 30; ++i) folder += "ł";
  EXPECT_EQ(shortenTip("Pon_dex - " + folder + "\\𝄞𝄞.txt", 20), "...\\𝄞𝄞.txt");
  EXPECT_EQ(shortenTip("Pon_dex - " + folder + "\\𝄞.txt", 20), "Pon_dex - ...\\𝄞.txt");
  EXPECT_EQ(shortenTip("𝄞𝄞𝄞", 3), "𝄞");
}

}  // namespace
}  // namespace pondex::ui
