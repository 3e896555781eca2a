// Writing x_value into the display text: Norm, Sci and fix 0..9, byte for byte.
#include <cfloat>
#include <cmath>
#include <limits>

#include "engine_fixture.h"

namespace tarno {
namespace {

using Format = Engine;

struct FormatCase {
    double value;
    int format;
    const char* mantissa;  // the mantissa field up to its zero, leading blanks included
    const char* exponent;  // the exponent field from byte 17 up to its zero
    char sign;
};

const FormatCase FORMAT_CASES[] = {
    // Norm: six decimals, trailing zeros and a bare point cut.
    {0.0, FORMAT_NORM, "        0", "   ", ' '},
    {3.5, FORMAT_NORM, "        3.5", "   ", ' '},
    {100.0, FORMAT_NORM, "      100", "   ", ' '},
    {1.0 / 3.0, FORMAT_NORM, "        0.333333", "   ", ' '},
    {123456789.0, FORMAT_NORM, "123456789", "   ", ' '},
    {1e-7, FORMAT_NORM, "        0", "   ", ' '},
    {-2.5, FORMAT_NORM, "        2.5", "   ", '-'},
    {0.1 + 0.2, FORMAT_NORM, "        0.3", "   ", ' '},
    // Too wide for Norm: Sci.
    {1e9, FORMAT_NORM, "      1.000000", "+09", ' '},
    {999999999.9999999, FORMAT_NORM, "      1.000000", "+09", ' '},
    {-1e200, FORMAT_NORM, "     1.000000", "+200", '-'},
    // Sci.
    {123456.0, FORMAT_SCI, "      1.234560", "+05", ' '},
    {1e100, FORMAT_SCI, "     1.000000", "+100", ' '},
    {-0.001, FORMAT_SCI, "      1.000000", "-03", '-'},
    {0.0, FORMAT_SCI, "      0.000000", "+00", ' '},
    {DBL_MAX, FORMAT_SCI, "     1.797693", "+308", ' '},
    // Fixed decimals.
    {3.14159, 2, "3.14", "   ", ' '},
    {3.7, 0, "4", "   ", ' '},
    {1.0, 9, "1.000000000", "   ", ' '},
    {-0.5, 3, "0.500", "   ", '-'},
    {999999.0, 9, "999999.000000000", "   ", ' '},  // exactly 16 characters
    // Too wide for the field: shown in Sci, as Norm does.
    {1e6, 9, "      1.000000", "+06", ' '},
    {DBL_MAX, 0, "     1.797693", "+308", ' '},
    {-DBL_MAX, 9, "     1.797693", "+308", '-'},
};

TEST_F(Format, EachFormatWritesTheFieldsByteForByte) {
    for (const FormatCase& c : FORMAT_CASES) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << " format " << c.format);
        writable_calc_state().x_value = c.value;
        writable_calc_state().display_format = c.format;
        format_value();
        EXPECT_EQ(mantissa(), c.mantissa);
        EXPECT_EQ(exponent(), c.exponent);
        EXPECT_EQ(state().sign_char, c.sign);
        EXPECT_EQ(x(), c.value);  // formatting never changes the value
    }
}

TEST_F(Format, ThreeDigitExponentPutsItsZeroInTheLastByte) {
    writable_calc_state().x_value = 1e100;
    writable_calc_state().display_format = FORMAT_SCI;
    format_value();
    const char* t = state().display_text;
    EXPECT_EQ(std::string(t + 17, 5), std::string("+100\0", 5));

    writable_calc_state().x_value = 123456.0;
    format_value();
    EXPECT_EQ(std::string(t + 17, 4), std::string("+05\0", 4));
    EXPECT_EQ(std::string(t), "      1.234560");  // 6 blanks before the mantissa
}

TEST_F(Format, NegativeZeroKeepsABlankSignAndShowsTheConversionsMinus) {
    writable_calc_state().x_value = -0.0;
    format_value();
    EXPECT_EQ(state().sign_char, ' ');
    EXPECT_EQ(mantissa(), "       -0");
    EXPECT_EQ(number_line(), " -0");
    // The sign key reads that text back and flips the sign bit of what it read.
    toggle_sign();
    EXPECT_EQ(x(), 0.0);
    EXPECT_FALSE(std::signbit(x()));
    EXPECT_EQ(number_line(), "--0");
}

