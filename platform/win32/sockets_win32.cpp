#include "platform/win32/sockets_win32.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/win32/window_class.h"

namespace pondex::win32 {

namespace {

SOCKET toSocket(SocketId socket) {
  return static_cast<SOCKET>(socket);
}
HWND toWindow(WindowId window) {
  return reinterpret_cast<HWND>(window);
}
HANDLE toHandle(LookupId lookup) {
  return reinterpret_cast<HANDLE>(lookup);
}

int socketError() {
  return ::WSAGetLastError();
}

// Winsock lengths are int; our buffers are never larger than that.
int lengthOf(std::size_t size) {
  return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
}

sockaddr_in toAddress(const Endpoint& endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(endpoint.port);
  std::memcpy(&address.sin_addr, endpoint.address.octets.data(), 4);
  return address;
}

Endpoint fromAddress(const sockaddr_in& address) {
  Endpoint endpoint;
  std::memcpy(endpoint.address.octets.data(), &address.sin_addr, 4);
  endpoint.port = ::ntohs(address.sin_port);
  return endpoint;
}

std::optional<Ipv4Address> firstAddress(const hostent* entry) {
  if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_length != 4 || entry->h_addr_list == nullptr ||
      entry->h_addr_list[0] == nullptr) {
    return std::nullopt;
  }
  Ipv4Address address;
  std::memcpy(address.octets.data(), entry->h_addr_list[0], 4);
  return address;
}

Status statusOf(int result) {
  return {result == SOCKET_ERROR ? socketError() : 0};
}

}  // namespace

Win32SocketLibrary::Win32SocketLibrary() : instance_(::GetModuleHandleW(nullptr)) {}

Win32SocketLibrary::~Win32SocketLibrary() = default;

void Win32SocketLibrary::adopt(SOCKET socket) {
  sockets_[socket] = UniqueSocket(socket);
}

Status Win32SocketLibrary::startup() {
  WSADATA data{};
  return {::WSAStartup(MAKEWORD(1, 1), &data)};
}

Status Win32SocketLibrary::cleanup() {
  sockets_.clear();  // whatever is still open is closed first
  const Status status = statusOf(::WSACleanup());
  // Cleanup cancels the lookups still running: their buffers are free now.
  lookups_.clear();
  return status;
}

Result<SocketId> Win32SocketLibrary::createSocket(SocketProtocol protocol) {
  const SOCKET s = protocol == SocketProtocol::Tcp ? ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)
                                                   : ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return {kNoSocket, socketError()};
  adopt(s);
  return {static_cast<SocketId>(s), 0};
}

Status Win32SocketLibrary::closeSocket(SocketId socket) {
  const SOCKET s = toSocket(socket);
  auto it = sockets_.find(s);
  if (it != sockets_.end()) {
    (void)it->second.release();
    sockets_.erase(it);
  }
  return statusOf(::closesocket(s));
}

Status Win32SocketLibrary::bind(SocketId socket, const Endpoint& local) {
  const sockaddr_in address = toAddress(local);
  return statusOf(
      ::bind(toSocket(socket), reinterpret_cast<const sockaddr*>(&address), static_cast<int>(sizeof address)));
}

Status Win32SocketLibrary::listen(SocketId socket, int backlog) {
  return statusOf(::listen(toSocket(socket), backlog));
}

Result<AcceptedConnection> Win32SocketLibrary::accept(SocketId socket) {
  sockaddr_in peer{};
  int length = static_cast<int>(sizeof peer);
  const SOCKET s = ::accept(toSocket(socket), reinterpret_cast<sockaddr*>(&peer), &length);
  if (s == INVALID_SOCKET) return {{}, socketError()};
  adopt(s);
  return {{static_cast<SocketId>(s), fromAddress(peer)}, 0};
}

