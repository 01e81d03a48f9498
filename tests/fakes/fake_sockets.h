#pragma once
// A socket library in virtual time. Nothing happens on the network by
// itself: a test scripts the far side (connect outcomes, bytes and
// datagrams the peer sends, the peer's close, room in the send path, host
// names) and runs the FakeEventLoop, which delivers the notifications the
// library posted, in order, to the message windows' procedures.
//
// Notifications follow Winsock's rules where tests depend on them: a read
// notification is posted when data arrive and none is outstanding, and again
// after a receive that leaves data queued; a write notification follows a
// completed connect and a send refused with 10035 once room returns; a
// message posted before its socket closed is still delivered.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sockets.h"
#include "tests/fakes/fake_event_loop.h"

namespace pondex::fakes {

class FakeSocketLibrary final : public SocketLibrary {
 public:
  struct Datagram {
    std::string bytes;
    Endpoint peer;  // sender (incoming) or destination (sent)
  };

  struct Socket {
    SocketProtocol protocol = SocketProtocol::Tcp;
    bool open = true;
    std::optional<Endpoint> local;
    std::optional<Endpoint> peer;
    bool connected = false;
    bool connecting = false;
    bool listening = false;
    bool broadcast = false;
    bool peerClosed = false;
    WindowId window = 0;
    std::uint32_t message = 0;
    std::uint32_t notifications = 0;
    bool readPending = false;
    bool writeBlocked = false;
    std::string incoming;  // bytes from the peer, not yet received
    std::string wire;      // bytes the peer got from us, in order
    std::deque<Datagram> datagrams;
    std::vector<Datagram> sentDatagrams;
    std::deque<AcceptedConnection> backlog;
    std::size_t room = 0;  // bytes the stack takes before answering 10035
    std::int32_t receiveBufferSize = 0;
    std::int32_t sendBufferSize = 0;
    std::int32_t maxDatagramSize = 0;
  };

  // How a connect to one endpoint goes: an error answered at once (10049),
  // or an outcome delivered later with the connect notification (0 or 10061).
  struct ConnectPlan {
    int immediateError = 0;
    int notifiedError = 0;
    bool neverCompletes = false;
  };

  explicit FakeSocketLibrary(FakeEventLoop& loop) : loop_(loop) {}

  // ---- the far side ----
  void planConnect(const Endpoint& remote, ConnectPlan plan) { plans_.push_back({remote, plan}); }
  void peerSends(SocketId socket, const std::string& bytes);
  void peerSendsDatagram(SocketId socket, const std::string& bytes, const Endpoint& from);
  void peerCloses(SocketId socket, int error = 0);
  // The peer takes everything sent so far; the send path has room again.
  void peerDrains(SocketId socket);
  void incomingConnection(SocketId listener, const Endpoint& from);
  // Posts any notification, as the stack would.
  void notify(SocketId socket, std::uint16_t kind, int error);
  void addHost(const std::string& name, const Ipv4Address& address) { hosts_[name] = address; }
  // With lookups held, completions wait for completeLookups().
  void completeLookups();
  // Hands a message to a window now, as the system would.
  void deliverMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  // ---- settings for sockets made from now on, and failures to inject ----
  std::int32_t receiveBufferSize = 8192;
  std::int32_t sendBufferSize = 8192;
  std::int32_t maxDatagramSize = 65507;
  std::size_t sendRoom = 1 << 20;
  Ipv4Address localAddress{{192, 168, 1, 10}};
  std::string localHostName = "WAGA-PC";
  int startupError = 0;
  int cleanupError = 0;
  int createError = 0;
  int closeError = 0;
  int asyncSelectError = 0;
  int optionError = 0;
  int sendError = 0;
  int receiveError = 0;
  int lookupStartError = 0;  // the lookup does not start at all
  bool holdLookups = false;
  bool lookupsCancellable = true;
  bool windowCreationFails = false;
  bool windowDestructionRefused = false;

