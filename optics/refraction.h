#pragma once
// Refraction arithmetic and the texts the window shows for refractions.

#include <string>

// Every angle of the trainer, in the optics and in the drawing, takes 3.14 for pi. Cylinders at
// or near 90 and 180 degrees come out as they do because of it, so it must stay 3.14.
inline constexpr double kPi = 3.14;

// Sphere and cylinder in dioptres (cylinder in minus form once it leaves zanyoDosuu),
// axis in degrees. A refraction without cylinder carries the axis 90.
struct Refraction {
    double S = 0;
    double C = 0;
    double A = 90;
};

// The residual refraction left when `lens` is placed before an eye that needs `need`.
// Obliquely crossed cylinders with 3.14 for pi; the axis is rounded to whole degrees and the
// result is in minus-cylinder form. Axes 0 and 180 are the same direction. `ratio` receives
// N/D of the general case and is left alone when a special case applies or N/D is not finite.
Refraction zanyoDosuu(const Refraction& need, const Refraction& lens, double* ratio = nullptr);

// x with at least one integer digit and exactly two decimals ("#0.00"); exact ties to even.
// A tiny negative value keeps its sign ("-0.00"); negative zero prints as "0.00".
std::string format00(double x);

// x rounded to two decimals, halves to even, in its shortest form: 0.5, 0.71, 2, 0.
std::string shortestDecimal(double x);

// The sphere of a refraction, e.g. "Ｓ+1.25Ｄ", "Ｓ 0.00Ｄ", "Ｓ-1.25Ｄ": the first part of both
// refraction texts below and the phoropter's sphere readout. The sign test takes the exact value.
std::string spherePart(double S);

// The residual text, e.g. "Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°"; no cylinder part for C = 0.
std::string dosuuHyouki(double S, double C, double A);

// The text of a hidden correction or an auto-refractor reading, e.g. "Ｓ-1.25Ｄ Ｃ-0.75Ｄ Ａ37°".
std::string refractionText(double S, double C, double A);

// The blur amount of a refraction: the length of its pair of meridian powers.
double bokeRyou(double S, double C);

// The spherical equivalent.
inline double touka(double S, double C) { return S + C / 2; }

// The score 0 to 100 of a phoropter setting with axis foroA against the hidden axis seikaiA.
int tennsuu(const Refraction& zanyo, int foroA, double seikaiA);

// The cross cylinder's handle direction for the handle scroll bar at `handlePosition` (1 to 180):
// the bar runs the other way round, 0 to 179.
inline int handleDirection(int handlePosition) { return 180 - handlePosition; }

// The cylinder axes of the cross cylinder, 45 degrees either side of the handle direction
// `ccJiku`: the front one turned forwards, the back one backwards, each wrapped into 1 to 180 as
// the optics take axes. The dots of the drawing follow the same directions, except that the
// back pair draws 180 as 0 (whiteDotDirection, display/geometry.h).
int frontCylinderAxis(int ccJiku);
int backCylinderAxis(int ccJiku);

// The ±0.50 D cross cylinder (S +0.50, C -1.00) in front of a residual, in both flip
// positions, with the handle scroll bar at `handlePosition` (1 to 180).
struct CrossCylinderLook {
    int ccJiku = 0;     // handleDirection(handlePosition)
    int akaJiku = 0;    // cylinder axis of the front position, 1 to 180
    int shiroJiku = 0;  // cylinder axis of the back position, 1 to 180
    Refraction omote, ura;
    double bokeOmote = 0, bokeUra = 0;
};
CrossCylinderLook throughCrossCylinder(const Refraction& zanyo, int handlePosition);
