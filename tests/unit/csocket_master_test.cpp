#include "net/csocket_master.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sockets.h"

namespace pondex {
namespace {

using fakes::FakeSocketLibrary;

const Ipv4Address kScaleAddress{{10, 0, 0, 7}};
const Endpoint kScale{kScaleAddress, 4001};
const std::string kRange = "The argument passed to a function was not in the correct format or in the specified range.";
const std::string kInvalidOperation = "Invalid operation at current state";
const std::string kWrongState = "Wrong protocol or connection state for the requested transaction or request";

struct ErrorSeen {
  int number;
  std::string description;
  std::string source;
  SocketState stateDuringEvent;
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
    object->events.CloseSck = [this] { log.push_back("CloseSck"); };
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

  static std::string textOf(const SocketData& data) { return std::get<std::string>(data); }

  fakes::FakeEventLoop loop;
  FakeSocketLibrary net{loop};
  fakes::FakeMessageBoxes boxes;
  modSocketMaster service{net, boxes};
  std::vector<std::int32_t> arrivals;
  std::vector<ErrorSeen> errors;
  std::vector<std::string> log;
};

// ---- connecting -------------------------------------------------------------

TEST_F(CSocketMasterTest, BadPortArgumentsAreRefusedBeforeAnySocketExists) {
  auto client = make();
  struct Case {
    PortValue port;
    SocketError expected;
  };
  const Case cases[] = {
      {"0", {40014, kRange, "CSocketMaster.Connect"}},
      {"70000", {40014, kRange, "CSocketMaster.Connect"}},
      {0, {40014, kRange, "CSocketMaster.Connect"}},
      {"-5", {40014, kRange, "CSocketMaster.Connect"}},
      {"abc", {40018, "Unsupported variant type.", "CSocketMaster.Connect"}},
      {"", {40018, "Unsupported variant type.", "CSocketMaster.Connect"}},
      {"40x1", {40018, "Unsupported variant type.", "CSocketMaster.Connect"}},
  };
  for (const Case& c : cases) {
    const SocketResult r = client->Connect("10.0.0.7", c.port);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error(), c.expected);
    EXPECT_EQ(client->State(), sckClosed);
  }
  EXPECT_EQ(client->SocketHandle(), kNoSocket);
  EXPECT_EQ(net.openSockets(), 0);
  EXPECT_TRUE(net.connectAttempts.empty());

