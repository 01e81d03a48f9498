#include "serial/arc_comm.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_serial.h"

namespace pondex {
namespace {

using std::chrono::milliseconds;
using ::testing::ElementsAre;

std::string notAvailable(const std::string& port) {
  return "Com Port " + port + " not available. Use Serial settings (on the main menu) to setup your ports.";
}

class ARCCommTest : public ::testing::Test {
 protected:
  std::vector<std::size_t> writeSizes() const {
    std::vector<std::size_t> sizes;
    for (const auto& w : com1.writes) sizes.push_back(w.bytes.size());
    return sizes;
  }

  fakes::FakeEventLoop loop;
  fakes::FakeSerialPorts ports{loop};
  fakes::FakeMessageBoxes messages;
  fakes::FakeSerialDevice& com1 = ports.addPort("COM1");
  ARCComm comm{ports, messages, "Pon_dex"};
};

TEST_F(ARCCommTest, StandInsOpenThePropertiesPortAndReachTheCallersVariables) {
  std::string name = "ComX:", mode = "X";
  ASSERT_TRUE(comm.InitCom(name, mode));
  EXPECT_EQ(name + " " + mode, "Com1: 9600,N,8,1");
  EXPECT_EQ(com1.mode, "9600,N,8,1");
  EXPECT_EQ(com1.timeouts, (SerialTimeouts{200, 1, 1, 1, 1}));
  mode = "4800,E,7,2";  // other texts are used as they are
  ASSERT_TRUE(comm.InitCom(name, mode));
  EXPECT_EQ(com1.mode, "4800,E,7,2");
  EXPECT_TRUE(comm.FinCom());
  comm.setEnabled(true);
  EXPECT_FALSE(comm.Enabled());
}

TEST_F(ARCCommTest, InitComClosesAnOpenPortFirstAndFinComOrUnloadingCloseIt) {
  EXPECT_FALSE(comm.FinCom()) << "nothing open";
  ASSERT_TRUE(comm.InitCom());
  comm.setComSettings("19200,E,7,2");
  ASSERT_TRUE(comm.InitCom()) << "the fake refuses to open an open port";
  EXPECT_EQ(com1.mode, "19200,E,7,2");
  comm.setComPort("Com9:");
  EXPECT_FALSE(comm.InitCom());
  EXPECT_FALSE(com1.open) << "closed first also when the new port cannot be opened";
  auto other = std::make_unique<ARCComm>(ports, messages, "Pon_dex");
  ASSERT_TRUE(other->InitCom());
  other.reset();
  EXPECT_FALSE(com1.open) << "unloading closes the port";
}

TEST_F(ARCCommTest, EachFailureIsShownWithItsNumberAndLeavesThePortClosed) {
  const auto fail = [&](const char* port, const char* mode) {
    comm.setComPort(port);
    comm.setComSettings(mode);
    EXPECT_FALSE(comm.InitCom() || comm.PortIsOpen() || com1.open) << mode << ": the port must not stay busy";
  };
  fail("Com9:", "9600,N,8,1");
  com1.refuseTimeouts = 31;
  fail("Com1:", "9600,N,8,1");
  com1.refuseTimeouts.reset();
  fail("Com1:", "abc,N,8,1");
  com1.refuseLineControl = 1234;
  fail("Com1:", "9600,N,8,1");
  std::vector<std::string> texts;
  for (const auto& m : messages.shown) {
    texts.push_back(m.text);
    EXPECT_TRUE(m.title == "Pon_dex" && m.buttons == MessageButtons::Ok) << m.text;
    EXPECT_EQ(m.icon, texts.size() == 1 ? MessageIcon::Exclamation : MessageIcon::None) << m.text;
  }
  EXPECT_THAT(texts, ElementsAre(notAvailable("Com9:"), "Unable to set timeouts for port Com1: Error: 31",
                                 "Unable to build Comm DCB abc,N,8,1 Error: 87",
                                 "Unable to set Comm DCB 9600,N,8,1 Error: 1234"));
}

TEST_F(ARCCommTest, GetDataIsEmptyAtOnceWhenClosedAndAfter257msWhenIdle) {
  EXPECT_EQ(comm.GetData(), "");
  EXPECT_EQ(loop.now(), milliseconds{0});
  ASSERT_TRUE(comm.InitCom());
  EXPECT_EQ(comm.GetData(), "");
  EXPECT_EQ(loop.now(), milliseconds{257});
}

TEST_F(ARCCommTest, OneReadCollectsAFramesPiecesAndAtMost256Bytes) {
  ASSERT_TRUE(comm.InitCom());
  com1.sendIn(milliseconds{10}, "  12.5");
  com1.sendIn(milliseconds{60}, "0 g");
  com1.sendIn(milliseconds{110}, "\r\n");
  EXPECT_EQ(comm.GetData(), "  12.50 g\r\n");
  std::string all;
  for (int i = 0; i < 300; ++i) all += static_cast<char>(i);  // every byte value, unconverted
  com1.sendIn(milliseconds{0}, all);
  EXPECT_EQ(comm.GetData(), all.substr(0, 256));
  EXPECT_EQ(comm.GetData(), all.substr(256));
}

TEST_F(ARCCommTest, WritesGoOutInPiecesOf255AndAreTrueOnlyWhenEveryPieceWentInFull) {
  ASSERT_TRUE(comm.InitCom());
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>('a' + i % 26);
  EXPECT_TRUE(comm.WriteData(text));
  EXPECT_TRUE(comm.WriteData(text + text));
  EXPECT_THAT(writeSizes(), ElementsAre(255, 45, 255, 255, 90));
  EXPECT_EQ(com1.written(), text + text + text);
  com1.writes.clear();
  com1.limitNextWrite = 100;  // the first piece times out part way; the second still goes
  EXPECT_FALSE(comm.WriteData(text));
  EXPECT_THAT(writeSizes(), ElementsAre(100, 45));
}

TEST_F(ARCCommTest, WriteAndWaitForRaisesSendAndReceivedOnlyWhenTheWriteFails) {
  std::string seen;
  comm.events.SendAndReceived = [&](std::string& DataSend, std::string& DataReceived, std::string& DataToWaitFor) {
    seen += DataSend + "|" + DataReceived + "|" + DataToWaitFor + ";";
    DataSend = "changed by the handler";
  };
  std::string text = "SI\r\n", awaited = "ST,GS";
  EXPECT_FALSE(comm.WriteAndWaitFor(text, awaited));  // no port open
  EXPECT_EQ(seen, "ST,GS||;") << "the awaited text, not the written one";
  EXPECT_EQ(awaited, "changed by the handler") << "DataSend is the caller's variable";
  ASSERT_TRUE(comm.InitCom());
  EXPECT_TRUE(comm.WriteAndWaitFor(text, awaited));
  EXPECT_EQ(seen, "ST,GS||;");
  EXPECT_EQ(com1.written(), "SI\r\n");
}

TEST_F(ARCCommTest, AVanishedDeviceClosesThePortQuietlyAndItReopensOnceBack) {
  ASSERT_TRUE(comm.InitCom());
  for (std::uint32_t error : {kErrorNotReady, kErrorBadCommand, kErrorGenFailure, kErrorDevNotExist, kErrorNoSuchDevice,
                              kErrorDeviceNotConnected, kErrorDeviceRemoved}) {
    com1.unplug(error);
    EXPECT_EQ(comm.GetData(), "");
    EXPECT_FALSE(comm.PortIsOpen()) << error;
    EXPECT_FALSE(comm.InitCom()) << "still away";
    com1.plugIn();
    ASSERT_TRUE(comm.InitCom());
  }
  EXPECT_EQ(messages.shown.size(), 7u) << "one per reopen while away; the close itself shows nothing";
  com1.unplug(kErrorDeviceRemoved);
  EXPECT_FALSE(comm.WriteData("SI\r\n"));
  EXPECT_FALSE(comm.PortIsOpen());
  com1.plugIn();
  EXPECT_TRUE(comm.InitCom());
}

TEST_F(ARCCommTest, QuietOpenGivesTheFailureBackInsteadOfShowingIt) {
  ASSERT_TRUE(comm.InitCom());
  com1.unplug();
  EXPECT_EQ(comm.GetData(), "");
  EXPECT_TRUE(comm.DeviceGone());
  auto failure = comm.InitComQuiet();
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->text, "Com Port Com1: not available. Use Serial settings (on the main menu) to setup your ports.");
  EXPECT_EQ(failure->error, kErrorFileNotFound);
  com1.plugIn();
  comm.setComSettings("abc,N,8,1");
  failure = comm.InitComQuiet();
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->text, "Unable to build Comm DCB abc,N,8,1 Error: 87");
  EXPECT_FALSE(comm.PortIsOpen()) << "the half-opened port was closed again";
  comm.setComSettings("9600,N,8,1");
  EXPECT_TRUE(comm.DeviceGone()) << "until an open succeeds";
  EXPECT_FALSE(comm.InitComQuiet().has_value());
  EXPECT_TRUE(comm.PortIsOpen());
  EXPECT_FALSE(comm.DeviceGone());
  EXPECT_TRUE(messages.shown.empty());
  comm.setComPort("Com7:");
  EXPECT_FALSE(comm.InitCom()) << "the loud open still shows its message";
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(ARCCommTest, OtherReadAndWriteErrorsLeaveThePortOpen) {
  ASSERT_TRUE(comm.InitCom());
  com1.failNextRead = 995;    // ERROR_OPERATION_ABORTED
  com1.failNextWrite = 1117;  // ERROR_IO_DEVICE
  EXPECT_EQ(comm.GetData(), "");
  EXPECT_FALSE(comm.WriteData("T\r\n"));
  EXPECT_TRUE(comm.PortIsOpen());
  EXPECT_EQ(com1.closes, 0);
}

}  // namespace
}  // namespace pondex
