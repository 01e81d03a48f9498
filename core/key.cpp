#include "core/key.h"

#include "serial/port_parameters.h"
#include "ui/save_notice.h"
#include "ui/sections.h"
#include "ui/shell.h"

namespace pondex {
namespace {

const ui::Color kPortOpenColor = ui::rgb(255, 0, 0);

}  // namespace

Key::Key(Platform& platform)
    : p_(platform),
      form_(ui::buildMainWindow()),
      c_(form_),
      store_(platform.profiles, platform.files),
      binding_(store_, form_, c_, settings_),
      selectors_(form_, c_),
      lang_(platform.profiles, platform.files),
      ARCComm1_(platform.serial, platform.messages, kProgramName),
      emitter_(platform.keyboard),
      fileWriter_(platform.files, platform.clock),
      targetCheck_(platform.foreground, platform.tray),
      dataPath_(settings_, form_, c_, platform.tray, {emitter_, targetCheck_, fileWriter_, platform.panel}),
      hotKeys_(form_, c_, settings_, store_, platform.keyboard),
      network_(platform.sockets, platform.messages,
               {form_, c_, settings_, store_, binding_, selectors_, platform.loop}),
      trayMenu_(platform.tray, form_, c_,
                {.showWindow = [this] { form_.setVisible(ui::kWindowId, true); },
                 .close = [this] { unload(kUnloadByCode); },
                 .help = [this] { ui::StartHelp(p_.shell, p_.files); }}) {
  // Said once in the window, even for the rewrites of a first start.
  store_.onWriteFailed([this] { ui::ShowSaveFailure(form_, c_); });
  Timer1_ = p_.loop.createTimer(Millis(100), [this] { EndTransmission(); });
  Timer3_ = p_.loop.createTimer(Millis(200), [this] { timer3Tick(); });
  bindControls();
}

Key::~Key() = default;

void Key::bindControls() {
  binding_.bind({.applyPortSettings = [this] { applyPortSettings(); },
                 .listeningSwitchedOff = [this] { listeningSwitchedOff(); }});
  hotKeys_.bind();
  ARCComm1_.events.DataIn = [this] { serialDataArrived(); };
  network_.bind([this](std::int32_t bytesTotal) { Client_DataArrival(bytesTotal); });
  selectors_.bind([this] { network_.ShowNetworkAddress(settings_.NetworkAddress, settings_.NetworkPort); });
  form_.onClick(c_.cmdStart, [this] { cmdStartClick(); });
  form_.onClick(c_.cmdUkryj, [this] { cmdUkryjClick(); });
  form_.onClick(c_.cmdZamknij, [this] { cmdZamknijClick(); });
  form_.onClick(c_.ChPanel, [this] { ChPanelClick(); });
  form_.onClick(c_.cmdUstaw, [this] {
    (void)ui::ChangeDataFolder(p_.shell, p_.messages, settings_.DataDirectory,
                               {lang_.ChangeDirText1(), lang_.ChangeDirText2()}, [this](const std::string& path) {
                                 settings_.DataDirectory = path;
                                 store_.write(keys::kDataDirectory, path);
                                 form_.setCaption(c_.LblPlikPath, path);
                               });
  });
  const std::pair<ui::ControlId, ui::ControlId> sections[] = {{c_.LblUstawieniaPortu, c_.picPoloczenie},
                                                              {c_.lblTransmisja, c_.picTransmisja},
                                                              {c_.lblRamka, c_.picRamka},
                                                              {c_.lblzdarzenia, c_.picZdarzenia},
                                                              {c_.lblPlik, c_.picPlik}};
  for (const auto& section : sections) {
    form_.onClick(section.first, [this, panel = section.second] { ui::ShowSection(form_, c_, panel); });
  }
}

bool Key::Form_Load() {
  NetworkMode_ = true;
  if (p_.instance.anotherInstanceRunning()) {
    ended_ = true;
    return false;
  }
  // An existing folder is no error: the results are deliberately ignored.
  for (const char* dir : kStartDirectories) (void)p_.files.createDirectory(dir);

  // Nothing writes the language file once it exists; a failure to write it
  // leaves the built-in texts, which is what reading it would give.
  if (!lang_.languageFileExists()) (void)lang_.TlomaczenieZapis(form_);
  form_.setTag(c_.mnuClose, "end");
  form_.setTag(c_.mnuVisible, "visible");
  form_.setTag(c_.mnuHelp, "help");

  binding_.LoadSettings();
  lang_.TlomaczenieOdczyt(form_);

  form_.setRect(ui::kWindowId,
                {form_.rect(ui::kWindowId).left, form_.rect(ui::kWindowId).top, ui::kWindowWidth, ui::kWindowHeight});
  ui::HideSections(form_, c_);
  hotKeys_.SetTareHotKey(settings_.TareKeyName);
  hotKeys_.SetQueryHotKey(settings_.QueryKeyName);
  binding_.chHotKeyClick();
  applyPortSettings();  // no port is open yet, so none is opened

  PortLabelColor_ = form_.foreColor(c_.LblUstawieniaPortu);
  (void)p_.tray.add(kProgramName);
  form_.setVisible(ui::kWindowId, false);

  form_.setCaption(ui::kWindowId, form_.caption(ui::kWindowId) + " [F1-" + form_.caption(c_.lblHelp) + "]");
  form_.setVisible(ui::kWindowId, true);

  if (ui::AutoStartCheck(form_.value(c_.chAutostart), storedValue(settings_.FileMode))) cmdStartClick();
  return true;
}

void Key::cmdStartClick() {
  started_ = true;
  dataPath_.newWeighing();
  network_.newClient();
  Timer3_->setEnabled(true);
  form_.setVisible(ui::kWindowId, false);
  ui::ShowSection(form_, c_, ui::kWindowId);
}

bool Key::Form_KeyDown(int virtualKey) {
  if (virtualKey != kVkF1.code) return false;
  ui::StartHelp(p_.shell, p_.files);
  return true;
}

void Key::ChPanelClick() {
  if (form_.value(c_.ChPanel) != 1) return;  // the panel closed already
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
  form_.setValue(c_.ChPanel, 0);
  settings_.FileMode = form_.value(c_.ChPlik) == 0 ? FileMode::Keystrokes : FileMode::DataFile;
}

void Key::cmdUkryjClick() {
  form_.setVisible(ui::kWindowId, false);
}

void Key::cmdZamknijClick() {
  unload(kUnloadByCode);
}

bool Key::Form_QueryUnload(int unloadMode) {
  if (unloadMode == kUnloadByUser) {
    ui::ShowSection(form_, c_, ui::kWindowId);
    form_.setVisible(ui::kWindowId, false);
    return true;
  }
  (void)p_.tray.remove();
  (void)ARCComm1_.FinCom();
  return false;
}

void Key::Form_Unload() {
  if (ARCComm1_.PortIsOpen()) (void)ARCComm1_.FinCom();
  binding_.SaveCommands();
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
  form_.setVisible(c_.txtTransmisja, false);
  (void)p_.tray.setPicture(TrayPicture::WindowIcon);
  if (form_.value(c_.chNasluch) == 0 && ARCComm1_.PortIsOpen()) (void)ARCComm1_.FinCom();
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
  if (form_.value(c_.chNasluch) == 1) {
    // A channel found closed begins a new weighing once it is open again.
    if (NetworkMode_) {
      if (!network_.supervise()) {
        dataPath_.newWeighing();
        return;
      }
    } else if (!ARCComm1_.PortIsOpen()) {
      dataPath_.newWeighing();
      keepSerialPortOpen();
    }
  }

  // Red while the port is open, and while its adapter is missing.
  const bool red = ARCComm1_.PortIsOpen() || ARCComm1_.DeviceGone();
  form_.setForeColor(c_.LblUstawieniaPortu, red ? kPortOpenColor : PortLabelColor_);

  if (form_.value(c_.chHotKey) != 1) return;
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
