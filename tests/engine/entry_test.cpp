// Typing a number: the 16-character mantissa field, the exponent digits,
// the signs and backspace, and x_value read back from what is shown.
#include <cmath>
#include <cstring>

#include "engine_fixture.h"

namespace tarno {
namespace {

using Entry = Engine;

const std::string LONE_ZERO = "               0";  // 15 blanks and 0

TEST_F(Entry, PowerOnShowsTheLoneZeroWithNothingElse) {
    // From a busy state: memory, Ans, degrees, Sci, shift, an open
    // parenthesis, a pending operation and an exponent being typed.
    press({KEY_4, KEY_STORE, KEY_6, KEY_EQUALS, KEY_SHIFT, KEY_ROOT, KEY_LOG, KEY_2, KEY_MULTIPLY, KEY_OPEN, KEY_5,
           KEY_EXP, KEY_3});
    power_on();
    const char* t = state().display_text;
    EXPECT_EQ(mantissa(), LONE_ZERO);
    EXPECT_EQ(t[16], '\0');
    EXPECT_EQ(std::string(t + 17, 4), std::string("   \0", 4));
    EXPECT_EQ(state().sign_char, ' ');
    EXPECT_EQ(state().display_format, FORMAT_NORM);
    EXPECT_EQ(state().degree_mode, 0);
    EXPECT_EQ(state().memory_value, 0.0);
    EXPECT_EQ(state().last_answer, 0.0);
    EXPECT_EQ(state().x_value, 0.0);
    EXPECT_EQ(state().entry_active, 0);
    EXPECT_EQ(state().exponent_entry, 0);
    EXPECT_EQ(state().shift_active, 0);
    EXPECT_EQ(state().paren_depth, 0u);
    EXPECT_EQ(state().pending_op, OP_NONE);
    EXPECT_EQ(state().pending_operand, 0.0);
}

TEST_F(Entry, DigitsFillFromTheRightAndLeadingZerosAreNotDoubled) {
    press({KEY_0, KEY_0, KEY_7});
    EXPECT_EQ(mantissa(), "               7");
    EXPECT_EQ(x(), 7.0);
    EXPECT_EQ(state().entry_active, 1);

    press({KEY_CLEAR, KEY_0});
    EXPECT_EQ(mantissa(), LONE_ZERO);
    EXPECT_EQ(x(), 0.0);
    for (KeyCode first : {KEY_0, KEY_POINT}) {  // a new number of 0 or "0." is read back too
        press({KEY_CLEAR, KEY_5, KEY_ADD, first});
        EXPECT_EQ(x(), 0.0) << "key " << first;
        press({KEY_EQUALS});
        EXPECT_EQ(x(), 5.0) << "key " << first;
    }

    press({KEY_CLEAR, KEY_1, KEY_0, KEY_0});
    EXPECT_EQ(mantissa(), "             100");
    EXPECT_EQ(x(), 100.0);
}

TEST_F(Entry, PointStartsAfterTheLoneZeroAndOnlyOnce) {
    press({KEY_POINT});
    EXPECT_EQ(mantissa(), "              0.");
    press({KEY_0});
    EXPECT_EQ(mantissa(), "             0.0");
    press({KEY_5});
    EXPECT_EQ(mantissa(), "            0.05");
    EXPECT_EQ(x(), 0.05);

    press({KEY_POINT});  // refused: there is a point already
    EXPECT_EQ(mantissa(), "            0.05");
    EXPECT_EQ(state().entry_active, 1);
    press({KEY_CLEAR, KEY_POINT, KEY_POINT});  // also when it is the last character
    EXPECT_EQ(mantissa(), "              0.");

    press({KEY_CLEAR, KEY_1, KEY_POINT, KEY_2, KEY_BACKSPACE, KEY_BACKSPACE});
    EXPECT_EQ(mantissa(), "               1");
    press({KEY_POINT, KEY_5});  // the point went with backspace: a new one is taken
    EXPECT_EQ(mantissa(), "             1.5");
    EXPECT_EQ(x(), 1.5);
}

TEST_F(Entry, SixteenCharactersFitAndTheSeventeenthIsRefused) {
    press({KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5,
           KEY_6});
    EXPECT_EQ(mantissa(), "1234567890123456");
    EXPECT_EQ(x(), 1234567890123456.0);
    press({KEY_7});
    EXPECT_EQ(mantissa(), "1234567890123456");
    EXPECT_EQ(x(), 1234567890123456.0);
    EXPECT_EQ(state().display_text[16], '\0');

    press({KEY_CLEAR, KEY_POINT, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_1, KEY_2, KEY_3,
           KEY_4, KEY_5});
    EXPECT_EQ(mantissa(), "0.12345678912345");
    press({KEY_6});
    EXPECT_EQ(mantissa(), "0.12345678912345");
    EXPECT_EQ(x(), 0.12345678912345);

    press({KEY_CLEAR, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_0, KEY_1, KEY_2, KEY_3,
           KEY_4, KEY_5, KEY_6, KEY_POINT});
    EXPECT_EQ(mantissa(), "1234567890123456");  // a point is refused on a full field too
}

TEST_F(Entry, BackspaceShiftsRightAndEndsOnTheLoneZero) {
    press({KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5,
           KEY_6, KEY_BACKSPACE});
    EXPECT_EQ(mantissa(), " 123456789012345");
    EXPECT_EQ(x(), 123456789012345.0);

    press({KEY_CLEAR, KEY_1, KEY_2, KEY_BACKSPACE});
    EXPECT_EQ(mantissa(), "               1");
    EXPECT_EQ(x(), 1.0);
    press({KEY_BACKSPACE});
    EXPECT_EQ(mantissa(), LONE_ZERO);
    EXPECT_EQ(x(), 0.0);
    press({KEY_BACKSPACE});
    EXPECT_EQ(mantissa(), LONE_ZERO);
    EXPECT_EQ(state().entry_active, 1);  // backspace leaves the entry open
}

TEST_F(Entry, BackspaceOnAShownResultChangesNothing) {
    press({KEY_1, KEY_2, KEY_ADD, KEY_BACKSPACE});
    EXPECT_EQ(number_line(), " 12");
    EXPECT_EQ(x(), 12.0);
    EXPECT_EQ(state().entry_active, 0);
}

TEST_F(Entry, ExponentDigitsKeepTheLastTwoTyped) {
    press({KEY_2, KEY_EXP});
    EXPECT_EQ(state().exponent_entry, 1);
    EXPECT_EQ(state().entry_active, 1);
    press({KEY_1});
    EXPECT_EQ(std::string(state().display_text + 17, 4), std::string(" 1 \0", 4));
    EXPECT_EQ(x(), 2e1);  // the blank of the second digit ends the exponent
    press({KEY_2, KEY_3});
    EXPECT_EQ(state().display_text[18], '2');
    EXPECT_EQ(state().display_text[19], '3');
    EXPECT_EQ(state().display_text[20], '\0');
    EXPECT_EQ(x(), 2e23);
    EXPECT_EQ(mantissa(), "               2");  // the mantissa is closed now

    press({KEY_POINT, KEY_BACKSPACE});  // no point in an exponent; no backspace either
    EXPECT_EQ(exponent(), " 23");
    EXPECT_EQ(x(), 2e23);
    EXPECT_EQ(number_line(), " 2E 23");
}

TEST_F(Entry, SignKeyFlipsTheExponentSignWhileTypingTheExponent) {
    press({KEY_5, KEY_EXP, KEY_SIGN});
    EXPECT_EQ(exponent(), "-  ");
    EXPECT_EQ(x(), 5.0);  // "e-" with no digit is no part of the number
    EXPECT_EQ(number_line(), " 5E-  ");

    press({KEY_CLEAR, KEY_5, KEY_EXP, KEY_3, KEY_SIGN});
    EXPECT_EQ(x(), 0.005);
    press({KEY_SIGN});
    EXPECT_EQ(x(), 5000.0);
    EXPECT_EQ(state().sign_char, ' ');
}

TEST_F(Entry, SignKeyFlipsTheMantissaSignAndBackspaceKeepsIt) {
    press({KEY_5, KEY_SIGN});
    EXPECT_EQ(state().sign_char, '-');
    EXPECT_EQ(mantissa(), "               5");  // the minus is never in the field
    EXPECT_EQ(x(), -5.0);
    EXPECT_EQ(number_line(), "-5");

    press({KEY_BACKSPACE});
    EXPECT_EQ(mantissa(), LONE_ZERO);
    EXPECT_EQ(x(), 0.0);
    EXPECT_TRUE(std::signbit(x()));  // a negative zero
    EXPECT_EQ(number_line(), "-0");

    press({KEY_SIGN});
    EXPECT_FALSE(std::signbit(x()));
}

TEST_F(Entry, SignKeyOnAResultNegatesTheNumberAsShown) {
    press({KEY_3, KEY_RECIPROCAL});
    EXPECT_EQ(number_line(), " 0.333333");
    press({KEY_SIGN});
    EXPECT_EQ(x(), -0.333333);
    EXPECT_EQ(state().entry_active, 0);
    EXPECT_EQ(number_line(), "-0.333333");
    press({KEY_7});  // the entry was not reopened: a new number starts
    EXPECT_EQ(number_line(), " 7");
}

TEST_F(Entry, SignKeyAfterExpOnAResultWorksOnTheExponentField) {
    // Norm result: the exponent field takes a lone minus, the value stays.
    press({KEY_4, KEY_ADD, KEY_EXP, KEY_SIGN});
    EXPECT_EQ(exponent(), "-  ");
    EXPECT_EQ(x(), 4.0);
    EXPECT_EQ(number_line(), " 4E-  ");

    // Sci result: the exponent's sign flips and the value is read back with it.
    press({KEY_CLEAR, KEY_SHIFT, KEY_LOG, KEY_SHIFT, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_ADD});
    EXPECT_EQ(number_line(), " 1.234560E+05");
    press({KEY_EXP, KEY_SIGN});
    EXPECT_EQ(exponent(), "-05");
    EXPECT_EQ(x(), 1.23456e-5);

    // The next digit starts a new number in the mantissa.
    press({KEY_9});
    EXPECT_EQ(state().exponent_entry, 0);
    EXPECT_EQ(number_line(), " 9");
}

TEST_F(Entry, ExpOnAShownResultIsForgottenByTheNextDigit) {
    press({KEY_2, KEY_EQUALS, KEY_EXP, KEY_3});
    EXPECT_EQ(state().exponent_entry, 0);
    EXPECT_EQ(mantissa(), "               3");
    EXPECT_EQ(x(), 3.0);
}

TEST_F(Entry, ParseReadsTheFieldsAsStrtodWould) {
    CalcState& s = writable_calc_state();
    std::memcpy(s.display_text, "    12.5\0", 9);
    std::memcpy(s.display_text + 17, "-02\0", 4);
    s.sign_char = '-';
    parse_display();
    EXPECT_EQ(x(), -0.125);

    std::memcpy(s.display_text + 17, " 3 \0", 4);  // first non-blank is byte 18
    s.sign_char = ' ';
    parse_display();
    EXPECT_EQ(x(), 12500.0);

    std::memcpy(s.display_text, "inf\0", 4);
    std::memcpy(s.display_text + 17, "   \0", 4);
    parse_display();
    EXPECT_TRUE(std::isinf(x()));
}

TEST_F(Entry, NegativeAndOutOfRangeDigitCodesChangeNothing) {
    press({KEY_4});
    const std::string before(state().display_text, DISPLAY_TEXT_SIZE);
    enter_digit(-1);
    enter_digit(11);
    EXPECT_EQ(std::string(state().display_text, DISPLAY_TEXT_SIZE), before);
    EXPECT_EQ(x(), 4.0);
}

}  // namespace
}  // namespace tarno
