// The key dispatch: what every key does in the normal and the shifted state,
// and how each key ends (digit, immediate return, the common ending that
// shows x_value and ends the number entry, or that ending and switching off).
#include "engine_internal.h"

namespace tarno {

namespace {

enum Ending { DIGIT, IMMEDIATE, COMMON, SWITCH_OFF };

using Action = void (*)();

struct KeyRow {
    KeyCode code;
    Action normal;
    Action shifted;
    Ending ending;
};

template <int D>
void type_digit() { enter_digit(D); }

void power() { begin_operation(OP_POWER); }
void root() { begin_operation(OP_ROOT); }
void divide() { begin_operation(OP_DIVIDE); }
void multiply() { begin_operation(OP_MULTIPLY); }
void subtract() { begin_operation(OP_SUBTRACT); }
void add() { begin_operation(OP_ADD); }
void modulo() { begin_operation(OP_MODULO); }
void shift_on() { writable_calc_state().shift_active = 1; }
void shift_off() { writable_calc_state().shift_active = 0; }
void toggle_angle_unit() { writable_calc_state().degree_mode ^= 1; }
void memory_recall() { writable_calc_state().x_value = writable_calc_state().memory_value; }
void memory_store() { writable_calc_state().memory_value = writable_calc_state().x_value; }
void recall_answer() { writable_calc_state().x_value = writable_calc_state().last_answer; }
void exponent_key() { writable_calc_state().exponent_entry = 1; }

// Norm, Sci, fix 0 .. fix 9, then Norm again.
void advance_format() {
    int& f = writable_calc_state().display_format;
    f = f + 1;
    if (f > 9) f = FORMAT_NORM;
}

constexpr KeyRow KEY_TABLE[] = {
    // key           normal           shifted          ending
    {KEY_SQUARE,     square,          sine,            COMMON},
    {KEY_SQUARE_ROOT,square_root,     cosine,          COMMON},
    {KEY_POWER,      power,           tangent,         COMMON},
    {KEY_ROOT,       root,            toggle_angle_unit, COMMON},
    {KEY_SHIFT,      shift_on,        shift_off,       COMMON},
    {KEY_EXPONENTIAL,exp_x,           arc_sine,        COMMON},
    {KEY_LN,         ln_x,            arc_cosine,      COMMON},
    {KEY_TEN_POWER,  ten_to_x,        arc_tangent,     COMMON},
    {KEY_LOG,        log_x,           advance_format,  COMMON},
    {KEY_CLEAR,      clear_all,       clear_all,       COMMON},
    {KEY_FACTORIAL,  factorial,       integer_part,    COMMON},
    {KEY_RECIPROCAL, reciprocal,      fractional_part, COMMON},
    {KEY_PERCENT,    apply_percent,   modulo,          COMMON},
    {KEY_PI,         recall_pi,       recall_pi,       COMMON},
    {KEY_RECALL,     memory_recall,   memory_recall,   COMMON},
    {KEY_7,          type_digit<7>,   type_digit<7>,   DIGIT},
    {KEY_8,          type_digit<8>,   type_digit<8>,   DIGIT},
    {KEY_9,          type_digit<9>,   type_digit<9>,   DIGIT},
    {KEY_DIVIDE,     divide,          divide,          COMMON},
    {KEY_STORE,      memory_store,    memory_store,    COMMON},
    {KEY_4,          type_digit<4>,   type_digit<4>,   DIGIT},
    {KEY_5,          type_digit<5>,   type_digit<5>,   DIGIT},
    {KEY_6,          type_digit<6>,   type_digit<6>,   DIGIT},
    {KEY_MULTIPLY,   multiply,        multiply,        COMMON},
    {KEY_ANSWER,     recall_answer,   recall_answer,   COMMON},
    {KEY_1,          type_digit<1>,   type_digit<1>,   DIGIT},
    {KEY_2,          type_digit<2>,   type_digit<2>,   DIGIT},
    {KEY_3,          type_digit<3>,   type_digit<3>,   DIGIT},
    {KEY_SUBTRACT,   subtract,        subtract,        COMMON},
    {KEY_OPEN,       open_paren,      open_paren,      COMMON},
    {KEY_0,          type_digit<0>,   type_digit<0>,   DIGIT},
    {KEY_POINT,      type_digit<DIGIT_POINT>, type_digit<DIGIT_POINT>, DIGIT},
    {KEY_SIGN,       toggle_sign,     toggle_sign,     IMMEDIATE},
    {KEY_ADD,        add,             add,             COMMON},
    {KEY_CLOSE,      close_paren,     close_paren,     COMMON},
    {KEY_OFF,        nullptr,         nullptr,         SWITCH_OFF},
    {KEY_EXP,        exponent_key,    exponent_key,    IMMEDIATE},
    {KEY_BACKSPACE,  backspace,       backspace,       IMMEDIATE},
    // 84 lies under the equals key and has no action.
    {KEY_EQUALS,     evaluate_all,    evaluate_all,    COMMON},
};

const KeyRow* find_key(KeyCode key) {
    for (const KeyRow& row : KEY_TABLE)
        if (row.code == key) return &row;
    return nullptr;
}

}  // namespace

bool handle_key(KeyCode key) {
    CalcState& s = writable_calc_state();
    const KeyRow* row = find_key(key);
    // A code with no row has no action and takes the common ending.
    const Ending ending = row ? row->ending : COMMON;
    const Action action = row ? (s.shift_active ? row->shifted : row->normal) : nullptr;

    if (ending == DIGIT && !s.entry_active) clear_display();  // a new number
    if (action) action();
    if (ending == DIGIT) {
        s.entry_active = 1;  // also when the digit was refused
    } else if (ending == COMMON || ending == SWITCH_OFF) {
        format_value();
        s.entry_active = 0;
    }
    return ending == SWITCH_OFF;
}

}  // namespace tarno
