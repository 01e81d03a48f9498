#include "core/key.h"

#include "serial/port_parameters.h"
#include "ui/shell.h"

namespace pondex {

Key::Key(Platform& platform)
    : p_(platform),
      store_(platform.profiles, platform.files),
      hotKeys_(platform.keyboard),
      window_(settings_, store_, hotKeys_,
              {platform.profiles, platform.files, platform.tray, platform.shell, platform.messages},
              {.start = [this] { cmdStartClick(); },
               .close = [this] { unload(kUnloadByCode); },
               .openPanel = [this] { ChPanelClick(); },
               .applyPortSettings = [this] { applyPortSettings(); },
               .listeningSwitchedOff = [this] { listeningSwitchedOff(); }}),
      ARCComm1_(platform.serial, platform.messages, kProgramName),
      emitter_(platform.keyboard),
      fileWriter_(platform.files, platform.clock),
      targetCheck_(platform.foreground, platform.tray),
      dataPath_(
          settings_, platform.tray, {emitter_, targetCheck_, fileWriter_, platform.panel},
          {.transmissionStarted = [this] { window_.showTransmissionStarted(); },
           .fileWritten = [this](const std::string& path) { window_.showDataFile(path); },
           .fileFailed = [this](const std::string& path, int error) { window_.showDataFileFailure(path, error); }}),
      network_(platform.sockets, platform.messages, platform.loop) {
  Timer1_ = p_.loop.createTimer(Millis(100), [this] { EndTransmission(); });
  Timer3_ = p_.loop.createTimer(Millis(200), [this] { timer3Tick(); });
  ARCComm1_.events.DataIn = [this] { serialDataArrived(); };
  network_.onDataArrival([this](std::int32_t bytesTotal) { Client_DataArrival(bytesTotal); });
}

Key::~Key() = default;

bool Key::Form_Load() {
  NetworkMode_ = true;
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

  if (window_.autoStart()) cmdStartClick();
  return true;
}

void Key::cmdStartClick() {
  started_ = true;
  dataPath_.newWeighing();
  network_.newClient();
  Timer3_->setEnabled(true);
  window_.hideWindow();
  window_.closeSections();
}

bool Key::Form_KeyDown(int virtualKey) {
  if (virtualKey != kVkF1.code) return false;
  ui::StartHelp(p_.shell, p_.files);
  return true;
}

void Key::ChPanelClick() {
  // Received data go to the panel, with the hot keys and the network input
  // of their own, until its window closes.
  settings_.FileMode = FileMode::Panel;
  network_.newClient();
  Timer3_->setEnabled(true);
  p_.panel.showModal();
  if (ended_) return;
  if (started_) {
    // Listening and the hot keys went on before the panel: they go on
    // after it, with a fresh input object, instead of stopping silently.
    network_.newClient();
  } else {
    Timer3_->setEnabled(false);
    network_.releaseClient();
  }
  window_.panelClosed();
}

bool Key::Form_QueryUnload(int unloadMode) {
  if (unloadMode == kUnloadByUser) {
    window_.closeSections();
    window_.hideWindow();
    return true;
  }
  (void)p_.tray.remove();
  (void)ARCComm1_.FinCom();
  return false;
}

void Key::Form_Unload() {
  if (ARCComm1_.PortIsOpen()) (void)ARCComm1_.FinCom();
  window_.saveCommands();
  // From here on errors are ignored: a missing or closed socket is fine.
  network_.releaseClient();
  Timer1_->setEnabled(false);
  Timer3_->setEnabled(false);
  ended_ = true;
  p_.loop.quit();
}

void Key::unload(int unloadMode) {
  if (ended_) return;
  if (Form_QueryUnload(unloadMode)) return;
  Form_Unload();
}

void Key::EndTransmission() {
  Timer1_->setEnabled(false);
  dataPath_.endOfTransmission();
  // From here on nothing may stop the remaining steps.
  dataPath_.CloseDataFile();
  window_.showTransmissionEnded();
  (void)p_.tray.setPicture(TrayPicture::WindowIcon);
  if (window_.listeningOff() && ARCComm1_.PortIsOpen()) (void)ARCComm1_.FinCom();
  Timer3_->setEnabled(true);
}

void Key::ProcessSerialData(const std::string& text) {
  if (!text.empty()) {
    Timer3_->setEnabled(false);
    Timer1_->setEnabled(false);
    dataPath_.deliverPiece(text);
  }
  Timer1_->setEnabled(true);
  p_.loop.yieldToPendingEvents();
}

void Key::Client_DataArrival(std::int32_t) {
  Timer3_->setEnabled(false);
  Timer1_->setEnabled(false);
  dataPath_.deliverPiece(network_.takeReceived());
  Timer1_->setEnabled(true);
  p_.loop.yieldToPendingEvents();
}

void Key::serialDataArrived() {
  // Pieces are taken one at a time, each delivered and yielded after, until
  // none is left; a DataIn raised inside that yield finds its text taken by
  // this loop, so pieces never nest and stay in order.
  if (takingSerialData_) return;
  takingSerialData_ = true;
  for (std::string text = ARCComm1_.GetData(); !text.empty() && !ended_; text = ARCComm1_.GetData()) {
    ProcessSerialData(text);
  }
  takingSerialData_ = false;
}

void Key::timer3Tick() {
  if (window_.listening()) {
    // A channel found closed begins a new weighing once it is open again.
    if (NetworkMode_) {
      if (!network_.supervise(settings_.NetworkAddress, settings_.NetworkPort)) {
        dataPath_.newWeighing();
        return;
      }
    } else if (!ARCComm1_.PortIsOpen()) {
      dataPath_.newWeighing();
      keepSerialPortOpen();
    }
  }

  // Red while the port is open, and while its adapter is missing.
  window_.showPortOpen(ARCComm1_.PortIsOpen() || ARCComm1_.DeviceGone());

  if (!window_.hotKeysOn()) return;
  const HotKeyRequest request = hotKeys_.scan();
  if (request.query) {
    sendCommand(settings_.QueryCommand);
    dataPath_.readingAsked();
  }
  if (request.tare) {
    sendCommand(settings_.TareCommand);
    p_.loop.sleep(Millis(10));
    Timer3_->setEnabled(true);
  }
}

void Key::keepSerialPortOpen() {
  if (!ARCComm1_.DeviceGone()) {
    // A port that never opened says why once, and the supervision stops.
    if (!ARCComm1_.InitCom()) Timer3_->setEnabled(false);
    return;
  }
  // Its adapter was pulled out: try again quietly on every tick. A message
  // box would take the keyboard focus, and the next frame would be typed
  // into it.
  if (ARCComm1_.InitComQuiet()) {
    if (!portMissing_) (void)p_.tray.setTip(std::string(kProgramName) + " - " + ARCComm1_.ComPort() + " missing");
    portMissing_ = true;
    return;
  }
  if (portMissing_) (void)p_.tray.setTip(kProgramName);
  portMissing_ = false;
}

void Key::sendCommand(const std::string& command) {
  const std::string text = command + "\r\n";
  if (NetworkMode_) {
    network_.send(text);
  } else {
    sendOverSerial(ARCComm1_, text);
  }
}

void Key::applyPortSettings() {
  ApplyPortSettings(settings_, ARCComm1_, NetworkMode_);
}

void Key::listeningSwitchedOff() {
  if (!dataPath_.fileInTransmission() && ARCComm1_.PortIsOpen()) (void)ARCComm1_.FinCom();
}

}  // namespace pondex
