#include "net/csocket_master.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sockets.h"

namespace pondex {
namespace {

const Ipv4Address kScaleAddress{{10, 0, 0, 7}};
const Endpoint kScale{kScaleAddress, 4001};
const std::string kRange = "The argument passed to a function was not in the correct format or in the specified range.";
const std::string kWrongState = "Wrong protocol or connection state for the requested transaction or request";

struct ErrorSeen {
  int number;
  std::string description;
  std::string source;
  SocketState stateDuringEvent;
  friend bool operator==(const ErrorSeen&, const ErrorSeen&) = default;
};

class CSocketMasterTest : public ::testing::Test {
 protected:
  // An object that records its events.
  std::unique_ptr<CSocketMaster> make() {
    auto object = std::make_unique<CSocketMaster>(service);
    CSocketMaster* raw = object.get();
    object->events.DataArrival = [this](std::int32_t n) { arrivals.push_back(n); };
    object->events.Error = [this, raw](SocketErrorArgs& e) {
      errors.push_back({e.Number, e.Description, e.Source, raw->State()});
    };
    object->events.Connect = [this] { log.push_back("Connect"); };
    object->events.CloseSck = [this, raw] { log.push_back("CloseSck at " + std::to_string(raw->BytesReceived())); };
    object->events.SendComplete = [this] { log.push_back("SendComplete"); };
    object->events.SendProgress = [this](std::int32_t sent, std::int32_t left) {
      log.push_back("SendProgress " + std::to_string(sent) + " " + std::to_string(left));
    };
    return object;
  }

  std::unique_ptr<CSocketMaster> connectedClient() {
    auto object = make();
    EXPECT_TRUE(object->Connect("10.0.0.7", "4001").ok());
    loop.runFor(Millis(1));
    EXPECT_EQ(object->State(), sckConnected);
    log.clear();
    return object;
  }

  std::string takeText(CSocketMaster& object) {
    SocketData text = std::string();
    EXPECT_TRUE(object.GetData(text).ok());
    return std::get<std::string>(text);
  }

