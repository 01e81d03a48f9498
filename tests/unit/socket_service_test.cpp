#include "net/socket_service.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/fakes/socket_fixture.h"

namespace pondex {
namespace {

using fakes::kScale;
using SocketServiceTest = fakes::SocketTest;

TEST_F(SocketServiceTest, TheLibraryRunsFromTheFirstObjectToTheLastEachTime) {
  net.addHost("waga.local", kScale.address);
  for (int round = 1; round <= 2; ++round) {
    auto a = connected();
    auto b = make();
    ASSERT_TRUE(b->connect("waga.local", 4001).ok());  // still resolving when released
    EXPECT_EQ(net.startups, round);
    a.reset();
    EXPECT_EQ(net.cleanups, round - 1);
    b.reset();
    EXPECT_EQ(net.cleanups, round);
    EXPECT_EQ(net.openSockets(), 0);
    EXPECT_EQ(net.liveLookups(), 0);
  }
  loop.runFor(Millis(10));
  EXPECT_EQ(net.connectAttempts, (std::vector<Endpoint>{kScale, kScale}));
}

// Four connected objects, each sent something: b is closed and c released
// before the notifications arrive.
class LateNotificationsTest : public SocketServiceTest {
 protected:
  void SetUp() override {
    a = connected(&toA);
    b = connected(&toB);
    c = connected(&toC);
    d = connected(&toD);
    net.peerSends(b->socketId(), "late");  // posted while open...
    net.peerSends(c->socketId(), "late");
    net.peerSends(d->socketId(), "xyz");
    net.peerSends(a->socketId(), "a");
    ASSERT_TRUE(b->close().ok());
    c.reset();
    loop.runFor(Millis(1));  // ...delivered after
  }
  std::vector<std::int32_t> toA, toB, toC, toD;
  std::unique_ptr<SocketConnection> a, b, c, d;
};

TEST_F(LateNotificationsTest, NotificationsReachOnlyTheirOwnLiveObject) {
  EXPECT_EQ(toA, std::vector<std::int32_t>{1});
  EXPECT_EQ(toD, std::vector<std::int32_t>{3});
  EXPECT_TRUE(toB.empty()) << "closed";
  EXPECT_TRUE(toC.empty()) << "released";
  EXPECT_EQ(net.passedToPrevious, 2);
}

// Nor does an object released by its own handler get those held back while
// that handler ran.
TEST_F(LateNotificationsTest, AnObjectReleasedByItsHandlerGetsNothingHeldBack) {
  const SocketId s = d->socketId();
  d->events.dataArrived = [&](std::int32_t n) {
    toD.push_back(n);
    net.peerSends(s, "more");
    net.peerCloses(s);
    loop.yieldToPendingEvents();
    d.reset();
  };
  net.peerSends(s, "!");
  loop.runFor(Millis(1));
  EXPECT_EQ(toD, (std::vector<std::int32_t>{3, 4}));
  EXPECT_EQ(net.passedToPrevious, 4);
}

// A handler that yields to the event loop at the end of each piece, as the
// network input's does: a notification pending then must not be handled
// inside it, or fast arrivals grow the stack one level per piece.
TEST_F(SocketServiceTest, BackToBackSegmentsArriveInOrderWithoutNesting) {
  constexpr int kSegments = 10'000;
  net.receiveBufferSize = 4;  // one segment per receive
  auto client = connected();
  int depth = 0;
  int deepest = 0;
  std::vector<std::string> pieces;
  client->events.dataArrived = [&](std::int32_t) {
    ++depth;
    deepest = std::max(deepest, depth);
    pieces.push_back(takeText(*client));
    loop.yieldToPendingEvents();
    --depth;
  };
  std::vector<std::string> sent;
  for (int i = 0; i < kSegments; ++i) {
    sent.push_back(std::to_string(kSegments + i).substr(1));  // "0000" to "9999"
    net.peerSends(client->socketId(), sent.back());
  }
  net.peerCloses(client->socketId());
  loop.runFor(Millis(1));
  EXPECT_LE(deepest, 2);
  EXPECT_TRUE(pieces == sent) << pieces.size() << " pieces";
  EXPECT_EQ(log, std::vector<std::string>{"peerClosed at 0"});  // after the last piece
}

}  // namespace
}  // namespace pondex
