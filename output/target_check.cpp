#include "output/target_check.h"

namespace pondex {

std::string cannotTypeMessage(const std::string& title) {
  return "Pon_dex cannot type into " + (title.empty() ? std::string("the active window") : title) +
         ": it runs as administrator";
}

void TargetCheck::beforeTyping() {
  const ForegroundTarget target = foreground_.query();
  if (target.window == 0 || target.rights == TargetRights::SameOrLower) return;
  if (!warned_.insert(target.window).second) return;
  (void)tray_.balloon("Pon_dex", cannotTypeMessage(target.title));
}

}  // namespace pondex