  // The port text 4001 connects to port 4001, blanks and all.
  EXPECT_TRUE(client->Connect("10.0.0.7", " 4001 ").ok());
  ASSERT_EQ(net.connectAttempts.size(), 1u);
  EXPECT_EQ(net.connectAttempts[0], kScale);
}

TEST_F(CSocketMasterTest, ClientPathThroughEveryStateBackToClosed) {
  auto client = make();
  EXPECT_EQ(client->State(), sckClosed);
  EXPECT_EQ(client->SocketHandle(), kNoSocket);
  ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
  EXPECT_EQ(client->State(), sckConnecting);
  EXPECT_NE(client->SocketHandle(), kNoSocket);

  // A second Connect while connecting changes nothing.
  const SocketResult again = client->Connect("10.0.0.9", "5000");
  ASSERT_FALSE(again.ok());
  EXPECT_EQ(again.error(), (SocketError{40020, kInvalidOperation, "CSocketMaster.Connect"}));
  EXPECT_EQ(client->State(), sckConnecting);
  EXPECT_EQ(client->RemoteHost(), "10.0.0.7");
  EXPECT_EQ(client->RemotePort(), 4001);

  loop.runFor(Millis(1));
  EXPECT_EQ(client->State(), sckConnected);
  EXPECT_EQ(log, std::vector<std::string>{"Connect"});
  EXPECT_EQ(client->RemoteHost(), "");
  EXPECT_EQ(client->RemoteHostIP(), "10.0.0.7");
  EXPECT_EQ(client->RemotePort(), 4001);
  EXPECT_EQ(client->LocalPort(), 50000);
  EXPECT_EQ(client->LocalIP().value(), "192.168.1.10");

  net.peerCloses(client->SocketHandle());
  loop.runFor(Millis(1));
  EXPECT_EQ(client->State(), sckClosing);  // and stays there
  loop.runFor(Millis(1000));
  EXPECT_EQ(client->State(), sckClosing);
  EXPECT_EQ(log, (std::vector<std::string>{"Connect", "CloseSck"}));
  EXPECT_EQ(net.openSockets(), 1);

  ASSERT_TRUE(client->CloseSck().ok());
  EXPECT_EQ(client->State(), sckClosed);
  EXPECT_EQ(client->SocketHandle(), kNoSocket);
  EXPECT_EQ(net.openSockets(), 0);
  EXPECT_EQ(client->RemoteHostIP(), "");
  EXPECT_EQ(client->RemotePort(), 4001);  // kept for the next attempt
  EXPECT_TRUE(errors.empty());

  // CloseSck without a socket does nothing, and raises nothing.
  EXPECT_TRUE(client->CloseSck().ok());
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(CSocketMasterTest, HostNameIsLookedUpThenConnected) {
  net.addHost("waga.local", kScaleAddress);
  auto client = make();
  ASSERT_TRUE(client->Connect("waga.local", 4001).ok());
  EXPECT_EQ(client->State(), sckResolvingHost);
  EXPECT_TRUE(net.connectAttempts.empty());
  loop.runFor(Millis(1));
  EXPECT_EQ(client->State(), sckConnected);
  ASSERT_EQ(net.connectAttempts.size(), 1u);
  EXPECT_EQ(net.connectAttempts[0], kScale);
  EXPECT_EQ(client->RemoteHostIP(), "10.0.0.7");
  EXPECT_EQ(net.liveLookups(), 0);
}

TEST_F(CSocketMasterTest, FailedLookupsRaiseErrorAndCloseSckLetsTheNextAttemptStart) {
  auto client = make();
  ASSERT_TRUE(client->Connect("nowhere", 4001).ok());
  loop.runFor(Millis(1));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].number, 11001);
  EXPECT_EQ(errors[0].description, "Host not found.");
  EXPECT_EQ(errors[0].source, "CSocketMaster.ConnectToIP");
  EXPECT_EQ(errors[0].stateDuringEvent, sckError);
  EXPECT_EQ(client->State(), sckError);
  EXPECT_EQ(net.liveLookups(), 0);

  ASSERT_TRUE(client->CloseSck().ok());
  net.lookupStartError = 10055;
  ASSERT_TRUE(client->Connect().ok());
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[1].number, 10055);
  EXPECT_EQ(errors[1].source, "CSocketMaster.ResolveIfHostname");
  EXPECT_EQ(client->State(), sckError);
}

TEST_F(CSocketMasterTest, LookupCompletingAfterCloseSckIsIgnored) {
  net.addHost("waga.local", kScaleAddress);
  net.addHost("other.local", Ipv4Address{{10, 0, 0, 8}});
  auto client = make();

  // Cancelled in time: nothing ever comes.
  ASSERT_TRUE(client->Connect("waga.local", 4001).ok());
  ASSERT_TRUE(client->CloseSck().ok());
  loop.runFor(Millis(10));
  EXPECT_EQ(client->State(), sckClosed);
  EXPECT_TRUE(net.connectAttempts.empty());
  EXPECT_EQ(net.liveLookups(), 0);

  // Too late to cancel: the completion still arrives (another socket keeps
  // the window), and must not connect the object, nor a newer attempt to
  // the old host.
  auto keepsWindow = make();
  ASSERT_TRUE(keepsWindow->Connect("10.0.0.9", 4001).ok());
  net.holdLookups = true;
  net.lookupsCancellable = false;
  ASSERT_TRUE(client->Connect("waga.local", 4001).ok());
  ASSERT_TRUE(client->CloseSck().ok());
  ASSERT_TRUE(client->Connect("other.local", 4001).ok());
  net.completeLookups();
  loop.runFor(Millis(10));
  EXPECT_EQ(client->State(), sckConnected);
  EXPECT_EQ(client->RemoteHostIP(), "10.0.0.8");
  std::vector<Endpoint> expected{{{{10, 0, 0, 9}}, 4001}, {{{10, 0, 0, 8}}, 4001}};
  EXPECT_EQ(net.connectAttempts, expected);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(net.liveLookups(), 0);
}

