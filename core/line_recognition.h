#pragma once
// What one line of a scale says: whether it holds a weight, the weight's
// number and unit, its status, its gross/net/tare label, and whether it is
// a line of a printed report's heading. One line alone, no history: the
// rules over time are core/record_assembler.h's.
//
// - The marks, units and words come from core/status_marks.h.
// - The weight is the first number that stands with a unit (glued or
//   apart, after a blank or a comma). Without a unit, it is the number
//   after the status marks, skipping a range digit, device number or
//   address glued to a status field; a date, time, identifier or any other
//   word before it means the line holds no weight.
// - Never a weight: dates ("2009/12/31", "14.01.2011"), times ("12:34:56"),
//   a number after an identifier word ("S/N 0123"), codes mixing digits
//   and letters ("XY-300"), a number with two decimal points, dashes or
//   carets in place of digits. A line with an error or heading word holds
//   no weight even beside a number with a unit.
// - A sign apart from its digits ("-    2.237") is the number's sign; a sign
//   with no digits after an echo ("S +") is an overload or underload.
// - A digit in brackets (the last, unverified digit) belongs to the number.
// - A number without a unit followed by blanks where a unit would stand
//   is moving: such instruments send the unit only when settled.
// - A numeric status field after a unitless weight and its address
//   ("-00001.0,01,006") is a sum of kStatusBits.
// - The binary status frame of indicators is core/binary_status.h's.
//
// The line comes without its ending. Control characters other than TAB are
// not part of a reading: they are skipped, and what came before an STX
// (the checksum of the frame before) is dropped.
#include <cstddef>
#include <string_view>

#include "core/status_marks.h"
#include "core/weight_number.h"

namespace pondex {

struct LineReading {
  bool isWeight = false;  // a number stands where a weight stands
  WeightNumber number;
  std::string_view unit;                       // by the name kWeightUnits gives it, "" when none
  ReadingStatus status = ReadingStatus::None;  // Settled when a weight has no mark saying otherwise
  bool marked = false;                         // a status mark was there (an echo, status bytes or bits too)
  WeightLabel label = WeightLabel::None;
  bool heading = false;      // a date, time, identifier or heading word: a line of a printed report
  bool numberAtEnd = false;  // the number's last digit is the line's last character
};

LineReading recogniseLine(std::string_view line);

}  // namespace pondex
