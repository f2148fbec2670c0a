// Residual refraction, its texts, the score and the view through the cross cylinder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <string>

#include "optics/refraction.h"

namespace {

std::string text(const Refraction& r) { return dosuuHyouki(r.S, r.C, r.A); }

constexpr double kUntouched = 12345;

}  // namespace

TEST(ZanyoDosuu, EqualLensesLeaveOnlyTheSphereDifference) {
    double ratio = kUntouched;
    const Refraction same = zanyoDosuu({-1, -1, 90}, {-1, -1, 90}, &ratio);
    EXPECT_EQ(same.S, 0);
    EXPECT_EQ(same.C, 0);
    EXPECT_EQ(same.A, 90);

    const Refraction spheres = zanyoDosuu({-2.5, 0, 37}, {-1, -0.0, 90}, &ratio);
    EXPECT_EQ(spheres.S, -1.5);
    EXPECT_EQ(spheres.C, 0);
    EXPECT_EQ(spheres.A, 90);
    EXPECT_EQ(ratio, kUntouched) << "no ratio without the general case";

    // Axis 0 and axis 180 are one direction, in either order.
    for (auto [need, lens] : {std::pair{180.0, 0.0}, std::pair{0.0, 180.0}}) {
        const Refraction r = zanyoDosuu({-1, -1, need}, {-1.25, -1, lens}, &ratio);
        EXPECT_EQ(r.S, 0.25);
        EXPECT_EQ(r.C, 0);
        EXPECT_EQ(r.A, 90);
    }
    EXPECT_EQ(ratio, kUntouched);
}

TEST(ZanyoDosuu, AResidualAxisOf180TakesItsCylinderFromTheCosinePart) {
    // An eye that needs C -1.00 at 90 behind a plano lens. The arc tangent lands a hair below 0,
    // the axis rounds to 180, where sin(w(180)) is only the noise of 3.14: the cosine part gives
    // the cylinder, which the minus-cylinder step turns back to 90.
    double ratio = kUntouched;
    const Refraction plano = zanyoDosuu({-1, -1, 90}, {0, -0.0, 90}, &ratio);
    EXPECT_NEAR(ratio, -0.0015927, 1e-7);
    EXPECT_NEAR(plano.S, -1, 1e-5);
    EXPECT_NEAR(plano.C, -1, 1e-5);
    EXPECT_EQ(plano.A, 90);
    EXPECT_EQ(text(plano), "Ｓ-1.00Ｄ Ｃ-1.00Ｄ Ａ90°");

    // Half a degree off 180: the residual is about S +0.57 C -1.13 A 179.5.
    EXPECT_EQ(text(zanyoDosuu({-5, -3, 53}, {-4.75, -3.5, 62})), "Ｓ+0.56Ｄ Ｃ-1.13Ｄ Ａ180°");
    // A residual truly at 180 comes out as before.
    EXPECT_EQ(text(zanyoDosuu({-1, -1, 180}, {0, -0.0, 90})), "Ｓ-1.00Ｄ Ｃ-1.00Ｄ Ａ180°");
    // Other rounded axes still divide by the sine part, 3.14 and all.
    EXPECT_EQ(text(zanyoDosuu({-1, -1, 90}, {-1, -1, 80})), "Ｓ+0.17Ｄ Ｃ-0.35Ｄ Ａ130°");
}

TEST(ZanyoDosuu, CylinderStaysNearTheExactOpticsForSettingsNearTheTruth) {
    // The residual cylinder against power vectors with the true pi, over lens settings a trainee
    // reaches near the answer. What is left comes from rounding the axis to whole degrees.
    std::mt19937 gen(20261208);
    std::uniform_int_distribution<int> quarter(-2, 2), degrees(-10, 10), sphere(-32, 27), cyl(1, 12), axis(1, 180);
    double worst = 0;
    for (int i = 0; i < 200000; ++i) {
        const Refraction need{sphere(gen) / 4.0, -cyl(gen) / 4.0, static_cast<double>(axis(gen))};
        const double lensC = std::min(0.0, need.C + quarter(gen) / 4.0);
        const double lensA = std::clamp(need.A + degrees(gen), 0.0, 180.0);
        const Refraction lens{need.S + quarter(gen) / 4.0, lensC, lensA};
        const Refraction r = zanyoDosuu(need, lens);

        const auto vector = [](const Refraction& x) {
            const double w = 2 * x.A * std::numbers::pi / 180;
            return std::pair{-x.C / 2 * std::cos(w), -x.C / 2 * std::sin(w)};
        };
        const auto [n0, n45] = vector(need);
        const auto [l0, l45] = vector(lens);
        const double exactC = -2 * std::hypot(n0 - l0, n45 - l45);
        worst = std::max(worst, std::abs(r.C - exactC));
    }
    RecordProperty("worst_cylinder_deviation", std::to_string(worst));
    EXPECT_LT(worst, 1.0);
    std::printf("largest deviation of the residual cylinder: %.3f D\n", worst);
}

