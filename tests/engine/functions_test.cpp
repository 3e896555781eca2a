// Functions of one number, the angle unit and the calculator's own pi.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine_fixture.h"

namespace tarno {
namespace {

using Functions = Engine;

const double INF = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

double apply(KeyCode key, double value, bool shifted = false) {
    power_on();
    writable_calc_state().x_value = value;
    if (shifted) handle_key(KEY_SHIFT);
    handle_key(key);
    return read_only_calc_state().x_value;
}

// The shifted key's result for v in degrees (Shift, then Deg/Rad on the ʸ√x key).
double in_degrees(KeyCode key, double v) {
    power_on();
    handle_key(KEY_SHIFT);
    handle_key(KEY_ROOT);
    writable_calc_state().x_value = v;
    handle_key(key);
    return read_only_calc_state().x_value;
}

TEST_F(Functions, PiIsTheCalculatorsOwnConstant) {
    std::uint64_t bits;
    std::memcpy(&bits, &CALC_PI, sizeof bits);
    EXPECT_EQ(bits, 0x400921FB54442EEAull);
    press({KEY_PI});
    EXPECT_EQ(x(), CALC_PI);
    EXPECT_EQ(number_line(), " 3.141593");
}

TEST_F(Functions, NormalStateFunctions) {
    EXPECT_EQ(apply(KEY_SQUARE, -3), 9.0);
    EXPECT_EQ(apply(KEY_SQUARE_ROOT, 2), std::sqrt(2.0));
    EXPECT_TRUE(std::isnan(apply(KEY_SQUARE_ROOT, -1)));
    EXPECT_EQ(apply(KEY_EXPONENTIAL, 1), std::exp(1.0));
    EXPECT_EQ(apply(KEY_LN, 1), 0.0);
    EXPECT_EQ(apply(KEY_LN, 0), -INF);
    EXPECT_TRUE(std::isnan(apply(KEY_LN, -1)));
    EXPECT_EQ(apply(KEY_TEN_POWER, 3), 1000.0);
    EXPECT_EQ(apply(KEY_LOG, 1000), 3.0);
    EXPECT_EQ(apply(KEY_RECIPROCAL, 4), 0.25);
    EXPECT_EQ(apply(KEY_RECIPROCAL, 0), INF);
    EXPECT_EQ(apply(KEY_EXPONENTIAL, 1000), INF);
}

TEST_F(Functions, IntegerAndFractionalParts) {
    // Shifted, n! is Int and 1/x Frac.
    EXPECT_EQ(apply(KEY_FACTORIAL, -2.25, true), -3.0);
    EXPECT_EQ(apply(KEY_RECIPROCAL, -2.25, true), 0.75);
    EXPECT_EQ(apply(KEY_FACTORIAL, 7.9, true), 7.0);
    EXPECT_EQ(apply(KEY_RECIPROCAL, 7.5, true), 0.5);
}

TEST_F(Functions, FactorialOfTheWholePartUpTo88) {
    const double fact88 = 1.8548264225739836e134;
    struct Case {
        double in, out;
    };
    const Case cases[] = {
        {5, 120}, {3.7, 6},  {1, 1},       {1.5, 1},      {0, 0},   {0.5, 0.5},  {-3, -3},
        {88, fact88}, {88.9, fact88}, {89, 89}, {INF, INF}, {-INF, -INF}, {10, 3628800},
    };
    for (const Case& c : cases) EXPECT_EQ(apply(KEY_FACTORIAL, c.in), c.out) << c.in << "!";
    EXPECT_EQ(apply(KEY_FACTORIAL, NaN), 1.0);  // NaN passes both range tests
}

// Shifted, the keys x², √x, xʸ, eˣ, ln and 10ˣ are sin, cos, tan, sin⁻¹,
// cos⁻¹ and tan⁻¹.
TEST_F(Functions, DegreesGoThroughTheCalculatorsPi) {
    EXPECT_NEAR(in_degrees(KEY_SQUARE, 180), -2.07e-13, 0.01e-13);
    EXPECT_NEAR(in_degrees(KEY_SQUARE_ROOT, 90), -1.04e-13, 0.01e-13);
    EXPECT_EQ(in_degrees(KEY_SQUARE, 30), 0.5000000000000299);
    EXPECT_EQ(in_degrees(KEY_POWER, 45), 1.0000000000001037);
    EXPECT_NEAR(in_degrees(KEY_POWER, 90), -9.65e12, 0.01e12);
    EXPECT_EQ(in_degrees(KEY_EXPONENTIAL, 1), 89.99999999999407);
    EXPECT_EQ(in_degrees(KEY_LN, 1), 0.0);
    EXPECT_NEAR(in_degrees(KEY_TEN_POWER, 1), 45.0, 1e-11);
    EXPECT_TRUE(std::isnan(in_degrees(KEY_EXPONENTIAL, 2)));
}

// Both conversions round each step in their own order: 2v, × pi, ÷ 360 on
// the way in; × 180, ÷ pi on the way out. At these inputs every other order
// of the same steps gives another double. The expected values were computed
// in Python: each step in exact rationals (fractions) rounded to the nearest
// double, with the calculator's pi 0x1.921fb54442eeap+1, and math.sin etc.
// (the same libm) for the function itself.
TEST_F(Functions, DegreeConversionsRoundEachStepInOrder) {
    struct Case {
        KeyCode key;
        double degrees_in, expected;
    };
    const Case cases[] = {
        {KEY_SQUARE, 3, 0x1.acbc748efcafep-5},         // sin: 0.052335956242947276
        {KEY_SQUARE_ROOT, 41, 0x1.82694b4a11b20p-1},   // cos: 0.754709580222741
        {KEY_POWER, 3, 0x1.ad53144274065p-5},          // tan: 0.052407779283044666
        {KEY_EXPONENTIAL, 0.5, 0x1.dfffffffffdd4p+4},  // sin⁻¹: 29.999999999998025
        {KEY_LN, 0.5, 0x1.dfffffffffdd4p+5},           // cos⁻¹: 59.99999999999605
        {KEY_TEN_POWER, 3, 0x1.1e429cc698625p+6},      // tan⁻¹: 71.56505117707327
    };
    for (const Case& c : cases) EXPECT_EQ(in_degrees(c.key, c.degrees_in), c.expected) << "key " << c.key;
}

TEST_F(Functions, RadiansUseTheValueAsItIs) {
    press({KEY_PI, KEY_SHIFT, KEY_SQUARE});  // sin π
    EXPECT_NEAR(x(), -2.07e-13, 0.01e-13);
    EXPECT_EQ(apply(KEY_SQUARE_ROOT, 0, true), 1.0);
    EXPECT_EQ(apply(KEY_TEN_POWER, 1, true), std::atan(1.0));
}

TEST_F(Functions, AngleUnitTogglesWithoutConvertingTheValue) {
    press({KEY_9, KEY_0, KEY_SHIFT, KEY_ROOT});  // Deg/Rad
    EXPECT_EQ(state().degree_mode, 1);
    EXPECT_EQ(x(), 90.0);
    EXPECT_STREQ(screen_texts(state()).angle_unit, "Deg");
    press({KEY_ROOT});
    EXPECT_EQ(state().degree_mode, 0);
    EXPECT_STREQ(screen_texts(state()).angle_unit, "Rad");
}

TEST_F(Functions, ShiftedFunctionsKeepTheShiftOn) {
    press({KEY_1, KEY_SHIFT, KEY_SQUARE, KEY_SQUARE});  // sin sin 1
    EXPECT_EQ(state().shift_active, 1);
    EXPECT_EQ(x(), std::sin(std::sin(1.0)));
}

TEST_F(Functions, FunctionActsOnTheRightOperandOnly) {
    press({KEY_2, KEY_ADD, KEY_3, KEY_SQUARE, KEY_EQUALS});
    EXPECT_EQ(x(), 11.0);
    press({KEY_CLEAR, KEY_2, KEY_ADD, KEY_PI, KEY_EQUALS});
    EXPECT_EQ(x(), 2 + CALC_PI);
}

}  // namespace
}  // namespace tarno
