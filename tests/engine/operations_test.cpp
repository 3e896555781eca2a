// Binary operations strictly left to right, parentheses, equals and percent.
#include <cmath>

#include "engine_fixture.h"

namespace tarno {
namespace {

using Operations = Engine;

TEST_F(Operations, WorkedSequenceFromPowerOn) {
    struct Row {
        KeyCode key;
        double x, operand;
        PendingOp op;
        int entry;
        const char* shown;
    };
    const Row rows[] = {
        {KEY_1, 1, 0, OP_NONE, 1, " 1"},      {KEY_2, 12, 0, OP_NONE, 1, " 12"},
        {KEY_ADD, 12, 12, OP_ADD, 0, " 12"},  {KEY_3, 3, 12, OP_ADD, 1, " 3"},
        {KEY_MULTIPLY, 15, 15, OP_MULTIPLY, 0, " 15"}, {KEY_4, 4, 15, OP_MULTIPLY, 1, " 4"},
        {KEY_EQUALS, 60, 15, OP_NONE, 0, " 60"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "key " << r.key);
        handle_key(r.key);
        EXPECT_EQ(x(), r.x);
        EXPECT_EQ(state().pending_operand, r.operand);
        EXPECT_EQ(state().pending_op, r.op);
        EXPECT_EQ(state().entry_active, r.entry);
        EXPECT_EQ(number_line(), r.shown);
    }
    EXPECT_EQ(state().last_answer, 60.0);
}

TEST_F(Operations, EvaluatesStrictlyLeftToRight) {
    press({KEY_2, KEY_ADD, KEY_3, KEY_MULTIPLY, KEY_4, KEY_EQUALS});
    EXPECT_EQ(x(), 20.0);

    // Two operators in a row: the first completes with the shown value.
    press({KEY_CLEAR, KEY_2, KEY_ADD, KEY_MULTIPLY, KEY_3, KEY_EQUALS});
    EXPECT_EQ(x(), 12.0);

    // A second = repeats nothing.
    press({KEY_CLEAR, KEY_2, KEY_ADD, KEY_3, KEY_EQUALS, KEY_EQUALS});
    EXPECT_EQ(x(), 5.0);

    // = with nothing pending still makes the shown value the answer.
    press({KEY_CLEAR, KEY_5, KEY_EQUALS, KEY_CLEAR, KEY_ANSWER});
    EXPECT_EQ(x(), 5.0);
}

TEST_F(Operations, ParenthesesChangeTheOrderAndSetTheAnswer) {
    press({KEY_2, KEY_MULTIPLY, KEY_OPEN, KEY_3, KEY_ADD, KEY_4, KEY_CLOSE});
    EXPECT_EQ(number_line(), " 7");
    EXPECT_EQ(state().last_answer, 7.0);
    EXPECT_EQ(state().pending_op, OP_MULTIPLY);
    EXPECT_EQ(state().pending_operand, 2.0);
    press({KEY_EQUALS});
    EXPECT_EQ(x(), 14.0);
    EXPECT_EQ(state().last_answer, 14.0);

    // = closes every open parenthesis first.
    press({KEY_CLEAR, KEY_2, KEY_MULTIPLY, KEY_OPEN, KEY_3, KEY_ADD, KEY_4, KEY_EQUALS});
    EXPECT_EQ(x(), 14.0);
    EXPECT_EQ(state().paren_depth, 0u);
    press({KEY_CLEAR, KEY_2, KEY_MULTIPLY, KEY_OPEN, KEY_3, KEY_ADD, KEY_OPEN, KEY_4, KEY_EQUALS});
    EXPECT_EQ(x(), 14.0);  // 2 × (3 + (4))
    EXPECT_EQ(state().paren_depth, 0u);

    // ( keeps the shown value: 2 + ( ) = is 2 + 2.
    press({KEY_CLEAR, KEY_2, KEY_ADD, KEY_OPEN, KEY_CLOSE, KEY_EQUALS});
    EXPECT_EQ(x(), 4.0);

    // No implied multiplication: the 5 is simply replaced.
    press({KEY_CLEAR, KEY_5, KEY_OPEN, KEY_3, KEY_ADD, KEY_4, KEY_CLOSE, KEY_EQUALS});
    EXPECT_EQ(x(), 7.0);

    // Nested, and strictly left to right inside: 2 × (3 + (4 − 1) × 2).
    press({KEY_CLEAR, KEY_2, KEY_MULTIPLY, KEY_OPEN, KEY_3, KEY_ADD, KEY_OPEN, KEY_4, KEY_SUBTRACT, KEY_1, KEY_CLOSE,
           KEY_MULTIPLY, KEY_2, KEY_CLOSE, KEY_EQUALS});
    EXPECT_EQ(x(), 24.0);  // (3 + 3) × 2 = 12, then 2 × 12
}

TEST_F(Operations, CloseWithNothingOpenLeavesThePendingOperation) {
    press({KEY_2, KEY_ADD, KEY_3, KEY_CLOSE});
    EXPECT_EQ(number_line(), " 3");
    EXPECT_EQ(state().pending_op, OP_ADD);
    EXPECT_EQ(state().last_answer, 0.0);
    press({KEY_EQUALS});
    EXPECT_EQ(x(), 5.0);
}

TEST_F(Operations, NinthParenthesisIsDroppedButEndsTheEntry) {
    for (int i = 0; i < 8; ++i) press({KEY_OPEN});
    EXPECT_EQ(state().paren_depth, 8u);
    press({KEY_1, KEY_2, KEY_OPEN});
    EXPECT_EQ(state().paren_depth, 8u);
    EXPECT_EQ(state().entry_active, 0);
    press({KEY_3});
    EXPECT_EQ(number_line(), " 3");
    EXPECT_STREQ(screen_texts(state()).paren_mark, "(8");
}

TEST_F(Operations, ParenthesisLevelsSaveAndRestoreTheirOperations) {
    press({KEY_9, KEY_SUBTRACT, KEY_OPEN, KEY_8, KEY_DIVIDE, KEY_OPEN, KEY_2, KEY_ADD, KEY_2});
    EXPECT_EQ(state().paren_depth, 2u);
    EXPECT_EQ(state().paren_ops[0], OP_SUBTRACT);
    EXPECT_EQ(state().paren_operands[0], 9.0);
    EXPECT_EQ(state().paren_ops[1], OP_DIVIDE);
    EXPECT_EQ(state().paren_operands[1], 8.0);
    press({KEY_CLOSE});
    EXPECT_EQ(x(), 4.0);
    EXPECT_EQ(state().pending_op, OP_DIVIDE);
    press({KEY_CLOSE});
    EXPECT_EQ(x(), 2.0);
    EXPECT_EQ(state().pending_op, OP_SUBTRACT);
    press({KEY_EQUALS});
    EXPECT_EQ(x(), 7.0);
}

TEST_F(Operations, PercentCompletesAtOnce) {
    struct Case {
        KeyCode op;
        double a, x, expected;
    };
    const Case cases[] = {
        {KEY_ADD, 200, 10, 220.00000000000003},  // 10 ÷ 100 + 1 is the double just above 1.1
        {KEY_SUBTRACT, 200, 10, 180},
        {KEY_MULTIPLY, 200, 10, 20},
        {KEY_DIVIDE, 50, 200, 0.0025},
        {0, 0, 10, 0.1},  // nothing pending
        // Each step rounded in its own order: these differ from every other
        // order of the same steps. Computed step by step in exact rationals
        // (Python's fractions), each step rounded to the nearest double.
        {KEY_MULTIPLY, 13, 7, 0.91},                   // not 13 × (7 ÷ 100) = 0.9100000000000001
        {KEY_DIVIDE, 7, 5, 0.013999999999999999},    // not 7 ÷ (5 × 100) = 0.014
        {KEY_ADD, 3, 14, 3.4200000000000004},     // not 3 × (14 ÷ 100) + 3 = 3.42
        {KEY_SUBTRACT, 3, 67, 0.9899999999999999},     // not 3 − (3 × 67) ÷ 100 = 0.9900000000000002
        {0, 0, 35, 0.35},                       // not 35 × 0.01 = 0.35000000000000003
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << c.op);
        power_on();
        writable_calc_state().x_value = c.a;
        if (c.op) handle_key(c.op);
        writable_calc_state().x_value = c.x;
        press({KEY_PERCENT});
        EXPECT_EQ(x(), c.expected);
        EXPECT_EQ(state().pending_op, OP_NONE);
        EXPECT_EQ(state().last_answer, 0.0);  // percent is not an answer
    }
    power_on();
    press({KEY_2, KEY_0, KEY_0, KEY_ADD, KEY_1, KEY_0, KEY_PERCENT});
    EXPECT_EQ(number_line(), " 220");
}

TEST_F(Operations, PercentWithPowerRootOrModuloDropsTheOperation) {
    for (KeyCode op : {KEY_POWER, KEY_ROOT}) {
        power_on();
        press({KEY_2, op, KEY_5, KEY_PERCENT});
        EXPECT_EQ(x(), 5.0);
        EXPECT_EQ(state().pending_op, OP_NONE);
    }
    press({KEY_CLEAR, KEY_7, KEY_SHIFT, KEY_PERCENT, KEY_3, KEY_SHIFT, KEY_PERCENT, KEY_EQUALS});
    EXPECT_EQ(x(), 3.0);
}

TEST_F(Operations, PowerAndRoot) {
    press({KEY_2, KEY_POWER, KEY_1, KEY_0, KEY_EQUALS});
    EXPECT_EQ(x(), 1024.0);
    press({KEY_8, KEY_ROOT, KEY_3, KEY_EQUALS});
    EXPECT_EQ(x(), std::pow(8.0, 1.0 / 3.0));
    EXPECT_NEAR(x(), 2.0, 1e-15);
    press({KEY_2, KEY_SIGN, KEY_POWER, KEY_POINT, KEY_5, KEY_EQUALS});
    EXPECT_TRUE(std::isnan(x()));
}

TEST_F(Operations, ModuloIsFlooredOnFlooredOperands) {
    struct Case {
        double a, x, expected;
    };
    const Case cases[] = {{-7, 3, 2}, {7, -3, -2}, {7.9, 3.5, 1}, {7, 3, 1}, {-7.5, 2, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " mod " << c.x);
        power_on();
        writable_calc_state().x_value = c.a;
        press({KEY_SHIFT, KEY_PERCENT});
        writable_calc_state().x_value = c.x;
        press({KEY_EQUALS});
        EXPECT_EQ(x(), c.expected);
    }
    power_on();
    writable_calc_state().x_value = 5;
    press({KEY_SHIFT, KEY_PERCENT});
    writable_calc_state().x_value = 0.5;  // floors to 0
    press({KEY_EQUALS});
    EXPECT_TRUE(std::isnan(x()));
}

TEST_F(Operations, DivisionByZeroFlowsOnAsAnInfinity) {
    press({KEY_1, KEY_DIVIDE, KEY_0, KEY_EQUALS});
    EXPECT_TRUE(std::isinf(x()));
    EXPECT_GT(x(), 0.0);
    EXPECT_EQ(number_line(), " inf");
    press({KEY_SUBTRACT, KEY_1, KEY_EQUALS});
    EXPECT_TRUE(std::isinf(x()));
    press({KEY_CLEAR, KEY_0, KEY_DIVIDE, KEY_0, KEY_EQUALS});
    EXPECT_TRUE(std::isnan(x()));
    press({KEY_MULTIPLY, KEY_0, KEY_EQUALS});
    EXPECT_TRUE(std::isnan(x()));
}

}  // namespace
}  // namespace tarno
