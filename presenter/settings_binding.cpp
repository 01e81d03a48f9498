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
  form_.onClick(controls_.decimalCommaBox, [this] { saveDecimalComma(); });
  form_.onClick(controls_.toFileBox, [this] { saveToFile(); });
  for (auto id : controls_.fileNamingOptions) form_.onClick(id, [this] { saveFileNaming(); });
  for (int i = 0; i < 2; ++i) {
    form_.onClick(controls_.writeModeOptions[static_cast<std::size_t>(i)], [this, i] { saveWriteMode(i); });
  }
  form_.onClick(controls_.listeningBox, [this] { listeningBoxClicked(); });
  form_.onClick(controls_.hotKeysBox, [this] { hotKeysBoxClicked(); });
  form_.onClick(controls_.autoStartBox, [this] { autoStartBoxClicked(); });
  form_.onClick(controls_.weightOnlyBox, [this] { saveWeightOnly(); });
  form_.onClick(controls_.stableOnlyBox, [this] { saveStableOnly(); });
  form_.onClick(controls_.weighingLogBox, [this] { saveWeighingLog(); });
  form_.onClick(controls_.dropCrBox, [this] { saveCrRemoval(); });
  form_.onClick(controls_.dropLfBox, [this] { saveLfRemoval(); });
  form_.onClick(controls_.textDataOption, [this] { saveTextMode(); });
  form_.onClick(controls_.numericDataOption, [this] { saveTextMode(); });
  for (int i = 0; i < 5; ++i) {
    form_.onClick(controls_.endOfFrameOptions[static_cast<std::size_t>(i)], [this, i] { saveFrameEndReaction(i); });
  }
  form_.onClick(controls_.speed4800Button, [this] { savePortSpeed(form_.caption(controls_.speed4800Button)); });
  form_.onClick(controls_.speed9600Button, [this] { savePortSpeed(form_.caption(controls_.speed9600Button)); });
  form_.onClick(controls_.speed19200Button, [this] { savePortSpeed(form_.caption(controls_.speed19200Button)); });
  form_.onClick(controls_.parityNoneButton, [this] { savePortParity(form_.caption(controls_.parityNoneButton)); });
  form_.onClick(controls_.parityOddButton, [this] { savePortParity(form_.caption(controls_.parityOddButton)); });
  form_.onClick(controls_.parityEvenButton, [this] { savePortParity(form_.caption(controls_.parityEvenButton)); });
  form_.onClick(controls_.dataBits8Button, [this] { saveDataBits(form_.caption(controls_.dataBits8Button)); });
  form_.onClick(controls_.dataBits7Button, [this] { saveDataBits(form_.caption(controls_.dataBits7Button)); });
  form_.onClick(controls_.stopBits2Button, [this] { saveStopBits(form_.caption(controls_.stopBits2Button)); });
  form_.onClick(controls_.stopBits1Button, [this] { saveStopBits(form_.caption(controls_.stopBits1Button)); });
}

