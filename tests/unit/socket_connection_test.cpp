#include "net/socket_connection.h"

#include <gtest/gtest.h>

#include "tests/fakes/socket_fixture.h"

namespace pondex {
namespace {

using fakes::kScale;
using fakes::kScaleAddress;
using SocketConnectionTest = fakes::SocketTest;

TEST_F(SocketConnectionTest, ArgumentErrorsAreReturnedBeforeAnySocketExists) {
  auto client = make();
  EXPECT_EQ(client->connect("10.0.0.7", "0").number(), 40014);
  EXPECT_EQ(client->connect("10.0.0.7", "70000").number(), 40014);
  EXPECT_EQ(client->connect("10.0.0.7", "abc").number(), 40018);
  EXPECT_EQ(net.openSockets(), 0);
}

// While connecting: no sending or reading yet, and no second connect().
TEST_F(SocketConnectionTest, StateErrorsAreReturnedWhileConnecting) {
  auto client = make();
  ASSERT_TRUE(client->connect("10.0.0.7", "4001").ok());
  SocketData data = std::string();
  EXPECT_EQ(client->send(std::string("SI")).number(), 40006);
  EXPECT_EQ(client->takeReceived(data).number(), 40006);
  EXPECT_EQ(client->connect("10.0.0.9", "5000").number(), 40020);
  EXPECT_EQ(client->state(), SocketState::Connecting);
  EXPECT_EQ(net.connectAttempts, std::vector<Endpoint>{kScale});
  EXPECT_TRUE(net.socket(client->socketId()).wire.empty());
}

// Sends wait behind a send that would block and keep their order; bytes the
// peer sent just before closing are all reported before the close.
TEST_F(SocketConnectionTest, AConnectionKeepsTheOrderBothWays) {
  net.receiveBufferSize = 4;  // pieces smaller than what the peer sends
  auto client = connected();
  EXPECT_EQ(client->remoteAddress(), "10.0.0.7");
  EXPECT_EQ(client->remotePort(), 4001);
  const SocketId s = client->socketId();
  net.socket(s).room = 6;  // the stack takes 6 bytes, then would block
  ASSERT_TRUE(client->send(std::string("ABCDEFGHIJ")).ok());
  ASSERT_TRUE(client->send(std::string("XYZ")).ok());
  EXPECT_EQ(net.socket(s).wire, "ABCDEF");

  net.peerDrains(s);
  net.peerSends(s, "0123456789");
  net.peerCloses(s);
  loop.runFor(Millis(1000));
  EXPECT_EQ(net.socket(s).wire, "ABCDEFGHIJXYZ");
  EXPECT_EQ(arrivals, (std::vector<std::int32_t>{4, 8, 10}));
  EXPECT_EQ(
      log, (std::vector<std::string>{"sendProgressed 6 4", "sendProgressed 7 0", "sendCompleted", "peerClosed at 10"}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(SocketConnectionTest, AConnectionStaysClosingAfterThePeerClosesUntilItsOwnerClosesIt) {
  auto client = connected();
  const SocketId s = client->socketId();
  net.peerSends(s, "0123456789");
  net.peerCloses(s);
  loop.runFor(Millis(1000));
  EXPECT_EQ(client->state(), SocketState::Closing);
  EXPECT_TRUE(net.socket(s).open);

  ASSERT_TRUE(client->close().ok());
  EXPECT_EQ(client->state(), SocketState::Closed);
  EXPECT_EQ(client->socketId(), kNoSocket);
  EXPECT_FALSE(net.socket(s).open);
  EXPECT_TRUE(errors.empty());
}

// What the owner does about it (the network input closes the object and
// tries again) is tested with the network input.
TEST_F(SocketConnectionTest, ARefusalComesAsAFailedEvent) {
  net.planConnect(kScale, {.notifiedError = 10061});
  auto client = make();
  ASSERT_TRUE(client->connect("10.0.0.7", "4001").ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(errors, std::vector<std::string>{"10061 Connection refused. CSocketMaster.PostSocket in 9"});
  EXPECT_TRUE(boxes.shown.empty());  // the handler did not ask for a box
}

TEST_F(SocketConnectionTest, AnAddressRefusedAtOnceIsReturned) {
  auto client = make();
  net.planConnect({{{0, 0, 0, 0}}, 4001}, {.immediateError = 10049});
  EXPECT_EQ(client->connect("0.0.0.0", "4001").number(), 10049);
  EXPECT_EQ(client->state(), SocketState::Connecting);  // the caller closes it
  EXPECT_TRUE(errors.empty()) << "returned, not raised";
}

TEST_F(SocketConnectionTest, AHostNotFoundComesAsAFailedEvent) {
  auto client = make();
  ASSERT_TRUE(client->connect("nowhere", 4001).ok());
  EXPECT_EQ(client->state(), SocketState::ResolvingHost);
  loop.runFor(Millis(1));
  EXPECT_EQ(errors, std::vector<std::string>{"11001 Host not found. CSocketMaster.ConnectToIP in 9"});
}

TEST_F(SocketConnectionTest, ALookupCancelledInTimeBringsNothing) {
  net.addHost("waga.local", kScaleAddress);
  auto client = make();
  ASSERT_TRUE(client->connect("waga.local", 4001).ok());
  ASSERT_TRUE(client->close().ok());
  loop.runFor(Millis(10));
  EXPECT_EQ(client->state(), SocketState::Closed);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(net.liveLookups(), 0);
}

TEST_F(SocketConnectionTest, ALookupTooLateToCancelConnectsNothingButItsOwnAttempt) {
  net.addHost("waga.local", kScaleAddress);
  net.addHost("other.local", Ipv4Address{{10, 0, 0, 8}});
  auto client = make();

  // Too late to cancel: the old completion still arrives (the other
  // object keeps the window) and must not connect the newer attempt to the
  // old host.
  auto other = make();
  ASSERT_TRUE(other->connect("waga.local", 4001).ok());
  net.lookupsCancellable = false;
  ASSERT_TRUE(client->connect("waga.local", 4001).ok());
  ASSERT_TRUE(client->close().ok());
  ASSERT_TRUE(client->connect("other.local", 4001).ok());
  loop.runFor(Millis(10));
  EXPECT_EQ(client->state(), SocketState::Connected);
  EXPECT_EQ(client->remoteAddress(), "10.0.0.8");
  EXPECT_EQ(other->remoteAddress(), "10.0.0.7");
  EXPECT_EQ(net.connectAttempts, (std::vector<Endpoint>{kScale, {{{10, 0, 0, 8}}, 4001}}));
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(net.liveLookups(), 0);
}

TEST_F(SocketConnectionTest, TakeReceivedTakesBytesAsTheyAreOrWaitsForAWholeValue) {
  auto client = connected();
  const SocketId s = client->socketId();
  net.peerSends(s, "ab\xB3\n");
  loop.runFor(Millis(1));
  EXPECT_EQ(takeText(*client), "ab\xB3\n");  // bytes above 127 as they are

  net.peerSends(s, "\x01\x02\x03");
  loop.runFor(Millis(1));
  SocketData number = std::int32_t{77};
  ASSERT_TRUE(client->takeReceived(number).ok());
  EXPECT_EQ(std::get<std::int32_t>(number), 77);  // 3 bytes are not enough
  EXPECT_EQ(client->bytesReceived(), 3);
  net.peerSends(s, "\x04z");
  loop.runFor(Millis(1));
  ASSERT_TRUE(client->takeReceived(number).ok());
  EXPECT_EQ(std::get<std::int32_t>(number), 0x04030201);  // little-endian
  EXPECT_EQ(takeText(*client), "z");
}

// The server side and UDP are not used by the program: one pass each.
TEST_F(SocketConnectionTest, ListenHandsAnIncomingConnectionWithWhatCameEarlyToTheObjectThatAcceptsIt) {
  auto server = make();
  ASSERT_TRUE(server->bind(4001).ok());
  ASSERT_TRUE(server->listen().ok());
  auto worker = make();
  server->events.connectionRequested = [&](SocketId id) {
    net.peerSends(id, "early");  // reaches the holder before the accept()
    loop.yieldToPendingEvents();
    EXPECT_TRUE(worker->accept(id).ok());
    EXPECT_EQ(arrivals, std::vector<std::int32_t>{5});
  };
  net.incomingConnection(server->socketId(), {{{10, 0, 0, 50}}, 61000});
  loop.runFor(Millis(1));
  EXPECT_EQ(worker->remoteAddress(), "10.0.0.50");

  net.peerSends(worker->socketId(), "+late");
  loop.runFor(Millis(1));
  EXPECT_EQ(takeText(*worker), "early+late");
  ASSERT_TRUE(worker->send(std::string("OK")).ok());
  EXPECT_EQ(net.socket(worker->socketId()).wire, "OK");
  EXPECT_EQ(server->state(), SocketState::Listening);
}

TEST_F(SocketConnectionTest, UdpCarriesWholeDatagrams) {
  auto udp = make();
  ASSERT_TRUE(udp->setProtocol(SocketProtocol::Udp).ok());
  ASSERT_TRUE(udp->setRemoteHost("10.0.0.9").ok());
  ASSERT_TRUE(udp->setRemotePort(7000).ok());
  ASSERT_TRUE(udp->send(std::string("T\r\n")).ok());  // opens the socket
  const SocketId s = udp->socketId();
  const Endpoint sender{{{10, 0, 0, 9}}, 7000};
  EXPECT_EQ(net.socket(s).sentDatagrams, (std::vector<fakes::FakeSocketLibrary::Datagram>{{"T\r\n", sender}}));

  std::vector<std::string> taken;
  udp->events.dataArrived = [&](std::int32_t size) {
    arrivals.push_back(size);
    if (size == 5) taken.push_back(takeText(*udp));  // a datagram left alone is dropped
  };
  net.peerSendsDatagram(s, "hello", sender);
  net.peerSendsDatagram(s, "ignored", sender);
  net.peerSendsDatagram(s, "again", {{{10, 0, 0, 11}}, 7001});
  loop.runFor(Millis(1));
  EXPECT_EQ(arrivals, (std::vector<std::int32_t>{5, 7, 5}));
  EXPECT_EQ(taken, (std::vector<std::string>{"hello", "again"}));
  EXPECT_EQ(udp->remoteAddress(), "10.0.0.11");
  EXPECT_EQ(udp->remotePort(), 7001);
}

TEST_F(SocketConnectionTest, AnObjectThatStillHoldsASocketAcceptsNothingOverIt) {
  auto udp = make();
  ASSERT_TRUE(udp->setProtocol(SocketProtocol::Udp).ok());
  (void)udp->listen();  // no listening on a datagram socket: closed, but holding one
  const SocketId held = udp->socketId();
  ASSERT_EQ(udp->state(), SocketState::Closed);
  ASSERT_NE(held, kNoSocket);
  EXPECT_EQ(udp->accept(4242).number(), 40020);
  EXPECT_EQ(udp->socketId(), held);
  udp.reset();
  net.peerSendsDatagram(held, "late", {{{10, 0, 0, 9}}, 7000});
  loop.runFor(Millis(1));  // reaches nobody (the sanitizers catch a freed owner)
}

}  // namespace
}  // namespace pondex
