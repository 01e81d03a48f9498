#include "core/data_path.h"

#include "core/transform.h"

namespace pondex {
namespace {

RecordAssembler::Options weightOptions(const Settings& s) {
  return {.settledOnly = s.stableOnly, .separator = dotReplacement(s).front()};
}

// The log's separator goes with the decimal mark the numbers are typed
// with, so that a spreadsheet of either locale opens the file as it is.
LogSeparator logSeparator(const Settings& s) {
  return dotReplacement(s) == "," ? LogSeparator::Semicolon : LogSeparator::Comma;
}

}  // namespace

DataPath::DataPath(const Settings& settings, Outputs outputs, Reports reports)
    : settings_(settings), out_(outputs), reports_(std::move(reports)) {
  records_.onRecognised([this](const Reading& reading) { showRecognised(reading); });
}

void DataPath::deliverPiece(const ReceivedText& piece) {
  const std::string& text = piece.bytes;
  if (text.empty()) return;
  if (weightMode()) {
    const auto closesBefore = closes_;
    for (const auto& line : lines_.add(piece)) {
      deliverReadings(records_.line(line, weightOptions(settings_)));
      if (closes_ != closesBefore) break;  // a reading closed the input: the rest came after the close
    }
    return;
  }
  if (settings_.output == OutputTarget::DataFile && !out_.file.inTransmission()) beginFileTransmission();
  if (settings_.output == OutputTarget::Keystrokes) out_.target.beforeTyping();
  std::string panelText;
  for (char received : text) {
    std::string ch(1, received);
    if (!transformChar(settings_, ch)) continue;
    switch (settings_.output) {
      case OutputTarget::DataFile:
        out_.file.write(ch);
        break;
      case OutputTarget::Keystrokes:
        // A received "~" is a character like any other, not the Enter of
        // the key syntax.
        if (ch == "~") {
          out_.emitter.typeLiteral('~');
        } else {
          out_.emitter.emitKeys(ch);
        }
        break;
      case OutputTarget::Panel:
        panelText += ch;
        break;
    }
  }
  if (settings_.output == OutputTarget::Panel) appendToPanel(panelText);
  if (settings_.output == OutputTarget::DataFile && out_.file.state() == DataFileWriter::State::Failed) {
    showDataFileState();
  }
}

void DataPath::endOfTransmission(Millis at) {
  if (weightMode()) {
    if (auto line = lines_.flush(at)) deliverReadings(records_.line(*line, weightOptions(settings_)));
    return;
  }
  if (settings_.output == OutputTarget::Keystrokes) typeFrameEnd();
}

void DataPath::inputOpened(Millis at) {
  // Characters are typed as they come, so in frame mode there is nothing
  // to keep whole.
  if (weightMode()) lines_.opened(at);
}

void DataPath::inputClosed() {
  ++closes_;
  if (!weightMode()) return;
  lines_.closed();
  records_.dropPending();
}

std::optional<Millis> DataPath::readingDeadline() const {
  if (!weightMode_) return std::nullopt;
  return records_.deadline();
}

void DataPath::readingTimeUp(Millis now) {
  if (weightMode()) deliverReadings(records_.timeUp(now, weightOptions(settings_)));
}

bool DataPath::weightMode() {
  if (settings_.weightOnly != weightMode_) {
    lines_.closed();
    records_.clear();
  }
  weightMode_ = settings_.weightOnly;
  return weightMode_;
}

void DataPath::deliverReadings(const std::vector<Reading>& readings) {
  for (const auto& reading : readings) {
    deliverReading(reading);
    if (reports_.readingDelivered) reports_.readingDelivered();
  }
}

LoggedReading DataPath::logged(const Reading& reading) const {
  return {.number = reading.number,
          .unit = reading.unit,
          .settled = reading.settled,
          .answer = reading.answer,
          .endedAt = shifted(out_.clock.localNow(), reading.lineEndedAt - out_.loop.now())};
}

void DataPath::showRecognised(const Reading& reading) {
  if (settings_.output != OutputTarget::Panel) return;
  out_.panel.showReading(
      {.number = reading.number, .unit = reading.unit, .settled = reading.settled, .at = reading.lineEndedAt});
}

void DataPath::logReading(const LoggedReading& reading) {
  out_.log.setFolder(settings_.dataDirectory);
  (void)out_.log.add(reading, logSeparator(settings_), out_.loop.now());
  if (settings_.output != OutputTarget::DataFile || out_.log.waiting() > 0) return;
  // Written: shown as a data file is. A failure shows once it lasts.
  reports_.fileWritten(dataFilePath(settings_.dataDirectory, logFileName(reading.endedAt)));
  reports_.transmissionStarted();
}

void DataPath::deliverReading(const Reading& reading) {
  const std::string& number = reading.number;
  const bool toLog = logOn();
  const bool toPanel = settings_.output == OutputTarget::Panel;
  std::optional<LoggedReading> row;
  if (toLog || toPanel) row = logged(reading);
  if (toLog) logReading(*row);
  switch (settings_.output) {
    case OutputTarget::Keystrokes:
      // Only digits, a sign and a separator: nothing of the key syntax.
      out_.target.beforeTyping();
      out_.emitter.emitKeys(number);
      typeFrameEnd();
      break;
    case OutputTarget::DataFile:
      if (toLog) break;  // the log is the file
      beginFileTransmission(true);
      out_.file.write(number + "\r\n");
      if (out_.file.state() == DataFileWriter::State::Failed) showDataFileState();
      out_.file.closeDataFile();
      break;
    case OutputTarget::Panel:
      out_.panel.addRow(logRow(*row, logSeparator(settings_)));
      break;
  }
}

void DataPath::beginFileTransmission(bool oneReading) {
  if (oneReading) {
    out_.file.openReadingFile(settings_);
  } else {
    out_.file.openDataFile(settings_);
  }
  showDataFileState();
  reports_.transmissionStarted();
}

void DataPath::showDataFileState() {
  if (out_.file.state() == DataFileWriter::State::Failed) {
    // Shown without stopping anything: the window and the tray tip say
    // that the data were not written, and where they should have gone.
    reports_.fileFailed(out_.file.path(), out_.file.lastError());
    return;
  }
  reports_.fileWritten(out_.file.path());
}

void DataPath::typeFrameEnd() {
  // The two "ENTER >> TAB" options type only what their caption ends with:
  // the tab of the frame's own carriage return already came before.
  switch (settings_.atFrameEnd) {
    case FrameEndReaction::Tab:
    case FrameEndReaction::EnterTab:
      out_.emitter.emitKeys("{TAB}");
      break;
    case FrameEndReaction::Enter:
    case FrameEndReaction::EnterTabEnter:
      out_.emitter.emitKeys("{ENTER}");
      break;
    case FrameEndReaction::Nothing:
      break;
  }
}

void DataPath::closeDataFile() {
  if (out_.file.inTransmission()) out_.file.closeDataFile();
}

}  // namespace pondex
