#include "net/socket_master.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "net/csocket_master.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sockets.h"

namespace pondex {
namespace {

const Endpoint kScale{{{10, 0, 0, 7}}, 4001};
const Endpoint kOtherScale{{{10, 0, 0, 8}}, 4001};

class SocketMasterTest : public ::testing::Test {
 protected:
  // An object that counts what reaches it in `arrivals`.
  std::unique_ptr<CSocketMaster> connected(const Endpoint& to, std::vector<std::int32_t>& arrivals) {
    auto object = std::make_unique<CSocketMaster>(service);
    object->events.DataArrival = [&arrivals](std::int32_t n) { arrivals.push_back(n); };
    EXPECT_TRUE(object->Connect(to.address.dotted(), to.port).ok());
    loop.runFor(Millis(1));
    EXPECT_EQ(object->State(), sckConnected);
    return object;
  }

  fakes::FakeEventLoop loop;
  fakes::FakeSocketLibrary net{loop};
  fakes::FakeMessageBoxes boxes;
  modSocketMaster service{net, boxes};
  std::vector<std::int32_t> toA, toB, toC;
};

TEST(SocketErrorTextTest, KnownCodesHaveTheirTextOthersAreUnknown) {
  EXPECT_EQ(SocketErrorText(10061), "Connection refused.");
  EXPECT_EQ(SocketErrorText(11001), "Host not found.");
  EXPECT_EQ(SocketErrorText(10059), "Unknown error.");  // a gap in the table
}

TEST_F(SocketMasterTest, LibraryStartsWithTheFirstObjectAndStopsAfterTheLastEachTime) {
  net.addHost("waga.local", kScale.address);
  for (int round = 1; round <= 2; ++round) {
    auto a = connected(kScale, toA);
    auto b = std::make_unique<CSocketMaster>(service);
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

TEST_F(SocketMasterTest, MessageWindowGoesWithTheLastSocketAndIsMadeAnew) {
  auto a = connected(kScale, toA);
  auto b = connected(kOtherScale, toB);
  EXPECT_EQ(net.windowsCreated, 1);
  ASSERT_TRUE(a->CloseSck().ok());
  EXPECT_EQ(net.windowCount(), 1);
  ASSERT_TRUE(b->CloseSck().ok());
  EXPECT_EQ(net.windowCount(), 0);
  EXPECT_EQ(service.messageWindow(), 0u);

  ASSERT_TRUE(a->Connect("10.0.0.7", 4001).ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(a->State(), sckConnected);
  EXPECT_EQ(net.windowsCreated, 2);
  EXPECT_EQ(net.windowCount(), 1);
}

TEST_F(SocketMasterTest, NotificationsReachTheirOwnerAlsoThroughReusedSlots) {
  auto a = connected(kScale, toA);
  auto b = connected(kScale, toB);
  auto c = connected(kOtherScale, toC);
  ASSERT_TRUE(b->CloseSck().ok());
  std::vector<std::int32_t> toD;
  auto d = connected(kOtherScale, toD);
  EXPECT_EQ(service.socketTableSize(), 3u);

  net.peerSends(d->SocketHandle(), "xyz");
  net.peerSends(a->SocketHandle(), "a");
  net.peerSends(c->SocketHandle(), "cc");
  loop.runFor(Millis(1));
  EXPECT_EQ(toA, std::vector<std::int32_t>{1});
  EXPECT_TRUE(toB.empty());
  EXPECT_EQ(toC, std::vector<std::int32_t>{2});
  EXPECT_EQ(toD, std::vector<std::int32_t>{3});

  // Lookups follow the same rule.
  net.addHost("waga.local", kScale.address);
  ASSERT_TRUE(b->Connect("waga.local", 4001).ok());
  auto e = std::make_unique<CSocketMaster>(service);
  ASSERT_TRUE(e->Connect("waga.local", 4001).ok());
  ASSERT_TRUE(b->CloseSck().ok());
  ASSERT_TRUE(b->Connect("waga.local", 4001).ok());
  EXPECT_EQ(service.lookupTableSize(), 2u);
  loop.runFor(Millis(1));
  EXPECT_EQ(b->State(), sckConnected);
  EXPECT_EQ(e->State(), sckConnected);
}

TEST_F(SocketMasterTest, LateNotificationForAClosedOrReleasedObjectHasNoEffect) {
  auto a = connected(kScale, toA);
  auto b = connected(kScale, toB);
  auto keepsWindow = connected(kOtherScale, toC);
  net.peerSends(a->SocketHandle(), "late");  // posted while open...
  net.peerSends(b->SocketHandle(), "late");
  ASSERT_TRUE(a->CloseSck().ok());
  b.reset();
  loop.runFor(Millis(1));  // ...delivered after
  EXPECT_TRUE(toA.empty());
  EXPECT_TRUE(toB.empty());
  EXPECT_EQ(net.passedToPrevious, 2);
  EXPECT_EQ(a->State(), sckClosed);
}

}  // namespace
}  // namespace pondex
