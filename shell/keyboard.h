// The keyboard table of the desktop window and the browser: what each key
// of a computer's keyboard does to the calculator. The one table, as data,
// from which --help is written and against which README and the man page
// are checked.
#pragma once

#include <string>
#include <vector>

#include "SDL.h"
#include "calc.h"

namespace tarno {

// Which of a key's two meanings a typed key asks for.
enum class Meaning { EITHER, NORMAL, SHIFTED };

// What a key typed on a keyboard asks for, where the keyboard types.
struct TypedAction {
    enum Kind { NOTHING, PRESS, COPY, PASTE, CURSOR_UP, CURSOR_DOWN, CURSOR_LEFT, CURSOR_RIGHT, CURSOR_PRESS } kind;
    KeyCode key;                        // the calculator key to press (PRESS)
    Meaning meaning = Meaning::EITHER;  // in which shift state (PRESS)
};

// The keyboard table: the calculator key of the character typed (character,
// 0 for none), else of the key itself (key); Ctrl+Q presses Off, Ctrl+C
// copies, Ctrl+V and Shift+Insert paste, the arrows and Space are the key
// cursor's. Shared by the desktop window and the browser.
TypedAction typed_action(Uint16 character, SDLKey key, SDLMod modifiers);

// The table as the user reads it: what is typed and what it does, one
// line each, in the order --help lists them.
struct KeyboardLine {
    std::string typed;  // "s", "= Return Enter", "Ctrl+V Shift+Insert"
    std::string does;   // "sin (Shift, then x squared)"
};
std::vector<KeyboardLine> keyboard_lines();

// The calculator key a character types, in its meaning; NOTHING for a
// character of no key. Used by the paste, which types character by character.
TypedAction character_action(char character);

// A key typed where the keyboard types: its action carried out (act_typed).
void type_key(const SDL_keysym& key);

// The number shown, as a number to paste elsewhere: the number line without
// its blanks, so the exponent follows "E" with its sign ("1.5E3", "-2.5E-7").
std::string number_to_copy();

}  // namespace tarno
