// The Windows implementations held to the rules the fakes follow
// (tests/contract): the event loop in real time, the profile files on real
// files (and the system's own profile functions, which the rules describe),
// Winsock against a loopback listener opened here, and the serial ports over
// the pty pair COM1 <-> COM2.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/event_loop_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/serial_win32.h"
#include "platform/win32/sockets_win32.h"
#include "tests/contract/event_loop_contract.h"
#include "tests/contract/profile_contract.h"
#include "tests/contract/serial_contract.h"
#include "tests/contract/sockets_contract.h"
#include "tests/win/temp_folder.h"

namespace pondex::contract {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct Win32LoopEnv {
  EventLoop& loop() { return real; }
  static Millis now() { return std::chrono::duration_cast<Millis>(SteadyClock::now().time_since_epoch()); }
  // The thread's own message loop, ended by a timer of its own.
  void runFor(Millis d) {
    auto stop = real.createTimer(d, [this] { real.quit(); });
    stop->setEnabled(true);
    real.run();
  }
  static void block(Millis d) { ::Sleep(static_cast<DWORD>(d.count())); }
  win32::Win32EventLoop real;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, EventLoopContract, Win32LoopEnv);

// The program's profile files, in a folder whose name the ANSI code page
// cannot spell.
struct Win32ProfileEnv {
  ProfileFiles& profiles() { return files; }
  std::string path(const std::string& name) { return folder.file(name); }
  static void plant(const std::string& file, const std::string& bytes) { win32::TempFolder::plant(file, bytes); }
  static bool exists(const std::string& file) { return win32::TempFolder::exists(file); }
  win32::TempFolder folder{"pondex-profile-Łódź"};
  win32::Win32Profiles files;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ProfileContract, Win32ProfileEnv);

// The system's own profile functions, which the contract describes: the
// "A" ones, which keep the bytes, in an ASCII folder they can open.
class SystemProfiles final : public ProfileFiles {
 public:
  ProfileRead getString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::size_t bufferSize) override {
    std::vector<char> buffer(bufferSize == 0 ? 1 : bufferSize, '\0');
    const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                               static_cast<DWORD>(bufferSize), file.c_str());
    return {std::string(buffer.data(), std::min<std::size_t>(n, buffer.size())), n};
  }
  Status writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
    if (::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE) return {};
    return win32::lastError();
  }
};
struct SystemProfileEnv {
  ProfileFiles& profiles() { return system; }
  std::string path(const std::string& name) { return folder.file(name); }
  static void plant(const std::string& file, const std::string& bytes) { win32::TempFolder::plant(file, bytes); }
  static bool exists(const std::string& file) { return win32::TempFolder::exists(file); }
  win32::TempFolder folder{"pondex-profile"};
  SystemProfiles system;
};
INSTANTIATE_TYPED_TEST_SUITE_P(System, ProfileContract, SystemProfileEnv);

// Winsock, with the far side played by plain blocking sockets of this test.
struct Win32SocketsEnv {
  Win32SocketsEnv() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(1, 1), &data);
    listener.reset(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    const sockaddr_in any = loopback(0);
    ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any);
    ::listen(listener.get(), 1);
    listenPort = portOf(listener.get());
  }
  ~Win32SocketsEnv() {
    peer.reset();
    listener.reset();
    ::WSACleanup();
  }
  SocketLibrary& library() { return sockets; }
  // A port that was free a moment ago and has nobody listening now.
  static Endpoint refusedEndpoint() {
    win32::UniqueSocket probe{::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)};
    const sockaddr_in any = loopback(0);
    ::bind(probe.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any);
    return {{{127, 0, 0, 1}}, portOf(probe.get())};
  }
  Endpoint listeningEndpoint() const { return {{{127, 0, 0, 1}}, listenPort}; }
  void peerSends(SocketId, const std::string& bytes) {
    if (!peer) peer.reset(::accept(listener.get(), nullptr, nullptr));
    ::send(peer.get(), bytes.data(), static_cast<int>(bytes.size()), 0);
  }
  void peerCloses(SocketId) {
    if (!peer) peer.reset(::accept(listener.get(), nullptr, nullptr));
    ::shutdown(peer.get(), SD_SEND);
    peer.reset();
  }
  template <typename Pred>
  bool pump(Pred done) {
    const auto end = SteadyClock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (SteadyClock::now() > end) return false;
      MSG msg;
      while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
      ::Sleep(5);
    }
    return true;
  }

  static sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    a.sin_port = ::htons(port);
    return a;
  }
  static std::uint16_t portOf(SOCKET s) {
    sockaddr_in a{};
    int size = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
    return ::ntohs(a.sin_port);
  }

  win32::Win32SocketLibrary sockets;
  win32::UniqueSocket listener;
  win32::UniqueSocket peer;
  std::uint16_t listenPort = 0;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, SocketsContract, Win32SocketsEnv);

