// The keyboard map of the desktop window and the browser.
#pragma once

#include <string>

#include "SDL.h"
#include "calc.h"

namespace tarno {

// What a key typed on a keyboard asks for, where the keyboard types.
struct TypedAction {
    enum Kind { NOTHING, PRESS, COPY } kind;
    KeyCode key;  // the calculator key to press (PRESS)
};

// The keyboard map: the calculator key of the character typed (character,
// 0 for none), else of the key itself (key); Ctrl+Q presses Off and Ctrl+C
// copies. Shared by the desktop window and the browser.
TypedAction typed_action(Uint16 character, SDLKey key, SDLMod modifiers);

// A key typed where the keyboard types: the calculator key it maps to is
// pressed (as a tap, but without the repeat guard), or the number copied.
void type_key(const SDL_keysym& key);

// The number line as text to copy: without the leading blank of a number
// that is not negative.
std::string number_to_copy();

}  // namespace tarno
