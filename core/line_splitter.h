#pragma once
// Received text cut into lines for the weight mode. Lines end at CR, LF or
// CR LF (an empty line is no line, so the LF of CR LF needs no care); the
// ending is not part of the line. A line keeps its first kMaxLineLength
// characters, the rest is dropped and the line is marked cut.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"

namespace pondex {

inline constexpr std::size_t kMaxLineLength = 256;

struct ReceivedLine {
  std::string text;
  bool cut = false;      // longer than kMaxLineLength: the rest was dropped
  bool damaged = false;  // the line reported an error while it came: never a reading
  Millis endedAt{0};     // when its ending was received, on the event loop's clock
};

// Cuts received pieces into lines.
class LineSplitter {
 public:
  // The lines this piece ends, in order; empty lines give none.
  std::vector<ReceivedLine> add(std::string_view piece);
  // The line received so far without its ending, if any; it is taken.
  std::optional<ReceivedLine> flush();
  void clear();

 private:
  std::string pending_;
  bool overlong_ = false;  // the rest of this line is being dropped
};

}  // namespace pondex
