#include "output/key_emitter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/us_layout.h"

namespace pondex {
namespace {

using fakes::KeyEvent;
using ::testing::ElementsAre;

constexpr std::uint8_t kNoScan = 0xFF;  // OemKeyScan failed

// The US layout (scan codes equal to VK codes) plus Windows-1250 letters: a/A ogonek on AltGr(+Shift)+A,
// micro on AltGr+M (no upper form), a umlaut on an OEM key whose OEM form differs (its capital shifted on
// another key), and u/U umlaut on one OEM key.
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
    kb.defineChar(0xC4, 0x1E1, 0xFFFFFFFF);
    kb.defineChar(0xFC, 0xDF, 0xFFFFFFFF);
    kb.defineChar(0xDC, 0x1DF, 0xFFFFFFFF);
    for (auto [lower, upper] : {std::pair<std::uint8_t, std::uint8_t>{0xB9, 0xA5}, {0xE4, 0xC4}, {0xFC, 0xDC}}) {
      kb.otherCases[lower] = upper;  // the code page's letter pairs
      kb.otherCases[upper] = lower;
    }
  }

  std::vector<KeyEvent> emit(const std::string& text) {
    kb.events.clear();
    emitter.emitKeys(text);
    return kb.events;
  }
  std::string typed(const std::string& text) {
    emit(text);
    return fakes::typedText(kb);
  }

  fakes::FakeKeyboard kb;
  KeyEmitter emitter{kb};
};

TEST_F(KeyEmitterTest, CharactersGetTheirKeysWithTheirModifiersInOrder) {
  EXPECT_EQ(emit("a"), (std::vector{down('A', 'A'), up('A', 'A')}));
  EXPECT_EQ(emit("A"), (std::vector{down(kVkShift, kVkShift), down('A', 'A'), up('A', 'A'), up(kVkShift, kVkShift)}));
  // AltGr: the modifiers are released in the order they were pressed.
  EXPECT_EQ(emit("\xB9"), (std::vector{down(kVkControl, kVkControl), down(kVkMenu, kVkMenu), down('A', kNoScan),
                                       up('A', kNoScan), up(kVkControl, kVkControl), up(kVkMenu, kVkMenu)}));
  // The scan code is that of the character's OEM form.
  EXPECT_EQ(emit("\xE4"), (std::vector{down(0xE2, 0x28), up(0xE2, 0x28)}));
}

TEST_F(KeyEmitterTest, EndOfFrameKeysGetTheirKeys) {
  EXPECT_EQ(emit("{ENTER}"), (std::vector{down(13, 0x1C), up(13, 0x1C)}));
  EXPECT_EQ(typed("{TAB}"), "\t");
}

TEST_F(KeyEmitterTest, LettersArriveInTheirOwnCaseWhateverCapsLock) {
  const std::string text = "1.{ aA\xB9\xA5\xB5\xE4\xC4\xFC\xDC";
  EXPECT_EQ(typed(text), text);
  kb.capsLock = true;
  EXPECT_EQ(typed(text), text);
  // The layout decides where Caps Lock is undone, not a fixed table: on an
  // OEM key too.
  EXPECT_THAT(emit("\xFC"),
              ElementsAre(down(kVkShift, kVkShift), down(0xDF, kNoScan), up(0xDF, kNoScan), up(kVkShift, kVkShift)));
  kb.capsLock = false;
  EXPECT_EQ(typed("kg"), "kg") << "queried on every call";
}

}  // namespace
}  // namespace pondex
