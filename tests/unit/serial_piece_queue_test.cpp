#include "platform/portable/serial_piece_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

namespace pondex {
namespace {

TEST(SerialPieceQueue, HandsOutPiecesWithTheirFailuresInOrderEachOnce) {
  SerialPieceQueue queue;
  queue.put({.bytes = "abc", .receivedAt = Millis(5), .lineError = true});
  queue.put({.bytes = "", .receivedAt = Millis(6)});
  queue.putFailure(kErrorGenFailure, Millis(7));
  queue.put({.bytes = "de", .receivedAt = Millis(8)});

  auto head = queue.take(2);
  ASSERT_TRUE(head.ok());
  EXPECT_EQ(head.value.bytes, "ab");
  EXPECT_EQ(head.value.receivedAt, Millis(5));
  EXPECT_TRUE(head.value.lineError);
  auto rest = queue.take(256);
  ASSERT_TRUE(rest.ok());
  EXPECT_EQ(rest.value.bytes, "c") << "the rest of a piece stays first, as it was";
  EXPECT_EQ(rest.value.receivedAt, Millis(5));
  EXPECT_TRUE(rest.value.lineError);

  const auto failure = queue.take(256);
  EXPECT_EQ(failure.error, kErrorGenFailure);
  EXPECT_EQ(failure.value.bytes, "");
  EXPECT_EQ(failure.value.receivedAt, Millis(7));

  const auto after = queue.take(256);
  ASSERT_TRUE(after.ok()) << "a failure is handed out once";
  EXPECT_EQ(after.value.bytes, "de");
  EXPECT_FALSE(after.value.lineError);
  const auto none = queue.take(256);
  EXPECT_TRUE(none.ok());
  EXPECT_EQ(none.value.bytes, "");
  EXPECT_EQ(queue.waitingBytes(), 0u);
}

TEST(SerialPieceQueue, AFullQueueHoldsThePutterUntilATakeMakesRoom) {
  SerialPieceQueue queue(10);
  EXPECT_EQ(queue.waitForRoom(), 10u);
  queue.put({.bytes = "0123456789"});
  std::size_t room = 0;
  std::thread putter([&] { room = queue.waitForRoom(); });
  // Lets the putter reach its wait first; the outcome does not depend on it.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(queue.take(4).value.bytes, "0123");
  putter.join();
  EXPECT_EQ(room, 4u) << "a full queue gave the putter room it did not have";
}

TEST(SerialPieceQueue, CloseEndsTheWaitForRoomForGood) {
  SerialPieceQueue queue(4);
  queue.put({.bytes = "full"});
  std::size_t room = 99;
  std::thread putter([&] { room = queue.waitForRoom(); });
  queue.close();
  putter.join();
  EXPECT_EQ(room, 0u);
  EXPECT_EQ(queue.waitForRoom(), 0u);
}

TEST(SerialPieceQueue, CloseKeepsWhatWaits) {
  SerialPieceQueue queue(4);
  queue.put({.bytes = "full"});
  queue.close();
  EXPECT_EQ(queue.take(256).value.bytes, "full");
}

constexpr std::size_t kCapacity = 64;
constexpr std::size_t kTotal = 20000;

// What a taker thread saw of a reader thread's stream.
struct TakenStream {
  std::string received;
  std::vector<std::size_t> failuresAfter;  // bytes received before each failure
  std::size_t mostWaiting = 0;
};

TakenStream readerAndTaker() {
  // A fast line into a slow taker: the putter always fills what room it is
  // given, with a failure after every 1,000th byte.
  SerialPieceQueue queue(kCapacity);
  std::thread putter([&] {
    std::size_t sent = 0;
    std::size_t nextFailure = 1000;
    while (sent < kTotal) {
      const std::size_t room = queue.waitForRoom();
      if (room == 0) return;
      std::string piece;
      for (std::size_t i = 0; i < room && i < 1 + sent % 37 && sent < kTotal; ++i, ++sent) {
        piece += static_cast<char>('a' + sent % 26);
      }
      queue.put({.bytes = piece, .receivedAt = Millis(static_cast<Millis::rep>(sent))});
      if (sent >= nextFailure) {
        queue.putFailure(kErrorGenFailure, Millis(static_cast<Millis::rep>(sent)));
        nextFailure += 1000;
      }
    }
  });

  TakenStream taken;
  std::string& received = taken.received;
  Millis lastStamp{0};
  for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
       received.size() < kTotal && std::chrono::steady_clock::now() < end;) {
    taken.mostWaiting = std::max(taken.mostWaiting, queue.waitingBytes());
    auto piece = queue.take(7);
    if (!piece.ok()) {
      taken.failuresAfter.push_back(received.size());
      continue;
    }
    if (piece.value.bytes.empty()) {
      std::this_thread::yield();
      continue;
    }
    EXPECT_LE(piece.value.bytes.size(), 7u);
    EXPECT_GE(piece.value.receivedAt, lastStamp);
    lastStamp = piece.value.receivedAt;
    received += piece.value.bytes;
  }
  queue.close();
  putter.join();
  return taken;
}

TEST(SerialPieceQueue, AReaderThreadHandsEveryByteToATakerThreadWithinTheBound) {
  const TakenStream taken = readerAndTaker();
  EXPECT_LE(taken.mostWaiting, kCapacity);
  ASSERT_EQ(taken.received.size(), kTotal);
  for (std::size_t i = 0; i < kTotal; ++i) {
    ASSERT_EQ(taken.received[i], static_cast<char>('a' + i % 26)) << "byte " << i;
  }
  // The last failure may still wait: the taker stops at the last byte.
  ASSERT_GE(taken.failuresAfter.size(), kTotal / 1000 - 1);
  for (std::size_t i = 0; i < taken.failuresAfter.size(); ++i) {
    EXPECT_GE(taken.failuresAfter[i], 1000 * (i + 1)) << "failure " << i << " came before the bytes put before it";
    EXPECT_LT(taken.failuresAfter[i], 1000 * (i + 1) + 37) << "failure " << i;
  }
}

}  // namespace
}  // namespace pondex
