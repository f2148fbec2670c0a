// The customer's view of the charts, measured on the pictures: which dial line is darkest,
// which red-green half and which cross-cylinder face is sharper, how far the blur spreads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "display/customer_sight.h"
#include "optics/refraction.h"
#include "subject/answers.h"

namespace {

using namespace customer_sight_layout;

constexpr double kSqrt2 = 1.4142135623730951;

// How much of the paper's brightness is taken away at pixel (x, y), 0 to 1, in the channel
// `ch` whose paper value is `paper`.
double inkAt(const CustomerPicture& p, int x, int y, int ch = 0, double paper = 255, double ink = 0) {
    return (paper - p.rgba[(static_cast<size_t>(y) * p.width + x) * 4 + ch]) / (paper - ink);
}

// The same between pixel centres, linearly.
double inkBetween(const CustomerPicture& p, double x, double y) {
    const double sx = x - 0.5, sy = y - 0.5;
    const int ix = static_cast<int>(std::floor(sx)), iy = static_cast<int>(std::floor(sy));
    const double fx = sx - ix, fy = sy - iy;
    return (1 - fy) * ((1 - fx) * inkAt(p, ix, iy) + fx * inkAt(p, ix + 1, iy)) +
           fy * ((1 - fx) * inkAt(p, ix, iy + 1) + fx * inkAt(p, ix + 1, iy + 1));
}

// The second moment of the ink about its centre (x and y together), over columns x0 to x1.
struct InkSpread {
    double total = 0, moment = 0;
};
InkSpread spreadOf(const CustomerPicture& p, int x0, int x1, int ch = 0, double paper = 255, double ink = 0) {
    double sw = 0, sx = 0, sy = 0, sxx = 0, syy = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = x0; x < x1; ++x) {
            const double w = inkAt(p, x, y, ch, paper, ink);
            sw += w;
            sx += w * x;
            sy += w * y;
            sxx += w * x * x;
            syy += w * y * y;
        }
    const double mx = sx / sw, my = sy / sw;
    return {sw, sxx / sw - mx * mx + syy / sw - my * my};
}

// How much a picture's ink spreads beyond the chart as drawn: for a blur ellipse with meridian
// powers P1 and P2 it is (kBlurPixelsPerDioptre * blur amount)^2 / 16 in square pixels.
double excessSpread(Chart chart, const Refraction& zanyo) {
    const double dots = 24;  // the dot cluster is printed dark grey, not black
    return spreadOf(customerSight(chart, zanyo), 0, 282, 0, 255, dots).moment -
           spreadOf(chartPicture(chart), 0, 282, 0, 255, dots).moment;
}

// The red-green halves: red paper 232 in the red channel, green paper 168 in the green one.
double redSpread(const CustomerPicture& p) { return spreadOf(p, 0, kRedGreenSplit, 0, 232).moment; }
double greenSpread(const CustomerPicture& p) { return spreadOf(p, kRedGreenSplit, p.width, 1, 168).moment; }

// The mean ink along the dial's line `line` (0 is 12-6, then every 15 degrees clockwise), on
// both spokes, away from the centre where the spokes crowd together.
double dialLineInk(const CustomerPicture& p, int line) {
    const double a = line * 15 * 3.14159265358979323846 / 180;
    const double dx = std::sin(a), dy = -std::cos(a);
    double sum = 0;
    int n = 0;
    for (double r = 45; r <= kDialSpokeOuter - 3; r += 0.5)
        for (int side : {-1, 1}) {
            sum += inkBetween(p, kDialCentre + side * dx * r, kDialCentre + side * dy * r);
            ++n;
        }
    return sum / n;
}

int darkestDialLine(const CustomerPicture& p) {
    int best = 0;
    for (int line = 1; line < 12; ++line)
        if (dialLineInk(p, line) > dialLineInk(p, best)) best = line;
    return best;
}

// The dial line that an answer names, in the order of dialLineInk.
int namedDialLine(const std::string& answer) {
    static const char* const kNames[12] = {
        "１２時が濃く見えます", "１２時と１時の間が濃く見えます", "１時が濃く見えます", "１時と２時の間が濃く見えます",
        "２時が濃く見えます",   "２時と３時の間が濃く見えます",   "３時が濃く見えます", "３時と４時の間が濃く見えます",
        "４時が濃く見えます",   "４時と５時の間が濃く見えます",   "５時が濃く見えます", "５時と６時の間が濃く見えます"};
    for (int i = 0; i < 12; ++i)
        if (answer == kNames[i]) return i;
    return -1;
}

// Michelson contrast between the gap of the acuity chart's smallest Landolt ring and the rest
// of the ring, at the middle of its stroke. The chart as drawn gives 1; the gap is taken as
// readable from 0.3 on.
constexpr double kReadableContrast = 0.3;
double smallRingContrast(const CustomerPicture& p) {
    const double r = kSmallRingDiameter / 2 - kSmallRingDiameter / 10;
    double gap = 0, ring = 0;
    for (int k = 0; k < 8; ++k) {
        const double deg = kSmallRingGapDeg + 45 * k, a = deg * 3.14159265358979323846 / 180;
        const double light = 1 - inkBetween(p, kSmallRingX + r * std::cos(a), kSmallRingY - r * std::sin(a));
        if (k == 0)
            gap = light;
        else
            ring += light / 7;
    }
    return (gap - ring) / (gap + ring);
}

