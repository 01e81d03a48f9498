#include "tests/fakes/us_layout.h"

#include <algorithm>

namespace pondex::fakes {

void installUsLayout(FakeKeyboard& keyboard) {
  const auto key = [&](char c, int vk, bool shifted) {
    const auto code = static_cast<std::uint8_t>(vk);
    keyboard.defineChar(static_cast<std::uint8_t>(c), static_cast<std::int16_t>(code | (shifted ? 0x100 : 0)), code);
  };
  for (char c = 'a'; c <= 'z'; ++c) {
    key(c, c - 'a' + 'A', false);
    key(static_cast<char>(c - 'a' + 'A'), c - 'a' + 'A', true);
  }
  const char* shiftedDigits = ")!@#$%^&*(";
  for (int i = 0; i < 10; ++i) {
    key(static_cast<char>('0' + i), '0' + i, false);
    key(shiftedDigits[i], '0' + i, true);
  }
  const struct {
    char plain, shifted;
    int vk;
  } oem[] = {{';', ':', 0xBA},  {'=', '+', 0xBB}, {',', '<', 0xBC}, {'-', '_', 0xBD},
             {'.', '>', 0xBE},  {'/', '?', 0xBF}, {'`', '~', 0xC0}, {'[', '{', 0xDB},
             {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE}};
  for (const auto& o : oem) {
    key(o.plain, o.vk, false);
    key(o.shifted, o.vk, true);
  }
  for (char c : {' ', '\t', '\r', '\b', '\x1b'}) key(c, c, false);  // their VK codes are their own
  keyboard.defineChar('\n', 0x20D, 0x0D);                           // Ctrl+Enter
  for (int vk = 0; vk < 256; ++vk) keyboard.vkScans[static_cast<std::size_t>(vk)] = static_cast<std::uint32_t>(vk);
}

std::string typedText(const FakeKeyboard& keyboard) {
  const auto& scans = keyboard.vkKeyScans;
  std::string out;
  int held = 0;  // the modifiers, as VkKeyScan reports them
  for (const KeyEvent& e : keyboard.events) {
    const bool down = (e.flags & kKeyEventKeyUp) == 0;
    if (e.vk >= kVkShift && e.vk <= kVkMenu) {
      const int bit = 0x100 << (e.vk - kVkShift);
      held = down ? held | bit : held & ~bit;
    } else if (down) {
      const auto* it = std::find(scans.begin(), scans.end(), held | e.vk);
      if (it == scans.end()) {
        out += "<?>";
        continue;
      }
      auto c = static_cast<std::uint8_t>(it - scans.begin());
      // Caps Lock gives the other case where the layout has it on the same key.
      const std::uint8_t other = keyboard.otherCases[c];
      if (keyboard.capsLock && other != c && scans[other] == (*it ^ 0x100)) c = other;
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace pondex::fakes
