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
        press({KEY_1, KEY_2});
        EXPECT_FALSE(handle_key(code));
        EXPECT_EQ(state().entry_active, 0);
        EXPECT_EQ(x(), 12.0);
        EXPECT_EQ(number_line(), " 12");
        press({KEY_3});
        EXPECT_EQ(number_line(), " 3");  // a new number, not 123
    }
}

TEST_F(Keys, ShiftStaysOnUntilShiftOrC) {
    press({KEY_SHIFT});
    EXPECT_EQ(state().shift_active, 1);
    EXPECT_STREQ(screen_texts(state()).keypad_picture, "tarno/tarno9.bmp");
    press({KEY_1, KEY_ADD, KEY_2, KEY_EQUALS, KEY_STORE, KEY_OPEN, KEY_CLOSE});
    EXPECT_EQ(state().shift_active, 1);
    press({KEY_SHIFT});
    EXPECT_EQ(state().shift_active, 0);
    EXPECT_STREQ(screen_texts(state()).keypad_picture, "tarno/tarno.bmp");
    press({KEY_SHIFT, KEY_CLEAR});
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
        {KEY_3, KEY_STORE, KEY_7, KEY_MULTIPLY, KEY_OPEN, KEY_1, KEY_2, KEY_POINT, KEY_5},
        {KEY_2, KEY_ADD, KEY_5, KEY_EXP, KEY_3},
        {KEY_SHIFT, KEY_ROOT, KEY_LOG, KEY_LOG, KEY_LOG, KEY_LOG, KEY_SHIFT, KEY_6, KEY_EQUALS, KEY_4, KEY_0, KEY_0,
         KEY_SUBTRACT, KEY_1, KEY_6, KEY_SQUARE_ROOT},
        {KEY_9, KEY_DIVIDE, KEY_OPEN, KEY_OPEN, KEY_OPEN, KEY_OPEN, KEY_OPEN, KEY_OPEN, KEY_OPEN, KEY_OPEN,
         KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6},
    };
    // Every code but 11..15, 21..24 and 31..33, row by row, and two without an action.
    const KeyCode same[] = {
                                             KEY_CLEAR,
                                   KEY_PI,   KEY_RECALL,
        KEY_7,   KEY_8,     KEY_9,           KEY_DIVIDE,   KEY_STORE,
        KEY_4,   KEY_5,     KEY_6,           KEY_MULTIPLY, KEY_ANSWER,
        KEY_1,   KEY_2,     KEY_3,           KEY_SUBTRACT, KEY_OPEN,
        KEY_0,   KEY_POINT, KEY_SIGN,        KEY_ADD,      KEY_CLOSE,
        KEY_OFF, KEY_EXP,   KEY_BACKSPACE,   84,           KEY_EQUALS,
        16, 0,
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
            EXPECT_EQ(state().shift_active, key == KEY_CLEAR ? 0 : 1);  // only C clears the shift
        }
    }
}

TEST_F(Keys, ShiftAndModeKeysEndTheEntry) {
    press({KEY_1, KEY_2, KEY_SHIFT, KEY_SHIFT, KEY_3});
    EXPECT_EQ(number_line(), " 3");
    press({KEY_4, KEY_SHIFT, KEY_ROOT, KEY_5});
    EXPECT_EQ(number_line(), " 5");
    press({KEY_6, KEY_LOG, KEY_7});
    EXPECT_EQ(number_line(), " 7");
}

TEST_F(Keys, DigitsAppendOnlyWhileTheEntryIsOpen) {
    press({KEY_1, KEY_2});
    EXPECT_EQ(number_line(), " 12");
    press({KEY_SIGN, KEY_3});  // +/- keeps the entry open
    EXPECT_EQ(number_line(), "-123");
    press({KEY_BACKSPACE, KEY_4});  // so does backspace
    EXPECT_EQ(number_line(), "-124");
    press({KEY_EXP, KEY_5});  // and EXP
    EXPECT_EQ(number_line(), "-124E 5 ");
    EXPECT_EQ(x(), -124e5);
    press({KEY_MULTIPLY, KEY_6});
    EXPECT_EQ(number_line(), " 6");
}

