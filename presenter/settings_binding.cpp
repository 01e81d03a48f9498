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
  form_.onClick(c_.decimalCommaBox, [this] { SaveDecimalCommaMode(); });
  form_.onClick(c_.toFileBox, [this] { SaveFileMode(); });
  for (auto id : c_.fileNamingOptions) form_.onClick(id, [this] { SaveStaticFileName(); });
  for (int i = 0; i < 2; ++i) {
    form_.onClick(c_.writeModeOptions[static_cast<std::size_t>(i)], [this, i] { SaveFileWriteMode(i); });
  }
  form_.onClick(c_.listeningBox, [this] { listeningBoxClicked(); });
  form_.onClick(c_.hotKeysBox, [this] { hotKeysBoxClicked(); });
  form_.onClick(c_.autoStartBox, [this] { autoStartBoxClicked(); });
  form_.onClick(c_.weightOnlyBox, [this] { SaveWeightOnly(); });
  form_.onClick(c_.stableOnlyBox, [this] { SaveStableOnly(); });
  form_.onClick(c_.dropCrBox, [this] { SaveCrRemoval(); });
  form_.onClick(c_.dropLfBox, [this] { SaveLfRemoval(); });
  form_.onClick(c_.textDataOption, [this] { SaveTextMode(); });
  form_.onClick(c_.numericDataOption, [this] { SaveTextMode(); });
  for (int i = 0; i < 5; ++i) {
    form_.onClick(c_.endOfFrameOptions[static_cast<std::size_t>(i)], [this, i] { SaveFrameEndReaction(i); });
  }
  form_.onClick(c_.speed4800Button, [this] { SavePortSpeed(form_.caption(c_.speed4800Button)); });
  form_.onClick(c_.speed9600Button, [this] { SavePortSpeed(form_.caption(c_.speed9600Button)); });
  form_.onClick(c_.speed19200Button, [this] { SavePortSpeed(form_.caption(c_.speed19200Button)); });
  form_.onClick(c_.parityNoneButton, [this] { SavePortParity(form_.caption(c_.parityNoneButton)); });
  form_.onClick(c_.parityOddButton, [this] { SavePortParity(form_.caption(c_.parityOddButton)); });
  form_.onClick(c_.parityEvenButton, [this] { SavePortParity(form_.caption(c_.parityEvenButton)); });
  form_.onClick(c_.dataBits8Button, [this] { SaveDataBits(form_.caption(c_.dataBits8Button)); });
  form_.onClick(c_.dataBits7Button, [this] { SaveDataBits(form_.caption(c_.dataBits7Button)); });
  form_.onClick(c_.stopBits2Button, [this] { SaveStopBits(form_.caption(c_.stopBits2Button)); });
  form_.onClick(c_.stopBits1Button, [this] { SaveStopBits(form_.caption(c_.stopBits1Button)); });
}

