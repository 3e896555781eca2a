// Common ground for the engine's tests: every test starts from power-on.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "engine_internal.h"

namespace tarno {

class Engine : public ::testing::Test {
protected:
    void SetUp() override { power_on(); }

    static void press(std::initializer_list<KeyCode> keys) {
        for (KeyCode k : keys) handle_key(k);
    }

    static const CalcState& state() { return read_only_calc_state(); }
    static double x() { return read_only_calc_state().x_value; }

    // The mantissa field's text, bytes 0 up to its zero, blanks included.
    static std::string mantissa() { return std::string(read_only_calc_state().display_text); }

    // The exponent field's text from byte 17 up to its zero.
    static std::string exponent() { return std::string(read_only_calc_state().display_text + EXPONENT_FIELD); }

    static std::string number_line() { return screen_texts(read_only_calc_state()).number_line; }
};

// Key codes by legend, so that sequences read like the keypad.
enum Key : KeyCode {
    K_SQUARE = 11, K_SIN = 11, K_SQRT = 12, K_COS = 12, K_POW = 13, K_TAN = 13, K_ROOT = 14, K_DEGRAD = 14,
    K_SHIFT = 15, K_EXP_E = 21, K_ASIN = 21, K_LN = 22, K_ACOS = 22, K_TEN_X = 23, K_ATAN = 23,
    K_LOG = 24, K_FORMAT = 24, K_C = 25, K_FACT = 31, K_INT = 31, K_RECIP = 32, K_FRAC = 32,
    K_PERCENT = 33, K_MOD = 33, K_PI = 34, K_MR = 35, K_7 = 41, K_8 = 42, K_9 = 43, K_DIV = 44,
    K_MS = 45, K_4 = 51, K_5 = 52, K_6 = 53, K_MUL = 54, K_ANS = 55, K_1 = 61, K_2 = 62, K_3 = 63,
    K_SUB = 64, K_OPEN = 65, K_0 = 71, K_POINT = 72, K_SIGN = 73, K_ADD = 74, K_CLOSE = 75,
    K_OFF = 81, K_EXP = 82, K_BACK = 83, K_EQ = 85,
};

}  // namespace tarno
