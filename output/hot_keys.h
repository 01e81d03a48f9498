#pragma once
// The hot keys: two function keys, watched globally on every supervision
// tick, that ask for the read and the tare command. The key picker of the
// window that assigns them is the presenter's.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/keyboard.h"

namespace pondex {

// A virtual-key code of the system.
struct VirtualKey {
  std::uint8_t code = 0;
  friend bool operator==(VirtualKey, VirtualKey) = default;
};

inline constexpr VirtualKey kVkF1{112};
inline constexpr VirtualKey kVkF12{123};

// "F1".."F12" (exactly, case-sensitive) as its key; empty for any other name.
std::optional<VirtualKey> functionKeyCode(const std::string& name);

// What the keys held at one tick ask for. With both names on one key, both
// are asked for: the query first.
struct HotKeyRequest {
  bool query = false;
  bool tare = false;
};

class HotKeys {
 public:
  explicit HotKeys(Keyboard& keyboard) : keyboard_(keyboard) {}

  // A name that is not "F1".."F12" leaves the key as it was.
  void setQueryKey(const std::string& name);
  void setTareKey(const std::string& name);

  // Scans F1..F12; the lowest key held down is the one that counts.
  [[nodiscard]] HotKeyRequest scan();

 private:
  Keyboard& keyboard_;
  std::optional<VirtualKey> query_;
  std::optional<VirtualKey> tare_;
};

}  // namespace pondex
