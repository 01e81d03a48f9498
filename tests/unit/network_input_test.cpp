// Network input: the supervision's connection rules, received data and
// commands over TCP, and the address and port-number panels.
#include <gtest/gtest.h>

#include "core/key.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/us_layout.h"

namespace pondex {
namespace {

const std::string kNetwork = "NR PORTU=0\r\nSYGNA\xA3 ZEWNETRZNY=1\r\nKoniec ramki=0\r\nLF=0\r\n";
const Endpoint kScale{{{127, 0, 0, 1}}, 4001};

class NetworkInputTest : public ::testing::Test {
 protected:
  NetworkInputTest() { fakes::installUsLayout(fake.keyboard); }

  void start(const std::string& settings = kNetwork) {
    fake.plantSettings("[USTAWIENIA]\r\n" + settings);
    ASSERT_TRUE(key.Form_Load());
    ASSERT_TRUE(key.NetworkMode());
    key.form().userClick(key.controls().cmdStart);
  }
  // Runs ticks until the client is connected; its socket.
  SocketId connect() {
    for (int i = 0; i < 10 && (key.client() == nullptr || key.client()->State() != sckConnected); ++i) {
      fake.loop.runFor(Millis(200));
    }
    EXPECT_EQ(key.client()->State(), sckConnected);
    return key.client()->SocketHandle();
  }
  std::string typed() const { return fakes::typedText(fake.keyboard.events); }

  fakes::FakePlatform fake;
  Key key{fake.platform};
};

TEST_F(NetworkInputTest, ConnectsToTheStoredAddressAndTypesWhatArrives) {
  start();
  const SocketId s = connect();
  EXPECT_EQ(fake.sockets.connectAttempts, std::vector<Endpoint>{kScale});
  fake.sockets.peerSends(s, "12.5 kg\r\n");
  fake.loop.runFor(Millis(50));
  EXPECT_FALSE(key.timer3().enabled()) << "supervision pauses while data arrive";
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "12,5 kg\r\r");
  EXPECT_TRUE(key.timer3().enabled());
}

TEST_F(NetworkInputTest, SegmentsCloserThanTheSilenceShareOneReaction) {
  start();
  const SocketId s = connect();
  fake.sockets.peerSends(s, "1");
  fake.loop.runFor(Millis(60));
  fake.sockets.peerSends(s, "2");
  fake.loop.runFor(Millis(300));
  fake.sockets.peerSends(s, "3");
  fake.loop.runFor(Millis(300));
  EXPECT_EQ(typed(), "12\r3\r");
}

TEST_F(NetworkInputTest, ARefusedConnectionIsTriedAgainOnEveryTickWithoutAMessage) {
  fake.sockets.planConnect(kScale, {.notifiedError = 10061});
  start();
  fake.loop.runFor(Millis(1000));
  EXPECT_GE(fake.sockets.connectAttempts.size(), 4u);
  EXPECT_EQ(key.client()->State(), sckClosed);
  EXPECT_TRUE(fake.messages.shown.empty());
  fake.sockets.planConnect(kScale, {});
  connect();
}

TEST_F(NetworkInputTest, ANormalCloseByTheInstrumentIsFollowedByANewConnection) {
  start();
  const SocketId first = connect();
  fake.sockets.peerCloses(first);
  fake.loop.runFor(Millis(100));
  EXPECT_EQ(key.client()->State(), sckClosing);
  const SocketId second = connect();
  EXPECT_NE(second, first);
  EXPECT_FALSE(fake.sockets.socket(first).open);
}

TEST_F(NetworkInputTest, ConnectErrorsNeitherHangNorStopTheSupervision) {
  start(kNetwork + "EthPort=abc\r\n");
  fake.loop.runFor(Millis(600));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty()) << "refused before any socket exists";
  EXPECT_EQ(key.client()->State(), sckClosed);
  key.ApplyNetworkAddress("127", "0", "0", "1", "70000");
  fake.loop.runFor(Millis(600));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty());
  key.ApplyNetworkAddress("127", "0", "0", "1", "4001");
  connect();
}

TEST_F(NetworkInputTest, AnAddressRefusedAtOnceIsClosedAndTriedAgain) {
  const Endpoint zero{{{0, 0, 0, 0}}, 4001};
  fake.sockets.planConnect(zero, {.immediateError = 10049});
  start(kNetwork + "EthIp=0.0.0.0\r\n");
  fake.loop.runFor(Millis(200));
  EXPECT_EQ(key.client()->State(), sckClosed);
  EXPECT_EQ(fake.sockets.openSockets(), 0);
  key.ApplyNetworkAddress("127", "0", "0", "1", "4001");
  connect();
}

