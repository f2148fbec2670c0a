/* Not part of musl: included ahead of every musl source here (-include) so that these functions
   are compiled under names of their own. They then neither clash with the C library's functions
   of the same names nor stand in for them, and the same code runs in every build. */
#ifndef TRAINER_MUSL_NAMES_H
#define TRAINER_MUSL_NAMES_H

#include <endian.h>
#include <float.h>
#include <math.h>
#include <stdint.h>

/* musl's own headers define this; the C library's do not. */
#define hidden __attribute__((__visibility__("hidden")))

/* What the trainer calls (optics/trig.h). */
#define sin trainer_musl_sin
#define cos trainer_musl_cos
#define tan trainer_musl_tan
#define atan trainer_musl_atan
#define atan2 trainer_musl_atan2
#define pow trainer_musl_pow

/* math.h declared them before the renaming, so declare them again under their new names. */
double sin(double);
double cos(double);
double tan(double);
double atan(double);
double atan2(double, double);
double pow(double, double);

/* The internal helpers, and every other name libm.h declares, some of which the C library's
   math.h declares with other parameters. */
#define __sin trainer_musl___sin
#define __cos trainer_musl___cos
#define __tan trainer_musl___tan
#define __rem_pio2 trainer_musl___rem_pio2
#define __rem_pio2_large trainer_musl___rem_pio2_large
#define __expo2 trainer_musl___expo2
#define __rem_pio2f trainer_musl___rem_pio2f
#define __sindf trainer_musl___sindf
#define __cosdf trainer_musl___cosdf
#define __tandf trainer_musl___tandf
#define __expo2f trainer_musl___expo2f
#define __rem_pio2l trainer_musl___rem_pio2l
#define __sinl trainer_musl___sinl
#define __cosl trainer_musl___cosl
#define __tanl trainer_musl___tanl
#define __polevll trainer_musl___polevll
#define __p1evll trainer_musl___p1evll
#define __signgam trainer_musl___signgam
#define __lgamma_r trainer_musl___lgamma_r
#define __lgammaf_r trainer_musl___lgammaf_r
#define __math_xflowf trainer_musl___math_xflowf
#define __math_uflowf trainer_musl___math_uflowf
#define __math_oflowf trainer_musl___math_oflowf
#define __math_divzerof trainer_musl___math_divzerof
#define __math_invalidf trainer_musl___math_invalidf
#define __math_xflow trainer_musl___math_xflow
#define __math_uflow trainer_musl___math_uflow
#define __math_oflow trainer_musl___math_oflow
#define __math_divzero trainer_musl___math_divzero
#define __math_invalid trainer_musl___math_invalid
#define __math_invalidl trainer_musl___math_invalidl

#endif
