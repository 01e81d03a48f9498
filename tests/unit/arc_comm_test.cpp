#include "serial/arc_comm.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_serial.h"

namespace pondex {
namespace {

using fakes::FakeEventLoop;
using fakes::FakeMessageBoxes;
using fakes::FakeSerialDevice;
using fakes::FakeSerialPorts;
using std::chrono::milliseconds;
using ::testing::ElementsAre;

constexpr const char* kNotAvailableTail = " not available. Use Serial settings (on the main menu) to setup your ports.";

class ARCCommTest : public ::testing::Test {
 protected:
  // Sizes of the write calls made on the port, in order.
  std::vector<std::size_t> writeSizes() const {
    std::vector<std::size_t> sizes;
    for (const auto& w : com1.writes) sizes.push_back(w.bytes.size());
    return sizes;
  }
  void openCom1() {
    ASSERT_TRUE(comm.InitCom());
    ASSERT_TRUE(messages.shown.empty());
  }

  FakeEventLoop loop;
  FakeSerialPorts ports{loop};
  FakeMessageBoxes messages;
  FakeSerialDevice& com1 = ports.addPort("COM1");
  ARCComm comm{ports, messages, "Pon_dex"};
};

TEST_F(ARCCommTest, LoadedAndNewComponentsStartWithTheirOwnDefaults) {
  EXPECT_EQ(comm.ComPort(), "Com1:");
  EXPECT_EQ(comm.ComSettings(), "9600,N,8,1");
  EXPECT_EQ(comm.IntervalVal(), 500);
  EXPECT_EQ(comm.WriteAndWaitForRetries(), 10);
  EXPECT_EQ(comm.MaximumChars(), 255);
  EXPECT_FALSE(comm.PortIsOpen());

  ARCComm fresh{ports, messages, "Pon_dex", ARCComm::CreatedNew{}};
  EXPECT_EQ(fresh.ComPort(), "");
  EXPECT_EQ(fresh.ComSettings(), "");
  EXPECT_EQ(fresh.IntervalVal(), 0);
  EXPECT_EQ(fresh.WriteAndWaitForRetries(), 10);
  EXPECT_EQ(fresh.MaximumChars(), 0);
  EXPECT_FALSE(fresh.PortIsOpen());

  // Saved values replace the defaults one by one.
  ARCComm saved{ports, messages, "Pon_dex", {.ComName = "Com4:", .MaxChars = 80}};
  EXPECT_EQ(saved.ComPort(), "Com4:");
  EXPECT_EQ(saved.ComSettings(), "9600,N,8,1");
  EXPECT_EQ(saved.IntervalVal(), 500);
  EXPECT_EQ(saved.MaximumChars(), 80);
}

TEST_F(ARCCommTest, EnabledReadsFalseWhateverWasWritten) {
  comm.setEnabled(true);
  EXPECT_FALSE(comm.Enabled());
}

TEST_F(ARCCommTest, InitComOpensThePropertiesPortWithItsModeAndTimeouts) {
  openCom1();
  EXPECT_TRUE(comm.PortIsOpen());
  EXPECT_THAT(ports.openAttempts, ElementsAre("Com1:"));
  EXPECT_EQ(com1.mode, "9600,N,8,1");
  const SerialTimeouts expected{.readInterval = 200,
                                .readTotalMultiplier = 1,
                                .readTotalConstant = 1,
                                .writeTotalMultiplier = 1,
                                .writeTotalConstant = 1};
  EXPECT_EQ(com1.timeouts, expected);
}

TEST_F(ARCCommTest, StandInArgumentsAreReplacedInTheCallersVariables) {
  std::string name = "ComX:";
  std::string mode = "X";
  ASSERT_TRUE(comm.InitCom(name, mode));
  EXPECT_EQ(name, "Com1:");
  EXPECT_EQ(mode, "9600,N,8,1");

  // Given texts are used as they are and leave the properties alone.
  ports.addPort("COM2");
  name = "COM2";
  mode = "4800,E,7,2";
  ASSERT_TRUE(comm.InitCom(name, mode));
  EXPECT_EQ(name, "COM2");
  EXPECT_EQ(ports.device("COM2").mode, "4800,E,7,2");
  EXPECT_EQ(comm.ComPort(), "Com1:");
  EXPECT_EQ(comm.ComSettings(), "9600,N,8,1");

  // Only the name given: the mode is the property's.
  name = "Com1:";
  ASSERT_TRUE(comm.InitCom(name));
  EXPECT_EQ(com1.mode, "9600,N,8,1");
}

TEST_F(ARCCommTest, InitComOnAnOpenPortClosesItAndReopensWithTheCurrentProperties) {
  openCom1();
  comm.setComSettings("19200,E,7,2");
  ASSERT_TRUE(comm.InitCom());
  EXPECT_EQ(com1.closes, 1);
  EXPECT_EQ(com1.opens, 2);
  EXPECT_EQ(com1.mode, "19200,E,7,2");

  // The open port is closed first even when the new one cannot be opened.
  comm.setComPort("Com9:");
  EXPECT_FALSE(comm.InitCom());
  EXPECT_FALSE(comm.PortIsOpen());
  EXPECT_FALSE(com1.open);
}

TEST_F(ARCCommTest, AMissingOrBusyPortIsNotAvailable) {
  comm.setComPort("Com9:");
  EXPECT_FALSE(comm.InitCom());
  com1.heldByOtherProgram = true;
  std::string name = "Com1:";
  EXPECT_FALSE(comm.InitCom(name));

  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, std::string("Com Port Com9:") + kNotAvailableTail);
  EXPECT_EQ(messages.shown[1].text, std::string("Com Port Com1:") + kNotAvailableTail);
  for (const auto& m : messages.shown) {
    EXPECT_EQ(m.title, "Pon_dex");
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
    EXPECT_EQ(m.icon, MessageIcon::Exclamation);
  }
  EXPECT_FALSE(comm.PortIsOpen());
}

TEST_F(ARCCommTest, SetupFailuresShowTheErrorAndCloseThePortAgain) {
  struct Case {
    const char* name;
    std::function<void()> inject;
    std::string mode;
    std::string message;
  };
  const std::vector<Case> cases{
      {"timeouts", [this] { com1.refuseTimeouts = 31; }, "9600,N,8,1",
       "Unable to set timeouts for port Com1: Error: 31"},
      {"mode text", [] {}, "abc,N,8,1", "Unable to build Comm DCB abc,N,8,1 Error: 87"},
      {"line state", [this] { com1.refuseLineControl = 1234; }, "9600,N,8,1",
       "Unable to set Comm DCB 9600,N,8,1 Error: 1234"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    messages.shown.clear();
    com1.refuseTimeouts.reset();
    com1.refuseLineControl.reset();
    c.inject();
    comm.setComSettings(c.mode);
    const int closesBefore = com1.closes;

    EXPECT_FALSE(comm.InitCom());
    EXPECT_FALSE(comm.PortIsOpen());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, c.message);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.shown[0].title, "Pon_dex");
    EXPECT_EQ(com1.closes, closesBefore + 1);
    EXPECT_FALSE(com1.open) << "the handle must not keep the port busy";
    EXPECT_EQ(comm.GetData(), "");
    EXPECT_EQ(com1.reads, 0);
  }
}

