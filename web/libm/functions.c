/* The functions under their own names, each glibc's computation itself. A
   domain error gives the NaN of the processor's invalid operation, as
   glibc's computations do inside its wrappers; which NaN the calculator
   shows then is the engine's decision (engine/functions.cpp). */
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
double asin(double x) { return tarno_glibc_asin(x); }
double acos(double x) { return tarno_glibc_acos(x); }
double atan(double x) { return tarno_glibc_atan(x); }
double log10(double x) { return tarno_glibc_log10(x); }