TEST_F(CSocketMasterTest, RefusalsAndImmediateFailures) {
  // Refused later: Error from the notification.
  net.planConnect(kScale, {.notifiedError = 10061});
  auto client = make();
  ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
  loop.runFor(Millis(1));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].number, 10061);
  EXPECT_EQ(errors[0].description, "Connection refused.");
  EXPECT_EQ(errors[0].source, "CSocketMaster.PostSocket");
  EXPECT_EQ(client->State(), sckError);
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_TRUE(client->CloseSck().ok());

  // 10049 at once: returned, state left at sckConnecting with the socket open.
  const Endpoint zero{{{0, 0, 0, 0}}, 4001};
  net.planConnect(zero, {.immediateError = 10049});
  const SocketResult r = client->Connect("0.0.0.0", "4001");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), (SocketError{10049, "Cannot assign requested address.", "CSocketMaster.ConnectToIP"}));
  EXPECT_EQ(client->State(), sckConnecting);
  EXPECT_EQ(net.openSockets(), 1);
  EXPECT_EQ(errors.size(), 1u);
  ASSERT_TRUE(client->CloseSck().ok());

  // Any other answer at once: an Error event, nothing returned.
  const Endpoint unreachable{{{10, 9, 9, 9}}, 4001};
  net.planConnect(unreachable, {.immediateError = 10051});
  EXPECT_TRUE(client->Connect("10.9.9.9", 4001).ok());
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[1].number, 10051);
  EXPECT_EQ(errors[1].source, "CSocketMaster.ConnectToIP");

  // A host name that resolves to an address refused at once is reported too.
  ASSERT_TRUE(client->CloseSck().ok());
  net.addHost("zero.local", zero.address);
  ASSERT_TRUE(client->Connect("zero.local", 4001).ok());
  loop.runFor(Millis(1));
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[2].number, 10049);
  EXPECT_EQ(client->State(), sckError);
}

TEST_F(CSocketMasterTest, ErrorHandlerMayCloseInsideTheEventAndTheNextConnectWorks) {
  net.planConnect(kScale, {.notifiedError = 10061});
  auto client = make();
  int errorsSeen = 0;
  client->events.Error = [&](SocketErrorArgs&) {
    ++errorsSeen;
    EXPECT_TRUE(client->CloseSck().ok());
  };
  for (int attempt = 1; attempt <= 3; ++attempt) {
    ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
    loop.runFor(Millis(200));
    EXPECT_EQ(errorsSeen, attempt);
    EXPECT_EQ(client->State(), sckClosed);
    EXPECT_EQ(net.openSockets(), 0);
    EXPECT_EQ(service.messageWindow(), 0u);
  }

  // A peer that resets the connection is handled the same way.
  net.planConnect(kScale, {});
  ASSERT_TRUE(client->Connect().ok());
  loop.runFor(Millis(1));
  ASSERT_EQ(client->State(), sckConnected);
  net.peerCloses(client->SocketHandle(), 10054);
  loop.runFor(Millis(1));
  EXPECT_EQ(errorsSeen, 4);
  EXPECT_EQ(client->State(), sckClosed);
}

TEST_F(CSocketMasterTest, ErrorEventCarriesItsFieldsAndAClearedCancelDisplayShowsABox) {
  net.planConnect(kScale, {.notifiedError = 10060});
  auto client = make();
  SocketErrorArgs seen;
  client->events.Error = [&](SocketErrorArgs& e) {
    seen = e;
    e.Description = "Waga nie odpowiada";
    e.CancelDisplay = false;
  };
  ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
  loop.runFor(Millis(1));
  EXPECT_EQ(seen.Number, 10060);
  EXPECT_EQ(seen.Description, "Connection timed out.");
  EXPECT_EQ(seen.sCode, 0);
  EXPECT_EQ(seen.Source, "CSocketMaster.PostSocket");
  EXPECT_EQ(seen.HelpFile, "");
  EXPECT_EQ(seen.HelpContext, 0);
  EXPECT_TRUE(seen.CancelDisplay);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Waga nie odpowiada");
  EXPECT_EQ(boxes.shown[0].title, "CSocketMaster.PostSocket");
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
}

TEST_F(CSocketMasterTest, SocketThatCannotBeMadeLeavesErrorThatCloseSckCannotLeave) {
  net.createError = 10024;
  auto client = make();
  ASSERT_TRUE(client->Connect("10.0.0.7", "4001").ok());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].number, 10024);
  EXPECT_EQ(errors[0].source, "CSocketMaster.SocketExists");
  EXPECT_TRUE(client->CloseSck().ok());
  EXPECT_EQ(client->State(), sckError);
  EXPECT_EQ(client->Connect().number(), 40020);

  // Option read failures are returned, and the socket is not kept.
  net.createError = 0;
  net.optionError = 10042;
  auto other = make();
  const SocketResult r = other->Connect("10.0.0.7", "4001");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), (SocketError{10042, "Bad protocol option.", "CSocketMaster.ProcessOptions"}));
  EXPECT_EQ(net.openSockets(), 0);
  EXPECT_EQ(other->State(), sckClosed);
}

