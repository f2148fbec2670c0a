// Putting the cross cylinder in, turning, flipping and taking it out, and where it is drawn.

#include <gtest/gtest.h>

#include <vector>

#include "display/geometry.h"
#include "optics/refraction.h"
#include "tests/test_support.h"

namespace {

void expectDot(const Circle& dot, double left, double top) {
    EXPECT_NEAR(dot.left, left, 0.05) << dot.name();
    EXPECT_NEAR(dot.top, top, 0.05) << dot.name();
}

void expectLine(const Line& l, double x1, double y1, double x2, double y2) {
    EXPECT_NEAR(l.x1, x1, 0.05) << l.name();
    EXPECT_NEAR(l.y1, y1, 0.05) << l.name();
    EXPECT_NEAR(l.x2, x2, 0.05) << l.name();
    EXPECT_NEAR(l.y2, y2, 0.05) << l.name();
}

std::vector<Control*> crossCylinderParts(Form1& w) {
    return {&w.Shape3, &w.Line2, &w.Line3, &w.Shape5, &w.Shape6, &w.Shape7, &w.Shape8, &w.Frame4, &w.Label20};
}

std::vector<int> fills(const Form1& w) {
    return {w.Shape5.fillStyle, w.Shape6.fillStyle, w.Shape7.fillStyle, w.Shape8.fillStyle};
}

}  // namespace

TEST(CrossCylinderGeometry, DotPairsLieAtRadius600ByTheirCorners) {
    const struct {
        int direction;
        double l1, t1, l2, t2;
    } cases[] = {
        {135, 716.2, 715.2, 1563.8, 1564.8}, {45, 1564.4, 715.9, 715.6, 1564.1},   {90, 1140, 540, 1140, 1740},
        {0, 1740, 1140, 540, 1140},          {180, 540.0, 1139.0, 1740.0, 1141.0},
    };
    for (const auto& c : cases) {
        const auto p = dotPair(c.direction);
        ASSERT_TRUE(p) << c.direction;
        EXPECT_NEAR(p->left1, c.l1, 0.05) << c.direction;
        EXPECT_NEAR(p->top1, c.t1, 0.05) << c.direction;
        EXPECT_NEAR(p->left2, c.l2, 0.05) << c.direction;
        EXPECT_NEAR(p->top2, c.t2, 0.05) << c.direction;
    }
    EXPECT_FALSE(dotPair(181));
    EXPECT_FALSE(dotPair(-1));
}

// The dots follow the cylinder axes of the optics; only the back pair at handle 45 differs,
// drawn at 0 where the optics take 180.
TEST(CrossCylinderGeometry, DotDirectionsFlankTheHandleAsTheCylinderAxesDo) {
    const int cases[][5] = {{90, 135, 45, 135, 45},
                            {0, 45, 135, 45, 135},
                            {179, 44, 134, 44, 134},
                            {45, 90, 0, 90, 180},
                            {135, 180, 90, 180, 90}};
    for (const auto& c : cases) {
        EXPECT_EQ(redDotDirection(c[0]), c[1]) << c[0];
        EXPECT_EQ(whiteDotDirection(c[0]), c[2]) << c[0];
        EXPECT_EQ(frontCylinderAxis(c[0]), c[3]) << c[0];
        EXPECT_EQ(backCylinderAxis(c[0]), c[4]) << c[0];
    }
    EXPECT_EQ(handleDirection(1), 179);
    EXPECT_EQ(handleDirection(180), 0);
}

TEST(CrossCylinder, PutInAlongAnUnchangedHandleDrawsButComputesNoBlur) {
    TestForm f;
    f->Label21.caption = "before";
    ASSERT_TRUE(f->Command2.userClick());
    EXPECT_EQ(f.platform.beeps, 1);
    EXPECT_EQ(f->Label21.caption, "before");
    for (Control* c : crossCylinderParts(*f)) EXPECT_TRUE(c->visible) << c->name();
    EXPECT_FALSE(f->Command2.visible);
    EXPECT_EQ(f->Label3.caption, "Ａ90°");
    EXPECT_EQ(f->Label20.caption, "おもて");
    expectLine(f->Line2, 1200, 360, 1200, 2040);
    expectLine(f->Line3, 1200, 2040, 1200, 2400);
    EXPECT_EQ(f->akaJiku, 135);
    EXPECT_EQ(f->shiroJiku, 45);
    expectDot(f->Shape5, 716.2, 715.2);
    expectDot(f->Shape6, 1563.8, 1564.8);
    expectDot(f->Shape7, 1564.4, 715.9);
    expectDot(f->Shape8, 715.6, 1564.1);
}

