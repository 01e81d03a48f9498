#include "tests/fakes/us_layout.h"

#include <map>
#include <utility>

namespace pondex::fakes {
namespace {

constexpr std::uint8_t kShift = 0x10, kCtrl = 0x11, kAlt = 0x12;

// Character → (VK, shift).
std::map<char, std::pair<std::uint8_t, bool>> usKeys() {
  std::map<char, std::pair<std::uint8_t, bool>> keys;
  for (char c = 'a'; c <= 'z'; ++c) keys[c] = {static_cast<std::uint8_t>(c - 'a' + 'A'), false};
  for (char c = 'A'; c <= 'Z'; ++c) keys[c] = {static_cast<std::uint8_t>(c), true};
  for (char c = '0'; c <= '9'; ++c) keys[c] = {static_cast<std::uint8_t>(c), false};
  const char* shiftedDigits = ")!@#$%^&*(";
  for (int i = 0; i < 10; ++i) keys[shiftedDigits[i]] = {static_cast<std::uint8_t>('0' + i), true};
  const struct {
    char plain, shifted;
    std::uint8_t vk;
  } oem[] = {{';', ':', 0xBA},  {'=', '+', 0xBB}, {',', '<', 0xBC}, {'-', '_', 0xBD},
             {'.', '>', 0xBE},  {'/', '?', 0xBF}, {'`', '~', 0xC0}, {'[', '{', 0xDB},
             {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE}};
  for (const auto& o : oem) {
    keys[o.plain] = {o.vk, false};
    keys[o.shifted] = {o.vk, true};
  }
  keys[' '] = {0x20, false};
  keys['\t'] = {0x09, false};
  keys['\r'] = {0x0D, false};
  keys['\b'] = {0x08, false};
  keys['\x1b'] = {0x1B, false};
  return keys;
}

}  // namespace

void installUsLayout(FakeKeyboard& keyboard) {
  for (const auto& [c, key] : usKeys()) {
    const auto code = static_cast<std::uint8_t>(c);
    keyboard.defineChar(code, static_cast<std::int16_t>(key.first | (key.second ? 0x100 : 0)), key.first);
  }
  keyboard.defineChar('\n', 0x20D, 0x0D);  // Ctrl+Enter
  for (int vk = 0; vk < 256; ++vk) keyboard.vkScans[static_cast<std::size_t>(vk)] = static_cast<std::uint32_t>(vk);
}

std::string typedText(const std::vector<KeyEvent>& events, bool capsLock) {
  std::map<std::pair<std::uint8_t, bool>, char> reverse;
  for (const auto& [c, key] : usKeys()) reverse[key] = c;
  bool shift = false, ctrl = false, alt = false;
  std::string out;
  for (const auto& e : events) {
    const bool down = (e.flags & 2) == 0;
    if (e.vk == kShift)
      shift = down;
    else if (e.vk == kCtrl)
      ctrl = down;
    else if (e.vk == kAlt)
      alt = down;
    else if (down) {
      if (ctrl && !alt && e.vk == 0x0D) {
        out += '\n';
        continue;
      }
      if (ctrl || alt) {
        out += "<?>";
        continue;
      }
      bool effectiveShift = shift;
      if (capsLock && e.vk >= 'A' && e.vk <= 'Z') effectiveShift = !effectiveShift;
      auto it = reverse.find({e.vk, effectiveShift});
      if (it == reverse.end()) it = reverse.find({e.vk, false});
      out += it != reverse.end() ? std::string(1, it->second) : std::string("<?>");
    }
  }
  return out;
}

}  // namespace pondex::fakes
