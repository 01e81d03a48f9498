#include "output/key_emitter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/fakes/fake_keyboard.h"
#include "tests/fakes/us_layout.h"

namespace pondex {
namespace {

using fakes::KeyEvent;
using ::testing::ElementsAre;

constexpr std::uint8_t kNoScan = 0xFF;  // OemKeyScan failed

// The US layout (scan codes equal to VK codes) plus Windows-1250 letters: a/A ogonek on AltGr(+Shift)+A,
// micro on AltGr+M (no upper form), a umlaut on an OEM key whose OEM form differs.
class KeyEmitterTest : public ::testing::Test {
 protected:
  static KeyEvent down(std::uint8_t vk, std::uint8_t scan) { return {vk, scan, kKeyEventPress}; }
  static KeyEvent up(std::uint8_t vk, std::uint8_t scan) { return {vk, scan, kKeyEventKeyUp}; }

  KeyEmitterTest() {
    fakes::installUsLayout(kb);
    kb.vkScans[13] = 0x011C;  // only the low byte counts
    kb.defineChar(0xB9, 0x641, 0xFFFFFFFF);
    kb.defineChar(0xA5, 0x741, 0xFFFFFFFF);
    kb.defineChar(0xB5, 0x64D, 0xFFFFFFFF);
    kb.oemChars[0xE4] = 0x84;
    kb.defineChar(0xE4, 0xE2, 0x28);
    for (auto [lower, upper] : {std::pair<std::uint8_t, std::uint8_t>{0xB9, 0xA5}, {0xE4, 0xC4}}) {
      kb.otherCases[lower] = upper;  // the code page's letter pairs
      kb.otherCases[upper] = lower;
    }
  }

  std::vector<KeyEvent> emit(const std::string& text) {
    kb.events.clear();
    emitter.EmitKeys(text);
    return kb.events;
  }

  // The virtual keys pressed, modifiers included.
  std::vector<int> keys(const std::string& text) {
    std::vector<int> vks;
    for (const KeyEvent& e : emit(text))
      if (e.flags == kKeyEventPress) vks.push_back(e.vk);
    return vks;
  }

  // What the strokes type read back without Caps Lock, "?" for a key that
  // types nothing; every key released at once, no modifier left down.
  std::string typed(const std::string& text) {
    const std::vector<KeyEvent> ev = emit(text);
    std::string out;
    int held = 0;  // as VkKeyScan reports modifiers
    for (std::size_t i = 0; i < ev.size(); ++i) {
      if (ev[i].vk >= kVkShift && ev[i].vk <= kVkMenu) {
        const int bit = 0x100 << (ev[i].vk - kVkShift);
        held = ev[i].flags == kKeyEventPress ? held | bit : held & ~bit;
        continue;
      }
      EXPECT_TRUE(ev[i].flags == kKeyEventPress && i + 1 < ev.size() && ev[i + 1] == up(ev[i].vk, ev[i].scan));
      const auto c = std::find(kb.vkKeyScans.begin(), kb.vkKeyScans.end(), held | ev[i++].vk);
      out += c == kb.vkKeyScans.end() ? '?' : static_cast<char>(c - kb.vkKeyScans.begin());
    }
    EXPECT_EQ(held, 0) << "a modifier stays down";
    return out;
  }

