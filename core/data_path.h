#pragma once
// The data path: one piece of received text, from the serial poll or the
// network, character by character through the transformation to the chosen
// output (keystrokes, the data file or the data panel); and the end of a
// transmission's output.
#include <functional>
#include <string>

#include "config/settings.h"
#include "output/data_file.h"
#include "output/key_emitter.h"
#include "platform/tray.h"
#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex {

class DataPath {
 public:
  DataPath(const Settings& settings, ui::Form& form, const ui::MainControls& controls, Tray& tray, KeyEmitter& emitter,
           DataFileWriter& file)
      : settings_(settings), form_(form), c_(controls), tray_(tray), emitter_(emitter), file_(file) {}

  // Delivers every character of one received piece at once. The data panel
  // gets the piece in one call.
  void deliverPiece(const std::string& text);

  // Types the end-of-frame keys of the chosen reaction.
  void SendFrameEnd();
  // Ends the transmission's data file, if one is being written.
  void CloseDataFile();
  [[nodiscard]] bool fileInTransmission() const { return file_.inTransmission(); }

  // Appends text at the end of the data panel, while one is open.
  void AddStringFastest(const std::string& text);
  void setDataPanel(std::function<void(const std::string&)> panel) { panel_ = std::move(panel); }

 private:
  // The first data of a transmission to a file: open it and show that a
  // transmission is being written.
  void beginFileTransmission();
  void showDataFileState();

  const Settings& settings_;
  ui::Form& form_;
  const ui::MainControls& c_;
  Tray& tray_;
  KeyEmitter& emitter_;
  DataFileWriter& file_;
  std::function<void(const std::string&)> panel_;
};

}  // namespace pondex
