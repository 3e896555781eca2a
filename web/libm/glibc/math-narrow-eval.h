/* Doubles are evaluated as doubles here. */
#define math_narrow_eval(x) (x)
