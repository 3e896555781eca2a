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
    if (shifted) handle_key(K_SHIFT);
    handle_key(key);
    return read_only_calc_state().x_value;
}

// The key's result for v in degrees.
double in_degrees(KeyCode key, double v) {
    power_on();
    handle_key(K_SHIFT);
    handle_key(K_DEGRAD);
    writable_calc_state().x_value = v;
    handle_key(key);
    return read_only_calc_state().x_value;
}

TEST_F(Functions, PiIsTheCalculatorsOwnConstant) {
    std::uint64_t bits;
    std::memcpy(&bits, &CALC_PI, sizeof bits);
    EXPECT_EQ(bits, 0x400921FB54442EEAull);
    press({K_PI});
    EXPECT_EQ(x(), CALC_PI);
    EXPECT_EQ(number_line(), " 3.141593");
}

TEST_F(Functions, NormalStateFunctions) {
    EXPECT_EQ(apply(K_SQUARE, -3), 9.0);
    EXPECT_EQ(apply(K_SQRT, 2), std::sqrt(2.0));
    EXPECT_TRUE(std::isnan(apply(K_SQRT, -1)));
    EXPECT_EQ(apply(K_EXP_E, 1), std::exp(1.0));
    EXPECT_EQ(apply(K_LN, 1), 0.0);
    EXPECT_EQ(apply(K_LN, 0), -INF);
    EXPECT_TRUE(std::isnan(apply(K_LN, -1)));
    EXPECT_EQ(apply(K_TEN_X, 3), 1000.0);
    EXPECT_EQ(apply(K_LOG, 1000), 3.0);
    EXPECT_EQ(apply(K_RECIP, 4), 0.25);
    EXPECT_EQ(apply(K_RECIP, 0), INF);
    EXPECT_EQ(apply(K_EXP_E, 1000), INF);
}

TEST_F(Functions, IntegerAndFractionalParts) {
    EXPECT_EQ(apply(K_INT, -2.25, true), -3.0);
    EXPECT_EQ(apply(K_FRAC, -2.25, true), 0.75);
    EXPECT_EQ(apply(K_INT, 7.9, true), 7.0);
    EXPECT_EQ(apply(K_FRAC, 7.5, true), 0.5);
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
    for (const Case& c : cases) EXPECT_EQ(apply(K_FACT, c.in), c.out) << c.in << "!";
    EXPECT_EQ(apply(K_FACT, NaN), 1.0);  // NaN passes both range tests
}

TEST_F(Functions, DegreesGoThroughTheCalculatorsPi) {
    EXPECT_NEAR(in_degrees(K_SIN, 180), -2.07e-13, 0.01e-13);
    EXPECT_NEAR(in_degrees(K_COS, 90), -1.04e-13, 0.01e-13);
    EXPECT_EQ(in_degrees(K_SIN, 30), 0.5000000000000299);
    EXPECT_EQ(in_degrees(K_TAN, 45), 1.0000000000001037);
    EXPECT_NEAR(in_degrees(K_TAN, 90), -9.65e12, 0.01e12);
    EXPECT_EQ(in_degrees(K_ASIN, 1), 89.99999999999407);
    EXPECT_EQ(in_degrees(K_ACOS, 1), 0.0);
    EXPECT_NEAR(in_degrees(K_ATAN, 1), 45.0, 1e-11);
    EXPECT_TRUE(std::isnan(in_degrees(K_ASIN, 2)));
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
        {K_SIN, 3, 0x1.acbc748efcafep-5},    // 0.052335956242947276
        {K_COS, 41, 0x1.82694b4a11b20p-1},   // 0.754709580222741
        {K_TAN, 3, 0x1.ad53144274065p-5},    // 0.052407779283044666
        {K_ASIN, 0.5, 0x1.dfffffffffdd4p+4},  // 29.999999999998025
        {K_ACOS, 0.5, 0x1.dfffffffffdd4p+5},  // 59.99999999999605
        {K_ATAN, 3, 0x1.1e429cc698625p+6},    // 71.56505117707327
    };
    for (const Case& c : cases) EXPECT_EQ(in_degrees(c.key, c.degrees_in), c.expected) << "key " << c.key;
}

TEST_F(Functions, RadiansUseTheValueAsItIs) {
    press({K_PI, K_SHIFT, K_SIN});
    EXPECT_NEAR(x(), -2.07e-13, 0.01e-13);
    EXPECT_EQ(apply(K_COS, 0, true), 1.0);
    EXPECT_EQ(apply(K_ATAN, 1, true), std::atan(1.0));
}

TEST_F(Functions, AngleUnitTogglesWithoutConvertingTheValue) {
    press({K_9, K_0, K_SHIFT, K_DEGRAD});
    EXPECT_EQ(state().degree_mode, 1);
    EXPECT_EQ(x(), 90.0);
    EXPECT_STREQ(screen_texts(state()).angle_unit, "Deg");
    press({K_DEGRAD});
    EXPECT_EQ(state().degree_mode, 0);
    EXPECT_STREQ(screen_texts(state()).angle_unit, "Rad");
}

TEST_F(Functions, ShiftedFunctionsKeepTheShiftOn) {
    press({K_1, K_SHIFT, K_SIN, K_SIN});
    EXPECT_EQ(state().shift_active, 1);
    EXPECT_EQ(x(), std::sin(std::sin(1.0)));
}

TEST_F(Functions, FunctionActsOnTheRightOperandOnly) {
    press({K_2, K_ADD, K_3, K_SQUARE, K_EQ});
    EXPECT_EQ(x(), 11.0);
    press({K_C, K_2, K_ADD, K_PI, K_EQ});
    EXPECT_EQ(x(), 2 + CALC_PI);
}

}  // namespace
}  // namespace tarno
