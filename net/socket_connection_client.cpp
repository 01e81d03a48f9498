// SocketConnection as the TCP client the program runs: connecting (with a host
// lookup when needed), the receive and send buffers, and closing.
#include <algorithm>

#include "net/socket_connection_detail.h"

namespace pondex {

using connection_detail::bytesOf;
using connection_detail::checkedPort;
using connection_detail::fail;
using connection_detail::kInvalidOperation;
using connection_detail::kNoDataRecord;
using connection_detail::pieceSize;

// ---- connecting ------------------------------------------------------------

SocketResult SocketConnection::connect(std::optional<std::string> host, std::optional<PortValue> port) {
  if (state_ != SocketState::Closed) return fail(kInvalidOperation, "Connect");
  if (host) remoteHost_ = std::move(*host);
  if (port) {
    const SocketResultOf<std::int32_t> checked = checkedPort(*port, 1, "Connect");
    if (!checked.ok()) return checked.status();
    remotePort_ = checked.value();
  }

  if (SocketResult out; !makeBoundSocket(Ipv4Address{}, out)) return out;
  if (protocol_ == SocketProtocol::Udp) {
    state_ = SocketState::Open;
    return {};
  }

  if (std::optional<Ipv4Address> address = lib_.parseDotted(remoteHost_)) return connectTo(*address);

  state_ = SocketState::ResolvingHost;
  Result<LookupId> lookup = service_.startLookup(remoteHost_, *this);
  if (lookup.value == 0) {
    raiseError(lookup.error, "ResolveIfHostname");
    return {};
  }
  pendingLookups_.push_back(lookup.value);
  currentLookup_ = lookup.value;
  return {};
}

SocketResult SocketConnection::connectTo(const Ipv4Address& address) {
  state_ = SocketState::Connecting;
  const Status status = lib_.connect(socket_, {address, static_cast<std::uint16_t>(remotePort_)});
  if (status.ok() || status.error == kWsaWouldBlock) return {};
  // Refused on the spot: the caller hears of it, the state stays.
  if (status.error == kWsaAddressNotAvailable) return fail(status.error, "ConnectToIP");
  raiseError(status.error, "ConnectToIP");
  return {};
}

void SocketConnection::lookupDone(LookupId lookup, int error) {
  std::erase(pendingLookups_, lookup);
  service_.deregisterLookup(lookup);
  // Only the lookup of the connection attempt under way may continue it; an
  // older one (its cancel came too late) is ignored.
  const bool current = lookup == currentLookup_ && state_ == SocketState::ResolvingHost;
  std::optional<Ipv4Address> address;
  if (current && error == 0) address = lib_.lookupResult(lookup);
  lib_.releaseLookup(lookup);
  if (!current) return;
  currentLookup_ = 0;
  if (error != 0 || !address) {
    raiseError(error != 0 ? error : kNoDataRecord, "ConnectToIP");
    return;
  }
  state_ = SocketState::HostResolved;
  SocketResult connecting = connectTo(*address);
  // Nobody would receive a returned error here; it becomes a failed event.
  if (!connecting.ok()) raiseError(connecting.error().number, "ConnectToIP");
}

void SocketConnection::onConnected() {
  if (const int error = readEndpoints(); error != 0) {
    raiseError(error, "PostSocket");
    return;
  }
  remoteHost_.clear();
  state_ = SocketState::Connected;
  raise(events.connected);
}

// ---- closing ---------------------------------------------------------------

SocketResult SocketConnection::close() {
  if (socket_ == kNoSocket) return {};
  state_ = SocketState::Closing;
  cancelLookups(false);
  return destroySocket();
}

SocketResult SocketConnection::destroySocket() {
  if (Status closed = lib_.closeSocket(socket_); !closed.ok()) {
    state_ = SocketState::Error;
    return fail(closed.error, "DestroySocket");
  }
  SocketResult forgotten = forgetSocket();
  remoteAddress_.clear();
  sendBuffer_.clear();
  receiveBuffer_.clear();
  state_ = SocketState::Closed;
  return forgotten;
}

void SocketConnection::cancelLookups(bool all) {
  const std::vector<LookupId> pending = pendingLookups_;
  for (LookupId lookup : pending) {
    // A lookup that cannot be cancelled has completed: its notification may
    // still come, and is then ignored.
    const bool cancelled = lib_.cancelHostLookup(lookup).ok();
    if (!cancelled && !all) continue;
    service_.deregisterLookup(lookup);
    lib_.releaseLookup(lookup);
    std::erase(pendingLookups_, lookup);
  }
  currentLookup_ = 0;
}

void SocketConnection::onPeerClosed() {
  // Bytes the peer sent before closing may still be queued; they are taken
  // before the close is reported, or they would be lost.
  const Alive alive = alive_;
  while (receiveIntoBuffer() > 0) {
    if (!*alive || state_ != SocketState::Connected) return;
  }
  if (!*alive || state_ != SocketState::Connected) return;
  state_ = SocketState::Closing;
  raise(events.peerClosed);
}

// ---- the two buffers -------------------------------------------------------

std::size_t SocketConnection::receiveIntoBuffer() {
  scratch_.resize(pieceSize(receiveSize_));
  const Result<std::size_t> received = lib_.receive(socket_, scratch_, false);
  if (!received.ok()) {
    // Nothing to read after all is not a failure. A real failure is
    // reported, so that the owner can close and start again.
    if (received.error != kWsaWouldBlock) raiseError(received.error, "RecvDataToBuffer");
    return 0;
  }
  if (received.value == 0) return 0;
  receiveBuffer_.append(reinterpret_cast<const char*>(scratch_.data()), received.value);
  raise(events.dataArrived, static_cast<std::int32_t>(receiveBuffer_.size()));
  return received.value;
}

void SocketConnection::sendBuffered() {
  std::int32_t total = 0;
  while (!sendBuffer_.empty() && state_ == SocketState::Connected) {
    const std::size_t piece = std::min(sendBuffer_.size(), pieceSize(sendSize_));
    const Result<std::size_t> sent = lib_.send(socket_, bytesOf(std::string_view(sendBuffer_).substr(0, piece)));
    if (!sent.ok()) {
      if (sent.error != kWsaWouldBlock) {
        raiseError(sent.error, "SendBufferedData");
      } else if (total >= 1) {
        raise(events.sendProgressed, total, static_cast<std::int32_t>(sendBuffer_.size()));
      }
      return;  // the rest goes on the next write notification
    }
    if (sent.value == 0) return;
    total += static_cast<std::int32_t>(sent.value);
    if (sendBuffer_.size() <= sent.value) {
      sendBuffer_.clear();
      if (!raise(events.sendProgressed, total, std::int32_t{0})) return;
      if (!raise(events.sendCompleted)) return;
      total = 0;
    } else {
      sendBuffer_.erase(0, sent.value);
    }
  }
}

}  // namespace pondex
