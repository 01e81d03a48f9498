#include "output/key_emitter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace pondex {
namespace {

struct KeyName {
  std::string_view name;
  std::uint8_t vk;
};

// Standard Windows virtual-key codes. PRTSC is the Print key (42), not
// print-screen, which is SNAPSHOT (44).
constexpr KeyName kKeyNames[] = {
    {"LBUTTON", 1},   {"RBUTTON", 2},   {"BREAK", 3},      {"CANCEL", 3},       {"MBUTTON", 4},     {"BACKSPACE", 8},
    {"BS", 8},        {"BKSP", 8},      {"TAB", 9},        {"CLEAR", 12},       {"ENTER", 13},      {"~", 13},
    {"SHIFT", 16},    {"CONTROL", 17},  {"MENU", 18},      {"ALT", 18},         {"PAUSE", 19},      {"CAPSLOCK", 20},
    {"ESCAPE", 27},   {"ESC", 27},      {"SPACE", 32},     {"PGUP", 33},        {"PGDN", 34},       {"END", 35},
    {"HOME", 36},     {"LEFT", 37},     {"UP", 38},        {"RIGHT", 39},       {"DOWN", 40},       {"SELECT", 41},
    {"PRTSC", 42},    {"EXECUTE", 43},  {"SNAPSHOT", 44},  {"INSERT", 45},      {"INS", 45},        {"DELETE", 46},
    {"DEL", 46},      {"HELP", 47},     {"NUMLOCK", 144},  {"SCROLLLOCK", 145}, {"NUMPAD0", 96},    {"NUMPAD1", 97},
    {"NUMPAD2", 98},  {"NUMPAD3", 99},  {"NUMPAD4", 100},  {"NUMPAD5", 101},    {"NUMPAD6", 102},   {"NUMPAD7", 103},
    {"NUMPAD8", 104}, {"NUMPAD9", 105}, {"MULTIPLY", 106}, {"ADD", 107},        {"SEPARATOR", 108}, {"SUBTRACT", 109},
    {"DECIMAL", 110}, {"DIVIDE", 111},  {"F1", 112},       {"F2", 113},         {"F3", 114},        {"F4", 115},
    {"F5", 116},      {"F6", 117},      {"F7", 118},       {"F8", 119},         {"F9", 120},        {"F10", 121},
    {"F11", 122},     {"F12", 123},     {"F13", 124},      {"F14", 125},        {"F15", 126},       {"F16", 127},
};

constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr char asciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The decimal value of a run of digits, empty when it exceeds int32.
std::optional<std::int32_t> parseCount(std::string_view digits) {
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// Cuts a trailing " digits" off a brace group of at least three characters
// and returns the count it gives (1 when there is none).
int cutRepeatCount(std::string_view& name) {
  // n: the characters before the digits, at least two (a name and a space).
  std::size_t n = name.size();
  while (n >= 3 && isDigit(name[n - 1])) --n;
  if (n == name.size() || name[n - 1] != ' ') return 1;
  const std::optional<std::int32_t> count = parseCount(name.substr(n));
  name = name.substr(0, n - 1);
  return count ? std::min(*count, kMaxRepeatCount) : 1;
}

}  // namespace

std::optional<std::uint8_t> namedKeyCode(std::string_view name) {
  for (const KeyName& entry : kKeyNames) {
    if (std::ranges::equal(name, entry.name, [](char a, char b) { return asciiUpper(a) == b; })) return entry.vk;
  }
  return std::nullopt;
}

KeyToken takeKeyToken(std::string_view& rest) {
  KeyToken token;
  if (rest.empty()) {
    token.count = 0;
    return token;
  }
  token.text = rest.substr(0, 1);
  rest.remove_prefix(1);
  if (token.text == "{") {
    const std::size_t close = rest.find('}');
    if (close == 0) {
      // "{}" names nothing: type the two characters rather than drop them.
      token.text = std::string_view(token.text.data(), 2);
      rest.remove_prefix(1);
    } else if (close != std::string_view::npos) {
      token.text = rest.substr(0, close);
      rest.remove_prefix(close + 1);
      token.count = cutRepeatCount(token.text);
    }
  }
  token.key = namedKeyCode(token.text);
  return token;
}

void KeyEmitter::emitKeys(const std::string& text) {
  if (!tablesReady_) buildTables();
  const bool capsLock = keyboard_.capsLockOn();
  std::string_view rest = text;
  while (!rest.empty()) {
    const KeyToken token = takeKeyToken(rest);
    for (int i = 0; i < token.count; ++i) {
      if (token.key) {
        tap(*token.key, virtualKeyTable_[*token.key].scan);
      } else {
        for (char c : token.text) typeCharacter(static_cast<std::uint8_t>(c), capsLock);
      }
    }
  }
}

void KeyEmitter::typeLiteral(std::uint8_t ansiChar) {
  if (!tablesReady_) buildTables();
  typeCharacter(ansiChar, keyboard_.capsLockOn());
}

void KeyEmitter::buildTables() {
  for (std::size_t c = 0; c < charKeyTable_.size(); ++c) {
    const auto ansi = static_cast<std::uint8_t>(c);
    // -1 (no key) reads as VK 255 with every modifier, which is what is sent.
    const auto r = static_cast<std::uint16_t>(keyboard_.vkKeyScan(ansi));
    KeyInfo& e = charKeyTable_[c];
    e.vk = static_cast<std::uint8_t>(r & 0xFF);
    e.shift = (r & 0x100) != 0;
    e.ctrl = (r & 0x200) != 0;
    e.alt = (r & 0x400) != 0;
    e.scan = static_cast<std::uint8_t>(keyboard_.oemKeyScan(keyboard_.charToOem(ansi)) & 0xFF);
  }
  // Caps Lock acts on a key whose two shift states give the two cases of
  // one letter: the code page says what the other case is, the layout
  // where it lies.
  for (std::size_t c = 0; c < charKeyTable_.size(); ++c) {
    const auto other = keyboard_.otherCase(static_cast<std::uint8_t>(c));
    if (other == c) continue;
    const KeyInfo& e = charKeyTable_[c];
    const KeyInfo& o = charKeyTable_[other];
    charKeyTable_[c].capsInverts =
        e.vk != 0xFF && o.vk == e.vk && o.shift != e.shift && o.ctrl == e.ctrl && o.alt == e.alt;
  }
  for (std::size_t v = 0; v < virtualKeyTable_.size(); ++v) {
    KeyInfo& e = virtualKeyTable_[v];
    e.vk = static_cast<std::uint8_t>(v);
    e.scan = static_cast<std::uint8_t>(keyboard_.mapVirtualKeyToScan(e.vk) & 0xFF);
  }
  tablesReady_ = true;
}

void KeyEmitter::typeCharacter(std::uint8_t ansiChar, bool capsLock) {
  const KeyInfo& e = charKeyTable_[ansiChar];
  // Caps Lock inverts what Shift does to a letter key; undo that so the
  // letter arrives in the case it was given.
  const bool shift = e.shift != (capsLock && e.capsInverts);
  if (shift) press(kVkShift);
  if (e.ctrl) press(kVkControl);
  if (e.alt) press(kVkMenu);
  tap(e.vk, e.scan);
  if (shift) release(kVkShift);
  if (e.ctrl) release(kVkControl);
  if (e.alt) release(kVkMenu);
}

void KeyEmitter::tap(std::uint8_t vk, std::uint8_t scan) {
  keyboard_.keyEvent(vk, scan, kKeyEventPress);
  keyboard_.keyEvent(vk, scan, kKeyEventKeyUp);
}

void KeyEmitter::press(std::uint8_t vk) {
  keyboard_.keyEvent(vk, virtualKeyTable_[vk].scan, kKeyEventPress);
}

void KeyEmitter::release(std::uint8_t vk) {
  keyboard_.keyEvent(vk, virtualKeyTable_[vk].scan, kKeyEventKeyUp);
}

}  // namespace pondex
