#include "tests/fakes/fake_sockets.h"

#include <algorithm>
#include <cstdio>

namespace pondex::fakes {

namespace {

constexpr int kInvalid = 10022;
constexpr int kNotSocket = 10038;
constexpr int kNotSupported = 10045;
constexpr int kNotConnected = 10057;
const Ipv4Address kLocalAddress{{192, 168, 1, 10}};

std::intptr_t lParamOf(std::uint16_t kind, int error) {
  return static_cast<std::intptr_t>((static_cast<std::uintptr_t>(static_cast<std::uint16_t>(error)) << 16) | kind);
}

}  // namespace

FakeSocketLibrary::Socket* FakeSocketLibrary::find(SocketId id) {
  auto it = sockets_.find(id);
  return it == sockets_.end() || !it->second.open ? nullptr : &it->second;
}

SocketId FakeSocketLibrary::add(Socket s) {
  const SocketId id = nextSocket_;
  nextSocket_ += 4;
  sockets_[id] = std::move(s);
  return id;
}

int FakeSocketLibrary::openSockets() const {
  return static_cast<int>(std::count_if(sockets_.begin(), sockets_.end(), [](const auto& s) { return s.second.open; }));
}

std::optional<SocketId> FakeSocketLibrary::connectedSocket() const {
  for (const auto& [id, s] : sockets_) {
    if (s.open && s.connected && !s.peerClosed) return id;
  }
  return std::nullopt;
}

void FakeSocketLibrary::deliver(WindowId window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;  // lost with its window
  if (it->second == nullptr) {
    (void)callPreviousProcedure(window, message, wParam, lParam);
  } else {
    (void)it->second->windowProcedure(window, message, wParam, lParam);
  }
}

void FakeSocketLibrary::post(SocketId socket, std::uint16_t kind, int error) {
  Socket* s = find(socket);
  if (s == nullptr || s->window == 0 || (s->notifications & kind) == 0) return;
  loop_.post([this, window = s->window, message = s->message, socket, lParam = lParamOf(kind, error)] {
    deliver(window, message, static_cast<std::uintptr_t>(socket), lParam);
  });
}

void FakeSocketLibrary::announceRead(SocketId socket, Socket& s) {
  if (s.readPending) return;
  s.readPending = true;
  post(socket, kNotifyRead, 0);
}

// ---- the far side -------------------------------------------------------------

void FakeSocketLibrary::peerSends(SocketId socket, const std::string& bytes) {
  Socket& s = sockets_.at(socket);
  s.incoming += bytes;
  announceRead(socket, s);
}

void FakeSocketLibrary::peerSendsDatagram(SocketId socket, const std::string& bytes, const Endpoint& from) {
  Socket& s = sockets_.at(socket);
  s.datagrams.push_back({bytes, from});
  announceRead(socket, s);
}

void FakeSocketLibrary::peerCloses(SocketId socket) {
  sockets_.at(socket).peerClosed = true;
  post(socket, kNotifyClose, 0);
}

void FakeSocketLibrary::peerDrains(SocketId socket) {
  Socket& s = sockets_.at(socket);
  s.room = kAmpleRoom;
  if (s.writeBlocked) {
    s.writeBlocked = false;
    post(socket, kNotifyWrite, 0);
  }
}

void FakeSocketLibrary::incomingConnection(SocketId listener, const Endpoint& from) {
  Socket accepted;
  accepted.local = sockets_.at(listener).local;
  accepted.peer = from;
  accepted.connected = true;
  const SocketId id = add(std::move(accepted));
  sockets_.at(listener).backlog.push_back({id, from});
  post(listener, kNotifyAccept, 0);
}

// ---- library -----------------------------------------------------------------

Status FakeSocketLibrary::startup() {
  ++startups;
  started_ = true;
  return {};
}

Status FakeSocketLibrary::cleanup() {
  ++cleanups;
  started_ = false;
  return {};
}

Result<SocketId> FakeSocketLibrary::createSocket(SocketProtocol protocol) {
  if (!started_) return {kNoSocket, kWsaNotInitialised};
  if (createError != 0) return {kNoSocket, createError};
  Socket s;
  s.protocol = protocol;
  return {add(std::move(s)), 0};
}

Status FakeSocketLibrary::closeSocket(SocketId socket) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  s->open = false;
  return {};
}

