#include "tests/fakes/fake_sockets.h"

#include <algorithm>
#include <charconv>

namespace pondex::fakes {

namespace {

constexpr int kNotSocket = 10038;
constexpr int kInvalid = 10022;
constexpr int kAddressInUse = 10048;
constexpr int kNotConnected = 10057;

std::intptr_t lParamOf(std::uint16_t kind, int error) {
  return static_cast<std::intptr_t>((static_cast<std::uintptr_t>(static_cast<std::uint16_t>(error)) << 16) | kind);
}

}  // namespace

FakeSocketLibrary::Socket* FakeSocketLibrary::find(SocketId id) {
  auto it = sockets_.find(id);
  return it == sockets_.end() || !it->second.open ? nullptr : &it->second;
}

int FakeSocketLibrary::openSockets() const {
  return static_cast<int>(std::count_if(sockets_.begin(), sockets_.end(), [](const auto& s) { return s.second.open; }));
}

void FakeSocketLibrary::deliverMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
  auto it = windows_.find(window);
  if (it == windows_.end()) {
    ++lostNotifications;
    return;
  }
  if (it->second == nullptr) {
    (void)callPreviousProcedure(window, message, wParam, lParam);
    return;
  }
  (void)it->second->windowProcedure(window, message, wParam, lParam);
}

void FakeSocketLibrary::post(SocketId socket, std::uint16_t kind, int error) {
  Socket* s = find(socket);
  if (s == nullptr || s->window == 0 || (s->notifications & kind) == 0) return;
  loop_.post([this, window = s->window, message = s->message, socket, lParam = lParamOf(kind, error)] {
    deliverMessage(window, message, static_cast<std::uintptr_t>(socket), lParam);
  });
}

void FakeSocketLibrary::notify(SocketId socket, std::uint16_t kind, int error) {
  post(socket, kind, error);
}

void FakeSocketLibrary::peerSends(SocketId socket, const std::string& bytes) {
  Socket& s = sockets_.at(socket);
  s.incoming += bytes;
  if (!s.readPending) {
    s.readPending = true;
    post(socket, kNotifyRead, 0);
  }
}

void FakeSocketLibrary::peerSendsDatagram(SocketId socket, const std::string& bytes, const Endpoint& from) {
  Socket& s = sockets_.at(socket);
  s.datagrams.push_back({bytes, from});
  if (!s.readPending) {
    s.readPending = true;
    post(socket, kNotifyRead, 0);
  }
}

void FakeSocketLibrary::peerCloses(SocketId socket, int error) {
  Socket& s = sockets_.at(socket);
  s.peerClosed = true;
  post(socket, kNotifyClose, error);
}

void FakeSocketLibrary::peerDrains(SocketId socket) {
  Socket& s = sockets_.at(socket);
  s.room = sendRoom;
  if (s.writeBlocked) {
    s.writeBlocked = false;
    post(socket, kNotifyWrite, 0);
  }
}

void FakeSocketLibrary::incomingConnection(SocketId listener, const Endpoint& from) {
  Socket& l = sockets_.at(listener);
  Socket accepted;
  accepted.local = l.local;
  accepted.peer = from;
  accepted.connected = true;
  accepted.room = sendRoom;
  accepted.receiveBufferSize = receiveBufferSize;
  accepted.sendBufferSize = sendBufferSize;
  accepted.maxDatagramSize = maxDatagramSize;
  const SocketId id = nextSocket_;
  nextSocket_ += 4;
  sockets_[id] = accepted;
  l.backlog.push_back({id, from});
  post(listener, kNotifyAccept, 0);
}

// ---- library ----------------------------------------------------------------

SocketCallStatus FakeSocketLibrary::startup() {
  ++startups;
  if (startupError != 0) return {startupError};
  started_ = true;
  return {};
}

SocketCallStatus FakeSocketLibrary::cleanup() {
  ++cleanups;
  if (!started_) return {kWsaNotInitialised};
  started_ = false;
  if (cleanupError != 0) return {cleanupError};
  return {};
}

