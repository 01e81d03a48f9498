#pragma once
// The controller over the fake platform with network input selected and
// continuous listening on, for the tests of the network input and of the
// address panel.
#include <array>
#include <string>

#include "tests/unit/controller_fixture.h"

namespace pondex {

inline const std::string kNetwork = "NR PORTU=0\r\nSYGNA\xA3 ZEWNETRZNY=1\r\nKoniec ramki=0\r\nLF=0\r\n";
inline const Endpoint kScale{{{127, 0, 0, 1}}, 4001};

class NetworkFixture : public ControllerFixture {
 protected:
  void start(const std::string& settings = kNetwork) {
    load(settings);
    form.userClick(controls.startButton);
  }
  // Runs ticks until the input is connected; its socket.
  SocketId connect() {
    for (int i = 0; i < 10 && !fake.sockets.connectedSocket(); ++i) fake.loop.runFor(Millis(200));
    EXPECT_TRUE(fake.sockets.connectedSocket().has_value());
    return fake.sockets.connectedSocket().value_or(kNoSocket);
  }
  // Types an address into the address panel and applies it.
  void enterAddress(const std::array<const char*, 4>& parts, const std::string& port) {
    form.userClick(controls.addressLabel);
    for (std::size_t i = 0; i < parts.size(); ++i) form.userEditedText(controls.addressPartBoxes[i], parts[i]);
    form.userEditedText(controls.addressPortBox, port);
    form.userClick(controls.addressApplyButton);
  }
};

}  // namespace pondex