TEST_F(ARCCommTest, FinComReportsTheCloseAndOnlyClearsTheFlagWhenClosed) {
  EXPECT_FALSE(comm.FinCom());
  openCom1();
  EXPECT_TRUE(comm.FinCom());
  EXPECT_FALSE(comm.PortIsOpen());
  EXPECT_EQ(com1.closes, 1);
  EXPECT_FALSE(comm.FinCom());
  EXPECT_EQ(com1.closes, 1);
}

TEST_F(ARCCommTest, UnloadingClosesThePort) {
  {
    ARCComm other{ports, messages, "Pon_dex"};
    ASSERT_TRUE(other.InitCom());
    EXPECT_TRUE(com1.open);
  }
  EXPECT_FALSE(com1.open);
  EXPECT_EQ(com1.closes, 1);
}

TEST_F(ARCCommTest, GetDataOnAClosedPortReturnsAtOnceWithoutTouchingThePort) {
  com1.sendAt(milliseconds{0}, "data");
  EXPECT_EQ(comm.GetData(), "");
  EXPECT_EQ(loop.now(), milliseconds{0});
  EXPECT_EQ(com1.reads, 0);
  EXPECT_EQ(com1.unread(), 4u);
}

TEST_F(ARCCommTest, AnIdleReadReturnsEmptyAfter257Milliseconds) {
  openCom1();
  EXPECT_EQ(comm.GetData(), "");
  EXPECT_EQ(loop.now(), milliseconds{257});
}

