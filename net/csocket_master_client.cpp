// CSocketMaster as the TCP client the program runs: connecting (with a host
// lookup when needed), the receive and send buffers, and closing.
#include <algorithm>

#include "net/csocket_master_detail.h"

namespace pondex {

using csocket_detail::bytesOf;
using csocket_detail::checkedPort;
using csocket_detail::fail;
using csocket_detail::kInvalidOperation;
using csocket_detail::kNoDataRecord;
using csocket_detail::pieceSize;

// ---- connecting ------------------------------------------------------------

SocketResult CSocketMaster::Connect(std::optional<std::string> RemoteHost, std::optional<PortValue> RemotePort) {
  if (state_ != sckClosed) return fail(kInvalidOperation, "Connect");
  if (RemoteHost) remoteHost_ = std::move(*RemoteHost);
  if (RemotePort) {
    const SocketResultOf<std::int32_t> port = checkedPort(*RemotePort, 1, "Connect");
    if (!port.ok()) return port.status();
    remotePort_ = port.value();
  }

  if (SocketResult out; !makeBoundSocket(Ipv4Address{}, out)) return out;
  if (protocol_ == SocketProtocol::Udp) {
    state_ = sckOpen;
    return {};
  }

  if (std::optional<Ipv4Address> address = lib_.parseDotted(remoteHost_)) return ConnectToIP(*address);

  state_ = sckResolvingHost;
  Result<LookupId> lookup = service_.startLookup(remoteHost_, *this);
  if (lookup.value == 0) {
    raiseError(lookup.error, "ResolveIfHostname");
    return {};
  }
  pendingLookups_.push_back(lookup.value);
  currentLookup_ = lookup.value;
  return {};
}

SocketResult CSocketMaster::ConnectToIP(const Ipv4Address& address) {
  state_ = sckConnecting;
  const Status status = lib_.connect(socket_, {address, static_cast<std::uint16_t>(remotePort_)});
  if (status.ok() || status.error == kWsaWouldBlock) return {};
  // Refused on the spot: the caller hears of it, the state stays.
  if (status.error == kWsaAddressNotAvailable) return fail(status.error, "ConnectToIP");
  raiseError(status.error, "ConnectToIP");
  return {};
}

void CSocketMaster::PostResolution(LookupId lookup, int error) {
  std::erase(pendingLookups_, lookup);
  service_.deregisterLookup(lookup);
  // Only the lookup of the connection attempt under way may continue it; an
  // older one (its cancel came too late) is ignored.
  const bool current = lookup == currentLookup_ && state_ == sckResolvingHost;
  std::optional<Ipv4Address> address;
  if (current && error == 0) address = lib_.lookupResult(lookup);
  lib_.releaseLookup(lookup);
  if (!current) return;
  currentLookup_ = 0;
  if (error != 0 || !address) {
    raiseError(error != 0 ? error : kNoDataRecord, "ConnectToIP");
    return;
  }
  state_ = sckHostResolved;
  SocketResult connecting = ConnectToIP(*address);
  // Nobody would receive a returned error here; it becomes an Error event.
  if (!connecting.ok()) raiseError(connecting.error().number, "ConnectToIP");
}

void CSocketMaster::onConnected() {
  if (const int error = readEndpoints(); error != 0) {
    raiseError(error, "PostSocket");
    return;
  }
  remoteHost_.clear();
  state_ = sckConnected;
  raise(events.Connect);
}

// ---- closing ---------------------------------------------------------------

SocketResult CSocketMaster::CloseSck() {
  if (socket_ == kNoSocket) return {};
  state_ = sckClosing;
  cancelLookups(false);
  return DestroySocket();
}

SocketResult CSocketMaster::DestroySocket() {
  if (Status closed = lib_.closeSocket(socket_); !closed.ok()) {
    state_ = sckError;
    return fail(closed.error, "DestroySocket");
  }
  SocketResult forgotten = forgetSocket();
  remoteHostIP_.clear();
  sendBuffer_.clear();
  receiveBuffer_.clear();
  state_ = sckClosed;
  return forgotten;
}

void CSocketMaster::cancelLookups(bool all) {
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

void CSocketMaster::onPeerClosed() {
  // Bytes the peer sent before closing may still be queued; they are taken
  // before the close is reported, or they would be lost.
  const Alive alive = alive_;
  while (RecvDataToBuffer() > 0) {
    if (!*alive || state_ != sckConnected) return;
  }
  if (!*alive || state_ != sckConnected) return;
  state_ = sckClosing;
  raise(events.CloseSck);
}

// ---- the two buffers -------------------------------------------------------

std::size_t CSocketMaster::RecvDataToBuffer() {
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
  raise(events.DataArrival, static_cast<std::int32_t>(receiveBuffer_.size()));
  return received.value;
}

void CSocketMaster::SendBufferedData() {
  std::int32_t total = 0;
  while (!sendBuffer_.empty() && state_ == sckConnected) {
    const std::size_t piece = std::min(sendBuffer_.size(), pieceSize(sendSize_));
    const Result<std::size_t> sent = lib_.send(socket_, bytesOf(std::string_view(sendBuffer_).substr(0, piece)));
    if (!sent.ok()) {
      if (sent.error != kWsaWouldBlock) {
        raiseError(sent.error, "SendBufferedData");
      } else if (total >= 1) {
        raise(events.SendProgress, total, static_cast<std::int32_t>(sendBuffer_.size()));
      }
      return;  // the rest goes on the next write notification
    }
    if (sent.value == 0) return;
    total += static_cast<std::int32_t>(sent.value);
    if (sendBuffer_.size() <= sent.value) {
      sendBuffer_.clear();
      if (!raise(events.SendProgress, total, std::int32_t{0})) return;
      if (!raise(events.SendComplete)) return;
      total = 0;
    } else {
      sendBuffer_.erase(0, sent.value);
    }
  }
}

}  // namespace pondex
