#pragma once
// Binds the in-memory settings to the controls of the main window and the
// settings file: the loader, and the change handling of every control that
// writes a key. Loading sets controls; a control whose value changes runs
// its change handling exactly as a click does, which rewrites its key in
// the program's own format (that is how a first start creates the file).
#include <functional>
#include <string>

#include "config/settings.h"
#include "config/settings_store.h"
#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex {

class SettingsBinding {
 public:
  struct Hooks {
    // After a serial-line value was stored and written.
    std::function<void()> applyPortSettings;
    // Continuous listening was switched off (before its key is written).
    std::function<void()> listeningSwitchedOff;
  };

  SettingsBinding(SettingsStore& store, ui::Form& form, const ui::MainControls& controls, Settings& settings)
      : store_(store), form_(form), controls_(controls), settings_(settings) {}

  // Installs the change handlers on the controls.
  void bind(Hooks hooks);

  void load();
  void loadPortSettings();

  // Savers of the serial-line values: hide the selector, show the value,
  // store, write, apply.
  void savePortNumber(const std::string& text);
  void savePortSpeed(const std::string& text);
  void savePortParity(const std::string& text);
  void saveDataBits(const std::string& text);
  void saveStopBits(const std::string& text);

  void saveTextMode();
  void saveDecimalComma();
  void saveCommands();
  void saveToFile();
  void saveFileNaming();
  void saveWriteMode(int index);
  void saveCrRemoval();
  void saveLfRemoval();
  void saveFrameEndReaction(int index);
  void listeningBoxClicked();
  void hotKeysBoxClicked();
  void autoStartBoxClicked();
  // "Tylko liczba", "Tylko ustalone, raz na ważenie" and "Dziennik z datą i
  // godziną"; the last two are enabled only while the first is checked.
  void saveWeightOnly();
  void saveStableOnly();
  void saveWeighingLog();

 private:
  void savePortValue(ui::ControlId selector, ui::ControlId valueLabel, std::string& value, const char* key,
                     const std::string& text);

  SettingsStore& store_;
  ui::Form& form_;
  const ui::MainControls& controls_;
  Settings& settings_;
  Hooks hooks_;
};

}  // namespace pondex