Status Win32SocketLibrary::connect(SocketId socket, const Endpoint& remote) {
  const sockaddr_in address = toAddress(remote);
  return statusOf(
      ::connect(toSocket(socket), reinterpret_cast<const sockaddr*>(&address), static_cast<int>(sizeof address)));
}

Result<std::size_t> Win32SocketLibrary::receive(SocketId socket, std::span<std::uint8_t> buffer, bool peek) {
  const int n =
      ::recv(toSocket(socket), reinterpret_cast<char*>(buffer.data()), lengthOf(buffer.size()), peek ? MSG_PEEK : 0);
  if (n == SOCKET_ERROR) return {0, socketError()};
  return {static_cast<std::size_t>(n), 0};
}

Result<std::size_t> Win32SocketLibrary::send(SocketId socket, std::span<const std::uint8_t> bytes) {
  const int n = ::send(toSocket(socket), reinterpret_cast<const char*>(bytes.data()), lengthOf(bytes.size()), 0);
  if (n == SOCKET_ERROR) return {0, socketError()};
  return {static_cast<std::size_t>(n), 0};
}

Result<std::size_t> Win32SocketLibrary::sendTo(SocketId socket, std::span<const std::uint8_t> bytes,
                                               const Endpoint& remote) {
  const sockaddr_in address = toAddress(remote);
  const int n = ::sendto(toSocket(socket), reinterpret_cast<const char*>(bytes.data()), lengthOf(bytes.size()), 0,
                         reinterpret_cast<const sockaddr*>(&address), static_cast<int>(sizeof address));
  if (n == SOCKET_ERROR) return {0, socketError()};
  return {static_cast<std::size_t>(n), 0};
}

Result<ReceivedDatagram> Win32SocketLibrary::receiveFrom(SocketId socket, std::span<std::uint8_t> buffer, bool peek) {
  sockaddr_in from{};
  int length = static_cast<int>(sizeof from);
  const int n = ::recvfrom(toSocket(socket), reinterpret_cast<char*>(buffer.data()), lengthOf(buffer.size()),
                           peek ? MSG_PEEK : 0, reinterpret_cast<sockaddr*>(&from), &length);
  if (n == SOCKET_ERROR) return {{}, socketError()};
  return {{static_cast<std::size_t>(n), fromAddress(from)}, 0};
}

Result<std::int32_t> Win32SocketLibrary::getOption(SocketId socket, SocketOption option) {
  int name = SO_RCVBUF;
  if (option == SocketOption::SendBufferSize) name = SO_SNDBUF;
  if (option == SocketOption::MaxDatagramSize) name = SO_MAX_MSG_SIZE;
  int value = 0;
  int length = static_cast<int>(sizeof value);
  if (::getsockopt(toSocket(socket), SOL_SOCKET, name, reinterpret_cast<char*>(&value), &length) == SOCKET_ERROR) {
    return {0, socketError()};
  }
  return {value, 0};
}

Status Win32SocketLibrary::enableBroadcast(SocketId socket) {
  const BOOL on = TRUE;
  return statusOf(::setsockopt(toSocket(socket), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                               static_cast<int>(sizeof on)));
}

Result<Endpoint> Win32SocketLibrary::peerEndpoint(SocketId socket) {
  sockaddr_in address{};
  int length = static_cast<int>(sizeof address);
  if (::getpeername(toSocket(socket), reinterpret_cast<sockaddr*>(&address), &length) == SOCKET_ERROR) {
    return {{}, socketError()};
  }
  return {fromAddress(address), 0};
}

Result<Ipv4Address> Win32SocketLibrary::lookupHost(const std::string& host) {
  const hostent* entry = ::gethostbyname(host.c_str());
  if (entry == nullptr) return {{}, socketError()};
  const std::optional<Ipv4Address> address = firstAddress(entry);
  if (!address) return {{}, WSANO_DATA};
  return {*address, 0};
}

