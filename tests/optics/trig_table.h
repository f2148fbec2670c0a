#pragma once
// The arguments on which the desktop and the WebAssembly build must give the same bits: every
// angle the window takes, the neighbours of multiples of pi/2, tiny, huge and signed-zero
// arguments, the window's arc tangent ratios and colour powers, and a spread of pseudo-random
// values over the whole range of exponents.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "optics/refraction.h"
#include "optics/trig.h"

namespace trig_table {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum class Fn { Sin, Cos, Tan, Atan, Atan2, Pow };

struct Case {
    Fn fn;
    double x;
    double y = 0;  // second argument of atan2 (x) and pow (exponent)
};

inline const char* name(Fn fn) {
    switch (fn) {
    case Fn::Sin:
        return "sin";
    case Fn::Cos:
        return "cos";
    case Fn::Tan:
        return "tan";
    case Fn::Atan:
        return "atan";
    case Fn::Atan2:
        return "atan2";
    case Fn::Pow:
        return "pow";
    }
    return "?";
}

inline double portable(const Case& c) {
    switch (c.fn) {
    case Fn::Sin:
        return trig::sin(c.x);
    case Fn::Cos:
        return trig::cos(c.x);
    case Fn::Tan:
        return trig::tan(c.x);
    case Fn::Atan:
        return trig::atan(c.x);
    case Fn::Atan2:
        return trig::atan2(c.x, c.y);
    case Fn::Pow:
        return trig::pow(c.x, c.y);
    }
    return 0;
}

// The C library's own function, for the accuracy check.
inline double library(const Case& c) {
    switch (c.fn) {
    case Fn::Sin:
        return std::sin(c.x);
    case Fn::Cos:
        return std::cos(c.x);
    case Fn::Tan:
        return std::tan(c.x);
    case Fn::Atan:
        return std::atan(c.x);
    case Fn::Atan2:
        return std::atan2(c.x, c.y);
    case Fn::Pow:
        return std::pow(c.x, c.y);
    }
    return 0;
}

// The same sequence on every platform: SplitMix64.
inline uint64_t next(uint64_t& state) {
    uint64_t z = (state += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

inline std::vector<Case> cases() {
    std::vector<double> xs;
    // The window's angles: whole degrees times 3.14 over 180, product first; the doubled axes.
    for (int d = -360; d <= 720; ++d) xs.push_back((d * kPi) / 180);
    for (int a = 0; a <= 180; ++a) xs.push_back(((2 * a) * kPi) / 180);
    // Multiples of pi/2 (true and with 3.14) and their nearest neighbours.
    for (int k = -8; k <= 8; ++k)
        for (double base : {k * std::numbers::pi / 2, k * 1.57}) {
            double below = base, above = base;
            xs.push_back(base);
            for (int i = 0; i < 3; ++i) {
                below = std::nextafter(below, -kInf);
                above = std::nextafter(above, kInf);
                xs.push_back(below);
                xs.push_back(above);
            }
        }
    // Zeros, tiny and huge values, the edges of the argument reductions, and what is not finite.
    for (double v : {0.0,
                     1e-320,
                     5e-324,
                     1e-300,
                     1e-30,
                     0x1p-27,
                     0x1p-26,
                     1e-8,
                     0.4375,
                     0.6875,
                     1.1875,
                     2.4375,
                     0x1p20 * std::numbers::pi / 2,
                     1e6,
                     1e9,
                     1e15,
                     1e22,
                     1e100,
                     1e300,
                     std::numeric_limits<double>::max(),
                     kInf,
                     kNaN}) {
        xs.push_back(v);
        xs.push_back(-v);
    }
    // A spread over every exponent.
    uint64_t state = 20261208;
    for (int i = 0; i < 1500; ++i) {
        const uint64_t bits = next(state);
        const int exponent = static_cast<int>(bits % 140) - 70;
        const double mantissa = static_cast<double>(bits >> 11) * 0x1p-53;
        xs.push_back(std::ldexp((bits & 1) ? -mantissa : mantissa, exponent));
    }

    std::vector<Case> table;
    for (double x : xs)
        for (Fn fn : {Fn::Sin, Fn::Cos, Fn::Tan, Fn::Atan}) table.push_back({fn, x});

    // The window's arc tangent ratios N/D: residuals between hidden corrections and lenses.
    auto doubled = [](int a) { return ((2 * a) * kPi) / 180; };
    for (double c1 : {-0.25, -1.0, -1.5, -3.0})
        for (int a1 = 1; a1 <= 180; a1 += 7)
            for (double c2 : {-0.0, -0.25, -1.0, -5.0})
                for (int a2 = 0; a2 <= 180; a2 += 23) {
                    const double n = c1 * trig::sin(doubled(a1)) - c2 * trig::sin(doubled(a2));
                    const double d = c1 * trig::cos(doubled(a1)) - c2 * trig::cos(doubled(a2));
                    if (d != 0) table.push_back({Fn::Atan, n / d});
                }

    // Directions of drawn lines, signed zeros and the quadrants' edges.
    for (double y : {0.0, -0.0, 1.0, -1.0, 720.0, -0.5, 1e-300, kInf, -kInf})
        for (double x : {0.0, -0.0, 1.0, -1.0, -720.0, 3.0, 1e300, kInf, -kInf}) table.push_back({Fn::Atan2, y, x});
    for (int i = 0; i < 300; ++i) {
        const double y = std::ldexp(static_cast<double>(next(state) >> 11), -53) * 2400 - 1200;
        const double x = std::ldexp(static_cast<double>(next(state) >> 11), -53) * 2400 - 1200;
        table.push_back({Fn::Atan2, y, x});
    }

    // The colour channels of the contrast rules, and a few other powers.
    for (int v = 0; v <= 255; ++v) table.push_back({Fn::Pow, (v / 255.0 + 0.055) / 1.055, 2.4});
    for (double x : {0.0, -0.0, 0.5, 2.0, -2.0, 10.0, 1e-300, 1e300})
        for (double y : {0.0, 0.5, -0.5, 2.0, 3.0, -3.0, 2.4, 1e10}) table.push_back({Fn::Pow, x, y});
    return table;
}

// One line per case: function, arguments and result as the bits of the doubles in hex. NaN
// results print as "nan", since the sign and payload of a NaN are not the same on every machine.
inline std::string bitsOf(double v) {
    if (std::isnan(v)) return "nan";
    static const char* digits = "0123456789abcdef";
    uint64_t u;  // std::bit_cast is missing from the web build's C++ library
    std::memcpy(&u, &v, sizeof u);
    std::string hex(16, '0');
    for (int i = 0; i < 16; ++i) hex[15 - i] = digits[(u >> (4 * i)) & 0xf];
    return hex;
}

inline std::string line(const Case& c) {
    std::string text = std::string(name(c.fn)) + " " + bitsOf(c.x);
    if (c.fn == Fn::Atan2 || c.fn == Fn::Pow) text += " " + bitsOf(c.y);
    return text + " " + bitsOf(portable(c));
}

}  // namespace trig_table
