// SocketConnection's listening and datagram side: bind, listen, incoming
// connections and accept, and UDP. The program itself is a TCP client only.
#include "net/socket_connection_detail.h"

namespace pondex {

using connection_detail::bytesOf;
using connection_detail::checkedPort;
using connection_detail::fail;
using connection_detail::kInvalidArgument;
using connection_detail::kInvalidOperation;
using connection_detail::kWrongState;

namespace {
constexpr int kListenBacklog = 5;
}  // namespace

SocketResultOf<Ipv4Address> SocketConnection::resolveNow(const std::string& host) {
  if (std::optional<Ipv4Address> address = lib_.parseDotted(host)) return *address;
  Result<Ipv4Address> found = lib_.lookupHost(host);
  if (!found.ok()) return fail(found.error, "resolveNow");
  return found.value;
}

SocketResult SocketConnection::bind(std::optional<PortValue> localPort, std::optional<std::string> localAddress) {
  if (state_ != SocketState::Closed) return fail(kInvalidOperation, "Bind");
  if (localPort) {
    const SocketResultOf<std::int32_t> port = checkedPort(*localPort, 0, "Bind");
    if (!port.ok()) return port.status();
    localPort_ = port.value();
  }
  Ipv4Address address{};
  if (localAddress && !localAddress->empty()) {
    SocketResultOf<Ipv4Address> found = resolveNow(*localAddress);
    if (!found.ok()) return fail(kInvalidArgument, "Bind");
    address = found.value();
  }
  if (SocketResult out; !makeBoundSocket(address, out)) return out;
  state_ = SocketState::Open;
  return {};
}

SocketResult SocketConnection::listen() {
  if (state_ != SocketState::Closed && state_ != SocketState::Open) return fail(kInvalidOperation, "Listen");
  if (state_ == SocketState::Closed) {
    if (SocketResult out; !makeBoundSocket(Ipv4Address{}, out)) return out;
  }
  if (Status listening = lib_.listen(socket_, kListenBacklog); !listening.ok()) {
    return fail(listening.error, "Listen");
  }
  state_ = SocketState::Listening;
  return {};
}

void SocketConnection::onIncoming() {
  const Result<AcceptedConnection> incoming = lib_.accept(socket_);
  if (!incoming.ok()) {
    if (incoming.error != kWsaWouldBlock) raiseError(incoming.error, "PostSocket");
    return;
  }
  const SocketId request = incoming.value.socket;
  // Held apart: the handler may release this object.
  SocketService& service = service_;
  SocketLibrary& lib = lib_;
  if (!service.parkAccepted(request).ok()) {
    (void)lib.closeSocket(request);
    return;
  }
  const std::int32_t savedPort = remotePort_;
  const std::string savedAddress = remoteAddress_;
  remotePort_ = incoming.value.peer.port;
  remoteAddress_ = incoming.value.peer.address.dotted();
  const bool alive = raise(events.connectionRequested, request);
  if (alive && state_ == SocketState::Listening) {
    remotePort_ = savedPort;
    remoteAddress_ = savedAddress;
  }
  if (service.isParked(request)) {  // nobody accepted it
    (void)lib.closeSocket(request);
    service.forgetParked(request);
  }
}

SocketResult SocketConnection::accept(SocketId request) {
  // A closed object may still hold a socket (one made for UDP, or bound):
  // taking another over it would leave the first routed to this object.
  if (state_ != SocketState::Closed || socket_ != kNoSocket) return fail(kInvalidOperation, "Accept");

  if (service_.hasSocket(request)) {
    SocketConnection* holder = service_.takeParked(request);
    if (holder == nullptr) return fail(kWrongState, "Accept");
    socket_ = request;
    protocol_ = holder->protocol_;
    sendSize_ = holder->sendSize_;
    receiveSize_ = holder->receiveSize_;
    remotePort_ = holder->remotePort_;
    remoteAddress_ = holder->remoteAddress_;
    receiveBuffer_ = std::move(holder->receiveBuffer_);
    const bool peerClosed = holder->state_ == SocketState::Closing;
    holder->socket_ = kNoSocket;  // the holder lets go of it
    holder->state_ = SocketState::Closed;
    service_.changeSocketOwner(request, *this);
    service_.forgetParked(request);
    accepted_ = false;
    state_ = SocketState::Connected;
    if (!receiveBuffer_.empty() && !raise(events.dataArrived, static_cast<std::int32_t>(receiveBuffer_.size()))) {
      return {};
    }
    if (peerClosed && state_ == SocketState::Connected) {
      state_ = SocketState::Closing;
      raise(events.peerClosed);
    }
    return {};
  }

  // A socket the service does not know is taken as it is; this object will
  // not close it when released.
  socket_ = request;
  accepted_ = true;
  SocketResult taken = applyOptions();
  if (taken.ok()) taken = service_.registerSocket(socket_, *this, true);
  if (taken.ok()) {
    if (const int error = readEndpoints(); error != 0) taken = fail(error, "Accept");
  }
  if (!taken.ok()) {
    (void)forgetSocket();
    return taken;
  }
  state_ = SocketState::Connected;
  return {};
}

// ---- UDP -------------------------------------------------------------------

SocketResult SocketConnection::sendDatagram() {
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
  if (raise(events.sendProgressed, static_cast<std::int32_t>(sent.value), std::int32_t{0})) raise(events.sendCompleted);
  return {};
}

void SocketConnection::onDatagram() {
  const std::int32_t waiting = bytesReceived();
  if (waiting == 0) return;
  datagramTaken_ = false;
  if (!raise(events.dataArrived, waiting)) return;
  // A datagram the handler left is dropped, so that it is not announced
  // again; one the handler took must not cost the next one.
  if (!datagramTaken_ && state_ == SocketState::Open && socket_ != kNoSocket) {
    std::uint8_t discard = 0;
    (void)lib_.receive(socket_, std::span<std::uint8_t>(&discard, 1), false);
  }
}

}  // namespace pondex
