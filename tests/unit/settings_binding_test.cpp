#include "config/settings_binding.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"
#include "ui/save_notice.h"

namespace pondex {
namespace {

const std::string kListening = "SYGNA\xA3 ZEWNETRZNY";
const std::string kHotKeys =
    "GOR\xA5"
    "CY KLAWISZ";
const std::string kSpeed =
    "PR\xCA"
    "DKO\x8C\xC6";
const std::string kParity = "PARZYSTO\x8C\xC6";

// The main window's model bound to settings over an in-memory file.
struct LoadedWindow {
  LoadedWindow() : c(form), store(fake.profiles, fake.files), binding(store, form, c, settings) {
    binding.bind({.applyPortSettings = [this] { ++applied; }, .listeningSwitchedOff = [this] { ++switchedOff; }});
  }

  // Loads with the given file content ("" = no file at all).
  void load(const std::string& content = "") {
    if (!content.empty()) fake.plantSettings(content);
    binding.LoadSettings();
  }
  std::string setting(const std::string& key) const { return fake.setting(key); }

  fakes::FakePlatform fake;
  ui::Form form = ui::buildMainWindow();
  ui::MainControls c;
  Settings settings;
  SettingsStore store;
  SettingsBinding binding;
  int applied = 0;
  int switchedOff = 0;
};

class SettingsBindingTest : public ::testing::Test, public LoadedWindow {};

TEST_F(SettingsBindingTest, FirstStartShowsEveryDefaultAndWritesOnlyWhatLoadingChanged) {
  load();
  const std::pair<ui::ControlId, const char*> shown[] = {
      {c.lblNrPortuVal, "1"},    {c.lblSpeedVal, "9600"},
      {c.lblPariteVal, "N"},     {c.lblBitsDataVal, "8"},
      {c.lblBitsStopVal, "1"},   {c.lblPytanieVal, "F9"},
      {c.lblTarowanieVal, "F4"}, {c.LblPlikPath, "c:\\kolvat\\pon_dex\\"},
      {c.lblEthIp, "127.0.0.1"}, {c.lblEthPort, "4001"}};
  for (const auto& [label, text] : shown) EXPECT_EQ(form.caption(label), text) << form.name(label);
  EXPECT_EQ(settings.QueryCommand, "SI");
  EXPECT_EQ(settings.TareCommand, "T");
  EXPECT_TRUE(form.isOn(c.Option1));
  EXPECT_EQ(form.value(c.chZmiana), 1);
  EXPECT_EQ(form.value(c.chZmianaCR) + form.value(c.chZmianaLF), 0);
  EXPECT_TRUE(form.isOn(c.opKoniecRamki[2]));
  EXPECT_TRUE(form.isOn(c.optPlik[0]));
  EXPECT_FALSE(form.visible(c.Frame4) || form.visible(c.chAutostart) || form.visible(c.Picture16));

  EXPECT_EQ(fake.profiles.content(fake.settingsFile()),
            "[USTAWIENIA]\r\nZMIANA=1\r\nplik stat=0\r\nplik dopisz=0\r\nTEKST=-1\r\nkoniec ramki=2\r\n");
}

TEST_F(SettingsBindingTest, PolishKeyNamesAreReadFromTheirWindows1250Bytes) {
  load("[USTAWIENIA]\r\n" + kListening + "=1\r\n" + kHotKeys + "=1\r\n" + kSpeed + "=19200\r\n" + kParity +
       "=E\r\nBITY DANYCH=7\r\nBITY STOPU=2\r\nNR PORTU=3\r\n");
  EXPECT_EQ(form.value(c.chNasluch), 1);
  EXPECT_EQ(form.value(c.chHotKey), 1);
  EXPECT_EQ(settings.PortSpeed, "19200");
  EXPECT_EQ(settings.PortParity, "E");
  EXPECT_EQ(settings.PortDataBits, "7");
  EXPECT_EQ(settings.PortStopBits, "2");
  EXPECT_EQ(settings.PortNumber, "3");
  // Loading rewrote the two check boxes it changed, under the same bytes.
  EXPECT_EQ(setting(kListening), "1");
  EXPECT_EQ(setting(kHotKeys), "1");
  EXPECT_EQ(fake.profiles.content(fake.settingsFile()).find("SYGNA\xA3"), 14u);
}

TEST_F(SettingsBindingTest, FileNamingOptionsFollowStoredValue) {
  load("[USTAWIENIA]\r\nplik stat=-1\r\nplik dopisz=1\r\nplik=1\r\n");
  EXPECT_TRUE(form.isOn(c.optPlik[1]) && form.visible(c.Frame4));
  EXPECT_EQ(settings.StaticFileName, -1);
  EXPECT_TRUE(form.isOn(c.optDopisywanie[1]));
  EXPECT_EQ(settings.FileWriteMode, 1);
  EXPECT_EQ(settings.FileMode, FileMode::DataFile);
  EXPECT_TRUE(form.visible(c.Picture16) && form.visible(c.chAutostart));
  EXPECT_EQ(setting("plik"), "1");
}

TEST_F(SettingsBindingTest, AnyStaticNameOtherThanMinusOneBecomesPerTransmission) {
  for (const char* stored : {"1", "5", "abc", "99999"}) {
    LoadedWindow other;  // a fresh window and file for each value
    other.load(std::string("[USTAWIENIA]\r\nplik stat=") + stored + "\r\n");
    EXPECT_TRUE(other.form.isOn(other.c.optPlik[0])) << stored;
    EXPECT_EQ(other.settings.StaticFileName, 0) << stored;
    EXPECT_EQ(other.setting("plik stat"), "0") << stored;
  }
}

TEST_F(SettingsBindingTest, ReplacementCodesAndTheirCheckBoxes) {
  load("[USTAWIENIA]\r\nCR=0\r\nLF=9\r\n");
  EXPECT_EQ(settings.CrReplacement, 0);
  EXPECT_EQ(form.value(c.chZmianaCR), 1);
  EXPECT_EQ(setting("CR"), "0");
  EXPECT_EQ(settings.LfReplacement, 9) << "an odd code is kept as the replacement character";
  EXPECT_EQ(form.value(c.chZmianaLF), 0);
  EXPECT_EQ(setting("LF"), "9");
}

TEST_F(SettingsBindingTest, ValuesTheControlsCannotTakeFallBackToTheKeyDefault) {
  load(
      "[USTAWIENIA]\r\nZMIANA=7\r\nplik=2\r\nplik dopisz=3\r\nKoniec ramki=9\r\nCR=300\r\nLF=-1\r\n"
      "TEKST=maybe\r\n" +
      kListening + "=5\r\n" + kHotKeys + "=-1\r\nAUTOSTART=40000\r\n");
  EXPECT_EQ(form.value(c.chZmiana), 1);
  EXPECT_EQ(form.value(c.ChPlik), 0);
  EXPECT_TRUE(form.isOn(c.optDopisywanie[0]));
  EXPECT_TRUE(form.isOn(c.opKoniecRamki[2]));
  EXPECT_EQ(settings.CrReplacement, 13);
  EXPECT_EQ(settings.LfReplacement, 10);
  EXPECT_TRUE(settings.TextMode);
  EXPECT_EQ(form.value(c.chNasluch), 0);
  EXPECT_EQ(form.value(c.chHotKey), 0);
  EXPECT_EQ(form.value(c.chAutostart), 0);
  EXPECT_EQ(setting("koniec ramki"), "2");
}

TEST_F(SettingsBindingTest, PortNumberIsStoredAsTheShortestTextOfItsNumber) {
  for (auto [stored, expected] :
       {std::pair{"abc", "0"}, {"012", "12"}, {"0", "0"}, {" 7x", "7"}, {"99999999999", "1"}}) {
    fake.plantSettings(std::string("[USTAWIENIA]\r\nNR PORTU=") + stored + "\r\n");
    binding.LoadPortSettings();
    EXPECT_EQ(settings.PortNumber, expected) << stored;
    EXPECT_EQ(form.caption(c.lblNrPortuVal), expected);
  }
}

TEST_F(SettingsBindingTest, PathsUpToWhatTheProgramWritesAreRead) {
  const std::string path120 = "c:\\" + std::string(116, 'd') + "\\";
  load("[USTAWIENIA]\r\nPathDir=" + path120 + "\r\n");
  EXPECT_EQ(settings.DataDirectory, path120);

  // The longest folder the folder choice returns, with its final "\".
  const std::string longest = "c:\\" + std::string(256, 'e') + "\\";
  ASSERT_EQ(longest.size(), 260u);
  fake.plantSettings("[USTAWIENIA]\r\nPathDir=" + longest + "\r\n");
  EXPECT_EQ(store.read("PathDir", "default"), longest);

  // Anything that fills the read buffer is taken as absent, never cut.
  fake.plantSettings("[USTAWIENIA]\r\nPathDir=" + std::string(261, 'x') + "\r\n");
  EXPECT_EQ(store.read("PathDir", "default"), "default");
}

TEST_F(SettingsBindingTest, ChangeHandlersWriteTheirKeysInTheProgramsFormat) {
  load();
  fake.profiles.writes.clear();
  form.userClick(c.Option2);
  form.userClick(c.opKoniecRamki[4]);
  form.userClick(c.chZmianaCR);
  form.userClick(c.chZmianaLF);
  form.userClick(c.chZmiana);
  form.userClick(c.ChPlik);
  form.userClick(c.optPlik[1]);
  form.userClick(c.optDopisywanie[1]);
  form.userClick(c.chAutostart);
  form.userClick(c.chHotKey);
  form.userClick(c.chNasluch);
  form.userClick(c.chNasluch);
  std::vector<std::pair<std::string, std::string>> written;
  for (const auto& w : fake.profiles.writes) written.emplace_back(w.key, w.value);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"TEKST", "0"},     {"koniec ramki", "4"}, {"CR", "0"},         {"LF", "0"},
      {"ZMIANA", "0"},    {"plik", "1"},         {"plik stat", "-1"}, {"plik dopisz", "1"},
      {"Autostart", "1"}, {kHotKeys, "1"},       {kListening, "1"},   {kListening, "0"}};
  EXPECT_EQ(written, expected);
  EXPECT_FALSE(settings.TextMode);
  EXPECT_EQ(settings.FrameEndReaction, FrameEndReaction::EnterTabEnter);
  EXPECT_EQ(settings.CrReplacement, 0);
  EXPECT_EQ(settings.LfReplacement, 0);
  EXPECT_EQ(settings.FileMode, FileMode::DataFile);
  EXPECT_EQ(settings.StaticFileName, -1);
  EXPECT_TRUE(form.visible(c.Frame4));
  EXPECT_TRUE(form.visible(c.frmHotKey));
  EXPECT_EQ(switchedOff, 1);
  // Unchecking "Do pliku" hides the options that only matter for files.
  form.userClick(c.ChPlik);
  EXPECT_FALSE(form.visible(c.Picture16));
  EXPECT_FALSE(form.visible(c.chAutostart));
  EXPECT_FALSE(form.visible(c.lblAutostart));
}

