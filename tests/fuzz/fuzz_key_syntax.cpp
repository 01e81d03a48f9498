// Any text given to the keystroke emitter: no crash, and no key (a modifier
// least of all) is left held down after the call.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "output/key_emitter.h"
#include "tests/fakes/fake_keyboard.h"
#include "tests/fakes/us_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 512) return -1;  // long texts only repeat what short ones reach
  pondex::fakes::FakeKeyboard keyboard;
  pondex::fakes::installUsLayout(keyboard);
  keyboard.capsLock = size > 0 && (data[0] & 1) != 0;
  pondex::KeyEmitter emitter(keyboard);
  emitter.emitKeys(std::string(reinterpret_cast<const char*>(data), size));

  constexpr std::uint32_t kKeyUp = 2;
  std::array<int, 256> held{};
  for (const auto& e : keyboard.events) held[e.vk] += (e.flags & kKeyUp) != 0 ? -1 : 1;
  for (int h : held) {
    if (h != 0) std::abort();
  }
  return 0;
}
