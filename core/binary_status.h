#pragma once
// The continuous binary status frame of weighing indicators: STX, three
// status bytes, six weight digits, six tare digits (they may be missing),
// CR. The line seen here starts at the status bytes (the splitter drops the
// STX) and has no CR. A byte between the CR and the next STX is the frame
// before's checksum; it never reaches a line, so it is not checked.
//
// Status byte A: bits 0-2 the decimal point (0: two implied zeros, 1: one,
// 2: none, 3-7: one to five decimals), bits 3-4 the count-by (never 0).
// Status byte B: bit 0 net, bit 1 negative, bit 2 out of range, bit 3 in
// motion, bit 4 kg (lb when clear). Status byte C: bits 0-2 another unit
// (0: the one B names). Every status byte has bit 5 set and bit 7 clear;
// bit 6 is set by some indicators and means nothing.
#include <optional>
#include <string_view>

#include "core/line_recognition.h"

namespace pondex {

// The reading of a binary status frame, or nothing when `line` is not one.
// `framed`: the line began at an STX. A line of digits alone is read as a
// frame only then.
std::optional<LineReading> binaryStatusReading(std::string_view line, bool framed);

}  // namespace pondex
