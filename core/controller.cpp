#include "core/controller.h"

#include <algorithm>
#include <utility>

#include "platform/program_name.h"
#include "serial/port_parameters.h"
#include "ui/shell.h"

namespace pondex {
namespace {

// A transmission ends when the line has been quiet this long.
constexpr Millis kSilence{100};
// How long the answer to a command is awaited, and a port opened for it kept.
constexpr Millis kCommandExchange{2000};

}  // namespace

Controller::Controller(Platform& platform)
    : platform_(platform),
      store_(platform.profiles, platform.files),
      hotKeys_(platform.keyboard),
      window_(settings_, store_, hotKeys_,
              {platform.profiles, platform.files, platform.tray, platform.shell, platform.messages},
              {.start = [this] { startPressed(); },
               .close = [this] { unload(ui::CloseReason::Program); },
               .openPanel = [this] { dataPanelPressed(); },
               .applyPortSettings = [this] { applyPortSettings(); },
               .listeningSwitchedOff = [this] { listeningSwitchedOff(); }}),
      trayStatus_(platform.tray),
      serialPort_(platform.serial, platform.messages, kProgramName),
      emitter_(platform.keyboard),
      fileWriter_(platform.files, platform.clock),
      targetCheck_(platform.foreground, platform.tray),
      weighingLog_(platform.files, [this] { logFailureChanged(); }),
      dataPath_(settings_,
                {emitter_, targetCheck_, fileWriter_, platform.panel, weighingLog_, platform.clock, platform.loop},
                {.transmissionStarted = [this] { transmissionToFileStarted(); },
                 .fileWritten = [this](const std::string& path) { dataFileWritten(path); },
                 .fileFailed = [this](const std::string& path, int error) { dataFileFailed(path, error); },
                 .readingDelivered = [this] { readingDelivered(); }}),
      network_(platform.sockets, platform.messages) {
  silenceTimer_ = platform_.loop.createTimer(kSilence, [this] { silenceTick(); });
  supervisionTimer_ = platform_.loop.createTimer(Millis(200), [this] { supervise(); });
  readingTimer_ = platform_.loop.createTimer(Millis(150), [this] {
    dataPath_.readingTimeUp(platform_.loop.now());
    armReadingTimer();
  });
  listenTimer_ = platform_.loop.createTimer(kResyncWindow, [this] {
    listenTimer_->setEnabled(false);
    for (const auto& command : std::exchange(pendingCommands_, {})) writeSerialCommand(command);
  });
  answerTimer_ = platform_.loop.createTimer(kCommandExchange, [this] { answerTimeUp(); });
  logTimer_ = platform_.loop.createTimer(WeighingLog::kRetryInterval, [this] {
    weighingLog_.timeUp(platform_.loop.now());
    armLogTimer();
  });
  serialPort_.events.arrived = [this] { serialDataArrived(); };
  serialPort_.events.opened = [this] { serialPortOpened(); };
  serialPort_.events.closed = [this] { serialPortClosed(); };
  network_.onDataArrival([this](std::int32_t bytesTotal) { networkDataArrived(bytesTotal); });
}

Controller::~Controller() {
  // The port closes as its component goes, after the timers its handlers use.
  serialPort_.events = {};
}

bool Controller::start() {
  networkMode_ = true;
  if (platform_.instance.anotherInstanceRunning()) {
    ended_ = true;
    return false;
  }
  // An existing folder is no error: the results are deliberately ignored.
  for (const char* dir : kStartDirectories) (void)platform_.files.createDirectory(dir);

  window_.load();
  hotKeys_.setTareKey(settings_.tareKeyName);
  hotKeys_.setQueryKey(settings_.queryKeyName);
  window_.applyHotKeysChoice();
  applyPortSettings();  // no port is open yet, so none is opened

  trayStatus_.addIcon();
  window_.showAtStart();

  if (window_.autoStart()) startPressed();
  return true;
}

void Controller::startPressed() {
  started_ = true;
  dataPath_.newWeighing();
  network_.newClient();
  supervisionTimer_->setEnabled(true);
  window_.hideWindow();
  window_.closeSections();
}

bool Controller::keyPressed(int virtualKey) {
  if (virtualKey != kVkF1.code) return false;
  ui::startHelp(platform_.shell, platform_.files);
  return true;
}

void Controller::dataPanelPressed() {
  // Received data go to the panel, with the hot keys and the network input
  // of their own, until its window closes.
  settings_.output = OutputTarget::Panel;
  network_.newClient();
  supervisionTimer_->setEnabled(true);
  platform_.panel.showModal(settings_.weightOnly ? PanelContent::Scale : PanelContent::ReceivedText);
  if (ended_) return;
  if (started_) {
    // Listening and the hot keys went on before the panel: they go on
    // after it, with a fresh input object, instead of stopping silently.
    network_.newClient();
  } else {
    supervisionTimer_->setEnabled(false);
    network_.releaseClient();
  }
  window_.panelClosed();
}

bool Controller::queryClose(ui::CloseReason reason) {
  if (reason == ui::CloseReason::User) {
    window_.closeSections();
    window_.hideWindow();
    return true;
  }
  (void)platform_.tray.remove();
  (void)serialPort_.close();
  return false;
}

void Controller::shutDown() {
  if (serialPort_.isOpen()) (void)serialPort_.close();
  window_.saveCommands();
  // From here on errors are ignored: a missing or closed socket is fine.
  network_.releaseClient();
  silenceTimer_->setEnabled(false);
  supervisionTimer_->setEnabled(false);
  ended_ = true;
  platform_.loop.quit();
}

void Controller::unload(ui::CloseReason reason) {
  if (ended_) return;
  if (queryClose(reason)) return;
  shutDown();
}

void Controller::endTransmission() {
  silenceTimer_->setEnabled(false);
  transmission_ = false;
  dataPath_.endOfTransmission(lastByteAt_);
  // The answer to a command is over once the line fell silent after it.
  if (askedAt_ && lastByteAt_ >= *askedAt_) answerLapsed();
  // From here on nothing may stop the remaining steps.
  dataPath_.closeDataFile();
  window_.showTransmissionEnded();
  (void)platform_.tray.setPicture(TrayPicture::WindowIcon);
  if (window_.listeningOff() && serialPort_.isOpen()) (void)serialPort_.close();
  supervisionTimer_->setEnabled(true);
}

void Controller::deliverPiece(const ReceivedText& piece) {
  if (piece.bytes.empty()) return;
  transmission_ = true;
  lastByteAt_ = std::max(lastByteAt_, piece.receivedAt);
  dataPath_.deliverPiece(piece);
  if (transmission_) silenceTimer_->restartIn(lastByteAt_ + kSilence - platform_.loop.now());
  armReadingTimer();
}

void Controller::networkDataArrived(std::int32_t) {
  deliverPiece({.bytes = network_.takeReceived(), .receivedAt = platform_.loop.now()});
}

void Controller::serialDataArrived() {
  // Every piece waiting, in order; the reader says again when more come.
  while (auto piece = serialPort_.takePiece()) {
    if (ended_) return;
    deliverPiece({.bytes = std::move(piece->bytes), .receivedAt = piece->receivedAt, .lineError = piece->lineError});
  }
}

void Controller::silenceTick() {
  // Pieces received but not yet taken still belong to this transmission.
  serialDataArrived();
  const Millis quietFrom = lastByteAt_ + kSilence;
  if (transmission_ && platform_.loop.now() < quietFrom) {
    silenceTimer_->restartIn(quietFrom - platform_.loop.now());
    return;
  }
  endTransmission();
}

void Controller::armReadingTimer() {
  if (const auto deadline = dataPath_.readingDeadline()) {
    readingTimer_->restartIn(*deadline - platform_.loop.now());
  } else {
    readingTimer_->setEnabled(false);
  }
}

void Controller::supervise() {
  if (window_.listening()) {
    // A channel found closed begins a new weighing once it is open again.
    if (networkMode_) {
      if (!network_.supervise(settings_.networkAddress, settings_.networkPort)) {
        dataPath_.newWeighing();
        return;
      }
    } else if (!serialPort_.isOpen()) {
      dataPath_.newWeighing();
      keepSerialPortOpen();
    }
  }

  // Red while the port is open, and while its adapter is missing.
  window_.showPortOpen(serialPort_.isOpen() || serialPort_.deviceGone());

  if (!window_.hotKeysOn()) return;
  const HotKeyRequest request = hotKeys_.scan();
  // A held key repeats its command every tick, but only a new press asks
  // for a reading of its own.
  const bool newQuery = request.query && !queryKeyHeld_;
  queryKeyHeld_ = request.query;
  if (request.query) sendCommand(settings_.queryCommand, newQuery);
  if (request.tare) {
    sendCommand(settings_.tareCommand, false);
    platform_.loop.sleep(Millis(10));
    supervisionTimer_->setEnabled(true);
  }
}

void Controller::keepSerialPortOpen() {
  if (!serialPort_.deviceGone()) {
    // A port that never opened says why once, and the supervision stops.
    if (!serialPort_.open()) supervisionTimer_->setEnabled(false);
    return;
  }
  // Its adapter was pulled out: try again quietly on every tick. A message
  // box would take the keyboard focus, and the next frame would be typed
  // into it.
  if (serialPort_.openQuietly()) {
    trayStatus_.portMissing(serialPort_.portName());
    return;
  }
  trayStatus_.portBack();
}

void Controller::transmissionToFileStarted() {
  window_.showTransmissionStarted();
  (void)platform_.tray.setPicture(TrayPicture::TransferIcon);
}

void Controller::dataFileWritten(const std::string& path) {
  window_.showDataFile(path);
  trayStatus_.writeSucceeded();
}

void Controller::dataFileFailed(const std::string& path, int error) {
  window_.showDataFileFailure(path, error);
  trayStatus_.writeFailed(path);
}

void Controller::sendCommand(const std::string& command, bool asksReading) {
  const std::string text = command + "\r\n";
  if (networkMode_) {
    if (network_.send(text)) commandWentOut(asksReading);
    return;
  }
  if (!serialPort_.isOpen()) {
    if (!serialPort_.open()) return;  // its message said why; nothing went out
    // The port listens a moment before the command goes out, so that the
    // tail of a line already under way is told from the answer.
    portOpenedForCommand_ = window_.listeningOff();
    commandSent_ = false;
    listenTimer_->restartIn(kResyncWindow);
  }
  if (listenTimer_->enabled()) {
    pendingCommands_.push_back({text, asksReading});
    return;
  }
  writeSerialCommand({text, asksReading});
}

void Controller::writeSerialCommand(const PendingCommand& command) {
  if (!serialPort_.write(command.text)) return;
  commandSent_ = true;
  commandWentOut(command.asksReading);
}

void Controller::commandWentOut(bool asksReading) {
  if (asksReading) {
    askedAt_ = platform_.loop.now();
    dataPath_.readingAsked();
  }
  answerTimer_->restartIn(kCommandExchange);
}

void Controller::answerTimeUp() {
  answerTimer_->setEnabled(false);
  answerLapsed();
  // A scale that keeps sending would hold a port opened for a command open.
  if (portOpenedForCommand_ && window_.listeningOff()) endCommandExchange();
}

void Controller::answerLapsed() {
  askedAt_.reset();
  dataPath_.answerLapsed();
}

void Controller::readingDelivered() {
  armLogTimer();
  if (portOpenedForCommand_ && commandSent_ && window_.listeningOff()) endCommandExchange();
}

void Controller::armLogTimer() {
  if (const auto deadline = weighingLog_.deadline()) {
    logTimer_->restartIn(std::max(Millis(0), *deadline - platform_.loop.now()));
  } else {
    logTimer_->setEnabled(false);
  }
}

void Controller::logFailureChanged() {
  if (const auto& failure = weighingLog_.failure()) {
    dataFileFailed(failure->path, failure->error);
    return;
  }
  // The waiting rows are in: the last of them shows where they went.
  dataFileWritten(weighingLog_.lastWritten());
}

void Controller::endCommandExchange() {
  if (!serialPort_.isOpen()) return;
  if (transmission_ && !settings_.weightOnly) {
    endTransmission();  // the end-of-frame key once; it closes the port
    return;
  }
  (void)serialPort_.close();
}

void Controller::serialPortOpened() {
  dataPath_.inputOpened(platform_.loop.now());
}

void Controller::serialPortClosed() {
  dataPath_.inputClosed();
  pendingCommands_.clear();
  listenTimer_->setEnabled(false);
  portOpenedForCommand_ = false;
  commandSent_ = false;
}

void Controller::applyPortSettings() {
  pondex::applyPortSettings(settings_, serialPort_, networkMode_);
}

void Controller::listeningSwitchedOff() {
  if (!dataPath_.fileInTransmission() && serialPort_.isOpen()) (void)serialPort_.close();
}

}  // namespace pondex
