#include "display/geometry.h"

#include <cmath>
#include <cstdint>

#include "optics/refraction.h"
#include "optics/trig.h"

namespace {

constexpr double kCentre = 1200;
constexpr double kHandleRadius = 1200;
constexpr double kDotRadius = 600;
constexpr double kDotCornerOffset = 60;  // the 135-twip dots are placed by their top-left corner

// Drawn angles take the optics' 3.14 for pi; the near-vertical and near-horizontal pictures
// depend on it. Product first, then the division.
struct Slope {
    double t, w;
};
Slope slopeOf(int degrees) {
    const double t = trig::tan((degrees * kPi) / 180);
    return {t, std::sqrt(1 + t * t)};
}

bool rightHalf(int degrees) { return 0 <= degrees && degrees < 90; }
bool leftHalf(int degrees) { return 90 < degrees && degrees <= 180; }

}  // namespace

std::optional<std::string> cylinderReadout(double foroC) {
    if (foroC == 0) return "Ｃ 0.00Ｄ";
    if (foroC < 0) return "Ｃ" + format00(foroC) + "Ｄ";
    return std::nullopt;
}

std::optional<std::string> axisReadout(int degrees) {
    if (degrees == 0) return "Ａ180°";
    if (degrees > 0) return "Ａ" + std::to_string(degrees) + "°";
    return std::nullopt;
}

std::optional<LineEnds> diameterThroughCentre(int degrees, double halfLength) {
    const auto [t, w] = slopeOf(degrees);
    LineEnds e;
    if (rightHalf(degrees))
        e.x1 = halfLength / w + kCentre;
    else if (leftHalf(degrees))
        e.x1 = kCentre - halfLength / w;
    else
        return std::nullopt;
    e.y1 = (-t) * (e.x1 - kCentre) + kCentre;  // screen y grows downwards
    e.x2 = 2 * kCentre - e.x1;
    e.y2 = 2 * kCentre - e.y1;
    return e;
}

std::optional<LineEnds> crossCylinderHandle(int degrees, const LineEnds& axis) {
    const auto [t, w] = slopeOf(degrees);
    double hx;
    if (rightHalf(degrees))
        hx = kCentre - kHandleRadius / w;
    else if (leftHalf(degrees))
        hx = kHandleRadius / w + kCentre;
    else
        return std::nullopt;
    const double hy = (-t) * (hx - kCentre) + kCentre;
    return LineEnds{hx, hy, axis.x2, axis.y2};
}

std::optional<DotPlaces> dotPair(int degrees) {
    if (degrees == 90) return DotPlaces{1140, 540, 1140, 1740};
    const auto [t, w] = slopeOf(degrees);
    double x1, y1, x2, y2;
    if (rightHalf(degrees)) {
        x1 = kDotRadius / w + kCentre;
        y1 = kCentre - (kDotRadius * t) / w;
        x2 = kCentre - kDotRadius / w;
        y2 = kCentre + (kDotRadius * t) / w;
    } else if (leftHalf(degrees)) {
        x1 = kCentre - kDotRadius / w;
        y1 = kCentre + (kDotRadius * t) / w;
        x2 = kDotRadius / w + kCentre;
        y2 = kCentre - (kDotRadius * t) / w;
    } else {
        return std::nullopt;
    }
    return DotPlaces{static_cast<float>(x1 - kDotCornerOffset), static_cast<float>(y1 - kDotCornerOffset),
                     static_cast<float>(x2 - kDotCornerOffset), static_cast<float>(y2 - kDotCornerOffset)};
}

int redDotDirection(int ccJiku) { return frontCylinderAxis(ccJiku); }

// 180 and 0 are one direction; the drawing takes 0 for the handle at 45, as the back pair
// has always been drawn.
int whiteDotDirection(int ccJiku) { return backCylinderAxis(ccJiku) % 180; }

// The sphere's offset is taken in 16 bits, as scroll-bar values are, before the division.
double phoropterSphere(int sphereBar) { return static_cast<int16_t>(sphereBar - 40) / -4.0; }
double phoropterCylinder(int cylinderBar) { return cylinderBar / -4.0; }
int phoropterAxis(int axisBar) { return static_cast<int16_t>(180 - axisBar); }

Refraction lensOnBars(int sphereBar, int cylinderBar, int axisBar) {
    return Refraction{phoropterSphere(sphereBar), phoropterCylinder(cylinderBar),
                      static_cast<double>(phoropterAxis(axisBar))};
}
