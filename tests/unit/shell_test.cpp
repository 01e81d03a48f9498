#include "ui/shell.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/fakes/fake_platform.h"

namespace pondex::ui {
namespace {

class ChangeDataFolderTest : public ::testing::Test {
 protected:
  bool change(const std::string& chosen, const std::string& current = "c:\\kolvat\\pon_dex\\") {
    shell.chosenFolder = chosen;
    return ChangeDataFolder(shell, boxes, current, question, [this](const std::string& p) { stored = p; });
  }

  fakes::FakeShell shell;
  fakes::FakeMessageBoxes boxes;
  FolderQuestion question{"Zmieni\xE6 domy\x9Clny katalog zapisu danych z ", "na katalog  "};
  std::optional<std::string> stored;
};

TEST_F(ChangeDataFolderTest, AsksWithBothPathsAndStoresExactlyTheNewOneOnlyOnYes) {
  EXPECT_TRUE(change("D:\\Data"));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text,
            "Zmieni\xE6 domy\x9Clny katalog zapisu danych z   c:\\kolvat\\pon_dex\\\r\nna katalog    D:\\Data\\");
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(stored, "D:\\Data\\");
  EXPECT_TRUE(change("E:\\"));  // a drive root has its backslash already
  EXPECT_EQ(stored, "E:\\");

  boxes.answer = MessageAnswer::No;
  EXPECT_FALSE(change("F:\\Data"));
  EXPECT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(stored, "E:\\");
}

TEST_F(ChangeDataFolderTest, TheSameFolderOrACancelledBrowserAsksNothing) {
  EXPECT_FALSE(change("c:\\kolvat\\pon_dex"));
  EXPECT_FALSE(change("c:\\kolvat\\pon_dex\\"));
  EXPECT_FALSE(change("C:\\Kolvat\\PON_DEX"));  // as the shell spells the default folder
  EXPECT_FALSE(change(""));
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(stored);
  EXPECT_TRUE(change("c:\\kolvat\\pon_dex\\x"));  // a sub-folder is another folder
}

// A program folder elsewhere is run under Wine by tests/e2e/test_shell.py.
TEST(StartHelp, FindsTheHelpProgramOfAProgramInADriveRoot) {
  fakes::FakeShell shell;
  fakes::FakeFileSystem files;
  files.programDir = "C:\\";
  StartHelp(shell, files);
  EXPECT_EQ(shell.started, std::vector<std::string>{"C:\\pondex_help.exe"});
}

}  // namespace
}  // namespace pondex::ui
