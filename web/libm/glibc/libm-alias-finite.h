/* No symbol versions or aliases: functions.c names the functions. */
#define libm_alias_finite(from, to)
