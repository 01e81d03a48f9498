#include "ui/localisation.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/fakes/fake_platform.h"
#include "ui/main_window.h"

namespace pondex {
namespace {

struct LanguageFixture : ::testing::Test {
  void plant(const std::string& content) { fake.profiles.files[lang.languagePath()] = content; }
  // The start-up order: write when missing, key the menu items, read.
  void startUp() {
    if (!lang.languageFileExists()) lang.writeLanguageFile(form);
    form.setTag(controls.closeItem, "end");
    form.setTag(controls.showWindowItem, "visible");
    form.setTag(controls.helpItem, "help");
    lang.applyLanguageFile(form);
  }

  fakes::FakePlatform fake;
  ui::Localisation lang{fake.profiles, fake.files};
  ui::Form form = ui::buildMainWindow();
  ui::MainControls controls{form};
  const ui::Form builtIn = ui::buildMainWindow();
};

// The file's exact bytes are checked under Wine by tests/e2e/test_window.py.
TEST_F(LanguageFixture, FirstStartWritesAFileThatReadsBackToTheBuiltInCaptions) {
  startUp();
  // Keys shared by several controls end with the text of the last captioned
  // one; the captionless boxes stay without text.
  EXPECT_EQ(form.caption(form.id("Label18")), "Ramka");
  EXPECT_EQ(form.caption(controls.helpItem), "Help");
  for (auto box : {controls.autoStartBox, controls.decimalCommaBox, controls.dropCrBox, controls.dropLfBox})
    EXPECT_EQ(form.caption(box), "");
  // Every other caption reads back exactly as built in, quotes and blanks too.
  const std::set<std::string> renamed = {"Label33", "Label18", "Label24", "Label9", "Label14", "mnuHelp"};
  for (ui::ControlId id = 1; id < form.size(); ++id) {
    if (renamed.count(form.name(id)) > 0) continue;
    EXPECT_EQ(form.caption(id), builtIn.caption(id)) << form.qualifiedName(id);
  }
}

TEST_F(LanguageFixture, AFirstStartListsTheWeightKeysLast) {
  startUp();
  ASSERT_EQ(fake.profiles.writes.size(), 43u);
  EXPECT_EQ(fake.profiles.writes[39].key, "wait");
  EXPECT_EQ(fake.profiles.writes[40].key, "weight only");
  EXPECT_EQ(fake.profiles.writes[40].value, "Tylko liczba");
  EXPECT_EQ(fake.profiles.writes[41].key, "stable only");
  EXPECT_EQ(fake.profiles.writes[41].value,
            "Tylko ustalone, raz na wa\xBF"
            "enie");
  EXPECT_EQ(fake.profiles.writes[42].key, "log");
  EXPECT_EQ(fake.profiles.writes[42].value, "Dziennik z dat\xB9 i godzin\xB9");
}

class EditedLanguageFile : public LanguageFixture {
 protected:
  void SetUp() override {
    fake.files.normalFiles.insert(lang.languagePath());
    plant("[Global]\r\nhelp=Wskaz\xF3wki\r\nIP=\r\nCONFIG=" + std::string(99, 'x') +
          "\r\nstart=" + std::string(98, 's') + "\r\n");
    startUp();
  }
};

TEST_F(EditedLanguageFile, RenamesEveryControlOfAKey) {
  EXPECT_TRUE(fake.profiles.writes.empty()) << "a present file is only read";
  EXPECT_EQ(form.caption(controls.helpLabel), "Wskazówki") << "Windows-1250 in the file";
  EXPECT_EQ(form.caption(controls.helpItem), "Wskazówki");
  EXPECT_EQ(form.caption(controls.addressLabel), "") << "an empty value empties the caption";
  EXPECT_EQ(form.caption(controls.startButton), std::string(98, 's'));
}

TEST_F(EditedLanguageFile, LeavesTheBuiltInTextWhereItHasNone) {
  EXPECT_EQ(form.caption(form.id("Label12")), "Konfiguracja") << "99 characters count as absent";
  EXPECT_EQ(form.caption(controls.textDataOption), "Dane tekstowe") << "a missing key keeps the built-in text";
  EXPECT_EQ(form.caption(controls.weightOnlyBox), "Tylko liczba") << "a file without the weight keys";
  EXPECT_EQ(form.caption(controls.decimalCommaBox), "") << "a captionless box takes no text from its shared key";
}

TEST_F(LanguageFixture, TheFileMayGiveOtherFolderMessages) {
  plant(
      "[komunikaty]\r\nzmienKatalog1=Change the data folder from \r\nZMIENKATALOG2=\"to  \"\r\n"
      "znakKatalogu=Katalog z \xAB%1\xBB odrzucony\r\n");
  lang.applyLanguageFile(form);
  EXPECT_EQ(lang.changeFromText(), "Change the data folder from");
  EXPECT_EQ(lang.changeToText(), "to  ");
  EXPECT_EQ(lang.unstorableFolderText(), "Katalog z «%1» odrzucony");
}

TEST_F(LanguageFixture, AnUnwritableFolderLeavesTheBuiltInTexts) {
  fake.profiles.readOnly = true;
  EXPECT_FALSE(lang.languageFileExists());
  EXPECT_FALSE(lang.writeLanguageFile(form));
  lang.applyLanguageFile(form);
  for (ui::ControlId id = 1; id < form.size(); ++id) EXPECT_EQ(form.caption(id), builtIn.caption(id));
  EXPECT_EQ(lang.changeToText(), "na katalog  ") << "its trailing blanks belong to the question";
  EXPECT_EQ(lang.unstorableFolderText(), ui::lang::kUnstorableFolderDefault);
}

}  // namespace
}  // namespace pondex
