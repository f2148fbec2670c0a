#include "optics/refraction.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "optics/trig.h"

namespace {

// On the way back from the arc tangent the optics take 6.28 for 2 pi.
constexpr double kTwoPi = 6.28;

// The doubled axis in radians, multiplied in this order.
double doubledAngle(double axis) { return ((2 * axis) * kPi) / 180; }

// An arc tangent back to an axis in degrees, multiplying first.
double axisFromAngle(double t) { return t * 180 / kTwoPi; }

// 0 and 180 are the same direction, whichever way the lens was written.
bool sameAxis(double a1, double a2) { return a1 == a2 || (a1 == 0 && a2 == 180) || (a1 == 180 && a2 == 0); }

Refraction inMinusCylinder(Refraction r) {
    if (r.C > 0) {
        r.S += r.C;
        r.C = -r.C;
        r.A += 90;
        if (r.A > 180) r.A -= 180;
    }
    return r;
}

// The decimal digits of q * 2^shift, most significant first: a number of any size in limbs of
// nine decimal digits, least significant first, doubled `shift` times.
std::string decimalDigits(uint64_t q, int shift) {
    constexpr uint32_t kLimb = 1000000000;
    std::vector<uint32_t> limbs;
    do {
        limbs.push_back(static_cast<uint32_t>(q % kLimb));
        q /= kLimb;
    } while (q != 0);
    for (int i = 0; i < shift; ++i) {
        uint32_t carry = 0;
        for (uint32_t& limb : limbs) {
            const uint32_t doubled = limb * 2 + carry;
            carry = doubled >= kLimb ? 1 : 0;
            limb = doubled - carry * kLimb;
        }
        if (carry) limbs.push_back(carry);
    }
    std::string text = std::to_string(limbs.back());
    for (auto it = limbs.rbegin() + 1; it != limbs.rend(); ++it) {
        const std::string part = std::to_string(*it);
        text += std::string(9 - part.size(), '0') + part;
    }
    return text;
}

// x rounded to `decimals` places (0 to 2). The exact binary value is rounded, true ties to even
// (0.125 gives 0.12, 0.375 gives 0.38). A tiny negative value keeps its sign ("-0.00"), as a
// tiny positive residual shows "+0.00" beside it; a negative zero (the phoropter's plano lens
// is -0.0) prints as a plain zero. A value that is not finite (the optics never produce one)
// prints as zero too, so no label can show "nan" or "inf".
// Worked out in integers from the value's mantissa and exponent, so every platform gives the
// same characters whatever its C library does with floating-point conversions.
std::string fixedDecimals(double x, int decimals) {
    if (!std::isfinite(x) || x == 0) x = 0;
    const bool negative = std::signbit(x);
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(x), &exponent);
    // |x| = mantissa * 2^shift exactly, the mantissa a whole number below 2^53.
    const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    const int shift = exponent - 53;
    uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const uint64_t scaled = mantissa * scale;  // below 2^60

    std::string digits;
    if (shift >= 0) {
        digits = decimalDigits(scaled, shift);  // a whole number: nothing to round
    } else {
        uint64_t q = 0;
        if (-shift < 62) {  // further right, scaled is below half a unit and rounds to 0
            const int s = -shift;
            q = scaled >> s;
            const uint64_t rest = scaled & ((uint64_t{1} << s) - 1);
            const uint64_t half = uint64_t{1} << (s - 1);
            if (rest > half || (rest == half && (q & 1) != 0)) ++q;
        }
        digits = std::to_string(q);
    }
    if (digits.size() < static_cast<size_t>(decimals) + 1)
        digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
    if (decimals > 0) digits.insert(digits.size() - static_cast<size_t>(decimals), 1, '.');
    if (negative) digits.insert(0, 1, '-');
    return digits;
}

// The ±0.50 D cross cylinder in minus-cylinder form.
constexpr double kCrossCylinderS = 0.5;
constexpr double kCrossCylinderC = -1;

}  // namespace