void SettingsBinding::LoadSettings() {
  const int decimalComma = checkBoxValue(store_.read(keys::kDecimalComma, defaults::kDecimalComma), 1);
  s_.DecimalCommaMode = static_cast<std::uint8_t>(decimalComma);
  form_.setValue(c_.decimalCommaBox, decimalComma);

  // "plik" 2 would mean the data panel, which is never stored.
  const auto fileMode = toInt16(store_.read(keys::kFileMode, defaults::kFileMode));
  s_.FileMode = storedFileMode(fileMode.value_or(0)).value_or(FileMode::Keystrokes);
  const bool toFile = s_.FileMode != FileMode::Keystrokes;
  form_.setVisible(c_.autoStartBox, toFile);
  form_.setVisible(c_.autoStartLabel, toFile);

  s_.StaticFileName = toInt16(store_.read(keys::kStaticFileName, defaults::kStaticFileName)).value_or(1);
  s_.FileWriteMode =
      inRangeOr<std::int16_t>(toInt16(store_.read(keys::kFileWriteMode, defaults::kFileWriteMode)), 0, 1, 0);

  form_.setValue(c_.toFileBox, storedValue(s_.FileMode));
  form_.setVisible(c_.fileNamingGroup, toFile);

  // The second assignment reads StaticFileName again, after the first one's
  // change handling may have rewritten it: every value but -1 ends as a
  // name per transmission, written back as "0".
  form_.setValue(c_.fileNamingOptions[0], s_.StaticFileName != -1 ? 1 : 0);
  form_.setValue(c_.fileNamingOptions[1], s_.StaticFileName != 0 ? 1 : 0);
  form_.setVisible(c_.writeModeFrame, form_.isOn(c_.fileNamingOptions[1]));

  form_.setValue(c_.writeModeOptions[static_cast<std::size_t>(s_.FileWriteMode)], 1);

  form_.setValue(c_.listeningBox, checkBoxValue(store_.read(keys::kListening, defaults::kCheckBox), 0));
  form_.setValue(c_.hotKeysBox, checkBoxValue(store_.read(keys::kHotKeys, defaults::kCheckBox), 0));
  form_.setValue(c_.autoStartBox, checkBoxValue(store_.read(keys::kAutostartRead, defaults::kCheckBox), 0));

  s_.CrReplacement = toByte(store_.read(keys::kCr, defaults::kCr)).value_or(13);
  s_.LfReplacement = toByte(store_.read(keys::kLf, defaults::kLf)).value_or(10);
  form_.setValue(c_.dropCrBox, s_.CrReplacement == 0 ? 1 : 0);
  form_.setValue(c_.dropLfBox, s_.LfReplacement == 0 ? 1 : 0);

  s_.QueryKeyName = store_.read(keys::kQueryKey, defaults::kQueryKey);
  s_.TareKeyName = store_.read(keys::kTareKey, defaults::kTareKey);
  form_.setCaption(c_.tareKeyValue, s_.TareKeyName);
  form_.setCaption(c_.queryKeyValue, s_.QueryKeyName);

  s_.TextMode = toBoolean(store_.read(keys::kTextMode, defaults::kTextMode)).value_or(true);
  form_.setValue(c_.textDataOption, s_.TextMode ? 1 : 0);
  form_.setValue(c_.numericDataOption, form_.isOn(c_.textDataOption) ? 0 : 1);

  const auto frameEnd = toInt16(store_.read(keys::kFrameEndRead, defaults::kFrameEnd));
  s_.FrameEndReaction = storedFrameEndReaction(frameEnd.value_or(2)).value_or(FrameEndReaction::Nothing);
  form_.setValue(c_.endOfFrameOptions[static_cast<std::size_t>(storedValue(s_.FrameEndReaction))], 1);

  s_.QueryCommand = store_.read(keys::kQueryCommand, defaults::kQueryCommand);
  s_.TareCommand = store_.read(keys::kTareCommand, defaults::kTareCommand);

  s_.DataDirectory = store_.readPath(keys::kDataDirectory, defaults::kDataDirectory);
  form_.setCaption(c_.dataFolderValue, s_.DataDirectory);

  s_.NetworkAddress = store_.read(keys::kNetworkAddress, defaults::kNetworkAddress);
  s_.NetworkPort = store_.read(keys::kNetworkPort, defaults::kNetworkPort);
  form_.setCaption(c_.addressValue, s_.NetworkAddress);
  form_.setCaption(c_.addressPortValue, s_.NetworkPort);

  // Both boxes are designed unchecked: a file without the keys writes
  // nothing for them.
  form_.setValue(c_.weightOnlyBox, checkBoxValue(store_.read(keys::kWeightOnly, defaults::kCheckBox), 0) == 1);
  form_.setValue(c_.stableOnlyBox, checkBoxValue(store_.read(keys::kStableOnly, defaults::kCheckBox), 0) == 1);

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
  form_.setCaption(c_.portNumberValue, s_.PortNumber);
  form_.setCaption(c_.speedValue, s_.PortSpeed);
  form_.setCaption(c_.parityValue, s_.PortParity);
  form_.setCaption(c_.dataBitsValue, s_.PortDataBits);
  form_.setCaption(c_.stopBitsValue, s_.PortStopBits);
}

void SettingsBinding::savePortValue(ui::ControlId selector, ui::ControlId valueLabel, std::string& value,
                                    const char* key, const std::string& text) {
  form_.setContainer(selector, c_.parkingHolder);
  form_.setCaption(valueLabel, text);
  value = text;
  store_.write(key, form_.caption(valueLabel));
  if (hooks_.applyPortSettings) hooks_.applyPortSettings();
}