TEST(CrossCylinder, PutInTakesTheLensAxis) {
    TestForm f;
    f.setCase(-1, -1, 100);
    f->HScroll3.userRelease(60);
    f->Label21.caption = "before";
    f->Command2.userClick();
    EXPECT_EQ(f->HScroll4.value(), 60);
    EXPECT_EQ(f->ccJiku, 120);
    EXPECT_EQ(f->ccJiku, f->foroA);
    EXPECT_EQ(f->Label3.caption, "Ａ120°");
    EXPECT_NE(f->Label21.caption, "before") << "the handle moved, so the blur is computed";

    // Axis 180 has no handle position; the handle takes 0, the same direction.
    f->Command4.userClick();
    f->HScroll3.userRelease(0);
    f->Command2.userClick();
    EXPECT_EQ(f->HScroll4.value(), 180);
    EXPECT_EQ(f->ccJiku, 0);
    EXPECT_EQ(f->Label3.caption, "Ａ180°");
    expectLine(f->Line2, 2040, 1200, 360, 1200);
    expectLine(f->Line3, 0, 1200, 360, 1200);
    EXPECT_EQ(f->akaJiku, 45);
    EXPECT_EQ(f->shiroJiku, 135);
}

TEST(CrossCylinder, TurningTheHandleRedrawsAndComputesTheBlur) {
    TestForm f;
    f->Command2.userClick();
    f->Label21.caption = "before";
    f->HScroll4.userRelease(135);  // handle 45: the pairs on 90 and 0
    EXPECT_NE(f->Label21.caption, "before");
    expectDot(f->Shape5, 1140, 540);
    expectDot(f->Shape8, 540, 1140);
    const std::vector<double> zu{f->zuX1, f->zuY1, f->zuX2, f->zuY2};

    f->HScroll4.userRelease(90);
    expectLine(f->Line2, 1200, 360, 1200, 2040);
    EXPECT_EQ((std::vector<double>{f->zuX1, f->zuY1, f->zuX2, f->zuY2}), zu) << "vertical is drawn fixed";

    f->HScroll4.userArrow(-1);
    f->HScroll4.userTrack(-1);
    f->HScroll4.userRelease(1);
    EXPECT_EQ(f->Label3.caption, "Ａ179°");

    // The lens axis does not carry the cross cylinder with it once it is in.
    const float handleX = f->Line3.x1;
    f->HScroll3.userRelease(20);
    EXPECT_EQ(f->Line3.x1, handleX);
    EXPECT_EQ(f->HScroll4.value(), 1);
}

TEST(CrossCylinder, FlipSwapsTheRedPairAndTheSide) {
    TestForm f;
    f->Command2.userClick();
    const float left5 = f->Shape5.left;
    f->Label21.caption = "before";
    f->Command3.userClick();
    EXPECT_EQ(f->Label20.caption, "うら");
    EXPECT_EQ(fills(*f), (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(f->Shape5.left, left5);
    EXPECT_NE(f->Label21.caption, "before");
    f->Command3.userClick();
    EXPECT_EQ(f->Label20.caption, "おもて");
    EXPECT_EQ(fills(*f), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(f.platform.beeps, 3);

    f->Label20.caption = "?";
    f->Command3.userClick();
    EXPECT_EQ(f->Label20.caption, "?") << "only the two sides are toggled";
}

TEST(CrossCylinder, TakingItOutKeepsHandleAndSide) {
    TestForm f;
    f->Command2.userClick();
    f->HScroll4.userRelease(30);
    f->Command3.userClick();
    const std::string readout = f->Label3.caption;
    const float axisX = f->Line2.x1;
    f->Label21.caption = "before";

    ASSERT_TRUE(f->Command4.userClick());
    EXPECT_EQ(f.platform.beeps, 3);
    for (Control* c : crossCylinderParts(*f)) EXPECT_FALSE(c->visible) << c->name();
    EXPECT_TRUE(f->Command2.visible);
    EXPECT_EQ(f->Label21.caption, "before");
    EXPECT_EQ(f->Label3.caption, readout);
    EXPECT_EQ(f->Line2.x1, axisX);
    EXPECT_FALSE(f->HScroll4.userArrow(+1)) << "its panel is hidden";

    // The handle bar still redraws and computes when moved from code, e.g. by a new customer.
    f->HScroll4.setValue(31);
    EXPECT_EQ(f->Label3.caption, "Ａ149°");
    EXPECT_NE(f->Label21.caption, "before");

    f->HScroll3.setValue(31);
    f->Command2.userClick();
    EXPECT_EQ(f->Label20.caption, "うら");
    EXPECT_EQ(fills(*f), (std::vector<int>{1, 1, 0, 0}));
}
