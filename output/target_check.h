#pragma once
// Windows silently drops injected keys aimed at a program that runs with
// higher rights than ours. Before a transmission is typed, the check tells
// the user once per target window, in a tray balloon; the keys are sent
// anyway (the user may lower the target's rights or move the focus).
#include <cstdint>
#include <set>
#include <string>

#include "platform/foreground.h"
#include "platform/tray.h"

namespace pondex {

[[nodiscard]] std::string cannotTypeMessage(const std::string& title);

class TargetCheck {
 public:
  TargetCheck(Foreground& foreground, Tray& tray) : foreground_(foreground), tray_(tray) {}

  // Call before typing; never stops the typing.
  void beforeTyping();

 private:
  Foreground& foreground_;
  Tray& tray_;
  std::set<std::uintptr_t> warned_;  // windows already named in a balloon
};

}  // namespace pondex
