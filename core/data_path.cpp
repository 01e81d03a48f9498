// The data path of the main window: received text, character by character,
// to keystrokes, the data file or the data panel.
#include "config/settings.h"
#include "core/key.h"
#include "core/transform.h"

namespace pondex {
namespace {

// "BŁĄD ZAPISU" in Windows-1250.
constexpr const char* kWriteFailed =
    "B\xA3\xA5"
    "D ZAPISU";

}  // namespace

void Key::ProcessSerialData(const std::string& text) {
  if (!text.empty()) {
    Timer2_->setEnabled(false);
    Timer3_->setEnabled(false);
    Timer1_->setEnabled(false);
    if (!fileWriter_.inTransmission() && settings_.FileMode == 1) beginFileTransmission();
    for (char c : text) deliver(std::string(1, c));
    if (settings_.FileMode == 1 && fileWriter_.state() == DataFileWriter::State::Failed) showDataFileState();
  }
  Timer1_->setEnabled(true);
  Timer2_->setEnabled(true);
  p_.loop.yieldToPendingEvents();
}

void Key::deliver(std::string ch, std::string* panelText) {
  if (!TransformChar(settings_, ch)) return;
  switch (settings_.FileMode) {
    case 1:
      fileWriter_.WriteDataChar(ch);
      break;
    case 0:
      // A received "~" is a character like any other, not the Enter of the
      // key syntax.
      if (ch == "~") {
        emitter_.typeLiteral('~');
      } else {
        emitter_.EmitKeys(ch);
      }
      break;
    case 2:
      if (panelText != nullptr) {
        *panelText += ch;
      } else {
        AddStringFastest(ch);
      }
      break;
    default:
      break;
  }
}

void Key::beginFileTransmission() {
  fileWriter_.OpenDataFile(settings_);
  showDataFileState();
  form_.setVisible(c_.txtTransmisja, true);
  (void)p_.tray.setPicture(TrayPicture::TransferIcon);
}

void Key::showDataFileState() {
  if (fileWriter_.state() == DataFileWriter::State::Failed) {
    // Shown without stopping anything: the window's path label and the
    // tray tip say that the data were not written, and where they should
    // have gone.
    const std::string error = std::to_string(fileWriter_.lastError());
    form_.setCaption(c_.LblPlikPath, std::string(kWriteFailed) + " (" + error + "): " + fileWriter_.path());
    form_.setForeColor(c_.LblPlikPath, ui::rgb(255, 0, 0));
    (void)p_.tray.setTip(std::string(kProgramName) + " - " + kWriteFailed + ": " + fileWriter_.path());
    return;
  }
  form_.setCaption(c_.LblPlikPath, fileWriter_.path());
  if (form_.foreColor(c_.LblPlikPath) != ui::kBlack) {
    form_.setForeColor(c_.LblPlikPath, ui::kBlack);
    (void)p_.tray.setTip(kProgramName);
  }
}

void Key::SendFrameEnd() {
  const int reaction = settings_.FrameEndReaction;
  if (reaction == 1 || reaction == 3) emitter_.EmitKeys("{TAB}");
  if (reaction == 0 || reaction == 4) emitter_.EmitKeys("{ENTER}");
}

void Key::AddStringFastest(const std::string& text) {
  if (dataPanel_) dataPanel_(text);
}

}  // namespace pondex