  fakes::FakeEventLoop loop;
  fakes::FakeSocketLibrary net{loop};
  fakes::FakeMessageBoxes boxes;
  modSocketMaster service{net, boxes};
  std::vector<std::int32_t> arrivals;
  std::vector<ErrorSeen> errors;
  std::vector<std::string> log;
};

TEST_F(CSocketMasterTest, ArgumentAndStateErrorsAreReturnedBeforeAnySocketExists) {
  auto client = make();
  EXPECT_EQ(client->Connect("10.0.0.7", "0").error(), (SocketError{40014, kRange, "CSocketMaster.Connect"}));
  EXPECT_EQ(client->Connect("10.0.0.7", "70000").error(), (SocketError{40014, kRange, "CSocketMaster.Connect"}));
  EXPECT_EQ(client->Connect("10.0.0.7", "abc").error(),
            (SocketError{40018, "Unsupported variant type.", "CSocketMaster.Connect"}));
  EXPECT_EQ(client->State(), sckClosed);
  EXPECT_EQ(client->SocketHandle(), kNoSocket);
  EXPECT_EQ(net.openSockets(), 0);

  SocketData data = std::string();
  EXPECT_EQ(client->SendData(std::string("SI")).error(), (SocketError{40006, kWrongState, "CSocketMaster.SendData"}));
  EXPECT_EQ(client->GetData(data).error(), (SocketError{40006, kWrongState, "CSocketMaster.GetData"}));

  // While connecting: still no sending or reading, and no second Connect.
  ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
  EXPECT_EQ(client->SendData(std::string("SI")).number(), 40006);
  EXPECT_EQ(client->GetData(data).number(), 40006);
  EXPECT_EQ(client->Connect("10.0.0.9", "5000").number(), 40020);
  EXPECT_EQ(client->State(), sckConnecting);
  EXPECT_EQ(net.connectAttempts, std::vector<Endpoint>{kScale});
  EXPECT_TRUE(net.socket(client->SocketHandle()).wire.empty());
}

TEST_F(CSocketMasterTest, ConnectsByAddressAndStaysClosingAfterThePeerClosesUntilCloseSck) {
  net.receiveBufferSize = 4;  // pieces smaller than what the peer sends
  auto client = make();
  ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
  EXPECT_EQ(client->State(), sckConnecting);
  loop.runFor(Millis(1));
  EXPECT_EQ(client->State(), sckConnected);
  EXPECT_EQ(client->RemoteHostIP(), "10.0.0.7");
  EXPECT_EQ(client->RemotePort(), 4001);

  // Bytes sent just before the close are all reported before the close.
  const SocketId s = client->SocketHandle();
  net.peerSends(s, "0123456789");
  net.peerCloses(s);
  loop.runFor(Millis(1000));
  EXPECT_EQ(arrivals, (std::vector<std::int32_t>{4, 8, 10}));
  EXPECT_EQ(log, (std::vector<std::string>{"Connect", "CloseSck at 10"}));
  EXPECT_EQ(client->State(), sckClosing);
  EXPECT_TRUE(net.socket(s).open);

  ASSERT_TRUE(client->CloseSck().ok());
  EXPECT_EQ(client->State(), sckClosed);
  EXPECT_EQ(client->SocketHandle(), kNoSocket);
  EXPECT_FALSE(net.socket(s).open);
  EXPECT_TRUE(errors.empty());
}

TEST_F(CSocketMasterTest, ConnectsByHostNameAndReportsAFailedLookup) {
  net.addHost("waga.local", kScaleAddress);
  auto client = make();
  ASSERT_TRUE(client->Connect("waga.local", 4001).ok());
  EXPECT_EQ(client->State(), sckResolvingHost);
  EXPECT_TRUE(net.connectAttempts.empty());
  loop.runFor(Millis(1));
  EXPECT_EQ(client->State(), sckConnected);
  EXPECT_EQ(net.connectAttempts, std::vector<Endpoint>{kScale});
  EXPECT_EQ(client->RemoteHostIP(), "10.0.0.7");

  ASSERT_TRUE(client->CloseSck().ok());
  ASSERT_TRUE(client->Connect("nowhere", 4001).ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(errors, (std::vector<ErrorSeen>{{11001, "Host not found.", "CSocketMaster.ConnectToIP", sckError}}));
  EXPECT_EQ(client->State(), sckError);
  EXPECT_EQ(net.liveLookups(), 0);
}

TEST_F(CSocketMasterTest, RefusalComesAsAnErrorEventAndAnAddressRefusedAtOnceIsReturned) {
  net.planConnect(kScale, {.notifiedError = 10061});
  auto client = make();
  ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(errors, (std::vector<ErrorSeen>{{10061, "Connection refused.", "CSocketMaster.PostSocket", sckError}}));
  EXPECT_EQ(client->State(), sckError);
  EXPECT_TRUE(boxes.shown.empty());  // the handler did not ask for a box
  ASSERT_TRUE(client->CloseSck().ok());

  net.planConnect({{{0, 0, 0, 0}}, 4001}, {.immediateError = 10049});
  const SocketResult r = client->Connect("0.0.0.0", "4001");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), (SocketError{10049, "Cannot assign requested address.", "CSocketMaster.ConnectToIP"}));
  EXPECT_EQ(client->State(), sckConnecting);  // the caller closes it
  EXPECT_EQ(net.openSockets(), 1);
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(CSocketMasterTest, ErrorHandlerMayCloseInsideTheEventAndTheNextConnectWorks) {
  net.planConnect(kScale, {.notifiedError = 10061});
  auto client = make();
  int errorsSeen = 0;
  client->events.Error = [&](SocketErrorArgs&) {
    ++errorsSeen;
    EXPECT_TRUE(client->CloseSck().ok());
  };
  for (int attempt = 1; attempt <= 2; ++attempt) {
    ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
    loop.runFor(Millis(200));
    EXPECT_EQ(errorsSeen, attempt);
    EXPECT_EQ(client->State(), sckClosed);
    EXPECT_EQ(net.openSockets(), 0);
  }
  net.planConnect(kScale, {});
  ASSERT_TRUE(client->Connect().ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(client->State(), sckConnected);
}

TEST_F(CSocketMasterTest, LookupCompletingAfterCloseSckHasNoEffect) {
  net.addHost("waga.local", kScaleAddress);
  net.addHost("other.local", Ipv4Address{{10, 0, 0, 8}});
  auto client = make();
  // Cancelled in time: nothing comes.
  ASSERT_TRUE(client->Connect("waga.local", 4001).ok());
  ASSERT_TRUE(client->CloseSck().ok());
  loop.runFor(Millis(10));
  EXPECT_EQ(client->State(), sckClosed);
  EXPECT_TRUE(net.connectAttempts.empty());

  // Too late to cancel: the old completion still arrives (another socket
  // keeps the window) and must not connect the newer attempt to the old host.
  auto keepsWindow = make();
  ASSERT_TRUE(keepsWindow->Connect("10.0.0.9", 4001).ok());
  net.lookupsCancellable = false;
  ASSERT_TRUE(client->Connect("waga.local", 4001).ok());
  ASSERT_TRUE(client->CloseSck().ok());
  ASSERT_TRUE(client->Connect("other.local", 4001).ok());
  loop.runFor(Millis(10));
  EXPECT_EQ(client->State(), sckConnected);
  EXPECT_EQ(client->RemoteHostIP(), "10.0.0.8");
  EXPECT_EQ(net.connectAttempts, (std::vector<Endpoint>{{{{10, 0, 0, 9}}, 4001}, {{{10, 0, 0, 8}}, 4001}}));
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(net.liveLookups(), 0);
}

TEST_F(CSocketMasterTest, DataArrivalReportsTheBufferTotalAndGetDataTakesItAllAsText) {
  auto client = connectedClient();
  for (const char* piece : {"abc", "defg", "hij\xB3\n"}) {
    net.peerSends(client->SocketHandle(), piece);
    loop.runFor(Millis(1));
  }
  EXPECT_EQ(arrivals, (std::vector<std::int32_t>{3, 7, 12}));
  EXPECT_EQ(takeText(*client), "abcdefghij\xB3\n");  // bytes above 127 as they are
  EXPECT_EQ(client->BytesReceived(), 0);
}

TEST_F(CSocketMasterTest, TypedGetDataLeavesTheDataWhenTooFewBytesHaveArrived) {
  auto client = connectedClient();
  net.peerSends(client->SocketHandle(), "\x01\x02\x03");
  loop.runFor(Millis(1));
  SocketData number = std::int32_t{77};
  ASSERT_TRUE(client->GetData(number).ok());
  EXPECT_EQ(std::get<std::int32_t>(number), 77);
  EXPECT_EQ(client->BytesReceived(), 3);

  net.peerSends(client->SocketHandle(), "\x04z");
  loop.runFor(Millis(1));
  ASSERT_TRUE(client->GetData(number).ok());
  EXPECT_EQ(std::get<std::int32_t>(number), 0x04030201);  // little-endian
  EXPECT_EQ(takeText(*client), "z");
}

TEST_F(CSocketMasterTest, SendsQueueBehindAWouldBlockAndKeepTheirOrder) {
  auto client = connectedClient();
  const SocketId s = client->SocketHandle();
  net.socket(s).room = 6;  // the stack takes 6 bytes, then would block

  ASSERT_TRUE(client->SendData(std::string("ABCDEFGHIJ")).ok());
  ASSERT_TRUE(client->SendData(std::string("XYZ")).ok());
  EXPECT_EQ(net.socket(s).wire, "ABCDEF");
  EXPECT_EQ(log, std::vector<std::string>{"SendProgress 6 4"});

  net.peerDrains(s);
  loop.runFor(Millis(1));
  EXPECT_EQ(net.socket(s).wire, "ABCDEFGHIJXYZ");
  EXPECT_EQ(log, (std::vector<std::string>{"SendProgress 6 4", "SendProgress 7 0", "SendComplete"}));
}

// The server side and UDP are not used by the program: one pass each.
TEST_F(CSocketMasterTest, ListenHandsAnIncomingConnectionToTheObjectThatAcceptsIt) {
  auto server = make();
  ASSERT_TRUE(server->Bind(4001).ok());
  ASSERT_TRUE(server->Listen().ok());
  EXPECT_EQ(server->State(), sckListening);
  auto worker = make();
  server->events.ConnectionRequest = [&](SocketId id) {
    net.peerSends(id, "early");  // reaches the holder before the Accept
    loop.yieldToPendingEvents();
    EXPECT_TRUE(worker->Accept(id).ok());
  };
  net.incomingConnection(server->SocketHandle(), {{{10, 0, 0, 50}}, 61000});
  loop.runFor(Millis(1));
  EXPECT_EQ(worker->State(), sckConnected);
  EXPECT_EQ(worker->RemoteHostIP(), "10.0.0.50");
  EXPECT_EQ(arrivals, std::vector<std::int32_t>{5});

  net.peerSends(worker->SocketHandle(), "+late");
  loop.runFor(Millis(1));
  EXPECT_EQ(takeText(*worker), "early+late");
  ASSERT_TRUE(worker->SendData(std::string("OK")).ok());
  EXPECT_EQ(net.socket(worker->SocketHandle()).wire, "OK");
  EXPECT_EQ(service.liveObjects(), 2);  // the holder is gone
  EXPECT_EQ(server->State(), sckListening);
}

TEST_F(CSocketMasterTest, UdpSendsAndReceivesWholeDatagrams) {
  auto udp = make();
  ASSERT_TRUE(udp->setProtocol(SocketProtocol::Udp).ok());
  ASSERT_TRUE(udp->setRemoteHost("10.0.0.9").ok());
  ASSERT_TRUE(udp->setRemotePort(7000).ok());
  ASSERT_TRUE(udp->SendData(std::string("T\r\n")).ok());  // opens the socket
  EXPECT_EQ(udp->State(), sckOpen);
  const SocketId s = udp->SocketHandle();
  const Endpoint sender{{{10, 0, 0, 9}}, 7000};
  ASSERT_EQ(net.socket(s).sentDatagrams.size(), 1u);
  EXPECT_EQ(net.socket(s).sentDatagrams[0].bytes, "T\r\n");
  EXPECT_EQ(net.socket(s).sentDatagrams[0].peer, sender);

  std::vector<std::string> taken;
  udp->events.DataArrival = [&](std::int32_t size) {
    arrivals.push_back(size);
    if (size == 5) taken.push_back(takeText(*udp));  // a datagram left alone is dropped
  };
  net.peerSendsDatagram(s, "hello", sender);
  net.peerSendsDatagram(s, "ignored", sender);
  net.peerSendsDatagram(s, "again", {{{10, 0, 0, 11}}, 7001});
  loop.runFor(Millis(1));
  EXPECT_EQ(arrivals, (std::vector<std::int32_t>{5, 7, 5}));
  EXPECT_EQ(taken, (std::vector<std::string>{"hello", "again"}));
  EXPECT_EQ(udp->RemoteHostIP(), "10.0.0.11");
  EXPECT_EQ(udp->RemotePort(), 7001);
  EXPECT_EQ(udp->BytesReceived(), 0);
}

}  // namespace
}  // namespace pondex