TEST(PatientView, DialDarkestLineIsTheLineTheCustomerNamesAllRoundTheClock) {
    // Fogged residuals with a cylinder, at every whole-degree axis: also 7 and 8 degrees off a
    // line, where the customer's choice between two neighbouring lines turns.
    for (const double C : {-0.5, -1.5})
        for (int axis = 1; axis <= 180; ++axis) {
            const Refraction zanyo{-0.5, C, double(axis)};
            ASSERT_EQ(fogOf(touka(zanyo.S, zanyo.C)), Fog::Fogged);
            const int named = namedDialLine(dialSectorAnswer(zanyo.A).value());
            ASSERT_GE(named, 0);
            EXPECT_EQ(darkestDialLine(customerSight(Chart::Dial, zanyo)), named) << "C " << C << " A " << axis;
        }
}

TEST(PatientView, WithoutResidualCylinderNoDialLineStandsOut) {
    const CustomerPicture p = customerSight(Chart::Dial, {-1, 0, 90});
    double lo = 1, hi = 0;
    for (int line = 0; line < 12; ++line) {
        lo = std::min(lo, dialLineInk(p, line));
        hi = std::max(hi, dialLineInk(p, line));
    }
    EXPECT_LT(hi - lo, 0.01 * hi);
}

TEST(PatientView, RedGreenSharperHalfIsTheOneTheCustomerPrefers) {
    // Spherical equivalents across the answers, reached with and without a residual cylinder.
    for (double se = -1.75; se <= 1.75; se += 0.125)
        for (const double C : {0.0, -0.75}) {
            const Refraction zanyo{se - C / 2, C, 30};
            const std::string answer = redGreenAnswer(touka(zanyo.S, zanyo.C));
            const CustomerPicture p = customerSight(Chart::RedGreen, zanyo);
            const double red = redSpread(p), green = greenSpread(p);
            SCOPED_TRACE(testing::Message() << "SE " << se << " C " << C << ": " << answer);
            if (answer.starts_with("赤")) {
                EXPECT_LT(red, green);
            } else if (answer.starts_with("緑")) {
                EXPECT_LT(green, red);
            } else if (answer == "どちらもよく見えません") {
                // Both halves at least as blurred as by 1.25 D of sphere: 2 * 1.25^2 * k^2 / 16.
                const double least = 0.9 * kBlurPixelsPerDioptre * kBlurPixelsPerDioptre * 3.125 / 16;
                EXPECT_GT(red - redSpread(chartPicture(Chart::RedGreen)), least);
                EXPECT_GT(green - greenSpread(chartPicture(Chart::RedGreen)), least);
            } else if (se == 0) {  // "同じように見えます" at the middle of its range
                EXPECT_NEAR(red / green, 1, 0.02);
            }
        }
}

TEST(PatientView, CrossCylinderSharperFaceIsTheOneTheCustomerPrefers) {
    const Refraction residuals[] = {
        zanyoDosuu({-1, -1, 45}, {-1, -0.5, 45}),  // S 0, C -0.50, A 45
        {0, 0, 90},
        {-0.25, -0.75, 20},
        {0.25, -0.5, 160},
    };
    int sharper = 0, same = 0;
    for (const Refraction& zanyo : residuals)
        for (int handle = 1; handle <= 180; handle += 7) {
            const CrossCylinderLook look = throughCrossCylinder(zanyo, handle);
            const std::string answer = crossCylinderAnswer(look.bokeOmote, look.bokeUra);
            const CrossCylinderPictures pics = customerSightThroughCrossCylinder(Chart::Dots, zanyo, handle);
            const double omote = spreadOf(pics.omote, 0, 282, 0, 255, 24).moment;
            const double ura = spreadOf(pics.ura, 0, 282, 0, 255, 24).moment;
            SCOPED_TRACE(testing::Message()
                         << dosuuHyouki(zanyo.S, zanyo.C, zanyo.A) << " handle " << handle << ": " << answer);
            if (answer == "おもての方がよく見えます") {
                EXPECT_LT(omote, ura);
                ++sharper;
            } else if (answer == "うらの方がよく見えます") {
                EXPECT_LT(ura, omote);
                ++sharper;
            } else if (answer == "だいたい同じです") {
                // Within the customer's margin of 0.12 D of blur amount either way.
                EXPECT_NEAR(omote / ura, 1, 0.2);
                ++same;
            }
        }
    EXPECT_GT(sharper, 20);
    EXPECT_GT(same, 4);
}

