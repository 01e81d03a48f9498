// Network input: the supervision's connection rules, received data and
// commands over TCP, and the check of an address. The Wine end-to-end suite
// runs the same path against a real TCP port; these see what it cannot:
// sockets left open, failures that no real port gives, and the timing of
// the reactions.
#include <array>

#include "net/address_check.h"
#include "tests/unit/network_fixture.h"

namespace pondex {
namespace {

using NetworkInputTest = NetworkFixture;

TEST_F(NetworkInputTest, SegmentsCloserThanTheSilenceAreTypedAsOneFrame) {
  start();
  const SocketId s = connect();
  EXPECT_EQ(fake.sockets.connectAttempts, std::vector<Endpoint>{kScale});
  fake.sockets.peerSends(s, "1");
  fake.loop.runFor(Millis(60));
  EXPECT_TRUE(timerOn(kSupervisionTimer)) << "supervision goes on while data arrive";
  fake.sockets.peerSends(s, "2");
  fake.loop.runFor(Millis(300));
  fake.sockets.peerSends(s, "3");
  fake.loop.runFor(Millis(300));
  EXPECT_EQ(typed(), "12\r3\r");
  EXPECT_TRUE(timerOn(kSupervisionTimer));
}

// Each way an attempt fails, one after the other: nothing hangs, no socket
// is left open, no message box takes the focus, and a later tick connects
// once the cause is gone.
TEST_F(NetworkInputTest, FailedAttemptsAreClosedForATryOnEveryTickUntilOneConnects) {
  start(kNetwork + "EthPort=abc\r\n");
  fake.loop.runFor(Millis(600));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty()) << "a port that is no port: refused before any socket exists";

  fake.sockets.planConnect({{{0, 0, 0, 0}}, 4001}, {.immediateError = 10049});
  enterAddress({"0", "0", "0", "0"}, "4001");
  fake.loop.runFor(Millis(600));
  EXPECT_GE(fake.sockets.connectAttempts.size(), 2u) << "an address refused at once";
  EXPECT_EQ(fake.sockets.openSockets(), 0);

  fake.sockets.planConnect(kScale, {.notifiedError = 10061});
  enterAddress({"127", "0", "0", "1"}, "4001");
  auto attempts = fake.sockets.connectAttempts.size();
  fake.loop.runFor(Millis(1000));
  EXPECT_GE(fake.sockets.connectAttempts.size(), attempts + 4) << "refused: tried on every tick";
  EXPECT_EQ(fake.sockets.openSockets(), 0);

  fake.sockets.createError = 10024;  // too many open files: a new object starts over
  attempts = fake.sockets.connectAttempts.size();
  fake.loop.runFor(Millis(600));
  EXPECT_EQ(fake.sockets.connectAttempts.size(), attempts);
  fake.sockets.createError = 0;
  fake.sockets.planConnect(kScale, {});
  connect();
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(NetworkInputTest, AfterTheInstrumentClosesCommandsAreDroppedUntilANewConnection) {
  start(kNetwork +
        "GOR\xA5"
        "CY KLAWISZ=1\r\n");
  const SocketId s = connect();
  hold(kF9, Millis(200));
  EXPECT_EQ(fake.sockets.socket(s).wire, "SI\r\n");

  fake.sockets.peerCloses(s);
  hold(kF4, Millis(200));
  const SocketId next = connect();
  EXPECT_NE(next, s);
  EXPECT_FALSE(fake.sockets.socket(s).open);
  EXPECT_EQ(fake.sockets.socket(s).wire + fake.sockets.socket(next).wire, "SI\r\n");
}

TEST_F(NetworkInputTest, WithoutContinuousListeningNoConnectionIsAttempted) {
  start("NR PORTU=0\r\n");
  fake.loop.runFor(Millis(1000));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty());
}

struct AddressCase {
  std::array<std::string, 4> parts;
  std::string port;
  AddressFault fault;
  std::string address;
};

void expectChecks(const std::vector<AddressCase>& cases) {
  for (const auto& t : cases) {
    const CheckedAddress checked = checkNetworkAddress(t.parts, t.port);
    EXPECT_EQ(checked.fault, t.fault) << t.parts[0] << "." << t.parts[1] << "." << t.parts[3] << ":" << t.port;
    EXPECT_EQ(checked.address, t.address);
  }
}

TEST(CheckNetworkAddress, PartsPassAsDecimalNumbersUpTo255InTheirShortestForm) {
  expectChecks({
      {{"10", "0", "0", "7"}, "4001", AddressFault::None, "10.0.0.7"},
      {{"010", "000", "0", "255"}, "00080", AddressFault::None, "10.0.0.255"},  // decimal, never octal
      {{"0", "0", "0", "0"}, "65535", AddressFault::None, "0.0.0.0"},
      {{"10", "", "0", "7"}, "4001", AddressFault::Part, ""},
      {{"10", "0", "0", "256"}, "4001", AddressFault::Part, ""},
      {{"1x", "0", "0", "7"}, "4001", AddressFault::Part, ""},
      {{"-1", "0", "0", "7"}, "4001", AddressFault::Part, ""},
      {{"1000", "0", "0", "7"}, "4001", AddressFault::Part, ""},
  });
}

TEST(CheckNetworkAddress, PortsPassFrom1To65535InTheirShortestForm) {
  expectChecks({
      {{"10", "0", "0", "7"}, "0", AddressFault::Port, ""},
      {{"10", "0", "0", "7"}, "65536", AddressFault::Port, ""},
      {{"10", "0", "0", "7"}, "", AddressFault::Port, ""},
      {{"10", "0", "0", "7"}, "99999999999999999999", AddressFault::Port, ""},
      {{"10", "0", "0", "7"}, " 80", AddressFault::Port, ""},
  });
  EXPECT_EQ(checkNetworkAddress({"1", "2", "3", "4"}, "00080").port, "80");
  EXPECT_EQ(checkNetworkAddress({"1", "2", "3", "4"}, "65535").fault, AddressFault::None);
}

TEST_F(NetworkInputTest, AnotherStartKeepsTheSocketLibraryUp) {
  start();
  const SocketId first = connect();
  form.userClick(controls.startButton);  // a new input object replaces the connected one
  EXPECT_EQ(fake.sockets.startups, 1);
  EXPECT_EQ(fake.sockets.cleanups, 0);
  EXPECT_FALSE(fake.sockets.socket(first).open);
  EXPECT_NE(connect(), first);
}

}  // namespace
}  // namespace pondex
