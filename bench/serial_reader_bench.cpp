// Figures of the serial port's background read in real time, over the pty
// pair COM1 <-> COM2 of tests/win/with-serial-pair.sh. Run by hand, never by
// ctest, in the Wine environment of the tests (tools/wine-env.sh start):
//
//   export PONDEX_WINE_DIR=$PWD/build/mingw/wine
//   tests/win/with-serial-pair.sh cmake/wine-run.sh build/mingw/bench/pondex_serial_bench.exe MODE SECONDS [VARIANT]
//
//   serial_reader_bench idle SECONDS [old]    CPU with the port open on a silent line
//   serial_reader_bench empty SECONDS [maxdword]
//                                             CPU on a driver whose reads complete with
//                                             nothing (timeouts 0/0/1 ms; or MAXDWORD/0/0)
//   serial_reader_bench stream SECONDS [old]  6 bytes every 6 ms on COM2: how long after
//                                             each byte was written the piece holding it
//                                             was taken on the loop's thread
//
// "old" sets the read timeouts the serial component set before reads waited
// for exactly what they ask for (interval 10 ms), for a figure of the older
// reader built from the same source.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "platform/serial.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/serial_win32.h"

namespace pondex {
namespace {

using Clock = std::chrono::steady_clock;

// The bytes of what OpenPort::read gives, whichever form it has.
template <typename Piece>
const std::string& bytesOf(const Piece& piece) {
  if constexpr (std::is_same_v<Piece, std::string>) {
    return piece;
  } else {
    return piece.bytes;
  }
}

double processCpuMs() {
  FILETIME created;
  FILETIME ended;
  FILETIME kernel;
  FILETIME user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto ms = [](FILETIME t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

double msBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

void runFor(win32::Win32EventLoop& loop, int seconds) {
  auto stop = loop.createTimer(Millis(1000L * seconds), [&loop] { loop.quit(); });
  stop->setEnabled(true);
  loop.run();
}

struct Bench {
  win32::Win32EventLoop loop;
  win32::Win32SerialPorts ports{loop};
  std::unique_ptr<OpenPort> port;
  win32::UniqueFile farSide;

  bool open(const SerialTimeouts& timeouts) {
    farSide.reset(::CreateFileW(L"COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    auto opened = ports.open("COM1");
    if (!farSide || !opened.ok()) {
      std::printf("the pty pair COM1 <-> COM2 does not open\n");
      return false;
    }
    port = std::move(opened.value);
    port->discardInput();
    auto block = ports.buildLineControl("9600,N,8,1");
    return port->setTimeouts(timeouts).ok() && block.ok() && port->setLineControl(*block.value).ok();
  }
};

constexpr SerialTimeouts kComponent{.writeTotalMultiplier = 1, .writeTotalConstant = 1};
constexpr SerialTimeouts kOld{.readInterval = 10, .writeTotalMultiplier = 1, .writeTotalConstant = 1};

int idle(int seconds, const SerialTimeouts& timeouts, const char* what) {
  Bench b;
  if (!b.open(timeouts)) return 1;
  int arrivals = 0;
  b.port->startReading([&] {
    ++arrivals;
    for (;;) {
      const auto piece = b.port->read(256);
      if (piece.ok() && bytesOf(piece.value).empty()) return;
    }
  });
  const double before = processCpuMs();
  const auto start = Clock::now();
  runFor(b.loop, seconds);
  const double cpu = processCpuMs() - before;
  const double wall = msBetween(start, Clock::now());
  std::printf("%s: %.0f ms CPU in %.0f ms, %.2f %% of a core, %d arrivals\n", what, cpu, wall, 100 * cpu / wall,
              arrivals);
  return 0;
}

int stream(int seconds, const SerialTimeouts& timeouts) {
  Bench b;
  if (!b.open(timeouts)) return 1;
  const std::size_t total = static_cast<std::size_t>(seconds) * 1000;  // 6 bytes every 6 ms
  std::vector<Clock::time_point> written(total);
  std::vector<double> delays;
  delays.reserve(total);
  std::size_t pieces = 0;
  std::size_t received = 0;
  b.port->startReading([&] {
    for (;;) {
      auto piece = b.port->read(256);
      const auto now = Clock::now();
      const std::string& bytes = bytesOf(piece.value);
      if (piece.ok() && bytes.empty()) return;
      ++pieces;
      for (std::size_t i = 0; i < bytes.size() && received < total; ++i)
        delays.push_back(msBetween(written[received++], now));
      if (received >= total) b.loop.quit();
    }
  });
  std::atomic<bool> writing{true};
  std::thread writer([&] {
    const win32::UniqueKernelHandle timer{::CreateWaitableTimerW(nullptr, FALSE, nullptr)};
    LARGE_INTEGER due{};
    due.QuadPart = -60000;
    ::SetWaitableTimer(timer.get(), &due, 6, nullptr, nullptr, FALSE);
    for (std::size_t at = 0; at < total && writing; at += 6) {
      ::WaitForSingleObject(timer.get(), INFINITE);
      std::string chunk;
      for (std::size_t i = at; i < total && i < at + 6; ++i) {
        chunk += static_cast<char>('0' + i % 10);
        written[i] = Clock::now();
      }
      DWORD put = 0;
      ::WriteFile(b.farSide.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &put, nullptr);
    }
  });
  const double before = processCpuMs();
  const auto start = Clock::now();
  runFor(b.loop, seconds + 5);
  const double cpu = processCpuMs() - before;
  const double wall = msBetween(start, Clock::now());
  writing = false;
  writer.join();
  std::sort(delays.begin(), delays.end());
  if (delays.empty()) {
    std::printf("stream: nothing arrived\n");
    return 1;
  }
  std::printf(
      "stream: %zu of %zu bytes in %zu pieces; delay from write to hand-over: median %.1f ms, p90 %.1f ms, "
      "max %.1f ms; %.0f ms CPU in %.0f ms (writer included)\n",
      received, total, pieces, delays[delays.size() / 2], delays[delays.size() * 9 / 10], delays.back(), cpu, wall);
  return 0;
}

}  // namespace
}  // namespace pondex

int main(int argc, char** argv) {
  using namespace pondex;
  const std::string mode = argc > 1 ? argv[1] : "";
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
  const std::string variant = argc > 3 ? argv[3] : "";
  const SerialTimeouts& timeouts = variant == "old" ? kOld : kComponent;
  if (mode == "idle") return idle(seconds, timeouts, variant == "old" ? "idle, old timeouts" : "idle");
  if (mode == "empty") {
    SerialTimeouts empty = kComponent;
    if (variant == "maxdword") {
      empty.readInterval = MAXDWORD;
    } else {
      empty.readTotalConstant = 1;
    }
    return idle(seconds, empty, variant == "maxdword" ? "reads of MAXDWORD/0/0" : "reads of 0/0/1 ms");
  }
  if (mode == "stream") return stream(seconds, timeouts);
  std::printf("usage: serial_reader_bench idle|empty|stream SECONDS [old|maxdword]\n");
  return 2;
}
