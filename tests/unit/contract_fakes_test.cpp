// The fakes held to the same rules as the Windows implementations
// (tests/contract; tests/win/contract_win32_test.cpp runs them there).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/portable/file_profile.h"
#include "tests/contract/event_loop_contract.h"
#include "tests/contract/profile_contract.h"
#include "tests/contract/serial_contract.h"
#include "tests/contract/sockets_contract.h"
#include "tests/fakes/fake_platform.h"

namespace pondex::contract {
namespace {

struct FakeLoopEnv {
  EventLoop& loop() { return fake; }
  Millis now() const { return fake.now(); }
  void runFor(Millis d) { fake.runFor(d); }
  void block(Millis d) { fake.advanceClock(d); }
  fakes::FakeEventLoop fake;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, EventLoopContract, FakeLoopEnv);

struct MemoryProfileEnv {
  ProfileFiles& profiles() { return memory; }
  std::string path(const std::string& name) const { return "C:\\Pon_dex\\" + name; }
  void plant(const std::string& file, const std::string& bytes) { memory.files[file] = bytes; }
  bool exists(const std::string& file) const { return memory.files.count(file) > 0; }
  fakes::MemoryProfiles memory;
};

// Real files in a folder of their own, removed afterwards.
struct FileProfileEnv {
  FileProfileEnv() {
    // A folder per test: ctest runs the tests in parallel processes.
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("pondex-profile-") + test->test_suite_name() + "-" + test->name();
    for (char& c : name) {
      if (c == '/' || c == '<' || c == '>' || c == ':') c = '_';
    }
    dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  ~FileProfileEnv() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  ProfileFiles& profiles() { return files; }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  void plant(const std::string& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
  bool exists(const std::string& file) const { return std::filesystem::exists(file); }
  std::filesystem::path dir;
  FileProfile files;
};
using ProfileEnvs = ::testing::Types<MemoryProfileEnv, FileProfileEnv>;
INSTANTIATE_TYPED_TEST_SUITE_P(Native, ProfileContract, ProfileEnvs);

struct FakeSocketsEnv {
  SocketLibrary& library() { return sockets; }
  Endpoint refusedEndpoint() {
    const Endpoint closed{{{127, 0, 0, 1}}, 1};
    sockets.planConnect(closed, {.notifiedError = kWsaConnectionRefused});
    return closed;
  }
  Endpoint listeningEndpoint() const { return {{{127, 0, 0, 1}}, 4001}; }
  void peerSends(SocketId ours, const std::string& bytes) { sockets.peerSends(ours, bytes); }
  void peerCloses(SocketId ours) { sockets.peerCloses(ours); }
  template <typename Pred>
  bool pump(Pred done) {
    for (int i = 0; i < 1000; ++i) {
      if (done()) return true;
      loop.runFor(Millis(1));
    }
    return done();
  }
  fakes::FakeEventLoop loop;
  fakes::FakeSocketLibrary sockets{loop};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, SocketsContract, FakeSocketsEnv);

struct FakeSerialEnv {
  EventLoop& loop() { return fake; }
  SerialPorts& ports() { return serial; }
  static std::string portName() { return "COM1"; }
  void farSideSends(const std::string& bytes) { device.sendIn(Millis(1), bytes); }
  void farSideStreams(const std::string& bytes, std::size_t chunk, Millis gap) {
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
      device.sendIn(gap * static_cast<int>(at / chunk + 1), bytes.substr(at, chunk));
    }
  }
  bool farSideStreamEnded() const { return fake.now() >= device.lastArrival(); }
  std::string farSideReceives(std::size_t) const { return device.written(); }
  void removeDevice() { device.unplug(kErrorDeviceRemoved); }
  static void settle() {}  // what is sent arrives in virtual time, once the handler returns
  template <typename Pred>
  bool pump(Pred done) {
    for (int i = 0; i < 1000 && !done(); ++i) fake.runFor(Millis(5));
    return done();
  }
  template <typename Pred>
  bool pumpForeign(Pred done) {
    return pump(done);  // the fake has one loop only
  }
  fakes::FakeEventLoop fake;
  fakes::FakeSerialPorts serial{fake};
  fakes::FakeSerialDevice& device = serial.addPort("COM1");
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, SerialContract, FakeSerialEnv);

}  // namespace
}  // namespace pondex::contract
