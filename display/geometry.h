#pragma once
// What the phoropter view shows: the lens readouts, and where the axis lines, the cross-cylinder
// handle and its dots go. Pure functions; the window's procedures copy the results into its controls.

#include <optional>
#include <string>

#include "optics/refraction.h"

// --- The lens on the bars ---

// The phoropter lens the three lens scroll bars give (foroS, foroC, foroA): a quarter dioptre
// per step, the sphere from position 40 and both falling as the bar moves right; the axis 180
// minus the position (0 is the direction of 180).
double phoropterSphere(int sphereBar);
double phoropterCylinder(int cylinderBar);
int phoropterAxis(int axisBar);
Refraction lensOnBars(int sphereBar, int cylinderBar, int axisBar);

// --- Readouts ---

// The sphere readout is the sphere part of the refraction texts: spherePart (optics/refraction.h).
// "Ｃ 0.00Ｄ", "Ｃ-0.75Ｄ"; nothing for a positive power, which the scroll bar cannot give.
std::optional<std::string> cylinderReadout(double foroC);
// "Ａ5°", "Ａ90°"; 0 reads as "Ａ180°", the same direction. Nothing for a negative angle.
std::optional<std::string> axisReadout(int degrees);

// --- The view (twips of the phoropter frame, centre (1200, 1200)) ---

// Two end points, in double precision as the procedures keep them.
struct LineEnds {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    friend bool operator==(const LineEnds&, const LineEnds&) = default;
};

inline constexpr double kPhoropterAxisHalfLength = 720;      // Line1
inline constexpr double kCrossCylinderAxisHalfLength = 840;  // Line2

// Vertical lines are drawn at fixed places; the slope construction below would divide by ~1256.
inline constexpr LineEnds kPhoropterAxisVertical{1200, 480, 1200, 1920};
inline constexpr LineEnds kCrossCylinderAxisVertical{1200, 360, 1200, 2040};
inline constexpr LineEnds kCrossCylinderHandleVertical{1200, 2040, 1200, 2400};

// The diameter through the view centre at `degrees` (counter-clockwise from the right, screen y
// downwards), first end on the side of the direction. Nothing for 90, which callers draw fixed,
// and nothing outside 0 to 180.
std::optional<LineEnds> diameterThroughCentre(int degrees, double halfLength);

// The cross-cylinder handle: from radius 1200 on the side opposite `degrees` in to the second end
// of the axis line `axis` (the diameter of half-length 840 at the same angle). Same conditions.
std::optional<LineEnds> crossCylinderHandle(int degrees, const LineEnds& axis);

// Top-left corners of the two dots on one direction of the cross cylinder, single precision as
// the circles take them. 90 has fixed places; nothing outside 0 to 180.
struct DotPlaces {
    float left1 = 0, top1 = 0, left2 = 0, top2 = 0;
};
std::optional<DotPlaces> dotPair(int degrees);

// The directions of the two dot pairs: the cylinder axes either side of the handle
// (frontCylinderAxis and backCylinderAxis, optics/refraction.h). The red pair takes the front
// axis as it is, 1..180; the white pair wraps into 0..179, since the drawing takes 0 where the
// optics take 180.
int redDotDirection(int ccJiku);
int whiteDotDirection(int ccJiku);