// ---- receiving --------------------------------------------------------------

TEST_F(CSocketMasterTest, DataArrivalReportsTheWholeBufferAndGetDataTextTakesAll) {
  auto client = connectedClient();
  const SocketId s = client->SocketHandle();
  for (const char* piece : {"abc", "defg", "hijkl"}) {
    net.peerSends(s, piece);
    loop.runFor(Millis(1));
  }
  EXPECT_EQ(arrivals, (std::vector<std::int32_t>{3, 7, 12}));
  EXPECT_EQ(client->BytesReceived(), 12);

  SocketData text = std::string();
  ASSERT_TRUE(client->GetData(text).ok());
  EXPECT_EQ(textOf(text), "abcdefghijkl");
  EXPECT_EQ(client->BytesReceived(), 0);

  // Bytes above 127 are kept as they are.
  net.peerSends(s, "\xCA\x8C\xC6\r\n");
  loop.runFor(Millis(1));
  SocketData more = std::string();
  ASSERT_TRUE(client->GetData(more).ok());
  EXPECT_EQ(textOf(more), "\xCA\x8C\xC6\r\n");

  // A receive count of 0 changes nothing.
  net.notify(s, kNotifyRead, 0);
  loop.runFor(Millis(1));
  EXPECT_EQ(arrivals.size(), 4u);
}

TEST_F(CSocketMasterTest, GetDataByTypeTakesFixedSizesOnlyWhenComplete) {
  auto client = connectedClient();
  const SocketId s = client->SocketHandle();
  net.peerSends(s, "\x01\x02\x03");
  loop.runFor(Millis(1));

  SocketData number = std::int32_t{77};
  ASSERT_TRUE(client->GetData(number).ok());
  EXPECT_EQ(std::get<std::int32_t>(number), 77);
  EXPECT_EQ(client->BytesReceived(), 3);

  net.peerSends(s, std::string("\x04\xFE\xFF\xFF\xFF", 5));
  loop.runFor(Millis(1));
  ASSERT_TRUE(client->GetData(number).ok());
  EXPECT_EQ(std::get<std::int32_t>(number), 0x04030201);

  // An empty value takes the requested type; varType is ignored otherwise.
  SocketData small;
  ASSERT_TRUE(client->PeekData(small, VarType::Integer).ok());
  EXPECT_EQ(std::get<std::int16_t>(small), -2);
  EXPECT_EQ(client->BytesReceived(), 4);
  ASSERT_TRUE(client->GetData(small, VarType::Long).ok());
  EXPECT_EQ(std::get<std::int16_t>(small), -2);
  SocketData flag;
  ASSERT_TRUE(client->GetData(flag, VarType::Boolean).ok());
  EXPECT_TRUE(std::get<bool>(flag));
  EXPECT_EQ(client->BytesReceived(), 0);

  net.peerSends(s, std::string("\0\0\0\0\0\0\x04\x40\x10\x27\0\0\0\0\0\0", 16));  // 2.5, then 1.0000
  loop.runFor(Millis(1));
  SocketData date, money;
  ASSERT_TRUE(client->GetData(date, VarType::Date).ok());
  ASSERT_TRUE(client->GetData(money, VarType::Currency).ok());
  EXPECT_EQ(std::get<OleDate>(date).days, 2.5);
  EXPECT_EQ(std::get<Currency>(money).tenThousandths, 10000);
}