SocketCallResult<SocketId> FakeSocketLibrary::createSocket(SocketProtocol protocol) {
  if (!started_) return {kNoSocket, kWsaNotInitialised};
  if (createError != 0) return {kNoSocket, createError};
  Socket s;
  s.protocol = protocol;
  s.room = sendRoom;
  s.receiveBufferSize = receiveBufferSize;
  s.sendBufferSize = sendBufferSize;
  s.maxDatagramSize = maxDatagramSize;
  const SocketId id = nextSocket_;
  nextSocket_ += 4;
  sockets_[id] = s;
  lastSocket_ = id;
  return {id, 0};
}

SocketCallStatus FakeSocketLibrary::closeSocket(SocketId socket) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  if (closeError != 0) return {closeError};
  s->open = false;
  s->connected = false;
  s->listening = false;
  return {};
}

SocketCallStatus FakeSocketLibrary::bind(SocketId socket, const Endpoint& local) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  if (s->local) return {kInvalid};
  if (local.port != 0) {
    for (const auto& [id, other] : sockets_) {
      if (other.open && other.local && other.local->port == local.port && other.protocol == s->protocol) {
        return {kAddressInUse};
      }
    }
  }
  Endpoint bound = local;
  if (bound.address == Ipv4Address{}) bound.address = localAddress;
  if (bound.port == 0) bound.port = ephemeralPort();
  s->local = bound;
  return {};
}

SocketCallStatus FakeSocketLibrary::listen(SocketId socket, int) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  if (s->protocol != SocketProtocol::Tcp) return {10045};
  if (!s->local) return {kInvalid};
  s->listening = true;
  return {};
}

SocketCallResult<AcceptedConnection> FakeSocketLibrary::accept(SocketId socket) {
  Socket* s = find(socket);
  if (s == nullptr) return {{}, kNotSocket};
  if (s->backlog.empty()) return {{}, kWsaWouldBlock};
  AcceptedConnection next = s->backlog.front();
  s->backlog.pop_front();
  return {next, 0};
}

SocketCallStatus FakeSocketLibrary::connect(SocketId socket, const Endpoint& remote) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  connectAttempts.push_back(remote);
  ConnectPlan plan;
  for (const auto& [endpoint, p] : plans_) {
    if (endpoint == remote) plan = p;
  }
  if (plan.immediateError != 0) return {plan.immediateError};
  if (!s->local) s->local = Endpoint{localAddress, ephemeralPort()};
  s->connecting = true;
  if (plan.neverCompletes) return {kWsaWouldBlock};
  if (s->window == 0) return {kWsaWouldBlock};
  loop_.post([this, socket, remote, plan, window = s->window, message = s->message] {
    Socket* target = find(socket);
    if (target != nullptr && target->connecting) {
      target->connecting = false;
      if (plan.notifiedError == 0) {
        target->connected = true;
        target->peer = remote;
      }
    }
    deliverMessage(window, message, static_cast<std::uintptr_t>(socket), lParamOf(kNotifyConnect, plan.notifiedError));
    if (plan.notifiedError == 0) post(socket, kNotifyWrite, 0);
  });
  return {kWsaWouldBlock};
}

SocketCallResult<std::size_t> FakeSocketLibrary::receive(SocketId socket, std::span<std::uint8_t> buffer, bool peek) {
  Socket* s = find(socket);
  if (s == nullptr) return {0, kNotSocket};
  if (s->protocol == SocketProtocol::Udp) {
    // A receive on a datagram socket takes the whole datagram at the head.
    if (s->datagrams.empty()) return {0, kWsaWouldBlock};
    Datagram head = s->datagrams.front();
    const std::size_t n = std::min(buffer.size(), head.bytes.size());
    std::copy_n(head.bytes.begin(), n, buffer.begin());
    if (!peek) {
      s->datagrams.pop_front();
      s->readPending = false;
      if (!s->datagrams.empty()) {
        s->readPending = true;
        post(socket, kNotifyRead, 0);
      }
    }
    if (n < head.bytes.size()) return {n, kWsaMessageTooLong};
    return {n, 0};
  }
  if (!s->connected) return {0, kNotConnected};
  if (receiveError != 0) return {0, receiveError};
  if (s->incoming.empty()) return {0, s->peerClosed ? 0 : kWsaWouldBlock};
  const std::size_t n = std::min(buffer.size(), s->incoming.size());
  std::copy_n(s->incoming.begin(), n, buffer.begin());
  if (!peek) {
    s->incoming.erase(0, n);
    s->readPending = false;
    if (!s->incoming.empty()) {
      s->readPending = true;
      post(socket, kNotifyRead, 0);
    }
  }
  return {n, 0};
}

