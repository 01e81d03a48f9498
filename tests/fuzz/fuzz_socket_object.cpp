// The socket object driven by random calls and random notification
// sequences through the fake socket library: whatever arrives in whatever
// state, no crash, no undefined behaviour, and a state from the table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "net/socket_connection.h"
#include "net/socket_service.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sockets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pondex;
  if (size > 1024) return -1;
  std::size_t at = 0;
  const auto byte = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
  const auto word = [&] {
    const std::uint8_t high = byte();
    return static_cast<std::uint16_t>(high << 8 | byte());
  };
  const auto text = [&] {  // up to 15 bytes
    std::string bytes(byte() % 16, '\0');
    for (char& c : bytes) c = static_cast<char>(byte());
    return bytes;
  };
  fakes::FakeEventLoop loop;
  fakes::FakeSocketLibrary net{loop};
  fakes::FakeMessageBoxes boxes;
  net.addHost("waga", {{10, 0, 0, 7}});
  net.planConnect({{{10, 0, 0, 8}}, 4001}, {.notifiedError = kWsaConnectionRefused});
  net.planConnect({{{10, 0, 0, 9}}, 4001}, {.immediateError = kWsaAddressNotAvailable});
  SocketService service{net, boxes};
  auto object = std::make_unique<SocketConnection>(service);
  object->events.dataArrived = [&](std::int32_t) {
    SocketData text = std::string();
    (void)object->takeReceived(text);
  };
  object->events.failed = [&](SocketErrorArgs&) { (void)object->close(); };

  const char* hosts[] = {"10.0.0.7", "10.0.0.8", "10.0.0.9", "waga", "nikt", ""};
  while (at < size) {
    const SocketId socket = object->socketId();
    switch (byte() % 14) {
      case 0:
        (void)object->connect(hosts[byte() % 6], PortValue(static_cast<std::int32_t>(byte() % 3 == 0 ? 4001 : word())));
        break;
      case 1:
        if (socket != kNoSocket) net.peerSends(socket, text());
        break;
      case 2:
        if (socket != kNoSocket) net.peerCloses(socket);
        break;
      case 3:
        (void)object->close();
        break;
      case 4:
        (void)object->send(text());
        break;
      case 5: {
        SocketData out;
        (void)object->takeReceived(out, static_cast<SocketDataType>(byte() % 20),
                                   static_cast<std::int32_t>(byte()) - 8);
        break;
      }
      case 6:
        loop.runFor(Millis(byte() % 4));
        break;
      case 7: {  // a notification of any kind and error, for this socket or another
        const std::uint32_t kind = 1u << (byte() % 7);
        const std::uint32_t error = byte() % 4 == 0 ? 10054 : 0;
        const auto target = byte() % 4 == 0 ? static_cast<std::uintptr_t>(word()) : static_cast<std::uintptr_t>(socket);
        (void)object->onNotification(1, byte() % 2 == 0 ? kSocketMessage : kLookupMessage, target,
                                     static_cast<std::intptr_t>(error << 16 | kind));
        break;
      }
      case 8:
        if (socket != kNoSocket) {
          net.socket(socket).room = byte() % 8;
          if (byte() % 2 == 0) net.peerDrains(socket);
        }
        break;
      case 9:
        (void)object->bind(PortValue(static_cast<std::int32_t>(word())));
        break;
      case 10:
        (void)object->listen();
        break;
      case 11:
        (void)object->accept(static_cast<SocketId>(word()));
        break;
      case 12:
        (void)object->setProtocol(byte() % 2 == 0 ? SocketProtocol::Tcp : SocketProtocol::Udp);
        break;
      case 13:
        object = std::make_unique<SocketConnection>(service);
        break;
    }
    const int state = static_cast<int>(object->state());
    if (state < 0 || state > 9 || state == 3) std::abort();
  }
  object.reset();
  loop.runFor(Millis(5));
  return 0;
}
