#pragma once
// A keyboard layout in memory that records every injected key event. At
// construction no key produces any character, CharToOem is the identity and
// every OEM and virtual-key scan lookup fails (0xFFFFFFFF and 0); only the
// ASCII letters have another case.
#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include "platform/keyboard.h"
#include "tests/fakes/fake_event_loop.h"

namespace pondex::fakes {

struct KeyEvent {
  std::uint8_t vk = 0;
  std::uint8_t scan = 0;
  std::uint32_t flags = 0;
  bool operator==(const KeyEvent&) const = default;
};
void PrintTo(const KeyEvent& event, std::ostream* os);

class FakeKeyboard final : public Keyboard {
 public:
  FakeKeyboard();

  // `ansiChar` is typed with the VkKeyScan answer `vkKeyScanAnswer`, and
  // OemKeyScan of its OEM form answers `oemKeyScanAnswer`. Set `oemChars`
  // first when the OEM form differs.
  void defineChar(std::uint8_t ansiChar, std::int16_t vkKeyScanAnswer, std::uint32_t oemKeyScanAnswer);

  std::int16_t vkKeyScan(std::uint8_t ansiChar) override { return vkKeyScans[ansiChar]; }
  std::uint8_t charToOem(std::uint8_t ansiChar) override { return oemChars[ansiChar]; }
  std::uint32_t oemKeyScan(std::uint8_t oemChar) override { return oemKeyScans[oemChar]; }
  std::uint32_t mapVirtualKeyToScan(std::uint8_t vk) override { return vkScans[vk]; }
  void keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) override;
  std::uint8_t otherCase(std::uint8_t ansiChar) override { return otherCases[ansiChar]; }
  bool capsLockOn() override { return capsLock; }
  std::int16_t asyncKeyState(int vk) override;

  std::array<std::int16_t, 256> vkKeyScans{};    // by ANSI character
  std::array<std::uint8_t, 256> oemChars{};      // by ANSI character
  std::array<std::uint32_t, 256> oemKeyScans{};  // by OEM character
  std::array<std::uint32_t, 256> vkScans{};      // MapVirtualKey answers, by VK
  std::array<std::int16_t, 256> asyncStates{};   // by VK
  std::array<std::uint8_t, 256> otherCases{};    // by ANSI character: ASCII letters paired, others themselves
  bool capsLock = false;

  std::vector<KeyEvent> events;  // every injected event, in order
  // Runs once, right after the next event: what the user does while keys
  // are being typed.
  std::function<void()> whileTyping;
  // When set, the virtual time of every event is kept in eventTimes.
  const FakeEventLoop* clock = nullptr;
  std::vector<Millis> eventTimes;
};

}  // namespace pondex::fakes
