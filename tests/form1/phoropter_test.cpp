// The lens readouts, the axis line of the phoropter view, and what a lens change runs.

#include <gtest/gtest.h>

#include <utility>

#include "display/geometry.h"
#include "tests/test_support.h"

namespace {

void expectEnds(const LineEnds& e, double x1, double y1, double x2, double y2) {
    EXPECT_NEAR(e.x1, x1, 0.05);
    EXPECT_NEAR(e.y1, y1, 0.05);
    EXPECT_NEAR(e.x2, x2, 0.05);
    EXPECT_NEAR(e.y2, y2, 0.05);
}

void expectLine(const Line& l, float x1, float y1, float x2, float y2) {
    EXPECT_EQ(l.x1, x1);
    EXPECT_EQ(l.y1, y1);
    EXPECT_EQ(l.x2, x2);
    EXPECT_EQ(l.y2, y2);
}

}  // namespace

TEST(PhoropterGeometry, AxisLineTurnsWithThe314Angle) {
    expectEnds(*diameterThroughCentre(45, kPhoropterAxisHalfLength), 1709.3, 691.1, 690.7, 1708.9);
    expectEnds(*diameterThroughCentre(135, kPhoropterAxisHalfLength), 691.5, 690.3, 1708.5, 1709.7);
    // 3.14 falls short of pi, so 180 is about a twip off horizontal while 0 is exact.
    expectEnds(*diameterThroughCentre(180, kPhoropterAxisHalfLength), 480.0, 1198.9, 1920.0, 1201.1);
    EXPECT_EQ(*diameterThroughCentre(0, kPhoropterAxisHalfLength), (LineEnds{1920, 1200, 480, 1200}));
    EXPECT_FALSE(diameterThroughCentre(90, kPhoropterAxisHalfLength));
    EXPECT_FALSE(diameterThroughCentre(-1, kPhoropterAxisHalfLength));
    EXPECT_FALSE(diameterThroughCentre(181, kPhoropterAxisHalfLength));
}

TEST(PhoropterReadout, ImpossibleValuesLeaveTheCaption) {
    EXPECT_FALSE(cylinderReadout(0.25));
    EXPECT_FALSE(axisReadout(-1));
    EXPECT_EQ(axisReadout(5), "Ａ5°");
}

TEST(PhoropterReadout, TextsAtTheScrollEnds) {
    TestForm f;
    const std::pair<int, const char*> spheres[] = {
        {0, "Ｓ+10.00Ｄ"}, {39, "Ｓ+0.25Ｄ"}, {40, "Ｓ 0.00Ｄ"}, {80, "Ｓ-10.00Ｄ"}};
    for (auto [position, text] : spheres) {
        f->HScroll1.setValue(position == 40 ? 41 : 40);
        f->HScroll1.setValue(position);
        EXPECT_EQ(f->Label4.caption, text) << position;
    }
    f->HScroll2.setValue(20);
    EXPECT_EQ(f->Label6.caption, "Ｃ-5.00Ｄ");
    f->HScroll2.setValue(0);
    EXPECT_EQ(f->Label6.caption, "Ｃ 0.00Ｄ");
    const std::pair<int, const char*> axes[] = {{0, "Ａ180°"}, {180, "Ａ180°"}, {175, "Ａ5°"}, {90, "Ａ90°"}};
    for (auto [position, text] : axes) {
        f->HScroll3.setValue(position);
        EXPECT_EQ(f->Label8.caption, text) << position;
    }
}

TEST(PhoropterReadout, ResultLineJoinsTheReadoutsAndStaysHidden) {
    TestForm f;
    f->HScroll1.userRelease(35);
    EXPECT_EQ(f->Label15.caption, "Ｓ+1.25Ｄ Ｃ 0.00Ｄ Ａ90°");
    f->HScroll2.userTrack(+1);
    f->HScroll3.userArrow(+1);
    EXPECT_EQ(f->Label15.caption, "Ｓ+1.25Ｄ Ｃ-1.00Ｄ Ａ89°");
    EXPECT_FALSE(f->Label15.visible);
}

TEST(PhoropterView, Line1FollowsTheAxisBarAndVerticalKeepsTheLastEnds) {
    TestForm f;
    f->HScroll3.setValue(135);  // axis 45
    EXPECT_EQ(f->foroA, 45);
    EXPECT_NEAR(f->Line1.x1, 1709.3, 0.05);
    EXPECT_NEAR(f->Line1.y2, 1708.9, 0.05);
    const LineEnds drawn{f->zuX1, f->zuY1, f->zuX2, f->zuY2};
    EXPECT_EQ(drawn, *diameterThroughCentre(45, kPhoropterAxisHalfLength));
    expectLine(f->Line1, static_cast<float>(drawn.x1), static_cast<float>(drawn.y1), static_cast<float>(drawn.x2),
               static_cast<float>(drawn.y2));

    f->HScroll3.userRelease(90);
    expectLine(f->Line1, 1200, 480, 1200, 1920);
    EXPECT_EQ((LineEnds{f->zuX1, f->zuY1, f->zuX2, f->zuY2}), drawn);

    f->HScroll3.userRelease(180);  // axis 0
    expectLine(f->Line1, 1920, 1200, 480, 1200);
}

TEST(PhoropterView, EveryLensChangeLocksTheMode) {
    TestForm f;
    f->HScroll3.setValue(0);
    ASSERT_EQ(f->Label8.caption, "Ａ180°");
    f->Frame7.enabled = true;
    f->HScroll3.userRelease(180);  // the same direction: no text changes
    EXPECT_EQ(f->Label8.caption, "Ａ180°");
    EXPECT_FALSE(f->Frame7.enabled);
    for (HScrollBar* bar : {&f->HScroll1, &f->HScroll2}) {
        f->Frame7.enabled = true;
        bar->userArrow(+1);
        EXPECT_FALSE(f->Frame7.enabled) << bar->name();
    }
}

TEST(PhoropterView, LensChangesRunTheCrossCylinderBlurOnlyWhileItIsInUse) {
    TestForm f;
    f.setCase(-2, -1, 30);
    f->Command2.userClick();  // at its start position: no blur is computed yet
    for (HScrollBar* bar : {&f->HScroll1, &f->HScroll2, &f->HScroll3}) {
        f->Label19.caption = "before";
        f->Label21.caption = "before";
        bar->userArrow(+1);
        EXPECT_NE(f->Label19.caption, "before") << bar->name() << " runs the residual";
        EXPECT_NE(f->Label21.caption, "before") << bar->name() << " runs the blur";
    }
    f->Command4.userClick();
    for (HScrollBar* bar : {&f->HScroll1, &f->HScroll2, &f->HScroll3}) {
        f->Label19.caption = "before";
        f->Label21.caption = "before";
        bar->userArrow(+1);
        EXPECT_NE(f->Label19.caption, "before") << bar->name();
        EXPECT_EQ(f->Label21.caption, "before") << bar->name() << " with the cross cylinder out";
    }
}