TEST(ZanyoDosuu, ResultIsInMinusCylinderFormWithAWholeAxis) {
    for (int need = 1; need <= 180; ++need)
        for (double lensC : {0.0, -0.5, -2.0})
            for (int lensA : {0, 1, 45, 90, 179, 180}) {
                const Refraction r =
                    zanyoDosuu({1.5, -1.25, static_cast<double>(need)}, {-0.75, lensC, static_cast<double>(lensA)});
                ASSERT_TRUE(std::isfinite(r.S) && std::isfinite(r.C)) << need << " " << lensC << " " << lensA;
                ASSERT_LE(r.C, 0);
                ASSERT_GE(r.A, 1);
                ASSERT_LE(r.A, 180);
                ASSERT_EQ(r.A, std::floor(r.A));
            }
}

TEST(ZanyoDosuu, ZeroDivisorsStillGiveAFiniteResidual) {
    // D = 0: the lens written with axis -30 cancels the cosine parts exactly. The axis is the
    // arc tangent's limit, the same result as the lens written with axis 150.
    double ratio = kUntouched;
    const Refraction infinite = zanyoDosuu({0, -1, 30}, {0, -1, -30}, &ratio);
    EXPECT_EQ(ratio, kUntouched) << "an infinite ratio is not stored";
    EXPECT_EQ(text(infinite), "Ｓ+0.87Ｄ Ｃ-1.73Ｄ Ａ45°");
    EXPECT_EQ(text(zanyoDosuu({0, -1, 30}, {0, -1, 150})), "Ｓ+0.87Ｄ Ｃ-1.73Ｄ Ａ45°");

    // N = D = 0: an axis one bit above 19 has the same doubled angle, so the two cylinders are
    // one and the same although the axes differ. Only the spheres remain.
    const double axis = std::nextafter(19.0, 20.0);
    ASSERT_EQ(((2 * axis) * 3.14) / 180, ((2 * 19.0) * 3.14) / 180);
    const Refraction cancelled = zanyoDosuu({-1, -1, 19}, {-0.5, -1, axis}, &ratio);
    EXPECT_EQ(cancelled.S, -0.5);
    EXPECT_EQ(cancelled.C, 0);
    EXPECT_EQ(cancelled.A, 90);
    EXPECT_EQ(ratio, kUntouched);
}

TEST(Format00, TwoDecimalsTiesToEvenAndNoNegativeZero) {
    EXPECT_EQ(format00(-0.25), "-0.25");
    EXPECT_EQ(format00(6.75), "6.75");
    EXPECT_EQ(format00(-3), "-3.00");
    EXPECT_EQ(format00(0.7071), "0.71");
    EXPECT_EQ(format00(1234.5), "1234.50");
    EXPECT_EQ(format00(0.125), "0.12");
    EXPECT_EQ(format00(0.375), "0.38");
    EXPECT_EQ(format00(-0.125), "-0.12");
    EXPECT_EQ(format00(0.0049), "0.00");
    EXPECT_EQ(format00(-0.0049), "-0.00");
    EXPECT_EQ(format00(-0.0), "0.00");
    EXPECT_EQ(format00(-0.005001), "-0.01");
    for (double odd : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()})
        EXPECT_EQ(format00(odd), "0.00");
}

TEST(ShortestDecimal, RoundsToHundredthsAndDropsTrailingZeros) {
    EXPECT_EQ(shortestDecimal(0.5), "0.5");
    EXPECT_EQ(shortestDecimal(0.70710678), "0.71");
    EXPECT_EQ(shortestDecimal(1.118034), "1.12");
    EXPECT_EQ(shortestDecimal(2), "2");
    EXPECT_EQ(shortestDecimal(0), "0");
    EXPECT_EQ(shortestDecimal(180), "180");
    EXPECT_EQ(shortestDecimal(1.999), "2");
    EXPECT_EQ(shortestDecimal(0.125), "0.12");
    EXPECT_EQ(shortestDecimal(-0.003), "-0");
    EXPECT_EQ(shortestDecimal(-2.5), "-2.5");
    EXPECT_EQ(shortestDecimal(std::numeric_limits<double>::quiet_NaN()), "0");
}

