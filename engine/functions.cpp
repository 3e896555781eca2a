// Functions of one number and the angle unit. Each replaces x_value and
// leaves the pending operation, the parentheses and the memory alone.
#include <cmath>
#include <limits>

#include "engine_internal.h"

namespace tarno {

namespace {
double& x() { return writable_calc_state().x_value; }

// A domain error of log, sin⁻¹ or cos⁻¹ (the log of a negative number, an
// arcsine or arccosine beyond -1..1) gives the positive NaN, shown "nan" as
// on the handheld and with glibc; the browser's C library (musl) gives the
// negative one there, which would show "-nan". (ln and √ of a negative
// number give the processor's own NaN with either library.)
double domain_checked(double argument, double result) {
    if (std::isnan(result) && !std::isnan(argument)) return std::numeric_limits<double>::quiet_NaN();
    return result;
}
}  // namespace

double angle_to_radians(double v) {
    if (read_only_calc_state().degree_mode == 0) return v;
    const double s = v + v;
    const double p = s * CALC_PI;
    return p / 360.0;
}

double radians_to_angle(double r) {
    if (read_only_calc_state().degree_mode == 0) return r;
    const double p = r * 180.0;
    return p / CALC_PI;
}

void factorial() {
    const double f = std::floor(x());
    if (f > FACTORIAL_LIMIT) return;
    if (f <= 0.0) return;
    // A NaN passes both tests above and gives 1.
    x() = 1.0;
    if (!(f >= 2.0)) return;
    double p = 1.0;
    int i = 2;
    do {
        p = p * i;  // ascending, rounded after each step
        ++i;
    } while (f >= i);
    x() = p;
}

void square() { x() = x() * x(); }
void square_root() { x() = std::sqrt(x()); }
void exp_x() { x() = std::exp(x()); }
void ln_x() { x() = std::log(x()); }
void ten_to_x() { x() = std::pow(10.0, x()); }
void log_x() { x() = domain_checked(x(), std::log10(x())); }
void reciprocal() { x() = 1.0 / x(); }
void sine() { x() = std::sin(angle_to_radians(x())); }
void cosine() { x() = std::cos(angle_to_radians(x())); }
void tangent() { x() = std::tan(angle_to_radians(x())); }
void arc_sine() { x() = radians_to_angle(domain_checked(x(), std::asin(x()))); }
void arc_cosine() { x() = radians_to_angle(domain_checked(x(), std::acos(x()))); }
void arc_tangent() { x() = radians_to_angle(std::atan(x())); }
void integer_part() { x() = std::floor(x()); }
void fractional_part() { x() = x() - std::floor(x()); }  // never negative
void recall_pi() { x() = CALC_PI; }

}  // namespace tarno