TEST_F(CSocketMasterTest, GetDataLengthsDefaultsAndRefusals) {
  auto client = connectedClient();
  net.peerSends(client->SocketHandle(), "0123456789");
  loop.runFor(Millis(1));

  SocketData bytes;  // no value, no type: a byte array
  ASSERT_TRUE(client->GetData(bytes, std::nullopt, 3).ok());
  EXPECT_EQ(std::get<ByteArray>(bytes), (ByteArray{'0', '1', '2'}));
  SocketData text = std::string("old");
  ASSERT_TRUE(client->GetData(text, std::nullopt, 0).ok());
  EXPECT_EQ(textOf(text), "");
  ASSERT_TRUE(client->PeekData(text, std::nullopt, 100).ok());
  EXPECT_EQ(textOf(text), "3456789");
  EXPECT_EQ(client->BytesReceived(), 7);

  EXPECT_EQ(client->GetData(text, std::nullopt, -1).error(), (SocketError{40014, kRange, "CSocketMaster.GetData"}));
  SocketData none;
  EXPECT_EQ(client->PeekData(none, VarType::Object).error(),
            (SocketError{40018, "Unsupported variant type.", "CSocketMaster.PeekData"}));
  EXPECT_EQ(client->BytesReceived(), 7);

  ASSERT_TRUE(client->CloseSck().ok());
  EXPECT_EQ(client->GetData(text).error(), (SocketError{40006, kWrongState, "CSocketMaster.GetData"}));
  EXPECT_EQ(client->SendData(std::string("SI")).error(), (SocketError{40006, kWrongState, "CSocketMaster.SendData"}));
}

TEST_F(CSocketMasterTest, BytesSentJustBeforeThePeerClosesAreDeliveredFirst) {
  net.receiveBufferSize = 4;
  auto client = connectedClient();
  client->events.CloseSck = [&] { log.push_back("CloseSck at " + std::to_string(client->BytesReceived())); };
  net.peerSends(client->SocketHandle(), "0123456789");
  net.peerCloses(client->SocketHandle());
  loop.runFor(Millis(1));
  EXPECT_EQ(arrivals, (std::vector<std::int32_t>{4, 8, 10}));
  EXPECT_EQ(log, std::vector<std::string>{"CloseSck at 10"});
  EXPECT_EQ(client->State(), sckClosing);
}

TEST_F(CSocketMasterTest, FailedReceiveIsReportedAsError) {
  auto client = connectedClient();
  net.receiveError = 10054;
  net.notify(client->SocketHandle(), kNotifyRead, 0);
  loop.runFor(Millis(1));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].number, 10054);
  EXPECT_EQ(errors[0].source, "CSocketMaster.RecvDataToBuffer");
  EXPECT_EQ(client->State(), sckError);

  // Nothing to read after all is no failure. (The remote host is not kept
  // after connecting: it must be given again.)
  ASSERT_TRUE(client->CloseSck().ok());
  net.receiveError = 0;
  ASSERT_TRUE(client->Connect("10.0.0.7").ok());
  loop.runFor(Millis(1));
  net.notify(client->SocketHandle(), kNotifyRead, 0);
  loop.runFor(Millis(1));
  EXPECT_EQ(client->State(), sckConnected);
  EXPECT_EQ(errors.size(), 1u);
}

// ---- sending ----------------------------------------------------------------

TEST_F(CSocketMasterTest, SendDataEncodesEachTypeLittleEndian) {
  auto client = connectedClient();
  const SocketId s = client->SocketHandle();
  ASSERT_TRUE(client->SendData(std::string("SI\r\n")).ok());
  ASSERT_TRUE(client->SendData(std::int16_t{-2}).ok());
  ASSERT_TRUE(client->SendData(true).ok());
  ASSERT_TRUE(client->SendData(std::int32_t{0x01020304}).ok());
  ASSERT_TRUE(client->SendData(std::uint8_t{0x7F}).ok());
  ASSERT_TRUE(client->SendData(Currency{-1}).ok());
  ASSERT_TRUE(client->SendData(ByteArray{0xCA, 0x00}).ok());
  ASSERT_TRUE(client->SendData(std::string()).ok());  // sends nothing
  ASSERT_TRUE(client->SendData(ByteArray{}).ok());
  EXPECT_EQ(net.socket(s).wire, std::string("SI\r\n"
                                            "\xFE\xFF"
                                            "\xFF\xFF"
                                            "\x04\x03\x02\x01"
                                            "\x7F"
                                            "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                                            "\xCA\x00",
                                            23));
  EXPECT_EQ(client->SendData(SocketData{}).error().number, 40018);
}

