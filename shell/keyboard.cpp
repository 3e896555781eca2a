// The keyboard table of the desktop window and the browser: which calculator
// key each key of a computer's keyboard presses, in which meaning. A key
// that types a character is known by that character, whatever the
// keyboard's layout (the "(" of a US keyboard is Shift+9); a key that types
// none, or none of these, by the key itself (the numeric keypad without Num
// Lock, Return, Escape...). Letters follow desktop calculators' habits: s,
// o, t for sin, cos, tan and S, O, T for their inverses, n ln, l log, r 1/x,
// q x², @ √x, ! n!, p π, F9 ±, i the Shift key (an inverse).
//
// Sections: the table; the window's commands; the lines of --help; the lookup.
#include "keyboard.h"

#include <cstring>

namespace tarno {

namespace {

// --- The table ---

struct KeyboardRow {
    const char* characters;  // the characters that press it
    SDLKey keys[2];          // the keys that press it when they type none of the characters
    KeyCode key;             // the calculator key pressed
    Meaning meaning;         // in which shift state
    const char* typed;       // what --help, README and the man page show as typed
    const char* does;        // and what it does
};

constexpr Meaning ANY = Meaning::EITHER, NORMAL = Meaning::NORMAL, SHIFTED = Meaning::SHIFTED;

constexpr KeyboardRow KEYBOARD_TABLE[] = {
    // typed   keys                            key               meaning  shown as         does
    {"0",      {SDLK_KP0},                     KEY_0,            ANY,     "0",             "0 (the numeric keypad's too)"},
    {"1",      {SDLK_KP1},                     KEY_1,            ANY,     "1",             "1 (the numeric keypad's too)"},
    {"2",      {SDLK_KP2},                     KEY_2,            ANY,     "2",             "2 (the numeric keypad's too)"},
    {"3",      {SDLK_KP3},                     KEY_3,            ANY,     "3",             "3 (the numeric keypad's too)"},
    {"4",      {SDLK_KP4},                     KEY_4,            ANY,     "4",             "4 (the numeric keypad's too)"},
    {"5",      {SDLK_KP5},                     KEY_5,            ANY,     "5",             "5 (the numeric keypad's too)"},
    {"6",      {SDLK_KP6},                     KEY_6,            ANY,     "6",             "6 (the numeric keypad's too)"},
    {"7",      {SDLK_KP7},                     KEY_7,            ANY,     "7",             "7 (the numeric keypad's too)"},
    {"8",      {SDLK_KP8},                     KEY_8,            ANY,     "8",             "8 (the numeric keypad's too)"},
    {"9",      {SDLK_KP9},                     KEY_9,            ANY,     "9",             "9 (the numeric keypad's too)"},
    {".,",     {SDLK_KP_PERIOD},               KEY_POINT,        ANY,     ". ,",           "the point (the numeric keypad's too)"},
    {"+",      {SDLK_KP_PLUS},                 KEY_ADD,          ANY,     "+",             "+ (the numeric keypad's too)"},
    {"-",      {SDLK_KP_MINUS},                KEY_SUBTRACT,     ANY,     "-",             "- (right after EXP: the exponent's sign)"},
    {"*",      {SDLK_KP_MULTIPLY},             KEY_MULTIPLY,     ANY,     "*",             "times (the numeric keypad's too)"},
    {"/",      {SDLK_KP_DIVIDE},               KEY_DIVIDE,       ANY,     "/",             "divided by (the numeric keypad's too)"},
    {"(",      {},                             KEY_OPEN,         ANY,     "(",             "("},
    {")",      {},                             KEY_CLOSE,        ANY,     ")",             ")"},
    {"=",      {SDLK_RETURN, SDLK_KP_ENTER},   KEY_EQUALS,       ANY,     "= Return Enter", "="},
    {"eE",     {},                             KEY_EXP,          ANY,     "e E",           "EXP"},
    {"_",      {SDLK_F9},                      KEY_SIGN,         ANY,     "_ F9",          "+/- (the sign)"},
    {"",       {SDLK_BACKSPACE},               KEY_BACKSPACE,    ANY,     "Backspace",     "backspace"},
    {"",       {SDLK_ESCAPE, SDLK_DELETE},     KEY_CLEAR,        ANY,     "Escape Delete", "C"},
    {"i",      {},                             KEY_SHIFT,        ANY,     "i",             "Shift, on and off"},
    {"q",      {},                             KEY_SQUARE,       NORMAL,  "q",             "x squared"},
    {"@",      {},                             KEY_SQUARE_ROOT,  NORMAL,  "@",             "square root"},
    {"^y",     {},                             KEY_POWER,        NORMAL,  "^ y",           "x to the power y"},
    {"#",      {},                             KEY_ROOT,         NORMAL,  "#",             "y-th root of x"},
    {"x",      {},                             KEY_EXPONENTIAL,  NORMAL,  "x",             "e to the power x"},
    {"n",      {},                             KEY_LN,           NORMAL,  "n",             "ln"},
    {"g",      {},                             KEY_TEN_POWER,    NORMAL,  "g",             "10 to the power x"},
    {"l",      {},                             KEY_LOG,          NORMAL,  "l",             "log"},
    {"!",      {},                             KEY_FACTORIAL,    NORMAL,  "!",             "n!"},
    {"r",      {},                             KEY_RECIPROCAL,   NORMAL,  "r",             "1/x"},
    {"%",      {},                             KEY_PERCENT,      NORMAL,  "%",             "percent"},
    {"s",      {},                             KEY_SQUARE,       SHIFTED, "s",             "sin (Shift, x squared)"},
    {"o",      {},                             KEY_SQUARE_ROOT,  SHIFTED, "o",             "cos (Shift, square root)"},
    {"t",      {},                             KEY_POWER,        SHIFTED, "t",             "tan (Shift, x to the power y)"},
    {"d",      {},                             KEY_ROOT,         SHIFTED, "d",             "Deg/Rad (Shift, y-th root)"},
    {"S",      {},                             KEY_EXPONENTIAL,  SHIFTED, "S",             "inverse sin (Shift, e to the x)"},
    {"O",      {},                             KEY_LN,           SHIFTED, "O",             "inverse cos (Shift, ln)"},
    {"T",      {},                             KEY_TEN_POWER,    SHIFTED, "T",             "inverse tan (Shift, 10 to the x)"},
    {"f",      {},                             KEY_LOG,          SHIFTED, "f",             "FMT, the number format (Shift, log)"},
    {";",      {},                             KEY_FACTORIAL,    SHIFTED, ";",             "Int (Shift, n!)"},
    {":",      {},                             KEY_RECIPROCAL,   SHIFTED, ":",             "Frac (Shift, 1/x)"},
    {"\\",     {},                             KEY_PERCENT,      SHIFTED, "\\",            "mod (Shift, percent)"},
    {"p",      {},                             KEY_PI,           ANY,     "p",             "pi"},
    {"m",      {},                             KEY_STORE,        ANY,     "m",             "STO, memory store"},
    {"R",      {},                             KEY_RECALL,       ANY,     "R",             "RCL, memory recall"},
    {"a",      {},                             KEY_ANSWER,       ANY,     "a",             "Ans, the last answer"},
};

// --- The window's commands ---

struct Command {
    SDLKey key;
    int modifiers;  // held for it (either side's); KMOD_NONE: none of Ctrl
    TypedAction action;
    const char* typed;
    const char* does;
};

constexpr Command COMMANDS[] = {
    {SDLK_q,      KMOD_CTRL,  {TypedAction::PRESS, KEY_OFF},         "Ctrl+Q",       "Off"},
    {SDLK_c,      KMOD_CTRL,  {TypedAction::COPY, NO_KEY},           "Ctrl+C",       "copies the number shown"},
    {SDLK_v,      KMOD_CTRL,  {TypedAction::PASTE, NO_KEY},          "Ctrl+V",       "pastes a number or a calculation"},
    {SDLK_INSERT, KMOD_SHIFT, {TypedAction::PASTE, NO_KEY},          "Shift+Insert", "pastes as Ctrl+V does"},
    {SDLK_UP,     KMOD_NONE,  {TypedAction::CURSOR_UP, NO_KEY},      "Up",           "key cursor up"},
    {SDLK_DOWN,   KMOD_NONE,  {TypedAction::CURSOR_DOWN, NO_KEY},    "Down",         "key cursor down"},
    {SDLK_LEFT,   KMOD_NONE,  {TypedAction::CURSOR_LEFT, NO_KEY},    "Left",         "key cursor left"},
    {SDLK_RIGHT,  KMOD_NONE,  {TypedAction::CURSOR_RIGHT, NO_KEY},   "Right",        "key cursor right"},
    {SDLK_SPACE,  KMOD_NONE,  {TypedAction::CURSOR_PRESS, NO_KEY},   "Space",        "presses the key under the key cursor"},
};

constexpr TypedAction NOTHING_TYPED{TypedAction::NOTHING, NO_KEY};

TypedAction by_key(SDLKey key) {
    for (const KeyboardRow& row : KEYBOARD_TABLE)
        for (SDLKey k : row.keys)
            if (k != SDLK_UNKNOWN && k == key) return {TypedAction::PRESS, row.key, row.meaning};
    return NOTHING_TYPED;
}

}  // namespace

// --- The lines of --help ---

std::vector<KeyboardLine> keyboard_lines() {
    std::vector<KeyboardLine> lines;
    for (const KeyboardRow& row : KEYBOARD_TABLE) lines.push_back({row.typed, row.does});
    for (const Command& command : COMMANDS) lines.push_back({command.typed, command.does});
    return lines;
}

// --- The lookup ---

TypedAction character_action(char character) {
    // Only printable ASCII is in the table; the rest (Return's CR, Escape's
    // ESC, letters of other alphabets) is no character of a calculator key.
    if (character < 0x20 || character >= 0x7f) return NOTHING_TYPED;
    for (const KeyboardRow& row : KEYBOARD_TABLE)
        if (std::strchr(row.characters, character) != nullptr) return {TypedAction::PRESS, row.key, row.meaning};
    return NOTHING_TYPED;
}

TypedAction typed_action(Uint16 character, SDLKey key, SDLMod modifiers) {
    const bool ctrl = (modifiers & KMOD_CTRL) != 0;
    for (const Command& command : COMMANDS) {
        if (command.key != key) continue;
        if (command.modifiers == KMOD_NONE ? !ctrl : (modifiers & command.modifiers) != 0) return command.action;
    }
    if (ctrl) return NOTHING_TYPED;  // Ctrl+E is no EXP, Ctrl+9 no digit
    const TypedAction typed = character < 0x80 ? character_action(static_cast<char>(character)) : NOTHING_TYPED;
    return typed.kind != TypedAction::NOTHING ? typed : by_key(key);
}

}  // namespace tarno