TEST_F(Format, InfinitiesAndNaNAreShownAsTheLibraryWritesThem) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();

    writable_calc_state().x_value = inf;
    format_value();
    EXPECT_EQ(mantissa(), "             inf");  // right-aligned in 16 like any number
    EXPECT_EQ(number_line(), " inf");

    writable_calc_state().x_value = -inf;
    format_value();
    EXPECT_EQ(state().sign_char, '-');
    EXPECT_EQ(number_line(), "-inf");

    writable_calc_state().x_value = nan;
    format_value();
    EXPECT_EQ(mantissa(), "             nan");
    EXPECT_EQ(state().sign_char, ' ');  // a NaN is not below zero

    // Sci writes 18 characters without an 'e': the blanks make room, the
    // exponent field stays blank and nothing runs over into it.
    writable_calc_state().display_format = FORMAT_SCI;
    writable_calc_state().x_value = inf;
    format_value();
    EXPECT_EQ(mantissa(), "             inf");
    EXPECT_EQ(std::string(state().display_text + 17, 4), std::string("   \0", 4));
    EXPECT_EQ(number_line(), " inf");

    writable_calc_state().x_value = -inf;
    format_value();
    EXPECT_EQ(number_line(), "-inf");

    writable_calc_state().display_format = 4;
    writable_calc_state().x_value = nan;
    format_value();
    EXPECT_EQ(mantissa(), "nan");  // no width in a fixed format
}

// fix0 .. fix9 of each value, rounded from its exact binary value with ties
// to even: 2.675 and 1.005 lie just below their decimal texts, 0.125 and the
// halves are exact ties. Written by Python's '%.*f' % (n, value).
struct FixedRow {
    double value;
    const char* text[10];
};

const FixedRow FIXED_ROWS[] = {
    {0.0, {"0", "0.0", "0.00", "0.000", "0.0000", "0.00000", "0.000000", "0.0000000", "0.00000000", "0.000000000"}},
    {0.5, {"0", "0.5", "0.50", "0.500", "0.5000", "0.50000", "0.500000", "0.5000000", "0.50000000", "0.500000000"}},
    {1.5, {"2", "1.5", "1.50", "1.500", "1.5000", "1.50000", "1.500000", "1.5000000", "1.50000000", "1.500000000"}},
    {2.5, {"2", "2.5", "2.50", "2.500", "2.5000", "2.50000", "2.500000", "2.5000000", "2.50000000", "2.500000000"}},
    {0.125, {"0", "0.1", "0.12", "0.125", "0.1250", "0.12500", "0.125000", "0.1250000", "0.12500000", "0.125000000"}},
    {2.675, {"3", "2.7", "2.67", "2.675", "2.6750", "2.67500", "2.675000", "2.6750000", "2.67500000", "2.675000000"}},
    {1.005, {"1", "1.0", "1.00", "1.005", "1.0050", "1.00500", "1.005000", "1.0050000", "1.00500000", "1.005000000"}},
    {98765.4321, {"98765", "98765.4", "98765.43", "98765.432", "98765.4321", "98765.43210", "98765.432100",
                  "98765.4321000", "98765.43210000", "98765.432100000"}},
    {1e-9, {"0", "0.0", "0.00", "0.000", "0.0000", "0.00000", "0.000000", "0.0000000", "0.00000000", "0.000000001"}},
    {123456.789, {"123457", "123456.8", "123456.79", "123456.789", "123456.7890", "123456.78900", "123456.789000",
                  "123456.7890000", "123456.78900000", "123456.789000000"}},
};

TEST_F(Format, FixedRoundsTheExactValueAtEveryPrecision) {
    for (const FixedRow& row : FIXED_ROWS) {
        for (int n = 0; n <= 9; ++n) {
            writable_calc_state().x_value = row.value;
            writable_calc_state().display_format = n;
            format_value();
            EXPECT_EQ(mantissa(), row.text[n]) << "fix" << n << " of " << row.value;
            EXPECT_EQ(exponent(), "   ");
        }
    }
}

TEST_F(Format, FormattingLeavesTheEntryFlagsAlone) {
    press({KEY_5, KEY_EXP});
    format_value();
    EXPECT_EQ(state().exponent_entry, 1);
    EXPECT_EQ(state().entry_active, 1);
}

}  // namespace
}  // namespace tarno