// COM1 read by the implementation; COM2, its far side, by plain synchronous
// calls of this test, drained of what earlier tests left. The pair is the
// pty pair of with-serial-pair.sh, whose watcher pulls it out and puts it
// back when asked through a request file in $PONDEX_WINE_DIR.
struct Win32SerialEnv {
  Win32SerialEnv() { openFarSide(); }
  ~Win32SerialEnv() {
    if (streamer.joinable()) streamer.join();
    farSide.reset();
    if (removed) {
      EXPECT_TRUE(askThePair("plug")) << "the pty pair did not come back";
    }
  }
  EventLoop& loop() { return real; }
  SerialPorts& ports() { return serial; }
  static std::string portName() { return "COM1"; }
  void farSideSends(const std::string& bytes) {
    DWORD put = 0;
    EXPECT_TRUE(::WriteFile(farSide.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
  }
  // A thread of its own writes the chunks on a periodic waitable timer.
  void farSideStreams(const std::string& bytes, std::size_t chunk, Millis gap) {
    streamer = std::thread([this, bytes, chunk, gap] {
      const win32::UniqueKernelHandle timer{::CreateWaitableTimerW(nullptr, FALSE, nullptr)};
      LARGE_INTEGER due{};
      due.QuadPart = -10000LL * gap.count();
      ::SetWaitableTimer(timer.get(), &due, static_cast<LONG>(gap.count()), nullptr, nullptr, FALSE);
      for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        ::WaitForSingleObject(timer.get(), INFINITE);
        const std::string piece = bytes.substr(at, chunk);
        DWORD put = 0;
        ::WriteFile(farSide.get(), piece.data(), static_cast<DWORD>(piece.size()), &put, nullptr);
      }
      streamEnded = true;
    });
  }
  bool farSideStreamEnded() const { return streamEnded; }
  std::string farSideReceives(std::size_t count) {
    std::string got;
    char buffer[256];
    DWORD n = 0;
    const auto end = SteadyClock::now() + std::chrono::seconds(5);
    while (got.size() < count && SteadyClock::now() < end &&
           ::ReadFile(farSide.get(), buffer, sizeof buffer, &n, nullptr))
      got.append(buffer, n);
    return got;
  }
  // Both ptys vanish, as a USB adapter's port does when it is pulled out.
  void removeDevice() {
    removed = true;
    ASSERT_TRUE(askThePair("unplug")) << "the pty pair was not pulled out";
  }
  // Well over the reader's rest between two reads.
  static void settle() { ::Sleep(100); }
  // The loop's own run(), ended by a timer of its own once done.
  template <typename Pred>
  bool pump(Pred done) {
    const auto end = SteadyClock::now() + std::chrono::seconds(5);
    auto check = real.createTimer(Millis(5), [&] {
      if (done() || SteadyClock::now() > end) real.quit();
    });
    check->setEnabled(true);
    real.run();
    return done();
  }
  // A plain message loop, as a modal window or a message box runs.
  template <typename Pred>
  bool pumpForeign(Pred done) {
    const auto end = SteadyClock::now() + std::chrono::seconds(5);
    while (!done() && SteadyClock::now() < end) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    return done();
  }

  void openFarSide() {
    farSide.reset(::CreateFileW(L"COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(farSide.valid()) << "COM2 does not open: error " << ::GetLastError();
    COMMTIMEOUTS t{50, 0, 100, 0, 1000};
    ::SetCommTimeouts(farSide.get(), &t);
    ::PurgeComm(farSide.get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
  }
  // Creates the request file "serial-pair.<what>" and waits until the
  // watcher has done it and removed the file; false when it did not.
  static bool askThePair(const char* what) {
    const char* dir = std::getenv("PONDEX_WINE_DIR");
    if (dir == nullptr) return false;
    std::wstring request = L"Z:";
    for (const char* c = dir; *c != 0; ++c) request += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    request += L"\\serial-pair.";
    for (const char* c = what; *c != 0; ++c) request += static_cast<wchar_t>(*c);
    if (!win32::UniqueFile{
            ::CreateFileW(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)}) {
      return false;
    }
    for (const auto end = SteadyClock::now() + std::chrono::seconds(10); SteadyClock::now() < end; ::Sleep(10)) {
      if (::GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    }
    return false;
  }

  win32::Win32EventLoop real;
  win32::Win32SerialPorts serial{real};
  win32::UniqueFile farSide;
  std::thread streamer;
  std::atomic<bool> streamEnded{false};
  bool removed = false;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, SerialContract, Win32SerialEnv);

}  // namespace
}  // namespace pondex::contract
