/* Always rounding to nearest here: nothing to set or restore. */
#include <fenv.h>
#define SET_RESTORE_ROUND(mode)
#define SET_RESTORE_ROUND_53BIT(mode)
