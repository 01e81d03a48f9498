#pragma once
// Weights out of what a scale sends, for the "number alone" mode, piece by
// piece: received text cut into lines (core/line_splitter.h), each line
// recognised (core/line_recognition.h) and grouped into records
// (core/record_assembler.h). Without a clock of its own, this reader
// decides what a piece leaves held when the piece ends, and what the
// unended line gives at the silence.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/line_splitter.h"
#include "core/record_assembler.h"
#include "core/weight_number.h"

namespace pondex {

class WeightReader {
 public:
  using Options = RecordAssembler::Options;

  // The numbers of the readings this piece completes.
  std::vector<std::string> piece(std::string_view text, const Options& options);
  // The scale fell silent: the number of the unended line, if it gives one.
  std::optional<std::string> silence(const Options& options);

  // The read command went out: the next reading is its answer.
  void readingAsked() { records_.readingAsked(); }
  void newWeighing() { records_.newWeighing(); }
  // Forgets everything: a half-received line, the weighing, a pending answer.
  void clear();

 private:
  LineSplitter lines_;
  RecordAssembler records_;
};

}  // namespace pondex
