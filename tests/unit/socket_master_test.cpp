#include "net/socket_master.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "net/csocket_master.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sockets.h"

namespace pondex {
namespace {

using fakes::FakeSocketLibrary;

const Endpoint kScale{{{10, 0, 0, 7}}, 4001};
const Endpoint kOtherScale{{{10, 0, 0, 8}}, 4001};

class SocketMasterTest : public ::testing::Test {
 protected:
  std::unique_ptr<CSocketMaster> connected(const Endpoint& to, std::vector<std::int32_t>* arrivals = nullptr) {
    auto object = std::make_unique<CSocketMaster>(service);
    if (arrivals != nullptr) object->events.DataArrival = [arrivals](std::int32_t n) { arrivals->push_back(n); };
    EXPECT_TRUE(object->Connect(to.address.dotted(), to.port).ok());
    loop.runFor(Millis(1));
    EXPECT_EQ(object->State(), sckConnected);
    return object;
  }

  fakes::FakeEventLoop loop;
  FakeSocketLibrary net{loop};
  fakes::FakeMessageBoxes boxes;
  modSocketMaster service{net, boxes};
};

TEST(SocketErrorTextTest, KnownCodesHaveTheirTextOthersAreUnknown) {
  EXPECT_EQ(SocketErrorText(10061), "Connection refused.");
  EXPECT_EQ(SocketErrorText(10004), "Interrupted function call.");
  EXPECT_EQ(SocketErrorText(10092), "Winsock.dll version out of range.");
  EXPECT_EQ(SocketErrorText(11004), "Valid name, no data record of requested type.");
  EXPECT_EQ(SocketErrorText(12345), "Unknown error.");
  EXPECT_EQ(SocketErrorText(10059), "Unknown error.");  // a gap in the table
  EXPECT_EQ(SocketErrorText(0), "Unknown error.");
}

TEST(SocketConversionsTest, MessageParameterHalvesAndPorts) {
  const std::intptr_t lParam = makeLParam(kNotifyConnect, 10061);
  EXPECT_EQ(loWord(lParam), kNotifyConnect);
  EXPECT_EQ(hiWord(lParam), 10061);
  EXPECT_EQ(hiWord(makeLParam(kNotifyClose, 0xFFFF)), 0xFFFF);  // unsigned, not -1
  EXPECT_EQ(hiWord(-1), 0xFFFF);

  EXPECT_EQ(portToInteger(4001).value(), 4001);
  EXPECT_EQ(portToInteger(65535).value(), -1);
  EXPECT_EQ(integerToPort(-1), 65535);
  EXPECT_EQ(integerToPort(portToInteger(40000).value()), 40000);
  const auto overflow = portToInteger(70000);
  ASSERT_FALSE(overflow.ok());
  EXPECT_EQ(overflow.status().number(), kErrOverflow);
  EXPECT_FALSE(portToInteger(-1).ok());
}

TEST_F(SocketMasterTest, LibraryStartsWithTheFirstObjectAndStopsAfterTheLast) {
  auto a = std::make_unique<CSocketMaster>(service);
  auto b = std::make_unique<CSocketMaster>(service);
  auto c = std::make_unique<CSocketMaster>(service);
  EXPECT_EQ(net.startups, 1);
  EXPECT_EQ(service.liveObjects(), 3);
  a.reset();
  c.reset();
  EXPECT_EQ(net.cleanups, 0);
  EXPECT_TRUE(service.started());
  b.reset();
  EXPECT_EQ(net.cleanups, 1);
  EXPECT_FALSE(service.started());
  EXPECT_EQ(service.liveObjects(), 0);

  auto d = std::make_unique<CSocketMaster>(service);
  EXPECT_EQ(net.startups, 2);
  d.reset();
  EXPECT_EQ(net.cleanups, 2);
}

TEST_F(SocketMasterTest, StartAndStopFailuresAreReturnedAndAFailedStartIsRetried) {
  net.startupError = 10091;
  auto failed = std::make_unique<CSocketMaster>(service);
  ASSERT_FALSE(failed->startupResult().ok());
  EXPECT_EQ(failed->startupResult().error(),
            (SocketError{10091, "Network subsystem is unavailable.", "modSocketMaster.InitiateProcesses"}));
  // Without the library, every attempt ends in an Error event.
  std::vector<int> errors;
  failed->events.Error = [&](SocketErrorArgs& e) { errors.push_back(e.Number); };
  EXPECT_TRUE(failed->Connect("10.0.0.7", 4001).ok());
  EXPECT_EQ(errors, std::vector<int>{kWsaNotInitialised});

  net.startupError = 0;
  auto next = std::make_unique<CSocketMaster>(service);
  EXPECT_TRUE(next->startupResult().ok());
  EXPECT_EQ(net.startups, 2);

  next.reset();
  net.cleanupError = 10050;
  failed.reset();
  EXPECT_EQ(net.cleanups, 1);

  ASSERT_TRUE(service.InitiateProcesses().ok());
  const SocketResult stopped = service.FinalizeProcesses();
  ASSERT_FALSE(stopped.ok());
  EXPECT_EQ(stopped.error().source, "modSocketMaster.FinalizeProcesses");
  EXPECT_EQ(stopped.error().number, 10050);
}

TEST_F(SocketMasterTest, MessageWindowLivesFromFirstRegistrationToEmptyRegistry) {
  auto a = std::make_unique<CSocketMaster>(service);
  EXPECT_EQ(service.messageWindow(), 0u);
  ASSERT_TRUE(a->Connect("10.0.0.7", 4001).ok());
  const WindowId first = service.messageWindow();
  ASSERT_NE(first, 0u);
  auto b = connected(kOtherScale);
  EXPECT_EQ(service.messageWindow(), first);
  EXPECT_EQ(net.windowsCreated, 1);

  ASSERT_TRUE(a->CloseSck().ok());
  EXPECT_TRUE(net.windowExists(first));
  ASSERT_TRUE(b->CloseSck().ok());
  EXPECT_FALSE(net.windowExists(first));
  EXPECT_EQ(service.messageWindow(), 0u);
  EXPECT_EQ(net.windowsDestroyed, 1);

  ASSERT_TRUE(a->Connect("10.0.0.7", 4001).ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(a->State(), sckConnected);
  EXPECT_EQ(net.windowsCreated, 2);
  EXPECT_NE(service.messageWindow(), first);
  EXPECT_TRUE(net.windowExists(service.messageWindow()));
}

TEST_F(SocketMasterTest, NotificationsReachOnlyTheOwnerOfTheirSocket) {
  std::vector<std::int32_t> toA, toB;
  auto a = connected(kScale, &toA);
  auto b = connected(kOtherScale, &toB);
  net.peerSends(b->SocketHandle(), "12345");
  loop.runFor(Millis(1));
  net.peerSends(a->SocketHandle(), "12");
  loop.runFor(Millis(1));
  EXPECT_EQ(toA, std::vector<std::int32_t>{2});
  EXPECT_EQ(toB, std::vector<std::int32_t>{5});
}

TEST_F(SocketMasterTest, FreedSlotsAreReusedAndStillRouteCorrectly) {
  auto a = connected(kScale);
  std::vector<std::int32_t> toC;
  auto b = connected(kScale);
  auto c = connected(kScale, &toC);
  EXPECT_EQ(service.socketTableSize(), 3u);

  ASSERT_TRUE(b->CloseSck().ok());
  std::vector<std::int32_t> toD;
  auto d = connected(kOtherScale, &toD);
  EXPECT_EQ(service.socketTableSize(), 3u);

  net.peerSends(d->SocketHandle(), "xyz");
  net.peerSends(c->SocketHandle(), "c");
  loop.runFor(Millis(1));
  EXPECT_EQ(toD, std::vector<std::int32_t>{3});
  EXPECT_EQ(toC, std::vector<std::int32_t>{1});

  // Lookups share the same rule.
  net.addHost("waga.local", kScale.address);
  net.holdLookups = true;
  auto e = std::make_unique<CSocketMaster>(service);
  auto f = std::make_unique<CSocketMaster>(service);
  ASSERT_TRUE(e->Connect("waga.local", 4001).ok());
  ASSERT_TRUE(f->Connect("waga.local", 4001).ok());
  EXPECT_EQ(service.lookupTableSize(), 2u);
  ASSERT_TRUE(e->CloseSck().ok());
  ASSERT_TRUE(e->Connect("waga.local", 4001).ok());
  EXPECT_EQ(service.lookupTableSize(), 2u);
  net.completeLookups();
  loop.runFor(Millis(1));
  EXPECT_EQ(e->State(), sckConnected);
  EXPECT_EQ(f->State(), sckConnected);
}

TEST_F(SocketMasterTest, LateNotificationForAClosedSocketHasNoEffect) {
  std::vector<std::int32_t> arrivals;
  auto a = connected(kScale, &arrivals);
  auto keepsWindow = connected(kOtherScale);
  const SocketId old = a->SocketHandle();
  net.peerSends(old, "late");  // posted while open...
  ASSERT_TRUE(a->CloseSck().ok());
  const int passed = net.passedToPrevious;
  loop.runFor(Millis(1));  // ...delivered after the close
  EXPECT_TRUE(arrivals.empty());
  EXPECT_EQ(net.passedToPrevious, passed + 1);
  EXPECT_EQ(a->State(), sckClosed);

  // With the last socket gone the window went too: the message is lost.
  net.peerSends(keepsWindow->SocketHandle(), "late");
  ASSERT_TRUE(keepsWindow->CloseSck().ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(net.lostNotifications, 1);
}

TEST_F(SocketMasterTest, MessagesTheDispatcherDoesNotKnowGoToThePreviousProcedure) {
  auto a = connected(kScale);
  const WindowId window = service.messageWindow();
  net.deliverMessage(window, 0x0010, 0, 0);  // any other window message
  net.deliverMessage(window, kSocketMessage, 0x7777, makeLParam(kNotifyRead, 0));
  net.deliverMessage(window, kLookupMessage, 0x7777, 0);
  EXPECT_EQ(net.passedToPrevious, 3);
  EXPECT_EQ(a->State(), sckConnected);
}

TEST_F(SocketMasterTest, RegistrationFailuresAreReturnedAndLeaveNothingBehind) {
  auto a = std::make_unique<CSocketMaster>(service);
  net.windowCreationFails = true;
  SocketResult r = a->Connect("10.0.0.7", 4001);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), (SocketError{kErrOutOfMemory, "Out of memory", "modSocketMaster.RegisterSocket"}));
  EXPECT_EQ(net.openSockets(), 0);
  EXPECT_EQ(a->SocketHandle(), kNoSocket);
  EXPECT_EQ(a->State(), sckClosed);

  net.windowCreationFails = false;
  net.asyncSelectError = 10022;
  r = a->Connect();
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), (SocketError{10022, "Invalid argument.", "modSocketMaster.RegisterSocket"}));
  EXPECT_EQ(net.openSockets(), 0);
  EXPECT_EQ(net.windowCount(), 0);
  EXPECT_EQ(service.socketTableSize(), 0u);

  net.asyncSelectError = 0;
  EXPECT_TRUE(a->Connect().ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(a->State(), sckConnected);
}

TEST_F(SocketMasterTest, RefusedWindowDestructionIsReportedAndTheWindowServedAgain) {
  auto a = connected(kScale);
  const WindowId window = service.messageWindow();
  net.windowDestructionRefused = true;
  const SocketResult r = a->CloseSck();
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), (SocketError{kErrOutOfMemory, "Out of memory", "modSocketMaster.DestroyWinsockMessageWindow"}));
  EXPECT_EQ(a->State(), sckClosed);
  EXPECT_EQ(service.messageWindow(), window);

  net.windowDestructionRefused = false;
  ASSERT_TRUE(a->Connect("10.0.0.7").ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(a->State(), sckConnected);
  EXPECT_EQ(net.windowsCreated, 1);
  EXPECT_EQ(service.messageWindow(), window);
}

}  // namespace
}  // namespace pondex
