// The data folder from the settings file to the files written in it, on a
// Western European system: the ANSI code page 1252, which has "é" but no
// "Ł".
#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

using DataFolderTest = ControllerFixture;

TEST_F(DataFolderTest, AFolderStoredInTheAnsiCodePageIsWrittenInByItsLetters) {
  listen("plik=1\r\nplik stat=-1\r\nPathDir=C:\\Dane\\Caf\xE9\r\n");
  scale.sendIn(Millis(10), "1");
  fake.loop.runFor(Millis(2000));
  EXPECT_EQ(fake.files.contents["C:\\Dane\\Café\\261206.txt"], "1") << "inside the folder stored without its \\";
  EXPECT_EQ(form.caption(controls.dataFolderValue), "C:\\Dane\\Café\\261206.txt");
}

TEST_F(DataFolderTest, AChosenFolderTheCodePageCannotSpellIsRefused) {
  load("PathDir=C:\\Dane\\Caf\xE9\\\r\n");
  fake.shell.chosenFolder = "C:\\Dane\\Łódź";
  form.userClick(controls.changeFolderButton);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Tego katalogu nie można wybrać: ustawienia nie zapiszą znaku „Ł” z jego nazwy.\r\nC:\\Dane\\Łódź\\");
  EXPECT_EQ(fake.setting("PathDir"), "C:\\Dane\\Caf\xE9\\");
  EXPECT_EQ(form.caption(controls.dataFolderValue), "C:\\Dane\\Café\\");
}

TEST_F(DataFolderTest, AChosenFolderTheCodePageCanSpellIsStoredInIt) {
  load("PathDir=C:\\Dane\\Caf\xE9\\\r\n");
  fake.shell.chosenFolder = "D:\\Wägung";
  form.userClick(controls.changeFolderButton);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_NE(fake.messages.shown[0].text.find("z   C:\\Dane\\Café\\\r\n"), std::string::npos) << "the question";
  EXPECT_EQ(fake.setting("PathDir"), "D:\\W\xE4gung\\");
  EXPECT_EQ(form.caption(controls.dataFolderValue), "D:\\Wägung\\");
}

}  // namespace
}  // namespace pondex
