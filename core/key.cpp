#include "core/key.h"

#include "config/localisation.h"
#include "serial/port_parameters.h"
#include "ui/save_notice.h"
#include "ui/sections.h"

namespace pondex {

Key::Key(Platform& platform)
    : p_(platform),
      form_(ui::buildMainWindow()),
      c_(form_),
      store_(platform.profiles, platform.files),
      binding_(store_, form_, c_, settings_),
      ARCComm1_(platform.serial, platform.messages, kProgramName),
      socketService_(platform.sockets, platform.messages),
      emitter_(platform.keyboard),
      fileWriter_(platform.files, platform.clock) {
  Timer1_ = p_.loop.createTimer(Millis(100), [this] { EndTransmission(); });
  Timer2_ = p_.loop.createTimer(Millis(1), [this] { timer2Tick(); });
  Timer3_ = p_.loop.createTimer(Millis(200), [this] { timer3Tick(); });
  bindControls();
}

Key::~Key() = default;

void Key::bindControls() {
  binding_.bind({.applyPortSettings = [this] { applyPortSettings(); },
                 .listeningSwitchedOff = [this] { listeningSwitchedOff(); }});
  bindHotKeys();
  bindNetworkInput();
  bindSelectors();
  form_.onClick(c_.cmdStart, [this] { cmdStartClick(); });
  form_.onClick(c_.cmdUkryj, [this] { cmdUkryjClick(); });
  form_.onClick(c_.cmdZamknij, [this] { cmdZamknijClick(); });
  const std::pair<ui::ControlId, ui::ControlId> sections[] = {{c_.LblUstawieniaPortu, c_.picPoloczenie},
                                                              {c_.lblTransmisja, c_.picTransmisja},
                                                              {c_.lblRamka, c_.picRamka},
                                                              {c_.lblzdarzenia, c_.picZdarzenia},
                                                              {c_.lblPlik, c_.picPlik}};
  for (auto [label, panel] : sections) {
    form_.onClick(label, [this, panel] { ui::ShowSection(form_, c_, panel); });
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

  Localisation lang(p_.profiles, p_.files);
  if (!lang.languageFileExists()) (void)lang.TlomaczenieZapis(form_);
  store_.onWriteFailed([this] { ui::ShowSaveFailure(form_, c_); });
  form_.setTag(c_.mnuClose, "end");
  form_.setTag(c_.mnuVisible, "visible");
  form_.setTag(c_.mnuHelp, "help");

  binding_.LoadSettings();
  lang.TlomaczenieOdczyt(form_);

  form_.setRect(ui::kWindowId,
                {form_.rect(ui::kWindowId).left, form_.rect(ui::kWindowId).top, ui::kWindowWidth, ui::kWindowHeight});
  ui::HideSections(form_, c_);
  SetTareHotKey(settings_.TareKeyName);
  SetQueryHotKey(settings_.QueryKeyName);
  binding_.chHotKeyClick();
  applyPortSettings();  // no port is open yet, so none is opened

  PortLabelColor_ = form_.foreColor(c_.LblUstawieniaPortu);
  (void)p_.tray.add(kProgramName);
  form_.setVisible(ui::kWindowId, false);

  form_.setCaption(ui::kWindowId, form_.caption(ui::kWindowId) + " [F1-" + form_.caption(c_.lblHelp) + "]");
  form_.setVisible(ui::kWindowId, true);

  Timer2_->setEnabled(true);
  if (form_.value(c_.chAutostart) == 1 && settings_.FileMode != 0) cmdStartClick();
  return true;
}

void Key::cmdStartClick() {
  newClient();
  Timer3_->setEnabled(true);
  form_.setVisible(ui::kWindowId, false);
  ui::ShowSection(form_, c_, ui::kWindowId);
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
  ARCComm1_.FinCom();
  return false;
}

void Key::Form_Unload() {
  if (ARCComm1_.PortIsOpen()) ARCComm1_.FinCom();
  binding_.SaveCommands();
  // From here on errors are ignored: a missing or closed socket is fine.
  if (Client_) (void)Client_->CloseSck();
  Client_.reset();
  Timer1_->setEnabled(false);
  Timer2_->setEnabled(false);
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
  if (settings_.FileMode == 0) SendFrameEnd();
  // From here on nothing may stop the remaining steps.
  if (fileWriter_.inTransmission()) fileWriter_.CloseDataFile();
  form_.setVisible(c_.txtTransmisja, false);
  (void)p_.tray.setPicture(TrayPicture::WindowIcon);
  if (form_.value(c_.chNasluch) == 0 && ARCComm1_.PortIsOpen()) ARCComm1_.FinCom();
  Timer3_->setEnabled(true);
}

void Key::timer2Tick() {
  const std::string text = ARCComm1_.GetData();
  if (!text.empty()) ProcessSerialData(text);
}

void Key::applyPortSettings() {
  ApplyPortSettings(settings_, ARCComm1_, NetworkMode_);
}

void Key::listeningSwitchedOff() {
  if (!fileWriter_.inTransmission() && ARCComm1_.PortIsOpen()) ARCComm1_.FinCom();
}

}  // namespace pondex
