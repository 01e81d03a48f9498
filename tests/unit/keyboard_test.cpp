// The settings window by keyboard alone, over the real controller: what Tab
// can reach in each state (only what is in sight, and all of a section's
// settings), selectors that own the keyboard while open and give it back
// when they close by any path, and the focus never left on a hidden control.
#include <algorithm>
#include <set>
#include <string>

#include "tests/unit/controller_fixture.h"

namespace pondex {
namespace {

class KeyboardTest : public ControllerFixture {
 protected:
  // The qualified names of the enabled tab stops a person can see.
  std::set<std::string> reachable() const {
    std::set<std::string> names;
    for (ui::ControlId id = 1; id < form.size(); ++id) {
      if (form.tabStop(id) && form.enabled(id) && form.kind(id) != ui::ControlKind::Container &&
          form.shownWithin(id, std::nullopt)) {
        names.insert(form.qualifiedName(id));
      }
    }
    return names;
  }
  // As a person does it: Tab to a label, then Enter.
  void press(ui::ControlId label) {
    form.gotFocus(label);
    form.userClick(label);
  }
};

const std::set<std::string> kStrip = {"LblUstawieniaPortu", "lblTransmisja", "lblRamka",  "lblzdarzenia", "lblPlik",
                                      "cmdStart",           "cmdUkryj",      "cmdZamknij"};

std::set<std::string> withStrip(std::set<std::string> names) {
  names.insert(kStrip.begin(), kStrip.end());
  return names;
}

TEST_F(KeyboardTest, TabReachesExactlyTheSettingsOfTheOpenSection) {
  load(kHotKeysOn + "plik=1\r\nplik stat=-1\r\n");
  EXPECT_EQ(reachable(), withStrip({"chAutostart"})) << "no section open";
  const struct {
    ui::ControlId label;
    std::set<std::string> settings;
  } sections[] = {
      {controls.connectionLabel,
       {"LblNrPortuCap", "lblSpeedCap", "lblBitsDataCap", "lblBitsStopCap", "lblPariteCap", "Label4"}},
      {controls.transmissionLabel, {"chHotKey", "lblPytanie", "lblTarowanie", "chNasluch"}},
      // The settled-only box stays out of reach while it is disabled.
      {controls.frameLabel, {"Option1", "Option2", "chZmiana", "chZmianaLF", "chZmianaCR", "chTylkoWaga"}},
      {controls.eventsLabel,
       {"opKoniecRamki(0)", "opKoniecRamki(1)", "opKoniecRamki(2)", "opKoniecRamki(3)", "opKoniecRamki(4)"}},
      {controls.fileLabel,
       {"ChPanel", "cmdUstaw", "ChPlik", "optPlik(0)", "optPlik(1)", "optDopisywanie(0)", "optDopisywanie(1)"}},
  };
  for (const auto& s : sections) {
    press(s.label);
    auto expected = withStrip(s.settings);
    expected.insert("chAutostart");
    EXPECT_EQ(reachable(), expected) << form.name(s.label);
  }
}

TEST_F(KeyboardTest, AnOpenSelectorOwnsTheKeyboardUntilItClosesByAnyPath) {
  load();
  press(controls.connectionLabel);
  const auto section = reachable();

  press(controls.speedLabel);
  EXPECT_EQ(form.focused(), controls.speed9600Button) << "the focus starts on the current value, 9600";
  EXPECT_EQ(reachable(), (std::set<std::string>{"ButtonXP4", "ButtonXP5", "ButtonXP6"}));
  form.userCancel();  // Escape
  EXPECT_EQ(form.container(controls.speedSelector), controls.parkingHolder);
  EXPECT_EQ(fake.setting("PR\xCA"
                         "DKO\x8C\xC6"),
            "<absent>")
      << "Escape stores nothing";
  EXPECT_EQ(reachable(), section);
  EXPECT_EQ(form.focused(), controls.speedLabel) << "back where the selector was opened";

  press(controls.parityLabel);
  form.userClick(controls.parityEvenButton);  // a value closes it
  EXPECT_EQ(fake.setting("PARZYSTO\x8C\xC6"), "E");
  EXPECT_EQ(reachable(), section);
  EXPECT_EQ(form.focused(), controls.parityLabel);

  // The pad, and the address editor over it: the one opened last owns the
  // keyboard, and Escape closes them one at a time through their "Anuluj".
  press(controls.portNumberLabel);
  form.gotFocus(controls.ethernetButton);
  form.userClick(controls.ethernetButton);
  EXPECT_EQ(form.focused(), controls.addressPartBoxes[0]);
  EXPECT_EQ(reachable().count("txtPort"), 1u);
  EXPECT_EQ(reachable().count("ButtonXP1(0)"), 0u);
  form.userCancel();
  EXPECT_EQ(form.container(controls.addressEditor), controls.parkingHolder);
  EXPECT_EQ(form.focused(), controls.ethernetButton);
  const auto pad = reachable();
  EXPECT_TRUE(pad.count("ButtonXP1(9)") && pad.count("cmdOkNrPortu") && pad.count("cmdNoNrPortu")) << "digits and keys";
  form.userCancel();
  EXPECT_EQ(form.container(controls.portPad), controls.parkingHolder);
  EXPECT_EQ(form.caption(controls.portNumberValue), "1") << "Anuluj puts the stored number back";
  EXPECT_EQ(reachable(), section);

  press(controls.addressLabel);
  EXPECT_EQ(form.focused(), controls.addressPartBoxes[0]);
}

// As the other selectors: it opens on the current value and Escape keeps it.
TEST_F(KeyboardTest, TheKeyPickerOwnsTheKeyboardFromTheKeySet) {
  load(kHotKeysOn);
  press(controls.transmissionLabel);
  press(controls.queryLabel);
  EXPECT_EQ(form.focused(), controls.hotKeyButtons[9]);
  EXPECT_EQ(reachable().size(), 12u);
  form.userCancel();
  EXPECT_EQ(form.container(controls.keyPicker), controls.parkingHolder);
  EXPECT_EQ(form.caption(controls.queryKeyValue), "F9");
  EXPECT_EQ(form.focused(), controls.queryLabel);
  EXPECT_EQ(reachable().count("chNasluch"), 1u);
}

TEST_F(KeyboardTest, AFocusLeftInAHiddenSectionMovesToTheNewSectionsLabel) {
  load();
  press(controls.frameLabel);
  form.gotFocus(controls.numericDataOption);
  form.userClick(controls.fileLabel);  // by mouse: the focus would stay on numericDataOption
  EXPECT_EQ(form.focused(), controls.fileLabel);
}

}  // namespace
}  // namespace pondex
