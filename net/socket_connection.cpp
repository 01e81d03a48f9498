// SocketConnection: what every kind of socket object shares: life with the
// service, properties, making, binding and dropping the socket, the failed event, and
// the entry for notifications.
#include "net/socket_connection.h"

#include "net/socket_connection_detail.h"

namespace pondex {

namespace connection_detail {

SocketResult fail(const FixedError& error, const char* procedure) {
  return SocketResult::failure(error.number, error.text, std::string(kErrorSource) + procedure);
}

SocketResult fail(int socketError, const char* procedure) {
  return SocketResult::failure(socketError, socketErrorText(socketError), std::string(kErrorSource) + procedure);
}

}  // namespace connection_detail

using connection_detail::fail;
using connection_detail::kErrorSource;
using connection_detail::kInvalidOperation;
using connection_detail::kOutOfRange;
using connection_detail::pieceSize;

SocketConnection::SocketConnection(SocketService& service)
    : service_(service), lib_(service.library()), alive_(std::make_shared<bool>(true)) {
  // Its result is not kept: while the library is not started, every
  // attempt fails and says so through the error event.
  (void)service.objectCreated();
}

SocketConnection::~SocketConnection() {
  *alive_ = false;
  cancelLookups(true);
  // A socket taken as it is stays open, but must not route to a released
  // object either.
  if (socket_ != kNoSocket && !accepted_) (void)lib_.closeSocket(socket_);
  (void)forgetSocket();
  (void)service_.objectDestroyed();
}

bool SocketConnection::raiseError(int code, const char* procedure) {
  state_ = SocketState::Error;
  SocketErrorArgs args;
  args.number = static_cast<std::int16_t>(code);
  args.description = socketErrorText(code);
  args.source = std::string(kErrorSource) + procedure;
  MessageBoxes& boxes = service_.messages();
  const bool alive = raise(events.failed, std::ref(args));
  if (!args.cancelDisplay) boxes.show(args.description, args.source, MessageButtons::Ok, MessageIcon::None);
  return alive;
}

// ---- properties ----------------------------------------------------------

SocketResult SocketConnection::setRemotePort(std::int32_t port) {
  if (protocol_ == SocketProtocol::Tcp && state_ != SocketState::Closed) return fail(kInvalidOperation, "RemotePort");
  if (port < 0 || port > 65535) return fail(kOutOfRange, "RemotePort");
  remotePort_ = port;
  return {};
}

SocketResult SocketConnection::setRemoteHost(std::string host) {
  if (protocol_ == SocketProtocol::Tcp && state_ != SocketState::Closed) return fail(kInvalidOperation, "RemoteHost");
  remoteHost_ = std::move(host);
  return {};
}

SocketResult SocketConnection::setProtocol(SocketProtocol protocol) {
  if (state_ != SocketState::Closed) return fail(kInvalidOperation, "Protocol");
  protocol_ = protocol;
  return {};
}

std::int32_t SocketConnection::bytesReceived() {
  if (protocol_ == SocketProtocol::Tcp) return static_cast<std::int32_t>(receiveBuffer_.size());
  if (state_ != SocketState::Open || socket_ == kNoSocket) return 0;
  scratch_.resize(pieceSize(receiveSize_));
  Result<ReceivedDatagram> waiting = lib_.receiveFrom(socket_, scratch_, true);
  return waiting.ok() ? static_cast<std::int32_t>(waiting.value.count) : 0;
}

// ---- making and dropping the socket ----------------------------------------

bool SocketConnection::ensureSocket(SocketResult& out) {
  if (socket_ != kNoSocket) return true;
  Result<SocketId> created = lib_.createSocket(protocol_);
  if (!created.ok()) {
    raiseError(created.error, "SocketExists");
    return false;
  }
  socket_ = created.value;
  SocketResult prepared = applyOptions();
  if (prepared.ok()) prepared = service_.registerSocket(socket_, *this, true);
  if (!prepared.ok()) {
    // Nothing half-made is kept: the next attempt starts afresh.
    discardSocket();
    out = prepared;
    return false;
  }
  return true;
}

SocketResult SocketConnection::applyOptions() {
  if (protocol_ == SocketProtocol::Tcp) {
    Result<std::int32_t> receive = lib_.getOption(socket_, SocketOption::ReceiveBufferSize);
    if (!receive.ok()) return fail(receive.error, "ProcessOptions");
    Result<std::int32_t> send = lib_.getOption(socket_, SocketOption::SendBufferSize);
    if (!send.ok()) return fail(send.error, "ProcessOptions");
    receiveSize_ = receive.value;
    sendSize_ = send.value;
    return {};
  }
  if (Status broadcast = lib_.enableBroadcast(socket_); !broadcast.ok()) {
    return fail(broadcast.error, "ProcessOptions");
  }
  Result<std::int32_t> largest = lib_.getOption(socket_, SocketOption::MaxDatagramSize);
  if (!largest.ok()) return fail(largest.error, "ProcessOptions");
  receiveSize_ = largest.value;
  sendSize_ = largest.value;
  return {};
}

SocketResult SocketConnection::forgetSocket() {
  if (socket_ == kNoSocket) return {};
  // After an accept() the service routes the socket to its new owner.
  SocketResult deregistered;
  if (service_.routesTo(socket_, *this)) deregistered = service_.deregisterSocket(socket_);
  socket_ = kNoSocket;
  accepted_ = false;
  sendSize_ = 0;
  receiveSize_ = 0;
  return deregistered;
}

void SocketConnection::discardSocket() {
  if (socket_ == kNoSocket) return;
  (void)lib_.closeSocket(socket_);
  (void)forgetSocket();
}

bool SocketConnection::makeBoundSocket(const Ipv4Address& address, SocketResult& out) {
  if (!ensureSocket(out)) return false;
  if (SocketResult bound = bindTo(address); !bound.ok()) {
    discardSocket();
    out = bound;
    return false;
  }
  return true;
}

SocketResult SocketConnection::bindTo(const Ipv4Address& address) {
  const Endpoint local{address, static_cast<std::uint16_t>(localPort_)};
  if (Status bound = lib_.bind(socket_, local); !bound.ok()) return fail(bound.error, "BindInternal");
  return {};
}

int SocketConnection::readEndpoints() {
  const Result<Endpoint> peer = lib_.peerEndpoint(socket_);
  if (!peer.ok()) return peer.error;
  remotePort_ = peer.value.port;
  remoteAddress_ = peer.value.address.dotted();
  return 0;
}

// ---- notifications ---------------------------------------------------------

std::intptr_t SocketConnection::onNotification(WindowId, std::uint32_t uMsg, std::uintptr_t wParam,
                                               std::intptr_t lParam) {
  if (uMsg == kLookupMessage) {
    lookupDone(static_cast<LookupId>(wParam), hiWord(lParam));
  } else if (uMsg == kSocketMessage && socket_ != kNoSocket && static_cast<SocketId>(wParam) == socket_) {
    socketNotified(loWord(lParam), hiWord(lParam));
  }
  return 0;
}

void SocketConnection::socketNotified(std::uint16_t kind, int error) {
  if (error != 0) {
    raiseError(error, "PostSocket");
    return;
  }
  switch (kind) {
    case kNotifyRead:
      if (protocol_ == SocketProtocol::Tcp && state_ == SocketState::Connected) {
        (void)receiveIntoBuffer();
      } else if (protocol_ == SocketProtocol::Udp && state_ == SocketState::Open) {
        onDatagram();
      }
      break;
    case kNotifyWrite:
      if (protocol_ == SocketProtocol::Tcp && state_ == SocketState::Connected && !sendBuffer_.empty()) sendBuffered();
      break;
    case kNotifyAccept:
      if (state_ == SocketState::Listening) onIncoming();
      break;
    case kNotifyConnect:
      if (state_ == SocketState::Connecting) onConnected();
      break;
    case kNotifyClose:
      if (state_ == SocketState::Connected) onPeerClosed();
      break;
    default:
      break;
  }
}

}  // namespace pondex
