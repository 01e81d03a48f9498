#include "output/key_emitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_keyboard.h"

namespace pondex {
namespace {

using fakes::KeyEvent;

constexpr std::uint8_t kShiftScan = 0x2A, kCtrlScan = 0x1D, kAltScan = 0x38;
constexpr std::uint8_t kNoScan = 0xFF;  // OemKeyScan failed

KeyEvent down(std::uint8_t vk, std::uint8_t scan) {
  return {vk, scan, kKeyEventPress};
}
KeyEvent up(std::uint8_t vk, std::uint8_t scan) {
  return {vk, scan, kKeyEventKeyUp};
}

// A small Windows-1250 layout: letters on 'A'..'Z', digits, some shifted
// punctuation, AltGr letters (a ogonek, micro) and a national letter on an
// OEM key (a umlaut), with scan codes that tell the two tables apart.
class KeyEmitterTest : public ::testing::Test {
 protected:
  KeyEmitterTest() {
    kb.vkScans[kVkShift] = kShiftScan;
    kb.vkScans[kVkControl] = kCtrlScan;
    kb.vkScans[kVkMenu] = kAltScan;
    kb.vkScans[9] = 0x0F;
    kb.vkScans[13] = 0x011C;  // only the low byte counts
    for (char c = 'A'; c <= 'Z'; ++c) {
      const auto vk = static_cast<std::int16_t>(c);
      const std::uint32_t scan = 0x10u + static_cast<std::uint32_t>(c - 'A');
      kb.defineChar(static_cast<std::uint8_t>(c + ('a' - 'A')), vk, scan);
      kb.defineChar(static_cast<std::uint8_t>(c), static_cast<std::int16_t>(0x100 | vk), 0x10000 | scan);
    }
    for (char d = '0'; d <= '9'; ++d)
      kb.defineChar(static_cast<std::uint8_t>(d), d, 0x02u + static_cast<std::uint32_t>(d - '0'));
    kb.defineChar(' ', 0x20, 0x39);
    kb.defineChar('.', 0xBE, 0x34);
    kb.defineChar('{', 0x1DB, 0x1001A);
    kb.defineChar('}', 0x1DD, 0x1001B);
    kb.defineChar('+', 0x1BB, 0x1000D);
    kb.defineChar('!', 0x131, 0x10002);
    kb.defineChar('^', 0x136, 0x10007);
    kb.defineChar('%', 0x135, 0x10006);
    kb.oemChars[0xB9] = 0xA5;  // a ogonek, AltGr+A
    kb.oemChars[0xA5] = 0xA4;  // A ogonek, AltGr+Shift+A
    kb.defineChar(0xB9, 0x641, 0xFFFFFFFF);
    kb.defineChar(0xA5, 0x741, 0xFFFFFFFF);
    kb.defineChar(0xB5, 0x64D, 0xFFFFFFFF);  // micro, AltGr+M: no upper form
    kb.oemChars[0xE4] = 0x84;                // a umlaut, on an OEM key
    kb.oemChars[0xC4] = 0x8E;
    kb.defineChar(0xE4, 0xDE, 0x28);
    kb.defineChar(0xC4, 0x1DE, 0x10028);
  }

  std::vector<KeyEvent> emit(const std::string& text) {
    kb.events.clear();
    emitter.EmitKeys(text);
    return kb.events;
  }

  // What the strokes of `text` type on the layout without Caps Lock: each
  // key with the modifiers held read back to its character, "<vk>" for a
  // key that produces none. Checks that every key is released at once and
  // no modifier stays down.
  std::string typed(const std::string& text) {
    const std::vector<KeyEvent> ev = emit(text);
    std::string out;
    int held = 0;  // 0x100 Shift, 0x200 Ctrl, 0x400 Alt
    for (std::size_t i = 0; i < ev.size(); ++i) {
      if (ev[i].vk >= kVkShift && ev[i].vk <= kVkMenu) {
        const int bit = 0x100 << (ev[i].vk - kVkShift);
        held = ev[i].flags == kKeyEventPress ? held | bit : held & ~bit;
        continue;
      }
      const KeyEvent key = ev[i];
      EXPECT_EQ(key.flags, kKeyEventPress);
      ++i;
      EXPECT_TRUE(i < ev.size() && ev[i] == up(key.vk, key.scan)) << "key " << int{key.vk};
      // Appended piecewise: GCC 12 at -O3 flags "<" + std::string with a
      // false -Wrestrict.
      std::string ch = "<";
      ch += std::to_string(key.vk);
      ch += '>';
      for (int c = 0; c < 256; ++c) {
        if (kb.vkKeyScans[static_cast<std::size_t>(c)] == (held | key.vk)) ch = std::string(1, static_cast<char>(c));
      }
      out += ch;
    }
    EXPECT_EQ(held, 0) << "a modifier stays down";
    return out;
  }

