#include "net/socket_master.h"

#include <utility>

#include "net/csocket_master.h"

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
  return SocketResult::failure(code, SocketErrorText(code), source);
}

}  // namespace

std::string SocketErrorText(std::int32_t code) {
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

std::intptr_t makeLParam(std::uint16_t low, std::uint16_t high) {
  return static_cast<std::intptr_t>((static_cast<std::uintptr_t>(high) << 16) | low);
}

SocketResultOf<std::int16_t> portToInteger(std::int32_t port) {
  if (port < 0 || port > 65535)
    return SocketResult::failure(kErrOverflow, "Overflow", "modSocketMaster.UnsignedToInteger");
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(port));
}

std::int32_t integerToPort(std::int16_t value) {
  return static_cast<std::uint16_t>(value);
}

modSocketMaster::modSocketMaster(SocketLibrary& library, MessageBoxes& messages)
    : library_(library), messages_(messages) {}

modSocketMaster::~modSocketMaster() {
  // Connections nobody accepted: their holders never close them.
  auto parked = std::move(parked_);
  parked_.clear();
  for (auto& [socket, holder] : parked) {
    (void)library_.closeSocket(socket);
    holder.reset();
  }
  if (window_ != 0) (void)DestroyWinsockMessageWindow();
  if (started_) (void)library_.cleanup();
}

SocketResult modSocketMaster::InitiateProcesses() {
  ++liveObjects_;
  if (started_) return {};
  const SocketCallStatus status = library_.startup();
  // A failed start is tried again by the next object.
  if (!status.ok()) return libraryFailure(status.error, "modSocketMaster.InitiateProcesses");
  started_ = true;
  return {};
}

SocketResult modSocketMaster::FinalizeProcesses() {
  if (liveObjects_ > 0) --liveObjects_;
  if (!started_ || liveObjects_ > 0) return {};
  // Sockets that were never deregistered must not keep a window whose
  // dispatcher is gone.
  sockets_.clear();
  if (window_ != 0) (void)DestroyWinsockMessageWindow();
  socketTable_.clear();
  lookupTable_.clear();
  started_ = false;
  const SocketCallStatus status = library_.cleanup();
  if (!status.ok()) return libraryFailure(status.error, "modSocketMaster.FinalizeProcesses");
  return {};
}

void modSocketMaster::enterSocket(SocketId socket, CSocketMaster& owner) {
  Slot<SocketId>* freeSlot = nullptr;
  for (auto& slot : socketTable_) {
    if (slot.handle == socket) return;
    if (freeSlot == nullptr && slot.handle == kFreeSocketSlot) freeSlot = &slot;
  }
  if (freeSlot != nullptr) {
    *freeSlot = {socket, &owner};
  } else {
    socketTable_.push_back({socket, &owner});
  }
}

void modSocketMaster::freeSocketSlot(SocketId socket) {
  for (auto& slot : socketTable_) {
    if (slot.handle == socket) slot = {kFreeSocketSlot, nullptr};
  }
}

SocketResult modSocketMaster::RegisterSocket(SocketId socket, CSocketMaster& owner, bool withEvents) {
  if (sockets_.empty()) {
    // A window whose destruction was refused is served again.
    if (window_ == 0) window_ = library_.createMessageWindow();
    if (window_ == 0) return SocketResult::failure(kErrOutOfMemory, kOutOfMemory, "modSocketMaster.RegisterSocket");
    if (!dispatcherInstalled_) {
      library_.installWindowProcedure(window_, *this);
      dispatcherInstalled_ = true;
    }
  }
  enterSocket(socket, owner);
  if (withEvents) {
    const SocketCallStatus status = library_.asyncSelect(socket, window_, kSocketMessage, kAllNotifications);
    if (!status.ok()) {
      freeSocketSlot(socket);
      if (sockets_.empty()) (void)DestroyWinsockMessageWindow();
      return libraryFailure(status.error, "modSocketMaster.RegisterSocket");
    }
  }
  sockets_[socket] = &owner;
  return {};
}

