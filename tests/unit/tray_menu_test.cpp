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
  MainControls controls{form};
  fakes::FakeTray tray;
  std::vector<std::string> done;
  TrayMenu menu{tray,
                form,
                controls,
                {.showWindow = [this] { done.push_back("show"); },
                 .close = [this] { done.push_back("close"); },
                 .help = [this] { done.push_back("help"); }}};
};

// Which mouse messages become which event is the window layer's, tested
// under Wine by tests/win/tray_win32_test.cpp.
TEST_F(TrayMenuTest, AClickDoesNothing) {
  tray.play(TrayEvent::Click);
  form.setVisible(kWindowId, true);
  tray.play(TrayEvent::Click);
  EXPECT_TRUE(done.empty());
  EXPECT_TRUE(tray.menus.empty());
}

TEST_F(TrayMenuTest, ADoubleClickShowsTheWindow) {
  tray.play(TrayEvent::DoubleClick);
  EXPECT_EQ(done, std::vector<std::string>{"show"}) << "a hidden window is only shown";
  EXPECT_TRUE(tray.menus.empty());
  form.setVisible(kWindowId, true);
  done.clear();
  tray.play(TrayEvent::DoubleClick);
  // A shown window is also restored and brought to the front: it may be
  // minimised or behind others.
  EXPECT_EQ(done, (std::vector<std::string>{"show", "front"}));
}

TEST_F(TrayMenuTest, ARightClickOpensTheMenuWhoseItemsActAsTheirControls) {
  form.setVisible(kWindowId, true);
  form.setCaption(controls.helpItem, "Hints");  // as a language file renames it
  for (std::optional<std::size_t> item : {std::optional<std::size_t>(0), {1}, {2}, {}}) {
    tray.menuChoice = item;  // nothing: the menu was dismissed
    tray.play(TrayEvent::RightClick);
  }
  ASSERT_EQ(tray.menus.size(), 4u);
  EXPECT_EQ(tray.menus.at(0).at(2), "Hints");
  EXPECT_EQ(done, (std::vector<std::string>{"show", "front", "close", "help"}));
}

TEST_F(TrayMenuTest, NoSecondMenuOrDoubleClickWhileTheMenuIsOpen) {
  tray.whileMenuOpen = [this] {
    tray.play(TrayEvent::RightClick);
    tray.play(TrayEvent::DoubleClick);
  };
  tray.play(TrayEvent::RightClick);
  EXPECT_EQ(tray.menus.size(), 1u);
  EXPECT_TRUE(done.empty());
}

TEST_F(TrayMenuTest, AMenuClosedByAnExceptionLetsTheNextOneOpen) {
  tray.whileMenuOpen = [] { throw std::runtime_error("boom"); };
  EXPECT_THROW(tray.play(TrayEvent::RightClick), std::runtime_error);
  tray.whileMenuOpen = nullptr;
  tray.play(TrayEvent::RightClick);
  EXPECT_EQ(tray.menus.size(), 2u);
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
TEST(ShortenTip, CountsWhatTheRecordCounts) {
  std::string folder = "C:\\";
  for (int i = 0; i < 30; ++i) folder += "ł";
  EXPECT_EQ(shortenTip("Pon_dex - " + folder + "\\𝄞𝄞.txt", 20), "...\\𝄞𝄞.txt");
  EXPECT_EQ(shortenTip("Pon_dex - " + folder + "\\𝄞.txt", 20), "Pon_dex - ...\\𝄞.txt");
}

TEST(ShortenTip, NeverSplitsACharacter) {
  EXPECT_EQ(shortenTip("𝄞𝄞𝄞", 3), "𝄞");
}

}  // namespace
}  // namespace pondex::ui
