#pragma once
// A US keyboard layout for the fake keyboard, and the reverse: what a
// focused window would receive from the injected key events. With both,
// tests read typed text instead of raw key events.
#include <string>

#include "tests/fakes/fake_keyboard.h"

namespace pondex::fakes {

// Printable ASCII, tab, carriage return (Enter), line feed (Ctrl+Enter),
// backspace and escape, each on its US key; scan codes are the VK codes.
void installUsLayout(FakeKeyboard& keyboard);

// The characters the key-down events type by the keyboard's own layout,
// with the modifiers then held and its Caps Lock; "<?>" for a key and
// modifiers that type nothing.
std::string typedText(const FakeKeyboard& keyboard);

}  // namespace pondex::fakes
