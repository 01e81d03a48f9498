#include "platform/win32/keyboard_win32.h"

#include <windows.h>

namespace pondex::win32 {

std::int16_t Win32Keyboard::vkKeyScan(std::uint8_t ansiChar) {
  return VkKeyScanA(static_cast<CHAR>(ansiChar));
}

std::uint8_t Win32Keyboard::charToOem(std::uint8_t ansiChar) {
  const char source[2] = {static_cast<char>(ansiChar), '\0'};
  // Room for a double-byte result and its terminator. Should the conversion
  // fail, the first byte stays a space, whose scan code is then used.
  char result[4] = {' ', ' ', '\0', '\0'};
  static_cast<void>(CharToOemA(source, result));
  return static_cast<std::uint8_t>(result[0]);
}

std::uint32_t Win32Keyboard::oemKeyScan(std::uint8_t oemChar) {
  return OemKeyScan(oemChar);
}

std::uint32_t Win32Keyboard::mapVirtualKeyToScan(std::uint8_t vk) {
  return MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
}

void Win32Keyboard::keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
  // keybd_event has no result: a refused event cannot be detected here.
  keybd_event(vk, scan, flags, 0);
}

std::uint8_t Win32Keyboard::otherCase(std::uint8_t ansiChar) {
  char c[1] = {static_cast<char>(ansiChar)};
  if (!IsCharAlphaA(c[0])) return ansiChar;
  if (IsCharUpperA(c[0])) {
    (void)CharLowerBuffA(c, 1);
  } else {
    (void)CharUpperBuffA(c, 1);
  }
  return static_cast<std::uint8_t>(c[0]);
}

bool Win32Keyboard::capsLockOn() {
  return (GetKeyState(VK_CAPITAL) & 1) != 0;
}

std::int16_t Win32Keyboard::asyncKeyState(int vk) {
  return GetAsyncKeyState(vk);
}

}  // namespace pondex::win32
