// The socket object driven by random calls and random notification
// sequences through the fake socket library: whatever arrives in whatever
// state, no crash, no undefined behaviour, and a state from the table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "net/csocket_master.h"
#include "net/socket_master.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_sockets.h"

namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  [[nodiscard]] bool done() const { return at_ >= size_; }
  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
  std::string text() {
    const std::size_t n = byte() % 16;
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>(byte());
    return s;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pondex;
  if (size > 1024) return -1;
  Input in(data, size);
  fakes::FakeEventLoop loop;
  fakes::FakeSocketLibrary net{loop};
  fakes::FakeMessageBoxes boxes;
  net.addHost("waga", {{10, 0, 0, 7}});
  net.planConnect({{{10, 0, 0, 8}}, 4001}, {.notifiedError = kWsaConnectionRefused});
  net.planConnect({{{10, 0, 0, 9}}, 4001}, {.immediateError = kWsaAddressNotAvailable});
  modSocketMaster service{net, boxes};
  auto object = std::make_unique<CSocketMaster>(service);
  object->events.DataArrival = [&](std::int32_t) {
    SocketData text = std::string();
    (void)object->GetData(text);
  };
  object->events.Error = [&](SocketErrorArgs&) { (void)object->CloseSck(); };

  const char* hosts[] = {"10.0.0.7", "10.0.0.8", "10.0.0.9", "waga", "nikt", ""};
  while (!in.done()) {
    const SocketId socket = object->SocketHandle();
    switch (in.byte() % 14) {
      case 0:
        (void)object->Connect(hosts[in.byte() % 6],
                              PortValue(static_cast<std::int32_t>(in.byte() % 3 == 0 ? 4001 : in.word())));
        break;
      case 1:
        if (socket != kNoSocket) net.peerSends(socket, in.text());
        break;
      case 2:
        if (socket != kNoSocket) net.peerCloses(socket);
        break;
      case 3:
        (void)object->CloseSck();
        break;
      case 4:
        (void)object->SendData(in.text());
        break;
      case 5: {
        SocketData out;
        (void)object->GetData(out, static_cast<VarType>(in.byte() % 20), static_cast<std::int32_t>(in.byte()) - 8);
        break;
      }
      case 6:
        loop.runFor(Millis(in.byte() % 4));
        break;
      case 7: {  // a notification of any kind and error, for this socket or another
        const std::uint32_t kind = 1u << (in.byte() % 7);
        const std::uint32_t error = in.byte() % 4 == 0 ? 10054 : 0;
        const auto target =
            in.byte() % 4 == 0 ? static_cast<std::uintptr_t>(in.word()) : static_cast<std::uintptr_t>(socket);
        (void)object->WndProc(1, in.byte() % 2 == 0 ? kSocketMessage : kLookupMessage, target,
                              static_cast<std::intptr_t>(error << 16 | kind));
        break;
      }
      case 8:
        if (socket != kNoSocket) {
          net.socket(socket).room = in.byte() % 8;
          if (in.byte() % 2 == 0) net.peerDrains(socket);
        }
        break;
      case 9:
        (void)object->Bind(PortValue(static_cast<std::int32_t>(in.word())));
        break;
      case 10:
        (void)object->Listen();
        break;
      case 11:
        (void)object->Accept(static_cast<SocketId>(in.word()));
        break;
      case 12:
        (void)object->setProtocol(in.byte() % 2 == 0 ? SocketProtocol::Tcp : SocketProtocol::Udp);
        break;
      case 13:
        object = std::make_unique<CSocketMaster>(service);
        break;
    }
    const int state = static_cast<int>(object->State());
    if (state < 0 || state > 9 || state == 3) std::abort();
  }
  object.reset();
  loop.runFor(Millis(5));
  return 0;
}
