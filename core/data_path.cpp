#include "core/data_path.h"

#include "core/transform.h"

namespace pondex {
namespace {

constexpr const char* kProgramName = "Pon_dex";
// "BŁĄD ZAPISU" in Windows-1250.
constexpr const char* kWriteFailed =
    "B\xA3\xA5"
    "D ZAPISU";

}  // namespace

void DataPath::deliverPiece(const std::string& text) {
  if (text.empty()) return;
  if (settings_.FileMode == FileMode::DataFile && !file_.inTransmission()) beginFileTransmission();
  std::string panelText;
  for (char received : text) {
    std::string ch(1, received);
    if (!TransformChar(settings_, ch)) continue;
    switch (settings_.FileMode) {
      case FileMode::DataFile:
        file_.WriteDataChar(ch);
        break;
      case FileMode::Keystrokes:
        // A received "~" is a character like any other, not the Enter of
        // the key syntax.
        if (ch == "~") {
          emitter_.typeLiteral('~');
        } else {
          emitter_.EmitKeys(ch);
        }
        break;
      case FileMode::Panel:
        panelText += ch;
        break;
    }
  }
  if (settings_.FileMode == FileMode::Panel) AddStringFastest(panelText);
  if (settings_.FileMode == FileMode::DataFile && file_.state() == DataFileWriter::State::Failed) {
    showDataFileState();
  }
}

void DataPath::beginFileTransmission() {
  file_.OpenDataFile(settings_);
  showDataFileState();
  form_.setVisible(c_.txtTransmisja, true);
  (void)tray_.setPicture(TrayPicture::TransferIcon);
}

void DataPath::showDataFileState() {
  if (file_.state() == DataFileWriter::State::Failed) {
    // Shown without stopping anything: the window's path label and the
    // tray tip say that the data were not written, and where they should
    // have gone.
    const std::string error = std::to_string(file_.lastError());
    form_.setCaption(c_.LblPlikPath, std::string(kWriteFailed) + " (" + error + "): " + file_.path());
    form_.setForeColor(c_.LblPlikPath, ui::rgb(255, 0, 0));
    (void)tray_.setTip(std::string(kProgramName) + " - " + kWriteFailed + ": " + file_.path());
    return;
  }
  form_.setCaption(c_.LblPlikPath, file_.path());
  if (form_.foreColor(c_.LblPlikPath) != ui::kBlack) {
    form_.setForeColor(c_.LblPlikPath, ui::kBlack);
    (void)tray_.setTip(kProgramName);
  }
}

void DataPath::SendFrameEnd() {
  // The two "ENTER >> TAB" options type only what their caption ends with:
  // the tab of the frame's own carriage return already came before.
  switch (settings_.FrameEndReaction) {
    case FrameEndReaction::Tab:
    case FrameEndReaction::EnterTab:
      emitter_.EmitKeys("{TAB}");
      break;
    case FrameEndReaction::Enter:
    case FrameEndReaction::EnterTabEnter:
      emitter_.EmitKeys("{ENTER}");
      break;
    case FrameEndReaction::Nothing:
      break;
  }
}

void DataPath::CloseDataFile() {
  if (file_.inTransmission()) file_.CloseDataFile();
}

void DataPath::AddStringFastest(const std::string& text) {
  if (panel_) panel_(text);
}

}  // namespace pondex
