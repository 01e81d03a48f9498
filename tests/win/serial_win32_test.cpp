// The serial component over the real communications functions, against a
// pty pair: COM1 and COM2 are the two ends of one line, and the test holds
// COM2 as the instrument's side. The background read itself is held to the
// serial contract (contract_win32_test.cpp); a pulled adapter and a port
// above 9 are seen end to end (tests/e2e/test_serial.py).
#include "platform/win32/serial_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/win32/event_loop_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/serial_reader_win32.h"
#include "serial/serial_port.h"
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
    ASSERT_TRUE(serialPort.open());
    while (serialPort.takePiece()) {
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

  // Takes what arrives until `count` bytes came or 5 s passed.
  std::string readSerialPort(std::size_t count) {
    std::string got;
    for (const auto end = Clock::now() + milliseconds{5000}; got.size() < count && Clock::now() < end; ::Sleep(5)) {
      while (auto piece = serialPort.takePiece()) got += piece->bytes;
    }
    return got;
  }

  win32::Win32EventLoop loop;
  win32::Win32SerialPorts ports{loop};
  fakes::FakeMessageBoxes messages;
  SerialPort serialPort{ports, messages, "Pon_dex"};
  win32::UniqueFile farSide;
};

TEST_F(SerialWin32Test, EveryByteValueCrossesUnchangedBothWays) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  DWORD put = 0;
  ASSERT_TRUE(::WriteFile(farSide.get(), all.data(), 256, &put, nullptr) && put == 256);
  EXPECT_EQ(readSerialPort(all.size()), all);
  ASSERT_TRUE(serialPort.write(all));  // 255 + 1
  EXPECT_EQ(readFarSide(all.size(), milliseconds{5000}), all);
}

TEST_F(SerialWin32Test, FailedOpensAreShownWithTheSystemsError) {
  serialPort.setMode("abc,N,8,1");
  EXPECT_FALSE(serialPort.open());
  serialPort.setMode("9600,N,8,1");
  serialPort.setPortName("Com14:");  // opened by its device name, but named to the user as the user knows it
  EXPECT_FALSE(serialPort.open());
  EXPECT_FALSE(serialPort.isOpen());
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, "Unable to build Comm DCB abc,N,8,1 Error: 87");
  EXPECT_EQ(messages.shown[1].text,
            "Com Port Com14: not available. Use Serial settings (on the main menu) to setup your ports.");
}

TEST_F(SerialWin32Test, AFailedOpenGivesTheHandleBack) {
  serialPort.setMode("abc,N,8,1");
  EXPECT_FALSE(serialPort.open());
  serialPort.setMode("9600,N,8,1");
  EXPECT_TRUE(serialPort.open()) << "the refused mode's handle was given back";
}

// More than may wait between the reader and the taker: the reader pauses
// while the taker is away, the driver and the line hold what comes
// meanwhile, and once the taker is back every byte arrives, in order.
TEST(SerialWin32Reader, ABacklogBeyondTheBoundArrivesWholeOnceTaken) {
  win32::Win32EventLoop loop;
  win32::Win32SerialPorts ports{loop};
  // Overlapped, so that a write the reader never takes in can be called off.
  const win32::UniqueFile farSide{
      ::CreateFileW(L"COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr)};
  ASSERT_TRUE(farSide.valid()) << "COM2 does not open: error " << ::GetLastError();
  const win32::UniqueKernelHandle written{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  const win32::UniqueKernelHandle giveUp{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  auto opened = ports.open("COM1");
  ASSERT_TRUE(opened.ok()) << "error " << opened.error;
  OpenPort& port = *opened.value;
  port.discardInput();
  ASSERT_TRUE(port.setTimeouts({.writeTotalMultiplier = 1, .writeTotalConstant = 1}).ok());
  port.startReading([] {});

  const std::size_t total = kMaxWaitingBytes + kMaxWaitingBytes / 4;
  // Not periodic in the size of a read, so that a piece out of place shows.
  const auto byteAt = [](std::size_t i) { return static_cast<char>((i % 251) ^ ((i >> 12) & 0xFF)); };
  std::thread writer([&] {
    std::string chunk;
    for (std::size_t at = 0; at < total; at += chunk.size()) {
      chunk.clear();
      for (std::size_t i = at; i < total && i < at + 4096; ++i) chunk += byteAt(i);
      OVERLAPPED overlapped{};
      overlapped.hEvent = written.get();
      DWORD put = 0;
      if (!::WriteFile(farSide.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &put, &overlapped)) {
        if (::GetLastError() != ERROR_IO_PENDING) return;
        const HANDLE events[] = {written.get(), giveUp.get()};
        if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0)
          ::CancelIoEx(farSide.get(), &overlapped);
        if (!::GetOverlappedResult(farSide.get(), &overlapped, &put, TRUE)) return;
      }
    }
  });
  // The taker is away long enough for the reader to fill what may wait.
  ::Sleep(4000);
  std::string got;
  for (const auto end = Clock::now() + std::chrono::seconds(30); got.size() < total && Clock::now() < end;) {
    auto piece = port.read(65536);
    ASSERT_TRUE(piece.ok()) << "error " << piece.error;
    if (piece.value.bytes.empty()) ::Sleep(5);
    got += piece.value.bytes;
  }
  ::SetEvent(giveUp.get());
  writer.join();
  ASSERT_EQ(got.size(), total);
  for (std::size_t i = 0; i < total; ++i) {
    ASSERT_EQ(got[i], byteAt(i)) << "byte " << i;
  }
}

// A pty has no UART, so no line error can be made on one: the mapping of
// ClearCommError's bits is checked on its own.
TEST(SerialLineErrors, AreTheBitsOfLostOrGarbledBytesOnly) {
  for (const DWORD lost : {CE_FRAME, CE_RXPARITY, CE_OVERRUN, CE_RXOVER}) {
    EXPECT_TRUE(win32::isLineError(lost)) << std::hex << lost;
    EXPECT_TRUE(win32::isLineError(lost | CE_BREAK)) << std::hex << lost;
  }
  for (const DWORD other : {DWORD{0}, DWORD{CE_BREAK}, DWORD{CE_TXFULL}, DWORD{CE_MODE}}) {
    EXPECT_FALSE(win32::isLineError(other)) << std::hex << other;
  }
}

}  // namespace
}  // namespace pondex
