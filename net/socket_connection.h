#pragma once
// SocketConnection: one event-driven, non-blocking TCP or UDP socket with
// its own receive and send buffers.
//
// - Methods return once their part is done; whatever waits on the network
//   (name lookup, connection, data, room to send, the peer's close) arrives
//   later through the service's call of onNotification, and the object
//   answers by changing its state and raising one of `events`.
// - Argument and state errors, and platform failures inside a method, come
//   back as a SocketResult (number, text, "CSocketMaster.<procedure>").
//   Failures that arrive with a notification, or belong to work the object
//   started, set SocketState::Error and raise events.failed instead.
// - Handlers run synchronously inside the notification handling and may call
//   back into the object (close() from inside failed) or release it; the
//   object touches nothing of itself after an event whose handler released
//   it.
// - Bytes are one character each in std::string, with no conversion.
// - Creating an object counts it with the service (the first starts the
//   socket library); releasing it cancels its lookups, closes its socket
//   (unless it was taken as-is by accept()) and uncounts it.
//
// Sources by concern: socket_connection.cpp (life, properties, the socket,
// the notification entry), socket_connection_client.cpp (the TCP client),
// socket_connection_data.cpp (typed data), socket_connection_server.cpp
// (listening, accept(), UDP).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "net/socket_data.h"
#include "net/socket_service.h"
#include "platform/sockets.h"

namespace pondex {

// Each state has a fixed number: callers may show or keep it.
enum class SocketState : std::int32_t {
  Closed = 0,
  Open = 1,
  Listening = 2,
  ResolvingHost = 4,
  HostResolved = 5,
  Connecting = 6,
  Connected = 7,
  Closing = 8,
  Error = 9,
};

// A port argument as the caller gives it: a number or a text.
class PortValue {
 public:
  PortValue(const char* text) : text_(text) {}             // NOLINT: a text argument
  PortValue(std::string text) : text_(std::move(text)) {}  // NOLINT
  PortValue(double number) : number_(number) {}            // NOLINT: a numeric argument
  template <typename T>
  requires std::is_integral_v<T> PortValue(T number) : number_(static_cast<double>(number)) {}  // NOLINT
  // The argument as a number, when it is one (a text must read as one).
  [[nodiscard]] std::optional<double> numeric() const;

 private:
  std::optional<double> number_;
  std::string text_;
};

// What the failed event carries.
struct SocketErrorArgs {
  std::int16_t number = 0;
  std::string description;    // the handler may change it
  std::string source;         // "CSocketMaster.<procedure>"
  bool cancelDisplay = true;  // a handler that clears it gets a message box
};

// Empty handlers are not called.
struct SocketConnectionEvents {
  std::function<void()> peerClosed;  // the peer closed the connection
  std::function<void()> connected;
  std::function<void(SocketId request)> connectionRequested;
  std::function<void(std::int32_t bytesTotal)> dataArrived;
  std::function<void(SocketErrorArgs& args)> failed;
  std::function<void()> sendCompleted;
  std::function<void(std::int32_t bytesSent, std::int32_t bytesRemaining)> sendProgressed;
};

class SocketConnection {
 public:
  explicit SocketConnection(SocketService& service);
  SocketConnection(const SocketConnection&) = delete;
  SocketConnection& operator=(const SocketConnection&) = delete;
  ~SocketConnection();

  SocketConnectionEvents events;

  // The service's entry for notifications; other messages are ignored.
  std::intptr_t onNotification(WindowId window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  [[nodiscard]] std::int32_t remotePort() const { return remotePort_; }
  SocketResult setRemotePort(std::int32_t port);
  SocketResult setRemoteHost(std::string host);
  [[nodiscard]] const std::string& remoteAddress() const { return remoteAddress_; }
  [[nodiscard]] SocketState state() const { return state_; }
  // TCP: bytes waiting in the receive buffer; UDP: size of the waiting datagram.
  [[nodiscard]] std::int32_t bytesReceived();
  [[nodiscard]] SocketId socketId() const { return socket_; }
  SocketResult setProtocol(SocketProtocol protocol);

  SocketResult close();
  SocketResult connect(std::optional<std::string> host = std::nullopt, std::optional<PortValue> port = std::nullopt);
  SocketResult bind(std::optional<PortValue> localPort = std::nullopt,
                    std::optional<std::string> localAddress = std::nullopt);
  SocketResult send(const SocketData& data);
  // Takes what was received (at most `maxLength` bytes of a text or byte
  // array) as the type `data` already holds, else as `wanted`.
  SocketResult takeReceived(SocketData& data, std::optional<SocketDataType> wanted = std::nullopt,
                            std::optional<std::int32_t> maxLength = std::nullopt);
  SocketResult listen();
  SocketResult accept(SocketId request);

 private:
  using Alive = std::shared_ptr<bool>;

  // Sets SocketState::Error and raises failed; false when a handler
  // released the object.
  bool raiseError(int code, const char* procedure);
  // Calls a handler through a copy (the handler may release the object);
  // false when it did.
  template <typename Handler, typename... Args>
  bool raise(const Handler& handler, Args... args) {
    const Alive alive = alive_;
    if (handler) {
      Handler copy = handler;
      copy(args...);
    }
    return *alive;
  }

  // Creates, configures and registers the socket when there is none. False
  // when the caller must stop: with `out` failed, or with failed raised.
  bool ensureSocket(SocketResult& out);
  // Reads the buffer sizes (TCP) or allows broadcasts (UDP).
  SocketResult applyOptions();
  // ensureSocket, then bound to `address` and the local port; a socket that
  // cannot be bound is dropped again. False, with `out`, when the caller
  // must stop.
  bool makeBoundSocket(const Ipv4Address& address, SocketResult& out);
  SocketResult bindTo(const Ipv4Address& address);
  SocketResult connectTo(const Ipv4Address& address);
  SocketResult destroySocket();
  // Drops a socket this object made but could not set up.
  void discardSocket();
  // Lets go of the socket without closing it: no more routing to this
  // object, no handle, no sizes.
  SocketResult forgetSocket();
  // Reads the local and the peer's address and port of a connected socket;
  // the platform's error number, 0 on success.
  int readEndpoints();
  void cancelLookups(bool all);

  void lookupDone(LookupId lookup, int error);
  void socketNotified(std::uint16_t kind, int error);
  void onConnected();
  void onPeerClosed();
  void onIncoming();
  // One receive; the number of new bytes, 0 when none (or on failure).
  std::size_t receiveIntoBuffer();
  void onDatagram();
  void sendBuffered();
  SocketResult sendDatagram();
  SocketResultOf<Ipv4Address> resolveNow(const std::string& host);

  SocketService& service_;
  SocketLibrary& lib_;
  Alive alive_;

  SocketId socket_ = kNoSocket;
  SocketState state_ = SocketState::Closed;
  std::string remoteHost_;
  std::int32_t remotePort_ = 0;
  std::string remoteAddress_;
  std::int32_t localPort_ = 0;
  SocketProtocol protocol_ = SocketProtocol::Tcp;
  std::int32_t sendSize_ = 0;
  std::int32_t receiveSize_ = 0;
  std::string sendBuffer_;
  std::string receiveBuffer_;
  bool accepted_ = false;
  // Lookups started and not yet seen to complete; only `currentLookup_`
  // may still lead to a connection.
  std::vector<LookupId> pendingLookups_;
  LookupId currentLookup_ = 0;
  bool datagramTaken_ = false;
  std::vector<std::uint8_t> scratch_;
};

}  // namespace pondex
