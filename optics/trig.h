#pragma once
// Sine, cosine, tangent, arc tangent and power for the window logic: one implementation, musl's
// (third_party/musl), compiled into every build. The C libraries of the desktop and of the
// browser build differ in the last bits of these functions, and a residual that is zero up to
// such noise would show "Ｓ-0.00Ｄ" on one and "Ｓ 0.00Ｄ" on the other. Use these instead of
// <cmath>'s wherever a result can reach a text, a score or a drawing.

extern "C" {
double trainer_musl_sin(double);
double trainer_musl_cos(double);
double trainer_musl_tan(double);
double trainer_musl_atan(double);
double trainer_musl_atan2(double, double);
double trainer_musl_pow(double, double);
}

namespace trig {

inline double sin(double x) { return trainer_musl_sin(x); }
inline double cos(double x) { return trainer_musl_cos(x); }
inline double tan(double x) { return trainer_musl_tan(x); }
inline double atan(double x) { return trainer_musl_atan(x); }
inline double atan2(double y, double x) { return trainer_musl_atan2(y, x); }
inline double pow(double x, double y) { return trainer_musl_pow(x, y); }

}  // namespace trig