TEST_F(CSocketMasterTest, SendsQueueBehindAWouldBlockAndKeepTheirOrder) {
  net.sendBufferSize = 4;  // pieces of 4 bytes
  net.sendRoom = 6;        // the stack takes 6, then would block
  auto client = connectedClient();
  const SocketId s = client->SocketHandle();

  ASSERT_TRUE(client->SendData(std::string("ABCDEFGHIJ")).ok());
  EXPECT_EQ(net.socket(s).wire, "ABCDEF");
  EXPECT_EQ(log, std::vector<std::string>{"SendProgress 6 4"});

  ASSERT_TRUE(client->SendData(std::string("XYZ")).ok());
  EXPECT_EQ(net.socket(s).wire, "ABCDEF");  // only queued

  net.sendRoom = 100;
  net.peerDrains(s);
  loop.runFor(Millis(1));
  EXPECT_EQ(net.socket(s).wire, "ABCDEFGHIJXYZ");
  EXPECT_EQ(log, (std::vector<std::string>{"SendProgress 6 4", "SendProgress 7 0", "SendComplete"}));

  // A send that fails otherwise ends in Error.
  net.sendError = 10053;
  ASSERT_TRUE(client->SendData(std::string("T")).ok());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].number, 10053);
  EXPECT_EQ(errors[0].source, "CSocketMaster.SendBufferedData");
}

TEST_F(CSocketMasterTest, SendCompleteHandlerMaySendAgain) {
  auto client = connectedClient();
  int completions = 0;
  client->events.SendComplete = [&] {
    if (++completions == 1) {
      EXPECT_TRUE(client->SendData(std::string("2")).ok());
    }
  };
  ASSERT_TRUE(client->SendData(std::string("1")).ok());
  EXPECT_EQ(net.socket(client->SocketHandle()).wire, "12");
  EXPECT_EQ(completions, 2);
}

// ---- release ----------------------------------------------------------------

TEST_F(CSocketMasterTest, ReleaseCancelsLookupsClosesTheSocketAndStopsTheLibrary) {
  net.addHost("waga.local", kScaleAddress);
  auto client = make();
  ASSERT_TRUE(client->Connect("waga.local", 4001).ok());
  client.reset();
  EXPECT_EQ(net.liveLookups(), 0);
  EXPECT_EQ(net.openSockets(), 0);
  EXPECT_EQ(net.windowCount(), 0);
  EXPECT_EQ(net.cleanups, 1);
  loop.runFor(Millis(10));
  EXPECT_TRUE(net.connectAttempts.empty());
}

TEST_F(CSocketMasterTest, HandlerMayReleaseTheObjectInsideAnEvent) {
  auto client = connectedClient();
  auto other = connectedClient();
  client->events.DataArrival = [&](std::int32_t) { client.reset(); };
  net.receiveBufferSize = 2;
  net.peerSends(client->SocketHandle(), "abcdef");
  net.peerCloses(client->SocketHandle());
  loop.runFor(Millis(1));
  EXPECT_EQ(client, nullptr);
  EXPECT_EQ(net.openSockets(), 1);

  other->events.Error = [&](SocketErrorArgs& e) {
    e.CancelDisplay = false;
    other.reset();
  };
  net.peerCloses(other->SocketHandle(), 10054);
  loop.runFor(Millis(1));
  EXPECT_EQ(other, nullptr);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Connection reset by peer.");
  EXPECT_EQ(net.cleanups, 1);

  auto sender = connectedClient();
  const SocketId s = sender->SocketHandle();
  sender->events.SendProgress = [&](std::int32_t, std::int32_t) { sender.reset(); };
  ASSERT_TRUE(sender->SendData(std::string("SI\r\n")).ok());
  EXPECT_EQ(sender, nullptr);
  EXPECT_EQ(net.socket(s).wire, "SI\r\n");
  EXPECT_FALSE(net.socket(s).open);
}

// ---- properties -------------------------------------------------------------

