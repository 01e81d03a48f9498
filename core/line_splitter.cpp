#include "core/line_splitter.h"

#include <utility>

namespace pondex {

std::vector<ReceivedLine> LineSplitter::add(std::string_view piece) {
  std::vector<ReceivedLine> lines;
  for (char c : piece) {
    if (c == '\r' || c == '\n') {
      if (auto line = flush()) lines.push_back(std::move(*line));
      continue;
    }
    if (pending_.size() < kMaxLineLength) {
      pending_ += c;
    } else {
      overlong_ = true;
    }
  }
  return lines;
}

std::optional<ReceivedLine> LineSplitter::flush() {
  ReceivedLine line{std::move(pending_), overlong_};
  pending_.clear();
  overlong_ = false;
  if (line.text.empty()) return std::nullopt;
  return line;
}

void LineSplitter::clear() {
  pending_.clear();
  overlong_ = false;
}

}  // namespace pondex