TEST(PatientView, BlurSpreadsAsTheScaleSaysAndGrowsWithTheBlurAmount) {
    // Residuals of growing blur amount, spherical and astigmatic at several axes.
    const Refraction residuals[] = {{-0.125, 0, 90},   {0, -0.25, 180},  {0.25, -0.25, 15}, {-0.5, 0, 90},
                                    {0.5, -1, 60},     {-0.25, -1, 135}, {-1, 0, 90},       {0.75, -1.75, 100},
                                    {-1.25, -0.5, 40}, {-1.5, 0, 90},    {1, -2.5, 170}};
    double last = 0, lastBlur = 0;
    for (const Refraction& z : residuals) {
        const double blur = bokeRyou(z.S, z.C);
        const double excess = excessSpread(Chart::Dots, z);
        const double expected = kBlurPixelsPerDioptre * kBlurPixelsPerDioptre * blur * blur / 16;
        SCOPED_TRACE(testing::Message() << dosuuHyouki(z.S, z.C, z.A) << " blur " << blur);
        EXPECT_NEAR(excess, expected, 0.1 * expected + 1);
        if (blur > lastBlur) {
            EXPECT_GT(excess, last);
        }
        last = excess;
        lastBlur = blur;
    }
}

TEST(PatientView, NoResidualShowsTheChartAsDrawn) {
    for (Chart chart : {Chart::Acuity, Chart::Dial, Chart::Dots})
        EXPECT_EQ(customerSight(chart, {0, 0, 90}).rgba, chartPicture(chart).rgba);
    // The red half of the red-green chart is sharp where red focuses on the retina.
    const CustomerPicture rg = customerSight(Chart::RedGreen, {-kRedGreenShift, 0, 90});
    const CustomerPicture drawn = chartPicture(Chart::RedGreen);
    for (int y = 0; y < rg.height; ++y)
        for (int x = 0; x < kRedGreenSplit; ++x) ASSERT_EQ(inkAt(rg, x, y), inkAt(drawn, x, y)) << x << "," << y;
    EXPECT_GT(greenSpread(rg), greenSpread(drawn) + 5);  // 0.5 D of sphere: 8 square pixels

    // A blur far below a pixel changes next to nothing: the blur vanishes at zero.
    const CustomerPicture tiny = customerSight(Chart::Acuity, {-0.01, 0, 90});
    const CustomerPicture sharp = chartPicture(Chart::Acuity);
    int most = 0;
    for (size_t i = 0; i < tiny.rgba.size(); ++i) most = std::max(most, std::abs(tiny.rgba[i] - sharp.rgba[i]));
    EXPECT_LE(most, 1);
}

TEST(PatientView, SmallestAcuityRowReadableAtAQuarterDioptreOfBlurAndNotAtOne) {
    EXPECT_GT(smallRingContrast(chartPicture(Chart::Acuity)), 0.95);
    // A blur amount of 0.25 D in any form: sphere either way, cylinder alone at any axis.
    EXPECT_GT(smallRingContrast(customerSight(Chart::Acuity, {-0.25 / kSqrt2, 0, 90})), kReadableContrast);
    EXPECT_GT(smallRingContrast(customerSight(Chart::Acuity, {0.25 / kSqrt2, 0, 90})), kReadableContrast);
    for (int axis = 15; axis <= 180; axis += 15)
        EXPECT_GT(smallRingContrast(customerSight(Chart::Acuity, {0, -0.25, double(axis)})), kReadableContrast) << axis;
    // 1.00 D of spherical blur closes the gap.
    EXPECT_LT(smallRingContrast(customerSight(Chart::Acuity, {-1 / kSqrt2, 0, 90})), kReadableContrast);
    EXPECT_LT(smallRingContrast(customerSight(Chart::Acuity, {1 / kSqrt2, 0, 90})), kReadableContrast);
    // And the contrast falls as the blur grows.
    double last = 1;
    for (double blur = 0.25; blur <= 2; blur += 0.25) {
        const double c = smallRingContrast(customerSight(Chart::Acuity, {-blur / kSqrt2, 0, 90}));
        EXPECT_LT(c, last) << blur;
        last = c;
    }
}

// What a picture is called is the customer's view's to say (tests/teaching/sitting_test.cpp): it names the
// chart, the lens and the face.
TEST(PatientView, NoChartNoPicture) {
    const CustomerPicture none = customerSight(Chart::None, {-1, 0, 90});
    EXPECT_EQ(none.width, 0);
    EXPECT_TRUE(none.rgba.empty());
}

TEST(PatientView, ExtremeResidualsGiveAWholePicture) {
    // Far beyond anything the scroll bars reach, or not a number at all: still a full picture.
    for (const Refraction& z : {Refraction{-40, -20, 33}, Refraction{NAN, 0, 90}, Refraction{-1, -1, INFINITY}}) {
        const CustomerPicture p = customerSight(Chart::Acuity, z);
        ASSERT_EQ(p.rgba.size(), size_t(p.width) * p.height * 4);
        EXPECT_EQ(p.width, chartPicture(Chart::Acuity).width);
    }
}

}  // namespace
