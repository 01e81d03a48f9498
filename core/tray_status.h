#pragma once
// The tip over the tray icon and its one owner. It holds the program's
// name and every condition that holds at the moment, each in its own
// words, both visible when both hold: the missing adapter first, the data
// file that could not be written last, so that a tip too long for the icon
// is cut in the path and keeps the file name:
//
//   Pon_dex
//   Pon_dex - Com1: missing
//   Pon_dex - BŁĄD ZAPISU: c:\kolvat\pon_dex\260307.txt
//   Pon_dex - Com1: missing - BŁĄD ZAPISU: c:\kolvat\pon_dex\260307.txt
//
// Each condition clears on its own. The tray hears of the tip only when it
// changes.
#include <optional>
#include <string>

#include "platform/tray.h"

namespace pondex {

class TrayStatus {
 public:
  explicit TrayStatus(Tray& tray) : tray_(tray) {}

  // Puts the icon into the notification area with the tip of now.
  void addIcon();

  // The serial adapter of `portName` is missing (unplugged), or back.
  void portMissing(const std::string& portName);
  void portBack();
  // The data could not be written to `path`, or a later write succeeded.
  void writeFailed(const std::string& path);
  void writeSucceeded();

  [[nodiscard]] std::string tip() const;

 private:
  void update();

  Tray& tray_;
  std::optional<std::string> missingPort_;
  std::optional<std::string> failedPath_;
  std::string shown_;
};

}  // namespace pondex
