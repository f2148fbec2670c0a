#pragma once
// The chart as the customer sees it through the lenses: the chosen chart drawn about three
// times its size in the window and blurred by the residual refraction, as RGBA8 pixels that
// both views show as they are.
//
// Geometric optics with one fixed pupil: a point of the chart spreads into a uniform ellipse
// whose diameter along each principal meridian is kBlurPixelsPerDioptre times that meridian's
// power, S along the residual's axis and S + C across it. The picture is the chart as the
// customer faces it, 3 o'clock on the right. An axis A, counted counter-clockwise from the
// examiner's right, runs along (cos A, sin A) in the picture (y down): from the upper left to the
// lower right for A below 90. Under fog the blur is longest across the axis, so the dial line
// at the clock hour A / 30 (the 1-7 line for A = 30) stays darkest, as the customer says.
//
// Everything is computed with + - * / and square roots on fixed tables (no sine, cosine or
// font from the platform), so the bytes are the same natively and in WebAssembly.

#include <cstdint>
#include <string>
#include <vector>

#include "optics/refraction.h"
#include "subject/answers.h"

// Pixels of blur diameter per dioptre of meridian power. With it a blur amount of 0.25 D
// leaves the gap of the smallest Landolt ring of the acuity chart open and 1.00 D closes it.
inline constexpr double kBlurPixelsPerDioptre = 16.0;

// The red-green chart: the red half is seen as if the spherical equivalent were this much
// more plus, the green half this much more minus (the eye focuses green nearer than red).
inline constexpr double kRedGreenShift = 0.25;

struct CustomerPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, rows top down, opaque
    std::string description;         // the accessible name; the customer's view names what it shows
};

// The chart as drawn, unblurred. Chart::None gives an empty picture (0 x 0).
CustomerPicture chartPicture(Chart chart);

// The chart seen with the residual refraction `zanyo` (minus-cylinder form, axis in degrees).
// The red-green chart takes the spherical equivalent only, shifted by kRedGreenShift each way.
CustomerPicture customerSight(Chart chart, const Refraction& zanyo);

// With the cross cylinder in front: the chart through its front (おもて) and back (うら) face,
// each from that face's residual as the customer's comparison takes it, the handle scroll bar
// at `handlePosition` (1 to 180).
struct CrossCylinderPictures {
    CustomerPicture omote;
    CustomerPicture ura;
};
CrossCylinderPictures customerSightThroughCrossCylinder(Chart chart, const Refraction& zanyo, int handlePosition);

// Where the charts' parts lie in the pictures, in pixels from the top left corner (a pixel's
// centre is at +0.5), for measuring the pictures.
namespace customer_sight_layout {
// Acuity chart: the Landolt ring of the smallest row, its outer diameter and the direction of
// its gap in degrees (0 right, counter-clockwise on the screen).
inline constexpr double kSmallRingX = 75.75, kSmallRingY = 244.5, kSmallRingDiameter = 24, kSmallRingGapDeg = 270;
// Radial dial: the centre and the radii between which its spokes run, every 15 degrees.
inline constexpr double kDialCentre = 141, kDialSpokeInner = 21, kDialSpokeOuter = 99;
// Red-green chart: the columns left of this one are red, the others green.
inline constexpr int kRedGreenSplit = 141;
}  // namespace customer_sight_layout
