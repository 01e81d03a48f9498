// The serial component over the fake port, and the port it is given by the
// settings.
#include "serial/serial_port.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "serial/port_parameters.h"
#include "tests/fakes/fake_platform.h"

namespace pondex {
namespace {

using std::chrono::milliseconds;
using ::testing::ElementsAre;

class SerialPortTest : public ::testing::Test {
 protected:
  fakes::FakeEventLoop loop;
  fakes::FakeSerialPorts ports{loop};
  fakes::FakeMessageBoxes messages;
  fakes::FakeSerialDevice& com1 = ports.addPort("COM1");
  SerialPort serialPort{ports, messages, "Pon_dex"};

  // Takes every piece as it arrives, so that reads go on.
  void takeEverything() {
    serialPort.events.arrived = [this] {
      while (serialPort.takePiece()) {
      }
    };
  }
  // Applies the port settings with this port number and speed.
  void apply(const char* number, const char* speed) {
    settings.portNumber = number;
    settings.portSpeed = speed;
    applyPortSettings(settings, serialPort, networkMode);
  }
  Settings settings;
  bool networkMode = true;
};

// Each way an open fails: no such port, timeouts refused, a mode that
// builds no line control, a line control refused.
TEST_F(SerialPortTest, EachSetupFailureIsShownWithItsNumber) {
  const auto fail = [&](const char* port, const char* mode) {
    serialPort.setPortName(port);
    serialPort.setMode(mode);
    EXPECT_FALSE(serialPort.open());
    EXPECT_FALSE(serialPort.isOpen() || com1.open) << mode << ": the port must not stay busy";
  };
  fail("Com9:", "9600,N,8,1");
  com1.refuseTimeouts = 31;
  fail("Com1:", "9600,N,8,1");
  com1.refuseTimeouts.reset();
  fail("Com1:", "abc,N,8,1");
  com1.refuseLineControl = 1234;
  fail("Com1:", "9600,N,8,1");
  std::vector<std::string> texts;
  for (const auto& m : messages.shown) texts.push_back(m.text);
  EXPECT_THAT(
      texts,
      ElementsAre("Com Port Com9: not available. Use Serial settings (on the main menu) to setup your ports.",
                  "Unable to set timeouts for port Com1: Error: 31", "Unable to build Comm DCB abc,N,8,1 Error: 87",
                  "Unable to set Comm DCB 9600,N,8,1 Error: 1234"));
}

TEST_F(SerialPortTest, ArrivedTellsOfEachPieceAsItArrives) {
  std::vector<std::pair<Millis, std::string>> pieces;
  serialPort.events.arrived = [&] {
    while (auto piece = serialPort.takePiece()) {
      EXPECT_EQ(piece->receivedAt, loop.now()) << "stamped when its read completed";
      pieces.emplace_back(loop.now(), piece->bytes);
    }
  };
  com1.sendIn(milliseconds{5}, "before the port opened");
  loop.runFor(milliseconds{10});
  ASSERT_TRUE(serialPort.open());
  loop.runFor(milliseconds{0});
  com1.sendIn(milliseconds{10}, "  12.5");
  com1.sendIn(milliseconds{60}, "0 g\r\n");
  const Millis t0 = loop.now();
  std::string all;
  for (int i = 0; i < 300; ++i) all += static_cast<char>(i);
  com1.sendIn(milliseconds{100}, all);
  loop.runFor(milliseconds{200});
  EXPECT_THAT(pieces, ElementsAre(std::pair{t0 + milliseconds{10}, std::string("  12.5")},
                                  std::pair{t0 + milliseconds{60}, std::string("0 g\r\n")},
                                  std::pair{t0 + milliseconds{100}, all.substr(0, 256)},
                                  std::pair{t0 + milliseconds{100}, all.substr(256)}));
  serialPort.close();
  com1.sendIn(milliseconds{10}, "after the close");
  loop.runFor(milliseconds{100});
  EXPECT_EQ(pieces.size(), 4u) << "neither what came before the open nor after the close";
}

TEST_F(SerialPortTest, TheHostHearsOfEveryOpenOrCloseWhoeverCloses) {
  std::string heard;
  serialPort.events.opened = [&] { heard += "open "; };
  serialPort.events.closed = [&] { heard += serialPort.deviceGone() ? "gone " : "close "; };
  takeEverything();
  ASSERT_TRUE(serialPort.open());
  ASSERT_TRUE(serialPort.open());  // an open port is closed first
  serialPort.close();
  serialPort.close();  // already closed: nothing to hear
  ASSERT_TRUE(serialPort.open());
  com1.unplug(kErrorDeviceRemoved);
  loop.runFor(milliseconds{10});
  EXPECT_EQ(heard, "open close open close open gone ");
}

TEST_F(SerialPortTest, AVanishedDeviceClosesThePort) {
  takeEverything();
  ASSERT_TRUE(serialPort.open());
  com1.readFailsAt(loop.now(), 995);  // ERROR_OPERATION_ABORTED
  com1.failNextWrite = 1117;          // ERROR_IO_DEVICE
  loop.runFor(milliseconds{10});
  EXPECT_FALSE(serialPort.write("T\r\n"));
  EXPECT_TRUE(serialPort.isOpen()) << "one failure of another kind leaves the port open";

  com1.unplug(kErrorDeviceRemoved);
  loop.runFor(milliseconds{10});
  EXPECT_FALSE(serialPort.isOpen());
  EXPECT_TRUE(serialPort.deviceGone());

  com1.plugIn();
  ASSERT_TRUE(serialPort.open());
  com1.unplug(kErrorBadCommand);
  EXPECT_FALSE(serialPort.write("SI\r\n"));
  EXPECT_TRUE(serialPort.deviceGone()) << "noticed by a write too";
  EXPECT_FALSE(serialPort.isOpen());
}

TEST_F(SerialPortTest, AQuietOpenRetriesUntilTheDeviceIsBack) {
  takeEverything();
  ASSERT_TRUE(serialPort.open());
  com1.unplug(kErrorDeviceRemoved);
  loop.runFor(milliseconds{10});
  const auto failure = serialPort.openQuietly();
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->text, "Com Port Com1: not available. Use Serial settings (on the main menu) to setup your ports.");
  com1.plugIn();
  serialPort.setMode("abc,N,8,1");
  EXPECT_TRUE(serialPort.openQuietly().has_value());
  EXPECT_FALSE(com1.open) << "the half-opened port was closed again";
  EXPECT_TRUE(serialPort.deviceGone()) << "until an open succeeds";
  serialPort.setMode("9600,N,8,1");
  EXPECT_FALSE(serialPort.openQuietly().has_value());
  EXPECT_TRUE(serialPort.isOpen() && !serialPort.deviceGone());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SerialPortTest, AnOpenAfterTheDeviceVanishedStillShowsItsMessage) {
  takeEverything();
  ASSERT_TRUE(serialPort.open());
  com1.unplug(kErrorBadCommand);
  EXPECT_FALSE(serialPort.write("SI\r\n"));
  ASSERT_TRUE(serialPort.deviceGone());
  serialPort.setPortName("Com7:");
  EXPECT_FALSE(serialPort.open());
  EXPECT_EQ(messages.shown.size(), 1u) << "the loud open still shows its message";
}

TEST_F(SerialPortTest, ReadsThatKeepFailingForASecondCountAsAGoneDevice) {
  std::string taken;
  serialPort.events.arrived = [&] {
    while (auto piece = serialPort.takePiece()) taken += piece->bytes;
  };
  ASSERT_TRUE(serialPort.open());
  // A driver that answers "access denied" after a removal, every 250 ms;
  // a byte between two failures starts the count again.
  const Millis t0 = loop.now();
  for (int i = 0; i <= 3; ++i) com1.readFailsAt(t0 + milliseconds{250 * i}, kErrorAccessDenied);
  com1.sendAt(t0 + milliseconds{800}, "7");
  for (int i = 4; i <= 7; ++i) com1.readFailsAt(t0 + milliseconds{250 * i}, kErrorAccessDenied);
  loop.runFor(milliseconds{1760});
  EXPECT_TRUE(serialPort.isOpen()) << "1 s of failures has not passed since the byte";
  EXPECT_EQ(taken, "7");
  com1.readFailsAt(t0 + milliseconds{2000}, kErrorAccessDenied);
  loop.runFor(milliseconds{300});
  EXPECT_FALSE(serialPort.isOpen());
  EXPECT_TRUE(serialPort.deviceGone()) << "so that the quiet reopen takes over";
}

TEST_F(SerialPortTest, PortSettingsNameThePortOrSelectNetworkInput) {
  apply("012", "4800");
  EXPECT_FALSE(networkMode);
  EXPECT_EQ(serialPort.portName() + " " + serialPort.mode(), "Com12: 4800,N,8,1");
  for (const char* number : {"0", "", "abc"}) {
    apply(number, "19200");
    EXPECT_TRUE(networkMode) << number;
    EXPECT_EQ(serialPort.portName() + " " + serialPort.mode(), "Com12: 4800,N,8,1") << number << ": left alone";
  }
}

TEST_F(SerialPortTest, PortSettingsReopenOnlyAnOpenPort) {
  apply("1", "4800");
  EXPECT_EQ(com1.opens, 0) << "a closed port stays closed";
  ASSERT_TRUE(serialPort.open());
  apply("1", "19200");
  EXPECT_EQ(com1.opens, 2);
  EXPECT_EQ(com1.mode, "19200,N,8,1");
  apply("0", "19200");
  EXPECT_TRUE(serialPort.isOpen() && com1.closes == 1) << "network input leaves the serial port open";
}

}  // namespace
}  // namespace pondex
