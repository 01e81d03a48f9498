#include "core/line_splitter.h"

#include <utility>

namespace pondex {
namespace {

constexpr char kStartOfText = '\x02';

bool endsLine(char c) {
  return c == '\r' || c == '\n' || c == '\x03' || c == '\x04';
}

// Control bytes other than the tab are framing, never part of a reading.
bool isControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t') || byte == 0x7F;
}

}  // namespace

std::vector<ReceivedLine> LineSplitter::add(const ReceivedText& piece) {
  std::vector<ReceivedLine> lines;
  if (openedAt_) {
    skipping_ = piece.receivedAt < *openedAt_ + kResyncWindow;
    openedAt_.reset();
  }
  // The error lies in one of the piece's bytes, or in bytes the driver lost
  // before them: every line with bytes in the piece, and the line under way
  // when it came, is suspect.
  if (piece.lineError) damaged_ = true;
  for (char c : piece.bytes) {
    if (endsLine(c)) {
      if (skipping_) {
        skipping_ = false;
        dropLine();
      } else if (auto line = endLine(piece.receivedAt)) {
        lines.push_back(std::move(*line));
      }
      continue;
    }
    if (c == kStartOfText) {
      skipping_ = false;
      dropLine();
      if (piece.lineError) damaged_ = true;
      continue;
    }
    if (piece.lineError) damaged_ = true;
    if (skipping_ || isControl(c)) continue;
    if (pending_.size() < kMaxLineLength) {
      pending_ += c;
    } else {
      overlong_ = true;
    }
  }
  return lines;
}

std::optional<ReceivedLine> LineSplitter::flush(Millis at) {
  if (skipping_) {
    skipping_ = false;
    dropLine();
    return std::nullopt;
  }
  return endLine(at);
}

std::optional<ReceivedLine> LineSplitter::endLine(Millis at) {
  ReceivedLine line{std::move(pending_), overlong_, damaged_, at};
  dropLine();
  if (line.text.empty()) return std::nullopt;
  return line;
}

void LineSplitter::dropLine() {
  pending_.clear();
  overlong_ = false;
  damaged_ = false;
}

void LineSplitter::opened(Millis at) {
  dropLine();
  skipping_ = false;
  openedAt_ = at;
}

void LineSplitter::closed() {
  dropLine();
  skipping_ = false;
  openedAt_.reset();
}

}  // namespace pondex
