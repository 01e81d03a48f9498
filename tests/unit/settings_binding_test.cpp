#include "presenter/settings_binding.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/fakes/fake_platform.h"

namespace pondex {
namespace {

// The keys with Polish letters as the file holds them: Windows-1250 bytes.
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
  LoadedWindow() : controls(form), store(fake.profiles, fake.files), binding(store, form, controls, settings) {
    binding.bind({.applyPortSettings = [this] { ++applied; }, .listeningSwitchedOff = [this] { ++switchedOff; }});
  }

  // Loads with the given file content ("" = no file at all).
  void load(const std::string& content = "") {
    if (!content.empty()) fake.plantSettings(content);
    binding.load();
  }
  std::string setting(const std::string& key) const { return fake.setting(key); }

  fakes::FakePlatform fake;
  ui::Form form = ui::buildMainWindow();
  ui::MainControls controls;
  Settings settings;
  SettingsStore store;
  SettingsBinding binding;
  int applied = 0;
  int switchedOff = 0;
};

class SettingsBindingTest : public ::testing::Test, public LoadedWindow {};

// Each control shows its own key's value, the Polish keys read by their bytes.
TEST_F(SettingsBindingTest, StoredValuesReachTheirControls) {
  load("[USTAWIENIA]\r\n" + kListening + "=1\r\n" + kHotKeys + "=1\r\n" + kSpeed + "=19200\r\n" + kParity +
       "=E\r\nBITY DANYCH=7\r\nBITY STOPU=2\r\nNR PORTU=3\r\nKLAWISZ=F2\r\nKLAWISZT=F3\r\nPathDir=d:\\w\\\r\n"
       "EthIp=scale.local\r\nEthPort=23\r\nplik stat=-1\r\nplik dopisz=1\r\nplik=1\r\nCR=0\r\nLF=9\r\n");
  const std::pair<ui::ControlId, const char*> shown[] = {
      {controls.portNumberValue, "3"},  {controls.speedValue, "19200"},        {controls.parityValue, "E"},
      {controls.dataBitsValue, "7"},    {controls.stopBitsValue, "2"},         {controls.queryKeyValue, "F2"},
      {controls.tareKeyValue, "F3"},    {controls.dataFolderValue, "d:\\w\\"}, {controls.addressValue, "scale.local"},
      {controls.addressPortValue, "23"}};
  for (const auto& [label, text] : shown) EXPECT_EQ(form.caption(label), text) << form.name(label);
  for (auto on : {controls.listeningBox, controls.hotKeysBox, controls.fileNamingOptions[1],
                  controls.writeModeOptions[1], controls.toFileBox, controls.dropCrBox}) {
    EXPECT_TRUE(form.isOn(on)) << form.qualifiedName(on);
  }
  EXPECT_TRUE(form.visible(controls.writeModeFrame) && form.visible(controls.fileNamingGroup) &&
              form.visible(controls.autoStartBox));
  EXPECT_EQ(settings.fileNames, FileNaming::PerDay);
  EXPECT_EQ(settings.existingFile, WriteMode::Replace);
  EXPECT_EQ(settings.output, OutputTarget::DataFile);
  EXPECT_EQ(settings.lfReplacement, 9) << "an odd code is kept as the replacement character";
  EXPECT_EQ(setting("LF"), "9");
}

// The exact file a first start writes is checked under Wine by tests/e2e/test_startup.py.
TEST_F(SettingsBindingTest, ValuesTheControlsCannotTakeShowWhatAFirstStartShows) {
  LoadedWindow first;
  first.load();
  EXPECT_FALSE(first.form.visible(controls.writeModeFrame) || first.form.visible(controls.autoStartBox) ||
               first.form.visible(controls.fileNamingGroup));
  load(
      "[USTAWIENIA]\r\nZMIANA=7\r\nplik=2\r\nplik dopisz=3\r\nKoniec ramki=9\r\nCR=300\r\nLF=-1\r\n"
      "TEKST=maybe\r\nplik stat=1\r\n" +
      kListening + "=5\r\n" + kHotKeys + "=-1\r\nAUTOSTART=40000\r\n");
  for (ui::ControlId id = 1; id < form.size(); ++id) {
    EXPECT_EQ(form.value(id), first.form.value(id)) << form.qualifiedName(id);
    EXPECT_EQ(form.visible(id), first.form.visible(id)) << form.qualifiedName(id);
  }
  EXPECT_EQ(settings.crReplacement, 13);
  EXPECT_EQ(settings.lfReplacement, 10);
  EXPECT_TRUE(settings.textMode);
  EXPECT_EQ(settings.fileNames, FileNaming::PerTransmission) << "any value but -1 is a name per transmission";
  EXPECT_EQ(setting("plik stat"), "0");
  EXPECT_EQ(setting("koniec ramki"), "2");
}

TEST_F(SettingsBindingTest, PortNumberIsStoredAsTheShortestTextOfItsNumber) {
  for (auto [stored, expected] :
       {std::pair{"abc", "0"}, {"012", "12"}, {"0", "0"}, {" 7x", "7"}, {"99999999999", "1"}}) {
    fake.plantSettings(std::string("[USTAWIENIA]\r\nNR PORTU=") + stored + "\r\n");
    binding.loadPortSettings();
    EXPECT_EQ(settings.portNumber, expected) << stored;
    EXPECT_EQ(form.caption(controls.portNumberValue), expected);
  }
}

TEST_F(SettingsBindingTest, PathsUpToWhatTheProgramWritesAreRead) {
  // The longest folder the folder choice returns, with its final "\".
  const std::string longest = "c:\\" + std::string(256, 'e') + "\\";
  fake.plantSettings("[USTAWIENIA]\r\nPathDir=" + longest + "\r\n");
  EXPECT_EQ(store.read("PathDir", "default"), longest);
  // Anything that fills the read buffer is taken as absent, never cut.
  fake.plantSettings("[USTAWIENIA]\r\nPathDir=" + std::string(261, 'x') + "\r\n");
  EXPECT_EQ(store.read("PathDir", "default"), "default");
}

// A click on every control that writes a key, with what it writes; a
// selector is open while they are clicked, and every write is refused.
class EveryControlTest : public SettingsBindingTest {
 protected:
  struct Click {
    ui::ControlId control;
    std::string key, value;
  };
  void SetUp() override {
    store.onWriteFailed([this] { ++failures; });
    load();
    fake.profiles.readOnly = true;
    form.setContainer(controls.speedSelector, controls.connectionSection);  // a selector opened
  }
  // Clicks them all, `after` seeing the writes of each click.
  void clickAll(const std::function<void(const Click&)>& after = nullptr) {
    const Click clicks[] = {{controls.numericDataOption, "TEKST", "0"},
                            {controls.endOfFrameOptions[4], "koniec ramki", "4"},
                            {controls.dropCrBox, "CR", "0"},
                            {controls.dropLfBox, "LF", "0"},
                            {controls.decimalCommaBox, "ZMIANA", "0"},
                            {controls.toFileBox, "plik", "1"},
                            {controls.fileNamingOptions[1], "plik stat", "-1"},
                            {controls.writeModeOptions[1], "plik dopisz", "1"},
                            {controls.autoStartBox, "Autostart", "1"},
                            {controls.hotKeysBox, kHotKeys, "1"},
                            {controls.listeningBox, kListening, "1"},
                            {controls.listeningBox, kListening, "0"},
                            {controls.speed19200Button, kSpeed, "19200"},
                            {controls.parityOddButton, kParity, "O"},
                            {controls.dataBits7Button, "BITY DANYCH", "7"},
                            {controls.stopBits2Button, "BITY STOPU", "2"}};
    for (const auto& k : clicks) {
      fake.profiles.writes.clear();
      form.userClick(k.control);
      if (after) after(k);
    }
    binding.savePortNumber("0");
  }
  int failures = 0;
};

TEST_F(EveryControlTest, EveryControlWritesItsKeyInTheProgramsFormat) {
  clickAll([this](const Click& k) {
    ASSERT_EQ(fake.profiles.writes.size(), 1u) << form.qualifiedName(k.control);
    EXPECT_EQ(fake.profiles.writes[0].key, k.key);
    EXPECT_EQ(fake.profiles.writes[0].value, k.value);
  });
  EXPECT_EQ(fake.profiles.writes.back().key, "NR PORTU");
}

// The program reports each refusal and goes on with the new value.
TEST_F(EveryControlTest, ARefusedWriteLeavesTheNewValueInUse) {
  clickAll();
  EXPECT_EQ(failures, 17);
  EXPECT_EQ(setting("koniec ramki"), "2");
  EXPECT_FALSE(settings.textMode);
  EXPECT_EQ(settings.decimalComma, DecimalCommaMode::Off);
  EXPECT_EQ(settings.atFrameEnd, FrameEndReaction::EnterTabEnter);
  EXPECT_EQ(settings.crReplacement, 0);
  EXPECT_EQ(settings.output, OutputTarget::DataFile);
  EXPECT_EQ(settings.fileNames, FileNaming::PerDay);
  EXPECT_EQ(settings.portSpeed, "19200");
  EXPECT_TRUE(form.visible(controls.writeModeFrame) && form.visible(controls.hotKeysFrame));
  EXPECT_EQ(form.container(controls.speedSelector), controls.parkingHolder);
  EXPECT_EQ(form.caption(controls.speedValue), "19200");
  EXPECT_EQ(switchedOff, 1);
  EXPECT_EQ(applied, 5);
}

TEST_F(EveryControlTest, UncheckingToFileHidesTheOptionsOfFiles) {
  clickAll();
  form.userClick(controls.toFileBox);
  EXPECT_FALSE(form.visible(controls.fileNamingGroup) || form.visible(controls.autoStartBox) ||
               form.visible(controls.autoStartLabel));
}

// The second box means something only beside the first: it is disabled
// while the first is off.
TEST_F(SettingsBindingTest, TheWeightBoxesAreWrittenOnlyWhenClicked) {
  load();
  EXPECT_TRUE(fake.profiles.writes.size() > 0) << "a first start writes other keys";
  for (const auto& w : fake.profiles.writes) EXPECT_EQ(w.key.find("TYLKO"), std::string::npos) << w.key;
  fake.profiles.writes.clear();
  form.userClick(controls.weightOnlyBox);
  form.userClick(controls.stableOnlyBox);
  form.userClick(controls.weightOnlyBox);
  EXPECT_EQ(setting("TYLKO WAGA"), "0");
  EXPECT_EQ(setting("TYLKO STABILNA"), "1");
  EXPECT_EQ(fake.profiles.writes.size(), 3u);
  EXPECT_FALSE(settings.weightOnly);
}

TEST_F(SettingsBindingTest, TheSecondWeightBoxNeedsTheFirst) {
  load();
  EXPECT_FALSE(form.enabled(controls.stableOnlyBox));
  fake.profiles.writes.clear();
  form.userClick(controls.stableOnlyBox);
  EXPECT_TRUE(fake.profiles.writes.empty()) << "a disabled box takes no click";

  form.userClick(controls.weightOnlyBox);
  EXPECT_TRUE(form.enabled(controls.stableOnlyBox));
  form.userClick(controls.stableOnlyBox);
  form.userClick(controls.weightOnlyBox);
  EXPECT_FALSE(form.enabled(controls.stableOnlyBox));

  // Read back: the second box keeps its tick, disabled, until the first is on again.
  LoadedWindow again;
  again.load("[USTAWIENIA]\r\nTYLKO STABILNA=1\r\n");
  EXPECT_TRUE(again.form.isOn(controls.stableOnlyBox) && !again.form.enabled(controls.stableOnlyBox));
  EXPECT_TRUE(again.settings.stableOnly && !again.settings.weightOnly);
  again.load("[USTAWIENIA]\r\nTYLKO WAGA=1\r\nTYLKO STABILNA=1\r\n");
  EXPECT_TRUE(again.settings.weightOnly && again.form.enabled(controls.stableOnlyBox));
}

// The log box: enabled with "Tylko liczba" only, its key written only by a
// click, and a key stored without the weight mode kept as it is.
TEST_F(SettingsBindingTest, TheLogBoxFollowsTheWeightModeAndIsWrittenOnlyWhenClicked) {
  load();
  for (const auto& w : fake.profiles.writes) EXPECT_NE(w.key, "DZIENNIK");
  EXPECT_FALSE(form.enabled(controls.weighingLogBox));
  fake.profiles.writes.clear();
  form.userClick(controls.weighingLogBox);
  EXPECT_TRUE(fake.profiles.writes.empty()) << "a disabled box takes no click";
  form.userClick(controls.weightOnlyBox);
  form.userClick(controls.weighingLogBox);
  EXPECT_EQ(setting("DZIENNIK"), "1");
  EXPECT_TRUE(settings.weighingLog);
  form.userClick(controls.weightOnlyBox);
  EXPECT_FALSE(form.enabled(controls.weighingLogBox));

  LoadedWindow again;
  again.load("[USTAWIENIA]\r\nDZIENNIK=1\r\n");
  EXPECT_TRUE(again.form.isOn(controls.weighingLogBox) && !again.form.enabled(controls.weighingLogBox));
  again.load("[USTAWIENIA]\r\nTYLKO WAGA=1\r\nDZIENNIK=1\r\n");
  EXPECT_TRUE(again.settings.weighingLog && again.form.enabled(controls.weighingLogBox));
}

}  // namespace
}  // namespace pondex