  // ---- what happened ----
  [[nodiscard]] Socket& socket(SocketId id) { return sockets_.at(id); }
  [[nodiscard]] const Socket& socket(SocketId id) const { return sockets_.at(id); }
  [[nodiscard]] SocketId lastSocket() const { return lastSocket_; }
  [[nodiscard]] int openSockets() const;
  [[nodiscard]] int liveLookups() const { return static_cast<int>(lookups_.size()); }
  [[nodiscard]] LookupId lastLookup() const { return lastLookup_; }
  [[nodiscard]] bool windowExists(WindowId window) const { return windows_.count(window) > 0; }
  [[nodiscard]] int windowCount() const { return static_cast<int>(windows_.size()); }
  int startups = 0;
  int cleanups = 0;
  int windowsCreated = 0;
  int windowsDestroyed = 0;
  int passedToPrevious = 0;   // messages the dispatcher did not take
  int lostNotifications = 0;  // posted to a window that is gone
  std::vector<Endpoint> connectAttempts;

  // ---- SocketLibrary ----
  SocketCallStatus startup() override;
  SocketCallStatus cleanup() override;
  SocketCallResult<SocketId> createSocket(SocketProtocol protocol) override;
  SocketCallStatus closeSocket(SocketId socket) override;
  SocketCallStatus bind(SocketId socket, const Endpoint& local) override;
  SocketCallStatus listen(SocketId socket, int backlog) override;
  SocketCallResult<AcceptedConnection> accept(SocketId socket) override;
  SocketCallStatus connect(SocketId socket, const Endpoint& remote) override;
  SocketCallResult<std::size_t> receive(SocketId socket, std::span<std::uint8_t> buffer, bool peek) override;
  SocketCallResult<std::size_t> send(SocketId socket, std::span<const std::uint8_t> bytes) override;
  SocketCallResult<std::size_t> sendTo(SocketId socket, std::span<const std::uint8_t> bytes,
                                       const Endpoint& remote) override;
  SocketCallResult<ReceivedDatagram> receiveFrom(SocketId socket, std::span<std::uint8_t> buffer, bool peek) override;
  SocketCallResult<std::int32_t> getOption(SocketId socket, SocketOption option) override;
  SocketCallStatus enableBroadcast(SocketId socket) override;
  SocketCallResult<Endpoint> localEndpoint(SocketId socket) override;
  SocketCallResult<Endpoint> peerEndpoint(SocketId socket) override;
  SocketCallResult<std::string> hostName() override;
  SocketCallResult<Ipv4Address> lookupHost(const std::string& host) override;
  [[nodiscard]] std::optional<Ipv4Address> parseDotted(const std::string& text) const override;
  SocketCallStatus asyncSelect(SocketId socket, WindowId window, std::uint32_t message,
                               std::uint32_t notifications) override;
  SocketCallResult<LookupId> startHostLookup(WindowId window, std::uint32_t message, const std::string& host) override;
  [[nodiscard]] std::optional<Ipv4Address> lookupResult(LookupId lookup) const override;
  SocketCallStatus cancelHostLookup(LookupId lookup) override;
  void releaseLookup(LookupId lookup) override;
  WindowId createMessageWindow() override;
  bool destroyMessageWindow(WindowId window) override;
  void installWindowProcedure(WindowId window, MessageTarget& target) override;
  void restoreWindowProcedure(WindowId window) override;
  std::intptr_t callPreviousProcedure(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) override;

 private:
  struct Lookup {
    std::string host;
    WindowId window = 0;
    std::uint32_t message = 0;
    bool completed = false;
    bool cancelled = false;
    std::optional<Ipv4Address> address;
  };

  Socket* find(SocketId id);
  void post(SocketId socket, std::uint16_t kind, int error);
  void postLookup(LookupId lookup);
  std::uint16_t ephemeralPort() { return nextPort_++; }

  FakeEventLoop& loop_;
  std::map<SocketId, Socket> sockets_;
  std::vector<std::pair<Endpoint, ConnectPlan>> plans_;
  std::map<std::string, Ipv4Address> hosts_;
  std::map<LookupId, Lookup> lookups_;
  std::vector<LookupId> heldLookups_;
  std::map<WindowId, MessageTarget*> windows_;  // null target: the window's own procedure
  SocketId nextSocket_ = 0x100;
  SocketId lastSocket_ = kNoSocket;
  LookupId nextLookup_ = 0x5001;
  LookupId lastLookup_ = 0;
  WindowId nextWindow_ = 0x20000;
  std::uint16_t nextPort_ = 50000;
  bool started_ = false;
};

}  // namespace pondex::fakes
