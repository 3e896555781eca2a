/* Underflow flags are not looked at here. */
#define math_check_force_underflow(x)
#define math_check_force_underflow_nonneg(x)