SocketResult modSocketMaster::DeregisterSocket(SocketId socket) {
  freeSocketSlot(socket);
  sockets_.erase(socket);
  if (sockets_.empty() && window_ != 0) return DestroyWinsockMessageWindow();
  return {};
}

SocketResult modSocketMaster::DestroyWinsockMessageWindow() {
  if (dispatcherInstalled_) {
    library_.restoreWindowProcedure(window_);
    dispatcherInstalled_ = false;
    socketTable_.clear();
    lookupTable_.clear();
  }
  if (window_ == 0) return {};
  if (!library_.destroyMessageWindow(window_)) {
    return SocketResult::failure(kErrOutOfMemory, kOutOfMemory, "modSocketMaster.DestroyWinsockMessageWindow");
  }
  window_ = 0;
  return {};
}

bool modSocketMaster::HasSocket(SocketId socket) const {
  return sockets_.count(socket) > 0;
}

bool modSocketMaster::RoutesTo(SocketId socket, const CSocketMaster& owner) const {
  auto it = sockets_.find(socket);
  return it != sockets_.end() && it->second == &owner;
}

void modSocketMaster::ChangeSocketOwner(SocketId socket, CSocketMaster& owner) {
  for (auto& slot : socketTable_) {
    if (slot.handle == socket) slot.owner = &owner;
  }
  auto it = sockets_.find(socket);
  if (it != sockets_.end()) it->second = &owner;
}

SocketCallResult<LookupId> modSocketMaster::StartLookup(const std::string& host, CSocketMaster& owner) {
  SocketCallResult<LookupId> started = library_.startHostLookup(window_, kLookupMessage, host);
  if (started.value == 0) return started;
  for (auto& slot : lookupTable_) {
    if (slot.handle == kFreeLookupSlot) {
      slot = {started.value, &owner};
      return started;
    }
  }
  lookupTable_.push_back({started.value, &owner});
  return started;
}

void modSocketMaster::DeregisterLookup(LookupId lookup) {
  for (auto& slot : lookupTable_) {
    if (slot.handle == lookup) slot = {kFreeLookupSlot, nullptr};
  }
}

SocketResult modSocketMaster::ParkAccepted(SocketId socket) {
  auto holder = std::make_unique<CSocketMaster>(*this);
  SocketResult taken = holder->Accept(socket);
  if (!taken.ok()) return taken;
  parked_[socket] = std::move(holder);
  return {};
}

bool modSocketMaster::IsParked(SocketId socket) const {
  return parked_.count(socket) > 0;
}

CSocketMaster* modSocketMaster::TakeParked(SocketId socket) const {
  auto it = parked_.find(socket);
  return it == parked_.end() ? nullptr : it->second.get();
}

void modSocketMaster::ForgetParked(SocketId socket) {
  auto it = parked_.find(socket);
  if (it == parked_.end()) return;
  // Out of the registry first: the holder's release may call back here.
  std::unique_ptr<CSocketMaster> holder = std::move(it->second);
  parked_.erase(it);
  holder.reset();
}

std::intptr_t modSocketMaster::windowProcedure(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                               std::intptr_t lParam) {
  // The owner is called last: it may change the tables or release itself.
  if (message == kLookupMessage) {
    for (const auto& slot : lookupTable_) {
      if (slot.handle == wParam) return slot.owner->WndProc(window, message, wParam, lParam);
    }
  } else if (message == kSocketMessage) {
    const auto socket = static_cast<SocketId>(wParam);
    for (const auto& slot : socketTable_) {
      if (slot.handle == socket) return slot.owner->WndProc(window, message, wParam, lParam);
    }
  }
  return library_.callPreviousProcedure(window, message, wParam, lParam);
}

}  // namespace pondex
