// The calculator engine's boundary: what the shell, the display and the
// tools may use. The engine is the only writer of CalcState; everyone else
// gets it read-only through read_only_calc_state().
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarno {

// A keypad key as the user sees it: tens digit = row 1..8 from the top,
// units digit = column 1..5 from the left; 0 = no key.
using KeyCode = int;

// Every key by the name of its normal meaning, laid out as the keypad is;
// the key table gives each its shifted meaning. 84 lies under the equals
// key, which no tap can miss for it, and has no name.
constexpr KeyCode NO_KEY = 0;
constexpr KeyCode KEY_SQUARE = 11, KEY_SQUARE_ROOT = 12, KEY_POWER = 13, KEY_ROOT = 14, KEY_SHIFT = 15;
constexpr KeyCode KEY_EXPONENTIAL = 21, KEY_LN = 22, KEY_TEN_POWER = 23, KEY_LOG = 24, KEY_CLEAR = 25;
constexpr KeyCode KEY_FACTORIAL = 31, KEY_RECIPROCAL = 32, KEY_PERCENT = 33, KEY_PI = 34, KEY_RECALL = 35;
constexpr KeyCode KEY_7 = 41, KEY_8 = 42, KEY_9 = 43, KEY_DIVIDE = 44, KEY_STORE = 45;
constexpr KeyCode KEY_4 = 51, KEY_5 = 52, KEY_6 = 53, KEY_MULTIPLY = 54, KEY_ANSWER = 55;
constexpr KeyCode KEY_1 = 61, KEY_2 = 62, KEY_3 = 63, KEY_SUBTRACT = 64, KEY_OPEN = 65;
constexpr KeyCode KEY_0 = 71, KEY_POINT = 72, KEY_SIGN = 73, KEY_ADD = 74, KEY_CLOSE = 75;
constexpr KeyCode KEY_OFF = 81, KEY_EXP = 82, KEY_BACKSPACE = 83, KEY_EQUALS = 85;

// The pending binary operation; the codes are part of the calculator's state.
enum PendingOp : std::uint8_t {
    OP_NONE = 0,
    OP_DIVIDE = 1,
    OP_MULTIPLY = 2,
    OP_SUBTRACT = 3,
    OP_ADD = 4,
    OP_POWER = 5,
    OP_ROOT = 6,
    OP_MODULO = 7,
};

constexpr int FORMAT_NORM = -2;
constexpr int FORMAT_SCI = -1;
constexpr unsigned PAREN_LEVELS = 8;
constexpr std::size_t DISPLAY_TEXT_SIZE = 22;  // mantissa field 0..16, exponent field 17..21
constexpr std::size_t MANTISSA_CHARS = 16;     // longest mantissa text; its zero at the latest in byte 16
constexpr std::size_t EXPONENT_FIELD = 17;     // first byte of the exponent field

// Everything the calculator knows, in one record.
struct CalcState {
    std::uint8_t shift_active;        // 1 = second functions, shifted keypad picture
    double x_value;                   // the value register: shown, operated on, right operand
    double pending_operand;           // left operand of the pending operation
    double memory_value;              // memory register; the M mark shows while it is not 0
    double last_answer;               // result of the last = or ), recalled by Ans
    std::int32_t sign_char;           // ' ' or '-': the mantissa's sign, never in display_text
    std::int32_t display_format;      // FORMAT_NORM, FORMAT_SCI or 0..9 fixed decimals
    std::int32_t degree_mode;         // 0 = radians, 1 = degrees
    std::uint8_t pending_op;          // a PendingOp code
    std::uint8_t entry_active;        // 1 while a number is being typed
    std::uint32_t paren_depth;        // open parentheses, 0..8
    std::uint8_t exponent_entry;      // 1 after EXP: digits go to the exponent
    double paren_operands[PAREN_LEVELS];      // saved pending_operand per level, 0 = outermost
    std::uint8_t paren_ops[PAREN_LEVELS];     // saved pending_op per level
    char display_text[DISPLAY_TEXT_SIZE];     // mantissa field and exponent field
};

// The texts that the screen shows for a state: what the display draws and
// what tarno-keys prints, built in one place so that the two always agree.
struct ScreenTexts {
    const char* keypad_picture;  // "tarno/tarno9.bmp" while shift is active, else "tarno/tarno.bmp"
    char paren_mark[16];         // "(%d" with paren_depth; empty when no parenthesis is open
    const char* memory_mark;     // "M" while memory_value is not 0, else " "
    char format_name[16];        // "Norm", "Sci" or "fix0".."fix9"
    const char* angle_unit;      // "Deg" or "Rad"
    char number_line[32];        // sign, mantissa without its leading blanks, "E" and exponent when shown
};

// Read-only view of the one state record; valid for the whole run.
const CalcState& read_only_calc_state();

// Power-on reset, called once at start-up (and by each tool run, each test):
// clears everything, memory included, radians, Norm, and Ans = 0.
void power_on();

// Performs one tapped key on the state, in the current shift state.
// Returns true when the key asks for the calculator to be switched off (Off).
bool handle_key(KeyCode key);

// Composes the screen's texts from a state; pure, reads nothing else.
ScreenTexts screen_texts(const CalcState& state);

// The values kept while the calculator is switched off (the memory, Ans,
// the angle unit and the format), as one small versioned text.
constexpr std::size_t KEPT_STATE_SIZE = 160;

// The kept values of state as the kept-state text, NUL-terminated; a
// memory or Ans that is not a finite number is written as 0.
void write_kept_state(const CalcState& state, char (&out)[KEPT_STATE_SIZE]);

// Puts the kept values of text (length bytes, no NUL needed) into the state
// and shows the zero in the kept format, when the text is whole and valid;
// otherwise changes nothing and returns false with *why saying what is wrong.
bool restore_kept_state(const char* text, std::size_t length, const char** why);

}  // namespace tarno
