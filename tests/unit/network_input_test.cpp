// Network input: the supervision's connection rules, received data and
// commands over TCP, and the address and port-number panels.
#include "tests/unit/key_fixture.h"

namespace pondex {
namespace {

const std::string kNetwork = "NR PORTU=0\r\nSYGNA\xA3 ZEWNETRZNY=1\r\nKoniec ramki=0\r\nLF=0\r\n";
const Endpoint kScale{{{127, 0, 0, 1}}, 4001};

class NetworkInputTest : public KeyFixture {
 protected:
  void start(const std::string& settings = kNetwork) {
    load(settings);
    form.userClick(c.cmdStart);
  }
  // Runs ticks until the input is connected; its socket.
  SocketId connect() {
    for (int i = 0; i < 10 && !fake.sockets.connectedSocket(); ++i) fake.loop.runFor(Millis(200));
    EXPECT_TRUE(fake.sockets.connectedSocket().has_value());
    return fake.sockets.connectedSocket().value_or(kNoSocket);
  }
  // Types an address into the address panel and applies it.
  void enterAddress(const std::string& address, const std::string& port) {
    form.userClick(c.Label4);
    std::size_t box = 0;
    std::string part;
    for (char ch : address + ".") {
      if (ch != '.') {
        part += ch;
        continue;
      }
      form.userEditedText(c.txtIp[box++], part);
      part.clear();
    }
    form.userEditedText(c.txtPort, port);
    form.userClick(c.cmdOkIp);
  }
};

TEST_F(NetworkInputTest, ConnectsToTheStoredAddressAndTypesWhatArrives) {
  start();
  const SocketId s = connect();
  EXPECT_EQ(fake.sockets.connectAttempts, std::vector<Endpoint>{kScale});
  fake.sockets.peerSends(s, "12.5 kg\r\n");
  fake.loop.runFor(Millis(50));
  EXPECT_FALSE(timerOn(kTimer3)) << "supervision pauses while data arrive";
  fake.loop.runFor(Millis(500));
  EXPECT_EQ(typed(), "12,5 kg\r\r");
  EXPECT_TRUE(timerOn(kTimer3));
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
  EXPECT_EQ(fake.sockets.openSockets(), 0) << "each refused attempt is closed";
  EXPECT_TRUE(fake.messages.shown.empty());
  fake.sockets.planConnect(kScale, {});
  connect();
}

TEST_F(NetworkInputTest, ANormalCloseByTheInstrumentIsFollowedByANewConnection) {
  start();
  const SocketId first = connect();
  fake.sockets.peerCloses(first);
  fake.loop.runFor(Millis(100));
  EXPECT_TRUE(fake.sockets.socket(first).open) << "closed by the next tick, not at once";
  const SocketId second = connect();
  EXPECT_NE(second, first);
  EXPECT_FALSE(fake.sockets.socket(first).open);
}

TEST_F(NetworkInputTest, ConnectErrorsNeitherHangNorStopTheSupervision) {
  start(kNetwork + "EthPort=abc\r\n");
  fake.loop.runFor(Millis(600));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty()) << "refused before any socket exists";
  EXPECT_EQ(fake.sockets.openSockets(), 0);
  enterAddress("127.0.0.1", "70000");
  fake.loop.runFor(Millis(600));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty());
  enterAddress("127.0.0.1", "4001");
  connect();
}

TEST_F(NetworkInputTest, AnAddressRefusedAtOnceIsClosedAndTriedAgain) {
  const Endpoint zero{{{0, 0, 0, 0}}, 4001};
  fake.sockets.planConnect(zero, {.immediateError = 10049});
  start(kNetwork + "EthIp=0.0.0.0\r\n");
  fake.loop.runFor(Millis(200));
  EXPECT_EQ(fake.sockets.openSockets(), 0);
  enterAddress("127.0.0.1", "4001");
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

  // The instrument closed the connection: until a later tick connects
  // again, the object refuses commands and nothing else happens.
  fake.sockets.peerCloses(s);
  fake.keyboard.asyncStates[115] = static_cast<std::int16_t>(0x8000);
  fake.loop.runFor(Millis(200));
  fake.keyboard.asyncStates[115] = 0;
  EXPECT_EQ(fake.sockets.socket(s).wire, "SI\r\n");
  EXPECT_NE(connect(), s);
}