TEST(DosuuHyouki, SignsTestTheExactValue) {
    EXPECT_EQ(dosuuHyouki(0, 0, 90), "Ｓ 0.00Ｄ");
    EXPECT_EQ(dosuuHyouki(-0.0, 0, 90), "Ｓ 0.00Ｄ");
    EXPECT_EQ(dosuuHyouki(0.5, 0, 90), "Ｓ+0.50Ｄ");
    EXPECT_EQ(dosuuHyouki(-1.25, -0.5, 90), "Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°");
    EXPECT_EQ(dosuuHyouki(0.000001, 0, 90), "Ｓ+0.00Ｄ");
    // Just below zero, the sign stays, as it does just above.
    EXPECT_EQ(dosuuHyouki(-0.000001, 0, 90), "Ｓ-0.00Ｄ");
    // A cylinder of a few millionths still carries cylinder and axis.
    EXPECT_EQ(dosuuHyouki(-1.5, -0.000003, 45), "Ｓ-1.50Ｄ Ｃ-0.00Ｄ Ａ45°");
    EXPECT_EQ(dosuuHyouki(-1, -0.25, 180), "Ｓ-1.00Ｄ Ｃ-0.25Ｄ Ａ180°");
}

TEST(RefractionText, ShowsCylinderAndAxisEvenWhenZero) {
    EXPECT_EQ(refractionText(-1.25, -0.75, 37), "Ｓ-1.25Ｄ Ｃ-0.75Ｄ Ａ37°");
    EXPECT_EQ(refractionText(6.75, -3, 180), "Ｓ+6.75Ｄ Ｃ-3.00Ｄ Ａ180°");
    EXPECT_EQ(refractionText(0, 0, 90), "Ｓ 0.00Ｄ Ｃ 0.00Ｄ Ａ90°");
    EXPECT_EQ(refractionText(-1, -1, 0), "Ｓ-1.00Ｄ Ｃ-1.00Ｄ Ａ180°");
    EXPECT_EQ(refractionText(-1, 0.5, -3), "Ｓ-1.00Ｄ");
}

TEST(BokeRyou, LengthOfTheMeridianPowers) {
    EXPECT_DOUBLE_EQ(bokeRyou(0, 0), 0);
    EXPECT_DOUBLE_EQ(bokeRyou(0.5, -1), std::sqrt(0.5));
    EXPECT_DOUBLE_EQ(bokeRyou(-3, 0), std::sqrt(18.0));
    // The same refraction in plus-cylinder form blurs the same.
    EXPECT_DOUBLE_EQ(bokeRyou(-0.25, -1.5), bokeRyou(-1.75, 1.5));
}

TEST(Tennsuu, FloorsClampsAndMeasuresTheAxisAsAnAngle) {
    EXPECT_EQ(tennsuu({0, 0, 90}, 90, 90), 100);
    EXPECT_EQ(tennsuu({-8, 0, 90}, 90, 90), 0) << "never negative";
    // 0 and 180 are one direction: the error is the smaller angle between the axes.
    EXPECT_EQ(tennsuu({0, 0, 90}, 0, 180), 100);
    EXPECT_EQ(tennsuu({0, 0, 90}, 180, 1), 99);
    EXPECT_EQ(tennsuu({0, 0, 90}, 10, 170), 80);
    EXPECT_EQ(tennsuu({0, 0, 90}, 0, 90), 10);
    EXPECT_EQ(tennsuu({0, 0, 90}, 80, 90), 90);
}

TEST(ThroughCrossCylinder, AxesOfBothFlipPositions) {
    struct Case {
        int position, ccJiku, akaJiku, shiroJiku;
    };
    for (const Case& c : {Case{90, 90, 135, 45}, Case{135, 45, 90, 180}, Case{45, 135, 180, 90}, Case{180, 0, 45, 135},
                          Case{1, 179, 44, 134}}) {
        const CrossCylinderLook cc = throughCrossCylinder({0, 0, 90}, c.position);
        EXPECT_EQ(cc.ccJiku, c.ccJiku) << c.position;
        EXPECT_EQ(cc.akaJiku, c.akaJiku) << c.position;
        EXPECT_EQ(cc.shiroJiku, c.shiroJiku) << c.position;
    }
}

TEST(ThroughCrossCylinder, BlurOfBothPositions) {
    // The comparison question's numbers: residual C -0.50 at 45.
    struct Case {
        int position;
        double omote, ura;
    };
    for (const Case& c : {Case{180, 0.5, 1.118}, Case{90, 1.118, 0.5}, Case{135, 0.8786, 0.8808}}) {
        const CrossCylinderLook cc = throughCrossCylinder({0, -0.5, 45}, c.position);
        EXPECT_NEAR(cc.bokeOmote, c.omote, 1e-3) << c.position;
        EXPECT_NEAR(cc.bokeUra, c.ura, 1e-3) << c.position;
    }

    // A cylinder of -1 up to noise misses the special case; a tiny cylinder is left.
    const CrossCylinderLook noisy = throughCrossCylinder({-1, -0.999997, 45}, 90);
    EXPECT_LT(noisy.ura.C, 0);
    EXPECT_GT(noisy.ura.C, -0.0001);
    EXPECT_NE(text(noisy.ura).find("Ａ"), std::string::npos);
}
