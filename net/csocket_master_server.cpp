// CSocketMaster's listening and datagram side: Bind, Listen, incoming
// connections and Accept, and UDP. The program itself is a TCP client only.
#include "net/csocket_master_detail.h"

namespace pondex {

using csocket_detail::bytesOf;
using csocket_detail::checkedPort;
using csocket_detail::fail;
using csocket_detail::kInvalidArgument;
using csocket_detail::kInvalidOperation;
using csocket_detail::kWrongState;

namespace {
constexpr int kListenBacklog = 5;
}  // namespace

SocketResultOf<Ipv4Address> CSocketMaster::resolveNow(const std::string& host) {
  if (std::optional<Ipv4Address> address = lib_.parseDotted(host)) return *address;
  Result<Ipv4Address> found = lib_.lookupHost(host);
  if (!found.ok()) return fail(found.error, "resolveNow");
  return found.value;
}

SocketResult CSocketMaster::Bind(std::optional<PortValue> LocalPort, std::optional<std::string> LocalIP) {
  if (state_ != sckClosed) return fail(kInvalidOperation, "Bind");
  if (LocalPort) {
    const SocketResultOf<std::int32_t> port = checkedPort(*LocalPort, 0, "Bind");
    if (!port.ok()) return port.status();
    localPort_ = port.value();
  }
  Ipv4Address address{};
  if (LocalIP && !LocalIP->empty()) {
    SocketResultOf<Ipv4Address> found = resolveNow(*LocalIP);
    if (!found.ok()) return fail(kInvalidArgument, "Bind");
    address = found.value();
  }
  if (SocketResult out; !makeBoundSocket(address, out)) return out;
  state_ = sckOpen;
  return {};
}

SocketResult CSocketMaster::Listen() {
  if (state_ != sckClosed && state_ != sckOpen) return fail(kInvalidOperation, "Listen");
  if (state_ == sckClosed) {
    if (SocketResult out; !makeBoundSocket(Ipv4Address{}, out)) return out;
  }
  if (Status listening = lib_.listen(socket_, kListenBacklog); !listening.ok()) {
    return fail(listening.error, "Listen");
  }
  state_ = sckListening;
  return {};
}

void CSocketMaster::onIncoming() {
  const Result<AcceptedConnection> incoming = lib_.accept(socket_);
  if (!incoming.ok()) {
    if (incoming.error != kWsaWouldBlock) raiseError(incoming.error, "PostSocket");
    return;
  }
  const SocketId requestID = incoming.value.socket;
  // Held apart: the handler may release this object.
  SocketService& service = service_;
  SocketLibrary& lib = lib_;
  if (!service.parkAccepted(requestID).ok()) {
    (void)lib.closeSocket(requestID);
    return;
  }
  const std::int32_t savedPort = remotePort_;
  const std::string savedAddress = remoteHostIP_;
  remotePort_ = incoming.value.peer.port;
  remoteHostIP_ = incoming.value.peer.address.dotted();
  const bool alive = raise(events.ConnectionRequest, requestID);
  if (alive && state_ == sckListening) {
    remotePort_ = savedPort;
    remoteHostIP_ = savedAddress;
  }
  if (service.isParked(requestID)) {  // nobody accepted it
    (void)lib.closeSocket(requestID);
    service.forgetParked(requestID);
  }
}

SocketResult CSocketMaster::Accept(SocketId requestID) {
  // A closed object may still hold a socket (one made for UDP, or bound):
  // taking another over it would leave the first routed to this object.
  if (state_ != sckClosed || socket_ != kNoSocket) return fail(kInvalidOperation, "Accept");

  if (service_.hasSocket(requestID)) {
    CSocketMaster* holder = service_.takeParked(requestID);
    if (holder == nullptr) return fail(kWrongState, "Accept");
    socket_ = requestID;
    protocol_ = holder->protocol_;
    sendSize_ = holder->sendSize_;
    receiveSize_ = holder->receiveSize_;
    remotePort_ = holder->remotePort_;
    remoteHostIP_ = holder->remoteHostIP_;
    receiveBuffer_ = std::move(holder->receiveBuffer_);
    const bool peerClosed = holder->state_ == sckClosing;
    holder->socket_ = kNoSocket;  // the holder lets go of it
    holder->state_ = sckClosed;
    service_.changeSocketOwner(requestID, *this);
    service_.forgetParked(requestID);
    accepted_ = false;
    state_ = sckConnected;
    if (!receiveBuffer_.empty() && !raise(events.DataArrival, static_cast<std::int32_t>(receiveBuffer_.size()))) {
      return {};
    }
    if (peerClosed && state_ == sckConnected) {
      state_ = sckClosing;
      raise(events.CloseSck);
    }
    return {};
  }

  // A socket the service does not know is taken as it is; this object will
  // not close it when released.
  socket_ = requestID;
  accepted_ = true;
  SocketResult taken = ProcessOptions();
  if (taken.ok()) taken = service_.registerSocket(socket_, *this, true);
  if (taken.ok()) {
    if (const int error = readEndpoints(); error != 0) taken = fail(error, "Accept");
  }
  if (!taken.ok()) {
    (void)forgetSocket();
    return taken;
  }
  state_ = sckConnected;
  return {};
}

// ---- UDP -------------------------------------------------------------------

SocketResult CSocketMaster::SendBufferedDataUDP() {
  const std::string datagram = std::move(sendBuffer_);
  sendBuffer_.clear();
  SocketResultOf<Ipv4Address> address = resolveNow(remoteHost_);
  if (!address.ok()) return fail(kInvalidArgument, "SendBufferedDataUDP");
  const Result<std::size_t> sent =
      lib_.sendTo(socket_, bytesOf(datagram), {address.value(), static_cast<std::uint16_t>(remotePort_)});
  if (!sent.ok()) {
    raiseError(sent.error, "SendBufferedDataUDP");
    return {};
  }
  if (raise(events.SendProgress, static_cast<std::int32_t>(sent.value), std::int32_t{0})) raise(events.SendComplete);
  return {};
}

void CSocketMaster::onDatagram() {
  const std::int32_t waiting = BytesReceived();
  if (waiting == 0) return;
  datagramTaken_ = false;
  if (!raise(events.DataArrival, waiting)) return;
  // A datagram the handler left is dropped, so that it is not announced
  // again; one the handler took must not cost the next one.
  if (!datagramTaken_ && state_ == sckOpen && socket_ != kNoSocket) {
    std::uint8_t discard = 0;
    (void)lib_.receive(socket_, std::span<std::uint8_t>(&discard, 1), false);
  }
}

}  // namespace pondex