TEST_F(NetworkInputTest, WithoutContinuousListeningNoConnectionIsAttempted) {
  start("NR PORTU=0\r\n");
  fake.loop.runFor(Millis(1000));
  EXPECT_TRUE(fake.sockets.connectAttempts.empty());
}

TEST_F(NetworkInputTest, TheAddressPanelStoresWhatWasEnteredAndCancelStoresNothing) {
  start();
  form.userClick(c.Label4);
  EXPECT_EQ(form.container(c.picEth), c.picPoloczenie);
  EXPECT_EQ(form.caption(c.txtIp[0]), "127");
  EXPECT_EQ(form.caption(c.txtPort), "4001");
  form.userEditedText(c.txtIp[0], "10");
  form.userEditedText(c.txtIp[1], "0");
  form.userEditedText(c.txtIp[2], "0");
  form.userEditedText(c.txtIp[3], "7");
  form.userClick(c.cmdOkIp);
  EXPECT_EQ(fake.setting("EthIp"), "10.0.0.7");
  EXPECT_EQ(fake.setting("EthPort"), "4001");
  EXPECT_EQ(form.caption(c.lblEthIp), "10.0.0.7");
  EXPECT_EQ(form.container(c.picEth), c.Smietnik);

  const auto writes = fake.profiles.writes.size();
  form.userClick(c.Label4);
  form.userEditedText(c.txtPort, "9");
  form.userClick(c.cmdNoIp);
  EXPECT_EQ(fake.profiles.writes.size(), writes);
  EXPECT_EQ(form.container(c.picEth), c.Smietnik);
}

TEST_F(NetworkInputTest, AnAddressOfOtherThanFourPartsLeavesTheBoxesAsTheyAre) {
  start(kNetwork + "EthIp=host.example\r\nEthPort=5000\r\n");
  form.userEditedText(c.txtIp[0], "10");
  form.userClick(c.Label4);
  EXPECT_EQ(form.caption(c.txtIp[0]), "10");
  EXPECT_EQ(form.caption(c.txtPort), "5000");
  form.gotFocus(c.txtPort);
  EXPECT_EQ(form.selLength(c.txtPort), 4u) << "a box's text is selected when it takes the focus";
}

TEST_F(NetworkInputTest, ThePortPadSelectsNetworkModeOnlyWithANumberThatIsZero) {
  start("SYGNA\xA3 ZEWNETRZNY=1\r\n");
  auto& com1 = fake.serial.addPort("COM1");
  fake.loop.runFor(Millis(200));
  EXPECT_TRUE(com1.open) << "port 1: serial input";
  form.userClick(c.LblNrPortuCap);
  form.userClick(c.CmdEthernet);
  EXPECT_EQ(form.container(c.picEth), c.picPoloczenie);
  form.userClick(c.cmdOkNrPortu);  // display left empty: the number stays
  EXPECT_EQ(fake.setting("NR PORTU"), "1");
  EXPECT_TRUE(com1.open) << "still serial input";
  form.userClick(c.LblNrPortuCap);
  form.userClick(c.ButtonXP1[0]);
  form.userClick(c.cmdOkNrPortu);
  EXPECT_EQ(fake.setting("NR PORTU"), "0");
  connect();
}

TEST_F(NetworkInputTest, AnotherStartKeepsTheSocketLibraryUp) {
  start();
  const SocketId first = connect();
  form.userClick(c.cmdStart);  // a new input object replaces the connected one
  EXPECT_EQ(fake.sockets.startups, 1);
  EXPECT_EQ(fake.sockets.cleanups, 0);
  EXPECT_FALSE(fake.sockets.socket(first).open);
  EXPECT_NE(connect(), first);
}

}  // namespace
}  // namespace pondex
