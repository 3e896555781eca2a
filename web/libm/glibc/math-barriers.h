/* Values the compiler may neither fold nor drop. */
#pragma once
#define math_opt_barrier(x) ({ __typeof(x) x_ = (x); __asm__("" : "+r"(x_)); x_; })
#define math_force_eval(x) ({ __typeof(x) x_ = (x); __asm__ __volatile__("" : : "r"(x_)); })