Status FakeSocketLibrary::bind(SocketId socket, const Endpoint& local) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  if (s->local) return {kInvalid};
  Endpoint bound = local;
  if (bound.address == Ipv4Address{}) bound.address = kLocalAddress;
  if (bound.port == 0) bound.port = nextPort_++;
  s->local = bound;
  return {};
}

Status FakeSocketLibrary::listen(SocketId socket, int) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  return {s->protocol == SocketProtocol::Tcp ? 0 : kNotSupported};
}

Result<AcceptedConnection> FakeSocketLibrary::accept(SocketId socket) {
  Socket* s = find(socket);
  if (s == nullptr) return {{}, kNotSocket};
  if (s->backlog.empty()) return {{}, kWsaWouldBlock};
  const AcceptedConnection next = s->backlog.front();
  s->backlog.pop_front();
  return {next, 0};
}

Status FakeSocketLibrary::connect(SocketId socket, const Endpoint& remote) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  connectAttempts.push_back(remote);
  ConnectPlan plan;
  for (const auto& [endpoint, p] : plans_) {
    if (endpoint == remote) plan = p;
  }
  if (plan.immediateError != 0) return {plan.immediateError};
  if (!s->local) s->local = Endpoint{kLocalAddress, nextPort_++};
  loop_.post([this, socket, remote, plan, window = s->window, message = s->message] {
    Socket* target = find(socket);
    if (target != nullptr && plan.notifiedError == 0) {
      target->connected = true;
      target->peer = remote;
    }
    deliver(window, message, static_cast<std::uintptr_t>(socket), lParamOf(kNotifyConnect, plan.notifiedError));
    if (plan.notifiedError == 0) post(socket, kNotifyWrite, 0);
  });
  return {kWsaWouldBlock};
}

Result<std::size_t> FakeSocketLibrary::receive(SocketId socket, std::span<std::uint8_t> buffer, bool peek) {
  Socket* s = find(socket);
  if (s == nullptr) return {0, kNotSocket};
  if (s->protocol == SocketProtocol::Udp) {
    const Result<ReceivedDatagram> got = receiveFrom(socket, buffer, peek);
    return {got.value.count, got.error};
  }
  if (!s->connected) return {0, kNotConnected};
  if (s->incoming.empty()) return {0, s->peerClosed ? 0 : kWsaWouldBlock};
  const std::size_t n = std::min(buffer.size(), s->incoming.size());
  std::copy_n(s->incoming.begin(), n, buffer.begin());
  if (!peek) {
    s->incoming.erase(0, n);
    s->readPending = false;
    if (!s->incoming.empty()) announceRead(socket, *s);
  }
  return {n, 0};
}

