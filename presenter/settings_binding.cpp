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
  s_.decimalComma = storedDecimalCommaMode(decimalComma).value_or(DecimalCommaMode::On);
  form_.setValue(c_.decimalCommaBox, decimalComma);

  // "plik" 2 would mean the data panel, which is never stored.
  const auto fileMode = toInt16(store_.read(keys::kFileMode, defaults::kFileMode));
  s_.output = storedOutputTarget(fileMode.value_or(0)).value_or(OutputTarget::Keystrokes);
  const bool toFile = s_.output != OutputTarget::Keystrokes;
  form_.setVisible(c_.autoStartBox, toFile);
  form_.setVisible(c_.autoStartLabel, toFile);

  s_.fileNames = storedFileNaming(toInt16(store_.read(keys::kStaticFileName, defaults::kStaticFileName)).value_or(1));
  s_.existingFile = storedWriteMode(toInt16(store_.read(keys::kFileWriteMode, defaults::kFileWriteMode)).value_or(0))
                        .value_or(WriteMode::Append);

  form_.setValue(c_.toFileBox, storedValue(s_.output));
  form_.setVisible(c_.fileNamingGroup, toFile);

  // Turning an option on runs its change handling: a name per transmission
  // is written back as "0", whatever number was stored for it.
  form_.setValue(c_.fileNamingOptions[0], s_.fileNames == FileNaming::PerTransmission ? 1 : 0);
  form_.setValue(c_.fileNamingOptions[1], s_.fileNames == FileNaming::PerDay ? 1 : 0);
  form_.setVisible(c_.writeModeFrame, form_.isOn(c_.fileNamingOptions[1]));

  form_.setValue(c_.writeModeOptions[static_cast<std::size_t>(storedValue(s_.existingFile))], 1);

  form_.setValue(c_.listeningBox, checkBoxValue(store_.read(keys::kListening, defaults::kCheckBox), 0));
  form_.setValue(c_.hotKeysBox, checkBoxValue(store_.read(keys::kHotKeys, defaults::kCheckBox), 0));
  form_.setValue(c_.autoStartBox, checkBoxValue(store_.read(keys::kAutostartRead, defaults::kCheckBox), 0));

  s_.crReplacement = toByte(store_.read(keys::kCr, defaults::kCr)).value_or(13);
  s_.lfReplacement = toByte(store_.read(keys::kLf, defaults::kLf)).value_or(10);
  form_.setValue(c_.dropCrBox, s_.crReplacement == 0 ? 1 : 0);
  form_.setValue(c_.dropLfBox, s_.lfReplacement == 0 ? 1 : 0);

  s_.queryKeyName = store_.read(keys::kQueryKey, defaults::kQueryKey);
  s_.tareKeyName = store_.read(keys::kTareKey, defaults::kTareKey);
  form_.setCaption(c_.tareKeyValue, s_.tareKeyName);
  form_.setCaption(c_.queryKeyValue, s_.queryKeyName);

  s_.textMode = toBoolean(store_.read(keys::kTextMode, defaults::kTextMode)).value_or(true);
  form_.setValue(c_.textDataOption, s_.textMode ? 1 : 0);
  form_.setValue(c_.numericDataOption, form_.isOn(c_.textDataOption) ? 0 : 1);

  const auto frameEnd = toInt16(store_.read(keys::kFrameEndRead, defaults::kFrameEnd));
  s_.atFrameEnd = storedFrameEndReaction(frameEnd.value_or(2)).value_or(FrameEndReaction::Nothing);
  form_.setValue(c_.endOfFrameOptions[static_cast<std::size_t>(storedValue(s_.atFrameEnd))], 1);

  s_.queryCommand = store_.read(keys::kQueryCommand, defaults::kQueryCommand);
  s_.tareCommand = store_.read(keys::kTareCommand, defaults::kTareCommand);

  s_.dataDirectory = store_.readPath(keys::kDataDirectory, defaults::kDataDirectory);
  form_.setCaption(c_.dataFolderValue, s_.dataDirectory);

  s_.networkAddress = store_.read(keys::kNetworkAddress, defaults::kNetworkAddress);
  s_.networkPort = store_.read(keys::kNetworkPort, defaults::kNetworkPort);
  form_.setCaption(c_.addressValue, s_.networkAddress);
  form_.setCaption(c_.addressPortValue, s_.networkPort);

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
  s_.portNumber = number ? std::to_string(*number) : defaults::kPortNumber;
  s_.portSpeed = store_.read(keys::kPortSpeed, defaults::kPortSpeed);
  s_.portParity = store_.read(keys::kPortParity, defaults::kPortParity);
  s_.portDataBits = store_.read(keys::kPortDataBits, defaults::kPortDataBits);
  s_.portStopBits = store_.read(keys::kPortStopBits, defaults::kPortStopBits);
  form_.setCaption(c_.portNumberValue, s_.portNumber);
  form_.setCaption(c_.speedValue, s_.portSpeed);
  form_.setCaption(c_.parityValue, s_.portParity);
  form_.setCaption(c_.dataBitsValue, s_.portDataBits);
  form_.setCaption(c_.stopBitsValue, s_.portStopBits);
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
  savePortValue(c_.portPad, c_.portNumberValue, s_.portNumber, keys::kPortNumber, text);
}
void SettingsBinding::SavePortSpeed(const std::string& text) {
  savePortValue(c_.speedSelector, c_.speedValue, s_.portSpeed, keys::kPortSpeed, text);
}
void SettingsBinding::SavePortParity(const std::string& text) {
  savePortValue(c_.paritySelector, c_.parityValue, s_.portParity, keys::kPortParity, text);
}
void SettingsBinding::SaveDataBits(const std::string& text) {
  savePortValue(c_.dataBitsSelector, c_.dataBitsValue, s_.portDataBits, keys::kPortDataBits, text);
}
void SettingsBinding::SaveStopBits(const std::string& text) {
  savePortValue(c_.stopBitsSelector, c_.stopBitsValue, s_.portStopBits, keys::kPortStopBits, text);
}

