/* glibc's endian.h adds the halves of a double, little-endian here. */
#include_next <endian.h>
#define LITTLE_ENDI 1
#define HIGH_HALF 1
#define LOW_HALF 0
