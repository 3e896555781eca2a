// The engine's internal header: the operations that the key table calls, on
// the one writable CalcState. Only engine/ and the engine's tests include it;
// the shell, the display and the tools use calc.h. Unless a line says other,
// each operation is called only by handle_key, through the key table.
#pragma once

#include "calc.h"

namespace tarno {

constexpr int DIGIT_POINT = 10;  // the decimal point's code for enter_digit

// Not the double nearest to pi: 3.14159265359 as the calculator has always
// had it (bit pattern 0x400921FB54442EEA). The pi key and both angle
// conversions use it, so exact angles come out slightly off, as they should.
constexpr double CALC_PI = 3.14159265359;
constexpr double FACTORIAL_LIMIT = 88.0;  // the largest n whose n! is computed

// The one state record, for writing; every operation below goes through it.
CalcState& writable_calc_state();

// Resets.
void clear_all();         // the C key: clears entry, pending operation, parentheses and shift; keeps memory, Ans, format and angle unit
void reset_calculator();  // power_on's reset: clear_all, then memory 0, radians and Norm

// Pending operations and parentheses (strictly left to right).
double apply_pending();              // also from begin_operation, close_paren, evaluate_all: x_value = pending op applied, op cleared; returns it
void begin_operation(PendingOp op);  // a binary key: applies the pending op, then its result becomes pending_operand under op
void open_paren();                   // saves pending operand and op on the next level; a ninth ( is dropped
void close_paren();                  // also from evaluate_all: applies the level's op, restores the outer level, sets Ans
void evaluate_all();                 // =: closes every open level, applies the pending op, sets Ans
void apply_percent();                // %: x_value as a percentage of the pending operand, op cleared

// Number entry and the display text.
void clear_display();    // also from clear_all and a number's first digit: the lone zero, sign blank, exponent off
void enter_digit(int code);  // 0..9 or DIGIT_POINT into the mantissa, or the exponent after EXP; re-reads x_value
void backspace();        // drops the last typed character of the field being typed; re-reads x_value
void toggle_sign();      // +/-: the mantissa's sign, or the exponent's after EXP; re-reads x_value
void parse_display();    // from the typing operations: x_value = the typed text's value
void format_value();     // from handle_key's common ending: display_text and sign_char from x_value in the current format
void format_scientific(double value, char* work);  // from format_value: the exponent into its field, the mantissa's text into work (room for 18 characters and a zero)
bool exponent_field_blank(const CalcState& state);  // from screen_texts: the exponent field holds no exponent; reads only state

// Functions of one number, each replacing x_value.
double angle_to_radians(double v);  // from the trigonometric functions: v in the angle unit, in radians
double radians_to_angle(double r);  // from the inverse ones: r in radians, in the angle unit
void factorial();        // floor(x)!, ascending, for floor(x) from 1 to 88; else x_value stays
void square();           // x²
void square_root();      // √x
void exp_x();            // eˣ
void ln_x();             // ln x
void ten_to_x();         // 10ˣ
void log_x();            // log₁₀ x
void reciprocal();       // 1/x
void sine();             // sin x in the angle unit
void cosine();           // cos x in the angle unit
void tangent();          // tan x in the angle unit
void arc_sine();         // asin x, given in the angle unit
void arc_cosine();       // acos x, given in the angle unit
void arc_tangent();      // atan x, given in the angle unit
void integer_part();     // floor(x)
void fractional_part();  // x - floor(x), never negative
void recall_pi();        // x_value = CALC_PI

}  // namespace tarno
