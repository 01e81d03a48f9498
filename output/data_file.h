#pragma once
// The data file writer: one file per transmission or per day in the data
// folder, opened at the first data of a transmission and closed when it
// ends. The name is the date ("yymmdd.txt") or date and time
// ("yymmdd_hhmmss.txt") at the moment of opening, in the data folder (see
// dataFilePath).
//
// A file that cannot be opened or written never stops the data path: the
// rest of that transmission is not written (so no file holds half a frame
// without notice), the path and the system's error number are shown in the
// window and the tray tip, and the next transmission tries again.
#include <cstdint>
#include <memory>
#include <string>

#include "config/settings.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace pondex {

// How the window and the tray tip say that the data were not written.
inline constexpr const char* kWriteFailedText = "BŁĄD ZAPISU";

// The file name for a transmission that starts at `now`.
std::string dataFileName(const LocalDateTime& now, bool perDay);
// The file in the folder: a folder stored without its final "\" ("d:\dane")
// gets one, so the file lands inside it; an empty folder gives the bare
// name, a file in the program's working folder.
std::string dataFilePath(const std::string& folder, const std::string& name);

class DataFileWriter {
 public:
  enum class State {
    Closed,  // no transmission to a file under way
    Open,    // writing this transmission
    Failed,  // this transmission could not be written; retried at the next
  };

  DataFileWriter(FileSystem& files, const Clock& clock) : files_(files), clock_(clock) {}

  // Opens the file of a new transmission.
  void openDataFile(const Settings& settings);
  // Opens the file of one weight reading, a transmission of its own. With
  // names per transmission a reading whose name is the previous reading's
  // (both within one second) is added to that file whatever the write
  // mode, so that the second does not replace the first.
  void openReadingFile(const Settings& settings);
  // Appends one delivered character (possibly empty) to the open file.
  void write(const std::string& ch);
  // Ends the transmission's file; errors while closing are ignored.
  void closeDataFile();

  // True from the first data of a transmission to its end, whether or not
  // the file could be written.
  [[nodiscard]] bool inTransmission() const { return state_ != State::Closed; }
  [[nodiscard]] State state() const { return state_; }
  [[nodiscard]] const std::string& path() const { return path_; }
  // The system's error number of the last failure, 0 when the last
  // transmission was written.
  [[nodiscard]] int lastError() const { return lastError_; }

 private:
  void open(std::string path, WriteMode mode);
  void fail(int error);

  FileSystem& files_;
  const Clock& clock_;
  std::unique_ptr<OutputFile> file_;
  State state_ = State::Closed;
  std::string path_;
  std::string lastReadingPath_;
  int lastError_ = 0;
};

}  // namespace pondex
