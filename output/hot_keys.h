#pragma once
// The hot keys: two function keys, watched globally on every supervision
// tick, that ask for the read and the tare command; and the key picker of
// the transmission section that assigns them.
#include <cstdint>
#include <optional>
#include <string>

#include "config/settings.h"
#include "config/settings_store.h"
#include "platform/keyboard.h"
#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex {

// A virtual-key code of the system.
struct VirtualKey {
  std::uint8_t code = 0;
  friend bool operator==(VirtualKey, VirtualKey) = default;
};

inline constexpr VirtualKey kVkF1{112};
inline constexpr VirtualKey kVkF12{123};

// "F1".."F12" (exactly, case-sensitive) as its key; empty for any other name.
std::optional<VirtualKey> functionKeyCode(const std::string& name);

// What the keys held at one tick ask for. With both names on one key, both
// are asked for: the query first.
struct HotKeyRequest {
  bool query = false;
  bool tare = false;
};

class HotKeys {
 public:
  HotKeys(ui::Form& form, const ui::MainControls& controls, Settings& settings, SettingsStore& store,
          Keyboard& keyboard)
      : form_(form), c_(controls), settings_(settings), store_(store), keyboard_(keyboard) {}

  // Installs the click handlers of the picker.
  void bind();

  // A name that is not "F1".."F12" leaves the key as it was.
  void SetQueryHotKey(const std::string& name);
  void SetTareHotKey(const std::string& name);

  // Scans F1..F12; the lowest key held down is the one that counts.
  [[nodiscard]] HotKeyRequest scan();

 private:
  void openPicker(ui::ControlId clickedLabel, ui::ControlId target);
  void assign(int functionKey);

  ui::Form& form_;
  const ui::MainControls& c_;
  Settings& settings_;
  SettingsStore& store_;
  Keyboard& keyboard_;
  std::optional<VirtualKey> query_;
  std::optional<VirtualKey> tare_;
  std::optional<ui::ControlId> target_;
};

}  // namespace pondex
