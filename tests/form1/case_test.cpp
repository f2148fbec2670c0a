// Drawing a customer, the auto-refractor reading, and the new-customer reset.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "tests/test_support.h"

namespace {

// A draw that lands on outcome k of n.
float pick(int k, int n) { return (static_cast<float>(k) + 0.5f) / static_cast<float>(n); }

// Queues a case (sphere, cylinder, axis outcomes) and a reading (sphere, cylinder, axis offsets).
void queueCase(FakeRandom& r, int s, int c, int a, int rs = 0, int rc = 0, int ra = 10) {
    for (float u : {pick(s, 60), pick(c, 12), pick(a, 180), pick(rs, 4), pick(rc, 4), pick(ra, 20)})
        r.queue.push_back(u);
}

constexpr float kAlmostOne = 0.99999994f;  // the largest float below 1

}  // namespace

TEST(CaseDraw, TheEndsOfTheRanges) {
    TestForm low(false);
    low.random.fallback = 0.0f;
    low->Form_Load();
    EXPECT_EQ(low->seikaiS, -8.0f);
    EXPECT_EQ(low->seikaiC, -3.0f);
    EXPECT_EQ(low->seikaiA, 1.0f);
    EXPECT_EQ(low->Label17.caption, "Ｓ-8.00Ｄ Ｃ-3.00Ｄ Ａ171° です。");  // axis 1 - 10 wraps to 171

    TestForm high(false);
    high.random.fallback = kAlmostOne;
    high->Form_Load();
    EXPECT_EQ(high->seikaiS, 6.75f);
    EXPECT_EQ(high->seikaiC, -0.25f);
    EXPECT_EQ(high->seikaiA, 180.0f);
    // The reading is at most 0.75 D more minus and 9 degrees further round.
    EXPECT_EQ(high->Label17.caption, "Ｓ+6.00Ｄ Ｃ-1.00Ｄ Ａ9° です。");
    EXPECT_EQ(high.random.draws, 6);

    // The most minus reading: the lowest case read 0.75 D more minus in sphere and cylinder.
    TestForm mostMinus(false);
    mostMinus.random.queue = {0.0f, 0.0f, 0.0f, kAlmostOne, kAlmostOne, 0.5f};
    mostMinus->Form_Load();
    EXPECT_EQ(mostMinus->Label17.caption, "Ｓ-8.75Ｄ Ｃ-3.75Ｄ Ａ1° です。");
}

TEST(CaseDraw, EveryDrawIsOnTheGridAndInRange) {
    // A real clock-seeded source over many cases.
    FakePlatform platform;
    ClockRandom random;
    Form1 form(platform, random);
    std::set<float> spheres, cylinders, axes;
    for (int i = 0; i < 20000; ++i) {
        form.Form_Load();
        spheres.insert(form.seikaiS);
        cylinders.insert(form.seikaiC);
        axes.insert(form.seikaiA);
        // A reading always carries a cylinder and an axis of 1 to 180.
        ASSERT_EQ(form.Label17.caption.find("Ｃ 0.00Ｄ"), std::string::npos) << form.Label17.caption;
        ASSERT_EQ(form.Label17.caption.find("Ａ0°"), std::string::npos) << form.Label17.caption;
    }
    EXPECT_EQ(spheres.size(), 60u);
    EXPECT_EQ(cylinders.size(), 12u);
    EXPECT_EQ(axes.size(), 180u);
    EXPECT_EQ(*spheres.begin(), -8.0f);
    EXPECT_EQ(*spheres.rbegin(), 6.75f);
    EXPECT_EQ(*cylinders.rbegin(), -0.25f);
    EXPECT_EQ(*axes.begin(), 1.0f);
    EXPECT_EQ(*axes.rbegin(), 180.0f);
    for (float s : spheres) EXPECT_EQ(s * 4, std::floor(s * 4));
}

TEST(CaseDraw, ClockRandomStaysBelowOne) {
    ClockRandom random;
    float lowest = 1, highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const float u = random.draw();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        lowest = std::min(lowest, u);
        highest = std::max(highest, u);
    }
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
}

TEST(Reading, AxisWrapsIntoOneTo180) {
    struct Example {
        int axisOutcome;    // seikaiA - 1
        int offsetOutcome;  // offset + 10
        const char* axisText;
    };
    for (const Example& e : {Example{174, 19, "Ａ4°"}, Example{2, 0, "Ａ173°"}, Example{9, 0, "Ａ180°"},
                             Example{179, 10, "Ａ180°"}, Example{170, 19, "Ａ180°"}}) {
        TestForm f(false);
        queueCase(f.random, 27, 11, e.axisOutcome, 0, 0, e.offsetOutcome);  // S -1.25, C -0.25
        f->Form_Load();
        EXPECT_EQ(f->Label17.caption, std::string("Ｓ-1.25Ｄ Ｃ-0.25Ｄ ") + e.axisText + " です。")
            << "hidden axis " << f->seikaiA;
    }
}

TEST(Reading, SphereAndCylinderGoMoreMinusOnly) {
    TestForm f(false);
    queueCase(f.random, 32, 11, 36, 3, 3, 10);  // S 0, C -0.25, A 37; reading -0.75 and -0.75
    f->Form_Load();
    EXPECT_EQ(f->Label17.caption, "Ｓ-0.75Ｄ Ｃ-1.00Ｄ Ａ37° です。");
    EXPECT_EQ(f->Label7.caption, "Ｓ 0.00Ｄ Ｃ-0.25Ｄ Ａ37°でした。");
    EXPECT_EQ(f->Label26.caption, "正解値   Ｓ 0.00Ｄ Ｃ-0.25Ｄ Ａ37°");
}

TEST(CaseTexts, LoadAndNewCustomerWordTheAnswerDifferently) {
    TestForm f(false);
    queueCase(f.random, 27, 9, 36);  // S -1.25, C -0.75, A 37
    f->Form_Load();
    EXPECT_EQ(f->Label7.caption, "Ｓ-1.25Ｄ Ｃ-0.75Ｄ Ａ37°でした。");
    EXPECT_EQ(f->Label26.caption, "正解値   Ｓ-1.25Ｄ Ｃ-0.75Ｄ Ａ37°");
    EXPECT_EQ(f->Label17.caption, "Ｓ-1.25Ｄ Ｃ-0.75Ｄ Ａ37° です。");

    queueCase(f.random, 34, 11, 179);  // S +0.50, C -0.25, A 180
    f->STARTbutton_Click();
    EXPECT_EQ(f->Label7.caption, "Ｓ+0.50Ｄ Ｃ-0.25Ｄ Ａ180°");
    EXPECT_EQ(f->Label26.caption, "正解値    Ｓ+0.50Ｄ Ｃ-0.25Ｄ Ａ180°");
    EXPECT_EQ(f->Label17.caption, "Ｓ+0.50Ｄ Ｃ-0.25Ｄ Ａ180° です。");
    EXPECT_EQ(f.random.draws, 12);
}
