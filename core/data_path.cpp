#include "core/data_path.h"

#include "core/transform.h"

namespace pondex {
namespace {

constexpr const char* kProgramName = "Pon_dex";

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
  reports_.transmissionStarted();
  (void)tray_.setPicture(TrayPicture::TransferIcon);
}

void DataPath::showDataFileState() {
  if (out_.file.state() == DataFileWriter::State::Failed) {
    // Shown without stopping anything: the window and the tray tip say
    // that the data were not written, and where they should have gone.
    reports_.fileFailed(out_.file.path(), out_.file.lastError());
    (void)tray_.setTip(std::string(kProgramName) + " - " + kWriteFailedText + ": " + out_.file.path());
    failureShown_ = true;
    return;
  }
  reports_.fileWritten(out_.file.path());
  if (failureShown_) {
    (void)tray_.setTip(kProgramName);
    failureShown_ = false;
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
