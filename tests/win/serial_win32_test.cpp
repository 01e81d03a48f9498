// The serial component over the real communications functions, against a
// pty pair: COM1 and COM2 are the two ends of one line. The test holds COM2
// as the instrument's side. Real time passes here, so timings are asserted
// only in generous ranges.
#include "platform/win32/serial_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "platform/win32/handles.h"
#include "serial/arc_comm.h"
#include "tests/fakes/fake_platform.h"

namespace pondex {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr const char* kNotAvailableTail = " not available. Use Serial settings (on the main menu) to setup your ports.";

class SerialWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    farSide_.reset(::CreateFileA("COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(farSide_.valid()) << "COM2 does not open: error " << ::GetLastError();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(::BuildCommDCBA("9600,N,8,1", &dcb));
    ASSERT_TRUE(::SetCommState(farSide_.get(), &dcb));
    // Reads on the far side wait at most 100 ms for more.
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = 50;
    t.ReadTotalTimeoutConstant = 100;
    t.WriteTotalTimeoutConstant = 1000;
    ASSERT_TRUE(::SetCommTimeouts(farSide_.get(), &t));
    (void)readFarSide(100000, milliseconds{0});  // what earlier tests left behind
  }

  void TearDown() override { comm.FinCom(); }

  // Opens COM1 and reads away whatever is still on its way to it.
  void openAndDrain() {
    ASSERT_TRUE(comm.InitCom());
    while (!comm.GetData().empty()) {
    }
  }

  void writeFarSide(const std::string& bytes) {
    DWORD put = 0;
    ASSERT_TRUE(::WriteFile(farSide_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
    ASSERT_EQ(put, bytes.size());
  }

  // Reads the far side until `count` bytes came or `patience` passed.
  std::string readFarSide(std::size_t count, milliseconds patience) {
    std::string got;
    const auto end = Clock::now() + patience;
    do {
      char buffer[512];
      DWORD n = 0;
      if (!::ReadFile(farSide_.get(), buffer, sizeof buffer, &n, nullptr)) break;
      got.append(buffer, n);
      if (n == 0 && Clock::now() >= end) break;
    } while (got.size() < count);
    return got;
  }

  // Polls GetData as the main window does until `count` bytes came.
  std::string pollUntil(std::size_t count, milliseconds patience) {
    std::string got;
    const auto end = Clock::now() + patience;
    while (got.size() < count && Clock::now() < end) got += comm.GetData();
    return got;
  }

  win32::Win32SerialPorts ports;
  fakes::FakeMessageBoxes messages;
  ARCComm comm{ports, messages, "Pon_dex"};

 private:
  win32::UniqueFile farSide_;
};

TEST_F(SerialWin32Test, InitComOpensCom1WithTheDefaultMode) {
  std::string name = "ComX:";
  std::string mode = "X";
  EXPECT_TRUE(comm.InitCom(name, mode));
  EXPECT_TRUE(comm.PortIsOpen());
  EXPECT_EQ(name, "Com1:");
  EXPECT_EQ(mode, "9600,N,8,1");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(comm.FinCom());
  EXPECT_FALSE(comm.PortIsOpen());
  EXPECT_FALSE(comm.FinCom());
}

TEST_F(SerialWin32Test, BytesFromTheFarSideComeBackFromGetData) {
  openAndDrain();
  writeFarSide("     12.50 g\r\n");
  EXPECT_EQ(pollUntil(14, milliseconds{3000}), "     12.50 g\r\n");
}

TEST_F(SerialWin32Test, EveryByteValueCrossesUnchangedBothWays) {
  openAndDrain();
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  writeFarSide(all);
  EXPECT_EQ(pollUntil(all.size(), milliseconds{5000}), all);

  ASSERT_TRUE(comm.WriteData(all));  // 255 + 1
  EXPECT_EQ(readFarSide(all.size(), milliseconds{5000}), all);
}

TEST_F(SerialWin32Test, AnIdleReadReturnsEmptyAfterItsOwnTimeout) {
  openAndDrain();
  const auto start = Clock::now();
  EXPECT_EQ(comm.GetData(), "");
  const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
  EXPECT_GE(took.count(), 150);
  EXPECT_LE(took.count(), 2000);
}

TEST_F(SerialWin32Test, WriteDataArrivesOnTheFarSide) {
  openAndDrain();
  EXPECT_TRUE(comm.WriteData("SI\r\n"));
  EXPECT_EQ(readFarSide(4, milliseconds{3000}), "SI\r\n");

  std::string longText;
  for (int i = 0; i < 300; ++i) longText += static_cast<char>('A' + i % 26);
  EXPECT_TRUE(comm.WriteData(longText));
  EXPECT_EQ(readFarSide(300, milliseconds{5000}), longText);
}

TEST_F(SerialWin32Test, AMissingPortIsNotAvailable) {
  comm.setComPort("Com9:");
  EXPECT_FALSE(comm.InitCom());
  EXPECT_FALSE(comm.PortIsOpen());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, std::string("Com Port Com9:") + kNotAvailableTail);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(messages.shown[0].title, "Pon_dex");
}

TEST_F(SerialWin32Test, ARefusedModeTextIsReportedAndThePortStaysClosed) {
  comm.setComSettings("abc,N,8,1");
  EXPECT_FALSE(comm.InitCom());
  EXPECT_FALSE(comm.PortIsOpen());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Unable to build Comm DCB abc,N,8,1 Error: 87");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
  EXPECT_EQ(comm.GetData(), "");

  // The handle was given back: the port opens again.
  comm.setComSettings("9600,N,8,1");
  EXPECT_TRUE(comm.InitCom());
}

TEST(Win32SerialPorts, EveryFormOfTheNameOpensThePort) {
  win32::Win32SerialPorts ports;
  for (const char* name : {"Com1:", "COM1", "\\\\.\\COM1"}) {
    OpenedPort opened = ports.open(name);
    ASSERT_TRUE(opened.port) << name << ": error " << opened.error;
    EXPECT_TRUE(opened.port->close());
    EXPECT_FALSE(opened.port->close()) << "a second close does nothing";
  }
  const OpenedPort missing = ports.open("Com9:");
  EXPECT_FALSE(missing.port);
  EXPECT_EQ(missing.error, kErrorFileNotFound);
}

}  // namespace
}  // namespace pondex
