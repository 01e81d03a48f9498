#pragma once
// The key picker of the transmission section: a click on "Pytanie" or
// "Tarowanie" opens the row of F1..F12 below the hot key panel; a key shows
// in the row, becomes the setting, is written and takes effect at once.
#include <optional>

#include "config/settings.h"
#include "config/settings_store.h"
#include "output/hot_keys.h"
#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex {

class HotKeyPicker {
 public:
  HotKeyPicker(ui::Form& form, const ui::MainControls& controls, Settings& settings, SettingsStore& store,
               HotKeys& hotKeys)
      : form_(form), controls_(controls), settings_(settings), store_(store), hotKeys_(hotKeys) {}

  // Installs the click handlers of the picker.
  void bind();

 private:
  void openPicker(ui::ControlId clickedLabel, ui::ControlId target);
  void assign(int functionKey);

  ui::Form& form_;
  const ui::MainControls& controls_;
  Settings& settings_;
  SettingsStore& store_;
  HotKeys& hotKeys_;
  std::optional<ui::ControlId> target_;
};

}  // namespace pondex