TEST_F(NetworkInputTest, ASocketThatCannotBeMadeIsReplacedByANewObject) {
  fake.sockets.createError = 10024;  // too many open files
  start();
  fake.loop.runFor(Millis(600));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty());
  fake.sockets.createError = 0;
  connect();
}

TEST_F(NetworkInputTest, HotKeysSendOverTheConnectionAndAreDroppedWhileDisconnected) {
  start(kNetwork +
        "GOR\xA5"
        "CY KLAWISZ=1\r\n");
  const SocketId s = connect();
  fake.keyboard.asyncStates[120] = static_cast<std::int16_t>(0x8000);
  fake.loop.runFor(Millis(200));
  fake.keyboard.asyncStates[120] = 0;
  EXPECT_EQ(fake.sockets.socket(s).wire, "SI\r\n");

  // Not connected: the object refuses the command and nothing else happens.
  (void)key.client()->CloseSck();
  key.sendCommand("T");
  EXPECT_EQ(fake.sockets.socket(s).wire, "SI\r\n");
  connect();
}

TEST_F(NetworkInputTest, WithoutContinuousListeningNoConnectionIsAttempted) {
  start("NR PORTU=0\r\n");
  fake.loop.runFor(Millis(1000));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty());
}

TEST_F(NetworkInputTest, TheAddressPanelStoresWhatWasEnteredAndCancelStoresNothing) {
  start();
  const auto& c = key.controls();
  key.form().userClick(c.Label4);
  EXPECT_EQ(key.form().container(c.picEth), c.picPoloczenie);
  EXPECT_EQ(key.form().caption(c.txtIp[0]), "127");
  EXPECT_EQ(key.form().caption(c.txtPort), "4001");
  key.form().userEditedText(c.txtIp[0], "10");
  key.form().userEditedText(c.txtIp[1], "0");
  key.form().userEditedText(c.txtIp[2], "0");
  key.form().userEditedText(c.txtIp[3], "7");
  key.form().userClick(c.cmdOkIp);
  EXPECT_EQ(fake.setting("EthIp"), "10.0.0.7");
  EXPECT_EQ(fake.setting("EthPort"), "4001");
  EXPECT_EQ(key.form().caption(c.lblEthIp), "10.0.0.7");
  EXPECT_EQ(key.form().container(c.picEth), c.Smietnik);

  const auto writes = fake.profiles.writes.size();
  key.form().userClick(c.Label4);
  key.form().userEditedText(c.txtPort, "9");
  key.form().userClick(c.cmdNoIp);
  EXPECT_EQ(fake.profiles.writes.size(), writes);
  EXPECT_EQ(key.form().container(c.picEth), c.Smietnik);

  key.ShowNetworkAddress("host.example", "5000");
  EXPECT_EQ(key.form().caption(c.txtIp[0]), "10") << "not four parts: the boxes keep their text";
  EXPECT_EQ(key.form().caption(c.txtPort), "5000");
  key.form().gotFocus(c.txtPort);
  EXPECT_EQ(key.form().selLength(c.txtPort), 4u);
}

TEST_F(NetworkInputTest, ThePortPadSelectsNetworkModeOnlyWithANumberThatIsZero) {
  ASSERT_TRUE(key.Form_Load());
  const auto& c = key.controls();
  EXPECT_FALSE(key.NetworkMode());
  key.form().userClick(c.LblNrPortuCap);
  key.form().userClick(c.CmdEthernet);
  EXPECT_EQ(key.form().container(c.picEth), c.picPoloczenie);
  key.form().userClick(c.cmdOkNrPortu);  // display left empty: the number stays
  EXPECT_EQ(fake.setting("NR PORTU"), "1");
  EXPECT_FALSE(key.NetworkMode());
  key.form().userClick(c.LblNrPortuCap);
  key.form().userClick(c.ButtonXP1[0]);
  key.form().userClick(c.cmdOkNrPortu);
  EXPECT_EQ(fake.setting("NR PORTU"), "0");
  EXPECT_TRUE(key.NetworkMode());
}

}  // namespace
}  // namespace pondex
