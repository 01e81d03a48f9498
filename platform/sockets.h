#pragma once
// The platform's socket library, as the socket notification service and the
// socket objects need it: Winsock 1.1 calls plus the asynchronous
// notification and host-lookup requests that post window messages.
//
// Contract:
// - Every failure comes back as a Winsock error number (10035 would block,
//   10049 cannot assign address, 10061 refused, 11001 host not found, ...);
//   0 means success. Other platforms and the fakes report the same numbers.
// - Sockets are IPv4 only. Handles are never -1 (kNoSocket); lookup and
//   window handles are never 0.
// - Notifications reach the program only as a call of the MessageTarget
//   installed on a message window, on the user-interface thread, one at a
//   time, in the order they were posted:
//     kLookupMessage: wParam = lookup handle, high 16 bits of lParam = error;
//     kSocketMessage: wParam = socket, low 16 bits of lParam = one
//                     SocketNotification, high 16 bits = error.
//   A notification for a window that no longer exists is lost.
// - A lookup's result (the first IPv4 address) is read with lookupResult
//   once its completion arrived without error; the library keeps the
//   lookup's buffer until releaseLookup, which the caller makes only after
//   the completion arrived or after a cancel attempt (a lookup that cannot
//   be cancelled has already completed).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/result.h"

namespace pondex {

using SocketId = std::intptr_t;   // the platform's socket handle
using LookupId = std::uintptr_t;  // handle of a running host lookup
using WindowId = std::uintptr_t;  // handle of a message window

inline constexpr SocketId kNoSocket = -1;

inline constexpr std::uint32_t kLookupMessage = 0x8000;
inline constexpr std::uint32_t kSocketMessage = 0x8001;

// Notification kinds, as the low 16 bits of a socket message's lParam.
enum SocketNotification : std::uint16_t {
  kNotifyRead = 1,
  kNotifyWrite = 2,
  kNotifyAccept = 8,
  kNotifyConnect = 16,
  kNotifyClose = 32,
};
inline constexpr std::uint32_t kAllNotifications =
    kNotifyRead | kNotifyWrite | kNotifyAccept | kNotifyConnect | kNotifyClose;  // 59

// The Winsock error numbers that the logic acts upon.
inline constexpr int kWsaWouldBlock = 10035;
inline constexpr int kWsaAlready = 10037;
inline constexpr int kWsaMessageTooLong = 10040;
inline constexpr int kWsaAddressNotAvailable = 10049;
inline constexpr int kWsaConnectionRefused = 10061;
inline constexpr int kWsaNotInitialised = 10093;
inline constexpr int kWsaHostNotFound = 11001;

struct Ipv4Address {
  std::array<std::uint8_t, 4> octets{};  // in network order: 127, 0, 0, 1
  [[nodiscard]] std::string dotted() const {
    std::string text;
    for (std::size_t i = 0; i < octets.size(); ++i) {
      if (i > 0) text += '.';
      text += std::to_string(octets[i]);
    }
    return text;
  }
  friend bool operator==(const Ipv4Address&, const Ipv4Address&) = default;
};

struct Endpoint {
  Ipv4Address address;  // 0.0.0.0 = any local address
  std::uint16_t port = 0;
  friend bool operator==(const Endpoint&, const Endpoint&) = default;
};

enum class SocketProtocol { Tcp, Udp };

enum class SocketOption {
  ReceiveBufferSize,  // SO_RCVBUF
  SendBufferSize,     // SO_SNDBUF
  MaxDatagramSize,    // SO_MAX_MSG_SIZE (UDP)
};

struct AcceptedConnection {
  SocketId socket = kNoSocket;
  Endpoint peer;
};

struct ReceivedDatagram {
  std::size_t count = 0;  // bytes copied into the caller's buffer
  Endpoint from;
};

// What a message window hands its messages to.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual std::intptr_t windowProcedure(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) = 0;
};

class SocketLibrary {
 public:
  virtual ~SocketLibrary() = default;

  // WSAStartup asking for version 1.1, and WSACleanup.
  virtual Status startup() = 0;
  virtual Status cleanup() = 0;

  virtual Result<SocketId> createSocket(SocketProtocol protocol) = 0;
  virtual Status closeSocket(SocketId socket) = 0;
  virtual Status bind(SocketId socket, const Endpoint& local) = 0;
  virtual Status listen(SocketId socket, int backlog) = 0;
  virtual Result<AcceptedConnection> accept(SocketId socket) = 0;
  // Non-blocking once the socket is registered for notifications: 10035
  // means the outcome comes later as a connect notification.
  virtual Status connect(SocketId socket, const Endpoint& remote) = 0;

  // Copies at most buffer.size() bytes; with `peek` they stay queued.
  virtual Result<std::size_t> receive(SocketId socket, std::span<std::uint8_t> buffer, bool peek) = 0;
  virtual Result<std::size_t> send(SocketId socket, std::span<const std::uint8_t> bytes) = 0;
  virtual Result<std::size_t> sendTo(SocketId socket, std::span<const std::uint8_t> bytes, const Endpoint& remote) = 0;
  virtual Result<ReceivedDatagram> receiveFrom(SocketId socket, std::span<std::uint8_t> buffer, bool peek) = 0;

  virtual Result<std::int32_t> getOption(SocketId socket, SocketOption option) = 0;
  virtual Status enableBroadcast(SocketId socket) = 0;
  virtual Result<Endpoint> peerEndpoint(SocketId socket) = 0;  // getpeername

  // A blocking look-up of a host name: its first IPv4 address.
  virtual Result<Ipv4Address> lookupHost(const std::string& host) = 0;
  // A dotted IPv4 address ("10.0.0.7"); nothing when the text is not one.
  [[nodiscard]] virtual std::optional<Ipv4Address> parseDotted(const std::string& text) const = 0;

  // WSAAsyncSelect: post `message` to `window` for the given notification
  // kinds; also makes the socket non-blocking.
  virtual Status asyncSelect(SocketId socket, WindowId window, std::uint32_t message, std::uint32_t notifications) = 0;

  // WSAAsyncGetHostByName: the handle is 0 when the lookup did not start.
  virtual Result<LookupId> startHostLookup(WindowId window, std::uint32_t message, const std::string& host) = 0;
  [[nodiscard]] virtual std::optional<Ipv4Address> lookupResult(LookupId lookup) const = 0;
  virtual Status cancelHostLookup(LookupId lookup) = 0;
  virtual void releaseLookup(LookupId lookup) = 0;

  // The hidden window the notifications are posted to; 0 when none could
  // be made. Destroying fails (false) when the platform refuses.
  virtual WindowId createMessageWindow() = 0;
  virtual bool destroyMessageWindow(WindowId window) = 0;
  // Makes `target` the window's procedure, remembering the previous one;
  // restore puts the previous one back. The target must outlive its
  // installation.
  virtual void installWindowProcedure(WindowId window, MessageTarget& target) = 0;
  virtual void restoreWindowProcedure(WindowId window) = 0;
  virtual std::intptr_t callPreviousProcedure(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam) = 0;
};

}  // namespace pondex