TEST_F(ARCCommTest, AFrameArrivingInPiecesComesBackInOneRead) {
  openCom1();
  com1.sendIn(milliseconds{10}, "  12.5");
  com1.sendIn(milliseconds{60}, "0 g");
  com1.sendIn(milliseconds{110}, "\r\n");
  EXPECT_EQ(comm.GetData(), "  12.50 g\r\n");
  EXPECT_EQ(loop.now(), milliseconds{257}) << "no gap was long enough; the total timeout ends it";
}

TEST_F(ARCCommTest, AReadStopsAfterAGapOfMoreThan200Milliseconds) {
  openCom1();
  com1.sendIn(milliseconds{10}, "first");
  com1.sendIn(milliseconds{10 + 201}, "second");
  EXPECT_EQ(comm.GetData(), "first");
  EXPECT_EQ(loop.now(), milliseconds{210});
  EXPECT_EQ(comm.GetData(), "second");
}

TEST_F(ARCCommTest, ATrickleEndsAtTheTotalTimeout) {
  openCom1();
  for (int i = 1; i <= 5; ++i) com1.sendIn(milliseconds{100 * i}, std::string(1, static_cast<char>('0' + i)));
  EXPECT_EQ(comm.GetData(), "12");
  EXPECT_EQ(loop.now(), milliseconds{257});
  EXPECT_EQ(comm.GetData(), "345");
}

TEST_F(ARCCommTest, ReadsTakeAtMost256Bytes) {
  openCom1();
  std::string all;
  for (int i = 0; i < 300; ++i) all += static_cast<char>(i);  // every byte value, unconverted
  com1.sendAt(milliseconds{0}, all);
  const std::string first = comm.GetData();
  EXPECT_EQ(first, all.substr(0, 256));
  EXPECT_EQ(loop.now(), milliseconds{0}) << "a full buffer returns at once";
  const std::string rest = comm.GetData();
  EXPECT_EQ(rest, all.substr(256));
  EXPECT_EQ(loop.now(), milliseconds{200}) << "waiting bytes count as received at the call";
}

TEST_F(ARCCommTest, WritesGoOutInPiecesOf255) {
  openCom1();
  std::string text;
  for (int i = 0; i < 600; ++i) text += static_cast<char>('a' + i % 26);
  EXPECT_TRUE(comm.WriteData(text.substr(0, 255)));
  EXPECT_TRUE(comm.WriteData(text.substr(0, 256)));
  EXPECT_TRUE(comm.WriteData(text.substr(0, 300)));
  EXPECT_TRUE(comm.WriteData(text));
  EXPECT_TRUE(comm.WriteData(""));  // one empty write
  EXPECT_THAT(writeSizes(), ElementsAre(255, 255, 1, 255, 45, 255, 255, 90, 0));
  EXPECT_EQ(com1.written(), text.substr(0, 255) + text.substr(0, 256) + text.substr(0, 300) + text);
}