void SettingsBinding::load() {
  const int decimalComma = checkBoxValue(store_.read(keys::kDecimalComma, defaults::kDecimalComma), 1);
  settings_.decimalComma = storedDecimalCommaMode(decimalComma).value_or(DecimalCommaMode::On);
  form_.setValue(controls_.decimalCommaBox, decimalComma);

  // "plik" 2 would mean the data panel, which is never stored.
  const auto fileMode = toInt16(store_.read(keys::kFileMode, defaults::kFileMode));
  settings_.output = storedOutputTarget(fileMode.value_or(0)).value_or(OutputTarget::Keystrokes);
  const bool toFile = settings_.output != OutputTarget::Keystrokes;
  form_.setVisible(controls_.autoStartBox, toFile);
  form_.setVisible(controls_.autoStartLabel, toFile);

  settings_.fileNames =
      storedFileNaming(toInt16(store_.read(keys::kStaticFileName, defaults::kStaticFileName)).value_or(1));
  settings_.existingFile =
      storedWriteMode(toInt16(store_.read(keys::kFileWriteMode, defaults::kFileWriteMode)).value_or(0))
          .value_or(WriteMode::Append);

  form_.setValue(controls_.toFileBox, storedValue(settings_.output));
  form_.setVisible(controls_.fileNamingGroup, toFile);

  // Turning an option on runs its change handling: a name per transmission
  // is written back as "0", whatever number was stored for it.
  form_.setValue(controls_.fileNamingOptions[0], settings_.fileNames == FileNaming::PerTransmission ? 1 : 0);
  form_.setValue(controls_.fileNamingOptions[1], settings_.fileNames == FileNaming::PerDay ? 1 : 0);
  form_.setVisible(controls_.writeModeFrame, form_.isOn(controls_.fileNamingOptions[1]));

  form_.setValue(controls_.writeModeOptions[static_cast<std::size_t>(storedValue(settings_.existingFile))], 1);

  form_.setValue(controls_.listeningBox, checkBoxValue(store_.read(keys::kListening, defaults::kCheckBox), 0));
  form_.setValue(controls_.hotKeysBox, checkBoxValue(store_.read(keys::kHotKeys, defaults::kCheckBox), 0));
  form_.setValue(controls_.autoStartBox, checkBoxValue(store_.read(keys::kAutostartRead, defaults::kCheckBox), 0));

  settings_.crReplacement = toByte(store_.read(keys::kCr, defaults::kCr)).value_or(13);
  settings_.lfReplacement = toByte(store_.read(keys::kLf, defaults::kLf)).value_or(10);
  form_.setValue(controls_.dropCrBox, settings_.crReplacement == 0 ? 1 : 0);
  form_.setValue(controls_.dropLfBox, settings_.lfReplacement == 0 ? 1 : 0);

  settings_.queryKeyName = store_.read(keys::kQueryKey, defaults::kQueryKey);
  settings_.tareKeyName = store_.read(keys::kTareKey, defaults::kTareKey);
  form_.setCaption(controls_.tareKeyValue, settings_.tareKeyName);
  form_.setCaption(controls_.queryKeyValue, settings_.queryKeyName);

  settings_.textMode = toBoolean(store_.read(keys::kTextMode, defaults::kTextMode)).value_or(true);
  form_.setValue(controls_.textDataOption, settings_.textMode ? 1 : 0);
  form_.setValue(controls_.numericDataOption, form_.isOn(controls_.textDataOption) ? 0 : 1);

  const auto frameEnd = toInt16(store_.read(keys::kFrameEndRead, defaults::kFrameEnd));
  settings_.atFrameEnd = storedFrameEndReaction(frameEnd.value_or(2)).value_or(FrameEndReaction::Nothing);
  form_.setValue(controls_.endOfFrameOptions[static_cast<std::size_t>(storedValue(settings_.atFrameEnd))], 1);

  settings_.queryCommand = store_.read(keys::kQueryCommand, defaults::kQueryCommand);
  settings_.tareCommand = store_.read(keys::kTareCommand, defaults::kTareCommand);

  settings_.dataDirectory = store_.readPath(keys::kDataDirectory, defaults::kDataDirectory);
  form_.setCaption(controls_.dataFolderValue, settings_.dataDirectory);

  settings_.networkAddress = store_.read(keys::kNetworkAddress, defaults::kNetworkAddress);
  settings_.networkPort = store_.read(keys::kNetworkPort, defaults::kNetworkPort);
  form_.setCaption(controls_.addressValue, settings_.networkAddress);
  form_.setCaption(controls_.addressPortValue, settings_.networkPort);

  // The boxes are designed unchecked: a file without the keys writes
  // nothing for them.
  form_.setValue(controls_.weightOnlyBox, checkBoxValue(store_.read(keys::kWeightOnly, defaults::kCheckBox), 0) == 1);
  form_.setValue(controls_.stableOnlyBox, checkBoxValue(store_.read(keys::kStableOnly, defaults::kCheckBox), 0) == 1);
  form_.setValue(controls_.weighingLogBox,
                 checkBoxValue(store_.read(keys::kWeighingLog, defaults::kCheckBox), 0) == 1);

  loadPortSettings();
}

void SettingsBinding::loadPortSettings() {
  // Stored as the shortest decimal text of its number ("03" is "3", text
  // without digits "0"); a number beyond any port takes the default.
  const auto number = toInt32(store_.read(keys::kPortNumber, defaults::kPortNumber));
  settings_.portNumber = number ? std::to_string(*number) : defaults::kPortNumber;
  settings_.portSpeed = store_.read(keys::kPortSpeed, defaults::kPortSpeed);
  settings_.portParity = store_.read(keys::kPortParity, defaults::kPortParity);
  settings_.portDataBits = store_.read(keys::kPortDataBits, defaults::kPortDataBits);
  settings_.portStopBits = store_.read(keys::kPortStopBits, defaults::kPortStopBits);
  form_.setCaption(controls_.portNumberValue, settings_.portNumber);
  form_.setCaption(controls_.speedValue, settings_.portSpeed);
  form_.setCaption(controls_.parityValue, settings_.portParity);
  form_.setCaption(controls_.dataBitsValue, settings_.portDataBits);
  form_.setCaption(controls_.stopBitsValue, settings_.portStopBits);
}

void SettingsBinding::savePortValue(ui::ControlId selector, ui::ControlId valueLabel, std::string& value,
                                    const char* key, const std::string& text) {
  form_.setContainer(selector, controls_.parkingHolder);
  form_.setCaption(valueLabel, text);
  value = text;
  store_.write(key, form_.caption(valueLabel));
  if (hooks_.applyPortSettings) hooks_.applyPortSettings();
}

