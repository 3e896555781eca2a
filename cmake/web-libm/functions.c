/* The functions as glibc's libm gives them, with its wrappers' answers to
   a domain error: the positive NaN, and -infinity for the log of 0. */
#include <math.h>

double tarno_glibc_sin(double x);
double tarno_glibc_cos(double x);
double tarno_glibc_tan(double x);
double tarno_glibc_asin(double x);
double tarno_glibc_acos(double x);
double tarno_glibc_atan(double x);
double tarno_glibc_log10(double x);

double sin(double x) { return tarno_glibc_sin(x); }
double cos(double x) { return tarno_glibc_cos(x); }
double tan(double x) { return tarno_glibc_tan(x); }
double atan(double x) { return tarno_glibc_atan(x); }
double asin(double x) { return isgreater(fabs(x), 1.0) ? NAN : tarno_glibc_asin(x); }
double acos(double x) { return isgreater(fabs(x), 1.0) ? NAN : tarno_glibc_acos(x); }

double log10(double x) {
    if (islessequal(x, 0.0)) return x == 0.0 ? -HUGE_VAL : NAN;
    return tarno_glibc_log10(x);
}