TEST_F(CSocketMasterTest, PropertiesKeepToTheirStatesAndRanges) {
  auto client = make();
  EXPECT_EQ(client->setRemotePort(70000).error(), (SocketError{40014, kRange, "CSocketMaster.RemotePort"}));
  EXPECT_EQ(client->setLocalPort(-1).error(), (SocketError{40014, kRange, "CSocketMaster.LocalPort"}));
  EXPECT_TRUE(client->setRemotePort(0).ok());
  EXPECT_TRUE(client->setLocalPort(4100).ok());
  EXPECT_TRUE(client->setRemoteHost("10.0.0.7").ok());
  client->setTag("waga 1");
  EXPECT_EQ(client->Tag(), "waga 1");
  EXPECT_EQ(client->LocalHostName().value(), "WAGA-PC");
  net.addHost("WAGA-PC", Ipv4Address{{192, 168, 1, 10}});
  EXPECT_EQ(client->LocalIP().value(), "192.168.1.10");

  ASSERT_TRUE(client->Connect(std::nullopt, 4001).ok());
  EXPECT_EQ(client->LocalPort(), 4100);
  EXPECT_EQ(client->setRemotePort(1).error(), (SocketError{40020, kInvalidOperation, "CSocketMaster.RemotePort"}));
  EXPECT_EQ(client->setRemoteHost("x").error(), (SocketError{40020, kInvalidOperation, "CSocketMaster.RemoteHost"}));
  EXPECT_EQ(client->setLocalPort(1).error(), (SocketError{40020, kInvalidOperation, "CSocketMaster.LocalPort"}));
  EXPECT_EQ(client->setProtocol(SocketProtocol::Udp).error(),
            (SocketError{40020, kInvalidOperation, "CSocketMaster.Protocol"}));
  EXPECT_EQ(client->Bind(1).error(), (SocketError{40020, kInvalidOperation, "CSocketMaster.Bind"}));
  EXPECT_EQ(client->Accept(5).error(), (SocketError{40020, kInvalidOperation, "CSocketMaster.Accept"}));
  EXPECT_EQ(client->Listen().error(), (SocketError{40020, kInvalidOperation, "CSocketMaster.Listen"}));

  // A second object cannot take the local port in use.
  auto second = make();
  ASSERT_TRUE(second->setLocalPort(4100).ok());
  const SocketResult busy = second->Connect("10.0.0.7", 4001);
  EXPECT_EQ(busy.error(), (SocketError{10048, "Address already in use.", "CSocketMaster.BindInternal"}));
  EXPECT_EQ(net.openSockets(), 1);
}

// ---- server side ------------------------------------------------------------

TEST_F(CSocketMasterTest, ListenParksIncomingConnectionsUntilAccepted) {
  auto server = make();
  ASSERT_TRUE(server->setLocalPort(4001).ok());
  ASSERT_TRUE(server->Listen().ok());
  EXPECT_EQ(server->State(), sckListening);
  const SocketId listener = server->SocketHandle();
  const Endpoint peer{{{10, 0, 0, 50}}, 61000};

  // Not accepted: closed after the event.
  std::vector<SocketId> requests;
  std::string peerDuringEvent;
  server->events.ConnectionRequest = [&](SocketId id) {
    requests.push_back(id);
    peerDuringEvent = server->RemoteHostIP();
  };
  net.incomingConnection(listener, peer);
  loop.runFor(Millis(1));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(peerDuringEvent, "10.0.0.50");
  EXPECT_EQ(server->RemoteHostIP(), "");
  EXPECT_FALSE(net.socket(requests[0]).open);
  EXPECT_FALSE(service.IsParked(requests[0]));

  // Accepted, with data that reached the holder before the Accept.
  auto worker = make();
  server->events.ConnectionRequest = [&](SocketId id) {
    net.peerSends(id, "early");
    loop.yieldToPendingEvents();
    EXPECT_TRUE(worker->Accept(id).ok());
    auto intruder = make();
    EXPECT_EQ(intruder->Accept(id).number(), 40006);
  };
  net.incomingConnection(listener, peer);
  loop.runFor(Millis(1));
  EXPECT_EQ(worker->State(), sckConnected);
  EXPECT_EQ(worker->RemoteHostIP(), "10.0.0.50");
  EXPECT_EQ(worker->RemotePort(), 61000);
  EXPECT_EQ(arrivals, std::vector<std::int32_t>{5});
  EXPECT_TRUE(net.socket(worker->SocketHandle()).open);

  net.peerSends(worker->SocketHandle(), "+late");
  loop.runFor(Millis(1));
  SocketData text = std::string();
  ASSERT_TRUE(worker->GetData(text).ok());
  EXPECT_EQ(textOf(text), "early+late");
  ASSERT_TRUE(worker->SendData(std::string("OK")).ok());
  EXPECT_EQ(net.socket(worker->SocketHandle()).wire, "OK");
  EXPECT_EQ(service.liveObjects(), 2);  // the holder is gone
}

