#include "core/tray_status.h"

#include "output/data_file.h"
#include "platform/program_name.h"

namespace pondex {

std::string TrayStatus::tip() const {
  std::string tip = kProgramName;
  if (missingPort_) tip += " - " + *missingPort_ + " missing";
  if (failedPath_) tip += std::string(" - ") + kWriteFailedText + ": " + *failedPath_;
  return tip;
}

void TrayStatus::addIcon() {
  shown_ = tip();
  (void)tray_.add(shown_);
}

void TrayStatus::portMissing(const std::string& portName) {
  missingPort_ = portName;
  update();
}

void TrayStatus::portBack() {
  missingPort_.reset();
  update();
}

void TrayStatus::writeFailed(const std::string& path) {
  failedPath_ = path;
  update();
}

void TrayStatus::writeSucceeded() {
  failedPath_.reset();
  update();
}

void TrayStatus::update() {
  std::string now = tip();
  if (now == shown_) return;
  shown_ = std::move(now);
  (void)tray_.setTip(shown_);
}

}  // namespace pondex
