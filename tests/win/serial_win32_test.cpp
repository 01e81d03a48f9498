// The serial component over the real communications functions, against
// pty pairs: COM1 and COM2 are the two ends of one line, COM12 and COM13 of
// another. The test holds COM2 as the instrument's side. Real time passes
// here, so timings are asserted only in generous ranges.
#include "platform/win32/serial_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win32/handles.h"
#include "serial/arc_comm.h"
#include "tests/fakes/fake_platform.h"

namespace pondex {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class SerialWin32Test : public ::testing::Test {
 protected:
  // Holds COM2 and opens COM1, with what earlier tests left on the line read away on both ends.
  void SetUp() override {
    openFarSide();
    (void)readFarSide(100000, milliseconds{0});
    ASSERT_TRUE(comm.InitCom());
    while (!comm.GetData().empty()) {
    }
  }

  void openFarSide() {
    farSide.reset(::CreateFileA("COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(farSide.valid()) << "COM2 does not open: error " << ::GetLastError();
    COMMTIMEOUTS t{50, 0, 100, 0, 1000};  // far-side reads wait at most 100 ms for more
    ASSERT_TRUE(::SetCommTimeouts(farSide.get(), &t));
  }

  // Reads the far side until `count` bytes came or `patience` passed.
  std::string readFarSide(std::size_t count, milliseconds patience) {
    std::string got;
    const auto end = Clock::now() + patience;
    char buffer[512];
    DWORD n = 0;
    while (got.size() < count && ::ReadFile(farSide.get(), buffer, sizeof buffer, &n, nullptr) &&
           (n > 0 || Clock::now() < end))
      got.append(buffer, n);
    return got;
  }

  // Polls the port as the main window does until `count` bytes came or 5 s passed.
  std::string readComm(std::size_t count) {
    std::string got;
    for (const auto end = Clock::now() + milliseconds{5000}; got.size() < count && Clock::now() < end;)
      got += comm.GetData();
    return got;
  }

  // A test that pulled the adapter out leaves it plugged in for the next.
  void TearDown() override {
    if (pairOut) requestPair("plug");
  }

  // Asks tests/win/with-serial-pair.sh to pull the COM1-COM2 pair out
  // ("unplug") or put it back ("plug"), and waits until it has.
  void requestPair(const std::string& what) {
    pairOut = what == "unplug";
    const char* dir = std::getenv("PONDEX_WINE_DIR");
    ASSERT_NE(dir, nullptr);
    std::string path = std::string("Z:") + dir + "/pair.request";
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    { std::ofstream(path + ".new") << what; }  // renamed whole: never seen half written
    ASSERT_TRUE(::MoveFileExA((path + ".new").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        << path << " error " << ::GetLastError();
    const auto end = Clock::now() + milliseconds{10000};
    while (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES && Clock::now() < end) ::Sleep(20);
    ASSERT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "nobody served " << what;
  }

  win32::Win32SerialPorts ports;
  fakes::FakeMessageBoxes messages;
  ARCComm comm{ports, messages, "Pon_dex"};
  win32::UniqueFile farSide;
  bool pairOut = false;
};

TEST_F(SerialWin32Test, EveryByteValueCrossesUnchangedBothWays) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  DWORD put = 0;
  ASSERT_TRUE(::WriteFile(farSide.get(), all.data(), 256, &put, nullptr) && put == 256);
  EXPECT_EQ(readComm(all.size()), all);
  ASSERT_TRUE(comm.WriteData(all));  // 255 + 1
  EXPECT_EQ(readFarSide(all.size(), milliseconds{5000}), all);
}

TEST_F(SerialWin32Test, AnIdleReadReturnsEmptyAfterItsOwnTimeout) {
  const auto start = Clock::now();
  EXPECT_EQ(comm.GetData(), "");
  const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
  EXPECT_TRUE(took >= 150 && took <= 2000) << took << " ms";
  EXPECT_TRUE(comm.PortIsOpen()) << "an idle line is no error";
}

TEST_F(SerialWin32Test, ARefusedModeIsShownWithTheSystemsErrorAndGivesTheHandleBack) {
  comm.setComSettings("abc,N,8,1");
  EXPECT_FALSE(comm.InitCom());
  EXPECT_FALSE(comm.PortIsOpen());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Unable to build Comm DCB abc,N,8,1 Error: 87");
  comm.setComSettings("9600,N,8,1");
  EXPECT_TRUE(comm.InitCom()) << "the refused mode's handle was given back";
}

TEST_F(SerialWin32Test, APulledAdapterIsADeviceGoneErrorAndThePortOpensAgainOnceBack) {
  requestPair("unplug");
  farSide.reset();
  // The system's read only times out empty on the vanished line; the port
  // must still say that its device is gone.
  EXPECT_EQ(comm.GetData(), "");
  EXPECT_FALSE(comm.PortIsOpen()) << "a gone device closes the port";
  // Wine opens the name of a vanished port but refuses to set it up; a
  // system may as well refuse the open. Either way the port stays closed.
  auto failure = comm.InitComQuiet();
  ASSERT_TRUE(failure.has_value()) << "the adapter is still out";
  EXPECT_FALSE(comm.PortIsOpen());
  EXPECT_TRUE(messages.shown.empty()) << failure->text;

  requestPair("plug");
  ASSERT_FALSE(comm.InitComQuiet().has_value()) << "the adapter is back";
  openFarSide();
  ASSERT_TRUE(comm.WriteData("SI\r\n"));
  EXPECT_EQ(readFarSide(4, milliseconds{3000}), "SI\r\n");
}

TEST_F(SerialWin32Test, PortsAboveNineOpenByTheirDeviceNames) {
  comm.setComPort("Com12:");
  ASSERT_TRUE(comm.InitCom()) << (messages.shown.empty() ? "" : messages.shown[0].text);
  win32::UniqueFile com13{
      ::CreateFileA("\\\\.\\COM13", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)};
  ASSERT_TRUE(com13.valid()) << ::GetLastError();
  while (!comm.GetData().empty()) {
  }
  DWORD put = 0;
  ASSERT_TRUE(::WriteFile(com13.get(), "12.5 kg\r\n", 9, &put, nullptr));
  EXPECT_EQ(readComm(9), "12.5 kg\r\n");
  comm.setComPort("Com14:");
  EXPECT_FALSE(comm.InitCom());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "Com Port Com14: not available. Use Serial settings (on the main menu) to setup your ports.")
      << "the user's name of the port, not the system's";
}

}  // namespace
}  // namespace pondex
