// The calculator's one state record and its two resets.
#include "engine_internal.h"

namespace tarno {

namespace {
CalcState state;  // all zero at load, before any reset
}

CalcState& writable_calc_state() { return state; }

const CalcState& read_only_calc_state() { return state; }

void clear_all() {
    CalcState& s = writable_calc_state();
    s.paren_depth = 0;
    s.pending_operand = 0.0;
    s.shift_active = 0;
    s.x_value = 0.0;
    s.pending_op = OP_NONE;
    s.entry_active = 0;
    clear_display();
}

void reset_calculator() {
    clear_all();
    CalcState& s = writable_calc_state();
    s.memory_value = 0.0;
    s.degree_mode = 0;
    s.display_format = FORMAT_NORM;
}

void power_on() {
    reset_calculator();
    writable_calc_state().last_answer = 0.0;
}

}  // namespace tarno
