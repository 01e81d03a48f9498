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

TEST_F(KeyboardTest, TabReachesEverySettingOfTheOpenSectionAndNothingParked) {
  load(kHotKeysOn + "plik=1\r\nplik stat=-1\r\n");
  EXPECT_EQ(reachable(), withStrip({"chAutostart"})) << "no section open";
  const struct {
    ui::ControlId label;
    std::set<std::string> settings;
  } sections[] = {
      {c.LblUstawieniaPortu,
       {"LblNrPortuCap", "lblSpeedCap", "lblBitsDataCap", "lblBitsStopCap", "lblPariteCap", "Label4"}},
      {c.lblTransmisja, {"chHotKey", "lblPytanie", "lblTarowanie", "chNasluch"}},
      // The settled-only box stays out of reach while it is disabled.
      {c.lblRamka, {"Option1", "Option2", "chZmiana", "chZmianaLF", "chZmianaCR", "chTylkoWaga"}},
      {c.lblzdarzenia,
       {"opKoniecRamki(0)", "opKoniecRamki(1)", "opKoniecRamki(2)", "opKoniecRamki(3)", "opKoniecRamki(4)"}},
      {c.lblPlik,
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
  press(c.LblUstawieniaPortu);
  const auto section = reachable();

  press(c.lblSpeedCap);
  EXPECT_EQ(form.focused(), c.ButtonXP5) << "the focus starts on the current value, 9600";
  EXPECT_EQ(reachable(), (std::set<std::string>{"ButtonXP4", "ButtonXP5", "ButtonXP6"}));
  form.userCancel();  // Escape
  EXPECT_EQ(form.container(c.picSpeed), c.Smietnik);
  EXPECT_EQ(fake.setting("PR\xCA"
                         "DKO\x8C\xC6"),
            "<absent>")
      << "Escape stores nothing";
  EXPECT_EQ(reachable(), section);
  EXPECT_EQ(form.focused(), c.lblSpeedCap) << "back where the selector was opened";

  press(c.lblPariteCap);
  form.userClick(c.ButtonXP9);  // a value closes it
  EXPECT_EQ(fake.setting("PARZYSTO\x8C\xC6"), "E");
  EXPECT_EQ(reachable(), section);
  EXPECT_EQ(form.focused(), c.lblPariteCap);

  // The pad, and the address editor over it: the one opened last owns the
  // keyboard, and Escape closes them one at a time through their "Anuluj".
  press(c.LblNrPortuCap);
  form.gotFocus(c.CmdEthernet);
  form.userClick(c.CmdEthernet);
  EXPECT_EQ(form.focused(), c.txtIp[0]);
  EXPECT_EQ(reachable().count("txtPort"), 1u);
  EXPECT_EQ(reachable().count("ButtonXP1(0)"), 0u);
  form.userCancel();
  EXPECT_EQ(form.container(c.picEth), c.Smietnik);
  EXPECT_EQ(form.focused(), c.CmdEthernet);
  const auto pad = reachable();
  EXPECT_TRUE(pad.count("ButtonXP1(9)") && pad.count("cmdOkNrPortu") && pad.count("cmdNoNrPortu")) << "digits and keys";
  form.userCancel();
  EXPECT_EQ(form.container(c.picNrPort), c.Smietnik);
  EXPECT_EQ(form.caption(c.lblNrPortuVal), "1") << "Anuluj puts the stored number back";
  EXPECT_EQ(reachable(), section);

  press(c.Label4);
  EXPECT_EQ(form.focused(), c.txtIp[0]);
}

TEST_F(KeyboardTest, TheKeyPickerStartsOnTheKeySetAndEscapeKeepsIt) {
  load(kHotKeysOn);
  press(c.lblTransmisja);
  press(c.lblPytanie);
  EXPECT_EQ(form.focused(), c.cmdHotKey[9]);
  EXPECT_EQ(reachable().size(), 12u);
  form.userCancel();
  EXPECT_EQ(form.container(c.picKey), c.Smietnik);
  EXPECT_EQ(form.caption(c.lblPytanieVal), "F9");
  EXPECT_EQ(form.focused(), c.lblPytanie);
  EXPECT_EQ(reachable().count("chNasluch"), 1u);
}

TEST_F(KeyboardTest, AFocusLeftInAHiddenSectionMovesToTheNewSectionsLabel) {
  load();
  press(c.lblRamka);
  form.gotFocus(c.Option2);
  form.userClick(c.lblPlik);  // by mouse: the focus would stay on Option2
  EXPECT_EQ(form.focused(), c.lblPlik);
}

}  // namespace
}  // namespace pondex
