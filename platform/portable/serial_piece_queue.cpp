#include "platform/portable/serial_piece_queue.h"

#include <utility>

namespace pondex {

void SerialPieceQueue::put(SerialPiece piece) {
  if (piece.bytes.empty()) return;
  const std::lock_guard lock(mutex_);
  bytes_ += piece.bytes.size();
  entries_.push_back({std::move(piece), 0});
}

void SerialPieceQueue::putFailure(int error, Millis at) {
  const std::lock_guard lock(mutex_);
  entries_.push_back({SerialPiece{.receivedAt = at}, error});
}

Result<SerialPiece> SerialPieceQueue::take(std::size_t maxBytes) {
  Result<SerialPiece> taken;
  {
    const std::lock_guard lock(mutex_);
    if (entries_.empty()) return {};
    Entry& first = entries_.front();
    if (first.error != 0) {
      taken = {std::move(first.piece), first.error};
      entries_.pop_front();
      return taken;
    }
    taken.value.bytes = first.piece.bytes.substr(first.handedOut, maxBytes);
    taken.value.receivedAt = first.piece.receivedAt;
    taken.value.lineError = first.piece.lineError;
    first.handedOut += taken.value.bytes.size();
    bytes_ -= taken.value.bytes.size();
    if (first.handedOut == first.piece.bytes.size()) entries_.pop_front();
  }
  if (!taken.value.bytes.empty()) roomMade_.notify_all();
  return taken;
}

std::size_t SerialPieceQueue::waitForRoom() {
  std::unique_lock lock(mutex_);
  roomMade_.wait(lock, [this] { return closed_ || bytes_ < capacity_; });
  return closed_ ? 0 : capacity_ - bytes_;
}

void SerialPieceQueue::close() {
  {
    const std::lock_guard lock(mutex_);
    closed_ = true;
  }
  roomMade_.notify_all();
}

std::size_t SerialPieceQueue::waitingBytes() const {
  const std::lock_guard lock(mutex_);
  return bytes_;
}

}  // namespace pondex
