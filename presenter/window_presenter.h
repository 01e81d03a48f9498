#pragma once
// The presenter of the main window: it owns the control model and says
// which control shows what and what a click does. The controller tells it
// what to show in plain operations and receives the user's commands
// through Commands; the features below (network, serial, output, settings)
// never see a control.
#include <functional>
#include <string>

#include "config/settings.h"
#include "config/settings_store.h"
#include "output/hot_keys.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "platform/tray.h"
#include "presenter/connection_panels.h"
#include "presenter/hot_key_picker.h"
#include "presenter/settings_binding.h"
#include "ui/form.h"
#include "ui/localisation.h"
#include "ui/main_window.h"
#include "ui/selectors.h"
#include "ui/tray_menu.h"

namespace pondex {

class WindowPresenter {
 public:
  // What a click asks of the controller.
  struct Commands {
    std::function<void()> start;  // START
    std::function<void()> close;  // "Zamknij", in the window or the tray menu
    // "Panel" was checked; returns once the data panel has closed.
    std::function<void()> openPanel;
    // After a serial-line value was stored and written.
    std::function<void()> applyPortSettings;
    // Continuous listening was switched off (before its key is written).
    std::function<void()> listeningSwitchedOff;
  };
  // The parts of the platform the window reaches.
  struct Services {
    ProfileFiles& profiles;
    const FileSystem& files;
    Tray& tray;
    Shell& shell;
    MessageBoxes& messages;
  };

  WindowPresenter(Settings& settings, SettingsStore& store, HotKeys& hotKeys, Services services, Commands commands);

  [[nodiscard]] ui::Form& form() { return form_; }
  [[nodiscard]] const ui::MainControls& controls() const { return controls_; }

  // The start-up's part of the window: writes the language file when it is
  // missing, loads the settings into the controls (a first start writes
  // them through the change handling), gives the controls the language
  // file's texts, sizes the window and parks the sections.
  void load();
  // Shows the hot key panel as its check box says, and writes the box's key.
  void applyHotKeysChoice() { binding_.hotKeysBoxClicked(); }
  // The end of the start-up: the window comes up with its help hint.
  void showAtStart();
  // Whether the start-up presses START by itself: "Autostart" checked (a
  // grayed box does not count) while the data go to a file or the panel.
  [[nodiscard]] bool autoStart() const;

  void hideWindow();
  // Closes whatever section is open.
  void closeSections();
  // The data panel closed: "Panel" is unchecked and the data go where the
  // file check box says again.
  void panelClosed();
  // Writes the commands, which nothing in the window changes, as they are.
  void saveCommands() { binding_.saveCommands(); }

  // The check box of continuous listening. A grayed box (a stored 2)
  // neither listens nor lets the end of a transmission close the port.
  [[nodiscard]] bool listening() const { return form_.value(controls_.listeningBox) == 1; }
  [[nodiscard]] bool listeningOff() const { return form_.value(controls_.listeningBox) == 0; }
  [[nodiscard]] bool hotKeysOn() const { return form_.value(controls_.hotKeysBox) == 1; }

  // The port label is red while the port is open or its adapter missing.
  void showPortOpen(bool open);
  // A transmission to a file: its notice, and the path label.
  void showTransmissionStarted();
  void showTransmissionEnded();
  void showDataFile(const std::string& path);
  void showDataFileFailure(const std::string& path, int error);

 private:
  void bindControls();

  Settings& settings_;
  SettingsStore& store_;
  Services services_;
  Commands commands_;
  ui::Form form_;
  ui::MainControls controls_;
  SettingsBinding binding_;
  ui::Selectors selectors_;
  ConnectionPanels connection_;
  HotKeyPicker picker_;
  ui::Localisation lang_;
  ui::TrayMenu trayMenu_;
  ui::Color portLabelColor_ = ui::kBlack;
};

}  // namespace pondex
