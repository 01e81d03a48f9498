// Throughput of the data path, from received bytes to injected key events
// (keystroke output) and to data file writes, and in weight mode to typed
// readings with and without the weighing log, with the platform faked so
// that only the program's own work is measured.
#include <benchmark/benchmark.h>

#include "core/controller.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/us_layout.h"

namespace pondex {
namespace {

const std::string kFrame = "S S      12.345 kg\r\n";

void runDataPath(benchmark::State& state, const std::string& settings) {
  fakes::FakePlatform fake;
  fakes::installUsLayout(fake.keyboard);
  fake.plantSettings("[USTAWIENIA]\r\n" + settings);
  Controller controller(fake.platform);
  controller.start();
  std::string piece;
  while (piece.size() < 256) piece += kFrame;
  piece.resize(256);  // one full serial read
  for (auto _ : state) {
    controller.deliverPiece({.bytes = piece, .receivedAt = fake.loop.now()});
    fake.keyboard.events.clear();
    // The log's file grows in memory: kept small, as on disk it costs
    // nothing to hold.
    if (!fake.files.contents.empty() && fake.files.contents.begin()->second.size() > 65536) fake.files.contents.clear();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 256);
}

void BM_KeystrokesTextData(benchmark::State& state) {
  runDataPath(state, "TEKST=-1\r\nZMIANA=1\r\n");
}
void BM_KeystrokesNumericData(benchmark::State& state) {
  runDataPath(state, "TEKST=0\r\nZMIANA=1\r\n");
}
void BM_DataFile(benchmark::State& state) {
  runDataPath(state, "plik=1\r\nplik stat=-1\r\n");
}

// Every line a reading (settled-only off): 13 readings a piece.
void BM_WeightModeKeystrokes(benchmark::State& state) {
  runDataPath(state, "TYLKO WAGA=1\r\nKoniec ramki=0\r\n");
}
void BM_WeightModeKeystrokesAndLog(benchmark::State& state) {
  runDataPath(state, "TYLKO WAGA=1\r\nKoniec ramki=0\r\nDZIENNIK=1\r\n");
}

void BM_EmitKeysPerCharacter(benchmark::State& state) {
  fakes::FakeKeyboard keyboard;
  fakes::installUsLayout(keyboard);
  KeyEmitter emitter(keyboard);
  std::size_t events = 0;
  for (auto _ : state) {
    for (char c : kFrame) emitter.emitKeys(std::string(1, c));
    events += keyboard.events.size();
    keyboard.events.clear();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame.size()));
  state.counters["key events per byte"] =
      static_cast<double>(events) / static_cast<double>(state.iterations() * kFrame.size());
}

BENCHMARK(BM_KeystrokesTextData);
BENCHMARK(BM_KeystrokesNumericData);
BENCHMARK(BM_DataFile);
BENCHMARK(BM_WeightModeKeystrokes);
BENCHMARK(BM_WeightModeKeystrokesAndLog);
BENCHMARK(BM_EmitKeysPerCharacter);

}  // namespace
}  // namespace pondex

BENCHMARK_MAIN();
