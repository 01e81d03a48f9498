#pragma once
// CSocketMaster: one event-driven, non-blocking TCP or UDP socket with its
// own receive and send buffers.
//
// - Methods return once their part is done; whatever waits on the network
//   (name lookup, connection, data, room to send, the peer's close) arrives
//   later through the service's call of WndProc, and the object answers by
//   changing State and raising one of `events`.
// - Argument and state errors, and platform failures inside a method, come
//   back as a SocketResult (number, text, "CSocketMaster.<procedure>").
//   Failures that arrive with a notification, or belong to work the object
//   started, set sckError and raise events.Error instead.
// - Handlers run synchronously inside the notification handling and may call
//   back into the object (CloseSck from inside Error) or release it; the
//   object touches nothing of itself after an event whose handler released
//   it.
// - Bytes are one character each in std::string, with no conversion.
// - Creating an object counts it with the service (the first starts the
//   socket library); releasing it cancels its lookups, closes its socket
//   (unless it was taken as-is by Accept) and uncounts it.
//
// Sources by concern: csocket_master.cpp (life, properties, the socket, the
// notification entry), csocket_master_client.cpp (the TCP client),
// csocket_master_data.cpp (typed data), csocket_master_server.cpp
// (listening, Accept, UDP).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "net/socket_service.h"
#include "platform/sockets.h"

namespace pondex {

enum SocketState : std::int32_t {
  sckClosed = 0,
  sckOpen = 1,
  sckListening = 2,
  sckResolvingHost = 4,
  sckHostResolved = 5,
  sckConnecting = 6,
  sckConnected = 7,
  sckClosing = 8,
  sckError = 9,
};

// Variant type numbers, for the type GetData produces.
enum class VarType : std::int32_t {
  Empty = 0,
  Null = 1,
  Integer = 2,  // 16-bit
  Long = 3,     // 32-bit
  Single = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  String = 8,
  Object = 9,
  Error = 10,
  Boolean = 11,
  Variant = 12,
  Decimal = 14,
  Byte = 17,
  ByteArray = 8192 + 17,
};

struct Currency {
  std::int64_t tenThousandths = 0;  // the amount times 10000
  friend bool operator==(const Currency&, const Currency&) = default;
};
struct OleDate {
  double days = 0.0;  // days since 30 December 1899
  friend bool operator==(const OleDate&, const OleDate&) = default;
};
using ByteArray = std::vector<std::uint8_t>;

// What SendData takes and GetData gives. Empty (monostate) means
// "no value yet": GetData then produces the requested type.
using SocketData = std::variant<std::monostate, std::string, ByteArray, bool, std::uint8_t, std::int16_t, std::int32_t,
                                float, double, Currency, OleDate>;
VarType varTypeOf(const SocketData& data);

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

struct SocketErrorArgs {
  std::int16_t Number = 0;
  std::string Description;  // the handler may change it
  std::int32_t sCode = 0;
  std::string Source;
  std::string HelpFile;
  std::int32_t HelpContext = 0;
  bool CancelDisplay = true;  // a handler that clears it gets a message box
};

// Empty handlers are not called.
struct CSocketMasterEvents {
  std::function<void()> CloseSck;  // the peer closed the connection
  std::function<void()> Connect;
  std::function<void(SocketId requestID)> ConnectionRequest;
  std::function<void(std::int32_t bytesTotal)> DataArrival;
  std::function<void(SocketErrorArgs& args)> Error;
  std::function<void()> SendComplete;
  std::function<void(std::int32_t bytesSent, std::int32_t bytesRemaining)> SendProgress;
};

class CSocketMaster {
 public:
  explicit CSocketMaster(SocketService& service);
  CSocketMaster(const CSocketMaster&) = delete;
  CSocketMaster& operator=(const CSocketMaster&) = delete;
  ~CSocketMaster();

  CSocketMasterEvents events;

  // The service's entry; other messages are ignored.
  std::intptr_t WndProc(WindowId hWnd, std::uint32_t uMsg, std::uintptr_t wParam, std::intptr_t lParam);

  [[nodiscard]] std::int32_t RemotePort() const { return remotePort_; }
  SocketResult setRemotePort(std::int32_t port);
  SocketResult setRemoteHost(std::string host);
  [[nodiscard]] const std::string& RemoteHostIP() const { return remoteHostIP_; }
  [[nodiscard]] SocketState State() const { return state_; }
  // TCP: bytes waiting in the receive buffer; UDP: size of the waiting datagram.
  [[nodiscard]] std::int32_t BytesReceived();
  [[nodiscard]] SocketId SocketHandle() const { return socket_; }
  SocketResult setProtocol(SocketProtocol protocol);

  SocketResult CloseSck();
  SocketResult Connect(std::optional<std::string> RemoteHost = std::nullopt,
                       std::optional<PortValue> RemotePort = std::nullopt);
  SocketResult Bind(std::optional<PortValue> LocalPort = std::nullopt,
                    std::optional<std::string> LocalIP = std::nullopt);
  SocketResult SendData(const SocketData& data);
  SocketResult GetData(SocketData& data, std::optional<VarType> varType = std::nullopt,
                       std::optional<std::int32_t> maxLen = std::nullopt);
  SocketResult Listen();
  SocketResult Accept(SocketId requestID);

 private:
  using Alive = std::shared_ptr<bool>;

  // Sets sckError and raises Error; false when a handler released the object.
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
  // when the caller must stop: with `out` failed, or with Error raised.
  bool SocketExists(SocketResult& out);
  SocketResult ProcessOptions();
  // SocketExists, then bound to `address` and the local port; a socket that
  // cannot be bound is dropped again. False, with `out`, when the caller
  // must stop.
  bool makeBoundSocket(const Ipv4Address& address, SocketResult& out);
  SocketResult BindInternal(const Ipv4Address& address);
  SocketResult ConnectToIP(const Ipv4Address& address);
  SocketResult DestroySocket();
  // Drops a socket this object made but could not set up.
  void discardSocket();
  // Lets go of the socket without closing it: no more routing to this
  // object, no handle, no sizes.
  SocketResult forgetSocket();
  // Reads the local and the peer's address and port of a connected socket;
  // the platform's error number, 0 on success.
  int readEndpoints();
  void cancelLookups(bool all);

  void PostResolution(LookupId lookup, int error);
  void PostSocket(std::uint16_t kind, int error);
  void onConnected();
  void onPeerClosed();
  void onIncoming();
  // One receive; the number of new bytes, 0 when none (or on failure).
  std::size_t RecvDataToBuffer();
  void onDatagram();
  void SendBufferedData();
  SocketResult SendBufferedDataUDP();
  SocketResult RecvData(SocketData& data, std::optional<VarType> varType, std::optional<std::int32_t> maxLen);
  SocketResultOf<Ipv4Address> resolveNow(const std::string& host);

  SocketService& service_;
  SocketLibrary& lib_;
  Alive alive_;

  SocketId socket_ = kNoSocket;
  SocketState state_ = sckClosed;
  std::string remoteHost_;
  std::int32_t remotePort_ = 0;
  std::string remoteHostIP_;
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
