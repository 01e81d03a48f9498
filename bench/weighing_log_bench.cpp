// A day of readings at 10 a second (864,000) through the weighing log over
// fake files and through the panel's models (the plot's readings, the
// list's rows, the redraw limiter): the time per reading and how much the
// resident memory grew, which must not depend on how many readings came.
// The fake files forget what was written, as a file on disk takes it out
// of the program's memory. Then each part alone, and one picture drawn in
// memory (the panel draws at most 20 a second).
//
// build/release/bench/pondex_log_bench (a release build, see the README).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "day_of_readings.h"
#include "output/weighing_log.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/memory_canvas.h"
#include "ui/recent_rows.h"
#include "ui/redraw_limiter.h"
#include "ui/scale_view.h"

namespace pondex {
namespace {

using bench::kDayOfReadings;
using bench::kReadingInterval;
using bench::readingAt;

long peakResidentKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Resident now, from the second field of /proc/self/statm (pages).
long residentKib() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// `held`: a spreadsheet holds the day's file all day, the worst case of
// the log's memory (its waiting rows at their limit, the rest dropped).
void runDay(benchmark::State& state, bool held) {
  fakes::FakeFileSystem files;
  WeighingLog log(files);
  log.setFolder("c:\\kolvat\\pon_dex\\");
  ui::ScaleViewModel model;
  ui::RecentRows rows;
  ui::RedrawLimiter limiter;
  const LocalDateTime start{2026, 12, 6, 0, 0, 0, 0};
  if (held) files.held.insert("c:\\kolvat\\pon_dex\\261206.csv");

  const long peakBefore = peakResidentKib();
  const long before = residentKib();
  int i = 0;
  std::size_t redraws = 0;
  for (auto _ : state) {
    const Millis now = kReadingInterval * i;
    LoggedReading reading = readingAt(i, start);
    model.add({reading.number, reading.unit, reading.settled, now});
    (void)rows.add(logRow(reading, LogSeparator::Semicolon));
    (void)log.add(std::move(reading), LogSeparator::Semicolon, now);
    if (const auto due = log.deadline(); due && *due <= now) log.timeUp(now);
    if (limiter.changed(now)) ++redraws;
    files.contents.clear();
    files.opened.clear();
    ++i;
  }
  state.counters["peak RSS growth KiB"] = static_cast<double>(peakResidentKib() - peakBefore);
  state.counters["RSS growth KiB"] = static_cast<double>(residentKib() - before);
  state.counters["RSS KiB"] = static_cast<double>(residentKib());
  state.counters["rows waiting"] = static_cast<double>(log.waiting());
  state.counters["rows dropped"] = static_cast<double>(log.dropped());
  state.counters["redraws"] = static_cast<double>(redraws);
}

void BM_DayOfReadings(benchmark::State& state) {
  runDay(state, false);
}
void BM_DayOfReadingsFileHeld(benchmark::State& state) {
  runDay(state, true);
}

// One reading into a free file: the probe of its start, the open, the
// whole write of its row, the close.
void BM_LogOneReading(benchmark::State& state) {
  fakes::FakeFileSystem files;
  WeighingLog log(files);
  log.setFolder("c:\\kolvat\\pon_dex\\");
  const LocalDateTime start{2026, 12, 6, 8, 0, 0, 0};
  int i = 0;
  for (auto _ : state) {
    (void)log.add(readingAt(i, start), LogSeparator::Semicolon, kReadingInterval * i);
    files.contents.clear();
    files.opened.clear();
    ++i;
  }
}

void BM_ViewModelsOneReading(benchmark::State& state) {
  ui::ScaleViewModel model;
  ui::RecentRows rows;
  const LocalDateTime start{2026, 12, 6, 8, 0, 0, 0};
  int i = 0;
  for (auto _ : state) {
    const LoggedReading reading = readingAt(i, start);
    model.add({reading.number, reading.unit, reading.settled, kReadingInterval * i});
    benchmark::DoNotOptimize(rows.add(logRow(reading, LogSeparator::Semicolon)));
    ++i;
  }
}

// The picture at 96 DPI with a full plot, into a canvas in memory (its
// pixels are the memory canvas's, slower than GDI's fills).
void BM_DrawPicture(benchmark::State& state) {
  ui::ScaleViewModel model;
  const LocalDateTime start{2026, 12, 6, 8, 0, 0, 0};
  for (int i = 0; i < 60; ++i) {
    const LoggedReading reading = readingAt(i, start);
    model.add({reading.number, reading.unit, reading.settled, kReadingInterval * i});
  }
  const ui::ScaleViewMetrics metrics = ui::scaleViewMetrics(96);
  for (auto _ : state) {
    fakes::MemoryCanvas canvas(480, metrics.pictureHeight());
    drawScaleView(canvas, {0, 0, 480, metrics.pictureHeight()}, model, metrics);
    benchmark::DoNotOptimize(canvas.at(0, 0));
  }
}

BENCHMARK(BM_DayOfReadings)->Iterations(kDayOfReadings)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DayOfReadingsFileHeld)->Iterations(kDayOfReadings)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LogOneReading)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ViewModelsOneReading)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPicture)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pondex

BENCHMARK_MAIN();
