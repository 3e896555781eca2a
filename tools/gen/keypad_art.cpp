#include "keypad_art.h"

namespace tarno_gen {

namespace {

// Legend sizes in pixels: digits and operator signs large, the words of the
// functions as large as five letters allow in a key 39 pixels wide.
constexpr int DIGIT = 17;
constexpr int SIGN = 19;
constexpr int FUNCTION = 14;
constexpr int WORD = 12;

Legend text(int size, const char* utf8) { return Legend{size, {Piece{utf8}}}; }

Legend power(int size, const char* base, const char* exponent) {
    return Legend{size, {Piece{base}, Piece{exponent, Role::Superscript}}};
}

const Legend SAME{};

std::vector<KeyArt> make_keypad_art() {
    const Legend square_root{FUNCTION + 1, {Piece{"√", Role::Radical}, Piece{"x"}}};
    // The index of the root sits over the sign's hook.
    const Legend yth_root{FUNCTION + 1, {Piece{"y", Role::Superscript}, Piece{"√", Role::Radical, -3}, Piece{"x"}}};
    // Set tight, the longest legend still fits a key at a legible size.
    const Legend degree_radian{WORD, {Piece{"Deg"}, Piece{"/", Role::Base, -1}, Piece{"Rad", Role::Base, -1}}};
    // The arrow stands at the height of a lower-case letter; centred, it
    // balances the key.
    const Legend backspace{SIGN + 1, {Piece{"←"}}, true};
    // A full stop of the digits' size would be a speck of four pixels: the
    // point is drawn large, in the middle of its key.
    const Legend decimal_point{2 * DIGIT, {Piece{"."}}, true};
    return {
        {tarno::KEY_SQUARE, Group::Function, power(FUNCTION, "x", "2"), text(FUNCTION, "sin")},
        {tarno::KEY_SQUARE_ROOT, Group::Function, square_root, text(FUNCTION, "cos")},
        {tarno::KEY_POWER, Group::Function, power(FUNCTION, "x", "y"), text(FUNCTION, "tan")},
        {tarno::KEY_ROOT, Group::Function, yth_root, degree_radian},
        {tarno::KEY_SHIFT, Group::Shift, text(WORD, "Shift"), SAME},
        {tarno::KEY_EXPONENTIAL, Group::Function, power(FUNCTION, "e", "x"), power(FUNCTION, "sin", "−1")},
        {tarno::KEY_LN, Group::Function, text(FUNCTION, "ln"), power(FUNCTION, "cos", "−1")},
        {tarno::KEY_TEN_POWER, Group::Function, power(FUNCTION, "10", "x"), power(FUNCTION, "tan", "−1")},
        {tarno::KEY_LOG, Group::Function, text(FUNCTION, "log"), text(WORD, "FMT")},
        {tarno::KEY_CLEAR, Group::Clear, text(DIGIT, "C"), SAME},
        {tarno::KEY_FACTORIAL, Group::Function, text(FUNCTION, "n!"), text(FUNCTION, "Int")},
        {tarno::KEY_RECIPROCAL, Group::Function, text(FUNCTION, "1/x"), text(FUNCTION, "Frac")},
        {tarno::KEY_PERCENT, Group::Function, text(FUNCTION + 1, "%"), text(FUNCTION, "mod")},
        {tarno::KEY_PI, Group::Function, text(DIGIT, "π"), SAME},
        {tarno::KEY_RECALL, Group::Memory, text(WORD, "RCL"), SAME},
        {tarno::KEY_7, Group::Digit, text(DIGIT, "7"), SAME},
        {tarno::KEY_8, Group::Digit, text(DIGIT, "8"), SAME},
        {tarno::KEY_9, Group::Digit, text(DIGIT, "9"), SAME},
        {tarno::KEY_DIVIDE, Group::Operator, text(SIGN, "÷"), SAME},
        {tarno::KEY_STORE, Group::Memory, text(WORD, "STO"), SAME},
        {tarno::KEY_4, Group::Digit, text(DIGIT, "4"), SAME},
        {tarno::KEY_5, Group::Digit, text(DIGIT, "5"), SAME},
        {tarno::KEY_6, Group::Digit, text(DIGIT, "6"), SAME},
        {tarno::KEY_MULTIPLY, Group::Operator, text(SIGN, "×"), SAME},
        {tarno::KEY_ANSWER, Group::Memory, text(WORD, "Ans"), SAME},
        {tarno::KEY_1, Group::Digit, text(DIGIT, "1"), SAME},
        {tarno::KEY_2, Group::Digit, text(DIGIT, "2"), SAME},
        {tarno::KEY_3, Group::Digit, text(DIGIT, "3"), SAME},
        {tarno::KEY_SUBTRACT, Group::Operator, text(SIGN, "−"), SAME},
        {tarno::KEY_OPEN, Group::Operator, text(DIGIT, "("), SAME},
        {tarno::KEY_0, Group::Digit, text(DIGIT, "0"), SAME},
        {tarno::KEY_POINT, Group::Digit, decimal_point, SAME},
        {tarno::KEY_SIGN, Group::Digit, text(FUNCTION, "+/−"), SAME},
        {tarno::KEY_ADD, Group::Operator, text(SIGN, "+"), SAME},
        {tarno::KEY_CLOSE, Group::Operator, text(DIGIT, ")"), SAME},
        {tarno::KEY_OFF, Group::Clear, text(WORD, "Off"), SAME},
        {tarno::KEY_EXP, Group::Digit, text(WORD, "EXP"), SAME},
        {tarno::KEY_BACKSPACE, Group::Clear, backspace, SAME},
        {tarno::KEY_EQUALS, Group::Operator, Legend{SIGN + 5, {Piece{"="}}, true}, SAME},
    };
}

}  // namespace

const std::vector<KeyArt>& keypad_art() {
    static const std::vector<KeyArt> art = make_keypad_art();
    return art;
}

FaceStyle face_style(Group group, bool lit) {
    constexpr Rgb white{242, 242, 240};
    constexpr Rgb black{24, 24, 26};
    switch (group) {
        case Group::Function: return {{74, 80, 89}, white};
        case Group::Shift: return lit ? FaceStyle{SHIFT_GOLD, black} : FaceStyle{{196, 142, 40}, black};
        case Group::Digit: return {{232, 230, 224}, black};
        case Group::Operator: return {{84, 110, 150}, white};
        case Group::Memory: return {{52, 118, 110}, white};
        case Group::Clear: return {{186, 62, 54}, white};
    }
    return {BODY, white};
}

}  // namespace tarno_gen
