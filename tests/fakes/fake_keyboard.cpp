#include "tests/fakes/fake_keyboard.h"

#include <cstddef>
#include <utility>

namespace pondex::fakes {

void PrintTo(const KeyEvent& event, std::ostream* os) {
  *os << "{vk " << int{event.vk} << ", scan " << int{event.scan} << ", flags " << event.flags << "}";
}

FakeKeyboard::FakeKeyboard() {
  vkKeyScans.fill(-1);
  oemKeyScans.fill(0xFFFFFFFF);
  for (std::size_t c = 0; c < oemChars.size(); ++c) {
    oemChars[c] = static_cast<std::uint8_t>(c);
    otherCases[c] = static_cast<std::uint8_t>(c);
  }
  for (std::uint8_t c = 'a'; c <= 'z'; ++c) {
    const auto upper = static_cast<std::uint8_t>(c - 'a' + 'A');
    otherCases[c] = upper;
    otherCases[upper] = c;
  }
}

void FakeKeyboard::defineChar(std::uint8_t ansiChar, std::int16_t vkKeyScanAnswer, std::uint32_t oemKeyScanAnswer) {
  vkKeyScans[ansiChar] = vkKeyScanAnswer;
  oemKeyScans[oemChars[ansiChar]] = oemKeyScanAnswer;
}

void FakeKeyboard::keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
  if (clock != nullptr) eventTimes.push_back(clock->now());
  events.push_back({vk, scan, flags});
  if (whileTyping) {
    auto action = std::exchange(whileTyping, nullptr);  // once
    action();
  }
}

std::int16_t FakeKeyboard::asyncKeyState(int vk) {
  return vk >= 0 && vk < static_cast<int>(asyncStates.size()) ? asyncStates[static_cast<std::size_t>(vk)] : 0;
}

}  // namespace pondex::fakes
