// Hot keys and scale commands: the Timer3 tick (channel upkeep, connection
// label, global hot key scan), sending a command, and the key picker.
#include "config/settings.h"
#include "core/key.h"

namespace pondex {
namespace {

constexpr int kVkF1 = 112;
constexpr int kVkF12 = 123;
const ui::Color kPortOpenColor = ui::rgb(255, 0, 0);

// "F1".."F12" (exactly, case-sensitive) to 112..123.
std::optional<int> functionKeyCode(const std::string& name) {
  for (int n = 1; n <= 12; ++n) {
    if (name == "F" + std::to_string(n)) return kVkF1 - 1 + n;
  }
  return std::nullopt;
}

}  // namespace

void Key::bindHotKeys() {
  form_.onClick(c_.lblPytanie, [this] { openKeyPicker(c_.lblPytanie, c_.lblPytanieVal); });
  form_.onClick(c_.lblTarowanie, [this] { openKeyPicker(c_.lblTarowanie, c_.lblTarowanieVal); });
  for (int i = 1; i <= 12; ++i)
    form_.onClick(c_.cmdHotKey[static_cast<std::size_t>(i)], [this, i] { assignHotKey(i); });
}

void Key::SetQueryHotKey(const std::string& name) {
  if (auto code = functionKeyCode(name)) QueryHotKey_ = code;
}

void Key::SetTareHotKey(const std::string& name) {
  if (auto code = functionKeyCode(name)) TareHotKey_ = code;
}

void Key::timer3Tick() {
  if (form_.value(c_.chNasluch) == 1) {
    if (NetworkMode_) {
      if (!superviseConnection()) return;
    } else if (!ARCComm1_.PortIsOpen()) {
      if (!ARCComm1_.InitCom()) Timer3_->setEnabled(false);
    }
  }

  form_.setForeColor(c_.LblUstawieniaPortu, ARCComm1_.PortIsOpen() ? kPortOpenColor : PortLabelColor_);

  if (form_.value(c_.chHotKey) != 1) return;
  std::optional<int> pressed;
  for (int vk = kVkF1; vk <= kVkF12 && !pressed; ++vk) {
    if (p_.keyboard.asyncKeyState(vk) != 0) pressed = vk;
  }
  if (!pressed) return;
  // Independent tests: with both names on one key, the query goes first.
  if (pressed == QueryHotKey_) sendCommand(settings_.QueryCommand);
  if (pressed == TareHotKey_) {
    sendCommand(settings_.TareCommand);
    p_.loop.sleep(Millis(10));
    Timer3_->setEnabled(true);
  }
}

void Key::sendCommand(const std::string& command) {
  const std::string text = command + "\r\n";
  if (NetworkMode_) {
    // Refused by the object while not connected: only this command is lost.
    if (Client_) (void)Client_->SendData(text);
    return;
  }
  if (!ARCComm1_.PortIsOpen()) (void)ARCComm1_.InitCom();
  (void)ARCComm1_.GetData();  // whatever the port held is not an answer to this command
  (void)ARCComm1_.WriteData(text);
}

void Key::openKeyPicker(ui::ControlId clickedLabel, ui::ControlId target) {
  HotKeyTarget_ = target;
  form_.setCaption(c_.LblTypKey, form_.caption(clickedLabel));
  form_.setContainer(c_.picKey, c_.picHotKey);
  const ui::Rect anchor = form_.rect(c_.pic00);
  form_.move(c_.picKey, anchor.left, anchor.top + anchor.height);
  form_.setFocus(c_.picKey);
}

void Key::assignHotKey(int functionKey) {
  if (!HotKeyTarget_) return;
  const std::string name = "F" + std::to_string(functionKey);
  form_.setCaption(*HotKeyTarget_, name);
  if (*HotKeyTarget_ == c_.lblTarowanieVal) {
    settings_.TareKeyName = name;
    SetTareHotKey(name);
    store_.write(keys::kTareKey, name);
  } else if (*HotKeyTarget_ == c_.lblPytanieVal) {
    settings_.QueryKeyName = name;
    SetQueryHotKey(name);
    store_.write(keys::kQueryKey, name);
  }
  form_.setContainer(c_.picKey, c_.Smietnik);
}

}  // namespace pondex
