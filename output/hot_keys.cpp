#include "output/hot_keys.h"

namespace pondex {

std::optional<VirtualKey> functionKeyCode(const std::string& name) {
  for (int n = 1; n <= 12; ++n) {
    if (name == "F" + std::to_string(n)) return VirtualKey{static_cast<std::uint8_t>(kVkF1.code - 1 + n)};
  }
  return std::nullopt;
}

void HotKeys::setQueryKey(const std::string& name) {
  if (auto key = functionKeyCode(name)) query_ = key;
}

void HotKeys::setTareKey(const std::string& name) {
  if (auto key = functionKeyCode(name)) tare_ = key;
}

HotKeyRequest HotKeys::scan() {
  for (auto vk = kVkF1.code; vk <= kVkF12.code; ++vk) {
    if (keyboard_.asyncKeyState(vk) == 0) continue;
    const VirtualKey pressed{vk};
    return {.query = pressed == query_, .tare = pressed == tare_};
  }
  return {};
}

}  // namespace pondex
