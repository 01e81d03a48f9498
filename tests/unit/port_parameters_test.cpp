#include "serial/port_parameters.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_serial.h"

namespace pondex {
namespace {

class PortParametersTest : public ::testing::Test {
 protected:
  void apply() { ApplyPortSettings(settings, comm, networkMode); }

  fakes::FakeEventLoop loop;
  fakes::FakeSerialPorts ports{loop};
  fakes::FakeMessageBoxes messages;
  fakes::FakeSerialDevice& com1 = ports.addPort("COM1");
  ARCComm comm{ports, messages, "Pon_dex"};
  Settings settings;
  bool networkMode = true;  // as the main window starts
};

TEST_F(PortParametersTest, ThePortNumberNamesTheComPortOrSelectsNetworkInput) {
  comm.setComPort("");
  comm.setComSettings("");
  apply();  // every setting at its default
  EXPECT_FALSE(networkMode);
  EXPECT_EQ(comm.ComPort() + " " + comm.ComSettings(), "Com1: 9600,N,8,1");
  for (const char* number : {"12", "012"}) {
    settings.PortNumber = number;
    apply();
    EXPECT_EQ(comm.ComPort(), "Com12:") << number;
  }
  settings.PortSpeed = "4800";
  for (const char* number : {"0", "", "abc"}) {
    settings.PortNumber = number;
    networkMode = false;
    apply();
    EXPECT_TRUE(networkMode) << number;
    EXPECT_EQ(comm.ComPort() + " " + comm.ComSettings(), "Com12: 9600,N,8,1") << number << ": left alone";
  }
}

TEST_F(PortParametersTest, ANewSpeedReopensOnlyAnOpenPortAndPortZeroLeavesItOpen) {
  settings.PortSpeed = "4800";
  apply();
  ASSERT_TRUE(comm.InitCom());
  EXPECT_EQ(com1.mode, "4800,N,8,1");
  settings.PortSpeed = "19200";
  apply();
  EXPECT_EQ(com1.opens, 2) << "opened by InitCom, then reopened";
  EXPECT_EQ(com1.mode, "19200,N,8,1");
  settings.PortNumber = "0";
  apply();
  EXPECT_TRUE(comm.PortIsOpen() && com1.closes == 1);
}

}  // namespace
}  // namespace pondex
