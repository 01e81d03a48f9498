#include "output/target_check.h"

#include "platform/program_name.h"

namespace pondex {

std::string cannotTypeMessage(const std::string& title) {
  return std::string(kProgramName) + " cannot type into " + (title.empty() ? std::string("the active window") : title) +
         ": it runs as administrator";
}

void TargetCheck::beforeTyping() {
  const ForegroundTarget target = foreground_.query();
  if (target.window == 0 || target.rights == TargetRights::SameOrLower) return;
  if (!warned_.insert(target.window).second) return;
  (void)tray_.balloon(kProgramName, cannotTypeMessage(target.title));
}

}  // namespace pondex
