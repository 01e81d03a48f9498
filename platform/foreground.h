#pragma once
// The window that receives injected keys: the foreground window. Windows
// drops keys sent to a process that runs with a higher integrity level
// (typically one started as administrator), without telling the sender.
#include <cstdint>
#include <string>

namespace pondex {

enum class TargetRights {
  Higher,       // above our own integrity level: the keys will be dropped
  SameOrLower,  // the keys arrive
  Unknown,      // the process could not be examined
};

struct ForegroundTarget {
  std::uintptr_t window = 0;  // 0 when no window is in the foreground
  TargetRights rights = TargetRights::Unknown;
  std::string title;  // UTF-8
};

class Foreground {
 public:
  virtual ~Foreground() = default;
  virtual ForegroundTarget query() = 0;
};

}  // namespace pondex
