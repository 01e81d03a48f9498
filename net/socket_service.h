#pragma once
// SocketService: the service behind every socket object (SocketConnection).
//
// - It starts the platform's socket library when the first socket object is
//   made and stops it when the last one goes (objectCreated and
//   objectDestroyed, called by the objects themselves).
// - It owns the hidden message window that the library posts notifications
//   to: the window exists from the first registerSocket until the socket
//   registry is empty again, and is made anew at the next registration.
// - It routes each notification to the object registered for its socket or
//   lookup handle, in one registry; a message for an unknown or freed handle
//   goes to the window's previous procedure, so a late notification has no
//   effect. What the object returns is handed back unchanged.
// - Notifications of one socket (or lookup) never nest: one that arrives
//   while a handler of the same handle runs (the handler yielded to the event
//   loop) is held and delivered, in order, when that handler returns.
//   Notifications of other handles are still delivered at once.
// - It parks incoming connections in temporary objects until an accept().
//
// Its errors name their source as "modSocketMaster.<procedure>"; the
// procedure of objectCreated is "InitiateProcesses", that of
// objectDestroyed "FinalizeProcesses".
//
// One instance per process, made by the program's owner of the platform; it
// must outlive every SocketConnection given to it. User-interface thread only.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/sockets.h"

namespace pondex {

class SocketConnection;

// An error handed back to the caller of a member: number, text and the
// procedure it came from ("CSocketMaster.Connect").
struct SocketError {
  std::int32_t number = 0;
  std::string description;
  std::string source;
  friend bool operator==(const SocketError&, const SocketError&) = default;
};

class [[nodiscard]] SocketResult {
 public:
  SocketResult() = default;  // success
  static SocketResult failure(std::int32_t number, std::string description, std::string source) {
    SocketResult r;
    r.error_ = SocketError{number, std::move(description), std::move(source)};
    return r;
  }
  [[nodiscard]] bool ok() const { return !error_.has_value(); }
  // Only when !ok().
  [[nodiscard]] const SocketError& error() const { return *error_; }
  [[nodiscard]] std::int32_t number() const { return error_ ? error_->number : 0; }

 private:
  std::optional<SocketError> error_;
};

// A value, or the error that stands in for it.
template <typename T>
class [[nodiscard]] SocketResultOf {
 public:
  SocketResultOf(T value) : value_(std::move(value)) {}                // NOLINT: a value is a success
  SocketResultOf(SocketResult failed) : status_(std::move(failed)) {}  // NOLINT
  [[nodiscard]] bool ok() const { return status_.ok(); }
  [[nodiscard]] const T& value() const { return value_; }
  [[nodiscard]] const SocketResult& status() const { return status_; }

 private:
  T value_{};
  SocketResult status_;
};

inline constexpr std::int32_t kErrOutOfMemory = 7;

// The text of a socket error number; "Unknown error." for any other number.
std::string socketErrorText(std::int32_t code);

// The two 16-bit halves of a message parameter, both unsigned.
std::uint16_t hiWord(std::intptr_t value);
std::uint16_t loWord(std::intptr_t value);

class SocketService final : private MessageTarget {
 public:
  SocketService(SocketLibrary& library, MessageBoxes& messages);
  SocketService(const SocketService&) = delete;
  SocketService& operator=(const SocketService&) = delete;
  ~SocketService() override;

  [[nodiscard]] SocketLibrary& library() { return library_; }
  [[nodiscard]] MessageBoxes& messages() { return messages_; }

  // Counted by live socket objects; the first starts the library (version
  // 1.1), the last stops it.
  SocketResult objectCreated();
  SocketResult objectDestroyed();

  // Routes `socket` to `owner`; with events, asks for every notification
  // kind on it (which also makes it non-blocking).
  SocketResult registerSocket(SocketId socket, SocketConnection& owner, bool withEvents);
  SocketResult deregisterSocket(SocketId socket);
  [[nodiscard]] bool hasSocket(SocketId socket) const;
  // Whether notifications of `socket` go to `owner`.
  [[nodiscard]] bool routesTo(SocketId socket, const SocketConnection& owner) const;
  void changeSocketOwner(SocketId socket, SocketConnection& owner);

  // Starts an asynchronous lookup of `host` for `owner`; the handle is 0
  // (with the library's error) when it did not start.
  Result<LookupId> startLookup(const std::string& host, SocketConnection& owner);
  void deregisterLookup(LookupId lookup);

  // Incoming connections waiting for an accept(), each held by a temporary
  // object made here.
  SocketResult parkAccepted(SocketId socket);
  [[nodiscard]] bool isParked(SocketId socket) const;
  [[nodiscard]] SocketConnection* takeParked(SocketId socket) const;
  void forgetParked(SocketId socket);

  SocketResult destroyMessageWindow();

 private:
  // Socket and lookup handles are numbers of their own: the same value may
  // stand for both.
  enum class HandleKind : std::uint8_t { Socket, Lookup };
  struct Handle {
    HandleKind kind;
    std::uintptr_t value;
    // NOLINTNEXTLINE(modernize-use-nullptr): clang-tidy 14 flags the 0 of the defaulted comparison's own code
    friend auto operator<=>(const Handle&, const Handle&) = default;
  };
  struct Registration {
    SocketConnection* owner = nullptr;
    // Set while the socket is an incoming connection that the service holds
    // for an accept(); until the accept() takes it over, `owner` is this holder.
    std::unique_ptr<SocketConnection> parked;
  };
  struct Notification {
    WindowId window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };

  static Handle socketHandle(SocketId socket) { return {HandleKind::Socket, static_cast<std::uintptr_t>(socket)}; }
  // The handle a notification message is about; nothing for other messages.
  static std::optional<Handle> handleOf(std::uint32_t message, std::uintptr_t wParam);
  [[nodiscard]] bool anySocketRegistered() const;
  Registration* find(Handle handle);
  [[nodiscard]] const Registration* find(Handle handle) const;

  // The dispatcher.
  std::intptr_t windowProcedure(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
  std::intptr_t route(const Notification& notification);

  SocketLibrary& library_;
  MessageBoxes& messages_;
  int liveObjects_ = 0;
  bool started_ = false;
  WindowId window_ = 0;
  bool dispatcherInstalled_ = false;
  std::map<Handle, Registration> registry_;
  // Handles whose handler is running, and what arrived for them meanwhile.
  std::vector<Handle> busy_;
  std::deque<std::pair<Handle, Notification>> held_;
};

}  // namespace pondex