  fakes::FakeKeyboard kb;
  KeyEmitter emitter{kb};
};

TEST_F(KeyEmitterTest, CharactersGetTheirKeyAndModifiersInOrder) {
  EXPECT_EQ(emit("a"), (std::vector{down('A', 'A'), up('A', 'A')}));
  EXPECT_EQ(emit("A"), (std::vector{down(kVkShift, kVkShift), down('A', 'A'), up('A', 'A'), up(kVkShift, kVkShift)}));
  // AltGr: the modifiers are released in the order they were pressed.
  EXPECT_EQ(emit("\xB9"), (std::vector{down(kVkControl, kVkControl), down(kVkMenu, kVkMenu), down('A', kNoScan),
                                       up('A', kNoScan), up(kVkControl, kVkControl), up(kVkMenu, kVkMenu)}));
  // No key produces it: VK 255 with every modifier.
  EXPECT_EQ(emit("\x01"), (std::vector{down(kVkShift, kVkShift), down(kVkControl, kVkControl), down(kVkMenu, kVkMenu),
                                       down(255, kNoScan), up(255, kNoScan), up(kVkShift, kVkShift),
                                       up(kVkControl, kVkControl), up(kVkMenu, kVkMenu)}));
  // The scan code is that of the character's OEM form.
  EXPECT_EQ(emit("\xE4"), (std::vector{down(0xE2, 0x28), up(0xE2, 0x28)}));
}

TEST_F(KeyEmitterTest, NamedKeysRepeatCountsAndLiteralGroups) {
  EXPECT_EQ(emit("{ENTER}"), (std::vector{down(13, 0x1C), up(13, 0x1C)}));
  EXPECT_THAT(keys("{enter}~{~}{Tab}{Esc}{BkSp}{lbutton}{PRTSC}{SNAPSHOT}{NUMPAD9}{F16}{SCROLLLOCK}"),
              ElementsAre(13, 13, 13, 9, 27, 8, 1, 42, 44, 105, 127, 145));
  EXPECT_EQ(typed("{F17}{NUMPAD10}{ENTER }"), "F17NUMPAD10ENTER ") << "near misses are no names";
  EXPECT_THAT(keys("{TAB 3}"), ElementsAre(9, 9, 9));
  EXPECT_TRUE(emit("{TAB 0}").empty());
  EXPECT_EQ(typed("{ab 2}{a 0002}"), "ababaa");
  EXPECT_EQ(typed("{TAB3}{TAB 3x}{ 5}"), "TAB3TAB 3x 5") << "a count needs a name, a space and only digits";
  EXPECT_EQ(typed("{a 2147483648}"), "a") << "beyond int32: once";
  EXPECT_EQ(typed("{a 2000000000}"), std::string(kMaxRepeatCount, 'a'));
  // Groups that name no key, and lone braces, are typed.
  EXPECT_EQ(typed("{Hello}"), "Hello");
  EXPECT_EQ(typed("a{b"), "a{b");
  EXPECT_EQ(typed("{x}y}+^%{}"), "xy}+^%{}");
}

TEST_F(KeyEmitterTest, TablesAreBuiltOnceFromTheFirstLayout) {
  const std::vector<KeyEvent> before = emit("A");
  kb.vkKeyScans['A'] = 0x241;
  kb.vkScans[kVkShift] = 0x36;
  EXPECT_EQ(emit("A"), before);
}

TEST_F(KeyEmitterTest, CapsLockInvertsShiftForCasedLettersOnLetterKeysOnly) {
  // The layout decides, not a fixed table: u umlaut on an OEM key with its
  // capital shifted on the same key acts as any letter key.
  kb.defineChar(0xFC, 0xDF, 0xFFFFFFFF);
  kb.defineChar(0xDC, 0x1DF, 0xFFFFFFFF);
  kb.otherCases[0xFC] = 0xDC;
  kb.otherCases[0xDC] = 0xFC;
  // Read without Caps Lock, the strokes show the inverted case.
  const std::string text = "1.{ aA\xB9\xA5\xB5\xE4";
  EXPECT_EQ(typed(text), text);
  kb.capsLock = true;
  EXPECT_EQ(typed(text), "1.{ Aa\xA5\xB9\xB5\xE4");
  EXPECT_THAT(emit("\xFC"),
              ElementsAre(down(kVkShift, kVkShift), down(0xDF, kNoScan), up(0xDF, kNoScan), up(kVkShift, kVkShift)));
  EXPECT_THAT(emit("\xDC"), ElementsAre(down(0xDF, kNoScan), up(0xDF, kNoScan)));
  kb.capsLock = false;
  EXPECT_EQ(typed("kg"), "kg") << "queried on every call";
}

}  // namespace
}  // namespace pondex
