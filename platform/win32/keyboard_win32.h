#pragma once
// The keyboard over user32: each call is the one function it mirrors.
#include "platform/keyboard.h"

namespace pondex::win32 {

class Win32Keyboard final : public Keyboard {
 public:
  std::int16_t vkKeyScan(std::uint8_t ansiChar) override;
  std::uint8_t charToOem(std::uint8_t ansiChar) override;
  std::uint32_t oemKeyScan(std::uint8_t oemChar) override;
  std::uint32_t mapVirtualKeyToScan(std::uint8_t vk) override;
  void keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) override;
  std::uint8_t otherCase(std::uint8_t ansiChar) override;
  bool capsLockOn() override;
  std::int16_t asyncKeyState(int vk) override;
};

}  // namespace pondex::win32
