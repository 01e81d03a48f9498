#include "core/controller.h"

#include "serial/port_parameters.h"
#include "ui/shell.h"

namespace pondex {

Controller::Controller(Platform& platform)
    : p_(platform),
      store_(platform.profiles, platform.files),
      hotKeys_(platform.keyboard),
      window_(settings_, store_, hotKeys_,
              {platform.profiles, platform.files, platform.tray, platform.shell, platform.messages},
              {.start = [this] { startPressed(); },
               .close = [this] { unload(kUnloadByCode); },
               .openPanel = [this] { dataPanelPressed(); },
               .applyPortSettings = [this] { applyPortSettings(); },
               .listeningSwitchedOff = [this] { listeningSwitchedOff(); }}),
      serialPort_(platform.serial, platform.messages, kProgramName),
      emitter_(platform.keyboard),
      fileWriter_(platform.files, platform.clock),
      targetCheck_(platform.foreground, platform.tray),
      dataPath_(
          settings_, platform.tray, {emitter_, targetCheck_, fileWriter_, platform.panel},
          {.transmissionStarted = [this] { window_.showTransmissionStarted(); },
           .fileWritten = [this](const std::string& path) { window_.showDataFile(path); },
           .fileFailed = [this](const std::string& path, int error) { window_.showDataFileFailure(path, error); }}),
      network_(platform.sockets, platform.messages, platform.loop) {
  silenceTimer_ = p_.loop.createTimer(Millis(100), [this] { endTransmission(); });
  supervisionTimer_ = p_.loop.createTimer(Millis(200), [this] { supervise(); });
  serialPort_.events.DataIn = [this] { serialDataArrived(); };
  network_.onDataArrival([this](std::int32_t bytesTotal) { networkDataArrived(bytesTotal); });
}

Controller::~Controller() = default;

bool Controller::start() {
  networkMode_ = true;
  if (p_.instance.anotherInstanceRunning()) {
    ended_ = true;
    return false;
  }
  // An existing folder is no error: the results are deliberately ignored.
  for (const char* dir : kStartDirectories) (void)p_.files.createDirectory(dir);

  window_.load();
  hotKeys_.SetTareHotKey(settings_.TareKeyName);
  hotKeys_.SetQueryHotKey(settings_.QueryKeyName);
  window_.applyHotKeysChoice();
  applyPortSettings();  // no port is open yet, so none is opened

  (void)p_.tray.add(kProgramName);
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
  ui::StartHelp(p_.shell, p_.files);
  return true;
}

void Controller::dataPanelPressed() {
  // Received data go to the panel, with the hot keys and the network input
  // of their own, until its window closes.
  settings_.FileMode = FileMode::Panel;
  network_.newClient();
  supervisionTimer_->setEnabled(true);
  p_.panel.showModal();
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

bool Controller::queryClose(int unloadMode) {
  if (unloadMode == kUnloadByUser) {
    window_.closeSections();
    window_.hideWindow();
    return true;
  }
  (void)p_.tray.remove();
  (void)serialPort_.FinCom();
  return false;
}

void Controller::shutDown() {
  if (serialPort_.PortIsOpen()) (void)serialPort_.FinCom();
  window_.saveCommands();
  // From here on errors are ignored: a missing or closed socket is fine.
  network_.releaseClient();
  silenceTimer_->setEnabled(false);
  supervisionTimer_->setEnabled(false);
  ended_ = true;
  p_.loop.quit();
}

void Controller::unload(int unloadMode) {
  if (ended_) return;
  if (queryClose(unloadMode)) return;
  shutDown();
}

void Controller::endTransmission() {
  silenceTimer_->setEnabled(false);
  dataPath_.endOfTransmission();
  // From here on nothing may stop the remaining steps.
  dataPath_.CloseDataFile();
  window_.showTransmissionEnded();
  (void)p_.tray.setPicture(TrayPicture::WindowIcon);
  if (window_.listeningOff() && serialPort_.PortIsOpen()) (void)serialPort_.FinCom();
  supervisionTimer_->setEnabled(true);
}

void Controller::deliverSerialPiece(const std::string& text) {
  if (!text.empty()) {
    supervisionTimer_->setEnabled(false);
    silenceTimer_->setEnabled(false);
    dataPath_.deliverPiece(text);
  }
  silenceTimer_->setEnabled(true);
  p_.loop.yieldToPendingEvents();
}

void Controller::networkDataArrived(std::int32_t) {
  supervisionTimer_->setEnabled(false);
  silenceTimer_->setEnabled(false);
  dataPath_.deliverPiece(network_.takeReceived());
  silenceTimer_->setEnabled(true);
  p_.loop.yieldToPendingEvents();
}

void Controller::serialDataArrived() {
  // Pieces are taken one at a time, each delivered and yielded after, until
  // none is left; a DataIn raised inside that yield finds its text taken by
  // this loop, so pieces never nest and stay in order.
  if (takingSerialData_) return;
  takingSerialData_ = true;
  for (auto piece = serialPort_.takePiece(); piece && !ended_; piece = serialPort_.takePiece()) {
    deliverSerialPiece(piece->bytes);
  }
  takingSerialData_ = false;
}

void Controller::supervise() {
  if (window_.listening()) {
    // A channel found closed begins a new weighing once it is open again.
    if (networkMode_) {
      if (!network_.supervise(settings_.NetworkAddress, settings_.NetworkPort)) {
        dataPath_.newWeighing();
        return;
      }
    } else if (!serialPort_.PortIsOpen()) {
      dataPath_.newWeighing();
      keepSerialPortOpen();
    }
  }

  // Red while the port is open, and while its adapter is missing.
  window_.showPortOpen(serialPort_.PortIsOpen() || serialPort_.DeviceGone());

  if (!window_.hotKeysOn()) return;
  const HotKeyRequest request = hotKeys_.scan();
  if (request.query) {
    sendCommand(settings_.QueryCommand);
    dataPath_.readingAsked();
  }
  if (request.tare) {
    sendCommand(settings_.TareCommand);
    p_.loop.sleep(Millis(10));
    supervisionTimer_->setEnabled(true);
  }
}

void Controller::keepSerialPortOpen() {
  if (!serialPort_.DeviceGone()) {
    // A port that never opened says why once, and the supervision stops.
    if (!serialPort_.InitCom()) supervisionTimer_->setEnabled(false);
    return;
  }
  // Its adapter was pulled out: try again quietly on every tick. A message
  // box would take the keyboard focus, and the next frame would be typed
  // into it.
  if (serialPort_.InitComQuiet()) {
    if (!portMissing_) (void)p_.tray.setTip(std::string(kProgramName) + " - " + serialPort_.ComPort() + " missing");
    portMissing_ = true;
    return;
  }
  if (portMissing_) (void)p_.tray.setTip(kProgramName);
  portMissing_ = false;
}

void Controller::sendCommand(const std::string& command) {
  const std::string text = command + "\r\n";
  if (networkMode_) {
    network_.send(text);
  } else {
    sendOverSerial(serialPort_, text);
  }
}

void Controller::applyPortSettings() {
  ApplyPortSettings(settings_, serialPort_, networkMode_);
}

void Controller::listeningSwitchedOff() {
  if (!dataPath_.fileInTransmission() && serialPort_.PortIsOpen()) (void)serialPort_.FinCom();
}

}  // namespace pondex
