#include "config/localisation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/portable/file_profile.h"
#include "tests/fakes/fake_platform.h"
#include "ui/main_window.h"

namespace pondex {
namespace {

// The language file of a first start, byte for byte: every key once, in the
// order of its first control, with the caption of its last captioned
// control. Captions with blanks at an end or in quotes are quoted so that
// they read back unchanged.
const char kFirstStartFile[] =
    "[Global]\r\n"
    "set=Zastosuj\r\n"
    "cancel=Anuluj\r\n"
    "panel=Panel\r\n"
    "zmien=Zmie\xF1\r\n"
    "file=Plik\r\n"
    "to file=Do pliku\r\n"
    "NameStatic=Nazwa sta\xB3"
    "a\r\n"
    "NameDynamic=Nazwa nadawana dynamicznie\r\n"
    "dopisywanie=Dopisywanie\r\n"
    "nadpisywanie=Nadpisywanie\r\n"
    "text=Dane tekstowe\r\n"
    "value=Dane numeryczne\r\n"
    "hot key=Gor\xB9"
    "cy klawisz\r\n"
    "dot=Zmiana \".\" >> \",\"\r\n"
    "LF=Usu\xF1 \"LF\"\r\n"
    "CR=\"Usu\xF1 \"CR\"  \"\r\n"
    "block=Ramka\r\n"
    "events=zdarzenia\r\n"
    "EntTabEnt=\"\"ENTER >>TAB >> ENTER\"\"\r\n"
    "EntTab=\"\"ENTER >> TAB\"\"\r\n"
    "enter=\"\"ENTER\"\"\r\n"
    "tab=\"\"TAB\" \"\r\n"
    "no=\" BEZ REAKCJI\"\r\n"
    "query tare=Tarowanie\r\n"
    "query read=Pytanie\r\n"
    "print=Nas\xB3uch ci\xB9g\xB3y\r\n"
    "transmition=Transmisja\r\n"
    "IP=IP\r\n"
    "conect=Po\xB3\xB9"
    "czenie\r\n"
    "speed=pr\xEA"
    "dko\x9C\xE6 transmisji\r\n"
    "bits data=bity danych\r\n"
    "bits stop=bity stopu\r\n"
    "parity=parzysto\x9C\xE6\r\n"
    "comm=numer portu\r\n"
    "start=&START\r\n"
    "end=Zamknij\r\n"
    "autoStr=Autostart\r\n"
    "CONFIG=Konfiguracja\r\n"
    "help=Help\r\n"
    "wait=Czekaj transmisja\r\n";

// The start-up order: write when missing, key the menu items, read.
void startUp(Localisation& lang, ui::Form& form, const ui::MainControls& c) {
  if (!lang.languageFileExists()) lang.TlomaczenieZapis(form);
  form.setTag(c.mnuClose, "end");
  form.setTag(c.mnuVisible, "visible");
  form.setTag(c.mnuHelp, "help");
  lang.TlomaczenieOdczyt(form);
}

TEST(Localisation, FirstStartWritesEveryKeyOnceAndReadsItBackToVisibleCaptions) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("pondex_lang_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  fakes::FakeFileSystem files;
  files.programDir = dir.string();
  FileProfile profiles;
  Localisation lang(profiles, files);
  ui::Form form = ui::buildMainWindow();
  const ui::MainControls c(form);
  ui::Form builtIn = ui::buildMainWindow();

  startUp(lang, form, c);

  std::string bytes;
  {
    std::ifstream in(dir / "set.lng", std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }  // closed before removal: Windows refuses to remove an open file
  EXPECT_EQ(bytes, kFirstStartFile);
  std::filesystem::remove_all(dir);

  // Keys shared by several controls end with one text; the captionless
  // boxes stay without text, the file box keeps its caption.
  EXPECT_EQ(form.caption(form.id("Label33")), "Plik");
  EXPECT_EQ(form.caption(form.id("Label18")), "Ramka");
  EXPECT_EQ(form.caption(form.id("Label14")),
            "Po\xB3\xB9"
            "czenie");
  EXPECT_EQ(form.caption(c.mnuHelp), "Help");
  EXPECT_EQ(form.caption(c.mnuClose), "Zamknij");
  EXPECT_EQ(form.caption(c.ChPlik), "Do pliku");
  for (auto box : {c.chAutostart, c.chZmiana, c.chZmianaCR, c.chZmianaLF}) EXPECT_EQ(form.caption(box), "");
  // Every other caption reads back exactly as built in, quotes and blanks too.
  for (ui::ControlId id = 1; id < form.size(); ++id) {
    const std::string& name = form.name(id);
    if (name == "Label33" || name == "Label18" || name == "Label24" || name == "Label9" || name == "Label14" ||
        name == "mnuHelp") {
      continue;
    }
    EXPECT_EQ(form.caption(id), builtIn.caption(id)) << form.qualifiedName(id);
  }
  EXPECT_EQ(form.caption(c.opKoniecRamki[1]), "\"TAB\" ");
}

struct LanguageFixture : ::testing::Test {
  void plant(const std::string& content) { fake.profiles.files["C:\\Pon_dex\\set.lng"] = content; }

  fakes::FakePlatform fake;
  Localisation lang{fake.profiles, fake.files};
  ui::Form form = ui::buildMainWindow();
  ui::MainControls c{form};
};

TEST_F(LanguageFixture, AnEditedFileRenamesEveryControlOfAKeyAndLeavesTheRest) {
  fake.files.normalFiles.insert("C:\\Pon_dex\\set.lng");
  plant("[Global]\r\nhelp=Hints\r\nvisible=Show window\r\nbLoCk=Frame\r\nIP=\r\nCONFIG=" + std::string(99, 'x') +
        "\r\nstart=" + std::string(98, 's') + "\r\n");
  startUp(lang, form, c);
  EXPECT_TRUE(fake.profiles.writes.empty()) << "a present file is only read";
  EXPECT_EQ(form.caption(c.lblHelp), "Hints");
  EXPECT_EQ(form.caption(c.mnuHelp), "Hints");
  EXPECT_EQ(form.caption(c.mnuVisible), "Show window");
  EXPECT_EQ(form.caption(form.id("Label18")), "Frame");
  EXPECT_EQ(form.caption(c.lblRamka), "Frame");
  EXPECT_EQ(form.caption(c.Label4), "") << "an empty value empties the caption";
  EXPECT_EQ(form.caption(form.id("Label12")), "Konfiguracja") << "99 characters count as absent";
  EXPECT_EQ(form.caption(c.cmdStart), std::string(98, 's'));
  EXPECT_EQ(form.caption(c.Option1), "Dane tekstowe") << "a missing key keeps the built-in text";
  EXPECT_EQ(form.caption(c.opKoniecRamki[2]), " BEZ REAKCJI");
  EXPECT_EQ(form.caption(c.chZmiana), "") << "a captionless box takes no text from its shared key";
}

TEST_F(LanguageFixture, QuestionPartsKeepTheirTrailingBlanksUnlessTheFileGivesOthers) {
  plant("[Global]\r\nhelp=Help\r\n");
  lang.TlomaczenieOdczyt(form);
  EXPECT_EQ(lang.ChangeDirText1(), "Zmieni\xE6 domy\x9Clny katalog zapisu danych z ");
  EXPECT_EQ(lang.ChangeDirText2(), "na katalog  ");

  plant("[komunikaty]\r\nzmienKatalog1=Change the data folder from \r\nZMIENKATALOG2=\"to  \"\r\n");
  lang.TlomaczenieOdczyt(form);
  EXPECT_EQ(lang.ChangeDirText1(), "Change the data folder from");
  EXPECT_EQ(lang.ChangeDirText2(), "to  ");
}

TEST_F(LanguageFixture, AnUnwritableFolderLeavesTheBuiltInTexts) {
  fake.profiles.readOnly = true;
  const ui::Form builtIn = ui::buildMainWindow();
  EXPECT_FALSE(lang.languageFileExists());
  EXPECT_FALSE(lang.TlomaczenieZapis(form));
  lang.TlomaczenieOdczyt(form);
  for (ui::ControlId id = 1; id < form.size(); ++id) EXPECT_EQ(form.caption(id), builtIn.caption(id));
  EXPECT_EQ(lang.ChangeDirText2(), "na katalog  ");
}

}  // namespace
}  // namespace pondex
