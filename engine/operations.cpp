// Binary operations, strictly left to right, with up to eight parentheses;
// equals and percent. Every step is rounded as a double in the order written.
#include <cmath>

#include "engine_internal.h"

namespace tarno {

double apply_pending() {
    CalcState& s = writable_calc_state();
    const double a = s.pending_operand;
    const double x = s.x_value;
    double r = x;
    switch (s.pending_op) {
    case OP_DIVIDE: r = a / x; break;
    case OP_MULTIPLY: r = a * x; break;
    case OP_SUBTRACT: r = a - x; break;
    case OP_ADD: r = a + x; break;
    case OP_POWER: r = std::pow(a, x); break;
    case OP_ROOT: {
        const double e = 1.0 / x;  // the reciprocal first, then the power
        r = std::pow(a, e);
        break;
    }
    case OP_MODULO: {
        // A floored remainder of the floored operands: it takes the divisor's sign.
        const double fa = std::floor(a);
        const double fx = std::floor(x);
        const double q = std::floor(fa / fx);
        r = fa - (fx * q);
        break;
    }
    default: break;
    }
    s.pending_op = OP_NONE;
    s.x_value = r;
    return r;
}

void begin_operation(PendingOp op) {
    const double r = apply_pending();
    CalcState& s = writable_calc_state();
    s.pending_operand = r;
    s.pending_op = op;
}

void open_paren() {
    CalcState& s = writable_calc_state();
    if (s.paren_depth >= PAREN_LEVELS) return;  // a ninth ( is dropped
    s.paren_operands[s.paren_depth] = s.pending_operand;
    s.paren_ops[s.paren_depth] = s.pending_op;
    ++s.paren_depth;
    s.pending_op = OP_NONE;
}

void close_paren() {
    CalcState& s = writable_calc_state();
    if (s.paren_depth == 0) return;  // nothing open: the pending operation waits
    --s.paren_depth;
    const double r = apply_pending();
    s.last_answer = r;
    s.x_value = r;
    s.pending_operand = s.paren_operands[s.paren_depth];
    s.pending_op = s.paren_ops[s.paren_depth];
}

void evaluate_all() {
    CalcState& s = writable_calc_state();
    while (s.paren_depth != 0) close_paren();
    const double r = apply_pending();
    s.last_answer = r;
    s.x_value = r;
}

void apply_percent() {
    CalcState& s = writable_calc_state();
    const double a = s.pending_operand;
    const double x = s.x_value;
    switch (s.pending_op) {
    case OP_NONE: s.x_value = x / 100; break;
    case OP_DIVIDE: s.x_value = (a / x) / 100; break;
    case OP_MULTIPLY: s.x_value = (a * x) / 100; break;
    case OP_SUBTRACT: s.x_value = a * ((x / -100) + 1); break;
    case OP_ADD: s.x_value = a * ((x / 100) + 1); break;
    default: break;  // power, root, modulo: the shown value stays
    }
    s.pending_op = OP_NONE;
}

}  // namespace tarno
