/* What glibc's build gives its math sources, for the few compiled here:
   its shorthands, and its internal names under names of their own, apart
   from emscripten's C library's (which has a __sin and a __cos, for one). */
#include <errno.h>
#include <stdint.h>

#define __glibc_likely(c) __builtin_expect((c), 1)
#define __glibc_unlikely(c) __builtin_expect((c), 0)
#ifndef __always_inline
#define __always_inline __inline __attribute__((__always_inline__))
#endif
#define attribute_hidden
#define __set_errno(e) (errno = (e))

#define __sin tarno_glibc_sin
#define __cos tarno_glibc_cos
#define __tan tarno_glibc_tan
#define __atan tarno_glibc_atan
#define __ieee754_asin tarno_glibc_asin
#define __ieee754_acos tarno_glibc_acos
#define __ieee754_log10 tarno_glibc_log10
#define __ieee754_log tarno_glibc_log
#define __log tarno_glibc_log
#define __branred tarno_glibc_branred
#define __sincostab tarno_glibc_sincostab
#define __log_data tarno_glibc_log_data
#define __math_divzero tarno_glibc_math_divzero
#define __math_invalid tarno_glibc_math_invalid
#define __math_oflow tarno_glibc_math_oflow
#define __math_uflow tarno_glibc_math_uflow
#define __math_may_uflow tarno_glibc_math_may_uflow
#define __math_check_oflow tarno_glibc_math_check_oflow
#define __math_check_uflow tarno_glibc_math_check_uflow

double __ieee754_log(double x);
