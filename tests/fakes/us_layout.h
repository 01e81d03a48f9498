#pragma once
// A US keyboard layout for the fake keyboard, and the reverse: what a
// focused window would receive from a sequence of injected key events. With
// both, tests read typed text instead of raw key events.
#include <string>
#include <vector>

#include "tests/fakes/fake_keyboard.h"

namespace pondex::fakes {

// Printable ASCII, tab, carriage return (Enter), line feed (Ctrl+Enter),
// backspace and escape, each on its US key; scan codes are the VK codes.
void installUsLayout(FakeKeyboard& keyboard);

// The characters the key-down events produce with the modifiers then held
// (Enter gives "\r", Ctrl+Enter "\n"); keys that produce nothing, such as the
// modifiers themselves, give nothing; a key the layout does not know gives
// "<?>".
std::string typedText(const std::vector<KeyEvent>& events, bool capsLock = false);

}  // namespace pondex::fakes