Result<std::size_t> FakeSocketLibrary::send(SocketId socket, std::span<const std::uint8_t> bytes) {
  Socket* s = find(socket);
  if (s == nullptr) return {0, kNotSocket};
  if (!s->connected) return {0, kNotConnected};
  if (s->room == 0) {
    s->writeBlocked = true;
    return {0, kWsaWouldBlock};
  }
  const std::size_t n = std::min(bytes.size(), s->room);
  s->wire.append(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
  s->room -= n;
  return {n, 0};
}

Result<std::size_t> FakeSocketLibrary::sendTo(SocketId socket, std::span<const std::uint8_t> bytes,
                                              const Endpoint& remote) {
  Socket* s = find(socket);
  if (s == nullptr) return {0, kNotSocket};
  s->sentDatagrams.push_back({std::string(bytes.begin(), bytes.end()), remote});
  return {bytes.size(), 0};
}

// A datagram is taken whole, even when the buffer holds only part of it.
Result<ReceivedDatagram> FakeSocketLibrary::receiveFrom(SocketId socket, std::span<std::uint8_t> buffer, bool peek) {
  Socket* s = find(socket);
  if (s == nullptr) return {{}, kNotSocket};
  if (s->datagrams.empty()) return {{}, kWsaWouldBlock};
  const Datagram head = s->datagrams.front();
  const std::size_t n = std::min(buffer.size(), head.bytes.size());
  std::copy_n(head.bytes.begin(), n, buffer.begin());
  if (!peek) {
    s->datagrams.pop_front();
    s->readPending = false;
    if (!s->datagrams.empty()) announceRead(socket, *s);
  }
  return {{n, head.peer}, n < head.bytes.size() ? kWsaMessageTooLong : 0};
}

// Send buffers and the largest datagram are 8 KiB.
Result<std::int32_t> FakeSocketLibrary::getOption(SocketId socket, SocketOption option) {
  if (find(socket) == nullptr) return {0, kNotSocket};
  return {option == SocketOption::ReceiveBufferSize ? receiveBufferSize : 8192, 0};
}

Status FakeSocketLibrary::enableBroadcast(SocketId socket) {
  return {find(socket) == nullptr ? kNotSocket : 0};
}

Result<Endpoint> FakeSocketLibrary::peerEndpoint(SocketId socket) {
  Socket* s = find(socket);
  if (s == nullptr) return {{}, kNotSocket};
  if (!s->peer) return {{}, kNotConnected};
  return {*s->peer, 0};
}

Result<Ipv4Address> FakeSocketLibrary::lookupHost(const std::string& host) {
  auto it = hosts_.find(host);
  if (it == hosts_.end()) return {{}, kWsaHostNotFound};
  return {it->second, 0};
}

std::optional<Ipv4Address> FakeSocketLibrary::parseDotted(const std::string& text) const {
  unsigned parts[4];
  char more = 0;
  if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &parts[0], &parts[1], &parts[2], &parts[3], &more) != 4) {
    return std::nullopt;
  }
  Ipv4Address address;
  for (std::size_t i = 0; i < 4; ++i) {
    if (parts[i] > 255) return std::nullopt;
    address.octets[i] = static_cast<std::uint8_t>(parts[i]);
  }
  return address;
}

Status FakeSocketLibrary::asyncSelect(SocketId socket, WindowId window, std::uint32_t message,
                                      std::uint32_t notifications) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  s->window = window;
  s->message = message;
  s->notifications = notifications;
  return {};
}

// ---- host lookups ----------------------------------------------------------------

Result<LookupId> FakeSocketLibrary::startHostLookup(WindowId window, std::uint32_t message, const std::string& host) {
  if (windows_.count(window) == 0) return {0, kInvalid};
  const LookupId id = nextLookup_++;
  lookups_[id] = Lookup{};
  loop_.post([this, id, window, message, host] {
    auto it = lookups_.find(id);
    if (it == lookups_.end() || it->second.cancelled) return;
    it->second.completed = true;
    const Result<Ipv4Address> found = lookupHost(host);
    if (found.ok()) it->second.address = found.value;
    deliver(window, message, id, lParamOf(0, found.error));
  });
  return {id, 0};
}

std::optional<Ipv4Address> FakeSocketLibrary::lookupResult(LookupId lookup) const {
  auto it = lookups_.find(lookup);
  if (it == lookups_.end() || !it->second.completed) return std::nullopt;
  return it->second.address;
}

Status FakeSocketLibrary::cancelHostLookup(LookupId lookup) {
  auto it = lookups_.find(lookup);
  if (it == lookups_.end()) return {kInvalid};
  if (it->second.completed || !lookupsCancellable) return {kWsaAlready};
  it->second.cancelled = true;
  return {};
}

void FakeSocketLibrary::releaseLookup(LookupId lookup) {
  auto it = lookups_.find(lookup);
  // A running lookup keeps its record, as the real library keeps writing
  // into its buffer: a release that came too early shows in liveLookups().
  if (it != lookups_.end() && (it->second.completed || it->second.cancelled)) lookups_.erase(it);
}

// ---- the message window --------------------------------------------------------------

WindowId FakeSocketLibrary::createMessageWindow() {
  const WindowId id = nextWindow_;
  nextWindow_ += 0x10;
  windows_[id] = nullptr;
  return id;
}

bool FakeSocketLibrary::destroyMessageWindow(WindowId window) {
  return windows_.erase(window) > 0;
}

void FakeSocketLibrary::installWindowProcedure(WindowId window, MessageTarget& target) {
  windows_.at(window) = &target;
}

void FakeSocketLibrary::restoreWindowProcedure(WindowId window) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second = nullptr;
}

}  // namespace pondex::fakes
