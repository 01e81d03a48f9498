#pragma once
// The main window (model name "KEY") as a control model: every control with
// its kind, container, built-in (Polish, UTF-8) caption, language key,
// design value and geometry, in control order. Panels and selectors start
// parked in the hidden holder ("Smietnik").
//
// The model names of the controls ("cmdStart", "Picture1", "ButtonXP4"...)
// are those of the design, which the renderer and the end-to-end tests look
// up; MainControls gives each one a name by its role.
#include <array>

#include "ui/form.h"

namespace pondex::ui {

// The design caption of the window; the start-up adds the help hint.
inline constexpr const char* kWindowCaption = "PON_DEX";
inline constexpr int kWindowWidth = 7250;  // twips of the client area, set at start-up
inline constexpr int kWindowHeight = 3750;

Form buildMainWindow();

// Ids of the controls the logic works with, looked up once.
struct MainControls {
  explicit MainControls(const Form& form);

  // Panels and the holder.
  ControlId parkingHolder;
  ControlId connectionSection, transmissionSection, frameSection, eventsSection, fileSection;
  ControlId addressEditor, keyPicker, portPad;
  ControlId speedSelector, dataBitsSelector, stopBitsSelector, paritySelector;
  // Groups inside the sections; hotKeysRule is the line under the hot keys box.
  ControlId hotKeysGroup, hotKeysRule, hotKeysFrame, fileNamingGroup, writeModeFrame;
  // The rows of the connection section.
  ControlId portNumberRow, speedRow, dataBitsRow, stopBitsRow, parityRow, addressRow;
  // The strip.
  ControlId startButton, hideButton, closeButton, autoStartBox, autoStartLabel;
  ControlId connectionLabel, transmissionLabel, frameLabel, eventsLabel, fileLabel;
  ControlId connectionMark, transmissionMark, frameMark, eventsMark, fileMark;
  // Settings controls.
  ControlId decimalCommaBox, dropCrBox, dropLfBox, textDataOption, numericDataOption;
  ControlId toFileBox, dataPanelBox, changeFolderButton;
  std::array<ControlId, 2> fileNamingOptions, writeModeOptions;
  std::array<ControlId, 5> endOfFrameOptions;
  ControlId listeningBox, hotKeysBox;
  ControlId queryLabel, tareLabel, queryKeyValue, tareKeyValue, keyPickerTitle;
  std::array<ControlId, 13> hotKeyButtons;  // elements 1..12; [0] unused
  ControlId portNumberValue, speedValue, parityValue, dataBitsValue, stopBitsValue;
  ControlId portNumberLabel, speedLabel, parityLabel, dataBitsLabel, stopBitsLabel, addressLabel;
  // The port pad and the selectors' choices.
  std::array<ControlId, 10> portDigitButtons;
  ControlId portApplyButton, portCancelButton, portClearButton, ethernetButton;
  ControlId speed4800Button, speed9600Button, speed19200Button;
  ControlId parityNoneButton, parityOddButton, parityEvenButton;
  ControlId dataBits8Button, dataBits7Button, stopBits2Button, stopBits1Button;
  // The address editor.
  std::array<ControlId, 4> addressPartBoxes;
  ControlId addressPortBox, addressApplyButton, addressCancelButton, addressClearButton;
  ControlId addressError, addressValue, addressPortValue;
  // Status lines and the invisible helpers.
  ControlId dataFolderValue, transmissionStatus, helpLabel, saveNotice, hiddenImage, trayPicture;
  ControlId trayMenu, showWindowItem, closeItem, helpItem;
  // Weights instead of characters (frame section).
  ControlId weightOnlyBox, stableOnlyBox;
  // The weighing log (file section).
  ControlId weighingLogBox;
};

}  // namespace pondex::ui