Refraction zanyoDosuu(const Refraction& need, const Refraction& lens, double* ratio) {
    const double dS = need.S - lens.S;
    const double dC = need.C - lens.C;

    // Equal cylinders, or none on either side: the spheres subtract, no cylinder remains.
    if ((lens.C == need.C && sameAxis(need.A, lens.A)) || (need.C == 0 && lens.C == 0)) return {dS, 0, 90};

    // Obliquely crossed cylinders, added as vectors at twice their axes.
    const double N = need.C * trig::sin(doubledAngle(need.A)) - lens.C * trig::sin(doubledAngle(lens.A));
    const double D = need.C * trig::cos(doubledAngle(need.A)) - lens.C * trig::cos(doubledAngle(lens.A));

    // The same cylinder written two ways (a constructed input; the scroll bars cannot give it):
    // the cylinders cancel, and what remains is the difference of the spherical equivalents.
    if (N == 0 && D == 0) return {dS + dC / 2, 0, 90};

    double t;
    if (D == 0) {
        // The ratio is infinite: the doubled axis stands at plus or minus 90 degrees. Take the arc
        // tangent's limit and leave the stored ratio alone, since it has no finite value.
        t = std::copysign(std::numbers::pi / 2, N);
    } else {
        const double r = N / D;
        if (ratio) *ratio = r;
        t = trig::atan(r);
    }

    double A = std::nearbyint(axisFromAngle(t));  // halves to even
    if (A <= 0) A += 180;
    // A is now a whole number from 1 to 180. At 180 the doubled angle's sine is only the
    // rounding noise of 3.14 (sin 6.28 = -0.0032 where the true value is 0), and N is as small:
    // their quotient would be noise. The cosine part holds the cylinder there, so take it from D.
    // No divisor is zero: sin(w(A)) vanishes for no axis of 1 to 179, cos(w(180)) is near 1.
    const double C = A == 180 ? D / trig::cos(doubledAngle(A)) : N / trig::sin(doubledAngle(A));
    const double S = dS + (dC - C) / 2;
    return inMinusCylinder({S, C, A});
}

std::string format00(double x) { return fixedDecimals(x, 2); }

std::string spherePart(double S) {
    if (S > 0) return "Ｓ+" + format00(S) + "Ｄ";
    if (S == 0) return "Ｓ 0.00Ｄ";  // also the negative zero of the sphere bar's middle position
    return "Ｓ" + format00(S) + "Ｄ";
}

std::string shortestDecimal(double x) {
    std::string text = fixedDecimals(x, 2);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string dosuuHyouki(double S, double C, double A) {
    std::string text = spherePart(S);
    if (C != 0) {
        // Residuals are in minus form; a plus cylinder handed in still shows its sign.
        text += (C > 0 ? " Ｃ+" : " Ｃ") + format00(C) + "Ｄ";
        text += " Ａ" + fixedDecimals(A, 0) + "°";
    }
    return text;
}

std::string refractionText(double S, double C, double A) {
    std::string text = spherePart(S);
    if (C == 0)
        text += " Ｃ 0.00Ｄ";
    else if (C < 0)
        text += " Ｃ" + format00(C) + "Ｄ";
    if (A == 0)
        text += " Ａ180°";
    else if (A > 0)
        text += " Ａ" + shortestDecimal(A) + "°";
    return text;
}

double bokeRyou(double S, double C) { return std::sqrt((S * S) + ((S + C) * (S + C))); }

int tennsuu(const Refraction& zanyo, int foroA, double seikaiA) {
    // The axis error is the angle between the two directions, so 0 and 180 count as one.
    const double d = std::fmod(std::abs(foroA - seikaiA), 180.0);
    const double axisError = std::min(d, 180 - d);
    const double raw = ((100 - std::abs(touka(zanyo.S, zanyo.C)) * 40) - std::abs(zanyo.C) * 10) - axisError;
    const double score = std::floor(raw);
    return score > 0 ? static_cast<int>(score) : 0;
}

int frontCylinderAxis(int ccJiku) {
    const int a = ccJiku + 45;
    return a > 180 ? a - 180 : a;
}

int backCylinderAxis(int ccJiku) {
    const int a = ccJiku - 45;
    return a <= 0 ? a + 180 : a;
}

CrossCylinderLook throughCrossCylinder(const Refraction& zanyo, int handlePosition) {
    CrossCylinderLook cc;
    cc.ccJiku = handleDirection(handlePosition);

    // The cylinder axis stands 45 degrees from the handle, on one side or the other by the flip.
    cc.akaJiku = frontCylinderAxis(cc.ccJiku);
    cc.omote = zanyoDosuu(zanyo, {kCrossCylinderS, kCrossCylinderC, static_cast<double>(cc.akaJiku)});
    cc.bokeOmote = bokeRyou(cc.omote.S, cc.omote.C);

    cc.shiroJiku = backCylinderAxis(cc.ccJiku);
    cc.ura = zanyoDosuu(zanyo, {kCrossCylinderS, kCrossCylinderC, static_cast<double>(cc.shiroJiku)});
    cc.bokeUra = bokeRyou(cc.ura.S, cc.ura.C);
    return cc;
}