void SettingsBinding::SaveTextMode() {
  s_.textMode = form_.isOn(c_.textDataOption);
  store_.write(keys::kTextMode, booleanText(s_.textMode));
}

void SettingsBinding::SaveDecimalCommaMode() {
  s_.decimalComma = storedDecimalCommaMode(form_.value(c_.decimalCommaBox)).value_or(DecimalCommaMode::On);
  store_.write(keys::kDecimalComma, std::to_string(storedValue(s_.decimalComma)));
}

void SettingsBinding::SaveCommands() {
  store_.write(keys::kQueryCommand, s_.queryCommand);
  store_.write(keys::kTareCommand, s_.tareCommand);
}

void SettingsBinding::SaveFileMode() {
  s_.output = form_.value(c_.toFileBox) == 0 ? OutputTarget::Keystrokes : OutputTarget::DataFile;
  store_.write(keys::kFileMode, std::to_string(storedValue(s_.output)));
  const bool toFile = s_.output != OutputTarget::Keystrokes;
  form_.setVisible(c_.fileNamingGroup, toFile);
  form_.setVisible(c_.autoStartBox, toFile);
  form_.setVisible(c_.autoStartLabel, toFile);
}

void SettingsBinding::SaveStaticFileName() {
  s_.fileNames = form_.isOn(c_.fileNamingOptions[1]) ? FileNaming::PerDay : FileNaming::PerTransmission;
  store_.write(keys::kStaticFileName, std::to_string(storedValue(s_.fileNames)));
  form_.setVisible(c_.writeModeFrame, s_.fileNames == FileNaming::PerDay);
}

void SettingsBinding::SaveFileWriteMode(int index) {
  s_.existingFile = storedWriteMode(index).value_or(WriteMode::Append);
  store_.write(keys::kFileWriteMode, std::to_string(index));
}

void SettingsBinding::SaveCrRemoval() {
  s_.crReplacement = form_.value(c_.dropCrBox) == 1 ? 0 : 13;
  store_.write(keys::kCr, std::to_string(s_.crReplacement));
}

void SettingsBinding::SaveLfRemoval() {
  s_.lfReplacement = form_.value(c_.dropLfBox) == 1 ? 0 : 10;
  store_.write(keys::kLf, std::to_string(s_.lfReplacement));
}

void SettingsBinding::SaveFrameEndReaction(int index) {
  s_.atFrameEnd = storedFrameEndReaction(index).value_or(FrameEndReaction::Nothing);
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
  s_.weightOnly = form_.value(c_.weightOnlyBox) == 1;
  form_.setEnabled(c_.stableOnlyBox, s_.weightOnly);
  store_.write(keys::kWeightOnly, s_.weightOnly ? "1" : "0");
}

void SettingsBinding::SaveStableOnly() {
  s_.stableOnly = form_.value(c_.stableOnlyBox) == 1;
  store_.write(keys::kStableOnly, s_.stableOnly ? "1" : "0");
}

void SettingsBinding::autoStartBoxClicked() {
  store_.write(keys::kAutostartWrite, std::to_string(form_.value(c_.autoStartBox)));
}

}  // namespace pondex
