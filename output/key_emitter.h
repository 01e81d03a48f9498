#pragma once
// The keystroke emitter: turns a short text into synthetic key presses for
// whatever window has the keyboard focus.
//
// Keystroke syntax:
// - "{NAME}" presses and releases a named key (table in key_emitter.cpp,
//   names compared without regard to letter case), "~" (bare or in braces)
//   is Enter;
// - "{NAME n}" repeats the group n times: a space and decimal digits at the
//   end of a group of at least three characters ({a 5}, {TAB 3}); n = 0
//   emits nothing; a count beyond the signed 32-bit range counts as 1 (the
//   digits are still cut off); a count above kMaxRepeatCount is cut to it, so
//   that a wild count can never hold the user-interface thread for long;
// - a group whose name is not a key ({Hello}, {TAB3}) types its text;
// - "{" without a later "}" types "{"; "{}" types "{" and "}";
// - every other character, "}", "+", "^", "%" included, is typed as itself
//   with the key and the Shift, Ctrl and Alt state the layout reports for
//   it; a character no key produces is sent as VK 255 with all three.
//
// Each byte of the text is one character in the system's ANSI code page;
// every code is in 0..255, so the 256-entry table covers any byte (a
// double-byte character would be typed as its two bytes).
//
// Events: a key is pressed and released (flags 0, then KEYEVENTF_KEYUP);
// around it the modifiers a character needs are pressed Shift, Ctrl, Alt
// and released in that same order. Nothing stays held between characters
// or between calls; no pauses; the injection results are not checked.
//
// Layout: the tables are built from the layout active at the first call and
// kept for the life of the object; a later layout change is not seen.
//
// Caps Lock: when it is on (queried at the start of each call), the Shift
// state of a letter is inverted when its other case (in the system's code
// page) lies on the same key with the other Shift state (in the layout), so
// that letters arrive in the case given whatever the Caps Lock state.
//
// Runs synchronously on the caller's thread and never yields.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/keyboard.h"

namespace pondex {

inline constexpr int kMaxRepeatCount = 1000;

// One entry of the emitter's tables.
struct KeyInfo {
  std::uint8_t vk = 0;
  std::uint8_t scan = 0;
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  bool capsInverts = false;  // Caps Lock swaps the shift state of this character's key
};

using KeyTable = std::array<KeyInfo, 256>;

// One unit of a keystroke text.
struct KeyToken {
  std::string_view text;            // the key name, or the characters to type
  int count = 1;                    // times to emit it, 0..kMaxRepeatCount
  std::optional<std::uint8_t> key;  // the named key, or empty: type `text`
};

// Takes the first token off the front of `rest`; `text` views into the
// characters of `rest`. An empty `rest` gives a token with count 0.
KeyToken takeKeyToken(std::string_view& rest);

// The virtual-key code of a key name (any letter case), empty when the name
// is not a key.
std::optional<std::uint8_t> namedKeyCode(std::string_view name);

class KeyEmitter {
 public:
  explicit KeyEmitter(Keyboard& keyboard) : keyboard_(keyboard) {}
  KeyEmitter(const KeyEmitter&) = delete;
  KeyEmitter& operator=(const KeyEmitter&) = delete;

  // Injects every key event of `text` before it returns.
  void emitKeys(const std::string& text);
  // Types one character as itself, outside the key syntax (a "~" is a
  // tilde here, not Enter).
  void typeLiteral(std::uint8_t ansiChar);

  [[nodiscard]] bool tablesReady() const { return tablesReady_; }
  // By ANSI character code: key, scan code and modifiers.
  [[nodiscard]] const KeyTable& charKeyTable() const { return charKeyTable_; }
  // By virtual-key code: the code itself and its scan code.
  [[nodiscard]] const KeyTable& virtualKeyTable() const { return virtualKeyTable_; }

 private:
  void buildTables();
  void typeCharacter(std::uint8_t ansiChar, bool capsLock);
  void tap(std::uint8_t vk, std::uint8_t scan);
  void press(std::uint8_t vk);
  void release(std::uint8_t vk);

  Keyboard& keyboard_;
  KeyTable charKeyTable_{};
  KeyTable virtualKeyTable_{};
  bool tablesReady_ = false;
};

}  // namespace pondex