TEST_F(Keys, FormatKeyCyclesNormSciFix0ToFix9ThenNorm) {
    const char* names[] = {"Sci",  "fix0", "fix1", "fix2", "fix3", "fix4",
                           "fix5", "fix6", "fix7", "fix8", "fix9", "Norm"};
    press({KEY_2, KEY_RECIPROCAL, KEY_SHIFT});
    EXPECT_STREQ(screen_texts(state()).format_name, "Norm");
    for (const char* name : names) {
        press({KEY_LOG});
        EXPECT_STREQ(screen_texts(state()).format_name, name);
    }
    // The new format shows at once, in the same key's ending.
    press({KEY_LOG});
    EXPECT_EQ(number_line(), " 5.000000E-01");
    press({KEY_LOG, KEY_LOG, KEY_LOG});
    EXPECT_EQ(number_line(), " 0.50");
}

TEST_F(Keys, MemoryStoreReplacesAndRecallKeepsThePendingOperation) {
    press({KEY_4, KEY_2, KEY_STORE});
    EXPECT_EQ(state().memory_value, 42.0);
    EXPECT_STREQ(screen_texts(state()).memory_mark, "M");
    press({KEY_1, KEY_ADD, KEY_RECALL, KEY_EQUALS});
    EXPECT_EQ(x(), 43.0);
    press({KEY_7, KEY_STORE});
    EXPECT_EQ(state().memory_value, 7.0);  // store replaces, it does not add
    press({KEY_0, KEY_STORE});
    EXPECT_STREQ(screen_texts(state()).memory_mark, " ");
}

TEST_F(Keys, AnsRecallsTheLastEqualsOrClosingParenthesis) {
    press({KEY_6, KEY_MULTIPLY, KEY_7, KEY_EQUALS, KEY_CLEAR, KEY_ANSWER});
    EXPECT_EQ(x(), 42.0);
    press({KEY_1, KEY_ADD, KEY_ANSWER, KEY_EQUALS});
    EXPECT_EQ(x(), 43.0);
}

TEST_F(Keys, ClearKeepsMemoryAnswerFormatAndAngleUnit) {
    press({KEY_5, KEY_STORE, KEY_3, KEY_EQUALS, KEY_SHIFT, KEY_ROOT, KEY_LOG, KEY_OPEN, KEY_2, KEY_ADD, KEY_CLEAR});
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
    press({KEY_1, KEY_2});
    EXPECT_TRUE(handle_key(KEY_OFF));
    EXPECT_EQ(state().entry_active, 0);
    EXPECT_EQ(number_line(), " 12");
    EXPECT_FALSE(handle_key(KEY_3));
    press({KEY_SHIFT});
    EXPECT_TRUE(handle_key(KEY_OFF));
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
    press({KEY_SHIFT, KEY_LOG, KEY_SHIFT, KEY_POINT, KEY_0, KEY_0, KEY_1, KEY_SIGN, KEY_EQUALS});
    EXPECT_EQ(number_line(), "-1.000000E-03");
    press({KEY_1, KEY_EXP, KEY_2, KEY_SIGN, KEY_EQUALS});
    EXPECT_EQ(number_line(), " 1.000000E-02");
    press({KEY_SHIFT, KEY_LOG, KEY_LOG, KEY_LOG, KEY_LOG, KEY_LOG, KEY_LOG, KEY_LOG, KEY_LOG,
           KEY_LOG, KEY_LOG, KEY_LOG, KEY_SHIFT});
    EXPECT_STREQ(screen_texts(state()).format_name, "Norm");
    press({KEY_1, KEY_0, KEY_SHIFT, KEY_FACTORIAL, KEY_SHIFT, KEY_POWER, KEY_2, KEY_0, KEY_EQUALS});
    EXPECT_EQ(number_line(), " 1.000000E+20");
}

}  // namespace
}  // namespace tarno
