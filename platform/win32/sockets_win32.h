#pragma once
// The socket library over Winsock (version 1.1 calls, WSAAsyncSelect and
// WSAAsyncGetHostByName). Notifications are posted to a hidden window of the
// predefined class "STATIC" titled "SOCKET_WINDOW"; installing a target
// subclasses that window, and messages the target does not take go on to
// the class's own procedure.
//
// The library owns what it hands out by number: the sockets it made or
// accepted (closed when the logic closes them, or at cleanup), the lookup
// buffers of 1024 bytes (kept until releaseLookup), and the windows.
// User-interface thread only.
#include <windows.h>
#include <winsock2.h>

#include <map>
#include <memory>

#include "platform/sockets.h"
#include "platform/unique_resource.h"
#include "platform/win32/handles.h"

namespace pondex::win32 {

inline SOCKET invalidSocket() noexcept {
  return INVALID_SOCKET;
}
using UniqueSocket = UniqueResource<SOCKET, ::closesocket, invalidSocket>;

class Win32SocketLibrary final : public SocketLibrary {
 public:
  Win32SocketLibrary();
  Win32SocketLibrary(const Win32SocketLibrary&) = delete;
  Win32SocketLibrary& operator=(const Win32SocketLibrary&) = delete;
  ~Win32SocketLibrary() override;

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
  std::intptr_t callPreviousProcedure(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) override;

 private:
  struct MessageWindow {
    UniqueWindow window;
    MessageTarget* target = nullptr;  // set while the window is subclassed
    LRESULT onMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) const;
  };

  MessageWindow* findWindow(WindowId window) const;
  void adopt(SOCKET socket);

  HINSTANCE instance_;
  std::map<SOCKET, UniqueSocket> sockets_;
  std::map<HANDLE, std::unique_ptr<char[]>> lookups_;
  std::map<HWND, std::unique_ptr<MessageWindow>> windows_;
};

}  // namespace pondex::win32