SocketCallResult<std::size_t> FakeSocketLibrary::send(SocketId socket, std::span<const std::uint8_t> bytes) {
  Socket* s = find(socket);
  if (s == nullptr) return {0, kNotSocket};
  if (!s->connected) return {0, kNotConnected};
  if (sendError != 0) return {0, sendError};
  if (s->room == 0) {
    s->writeBlocked = true;
    return {0, kWsaWouldBlock};
  }
  const std::size_t n = std::min(bytes.size(), s->room);
  s->wire.append(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
  s->room -= n;
  return {n, 0};
}

SocketCallResult<std::size_t> FakeSocketLibrary::sendTo(SocketId socket, std::span<const std::uint8_t> bytes,
                                                        const Endpoint& remote) {
  Socket* s = find(socket);
  if (s == nullptr) return {0, kNotSocket};
  s->sentDatagrams.push_back({std::string(bytes.begin(), bytes.end()), remote});
  return {bytes.size(), 0};
}

SocketCallResult<ReceivedDatagram> FakeSocketLibrary::receiveFrom(SocketId socket, std::span<std::uint8_t> buffer,
                                                                  bool peek) {
  Socket* s = find(socket);
  if (s == nullptr) return {{}, kNotSocket};
  if (s->datagrams.empty()) return {{}, kWsaWouldBlock};
  const Endpoint from = s->datagrams.front().peer;
  SocketCallResult<std::size_t> got = receive(socket, buffer, peek);
  return {{got.value, from}, got.error};
}

SocketCallResult<std::int32_t> FakeSocketLibrary::getOption(SocketId socket, SocketOption option) {
  Socket* s = find(socket);
  if (s == nullptr) return {0, kNotSocket};
  if (optionError != 0) return {0, optionError};
  switch (option) {
    case SocketOption::ReceiveBufferSize:
      return {s->receiveBufferSize, 0};
    case SocketOption::SendBufferSize:
      return {s->sendBufferSize, 0};
    case SocketOption::MaxDatagramSize:
      if (s->protocol != SocketProtocol::Udp) return {0, 10042};
      return {s->maxDatagramSize, 0};
  }
  return {0, 10042};
}

SocketCallStatus FakeSocketLibrary::enableBroadcast(SocketId socket) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  s->broadcast = true;
  return {};
}

SocketCallResult<Endpoint> FakeSocketLibrary::localEndpoint(SocketId socket) {
  Socket* s = find(socket);
  if (s == nullptr) return {{}, kNotSocket};
  if (!s->local) return {{}, kInvalid};
  return {*s->local, 0};
}

SocketCallResult<Endpoint> FakeSocketLibrary::peerEndpoint(SocketId socket) {
  Socket* s = find(socket);
  if (s == nullptr) return {{}, kNotSocket};
  if (!s->peer) return {{}, kNotConnected};
  return {*s->peer, 0};
}

SocketCallResult<std::string> FakeSocketLibrary::hostName() {
  return {localHostName, 0};
}

SocketCallResult<Ipv4Address> FakeSocketLibrary::lookupHost(const std::string& host) {
  auto it = hosts_.find(host);
  if (it == hosts_.end()) return {{}, kWsaHostNotFound};
  return {it->second, 0};
}

std::optional<Ipv4Address> FakeSocketLibrary::parseDotted(const std::string& text) const {
  Ipv4Address address;
  const char* p = text.data();
  const char* end = text.data() + text.size();
  for (std::size_t i = 0; i < 4; ++i) {
    unsigned value = 256;
    auto [next, error] = std::from_chars(p, end, value);
    if (error != std::errc{} || next == p || value > 255) return std::nullopt;
    address.octets[i] = static_cast<std::uint8_t>(value);
    p = next;
    if (i < 3) {
      if (p == end || *p != '.') return std::nullopt;
      ++p;
    }
  }
  if (p != end) return std::nullopt;
  return address;
}