  fakes::FakeKeyboard kb;
  KeyEmitter emitter{kb};
};

TEST_F(KeyEmitterTest, CharactersGetTheirKeyAndModifiersInOrder) {
  EXPECT_EQ(emit("a"), (std::vector{down('A', 0x10), up('A', 0x10)}));
  EXPECT_EQ(emit("A"),
            (std::vector{down(kVkShift, kShiftScan), down('A', 0x10), up('A', 0x10), up(kVkShift, kShiftScan)}));
  // AltGr: the modifiers are released in the order they were pressed.
  EXPECT_EQ(emit("\xB9"), (std::vector{down(kVkControl, kCtrlScan), down(kVkMenu, kAltScan), down('A', kNoScan),
                                       up('A', kNoScan), up(kVkControl, kCtrlScan), up(kVkMenu, kAltScan)}));
  // No key produces it: VK 255 with every modifier.
  EXPECT_EQ(emit("\x01"), (std::vector{down(kVkShift, kShiftScan), down(kVkControl, kCtrlScan), down(kVkMenu, kAltScan),
                                       down(255, kNoScan), up(255, kNoScan), up(kVkShift, kShiftScan),
                                       up(kVkControl, kCtrlScan), up(kVkMenu, kAltScan)}));
  // The scan code comes from the OEM form of the character.
  EXPECT_EQ(emit("\xE4"), (std::vector{down(0xDE, 0x28), up(0xDE, 0x28)}));
  EXPECT_TRUE(emit("").empty());
}

TEST_F(KeyEmitterTest, NamedKeysUseTheVirtualKeyScanCode) {
  EXPECT_EQ(emit("{ENTER}"), (std::vector{down(13, 0x1C), up(13, 0x1C)}));
  EXPECT_EQ(emit("{TAB}"), (std::vector{down(9, 0x0F), up(9, 0x0F)}));
  EXPECT_EQ(typed("{enter}{Enter}~{~}{tab}{Esc}{BkSp}{lbutton}"), "<13><13><13><13><9><27><8><1>");
  EXPECT_EQ(typed("{PRTSC}{SNAPSHOT}{NUMPAD0}{NUMPAD9}{F1}{F16}{SCROLLLOCK}"), "<42><44><96><105><112><127><145>");
  // Near misses are not names.
  EXPECT_EQ(typed("{F17}{F0}{NUMPAD10}{ENTER }"), "F17F0NUMPAD10ENTER ");
}

TEST_F(KeyEmitterTest, RepeatCounts) {
  EXPECT_EQ(typed("{TAB 3}"), "<9><9><9>");
  EXPECT_EQ(typed("{TAB 0}"), "");
  EXPECT_EQ(typed("{~ 2}"), "<13><13>");
  EXPECT_EQ(typed("{a 3}"), "aaa");
  EXPECT_EQ(typed("{ab 2}"), "abab");
  EXPECT_EQ(typed("{a 0002}"), "aa");
  // No space before the digits, or not only digits: no count, no name.
  EXPECT_EQ(typed("{TAB3}"), "TAB3");
  EXPECT_EQ(typed("{TAB 3x}"), "TAB 3x");
  EXPECT_EQ(typed("{12}{a1 2}"), "12a1a1");
  EXPECT_EQ(typed("{ 5}"), " 5") << "a count needs a name before the space";
}

TEST_F(KeyEmitterTest, OutOfRangeCountsTypeOnceAndHugeCountsAreCapped) {
  EXPECT_EQ(typed("{a 2147483648}"), "a");
  EXPECT_EQ(typed("{a 99999999999999999999}"), "a");
  EXPECT_EQ(typed("{a 2000000000}"), std::string(kMaxRepeatCount, 'a'));

  std::string_view rest = "{TAB 2147483647}x";
  const KeyToken token = takeKeyToken(rest);
  EXPECT_EQ(token.text, "TAB");
  EXPECT_EQ(token.count, kMaxRepeatCount);
  EXPECT_EQ(rest, "x");
}

TEST_F(KeyEmitterTest, BracesAndOtherCharactersTypedLiterally) {
  EXPECT_EQ(typed("{Hello}"), "Hello");
  EXPECT_EQ(typed("a{b"), "a{b");
  EXPECT_EQ(typed("{x}y}"), "xy}");
  EXPECT_EQ(typed("+a^%"), "+a^%");
  EXPECT_EQ(typed("{"), "{");
  EXPECT_EQ(typed("}"), "}");
  EXPECT_EQ(typed("{}"), "{}");
  EXPECT_EQ(typed("{}}{"), "{}}{");
}

TEST_F(KeyEmitterTest, TablesAreBuiltOnceFromTheFirstLayout) {
  EXPECT_FALSE(emitter.TablesReady());
  emit("");
  EXPECT_TRUE(emitter.TablesReady());
  EXPECT_EQ(kb.layoutQueries, 256 * 3 + 256);

  const std::vector<KeyEvent> before = emit("A");
  kb.vkKeyScans['A'] = 0x241;
  kb.vkScans[kVkShift] = 0x36;
  EXPECT_EQ(emit("A"), before);
  EXPECT_EQ(kb.layoutQueries, 256 * 3 + 256);
}

// Read without Caps Lock, the strokes show the inverted case; under Caps
// Lock the letters thus arrive as given.
TEST_F(KeyEmitterTest, CapsLockInvertsShiftForCasedLettersOnLetterKeysOnly) {
  const std::string text = "12.5 kg aA\xB9\xA5";
  EXPECT_EQ(typed(text), text);
  kb.capsLock = true;
  EXPECT_EQ(typed(text), "12.5 KG Aa\xA5\xB9");
  EXPECT_EQ(emit("a"),
            (std::vector{down(kVkShift, kShiftScan), down('A', 0x10), up('A', 0x10), up(kVkShift, kShiftScan)}));
  // Not letters, no upper form, not on a letter key, or a named key.
  EXPECT_EQ(typed("1!.{}\xB5\xE4\xC4{TAB}"), "1!.{}\xB5\xE4\xC4<9>");
  // Queried on every call.
  kb.capsLock = false;
  EXPECT_EQ(typed("kg"), "kg");
}

}  // namespace
}  // namespace pondex
