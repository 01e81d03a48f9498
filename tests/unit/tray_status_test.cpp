// The tray tip's one owner: each condition in its own words, both at once
// visible, each clearing on its own.
#include "core/tray_status.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/portable/tray_tip.h"
#include "tests/fakes/fake_tray.h"

namespace pondex {
namespace {

const std::string kPath = "c:\\kolvat\\pon_dex\\260307.txt";

class TrayStatusTest : public ::testing::Test {
 protected:
  TrayStatusTest() { status.addIcon(); }

  fakes::FakeTray tray;
  TrayStatus status{tray};
};

TEST_F(TrayStatusTest, EachConditionAloneSaysItsOwnText) {
  EXPECT_EQ(tray.tip, "Pon_dex");
  status.portMissing("Com1:");
  EXPECT_EQ(tray.tip, "Pon_dex - Com1: missing");
  status.portBack();
  status.writeFailed(kPath);
  EXPECT_EQ(tray.tip, "Pon_dex - BŁĄD ZAPISU: " + kPath);
}

TEST_F(TrayStatusTest, BothConditionsShowTogetherThePathLast) {
  status.writeFailed(kPath);
  status.portMissing("Com3:");
  EXPECT_EQ(tray.tip, "Pon_dex - Com3: missing - BŁĄD ZAPISU: " + kPath);
  status.portBack();
  status.portMissing("Com3:");
  EXPECT_EQ(tray.tip, "Pon_dex - Com3: missing - BŁĄD ZAPISU: " + kPath) << "whichever came first";
}

TEST_F(TrayStatusTest, EachConditionClearsOnItsOwn) {
  for (bool portFirst : {true, false}) {
    status.portMissing("Com1:");
    status.writeFailed(kPath);
    if (portFirst) {
      status.portBack();
      EXPECT_EQ(tray.tip, "Pon_dex - BŁĄD ZAPISU: " + kPath);
      status.writeSucceeded();
    } else {
      status.writeSucceeded();
      EXPECT_EQ(tray.tip, "Pon_dex - Com1: missing");
      status.portBack();
    }
    EXPECT_EQ(tray.tip, "Pon_dex");
  }
}

TEST_F(TrayStatusTest, TheTrayIsToldOnlyOfAChangedTip) {
  int told = 0;
  tray.whenTipSet = [&told] { ++told; };
  status.writeSucceeded();
  status.portBack();
  EXPECT_EQ(told, 0);
  status.writeFailed(kPath);
  status.writeFailed(kPath);
  status.portMissing("Com1:");
  status.portMissing("Com1:");
  EXPECT_EQ(told, 2);
}

// With both conditions, a tip too long for the icon still ends with the
// file name (the cut itself is tested with the tip's shortening).
TEST_F(TrayStatusTest, ALongTipWithBothConditionsKeepsTheFileName) {
  std::string folder = "c:\\";
  for (int i = 0; i < 12; ++i) folder += "folder" + std::to_string(i) + "\\";
  status.portMissing("Com1:");
  status.writeFailed(folder + "260307.txt");
  ASSERT_GT(tray.tip.size(), 127u);
  const std::string shown = shortenTip(tray.tip, 127);
  EXPECT_TRUE(shown.starts_with("Pon_dex - Com1: missing - BŁĄD ZAPISU: ...\\")) << shown;
  EXPECT_TRUE(shown.ends_with("\\folder11\\260307.txt")) << shown;
}

}  // namespace
}  // namespace pondex
