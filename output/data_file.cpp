#include "output/data_file.h"

#include <span>

namespace pondex {
namespace {

void twoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string dataFileName(const LocalDateTime& now, bool perDay) {
  std::string name;
  twoDigits(name, now.year % 100);
  twoDigits(name, now.month);
  twoDigits(name, now.day);
  if (!perDay) {
    name += '_';
    twoDigits(name, now.hour);
    twoDigits(name, now.minute);
    twoDigits(name, now.second);
  }
  return name + ".txt";
}

std::string dataFilePath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
  return folder + '\\' + name;
}

void DataFileWriter::openDataFile(const Settings& settings) {
  open(dataFilePath(settings.dataDirectory, dataFileName(clock_.localNow(), settings.fileNames == FileNaming::PerDay)),
       settings.existingFile);
}

void DataFileWriter::openReadingFile(const Settings& settings) {
  const bool perDay = settings.fileNames == FileNaming::PerDay;
  std::string path = dataFilePath(settings.dataDirectory, dataFileName(clock_.localNow(), perDay));
  const bool sameSecond = !perDay && path == lastReadingPath_;
  lastReadingPath_ = path;
  open(std::move(path), sameSecond ? WriteMode::Append : settings.existingFile);
}

void DataFileWriter::open(std::string path, WriteMode mode) {
  file_.reset();
  path_ = std::move(path);
  auto opened = files_.openForWriting(path_, mode);
  if (!opened.ok() || !opened.value) {
    fail(opened.ok() ? 1 : opened.error);
    return;
  }
  file_ = std::move(opened.value);
  state_ = State::Open;
  lastError_ = 0;
}

void DataFileWriter::write(const std::string& ch) {
  if (state_ != State::Open || ch.empty()) return;
  const std::span bytes(reinterpret_cast<const std::uint8_t*>(ch.data()), ch.size());
  if (const Status written = file_->write(bytes); !written.ok()) fail(written.error);
}

void DataFileWriter::closeDataFile() {
  if (file_) {
    if (const Status closed = file_->close(); !closed.ok() && state_ == State::Open) lastError_ = closed.error;
    file_.reset();
  }
  state_ = State::Closed;
}

void DataFileWriter::fail(int error) {
  file_.reset();
  state_ = State::Failed;
  lastError_ = error;
}

}  // namespace pondex
