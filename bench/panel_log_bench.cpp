// A day of readings at 10 a second (864,000) through the weighing log on
// the real file system and through the open data panel showing the scale,
// in compressed time: each reading comes as soon as the window's messages
// and timers of the one before have run, stamped 100 ms after it.
//
// It reports the peak working set of the process and, for each reading,
// the time from the call to its row being in the day's file (the log
// writes within WeighingLog::add) and from addRow to the row being in the
// panel's text box (the box takes new rows at most 20 times a second).
// Run by hand, never by ctest, in the Wine environment of the tests
// (tools/wine-env.sh start):
//
//   export PONDEX_WINE_DIR=$PWD/build/mingw/wine
//   cmake/wine-run.sh build/mingw/bench/pondex_panel_bench.exe [READINGS]
#include <windows.h>
// After windows.h.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "day_of_readings.h"
#include "output/weighing_log.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/text_win32.h"
#include "ui/win32/panel_win32.h"

namespace pondex {
namespace {

using bench::kDayOfReadings;
using bench::kReadingInterval;
using bench::readingAt;

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The text box's last row, without its line end.
std::wstring lastRow(HWND edit) {
  const auto lines = ::SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
  if (lines < 2) return {};
  wchar_t line[256] = {};
  line[0] = static_cast<wchar_t>(std::size(line) - 1);  // EM_GETLINE reads the room from the buffer
  const auto got = ::SendMessageW(edit, EM_GETLINE, static_cast<WPARAM>(lines - 2), reinterpret_cast<LPARAM>(line));
  return {line, static_cast<std::size_t>(got)};
}

struct Figures {
  std::vector<double> samples;
  void add(double ms) { samples.push_back(ms); }
  void print(const char* what) {
    if (samples.empty()) return;
    std::sort(samples.begin(), samples.end());
    std::printf("%-34s median %8.3f ms   max %8.3f ms   (%zu rows)\n", what, samples[samples.size() / 2],
                samples.back(), samples.size());
  }
};

void pumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

std::size_t peakWorkingSetKib() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize / 1024;
}

int run(int readings) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::string folder = win32::narrow(temp) + "pondex-panel-bench-" + std::to_string(::GetCurrentProcessId());
  ::CreateDirectoryW(win32::widen(folder).c_str(), nullptr);

  win32::Win32EventLoop loop;
  win32::Win32FileSystem files;
  WeighingLog log(files);
  log.setFolder(folder + "\\");
  win32::Win32DataPanel panel(loop);
  panel.open(PanelContent::Scale);
  if (!panel.isOpen()) {
    std::fprintf(stderr, "the panel did not open\n");
    return 1;
  }
  const std::size_t peakBefore = peakWorkingSetKib();

  const LocalDateTime start{2026, 12, 6, 0, 0, 0, 0};
  Figures toFile;
  Figures toBox;
  // Rows not yet seen in the box: their text and when addRow took them.
  std::deque<std::pair<std::wstring, Clock::time_point>> inFlight;
  std::size_t waitingMost = 0;
  const Clock::time_point began = Clock::now();
  for (int i = 0; i < readings; ++i) {
    LoggedReading reading = readingAt(i, start);
    const Millis at = kReadingInterval * i;
    panel.showReading({reading.number, reading.unit, reading.settled, at});
    const std::string row = logRow(reading, LogSeparator::Semicolon);

    const Clock::time_point taken = Clock::now();
    (void)log.add(std::move(reading), LogSeparator::Semicolon, loop.now());
    if (log.waiting() == 0) toFile.add(msBetween(taken, Clock::now()));
    waitingMost = std::max(waitingMost, log.waiting());

    const Clock::time_point added = Clock::now();
    panel.addRow(row);
    inFlight.emplace_back(win32::widen(row), added);
    pumpMessages();
    // The box's last row says how far it has come: every row up to it is in.
    const std::wstring last = lastRow(panel.textBox());
    if (!inFlight.empty() && last == inFlight.back().first) {
      const Clock::time_point seen = Clock::now();
      for (const auto& [text, when] : inFlight) toBox.add(msBetween(when, seen));
      inFlight.clear();
    }
    if ((i + 1) % 86'400 == 0) {
      std::printf("%7d readings, %6.1f s, peak working set %zu KiB\n", i + 1, msBetween(began, Clock::now()) / 1000,
                  peakWorkingSetKib());
      std::fflush(stdout);
    }
  }
  // The last rows reach the box at the limiter's deadline.
  while (!inFlight.empty() && msBetween(inFlight.back().second, Clock::now()) < 1000) {
    pumpMessages();
    ::Sleep(1);
    if (lastRow(panel.textBox()) == inFlight.back().first) {
      const Clock::time_point seen = Clock::now();
      for (const auto& [text, when] : inFlight) toBox.add(msBetween(when, seen));
      inFlight.clear();
    }
  }

  std::printf("%d readings in %.1f s of compressed time\n", readings, msBetween(began, Clock::now()) / 1000);
  std::printf("peak working set: %zu KiB (%zu KiB with the panel open, before the readings)\n", peakWorkingSetKib(),
              peakBefore);
  std::printf("rows left waiting for the file: %zu (at most %zu at once)\n", log.waiting(), waitingMost);
  toFile.print("WeighingLog::add to the file:");
  toBox.print("addRow to the text box:");
  std::printf("rows in the box at the end: %ld\n",
              static_cast<long>(::SendMessageW(panel.textBox(), EM_GETLINECOUNT, 0, 0)) - 1);

  panel.close();
  const std::wstring day = win32::widen(folder + "\\" + logFileName(start));
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (::GetFileAttributesExW(day.c_str(), GetFileExInfoStandard, &attributes) != FALSE) {
    std::printf("the day's file: %llu bytes\n",
                (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow);
  }
  ::DeleteFileW(day.c_str());
  ::RemoveDirectoryW(win32::widen(folder).c_str());
  return 0;
}

}  // namespace
}  // namespace pondex

int main(int argc, char** argv) {
  const int readings = argc > 1 ? std::atoi(argv[1]) : pondex::kDayOfReadings;
  return pondex::run(readings);
}
