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

}  // namespace tarno
