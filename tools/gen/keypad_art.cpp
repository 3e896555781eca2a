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
        {11, Group::Function, power(FUNCTION, "x", "2"), text(FUNCTION, "sin")},
        {12, Group::Function, square_root, text(FUNCTION, "cos")},
        {13, Group::Function, power(FUNCTION, "x", "y"), text(FUNCTION, "tan")},
        {14, Group::Function, yth_root, degree_radian},
        {15, Group::Shift, text(WORD, "Shift"), SAME},
        {21, Group::Function, power(FUNCTION, "e", "x"), power(FUNCTION, "sin", "−1")},
        {22, Group::Function, text(FUNCTION, "ln"), power(FUNCTION, "cos", "−1")},
        {23, Group::Function, power(FUNCTION, "10", "x"), power(FUNCTION, "tan", "−1")},
        {24, Group::Function, text(FUNCTION, "log"), text(WORD, "FMT")},
        {25, Group::Clear, text(DIGIT, "C"), SAME},
        {31, Group::Function, text(FUNCTION, "n!"), text(FUNCTION, "Int")},
        {32, Group::Function, text(FUNCTION, "1/x"), text(FUNCTION, "Frac")},
        {33, Group::Function, text(FUNCTION + 1, "%"), text(FUNCTION, "mod")},
        {34, Group::Function, text(DIGIT, "π"), SAME},
        {35, Group::Memory, text(WORD, "RCL"), SAME},
        {41, Group::Digit, text(DIGIT, "7"), SAME},
        {42, Group::Digit, text(DIGIT, "8"), SAME},
        {43, Group::Digit, text(DIGIT, "9"), SAME},
        {44, Group::Operator, text(SIGN, "÷"), SAME},
        {45, Group::Memory, text(WORD, "STO"), SAME},
        {51, Group::Digit, text(DIGIT, "4"), SAME},
        {52, Group::Digit, text(DIGIT, "5"), SAME},
        {53, Group::Digit, text(DIGIT, "6"), SAME},
        {54, Group::Operator, text(SIGN, "×"), SAME},
        {55, Group::Memory, text(WORD, "Ans"), SAME},
        {61, Group::Digit, text(DIGIT, "1"), SAME},
        {62, Group::Digit, text(DIGIT, "2"), SAME},
        {63, Group::Digit, text(DIGIT, "3"), SAME},
        {64, Group::Operator, text(SIGN, "−"), SAME},
        {65, Group::Operator, text(DIGIT, "("), SAME},
        {71, Group::Digit, text(DIGIT, "0"), SAME},
        {72, Group::Digit, decimal_point, SAME},
        {73, Group::Digit, text(FUNCTION, "+/−"), SAME},
        {74, Group::Operator, text(SIGN, "+"), SAME},
        {75, Group::Operator, text(DIGIT, ")"), SAME},
        {81, Group::Clear, text(WORD, "Off"), SAME},
        {82, Group::Digit, text(WORD, "EXP"), SAME},
        {83, Group::Clear, backspace, SAME},
        {85, Group::Operator, Legend{SIGN + 5, {Piece{"="}}, true}, SAME},
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
