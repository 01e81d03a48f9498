#pragma once
// The data path: one piece of received text, from the serial poll or the
// network, character by character through the transformation to the chosen
// output (keystrokes, the data file or the data panel); and the end of a
// transmission's output. What the window shows of it is reported through
// callbacks, so the path knows no control.
//
// With "TYLKO WAGA" on, received text goes by lines instead: each line is a
// reading whose number alone (core/weight_reading.h) is delivered at once
// with its end of frame (the end-of-frame keys, a CR LF in files and the
// panel), and the silence only completes a line left unended.
#include <functional>
#include <string>

#include "config/settings.h"
#include "core/weight_reading.h"
#include "output/data_file.h"
#include "output/key_emitter.h"
#include "output/target_check.h"
#include "platform/panel.h"
#include "platform/tray.h"

namespace pondex {

class DataPath {
 public:
  struct Outputs {
    KeyEmitter& emitter;
    TargetCheck& target;  // asked before typing
    DataFileWriter& file;
    DataPanel& panel;
  };

  // What the window is told of a transmission to a file.
  struct Reports {
    std::function<void()> transmissionStarted;
    // The data go to `path` (again, after a failure).
    std::function<void(const std::string& path)> fileWritten;
    // `path` could not be written; `error` is the system's number.
    std::function<void(const std::string& path, int error)> fileFailed;
  };

  DataPath(const Settings& settings, Tray& tray, Outputs outputs, Reports reports)
      : settings_(settings), tray_(tray), out_(outputs), reports_(std::move(reports)) {}

  // Delivers every character of one received piece at once. The data panel
  // gets the piece in one call.
  void deliverPiece(const std::string& text);

  // The silence that ends a transmission: the end-of-frame keys in
  // keystroke output, or the reading of a line still unended.
  void endOfTransmission();
  // The read command went out: the next reading answers it.
  void readingAsked() { weights_.readingAsked(); }
  // Listening started or the channel was found closed: the next settled
  // reading is typed whatever was typed before.
  void newWeighing() { weights_.newWeighing(); }

  // Types the end-of-frame keys of the chosen reaction.
  void SendFrameEnd();
  // Ends the transmission's data file, if one is being written.
  void CloseDataFile();
  [[nodiscard]] bool fileInTransmission() const { return out_.file.inTransmission(); }

  // Appends text at the end of the data panel, while one is open.
  void AddStringFastest(const std::string& text) { out_.panel.append(text); }

 private:
  // The first data of a transmission to a file: open it and show that a
  // transmission is being written.
  void beginFileTransmission(bool oneReading = false);
  void showDataFileState();
  // True while weights are delivered; switching the mode forgets a half
  // line and the weighing.
  bool weightMode();
  void deliverReading(const std::string& number);

  const Settings& settings_;
  Tray& tray_;
  Outputs out_;
  WeightReader weights_;
  bool weightMode_ = false;
  Reports reports_;
  bool failureShown_ = false;  // the window and the tray tip say a write failed
};

}  // namespace pondex
