#include "serial/port_parameters.h"

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

class PortParametersTest : public ::testing::Test {
 protected:
  void apply() { ApplyPortSettings(settings, comm, networkMode); }

  FakeEventLoop loop;
  FakeSerialPorts ports{loop};
  FakeMessageBoxes messages;
  FakeSerialDevice& com1 = ports.addPort("COM1");
  ARCComm comm{ports, messages, "Pon_dex"};
  Settings settings;
  bool networkMode = true;  // as the main window starts
};

TEST_F(PortParametersTest, TheDefaultsGiveCom1At9600N81WithoutOpeningIt) {
  comm.setComPort("");
  comm.setComSettings("");
  apply();
  EXPECT_FALSE(networkMode);
  EXPECT_EQ(comm.ComPort(), "Com1:");
  EXPECT_EQ(comm.ComSettings(), "9600,N,8,1");
  EXPECT_TRUE(ports.openAttempts.empty());
}

TEST_F(PortParametersTest, ThePortNameIsTheShortestDecimalTextOfTheNumber) {
  for (const auto& [number, name] : std::vector<std::pair<std::string, std::string>>{
           {"12", "Com12:"}, {"012", "Com12:"}, {" 3 ", "Com3:"}, {"3.50", "Com3.5:"}}) {
    settings.PortNumber = number;
    networkMode = true;
    apply();
    EXPECT_FALSE(networkMode) << number;
    EXPECT_EQ(comm.ComPort(), name) << number;
  }
}

TEST_F(PortParametersTest, ZeroOrTextThatIsNoNumberSelectsNetworkInputAndLeavesThePortAlone) {
  comm.setComPort("Com7:");
  comm.setComSettings("4800,E,7,2");
  for (const char* number : {"0", "000", "0.0", "", "abc", "12abc", "COM1"}) {
    networkMode = false;
    settings.PortNumber = number;
    settings.PortSpeed = "19200";
    apply();
    EXPECT_TRUE(networkMode) << number;
    EXPECT_EQ(comm.ComPort(), "Com7:") << number;
    EXPECT_EQ(comm.ComSettings(), "4800,E,7,2") << number;
  }
}

TEST_F(PortParametersTest, PortZeroLeavesAnOpenPortOpen) {
  ASSERT_TRUE(comm.InitCom());
  settings.PortNumber = "0";
  apply();
  EXPECT_TRUE(networkMode);
  EXPECT_TRUE(comm.PortIsOpen());
  EXPECT_EQ(com1.closes, 0);
}

TEST_F(PortParametersTest, ANewSpeedReopensAnOpenPortAtThatSpeed) {
  ASSERT_TRUE(comm.InitCom());
  settings.PortSpeed = "19200";
  settings.PortParity = "E";
  settings.PortDataBits = "7";
  settings.PortStopBits = "2";
  apply();
  EXPECT_TRUE(comm.PortIsOpen());
  EXPECT_EQ(com1.closes, 1);
  EXPECT_EQ(com1.opens, 2);
  EXPECT_EQ(com1.mode, "19200,E,7,2");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PortParametersTest, ANewSpeedOpensNothingWhileThePortIsClosed) {
  settings.PortSpeed = "4800";
  apply();
  EXPECT_FALSE(comm.PortIsOpen());
  EXPECT_TRUE(ports.openAttempts.empty());
  EXPECT_EQ(comm.ComSettings(), "4800,N,8,1");
  // The next open takes the new values.
  ASSERT_TRUE(comm.InitCom());
  EXPECT_EQ(com1.mode, "4800,N,8,1");
}

TEST_F(PortParametersTest, APortThatCannotBeReopenedStaysClosedWithTheNewValuesKept) {
  ASSERT_TRUE(comm.InitCom());
  settings.PortNumber = "9";
  apply();
  EXPECT_FALSE(networkMode);
  EXPECT_FALSE(comm.PortIsOpen());
  EXPECT_FALSE(com1.open);
  EXPECT_EQ(comm.ComPort(), "Com9:");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "Com Port Com9: not available. Use Serial settings (on the main menu) to setup your ports.");
}

}  // namespace
}  // namespace pondex
