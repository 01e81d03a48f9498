#include "presenter/settings_binding.h"

#include <optional>

#include "config/conversions.h"

namespace pondex {
namespace {

// A stored value the control cannot take is replaced by the key's default,
// so the window never shows an impossible state.
int checkBoxValue(const std::string& text, int fallback) {
  const auto v = toInt16(text);
  return v && *v >= 0 && *v <= 2 ? *v : fallback;
}

template <typename T>
T inRangeOr(std::optional<T> value, T low, T high, T fallback) {
  return value && *value >= low && *value <= high ? *value : fallback;
}

}  // namespace

void SettingsBinding::bind(Hooks hooks) {
  hooks_ = std::move(hooks);
  form_.onClick(c_.chZmiana, [this] { SaveDecimalCommaMode(); });
  form_.onClick(c_.ChPlik, [this] { SaveFileMode(); });
  for (auto id : c_.optPlik) form_.onClick(id, [this] { SaveStaticFileName(); });
  for (int i = 0; i < 2; ++i) {
    form_.onClick(c_.optDopisywanie[static_cast<std::size_t>(i)], [this, i] { SaveFileWriteMode(i); });
  }
  form_.onClick(c_.chNasluch, [this] { chNasluchClick(); });
  form_.onClick(c_.chHotKey, [this] { chHotKeyClick(); });
  form_.onClick(c_.chAutostart, [this] { chAutostartClick(); });
  form_.onClick(c_.chTylkoWaga, [this] { SaveWeightOnly(); });
  form_.onClick(c_.chTylkoStabilna, [this] { SaveStableOnly(); });
  form_.onClick(c_.chZmianaCR, [this] { SaveCrRemoval(); });
  form_.onClick(c_.chZmianaLF, [this] { SaveLfRemoval(); });
  form_.onClick(c_.Option1, [this] { SaveTextMode(); });
  form_.onClick(c_.Option2, [this] { SaveTextMode(); });
  for (int i = 0; i < 5; ++i) {
    form_.onClick(c_.opKoniecRamki[static_cast<std::size_t>(i)], [this, i] { SaveFrameEndReaction(i); });
  }
  form_.onClick(c_.ButtonXP4, [this] { SavePortSpeed(form_.caption(c_.ButtonXP4)); });
  form_.onClick(c_.ButtonXP5, [this] { SavePortSpeed(form_.caption(c_.ButtonXP5)); });
  form_.onClick(c_.ButtonXP6, [this] { SavePortSpeed(form_.caption(c_.ButtonXP6)); });
  form_.onClick(c_.ButtonXP7, [this] { SavePortParity(form_.caption(c_.ButtonXP7)); });
  form_.onClick(c_.ButtonXP8, [this] { SavePortParity(form_.caption(c_.ButtonXP8)); });
  form_.onClick(c_.ButtonXP9, [this] { SavePortParity(form_.caption(c_.ButtonXP9)); });
  form_.onClick(c_.ButtonXP10, [this] { SaveDataBits(form_.caption(c_.ButtonXP10)); });
  form_.onClick(c_.ButtonXP13, [this] { SaveDataBits(form_.caption(c_.ButtonXP13)); });
  form_.onClick(c_.ButtonXP11, [this] { SaveStopBits(form_.caption(c_.ButtonXP11)); });
  form_.onClick(c_.ButtonXP12, [this] { SaveStopBits(form_.caption(c_.ButtonXP12)); });
}

void SettingsBinding::LoadSettings() {
  const int decimalComma = checkBoxValue(store_.read(keys::kDecimalComma, defaults::kDecimalComma), 1);
  s_.DecimalCommaMode = static_cast<std::uint8_t>(decimalComma);
  form_.setValue(c_.chZmiana, decimalComma);

  // "plik" 2 would mean the data panel, which is never stored.
  const auto fileMode = toInt16(store_.read(keys::kFileMode, defaults::kFileMode));
  s_.FileMode = storedFileMode(fileMode.value_or(0)).value_or(FileMode::Keystrokes);
  const bool toFile = s_.FileMode != FileMode::Keystrokes;
  form_.setVisible(c_.chAutostart, toFile);
  form_.setVisible(c_.lblAutostart, toFile);

  s_.StaticFileName = toInt16(store_.read(keys::kStaticFileName, defaults::kStaticFileName)).value_or(1);
  s_.FileWriteMode =
      inRangeOr<std::int16_t>(toInt16(store_.read(keys::kFileWriteMode, defaults::kFileWriteMode)), 0, 1, 0);

  form_.setValue(c_.ChPlik, storedValue(s_.FileMode));
  form_.setVisible(c_.Picture16, toFile);

  // The second assignment reads StaticFileName again, after the first one's
  // change handling may have rewritten it: every value but -1 ends as a
  // name per transmission, written back as "0".
  form_.setValue(c_.optPlik[0], s_.StaticFileName != -1 ? 1 : 0);
  form_.setValue(c_.optPlik[1], s_.StaticFileName != 0 ? 1 : 0);
  form_.setVisible(c_.Frame4, form_.isOn(c_.optPlik[1]));

  form_.setValue(c_.optDopisywanie[static_cast<std::size_t>(s_.FileWriteMode)], 1);

  form_.setValue(c_.chNasluch, checkBoxValue(store_.read(keys::kListening, defaults::kCheckBox), 0));
  form_.setValue(c_.chHotKey, checkBoxValue(store_.read(keys::kHotKeys, defaults::kCheckBox), 0));
  form_.setValue(c_.chAutostart, checkBoxValue(store_.read(keys::kAutostartRead, defaults::kCheckBox), 0));

  s_.CrReplacement = toByte(store_.read(keys::kCr, defaults::kCr)).value_or(13);
  s_.LfReplacement = toByte(store_.read(keys::kLf, defaults::kLf)).value_or(10);
  form_.setValue(c_.chZmianaCR, s_.CrReplacement == 0 ? 1 : 0);
  form_.setValue(c_.chZmianaLF, s_.LfReplacement == 0 ? 1 : 0);

  s_.QueryKeyName = store_.read(keys::kQueryKey, defaults::kQueryKey);
  s_.TareKeyName = store_.read(keys::kTareKey, defaults::kTareKey);
  form_.setCaption(c_.lblTarowanieVal, s_.TareKeyName);
  form_.setCaption(c_.lblPytanieVal, s_.QueryKeyName);

  s_.TextMode = toBoolean(store_.read(keys::kTextMode, defaults::kTextMode)).value_or(true);
  form_.setValue(c_.Option1, s_.TextMode ? 1 : 0);
  form_.setValue(c_.Option2, form_.isOn(c_.Option1) ? 0 : 1);

  const auto frameEnd = toInt16(store_.read(keys::kFrameEndRead, defaults::kFrameEnd));
  s_.FrameEndReaction = storedFrameEndReaction(frameEnd.value_or(2)).value_or(FrameEndReaction::Nothing);
  form_.setValue(c_.opKoniecRamki[static_cast<std::size_t>(storedValue(s_.FrameEndReaction))], 1);

  s_.QueryCommand = store_.read(keys::kQueryCommand, defaults::kQueryCommand);
  s_.TareCommand = store_.read(keys::kTareCommand, defaults::kTareCommand);

  s_.DataDirectory = store_.read(keys::kDataDirectory, defaults::kDataDirectory);
  form_.setCaption(c_.LblPlikPath, s_.DataDirectory);

  s_.NetworkAddress = store_.read(keys::kNetworkAddress, defaults::kNetworkAddress);
  s_.NetworkPort = store_.read(keys::kNetworkPort, defaults::kNetworkPort);
  form_.setCaption(c_.lblEthIp, s_.NetworkAddress);
  form_.setCaption(c_.lblEthPort, s_.NetworkPort);

  // Both boxes are designed unchecked: a file without the keys writes
  // nothing for them.
  form_.setValue(c_.chTylkoWaga, checkBoxValue(store_.read(keys::kWeightOnly, defaults::kCheckBox), 0) == 1);
  form_.setValue(c_.chTylkoStabilna, checkBoxValue(store_.read(keys::kStableOnly, defaults::kCheckBox), 0) == 1);

  LoadPortSettings();
}

void SettingsBinding::LoadPortSettings() {
  // Stored as the shortest decimal text of its number ("03" is "3", text
  // without digits "0"); a number beyond any port takes the default.
  const auto number = toInt32(store_.read(keys::kPortNumber, defaults::kPortNumber));
  s_.PortNumber = number ? std::to_string(*number) : defaults::kPortNumber;
  s_.PortSpeed = store_.read(keys::kPortSpeed, defaults::kPortSpeed);
  s_.PortParity = store_.read(keys::kPortParity, defaults::kPortParity);
  s_.PortDataBits = store_.read(keys::kPortDataBits, defaults::kPortDataBits);
  s_.PortStopBits = store_.read(keys::kPortStopBits, defaults::kPortStopBits);
  form_.setCaption(c_.lblNrPortuVal, s_.PortNumber);
  form_.setCaption(c_.lblSpeedVal, s_.PortSpeed);
  form_.setCaption(c_.lblPariteVal, s_.PortParity);
  form_.setCaption(c_.lblBitsDataVal, s_.PortDataBits);
  form_.setCaption(c_.lblBitsStopVal, s_.PortStopBits);
}

void SettingsBinding::savePortValue(ui::ControlId selector, ui::ControlId valueLabel, std::string& value,
                                    const char* key, const std::string& text) {
  form_.setContainer(selector, c_.Smietnik);
  form_.setCaption(valueLabel, text);
  value = text;
  store_.write(key, form_.caption(valueLabel));
  if (hooks_.applyPortSettings) hooks_.applyPortSettings();
}

void SettingsBinding::SavePortNumber(const std::string& text) {
  savePortValue(c_.picNrPort, c_.lblNrPortuVal, s_.PortNumber, keys::kPortNumber, text);
}
void SettingsBinding::SavePortSpeed(const std::string& text) {
  savePortValue(c_.picSpeed, c_.lblSpeedVal, s_.PortSpeed, keys::kPortSpeed, text);
}
void SettingsBinding::SavePortParity(const std::string& text) {
  savePortValue(c_.picParite, c_.lblPariteVal, s_.PortParity, keys::kPortParity, text);
}
void SettingsBinding::SaveDataBits(const std::string& text) {
  savePortValue(c_.picData, c_.lblBitsDataVal, s_.PortDataBits, keys::kPortDataBits, text);
}
void SettingsBinding::SaveStopBits(const std::string& text) {
  savePortValue(c_.picStop, c_.lblBitsStopVal, s_.PortStopBits, keys::kPortStopBits, text);
}

void SettingsBinding::SaveTextMode() {
  s_.TextMode = form_.isOn(c_.Option1);
  store_.write(keys::kTextMode, booleanText(s_.TextMode));
}

void SettingsBinding::SaveDecimalCommaMode() {
  s_.DecimalCommaMode = static_cast<std::uint8_t>(form_.value(c_.chZmiana));
  store_.write(keys::kDecimalComma, std::to_string(s_.DecimalCommaMode));
}

void SettingsBinding::SaveCommands() {
  store_.write(keys::kQueryCommand, s_.QueryCommand);
  store_.write(keys::kTareCommand, s_.TareCommand);
}

void SettingsBinding::SaveFileMode() {
  s_.FileMode = form_.value(c_.ChPlik) == 0 ? FileMode::Keystrokes : FileMode::DataFile;
  store_.write(keys::kFileMode, std::to_string(storedValue(s_.FileMode)));
  const bool toFile = s_.FileMode != FileMode::Keystrokes;
  form_.setVisible(c_.Picture16, toFile);
  form_.setVisible(c_.chAutostart, toFile);
  form_.setVisible(c_.lblAutostart, toFile);
}

void SettingsBinding::SaveStaticFileName() {
  s_.StaticFileName = form_.isOn(c_.optPlik[1]) ? -1 : 0;
  store_.write(keys::kStaticFileName, std::to_string(s_.StaticFileName));
  form_.setVisible(c_.Frame4, s_.StaticFileName != 0);
}

void SettingsBinding::SaveFileWriteMode(int index) {
  s_.FileWriteMode = static_cast<std::int16_t>(index);
  store_.write(keys::kFileWriteMode, std::to_string(index));
}

void SettingsBinding::SaveCrRemoval() {
  s_.CrReplacement = form_.value(c_.chZmianaCR) == 1 ? 0 : 13;
  store_.write(keys::kCr, std::to_string(s_.CrReplacement));
}

void SettingsBinding::SaveLfRemoval() {
  s_.LfReplacement = form_.value(c_.chZmianaLF) == 1 ? 0 : 10;
  store_.write(keys::kLf, std::to_string(s_.LfReplacement));
}

void SettingsBinding::SaveFrameEndReaction(int index) {
  s_.FrameEndReaction = storedFrameEndReaction(index).value_or(FrameEndReaction::Nothing);
  store_.write(keys::kFrameEndWrite, std::to_string(index));
}

void SettingsBinding::chNasluchClick() {
  if (form_.value(c_.chNasluch) == 0 && hooks_.listeningSwitchedOff) hooks_.listeningSwitchedOff();
  store_.write(keys::kListening, std::to_string(form_.value(c_.chNasluch)));
}

void SettingsBinding::chHotKeyClick() {
  form_.setVisible(c_.frmHotKey, form_.value(c_.chHotKey) == 1);
  store_.write(keys::kHotKeys, std::to_string(form_.value(c_.chHotKey)));
}

void SettingsBinding::SaveWeightOnly() {
  s_.WeightOnly = form_.value(c_.chTylkoWaga) == 1;
  form_.setEnabled(c_.chTylkoStabilna, s_.WeightOnly);
  store_.write(keys::kWeightOnly, s_.WeightOnly ? "1" : "0");
}

void SettingsBinding::SaveStableOnly() {
  s_.StableOnly = form_.value(c_.chTylkoStabilna) == 1;
  store_.write(keys::kStableOnly, s_.StableOnly ? "1" : "0");
}

void SettingsBinding::chAutostartClick() {
  store_.write(keys::kAutostartWrite, std::to_string(form_.value(c_.chAutostart)));
}

}  // namespace pondex
