// The number texts: the same characters on every standard library, checked here against the
// exact conversion of this one.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "optics/refraction.h"

namespace {

// What the standard library's exact conversion gives, where it has one.
std::string exactFixed(double x, int decimals) {
    if (!std::isfinite(x) || x == 0) x = 0;
    char buffer[400];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals).ptr;
    return std::string(buffer, end);
}

}  // namespace

TEST(NumberText, MatchesExactConversionOnTiesTinyValuesAndRandomValues) {
    for (double x : {0.125,
                     0.375,
                     -0.125,
                     2.675,
                     1.005,
                     0.005,
                     -0.005,
                     0.0049,
                     -0.0049,
                     0.015,
                     0.025,
                     1e-300,
                     -1e-300,
                     4.9e-324,
                     1e22,
                     1e300,
                     -1.7976931348623157e308,
                     123456789.125,
                     0.5,
                     1.5,
                     2.5,
                     179.5,
                     180.5}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(format00(x), exactFixed(x, 2));
        EXPECT_EQ(dosuuHyouki(0, -1, x), "Ｓ 0.00Ｄ Ｃ-1.00Ｄ Ａ" + exactFixed(x, 0) + "°");
    }
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> small(-20, 20);
    std::uniform_int_distribution<int> quarter(-80, 80), exponent(-1074, 1023);
    std::uniform_int_distribution<uint64_t> bits;
    for (int i = 0; i < 5000; ++i) {
        const double x = small(rng);
        // Exact ties at the third decimal (eighths), as halved quarter dioptres give.
        const double tie = quarter(rng) / 8.0;
        double anything;
        const uint64_t b = bits(rng);
        std::memcpy(&anything, &b, sizeof anything);
        for (double v : {x, tie, x / 1000, anything, std::ldexp(x, exponent(rng))}) {
            ASSERT_EQ(format00(v), exactFixed(v, 2)) << v;
            std::string shortest = exactFixed(v, 2);
            shortest.erase(shortest.find_last_not_of('0') + 1);
            if (shortest.back() == '.') shortest.pop_back();
            ASSERT_EQ(shortestDecimal(v), shortest) << v;
        }
    }
}

TEST(NumberText, ResidualAndScoreTextsKeepTheirSigns) {
    EXPECT_EQ(format00(-0.0), "0.00");
    EXPECT_EQ(format00(-1e-17), "-0.00");
    EXPECT_EQ(shortestDecimal(-0.0), "0");
    EXPECT_EQ(shortestDecimal(1.125), "1.12");
    EXPECT_EQ(shortestDecimal(1.375), "1.38");
    EXPECT_EQ(shortestDecimal(0.7071067811865476), "0.71");
    EXPECT_EQ(dosuuHyouki(-1e-17, -0.5, 90), "Ｓ-0.00Ｄ Ｃ-0.50Ｄ Ａ90°");
    EXPECT_EQ(dosuuHyouki(1e-17, 0, 90), "Ｓ+0.00Ｄ");
    EXPECT_EQ(refractionText(-3.25, -1.5, 56), "Ｓ-3.25Ｄ Ｃ-1.50Ｄ Ａ56°");
}