TEST_F(SettingsBindingTest, SerialSelectorsSaveHideAndApply) {
  load();
  form.setContainer(c.picSpeed, c.picPoloczenie);
  form.userClick(c.ButtonXP6);
  EXPECT_EQ(form.container(c.picSpeed), c.Smietnik);
  EXPECT_EQ(form.caption(c.lblSpeedVal), "19200");
  EXPECT_EQ(settings.PortSpeed, "19200");
  EXPECT_EQ(setting(kSpeed), "19200");
  form.userClick(c.ButtonXP8);
  form.userClick(c.ButtonXP13);
  form.userClick(c.ButtonXP11);
  EXPECT_EQ(setting(kParity), "O");
  EXPECT_EQ(setting("BITY DANYCH"), "7");
  EXPECT_EQ(setting("BITY STOPU"), "2");
  binding.SavePortNumber("0");
  EXPECT_EQ(setting("NR PORTU"), "0");
  EXPECT_EQ(applied, 5);
}

TEST_F(SettingsBindingTest, AFailedWriteKeepsTheNewStateInMemoryAndShowsTheStatusLineOnce) {
  int failures = 0;
  store.onWriteFailed([this, &failures] {
    ++failures;
    ui::ShowSaveFailure(form, c);
  });
  load();
  EXPECT_EQ(failures, 0);
  EXPECT_FALSE(form.visible(c.lblStatus));
  fake.profiles.readOnly = true;
  form.userClick(c.opKoniecRamki[1]);
  form.userClick(c.chZmiana);
  EXPECT_EQ(settings.FrameEndReaction, FrameEndReaction::Tab);
  EXPECT_EQ(settings.DecimalCommaMode, 0);
  EXPECT_EQ(setting("koniec ramki"), "2");
  EXPECT_EQ(failures, 2);
  EXPECT_TRUE(form.visible(c.lblStatus));
}

}  // namespace
}  // namespace pondex