TEST_F(ARCCommTest, WriteDataIsTrueOnlyWhenEveryPieceWasWrittenInFull) {
  EXPECT_FALSE(comm.WriteData("SI\r\n")) << "no port open";
  openCom1();

  com1.limitNextWrite = 100;  // the first piece times out part way
  EXPECT_FALSE(comm.WriteData(std::string(300, 'x')));
  EXPECT_THAT(writeSizes(), ElementsAre(100, 45));

  com1.failNextWrite = 1234;
  EXPECT_FALSE(comm.WriteData("T\r\n"));
  EXPECT_TRUE(comm.PortIsOpen()) << "an ordinary write error leaves the port open";
  EXPECT_TRUE(comm.WriteData("T\r\n"));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ARCCommTest, WriteAndWaitForRaisesSendAndReceivedOnlyWhenTheWriteFails) {
  int raised = 0;
  std::string send, received = "?", toWaitFor = "?";
  comm.events.SendAndReceived = [&](std::string& DataSend, std::string& DataReceived, std::string& DataToWaitFor) {
    ++raised;
    send = DataSend;
    received = DataReceived;
    toWaitFor = DataToWaitFor;
    DataSend = "changed by the handler";
  };
  std::string text = "SI\r\n";
  std::string awaited = "ST,GS";

  EXPECT_FALSE(comm.WriteAndWaitFor(text, awaited));  // no port open
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(send, "ST,GS") << "the awaited text, not the written one";
  EXPECT_EQ(received, "");
  EXPECT_EQ(toWaitFor, "");
  EXPECT_EQ(awaited, "changed by the handler") << "DataSend is the caller's variable";

  openCom1();
  awaited = "ST,GS";
  EXPECT_TRUE(comm.WriteAndWaitFor(text, awaited));
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(com1.written(), "SI\r\n");
  EXPECT_EQ(text, "SI\r\n");
}

TEST(SerialErrors, OnlyTheErrorsOfARemovedDeviceCountAsGone) {
  for (std::uint32_t e : {22u, 31u, 55u, 433u, 1167u, 1617u}) EXPECT_TRUE(isDeviceGoneError(e)) << e;
  for (std::uint32_t e : {0u, 2u, 5u, 6u, 87u, 121u, 995u, 1117u}) EXPECT_FALSE(isDeviceGoneError(e)) << e;
}

TEST_F(ARCCommTest, AVanishedAdapterClosesThePortUntilItIsBack) {
  for (std::uint32_t error : {kErrorBadCommand, kErrorGenFailure, kErrorDevNotExist, kErrorNoSuchDevice,
                              kErrorDeviceNotConnected, kErrorDeviceRemoved}) {
    SCOPED_TRACE(error);
    messages.shown.clear();
    openCom1();
    com1.unplug(error);

    EXPECT_EQ(comm.GetData(), "");
    EXPECT_FALSE(comm.PortIsOpen());
    EXPECT_TRUE(messages.shown.empty()) << "closed quietly, as FinCom does";
    EXPECT_EQ(comm.GetData(), "");  // the next polls cost nothing

    // The supervision's reopen attempts fail while it is away...
    EXPECT_FALSE(comm.InitCom());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, std::string("Com Port Com1:") + kNotAvailableTail);

    // ...and succeed once it is back, with data flowing again.
    com1.plugIn();
    ASSERT_TRUE(comm.InitCom());
    com1.sendIn(milliseconds{5}, "12.5 g\r\n");
    EXPECT_EQ(comm.GetData(), "12.5 g\r\n");
    comm.FinCom();
  }
}

TEST_F(ARCCommTest, AWriteToAVanishedAdapterClosesThePort) {
  openCom1();
  com1.unplug(kErrorDeviceNotConnected);
  EXPECT_FALSE(comm.WriteData(std::string(300, 'x')));
  EXPECT_FALSE(comm.PortIsOpen());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ARCCommTest, OtherReadErrorsGiveEmptyTextAndKeepThePortOpen) {
  openCom1();
  com1.sendIn(milliseconds{1}, "later");
  com1.failNextRead = 995;  // ERROR_OPERATION_ABORTED
  EXPECT_EQ(comm.GetData(), "");
  EXPECT_TRUE(comm.PortIsOpen());
  EXPECT_EQ(comm.GetData(), "later");
  EXPECT_EQ(com1.closes, 0);
}

}  // namespace
}  // namespace pondex