TEST_F(CSocketMasterTest, AcceptOfAnUnknownSocketTakesItAsItIs) {
  auto server = make();
  ASSERT_TRUE(server->Listen().ok());
  net.incomingConnection(server->SocketHandle(), {{{10, 0, 0, 51}}, 62000});
  const SocketId raw = net.accept(server->SocketHandle()).value.socket;
  auto taker = make();
  ASSERT_TRUE(taker->Accept(raw).ok());
  EXPECT_EQ(taker->State(), sckConnected);
  EXPECT_EQ(taker->RemoteHostIP(), "10.0.0.51");
  net.peerSends(raw, "x");
  loop.runFor(Millis(1));
  EXPECT_EQ(arrivals, std::vector<std::int32_t>{1});
  taker.reset();
  EXPECT_TRUE(net.socket(raw).open);  // not this object's to close
  EXPECT_FALSE(service.HasSocket(raw));
}

TEST_F(CSocketMasterTest, UdpBindsSendsAndReceivesDatagrams) {
  auto udp = make();
  ASSERT_TRUE(udp->setProtocol(SocketProtocol::Udp).ok());
  EXPECT_EQ(udp->Bind("9000", "abc").number(), 40014);  // no such local address
  ASSERT_TRUE(udp->Bind("9000").ok());
  EXPECT_EQ(udp->State(), sckOpen);
  EXPECT_EQ(udp->LocalPort(), 9000);
  const SocketId s = udp->SocketHandle();
  EXPECT_TRUE(net.socket(s).broadcast);

  const Endpoint sender{{{10, 0, 0, 9}}, 7000};
  std::vector<std::string> taken;
  udp->events.DataArrival = [&](std::int32_t size) {
    arrivals.push_back(size);
    SocketData text = std::string();
    EXPECT_TRUE(udp->GetData(text).ok());
    taken.push_back(textOf(text));
  };
  net.peerSendsDatagram(s, "hello", sender);
  net.peerSendsDatagram(s, "second", sender);
  loop.runFor(Millis(1));
  EXPECT_EQ(taken, (std::vector<std::string>{"hello", "second"}));
  EXPECT_EQ(arrivals, (std::vector<std::int32_t>{5, 6}));
  EXPECT_EQ(udp->RemoteHostIP(), "10.0.0.9");
  EXPECT_EQ(udp->RemotePort(), 7000);

  // A datagram nobody takes is dropped after its event.
  udp->events.DataArrival = [&](std::int32_t size) { arrivals.push_back(size); };
  net.peerSendsDatagram(s, "ignored", sender);
  loop.runFor(Millis(1));
  EXPECT_EQ(udp->BytesReceived(), 0);

  ASSERT_TRUE(udp->setRemoteHost("10.0.0.9").ok());
  ASSERT_TRUE(udp->setRemotePort(7000).ok());
  ASSERT_TRUE(udp->SendData(std::string("T\r\n")).ok());
  ASSERT_EQ(net.socket(s).sentDatagrams.size(), 1u);
  EXPECT_EQ(net.socket(s).sentDatagrams[0].bytes, "T\r\n");
  EXPECT_EQ(net.socket(s).sentDatagrams[0].peer, sender);

  ASSERT_TRUE(udp->setRemoteHost("no.such.host").ok());
  EXPECT_EQ(udp->SendData(std::string("x")).error(),
            (SocketError{40014, "Invalid argument", "CSocketMaster.SendBufferedDataUDP"}));
  EXPECT_EQ(net.socket(s).sentDatagrams.size(), 1u);
}

TEST_F(CSocketMasterTest, UdpSendOnAClosedObjectOpensIt) {
  auto udp = make();
  ASSERT_TRUE(udp->setProtocol(SocketProtocol::Udp).ok());
  ASSERT_TRUE(udp->setRemoteHost("10.0.0.9").ok());
  ASSERT_TRUE(udp->setRemotePort(7000).ok());
  SocketData nothing;
  EXPECT_EQ(udp->GetData(nothing).number(), 40006);
  ASSERT_TRUE(udp->SendData(std::int16_t{1}).ok());
  EXPECT_EQ(udp->State(), sckOpen);
  EXPECT_EQ(net.socket(udp->SocketHandle()).sentDatagrams.at(0).bytes, std::string("\x01\x00", 2));
  ASSERT_TRUE(udp->GetData(nothing).ok());  // no datagram: untouched
  EXPECT_EQ(nothing.index(), 0u);
}

}  // namespace
}  // namespace pondex
