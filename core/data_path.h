#pragma once
// The data path: one piece of received text, from the serial poll or the
// network, character by character through the transformation to the chosen
// output (keystrokes, the data file or the data panel); and the end of a
// transmission's output. What the window and the tray show of it is
// reported through callbacks, so the path knows neither.
//
// With "TYLKO WAGA" on, received text goes by lines instead
// (core/line_splitter.h): each reading's number alone
// (core/record_assembler.h) is delivered as soon as it is decided, with its
// end of frame (the end-of-frame keys, a CR LF in files and the panel), and
// the silence only completes a line left unended. Lines are whole across
// opens and closes of the input: the tail of a line under way at an open is
// skipped and a half line at a close is dropped. With "DZIENNIK" on, each
// reading is also a row of the day's log (output/weighing_log.h), which in
// file output takes the place of the data file. The data panel shows every
// reading recognised and lists the rows of those taken.
#include <functional>
#include <optional>
#include <string>

#include "config/settings.h"
#include "core/line_splitter.h"
#include "core/record_assembler.h"
#include "output/data_file.h"
#include "output/key_emitter.h"
#include "output/target_check.h"
#include "output/weighing_log.h"
#include "platform/clock.h"
#include "platform/panel.h"

namespace pondex {

class DataPath {
 public:
  struct Outputs {
    KeyEmitter& emitter;
    TargetCheck& target;  // asked before typing
    DataFileWriter& file;
    DataPanel& panel;
    WeighingLog& log;
    // The local time of a line's end, from the loop's time of it.
    const Clock& clock;
    const EventLoop& loop;
  };

  // What the window and the tray are told of a transmission to a file.
  struct Reports {
    std::function<void()> transmissionStarted;
    // The data go to `path` (again, after a failure).
    std::function<void(const std::string& path)> fileWritten;
    // `path` could not be written; `error` is the system's number.
    std::function<void(const std::string& path, int error)> fileFailed;
    // The weight mode delivered a reading.
    std::function<void()> readingDelivered;
  };

  DataPath(const Settings& settings, Outputs outputs, Reports reports);

  // Delivers every character of one received piece at once. The data panel
  // gets the piece in one call.
  void deliverPiece(const ReceivedText& piece);

  // The silence that ends a transmission, `at` the time of the last byte:
  // the end-of-frame keys in keystroke output, or the reading of a line
  // still unended.
  void endOfTransmission(Millis at);
  // The input (re)opened at `at`, or closed: lines stay whole across both.
  void inputOpened(Millis at);
  void inputClosed();
  // When a reading held back must be decided if no line comes first.
  [[nodiscard]] std::optional<Millis> readingDeadline() const;
  // Delivers the readings due by `now`.
  void readingTimeUp(Millis now);
  // The read command went out: the next reading answers it, until
  // answerLapsed().
  void readingAsked() { records_.readingAsked(); }
  void answerLapsed() { records_.answerLapsed(); }
  // Listening started or the channel was found closed: the next settled
  // reading is typed whatever was typed before.
  void newWeighing() { records_.newWeighing(); }

  // Types the end-of-frame keys of the chosen reaction.
  void typeFrameEnd();
  // Ends the transmission's data file, if one is being written.
  void closeDataFile();
  [[nodiscard]] bool fileInTransmission() const { return out_.file.inTransmission(); }

  // Appends text at the end of the data panel, while one is open.
  void appendToPanel(const std::string& text) { out_.panel.append(text); }

 private:
  // The first data of a transmission to a file: open it and show that a
  // transmission is being written.
  void beginFileTransmission(bool oneReading = false);
  void showDataFileState();
  // True while weights are delivered; switching the mode forgets a half
  // line and the weighing.
  bool weightMode();
  void deliverReadings(const std::vector<Reading>& readings);
  void deliverReading(const Reading& reading);
  void showRecognised(const Reading& reading);
  [[nodiscard]] bool logOn() const { return settings_.weighingLog && settings_.weightOnly; }
  [[nodiscard]] LoggedReading logged(const Reading& reading) const;
  // Adds the reading to the log; in file output, shows where it went.
  void logReading(const LoggedReading& reading);

  const Settings& settings_;
  Outputs out_;
  LineSplitter lines_;
  RecordAssembler records_;
  unsigned closes_ = 0;  // counts inputClosed()
  bool weightMode_ = false;
  Reports reports_;
};

}  // namespace pondex
