#pragma once
// The keyboard of the system: the layout queries and the key injection of
// the keystroke emitter, and the global key state the hot keys poll.
//
// Each call mirrors one user32 function and returns its raw answer; nothing
// is checked or converted here, the emitter decides what a value means.
// Characters are single ANSI (or, for oemKeyScan, OEM) bytes.
#include <cstdint>

namespace pondex {

// Flags of keyEvent(), as keybd_event takes them.
inline constexpr std::uint32_t kKeyEventPress = 0;
inline constexpr std::uint32_t kKeyEventKeyUp = 2;  // KEYEVENTF_KEYUP

// Virtual-key codes the logic names itself.
inline constexpr std::uint8_t kVkShift = 0x10;
inline constexpr std::uint8_t kVkControl = 0x11;
inline constexpr std::uint8_t kVkMenu = 0x12;  // Alt

class Keyboard {
 public:
  virtual ~Keyboard() = default;

  // VkKeyScanA on the active layout: low byte the virtual-key code, 0x100
  // Shift, 0x200 Ctrl, 0x400 Alt needed; -1 when no key produces it.
  virtual std::int16_t vkKeyScan(std::uint8_t ansiChar) = 0;

  // CharToOemA of the one-character string: the first byte of the result.
  virtual std::uint8_t charToOem(std::uint8_t ansiChar) = 0;

  // OemKeyScan: scan code in the low word, shift state in the high word;
  // 0xFFFFFFFF when no plain or shifted key produces the character.
  virtual std::uint32_t oemKeyScan(std::uint8_t oemChar) = 0;

  // MapVirtualKeyA(vk, 0): the scan code of a virtual key, 0 when none.
  virtual std::uint32_t mapVirtualKeyToScan(std::uint8_t vk) = 0;

  // keybd_event(vk, scan, flags, 0): one key event into the system input
  // stream. The system reports nothing back.
  virtual void keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) = 0;

  // The character's other letter case in the system's ANSI code page
  // (IsCharAlphaA, then CharLowerBuffA or CharUpperBuffA); the character
  // itself when it is no letter or has one form only.
  virtual std::uint8_t otherCase(std::uint8_t ansiChar) = 0;

  // True when Caps Lock is toggled on (GetKeyState(VK_CAPITAL) & 1).
  virtual bool capsLockOn() = 0;

  // GetAsyncKeyState(vk), the raw 16-bit result: the top bit while the key
  // is down, the low bit when it was pressed since the previous query. Not
  // zero means pressed for the hot keys.
  virtual std::int16_t asyncKeyState(int vk) = 0;
};

}  // namespace pondex
