/* Converting integer 0 gives +0 here. */
#define FIX_INT_FP_CONVERT_ZERO 0
