// Recognising one line of a scale, for every shared line of real
// instruments (tests/data/scale-lines): one benchmark per line, and the
// median over the lines at the end. Run from a release build:
// build/release/bench/pondex_weight_bench.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/line_recognition.h"
#include "tests/unit/scale_lines_data.h"

namespace pondex {
namespace {

// The line as the splitter gives it: without its ending.
std::string withoutEnding(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == '\x03')) s.pop_back();
  while (!s.empty() && (s.front() == '\r' || s.front() == '\n')) s.erase(0, 1);
  return s;
}

void recognise(benchmark::State& state, const std::string& line) {
  for (auto _ : state) benchmark::DoNotOptimize(recogniseLine(line));
}

// Keeps each line's time per recognition, besides the usual table.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      realNs.push_back(run.GetAdjustedRealTime());
      cpuNs.push_back(run.GetAdjustedCPUTime());
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::vector<double> realNs;
  std::vector<double> cpuNs;
};

}  // namespace
}  // namespace pondex

int main(int argc, char** argv) {
  for (const auto& l : pondex::testdata::scaleLines()) {
    benchmark::RegisterBenchmark(("Recognise/" + l.id).c_str(), pondex::recognise, pondex::withoutEnding(l.bytes));
  }
  benchmark::Initialize(&argc, argv);
  pondex::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (auto* ns : {&reporter.realNs, &reporter.cpuNs}) {
    if (ns->empty()) return 0;
    std::sort(ns->begin(), ns->end());
  }
  const auto median = [](const std::vector<double>& ns) { return ns[ns.size() / 2] / 1000.0; };
  std::printf("median per shared line: %.3f us real, %.3f us CPU, over %zu lines (slowest %.3f us real)\n",
              median(reporter.realNs), median(reporter.cpuNs), reporter.realNs.size(), reporter.realNs.back() / 1000.0);
  benchmark::Shutdown();
  return 0;
}