std::optional<Ipv4Address> Win32SocketLibrary::parseDotted(const std::string& text) const {
  const unsigned long value = ::inet_addr(text.c_str());
  // The answer for "not an address" is also the broadcast address.
  if (value == INADDR_NONE && text != "255.255.255.255") return std::nullopt;
  Ipv4Address address;
  std::memcpy(address.octets.data(), &value, 4);  // already in network order
  return address;
}

Status Win32SocketLibrary::asyncSelect(SocketId socket, WindowId window, std::uint32_t message,
                                       std::uint32_t notifications) {
  return statusOf(::WSAAsyncSelect(toSocket(socket), toWindow(window), message, static_cast<long>(notifications)));
}

Result<LookupId> Win32SocketLibrary::startHostLookup(WindowId window, std::uint32_t message, const std::string& host) {
  auto buffer = std::make_unique<char[]>(MAXGETHOSTSTRUCT);
  const HANDLE lookup =
      ::WSAAsyncGetHostByName(toWindow(window), message, host.c_str(), buffer.get(), MAXGETHOSTSTRUCT);
  if (lookup == nullptr) return {0, socketError()};
  lookups_[lookup] = std::move(buffer);
  return {reinterpret_cast<LookupId>(lookup), 0};
}

std::optional<Ipv4Address> Win32SocketLibrary::lookupResult(LookupId lookup) const {
  auto it = lookups_.find(toHandle(lookup));
  if (it == lookups_.end()) return std::nullopt;
  return firstAddress(reinterpret_cast<const hostent*>(it->second.get()));
}

Status Win32SocketLibrary::cancelHostLookup(LookupId lookup) {
  return statusOf(::WSACancelAsyncRequest(toHandle(lookup)));
}

void Win32SocketLibrary::releaseLookup(LookupId lookup) {
  lookups_.erase(toHandle(lookup));
}

// ---- the message window ---------------------------------------------------------

Win32SocketLibrary::MessageWindow* Win32SocketLibrary::findWindow(WindowId window) const {
  auto it = windows_.find(toWindow(window));
  return it == windows_.end() ? nullptr : it->second.get();
}

WindowId Win32SocketLibrary::createMessageWindow() {
  UniqueWindow window(
      ::CreateWindowExW(0, L"STATIC", L"SOCKET_WINDOW", 0, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr));
  if (!window) return 0;
  const HWND handle = window.get();
  auto record = std::make_unique<MessageWindow>();
  record->window = std::move(window);
  windows_[handle] = std::move(record);
  return reinterpret_cast<WindowId>(handle);
}

bool Win32SocketLibrary::destroyMessageWindow(WindowId window) {
  auto it = windows_.find(toWindow(window));
  if (it == windows_.end()) return false;
  const HWND handle = it->second->window.release();
  if (!::DestroyWindow(handle)) {
    it->second->window.reset(handle);
    return false;
  }
  // This may run inside the window's own procedure; nothing of the record
  // is touched after the call that led here returns.
  windows_.erase(it);
  return true;
}

LRESULT Win32SocketLibrary::MessageWindow::onMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) const {
  if (target == nullptr) return callOriginal(handle, message, wParam, lParam);
  return target->windowProcedure(reinterpret_cast<WindowId>(handle), message, wParam, lParam);
}

void Win32SocketLibrary::installWindowProcedure(WindowId window, MessageTarget& target) {
  MessageWindow* record = findWindow(window);
  if (record == nullptr || record->target != nullptr) return;
  record->target = &target;
  subclass(toWindow(window), *record, "socket notification");
}

void Win32SocketLibrary::restoreWindowProcedure(WindowId window) {
  MessageWindow* record = findWindow(window);
  if (record == nullptr || record->target == nullptr) return;
  unsubclass(toWindow(window));
  record->target = nullptr;
}

std::intptr_t Win32SocketLibrary::callPreviousProcedure(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                                        std::intptr_t lParam) {
  return callOriginal(toWindow(window), message, wParam, lParam);
}

}  // namespace pondex::win32
