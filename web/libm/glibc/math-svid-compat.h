/* No SVID compatibility: functions.c gives the wrappers' answers. */
#define LIBM_SVID_COMPAT 0
