#include "ui/shell.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/fakes/fake_platform.h"
#include "ui/localisation.h"

namespace pondex::ui {
namespace {

// Over the settings of a Western European system: ANSI code page 1252.
class ChangeDataFolderTest : public ::testing::Test {
 protected:
  bool change(const std::string& chosen, const std::string& current = "c:\\kolvat\\pon_dex\\") {
    shell.chosenFolder = chosen;
    return changeDataFolder(shell, boxes, current, question,
                            {.unstorable = [this](const std::string& p) { return files.toAnsi(p).unspellable; },
                             .accept = [this](const std::string& p) { stored = p; }});
  }

  fakes::FakeShell shell;
  fakes::FakeMessageBoxes boxes;
  fakes::FakeFileSystem files;
  FolderQuestion question{lang::kChangeFromDefault, lang::kChangeToDefault, lang::kUnstorableFolderDefault};
  std::optional<std::string> stored;
};

TEST_F(ChangeDataFolderTest, TheQuestionNamesBothFolders) {
  EXPECT_TRUE(change("D:\\Data"));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text,
            "Zmienić domyślny katalog zapisu danych z   c:\\kolvat\\pon_dex\\\r\nna katalog    D:\\Data\\");
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
}

TEST_F(ChangeDataFolderTest, YesStoresExactlyTheNewFolderNoNothing) {
  EXPECT_TRUE(change("D:\\Data"));
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

TEST_F(ChangeDataFolderTest, AFolderTheSettingsCannotKeepIsRefusedNamingItsCharacter) {
  EXPECT_FALSE(change("C:\\Dane\\Łódź"));
  ASSERT_EQ(boxes.shown.size(), 1u) << "refused without the question";
  EXPECT_EQ(boxes.shown[0].text,
            "Tego katalogu nie można wybrać: ustawienia nie zapiszą znaku „Ł” z jego nazwy.\r\nC:\\Dane\\Łódź\\");
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_FALSE(stored);

  // The ANSI code page has "é" and "ó": only the folder's first missing
  // character is named.
  EXPECT_FALSE(change("C:\\Café\\Kraków\\Żory"));
  EXPECT_NE(boxes.shown[1].text.find("„Ż”"), std::string::npos) << boxes.shown[1].text;
  EXPECT_TRUE(change("C:\\Dane\\Café"));
  EXPECT_EQ(stored, "C:\\Dane\\Café\\");
}

TEST(UnstorableFolderMessage, ATranslationWithoutThePlaceStillNamesTheCharacter) {
  EXPECT_EQ(unstorableFolderMessage("Folder %1 refused.", "𝄞", "C:\\𝄞\\"), "Folder 𝄞 refused.\r\nC:\\𝄞\\");
  EXPECT_EQ(unstorableFolderMessage("Folder refused:", "Ł", "C:\\Ł\\"), "Folder refused: „Ł”\r\nC:\\Ł\\");
}

// A program folder elsewhere is run under Wine by tests/e2e/test_shell.py.
TEST(HelpProgram, IsFoundBesideAProgramInADriveRoot) {
  fakes::FakeShell shell;
  fakes::FakeFileSystem files;
  files.programDir = "C:\\";
  startHelp(shell, files);
  EXPECT_EQ(shell.started, std::vector<std::string>{"C:\\pondex_help.exe"});
}

}  // namespace
}  // namespace pondex::ui
