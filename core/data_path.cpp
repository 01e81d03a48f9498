#include "core/data_path.h"

#include "core/transform.h"

namespace pondex {
namespace {

constexpr const char* kProgramName = "Pon_dex";
// "BŁĄD ZAPISU" in Windows-1250.
constexpr const char* kWriteFailed =
    "B\xA3\xA5"
    "D ZAPISU";

WeightReader::Options weightOptions(const Settings& s) {
  return {.settledOnly = s.StableOnly, .separator = DotReplacement(s).front()};
}

}  // namespace

void DataPath::deliverPiece(const std::string& text) {
  if (text.empty()) return;
  if (weightMode()) {
    for (const auto& number : weights_.piece(text, weightOptions(settings_))) deliverReading(number);
    return;
  }
  if (settings_.FileMode == FileMode::DataFile && !out_.file.inTransmission()) beginFileTransmission();
  if (settings_.FileMode == FileMode::Keystrokes) out_.target.beforeTyping();
  std::string panelText;
  for (char received : text) {
    std::string ch(1, received);
    if (!TransformChar(settings_, ch)) continue;
    switch (settings_.FileMode) {
      case FileMode::DataFile:
        out_.file.WriteDataChar(ch);
        break;
      case FileMode::Keystrokes:
        // A received "~" is a character like any other, not the Enter of
        // the key syntax.
        if (ch == "~") {
          out_.emitter.typeLiteral('~');
        } else {
          out_.emitter.EmitKeys(ch);
        }
        break;
      case FileMode::Panel:
        panelText += ch;
        break;
    }
  }
  if (settings_.FileMode == FileMode::Panel) AddStringFastest(panelText);
  if (settings_.FileMode == FileMode::DataFile && out_.file.state() == DataFileWriter::State::Failed) {
    showDataFileState();
  }
}

void DataPath::endOfTransmission() {
  if (weightMode()) {
    if (auto number = weights_.silence(weightOptions(settings_))) deliverReading(*number);
    return;
  }
  if (settings_.FileMode == FileMode::Keystrokes) SendFrameEnd();
}

bool DataPath::weightMode() {
  if (settings_.WeightOnly != weightMode_) weights_.clear();
  weightMode_ = settings_.WeightOnly;
  return weightMode_;
}

void DataPath::deliverReading(const std::string& number) {
  switch (settings_.FileMode) {
    case FileMode::Keystrokes:
      // Only digits, a sign and a separator: nothing of the key syntax.
      out_.target.beforeTyping();
      out_.emitter.EmitKeys(number);
      SendFrameEnd();
      break;
    case FileMode::DataFile:
      beginFileTransmission(true);
      out_.file.WriteDataChar(number + "\r\n");
      if (out_.file.state() == DataFileWriter::State::Failed) showDataFileState();
      out_.file.CloseDataFile();
      break;
    case FileMode::Panel:
      AddStringFastest(number + "\r\n");
      break;
  }
}

void DataPath::beginFileTransmission(bool oneReading) {
  if (oneReading) {
    out_.file.OpenReadingFile(settings_);
  } else {
    out_.file.OpenDataFile(settings_);
  }
  showDataFileState();
  form_.setVisible(c_.txtTransmisja, true);
  (void)tray_.setPicture(TrayPicture::TransferIcon);
}

void DataPath::showDataFileState() {
  if (out_.file.state() == DataFileWriter::State::Failed) {
    // Shown without stopping anything: the window's path label and the
    // tray tip say that the data were not written, and where they should
    // have gone.
    const std::string error = std::to_string(out_.file.lastError());
    form_.setCaption(c_.LblPlikPath, std::string(kWriteFailed) + " (" + error + "): " + out_.file.path());
    form_.setForeColor(c_.LblPlikPath, ui::rgb(255, 0, 0));
    (void)tray_.setTip(std::string(kProgramName) + " - " + kWriteFailed + ": " + out_.file.path());
    return;
  }
  form_.setCaption(c_.LblPlikPath, out_.file.path());
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
      out_.emitter.EmitKeys("{TAB}");
      break;
    case FrameEndReaction::Enter:
    case FrameEndReaction::EnterTabEnter:
      out_.emitter.EmitKeys("{ENTER}");
      break;
    case FrameEndReaction::Nothing:
      break;
  }
}

void DataPath::CloseDataFile() {
  if (out_.file.inTransmission()) out_.file.CloseDataFile();
}

}  // namespace pondex