SocketCallStatus FakeSocketLibrary::asyncSelect(SocketId socket, WindowId window, std::uint32_t message,
                                                std::uint32_t notifications) {
  Socket* s = find(socket);
  if (s == nullptr) return {kNotSocket};
  if (asyncSelectError != 0) return {asyncSelectError};
  s->window = window;
  s->message = message;
  s->notifications = notifications;
  // As Winsock does, the current readiness is announced at once.
  if (s->connected) post(socket, kNotifyWrite, 0);
  if (!s->incoming.empty() && !s->readPending) {
    s->readPending = true;
    post(socket, kNotifyRead, 0);
  }
  return {};
}

// ---- host lookups -------------------------------------------------------------

void FakeSocketLibrary::postLookup(LookupId lookup) {
  loop_.post([this, lookup] {
    auto it = lookups_.find(lookup);
    if (it == lookups_.end() || it->second.cancelled) return;
    Lookup& l = it->second;
    l.completed = true;
    auto host = hosts_.find(l.host);
    int error = kWsaHostNotFound;
    if (host != hosts_.end()) {
      l.address = host->second;
      error = 0;
    }
    deliverMessage(l.window, l.message, lookup, lParamOf(0, error));
  });
}

void FakeSocketLibrary::completeLookups() {
  auto held = std::move(heldLookups_);
  heldLookups_.clear();
  for (LookupId lookup : held) postLookup(lookup);
}

SocketCallResult<LookupId> FakeSocketLibrary::startHostLookup(WindowId window, std::uint32_t message,
                                                              const std::string& host) {
  if (lookupStartError != 0) return {0, lookupStartError};
  if (!windowExists(window)) return {0, kInvalid};
  const LookupId id = nextLookup_++;
  lastLookup_ = id;
  lookups_[id] = Lookup{host, window, message, false, false, std::nullopt};
  if (holdLookups) {
    heldLookups_.push_back(id);
  } else {
    postLookup(id);
  }
  return {id, 0};
}

std::optional<Ipv4Address> FakeSocketLibrary::lookupResult(LookupId lookup) const {
  auto it = lookups_.find(lookup);
  if (it == lookups_.end() || !it->second.completed) return std::nullopt;
  return it->second.address;
}

SocketCallStatus FakeSocketLibrary::cancelHostLookup(LookupId lookup) {
  auto it = lookups_.find(lookup);
  if (it == lookups_.end()) return {kInvalid};
  if (it->second.completed || !lookupsCancellable) return {kWsaAlready};
  it->second.cancelled = true;
  return {};
}

void FakeSocketLibrary::releaseLookup(LookupId lookup) {
  auto it = lookups_.find(lookup);
  // A lookup still running keeps its record, as the real library keeps
  // writing into its buffer; the test sees it in liveLookups().
  if (it != lookups_.end() && (it->second.completed || it->second.cancelled)) lookups_.erase(it);
}

// ---- the message window ---------------------------------------------------------

WindowId FakeSocketLibrary::createMessageWindow() {
  if (windowCreationFails) return 0;
  const WindowId id = nextWindow_;
  nextWindow_ += 0x10;
  windows_[id] = nullptr;
  ++windowsCreated;
  return id;
}

bool FakeSocketLibrary::destroyMessageWindow(WindowId window) {
  if (windowDestructionRefused || windows_.erase(window) == 0) return false;
  ++windowsDestroyed;
  return true;
}

void FakeSocketLibrary::installWindowProcedure(WindowId window, MessageTarget& target) {
  windows_.at(window) = &target;
}

void FakeSocketLibrary::restoreWindowProcedure(WindowId window) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second = nullptr;
}

std::intptr_t FakeSocketLibrary::callPreviousProcedure(WindowId, std::uint32_t, std::uintptr_t, std::intptr_t) {
  ++passedToPrevious;
  return 0;
}

}  // namespace pondex::fakes