void SettingsBinding::savePortNumber(const std::string& text) {
  savePortValue(controls_.portPad, controls_.portNumberValue, settings_.portNumber, keys::kPortNumber, text);
}
void SettingsBinding::savePortSpeed(const std::string& text) {
  savePortValue(controls_.speedSelector, controls_.speedValue, settings_.portSpeed, keys::kPortSpeed, text);
}
void SettingsBinding::savePortParity(const std::string& text) {
  savePortValue(controls_.paritySelector, controls_.parityValue, settings_.portParity, keys::kPortParity, text);
}
void SettingsBinding::saveDataBits(const std::string& text) {
  savePortValue(controls_.dataBitsSelector, controls_.dataBitsValue, settings_.portDataBits, keys::kPortDataBits, text);
}
void SettingsBinding::saveStopBits(const std::string& text) {
  savePortValue(controls_.stopBitsSelector, controls_.stopBitsValue, settings_.portStopBits, keys::kPortStopBits, text);
}

void SettingsBinding::saveTextMode() {
  settings_.textMode = form_.isOn(controls_.textDataOption);
  store_.write(keys::kTextMode, booleanText(settings_.textMode));
}

void SettingsBinding::saveDecimalComma() {
  settings_.decimalComma =
      storedDecimalCommaMode(form_.value(controls_.decimalCommaBox)).value_or(DecimalCommaMode::On);
  store_.write(keys::kDecimalComma, std::to_string(storedValue(settings_.decimalComma)));
}

void SettingsBinding::saveCommands() {
  store_.write(keys::kQueryCommand, settings_.queryCommand);
  store_.write(keys::kTareCommand, settings_.tareCommand);
}

void SettingsBinding::saveToFile() {
  settings_.output = form_.value(controls_.toFileBox) == 0 ? OutputTarget::Keystrokes : OutputTarget::DataFile;
  store_.write(keys::kFileMode, std::to_string(storedValue(settings_.output)));
  const bool toFile = settings_.output != OutputTarget::Keystrokes;
  form_.setVisible(controls_.fileNamingGroup, toFile);
  form_.setVisible(controls_.autoStartBox, toFile);
  form_.setVisible(controls_.autoStartLabel, toFile);
}

void SettingsBinding::saveFileNaming() {
  settings_.fileNames = form_.isOn(controls_.fileNamingOptions[1]) ? FileNaming::PerDay : FileNaming::PerTransmission;
  store_.write(keys::kStaticFileName, std::to_string(storedValue(settings_.fileNames)));
  form_.setVisible(controls_.writeModeFrame, settings_.fileNames == FileNaming::PerDay);
}

void SettingsBinding::saveWriteMode(int index) {
  settings_.existingFile = storedWriteMode(index).value_or(WriteMode::Append);
  store_.write(keys::kFileWriteMode, std::to_string(index));
}

void SettingsBinding::saveCrRemoval() {
  settings_.crReplacement = form_.value(controls_.dropCrBox) == 1 ? 0 : 13;
  store_.write(keys::kCr, std::to_string(settings_.crReplacement));
}

void SettingsBinding::saveLfRemoval() {
  settings_.lfReplacement = form_.value(controls_.dropLfBox) == 1 ? 0 : 10;
  store_.write(keys::kLf, std::to_string(settings_.lfReplacement));
}

void SettingsBinding::saveFrameEndReaction(int index) {
  settings_.atFrameEnd = storedFrameEndReaction(index).value_or(FrameEndReaction::Nothing);
  store_.write(keys::kFrameEndWrite, std::to_string(index));
}

void SettingsBinding::listeningBoxClicked() {
  if (form_.value(controls_.listeningBox) == 0 && hooks_.listeningSwitchedOff) hooks_.listeningSwitchedOff();
  store_.write(keys::kListening, std::to_string(form_.value(controls_.listeningBox)));
}

void SettingsBinding::hotKeysBoxClicked() {
  form_.setVisible(controls_.hotKeysFrame, form_.value(controls_.hotKeysBox) == 1);
  store_.write(keys::kHotKeys, std::to_string(form_.value(controls_.hotKeysBox)));
}

void SettingsBinding::saveWeightOnly() {
  settings_.weightOnly = form_.value(controls_.weightOnlyBox) == 1;
  form_.setEnabled(controls_.stableOnlyBox, settings_.weightOnly);
  form_.setEnabled(controls_.weighingLogBox, settings_.weightOnly);
  store_.write(keys::kWeightOnly, settings_.weightOnly ? "1" : "0");
}

void SettingsBinding::saveStableOnly() {
  settings_.stableOnly = form_.value(controls_.stableOnlyBox) == 1;
  store_.write(keys::kStableOnly, settings_.stableOnly ? "1" : "0");
}

void SettingsBinding::saveWeighingLog() {
  settings_.weighingLog = form_.value(controls_.weighingLogBox) == 1;
  store_.write(keys::kWeighingLog, settings_.weighingLog ? "1" : "0");
}

void SettingsBinding::autoStartBoxClicked() {
  store_.write(keys::kAutostartWrite, std::to_string(form_.value(controls_.autoStartBox)));
}

}  // namespace pondex
