#include "net/socket_service.h"

#include <algorithm>
#include <utility>

#include "net/socket_connection.h"

namespace pondex {

namespace {

struct ErrorText {
  std::int32_t code;
  const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {10004, "Interrupted function call."},
    {10013, "Permission denied."},
    {10014, "Bad address."},
    {10022, "Invalid argument."},
    {10024, "Too many open files."},
    {10035, "Resource temporarily unavailable."},
    {10036, "Operation now in progress."},
    {10037, "Operation already in progress."},
    {10038, "Socket operation on nonsocket."},
    {10039, "Destination address required."},
    {10040, "Message too long."},
    {10041, "Protocol wrong type for socket."},
    {10042, "Bad protocol option."},
    {10043, "Protocol not supported."},
    {10044, "Socket type not supported."},
    {10045, "Operation not supported."},
    {10046, "Protocol family not supported."},
    {10047, "Address family not supported by protocol family."},
    {10048, "Address already in use."},
    {10049, "Cannot assign requested address."},
    {10050, "Network is down."},
    {10051, "Network is unreachable."},
    {10052, "Network dropped connection on reset."},
    {10053, "Software caused connection abort."},
    {10054, "Connection reset by peer."},
    {10055, "No buffer space available."},
    {10056, "Socket is already connected."},
    {10057, "Socket is not connected."},
    {10058, "Cannot send after socket shutdown."},
    {10060, "Connection timed out."},
    {10061, "Connection refused."},
    {10065, "No route to host."},
    {10067, "Too many processes."},
    {10091, "Network subsystem is unavailable."},
    {10092, "Winsock.dll version out of range."},
    {10093, "Successful WSAStartup not yet performed."},
    {11001, "Host not found."},
    {11002, "Nonauthoritative host not found."},
    {11003, "This is a nonrecoverable error."},
    {11004, "Valid name, no data record of requested type."},
};

constexpr const char* kOutOfMemory = "Out of memory";

SocketResult libraryFailure(int code, const char* source) {
  return SocketResult::failure(code, socketErrorText(code), source);
}

}  // namespace

std::string socketErrorText(std::int32_t code) {
  for (const auto& entry : kErrorTexts) {
    if (entry.code == code) return entry.text;
  }
  return "Unknown error.";
}

std::uint16_t hiWord(std::intptr_t value) {
  return static_cast<std::uint16_t>((static_cast<std::uintptr_t>(value) >> 16) & 0xFFFFu);
}

std::uint16_t loWord(std::intptr_t value) {
  return static_cast<std::uint16_t>(static_cast<std::uintptr_t>(value) & 0xFFFFu);
}

SocketService::SocketService(SocketLibrary& library, MessageBoxes& messages) : library_(library), messages_(messages) {}

SocketService::~SocketService() {
  // Connections nobody accepted: their holders never close them.
  std::vector<std::pair<SocketId, std::unique_ptr<SocketConnection>>> parked;
  for (auto& [handle, registration] : registry_) {
    if (registration.parked) parked.emplace_back(static_cast<SocketId>(handle.value), std::move(registration.parked));
  }
  for (auto& [socket, holder] : parked) {
    (void)library_.closeSocket(socket);
    holder.reset();
  }
  if (window_ != 0) (void)destroyMessageWindow();
  if (started_) (void)library_.cleanup();
}

std::optional<SocketService::Handle> SocketService::handleOf(std::uint32_t message, std::uintptr_t wParam) {
  if (message == kLookupMessage) return Handle{HandleKind::Lookup, wParam};
  if (message == kSocketMessage) return Handle{HandleKind::Socket, wParam};
  return std::nullopt;  // not a notification
}

bool SocketService::anySocketRegistered() const {
  // Socket entries sort before lookup entries.
  return !registry_.empty() && registry_.begin()->first.kind == HandleKind::Socket;
}

SocketService::Registration* SocketService::find(Handle handle) {
  auto it = registry_.find(handle);
  return it == registry_.end() ? nullptr : &it->second;
}

const SocketService::Registration* SocketService::find(Handle handle) const {
  auto it = registry_.find(handle);
  return it == registry_.end() ? nullptr : &it->second;
}

SocketResult SocketService::objectCreated() {
  ++liveObjects_;
  if (started_) return {};
  const Status status = library_.startup();
  // A failed start is tried again by the next object.
  if (!status.ok()) return libraryFailure(status.error, "modSocketMaster.InitiateProcesses");
  started_ = true;
  return {};
}

SocketResult SocketService::objectDestroyed() {
  if (liveObjects_ > 0) --liveObjects_;
  if (!started_ || liveObjects_ > 0) return {};
  // Sockets that were never deregistered must not keep a window whose
  // dispatcher is gone.
  registry_.clear();
  held_.clear();
  if (window_ != 0) (void)destroyMessageWindow();
  started_ = false;
  const Status status = library_.cleanup();
  if (!status.ok()) return libraryFailure(status.error, "modSocketMaster.FinalizeProcesses");
  return {};
}

SocketResult SocketService::registerSocket(SocketId socket, SocketConnection& owner, bool withEvents) {
  if (!anySocketRegistered()) {
    // A window whose destruction was refused is served again.
    if (window_ == 0) window_ = library_.createMessageWindow();
    if (window_ == 0) return SocketResult::failure(kErrOutOfMemory, kOutOfMemory, "modSocketMaster.RegisterSocket");
    if (!dispatcherInstalled_) {
      library_.installWindowProcedure(window_, *this);
      dispatcherInstalled_ = true;
    }
  }
  if (withEvents) {
    // Nothing is delivered before this call returns, so the socket may be
    // entered afterwards.
    const Status status = library_.asyncSelect(socket, window_, kSocketMessage, kAllNotifications);
    if (!status.ok()) {
      if (!anySocketRegistered()) (void)destroyMessageWindow();
      return libraryFailure(status.error, "modSocketMaster.RegisterSocket");
    }
  }
  registry_[socketHandle(socket)].owner = &owner;
  return {};
}

SocketResult SocketService::deregisterSocket(SocketId socket) {
  registry_.erase(socketHandle(socket));
  if (!anySocketRegistered() && window_ != 0) return destroyMessageWindow();
  return {};
}

SocketResult SocketService::destroyMessageWindow() {
  if (dispatcherInstalled_) {
    library_.restoreWindowProcedure(window_);
    dispatcherInstalled_ = false;
    // Lookups still running report to this window: their completions are
    // lost with it.
    std::erase_if(registry_, [](const auto& entry) { return entry.first.kind == HandleKind::Lookup; });
  }
  if (window_ == 0) return {};
  if (!library_.destroyMessageWindow(window_)) {
    return SocketResult::failure(kErrOutOfMemory, kOutOfMemory, "modSocketMaster.DestroyWinsockMessageWindow");
  }
  window_ = 0;
  return {};
}

bool SocketService::hasSocket(SocketId socket) const {
  return find(socketHandle(socket)) != nullptr;
}

bool SocketService::routesTo(SocketId socket, const SocketConnection& owner) const {
  const Registration* registration = find(socketHandle(socket));
  return registration != nullptr && registration->owner == &owner;
}

void SocketService::changeSocketOwner(SocketId socket, SocketConnection& owner) {
  if (Registration* registration = find(socketHandle(socket))) registration->owner = &owner;
}

Result<LookupId> SocketService::startLookup(const std::string& host, SocketConnection& owner) {
  Result<LookupId> started = library_.startHostLookup(window_, kLookupMessage, host);
  if (started.value != 0) registry_[{HandleKind::Lookup, started.value}].owner = &owner;
  return started;
}

void SocketService::deregisterLookup(LookupId lookup) {
  registry_.erase({HandleKind::Lookup, lookup});
}

SocketResult SocketService::parkAccepted(SocketId socket) {
  auto holder = std::make_unique<SocketConnection>(*this);
  SocketResult taken = holder->accept(socket);
  if (!taken.ok()) return taken;
  // The holder's accept() registered the socket to the holder.
  find(socketHandle(socket))->parked = std::move(holder);
  return {};
}

bool SocketService::isParked(SocketId socket) const {
  const Registration* registration = find(socketHandle(socket));
  return registration != nullptr && registration->parked != nullptr;
}

SocketConnection* SocketService::takeParked(SocketId socket) const {
  const Registration* registration = find(socketHandle(socket));
  return registration == nullptr ? nullptr : registration->parked.get();
}

void SocketService::forgetParked(SocketId socket) {
  Registration* registration = find(socketHandle(socket));
  if (registration == nullptr || !registration->parked) return;
  // Taken out of the entry first: the holder's release deregisters the
  // socket when it still owns it, which erases the entry.
  std::unique_ptr<SocketConnection> holder = std::move(registration->parked);
  holder.reset();
}

std::intptr_t SocketService::windowProcedure(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                             std::intptr_t lParam) {
  const Notification notification{window, message, wParam, lParam};
  const std::optional<Handle> notified = handleOf(message, wParam);
  if (!notified) return route(notification);
  const Handle handle = *notified;
  // A handler of this handle is running and yielded to the event loop:
  // handling this inside it would nest one level per arrival.
  if (std::find(busy_.begin(), busy_.end(), handle) != busy_.end()) {
    held_.emplace_back(handle, notification);
    return 0;
  }

  busy_.push_back(handle);
  struct Release {
    std::vector<Handle>& busy;
    Handle handle;
    ~Release() { std::erase(busy, handle); }
  } release{busy_, handle};

  const std::intptr_t result = route(notification);
  // What arrived meanwhile, in order; more may arrive while it is handled.
  for (auto it = held_.begin(); it != held_.end();) {
    if (it->first != handle) {
      ++it;
      continue;
    }
    const Notification next = it->second;
    held_.erase(it);
    (void)route(next);
    it = held_.begin();
  }
  return result;
}

std::intptr_t SocketService::route(const Notification& n) {
  // The owner is called last: it may change the registry or release itself.
  if (const std::optional<Handle> handle = handleOf(n.message, n.wParam)) {
    if (const Registration* registration = find(*handle)) {
      return registration->owner->onNotification(n.window, n.message, n.wParam, n.lParam);
    }
  }
  return library_.callPreviousProcedure(n.window, n.message, n.wParam, n.lParam);
}

}  // namespace pondex
