#pragma once
// Received text cut into lines for the weight mode.
//
// - A line ends at CR, LF, ETX or EOT (an empty line is no line, so the LF
//   of CR LF needs no care); the ending is not part of the line. STX begins
//   a frame: what came before it on the same line (a checksum byte of the
//   previous frame, noise) is dropped. Other control bytes are not part of
//   a reading and are dropped; a tab is kept.
// - A line keeps its first kMaxLineLength characters; the rest is dropped
//   and the line is marked cut.
// - A line during which the line reported an error (a piece with lineError)
//   is marked damaged: every line that has bytes in such a piece, the one
//   under way when it came included.
// - After an open, a line is believed only if it began after a quiet
//   moment: when the first piece was received within kResyncWindow of the
//   open, the scale was sending already and its bytes up to the next line
//   end (or STX) are the tail of a line under way: they are skipped.
// - After a close, the half line is dropped: never a line, never joined to
//   later bytes.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"

namespace pondex {

inline constexpr std::size_t kMaxLineLength = 256;
// Bytes received this soon after an open are the middle of a stream.
inline constexpr Millis kResyncWindow{50};

struct ReceivedLine {
  std::string text;
  bool cut = false;      // longer than kMaxLineLength: the rest was dropped
  bool damaged = false;  // the line reported an error while it came: never a reading
  Millis endedAt{0};     // when its ending was received, on the event loop's clock
};

// Received bytes, as the input hands them over.
struct ReceivedText {
  std::string bytes;
  Millis receivedAt{0};    // when they were received, on the event loop's clock
  bool lineError = false;  // the line reported an error while they came
};

class LineSplitter {
 public:
  // The lines this piece ends, in order; empty lines give none.
  std::vector<ReceivedLine> add(const ReceivedText& piece);
  // The line received so far without its ending, if any, ended `at` (the
  // scale fell silent); it is taken.
  std::optional<ReceivedLine> flush(Millis at);
  // The input opened `at`: a half line is dropped and the next piece may
  // begin mid-line.
  void opened(Millis at);
  // The input closed: a half line is dropped.
  void closed();

 private:
  void dropLine();
  std::optional<ReceivedLine> endLine(Millis at);

  std::string pending_;
  bool overlong_ = false;  // the rest of this line is being dropped
  bool damaged_ = false;
  bool skipping_ = false;           // the tail of a line begun before the open
  std::optional<Millis> openedAt_;  // until the first piece after an open
};

}  // namespace pondex
