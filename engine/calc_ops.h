// The engine's own operations on the one CalcState, shared between the
// engine's sources and its tests. Nothing outside engine/ and its tests
// includes this: the shell, the display and the tools use calc.h.
#pragma once

#include "calc.h"

namespace tarno {

constexpr int DIGIT_POINT = 10;  // the decimal point's code for enter_digit

// Not the double nearest to pi: 3.14159265359 as the calculator has always
// had it (bit pattern 0x400921FB54442EEA). The pi key and both angle
// conversions use it, so exact angles come out slightly off, as they should.
constexpr double CALC_PI = 3.14159265359;
constexpr double FACTORIAL_LIMIT = 88.0;  // the largest n whose n! is computed

// The one state record, writable; only the engine writes it.
CalcState& calc();

// Resets.
void clear_all();         // the C key: keeps memory, Ans, format and angle unit
void reset_calculator();  // power-on: clear_all, memory 0, radians, Norm

// Pending operations and parentheses.
double apply_pending();
void begin_operation(PendingOp op);
void open_paren();
void close_paren();
void evaluate_all();
void apply_percent();

// Number entry and the display text.
void clear_display();
void enter_digit(int code);
void backspace();
void toggle_sign();
void parse_display();
void format_value();
void format_scientific(double value, char* text);  // text: room for 18 characters and a zero
bool exponent_field_blank(const CalcState& state);

// Functions of one number, each replacing x_value.
double angle_to_radians(double v);
double radians_to_angle(double r);
void factorial();
void square();
void square_root();
void exp_x();
void ln_x();
void ten_to_x();
void log_x();
void reciprocal();
void sine();
void cosine();
void tangent();
void arc_sine();
void arc_cosine();
void arc_tangent();
void integer_part();
void fractional_part();
void recall_pi();

}  // namespace tarno
