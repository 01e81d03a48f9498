// Received text through the controller's data path, in pieces, with the
// settings the first two bytes choose (the weight mode's two boxes among
// them). Uses only Controller(Platform&), start,
// deliverSerialPiece and endTransmission, so it follows the controller
// wherever its parts move.
//
// Starting a controller costs far more than a run, so one is kept per
// settings variant; every run ends its transmission, which is all the state
// a run leaves behind besides the recorded keys and files, cleared here.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "core/controller.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/us_layout.h"

namespace {

struct StartedController {
  explicit StartedController(const std::string& settings) {
    pondex::fakes::installUsLayout(fake.keyboard);
    fake.plantSettings(settings);
    started = controller.start();
  }
  pondex::fakes::FakePlatform fake;
  pondex::Controller controller{fake.platform};
  bool started = false;
};

StartedController& controllerFor(std::uint8_t a, std::uint8_t b) {
  static std::map<int, std::unique_ptr<StartedController>> controllers;
  auto& c = controllers[a << 8 | b];
  if (!c) {
    c = std::make_unique<StartedController>(
        "[USTAWIENIA]\r\nTEKST=" + std::string((a & 1) != 0 ? "-1" : "0") + "\r\nZMIANA=" + std::to_string(a >> 1 & 3) +
        "\r\nCR=" + std::to_string((a >> 3 & 1) != 0 ? 0 : 13) +
        "\r\nLF=" + std::to_string((a >> 4 & 1) != 0 ? 0 : 10) + "\r\nKoniec ramki=" + std::to_string(b % 6) +
        "\r\nplik=" + std::to_string(b >> 3 & 1) + "\r\nTYLKO WAGA=" + std::to_string(a >> 5 & 1) +
        "\r\nTYLKO STABILNA=" + std::to_string(a >> 6 & 1) + "\r\nPathDir=C:\\dane\\\r\n");
  }
  return *c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 1024) return -1;
  StartedController& c = controllerFor(data[0] & 0x7F, data[1] & 0x0F);
  if (!c.started) return 0;
  c.fake.keyboard.events.clear();
  c.fake.files.contents.clear();
  c.fake.files.opened.clear();
  c.fake.files.created.clear();
  c.fake.tray.calls.clear();
  c.fake.messages.shown.clear();
  c.fake.profiles.writes.clear();
  // The rest is pieces of received text, each ended by a 0xFF byte; a piece
  // starting with 0xFE ends the transmission first.
  std::string piece;
  for (std::size_t i = 2; i <= size; ++i) {
    if (i < size && data[i] != 0xFF) {
      piece += static_cast<char>(data[i]);
      continue;
    }
    if (!piece.empty() && static_cast<std::uint8_t>(piece[0]) == 0xFE) c.controller.endTransmission();
    c.controller.deliverSerialPiece(piece);
    piece.clear();
  }
  c.controller.endTransmission();
  return 0;
}
