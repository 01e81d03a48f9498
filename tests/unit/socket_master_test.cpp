#include "net/socket_master.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/fakes/socket_fixture.h"

namespace pondex {
namespace {

using fakes::kScale;
using SocketMasterTest = fakes::SocketTest;

const Endpoint kOtherScale{{{10, 0, 0, 8}}, 4001};

TEST(SocketErrorTextTest, KnownCodesHaveTheirTextOthersAreUnknown) {
  EXPECT_EQ(SocketErrorText(10061), "Connection refused.");
  EXPECT_EQ(SocketErrorText(11001), "Host not found.");
  EXPECT_EQ(SocketErrorText(10059), "Unknown error.");  // a gap in the table
}

TEST_F(SocketMasterTest, LibraryStartsWithTheFirstObjectAndStopsAfterTheLastEachTime) {
  net.addHost("waga.local", kScale.address);
  for (int round = 1; round <= 2; ++round) {
    auto a = connected();
    auto b = make();
    ASSERT_TRUE(b->Connect("waga.local", 4001).ok());  // still resolving when released
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

// That it stays while other sockets are registered shows in the routing below.
TEST_F(SocketMasterTest, MessageWindowGoesWithTheLastSocketAndIsMadeAnew) {
  auto a = connected();
  ASSERT_TRUE(a->CloseSck().ok());
  EXPECT_EQ(net.windowCount(), 0);
  ASSERT_TRUE(a->Connect("10.0.0.7", 4001).ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(a->State(), sckConnected);
  EXPECT_EQ(net.windowsCreated, 2);
}

TEST_F(SocketMasterTest, NotificationsReachOnlyTheirOwnObjectAndLateOnesNothing) {
  std::vector<std::int32_t> toA, toB, toC, toD;
  auto a = connected(kScale, &toA);
  auto b = connected(kScale, &toB);
  auto c = connected(kOtherScale, &toC);
  net.peerSends(b->SocketHandle(), "late");  // posted while open...
  ASSERT_TRUE(b->CloseSck().ok());
  auto d = connected(kOtherScale, &toD);
  net.peerSends(d->SocketHandle(), "xyz");
  net.peerSends(a->SocketHandle(), "a");
  net.peerSends(c->SocketHandle(), "late");
  c.reset();
  loop.runFor(Millis(1));  // ...delivered after
  EXPECT_EQ(toA, std::vector<std::int32_t>{1});
  EXPECT_TRUE(toB.empty());
  EXPECT_TRUE(toC.empty());
  EXPECT_EQ(toD, std::vector<std::int32_t>{3});
  EXPECT_EQ(net.passedToPrevious, 2);

  // Also when they were held back while the object's own handler ran.
  const SocketId s = d->SocketHandle();
  d->events.DataArrival = [&](std::int32_t n) {
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

  // Lookups are routed the same way.
  net.addHost("waga.local", kScale.address);
  net.addHost("other.local", kOtherScale.address);
  ASSERT_TRUE(b->Connect("waga.local", 4001).ok());
  auto e = make();
  ASSERT_TRUE(e->Connect("other.local", 4001).ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(b->RemoteHostIP(), "10.0.0.7");
  EXPECT_EQ(e->RemoteHostIP(), "10.0.0.8");
}

// A handler that yields to the event loop at the end of each piece, as the
// main window's does: a notification pending then must not be handled inside
// it, or fast arrivals grow the stack one level per piece.
TEST_F(SocketMasterTest, BackToBackSegmentsArriveInOrderWithoutNesting) {
  constexpr int kSegments = 10'000;
  net.receiveBufferSize = 4;  // one segment per receive
  auto client = connected();
  int depth = 0;
  int deepest = 0;
  std::vector<std::string> pieces;
  client->events.DataArrival = [&](std::int32_t) {
    ++depth;
    deepest = std::max(deepest, depth);
    pieces.push_back(takeText(*client));
    loop.yieldToPendingEvents();
    --depth;
  };
  std::vector<std::string> sent;
  for (int i = 0; i < kSegments; ++i) {
    sent.push_back(std::to_string(kSegments + i).substr(1));  // "0000" to "9999"
    net.peerSends(client->SocketHandle(), sent.back());
  }
  net.peerCloses(client->SocketHandle());
  loop.runFor(Millis(1));
  EXPECT_LE(deepest, 2);
  EXPECT_TRUE(pieces == sent) << pieces.size() << " pieces";
  EXPECT_EQ(log, std::vector<std::string>{"CloseSck at 0"});  // after the last piece
}

}  // namespace
}  // namespace pondex