void SettingsBinding::SavePortNumber(const std::string& text) {
  savePortValue(c_.portPad, c_.portNumberValue, s_.PortNumber, keys::kPortNumber, text);
}
void SettingsBinding::SavePortSpeed(const std::string& text) {
  savePortValue(c_.speedSelector, c_.speedValue, s_.PortSpeed, keys::kPortSpeed, text);
}
void SettingsBinding::SavePortParity(const std::string& text) {
  savePortValue(c_.paritySelector, c_.parityValue, s_.PortParity, keys::kPortParity, text);
}
void SettingsBinding::SaveDataBits(const std::string& text) {
  savePortValue(c_.dataBitsSelector, c_.dataBitsValue, s_.PortDataBits, keys::kPortDataBits, text);
}
void SettingsBinding::SaveStopBits(const std::string& text) {
  savePortValue(c_.stopBitsSelector, c_.stopBitsValue, s_.PortStopBits, keys::kPortStopBits, text);
}

void SettingsBinding::SaveTextMode() {
  s_.TextMode = form_.isOn(c_.textDataOption);
  store_.write(keys::kTextMode, booleanText(s_.TextMode));
}

void SettingsBinding::SaveDecimalCommaMode() {
  s_.DecimalCommaMode = static_cast<std::uint8_t>(form_.value(c_.decimalCommaBox));
  store_.write(keys::kDecimalComma, std::to_string(s_.DecimalCommaMode));
}

void SettingsBinding::SaveCommands() {
  store_.write(keys::kQueryCommand, s_.QueryCommand);
  store_.write(keys::kTareCommand, s_.TareCommand);
}

void SettingsBinding::SaveFileMode() {
  s_.FileMode = form_.value(c_.toFileBox) == 0 ? FileMode::Keystrokes : FileMode::DataFile;
  store_.write(keys::kFileMode, std::to_string(storedValue(s_.FileMode)));
  const bool toFile = s_.FileMode != FileMode::Keystrokes;
  form_.setVisible(c_.fileNamingGroup, toFile);
  form_.setVisible(c_.autoStartBox, toFile);
  form_.setVisible(c_.autoStartLabel, toFile);
}

void SettingsBinding::SaveStaticFileName() {
  s_.StaticFileName = form_.isOn(c_.fileNamingOptions[1]) ? -1 : 0;
  store_.write(keys::kStaticFileName, std::to_string(s_.StaticFileName));
  form_.setVisible(c_.writeModeFrame, s_.StaticFileName != 0);
}

void SettingsBinding::SaveFileWriteMode(int index) {
  s_.FileWriteMode = static_cast<std::int16_t>(index);
  store_.write(keys::kFileWriteMode, std::to_string(index));
}

void SettingsBinding::SaveCrRemoval() {
  s_.CrReplacement = form_.value(c_.dropCrBox) == 1 ? 0 : 13;
  store_.write(keys::kCr, std::to_string(s_.CrReplacement));
}

void SettingsBinding::SaveLfRemoval() {
  s_.LfReplacement = form_.value(c_.dropLfBox) == 1 ? 0 : 10;
  store_.write(keys::kLf, std::to_string(s_.LfReplacement));
}

void SettingsBinding::SaveFrameEndReaction(int index) {
  s_.FrameEndReaction = storedFrameEndReaction(index).value_or(FrameEndReaction::Nothing);
  store_.write(keys::kFrameEndWrite, std::to_string(index));
}

void SettingsBinding::listeningBoxClicked() {
  if (form_.value(c_.listeningBox) == 0 && hooks_.listeningSwitchedOff) hooks_.listeningSwitchedOff();
  store_.write(keys::kListening, std::to_string(form_.value(c_.listeningBox)));
}

void SettingsBinding::hotKeysBoxClicked() {
  form_.setVisible(c_.hotKeysFrame, form_.value(c_.hotKeysBox) == 1);
  store_.write(keys::kHotKeys, std::to_string(form_.value(c_.hotKeysBox)));
}

void SettingsBinding::SaveWeightOnly() {
  s_.WeightOnly = form_.value(c_.weightOnlyBox) == 1;
  form_.setEnabled(c_.stableOnlyBox, s_.WeightOnly);
  store_.write(keys::kWeightOnly, s_.WeightOnly ? "1" : "0");
}

void SettingsBinding::SaveStableOnly() {
  s_.StableOnly = form_.value(c_.stableOnlyBox) == 1;
  store_.write(keys::kStableOnly, s_.StableOnly ? "1" : "0");
}

void SettingsBinding::autoStartBoxClicked() {
  store_.write(keys::kAutostartWrite, std::to_string(form_.value(c_.autoStartBox)));
}

}  // namespace pondex
