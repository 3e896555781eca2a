// The key dispatch (both shift states, the three endings, memory, Ans, the
// format cycle, Off) and the texts that the screen shows for a state.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "engine_fixture.h"

namespace tarno {
namespace {

using Keys = Engine;

TEST_F(Keys, CodesWithoutAnActionOnlyEndTheEntry) {
    for (KeyCode code : {0, -1, 10, 16, 20, 36, 84, 86, 90, 1000}) {
        SCOPED_TRACE(code);
        power_on();
        press({K_1, K_2});
        EXPECT_FALSE(handle_key(code));
        EXPECT_EQ(state().entry_active, 0);
        EXPECT_EQ(x(), 12.0);
        EXPECT_EQ(number_line(), " 12");
        press({K_3});
        EXPECT_EQ(number_line(), " 3");  // a new number, not 123
    }
}

TEST_F(Keys, ShiftStaysOnUntilShiftOrC) {
    press({K_SHIFT});
    EXPECT_EQ(state().shift_active, 1);
    EXPECT_STREQ(screen_texts(state()).keypad_picture, "tarno/tarno9.bmp");
    press({K_1, K_ADD, K_2, K_EQ, K_MS, K_OPEN, K_CLOSE});
    EXPECT_EQ(state().shift_active, 1);
    press({K_SHIFT});
    EXPECT_EQ(state().shift_active, 0);
    EXPECT_STREQ(screen_texts(state()).keypad_picture, "tarno/tarno.bmp");
    press({K_SHIFT, K_C});
    EXPECT_EQ(state().shift_active, 0);
}

std::uint64_t bits(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

// Every field but shift_active; doubles by their bits, so that a NaN equals
// itself and a negative zero differs from a zero.
void expect_same_except_shift(const CalcState& a, const CalcState& b) {
    EXPECT_EQ(bits(a.x_value), bits(b.x_value));
    EXPECT_EQ(bits(a.pending_operand), bits(b.pending_operand));
    EXPECT_EQ(bits(a.memory_value), bits(b.memory_value));
    EXPECT_EQ(bits(a.last_answer), bits(b.last_answer));
    EXPECT_EQ(a.sign_char, b.sign_char);
    EXPECT_EQ(a.display_format, b.display_format);
    EXPECT_EQ(a.degree_mode, b.degree_mode);
    EXPECT_EQ(a.pending_op, b.pending_op);
    EXPECT_EQ(a.entry_active, b.entry_active);
    EXPECT_EQ(a.paren_depth, b.paren_depth);
    EXPECT_EQ(a.exponent_entry, b.exponent_entry);
    for (unsigned i = 0; i < PAREN_LEVELS; ++i) {
        EXPECT_EQ(bits(a.paren_operands[i]), bits(b.paren_operands[i])) << "level " << i;
        EXPECT_EQ(a.paren_ops[i], b.paren_ops[i]) << "level " << i;
    }
    EXPECT_EQ(std::string(a.display_text, DISPLAY_TEXT_SIZE), std::string(b.display_text, DISPLAY_TEXT_SIZE));
}

TEST_F(Keys, KeysWithoutASecondMeaningDoTheSameInBothShiftStates) {
    // Starting states, each typed from power-on: fresh; typing a mantissa
    // inside a parenthesis with memory set; typing an exponent with +
    // pending; a result shown in fix2 and degrees with − pending and an
    // answer; a full mantissa under eight open parentheses.
    const std::vector<std::vector<KeyCode>> starts = {
        {},
        {K_3, K_MS, K_7, K_MUL, K_OPEN, K_1, K_2, K_POINT, K_5},
        {K_2, K_ADD, K_5, K_EXP, K_3},
        {K_SHIFT, K_DEGRAD, K_FORMAT, K_FORMAT, K_FORMAT, K_FORMAT, K_SHIFT, K_6, K_EQ, K_4, K_0, K_0, K_SUB, K_1,
         K_6, K_SQRT},
        {K_9, K_DIV, K_OPEN, K_OPEN, K_OPEN, K_OPEN, K_OPEN, K_OPEN, K_OPEN, K_OPEN, K_1, K_2, K_3, K_4, K_5, K_6,
         K_7, K_8, K_9, K_0, K_1, K_2, K_3, K_4, K_5, K_6},
    };
    // Every code but 11..15, 21..24 and 31..33, row by row, and two without an action.
    const KeyCode same[] = {
        K_C,   K_PI,    K_MR,
        K_7,   K_8,     K_9,    K_DIV, K_MS,
        K_4,   K_5,     K_6,    K_MUL, K_ANS,
        K_1,   K_2,     K_3,    K_SUB, K_OPEN,
        K_0,   K_POINT, K_SIGN, K_ADD, K_CLOSE,
        K_OFF, K_EXP,   K_BACK, 84,    K_EQ,    16, 0,
    };
    for (const std::vector<KeyCode>& start : starts) {
        for (KeyCode key : same) {
            SCOPED_TRACE(testing::Message() << "key " << key << " after " << start.size() << " keys");
            power_on();
            for (KeyCode k : start) handle_key(k);
            const bool normal_off = handle_key(key);
            const CalcState normal = state();
            EXPECT_EQ(normal.shift_active, 0);

            power_on();
            for (KeyCode k : start) handle_key(k);
            writable_calc_state().shift_active = 1;
            EXPECT_EQ(handle_key(key), normal_off);
            expect_same_except_shift(state(), normal);
            EXPECT_EQ(state().shift_active, key == K_C ? 0 : 1);  // only C clears the shift
        }
    }
}

TEST_F(Keys, ShiftAndModeKeysEndTheEntry) {
    press({K_1, K_2, K_SHIFT, K_SHIFT, K_3});
    EXPECT_EQ(number_line(), " 3");
    press({K_4, K_SHIFT, K_DEGRAD, K_5});
    EXPECT_EQ(number_line(), " 5");
    press({K_6, K_FORMAT, K_7});
    EXPECT_EQ(number_line(), " 7");
}

TEST_F(Keys, DigitsAppendOnlyWhileTheEntryIsOpen) {
    press({K_1, K_2});
    EXPECT_EQ(number_line(), " 12");
    press({K_SIGN, K_3});  // +/- keeps the entry open
    EXPECT_EQ(number_line(), "-123");
    press({K_BACK, K_4});  // so does backspace
    EXPECT_EQ(number_line(), "-124");
    press({K_EXP, K_5});  // and EXP
    EXPECT_EQ(number_line(), "-124E 5 ");
    EXPECT_EQ(x(), -124e5);
    press({K_MUL, K_6});
    EXPECT_EQ(number_line(), " 6");
}

TEST_F(Keys, FormatKeyCyclesNormSciFix0ToFix9ThenNorm) {
    const char* names[] = {"Sci",  "fix0", "fix1", "fix2", "fix3", "fix4",
                           "fix5", "fix6", "fix7", "fix8", "fix9", "Norm"};
    press({K_2, K_RECIP, K_SHIFT});
    EXPECT_STREQ(screen_texts(state()).format_name, "Norm");
    for (const char* name : names) {
        press({K_FORMAT});
        EXPECT_STREQ(screen_texts(state()).format_name, name);
    }
    // The new format shows at once, in the same key's ending.
    press({K_FORMAT});
    EXPECT_EQ(number_line(), " 5.000000E-01");
    press({K_FORMAT, K_FORMAT, K_FORMAT});
    EXPECT_EQ(number_line(), " 0.50");
}

TEST_F(Keys, MemoryStoreReplacesAndRecallKeepsThePendingOperation) {
    press({K_4, K_2, K_MS});
    EXPECT_EQ(state().memory_value, 42.0);
    EXPECT_STREQ(screen_texts(state()).memory_mark, "M");
    press({K_1, K_ADD, K_MR, K_EQ});
    EXPECT_EQ(x(), 43.0);
    press({K_7, K_MS});
    EXPECT_EQ(state().memory_value, 7.0);  // store replaces, it does not add
    press({K_0, K_MS});
    EXPECT_STREQ(screen_texts(state()).memory_mark, " ");
}

TEST_F(Keys, AnsRecallsTheLastEqualsOrClosingParenthesis) {
    press({K_6, K_MUL, K_7, K_EQ, K_C, K_ANS});
    EXPECT_EQ(x(), 42.0);
    press({K_1, K_ADD, K_ANS, K_EQ});
    EXPECT_EQ(x(), 43.0);
}

TEST_F(Keys, ClearKeepsMemoryAnswerFormatAndAngleUnit) {
    press({K_5, K_MS, K_3, K_EQ, K_SHIFT, K_DEGRAD, K_FORMAT, K_OPEN, K_2, K_ADD, K_C});
    EXPECT_EQ(state().memory_value, 5.0);
    EXPECT_EQ(state().last_answer, 3.0);
    EXPECT_EQ(state().degree_mode, 1);
    EXPECT_EQ(state().display_format, FORMAT_SCI);
    EXPECT_EQ(state().paren_depth, 0u);
    EXPECT_EQ(state().pending_op, OP_NONE);
    EXPECT_EQ(state().shift_active, 0);
    EXPECT_EQ(x(), 0.0);
    EXPECT_EQ(number_line(), " 0.000000E+00");  // 0 in the kept format

    power_on();
    EXPECT_EQ(state().memory_value, 0.0);
    EXPECT_EQ(state().degree_mode, 0);
    EXPECT_EQ(state().display_format, FORMAT_NORM);
    EXPECT_EQ(number_line(), " 0");
}

TEST_F(Keys, OffAsksToSwitchOffAndStillTakesTheCommonEnding) {
    press({K_1, K_2});
    EXPECT_TRUE(handle_key(K_OFF));
    EXPECT_EQ(state().entry_active, 0);
    EXPECT_EQ(number_line(), " 12");
    EXPECT_FALSE(handle_key(K_3));
    press({K_SHIFT});
    EXPECT_TRUE(handle_key(K_OFF));
}

TEST_F(Keys, ScreenTextsForTheStatusMarks) {
    CalcState s = read_only_calc_state();
    ScreenTexts t = screen_texts(s);
    EXPECT_STREQ(t.keypad_picture, "tarno/tarno.bmp");
    EXPECT_STREQ(t.paren_mark, "");
    EXPECT_STREQ(t.memory_mark, " ");
    EXPECT_STREQ(t.format_name, "Norm");
    EXPECT_STREQ(t.angle_unit, "Rad");
    EXPECT_STREQ(t.number_line, " 0");

    s.paren_depth = 8;
    s.memory_value = -0.0;
    s.display_format = 0;
    s.degree_mode = 1;
    t = screen_texts(s);
    EXPECT_STREQ(t.paren_mark, "(8");
    EXPECT_STREQ(t.memory_mark, " ");  // a negative zero is no memory
    EXPECT_STREQ(t.format_name, "fix0");
    EXPECT_STREQ(t.angle_unit, "Deg");

    s.memory_value = std::numeric_limits<double>::quiet_NaN();
    s.display_format = 9;
    s.paren_depth = 1;
    t = screen_texts(s);
    EXPECT_STREQ(t.memory_mark, "M");
    EXPECT_STREQ(t.format_name, "fix9");
    EXPECT_STREQ(t.paren_mark, "(1");
}

TEST_F(Keys, NumberLineShowsSignMantissaAndExponent) {
    press({K_SHIFT, K_FORMAT, K_SHIFT, K_POINT, K_0, K_0, K_1, K_SIGN, K_EQ});
    EXPECT_EQ(number_line(), "-1.000000E-03");
    press({K_1, K_EXP, K_2, K_SIGN, K_EQ});
    EXPECT_EQ(number_line(), " 1.000000E-02");
    press({K_SHIFT, K_FORMAT, K_FORMAT, K_FORMAT, K_FORMAT, K_FORMAT, K_FORMAT, K_FORMAT, K_FORMAT,
           K_FORMAT, K_FORMAT, K_FORMAT, K_SHIFT});
    EXPECT_STREQ(screen_texts(state()).format_name, "Norm");
    press({K_1, K_0, K_SHIFT, K_FACT, K_SHIFT, K_POW, K_2, K_0, K_EQ});
    EXPECT_EQ(number_line(), " 1.000000E+20");
}

}  // namespace
}  // namespace tarno
