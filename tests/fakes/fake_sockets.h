#pragma once
// A socket library in virtual time. Nothing happens on the network by
// itself: a test scripts the far side (connect outcomes, bytes, datagrams
// and connections the peer sends, the peer's close, room in the send path,
// host names) and runs the FakeEventLoop, which delivers the notifications
// the library posted, in order, to the message windows' procedures.
//
// Notifications follow Winsock's rules where tests depend on them: a read
// notification is posted when data arrive and none is outstanding, and again
// after a receive that leaves data queued; a write notification follows a
// completed connect, and a send refused with 10035 once room returns; a
// message posted before its socket closed is still delivered, and one for a
// window that is gone is lost.
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
  static constexpr std::size_t kAmpleRoom = std::size_t{1} << 20;

  struct Datagram {
    std::string bytes;
    Endpoint peer;  // sender (incoming) or destination (sent)
    friend bool operator==(const Datagram&, const Datagram&) = default;
  };

  struct Socket {
    SocketProtocol protocol = SocketProtocol::Tcp;
    bool open = true;
    std::optional<Endpoint> local;
    std::optional<Endpoint> peer;
    bool connected = false;
    bool peerClosed = false;
    WindowId window = 0;
    std::uint32_t message = 0;
    std::uint32_t notifications = 0;
    bool readPending = false;
    bool writeBlocked = false;
    std::size_t room = kAmpleRoom;  // bytes the stack takes before answering 10035
    std::string incoming;           // bytes from the peer, not yet received
    std::string wire;               // bytes the peer got from us, in order
    std::deque<Datagram> datagrams;
    std::vector<Datagram> sentDatagrams;
    std::deque<AcceptedConnection> backlog;
  };

  // How a connect to one endpoint goes: an error answered at once (10049),
  // or an outcome delivered later with the connect notification (0, 10061).
  struct ConnectPlan {
    int immediateError = 0;
    int notifiedError = 0;
  };

  explicit FakeSocketLibrary(FakeEventLoop& loop) : loop_(loop) {}

  // ---- the far side ----
  void planConnect(const Endpoint& remote, ConnectPlan plan) { plans_.push_back({remote, plan}); }  // last one wins
  void addHost(const std::string& name, const Ipv4Address& address) { hosts_[name] = address; }
  void peerSends(SocketId socket, const std::string& bytes);
  void peerSendsDatagram(SocketId socket, const std::string& bytes, const Endpoint& from);
  void peerCloses(SocketId socket);
  // The peer took everything: the send path has ample room again.
  void peerDrains(SocketId socket);
  void incomingConnection(SocketId listener, const Endpoint& from);

  // ---- settings and failures ----
  std::int32_t receiveBufferSize = 8192;  // reported for every socket (SO_RCVBUF)
  int createError = 0;
  bool lookupsCancellable = true;  // false: as if each had already completed

  // ---- what happened ----
  [[nodiscard]] Socket& socket(SocketId id) { return sockets_.at(id); }
  [[nodiscard]] int openSockets() const;
  // The open socket that is connected to its peer, if any.
  [[nodiscard]] std::optional<SocketId> connectedSocket() const;
  [[nodiscard]] int liveLookups() const { return static_cast<int>(lookups_.size()); }
  int startups = 0;
  int cleanups = 0;
  int passedToPrevious = 0;  // messages the dispatcher did not take
  std::vector<Endpoint> connectAttempts;

  // ---- SocketLibrary ----
  Status startup() override;
  Status cleanup() override;
  Result<SocketId> createSocket(SocketProtocol protocol) override;
  Status closeSocket(SocketId socket) override;
  Status bind(SocketId socket, const Endpoint& local) override;
  Status listen(SocketId socket, int backlog) override;
  Result<AcceptedConnection> accept(SocketId socket) override;
  Status connect(SocketId socket, const Endpoint& remote) override;
  Result<std::size_t> receive(SocketId socket, std::span<std::uint8_t> buffer, bool peek) override;
  Result<std::size_t> send(SocketId socket, std::span<const std::uint8_t> bytes) override;
  Result<std::size_t> sendTo(SocketId socket, std::span<const std::uint8_t> bytes, const Endpoint& remote) override;
  Result<ReceivedDatagram> receiveFrom(SocketId socket, std::span<std::uint8_t> buffer, bool peek) override;
  Result<std::int32_t> getOption(SocketId socket, SocketOption option) override;
  Status enableBroadcast(SocketId socket) override;
  Result<Endpoint> peerEndpoint(SocketId socket) override;
  Result<Ipv4Address> lookupHost(const std::string& host) override;
  [[nodiscard]] std::optional<Ipv4Address> parseDotted(const std::string& text) const override;
  Status asyncSelect(SocketId socket, WindowId window, std::uint32_t message, std::uint32_t notifications) override;
  Result<LookupId> startHostLookup(WindowId window, std::uint32_t message, const std::string& host) override;
  [[nodiscard]] std::optional<Ipv4Address> lookupResult(LookupId lookup) const override;
  Status cancelHostLookup(LookupId lookup) override;
  void releaseLookup(LookupId lookup) override;
  WindowId createMessageWindow() override;
  bool destroyMessageWindow(WindowId window) override;
  void installWindowProcedure(WindowId window, MessageTarget& target) override;
  void restoreWindowProcedure(WindowId window) override;
  std::intptr_t callPreviousProcedure(WindowId, std::uint32_t, std::uintptr_t, std::intptr_t) override {
    ++passedToPrevious;
    return 0;
  }

 private:
  struct Lookup {
    bool completed = false;
    bool cancelled = false;
    std::optional<Ipv4Address> address;
  };

  Socket* find(SocketId id);
  SocketId add(Socket s);
  void post(SocketId socket, std::uint16_t kind, int error);
  void deliver(WindowId window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  // Posts a read notification unless one is outstanding.
  void announceRead(SocketId socket, Socket& s);

  FakeEventLoop& loop_;
  std::map<SocketId, Socket> sockets_;
  std::vector<std::pair<Endpoint, ConnectPlan>> plans_;
  std::map<std::string, Ipv4Address> hosts_;
  std::map<LookupId, Lookup> lookups_;
  std::map<WindowId, MessageTarget*> windows_;  // null target: the window's own procedure
  SocketId nextSocket_ = 0x100;
  LookupId nextLookup_ = 0x5001;
  WindowId nextWindow_ = 0x20000;
  std::uint16_t nextPort_ = 50000;
  bool started_ = false;
};

}  // namespace pondex::fakes
