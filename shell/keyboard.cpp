// The keyboard map of the desktop window and the browser: which calculator
// key each key of a computer's keyboard presses. A key that types a
// character is known by that character, whatever the keyboard's layout (the
// "(" of a US keyboard is Shift+9); a key that types none, or none of these,
// by the key itself (the numeric keypad without Num Lock, Return, Escape...).
#include <cstring>

#include "keyboard.h"

namespace tarno {

namespace {

struct KeyboardRow {
    const char* characters;  // the characters that press it
    SDLKey keys[2];          // the keys that press it when they type none of the characters
    KeyCode key;             // the calculator key pressed
};

constexpr KeyboardRow KEYBOARD_MAP[] = {
    // typed   keys                                calculator key
    {"0",      {SDLK_KP0},                         KEY_0},
    {"1",      {SDLK_KP1},                         KEY_1},
    {"2",      {SDLK_KP2},                         KEY_2},
    {"3",      {SDLK_KP3},                         KEY_3},
    {"4",      {SDLK_KP4},                         KEY_4},
    {"5",      {SDLK_KP5},                         KEY_5},
    {"6",      {SDLK_KP6},                         KEY_6},
    {"7",      {SDLK_KP7},                         KEY_7},
    {"8",      {SDLK_KP8},                         KEY_8},
    {"9",      {SDLK_KP9},                         KEY_9},
    {".,",     {SDLK_KP_PERIOD},                   KEY_POINT},
    {"+",      {SDLK_KP_PLUS},                     KEY_ADD},
    {"-",      {SDLK_KP_MINUS},                    KEY_SUBTRACT},
    {"*",      {SDLK_KP_MULTIPLY},                 KEY_MULTIPLY},
    {"/",      {SDLK_KP_DIVIDE},                   KEY_DIVIDE},
    {"^",      {},                                 KEY_POWER},
    {"(",      {},                                 KEY_OPEN},
    {")",      {},                                 KEY_CLOSE},
    {"%",      {},                                 KEY_PERCENT},
    {"eE",     {},                                 KEY_EXP},
    {"=",      {SDLK_RETURN, SDLK_KP_ENTER},       KEY_EQUALS},
    {"",       {SDLK_BACKSPACE},                   KEY_BACKSPACE},
    {"",       {SDLK_ESCAPE, SDLK_DELETE},         KEY_CLEAR},
};

// With Ctrl held: the commands of the window itself.
constexpr SDLKey QUIT_KEY = SDLK_q;  // Off, as the calculator's own key
constexpr SDLKey COPY_KEY = SDLK_c;  // copies the number shown

TypedAction by_character(Uint16 character) {
    // Only printable ASCII is in the map; the rest (Return's CR, Escape's
    // ESC, letters of other alphabets) is no character of a calculator key.
    if (character < 0x20 || character >= 0x7f) return {TypedAction::NOTHING, NO_KEY};
    for (const KeyboardRow& row : KEYBOARD_MAP)
        if (std::strchr(row.characters, static_cast<char>(character)) != nullptr) return {TypedAction::PRESS, row.key};
    return {TypedAction::NOTHING, NO_KEY};
}

TypedAction by_key(SDLKey key) {
    for (const KeyboardRow& row : KEYBOARD_MAP)
        for (SDLKey k : row.keys)
            if (k != SDLK_UNKNOWN && k == key) return {TypedAction::PRESS, row.key};
    return {TypedAction::NOTHING, NO_KEY};
}

}  // namespace

TypedAction typed_action(Uint16 character, SDLKey key, SDLMod modifiers) {
    if (modifiers & KMOD_CTRL) {
        if (key == QUIT_KEY) return {TypedAction::PRESS, KEY_OFF};
        if (key == COPY_KEY) return {TypedAction::COPY, NO_KEY};
        return {TypedAction::NOTHING, NO_KEY};  // Ctrl+E is no EXP, Ctrl+9 no digit
    }
    const TypedAction typed = by_character(character);
    return typed.kind != TypedAction::NOTHING ? typed : by_key(key);
}

}  // namespace tarno
