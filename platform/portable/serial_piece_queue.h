#pragma once
// What a serial port's background reader hands over to the user-interface
// thread, kept between the two: a bounded queue, safe to use from any
// thread. The reader puts, the user-interface thread takes.
//
// - Entries come out in the order they went in: pieces of bytes and read
//   failures. A failure is an entry of its own, handed out once, after
//   every byte put before it.
// - take() never waits. It gives at most maxBytes of the first piece (the
//   rest stays first, with the same stamp and line-error mark), or the first
//   failure once no byte is before it, or an empty piece when nothing waits.
// - At most `capacity` bytes wait: the putting thread calls waitForRoom()
//   before each put and puts no more than it was given. While the queue is
//   full that call blocks, until a take() makes room or close() ends it.
// - After close() waitForRoom() returns 0 at once, for ever; what waits can
//   still be taken.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

#include "platform/serial.h"

namespace pondex {

class SerialPieceQueue {
 public:
  explicit SerialPieceQueue(std::size_t capacity = kMaxWaitingBytes) : capacity_(capacity) {}

  // A piece of bytes; an empty one is dropped.
  void put(SerialPiece piece);
  // A failed read, stamped `at`.
  void putFailure(int error, Millis at);

  Result<SerialPiece> take(std::size_t maxBytes);

  // How many bytes may be put now (at least 1), once there is room; 0 once
  // closed.
  std::size_t waitForRoom();
  void close();

  [[nodiscard]] std::size_t waitingBytes() const;

 private:
  struct Entry {
    SerialPiece piece;
    int error = 0;              // a failure when not 0; its piece then holds no bytes
    std::size_t handedOut = 0;  // the bytes of the piece already taken
  };

  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable roomMade_;
  std::deque<Entry> entries_;  // under mutex_
  std::size_t bytes_ = 0;      // under mutex_: the bytes in entries_
  bool closed_ = false;        // under mutex_
};

}  // namespace pondex
