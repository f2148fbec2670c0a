// The residual, its labels and the score of the current setting, and the cross-cylinder labels.

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace {

// Puts the scroll bars where they are wanted without running their change handlers, so each
// test sees only the procedure it calls.
void dial(TestForm& f, int h1, int h2, int h3, int h4 = 90) {
    f->HScroll1.initValue(h1);
    f->HScroll2.initValue(h2);
    f->HScroll3.initValue(h3);
    f->HScroll4.initValue(h4);
}

}  // namespace

TEST(Keisann, ReadsThePhoropterFromTheScrollBars) {
    TestForm f;
    dial(f, 0, 20, 180);
    f->keisann();
    EXPECT_EQ(f->foroS, 10);
    EXPECT_EQ(f->foroC, -5);
    EXPECT_EQ(f->foroA, 0);
    dial(f, 80, 1, 0);
    f->keisann();
    EXPECT_EQ(f->foroS, -10);
    EXPECT_EQ(f->foroC, -0.25);
    EXPECT_EQ(f->foroA, 180);
}

TEST(Keisann, ResidualTextsAndScore) {
    struct Case {
        float S, C, A;
        int h1, h2, h3;
        const char* residual;
        const char* score;
    };
    const Case cases[] = {
        {-1, -1, 90, 40, 0, 90, "Ｓ-1.00Ｄ Ｃ-1.00Ｄ Ａ90°", "29 点"},
        {-1, -1, 90, 44, 2, 90, "Ｓ+0.00Ｄ Ｃ-0.50Ｄ Ａ90°", "84 点"},
        {-1, -1, 90, 44, 4, 100, "Ｓ+0.17Ｄ Ｃ-0.35Ｄ Ａ130°", "86 点"},
        {0, -0.25f, 45, 40, 0, 90, "Ｓ 0.00Ｄ Ｃ-0.25Ｄ Ａ45°", "47 点"},  // the axis counts without a cylinder
        {-1, -1, 90, 44, 4, 90, "Ｓ 0.00Ｄ", "100 点"},
        // Axis 0 on the phoropter is the hidden 180: no residual and no axis error.
        {-1, -1, 180, 44, 4, 180, "Ｓ 0.00Ｄ", "100 点"},
        // Axes 1 and 180 are one degree apart.
        {-1, -1, 1, 44, 4, 0, "Ｓ+0.02Ｄ Ｃ-0.04Ｄ Ａ45°", "98 点"},
        {-8, -3, 1, 0, 0, 90, "Ｓ-18.00Ｄ Ｃ-3.00Ｄ Ａ1°", "0 点"},
    };
    for (const Case& c : cases) {
        TestForm f;
        f.setCase(c.S, c.C, c.A);
        dial(f, c.h1, c.h2, c.h3);
        f->keisann();
        const std::string where = std::to_string(c.h1) + "," + std::to_string(c.h2) + "," + std::to_string(c.h3);
        EXPECT_EQ(f->Label19.caption, c.residual) << where;
        EXPECT_EQ(f->Label28.caption, std::string("誤差（残余度数）  ") + c.residual) << where;
        EXPECT_EQ(f->Label23.caption, c.score) << where;
    }
}

TEST(Keisann, LocksTheModeAndLeavesVisibilityAlone) {
    TestForm f;
    f.setCase(-1, -1, 90);
    dial(f, 44, 4, 90);
    f->Label19.visible = false;
    f->Label28.visible = false;
    f->Label23.visible = true;
    ASSERT_TRUE(f->Frame7.enabled);
    f->keisann();
    EXPECT_FALSE(f->Frame7.enabled);
    EXPECT_FALSE(f->Label19.visible);
    EXPECT_FALSE(f->Label28.visible);
    EXPECT_TRUE(f->Label23.visible);
}

TEST(Keisann, StoresTheRatioOnlyInTheGeneralCase) {
    TestForm f;
    f.setCase(-1, -1, 90);
    f->zanyoTan = 7;
    dial(f, 44, 4, 90);
    f->keisann();
    EXPECT_EQ(f->zanyoTan, 7);
    EXPECT_EQ(f->zanyoS, 0);
    EXPECT_EQ(f->zanyoC, 0);
    EXPECT_EQ(f->zanyoA, 90);
    dial(f, 40, 0, 90);
    f->keisann();
    EXPECT_NEAR(f->zanyoTan, -0.0015927, 1e-7);
    EXPECT_EQ(f->zanyoA, 90);
}

TEST(Ccboke, BothFlipPositionsInTheLabels) {
    struct Case {
        float S, C, A;
        int h1, h2, h3, h4;
        const char *l21, *l24, *l22, *l25;
    };
    const Case cases[] = {
        {-1, -1, 90, 44, 4, 90, 90, "ＣＣボケ量(おもて)は　0.71 です",
         "ＣＣ残余度数(おもて)　Ｓ+0.50Ｄ Ｃ-1.00Ｄ Ａ45°", "ＣＣボケ量（うら）は　0.71 です",
         "ＣＣ残余度数（うら）　　Ｓ+0.50Ｄ Ｃ-1.00Ｄ Ａ135°"},
        {-1, -1, 45, 40, 0, 90, 90, "ＣＣボケ量(おもて)は　2.55 です",
         "ＣＣ残余度数(おもて)　Ｓ-0.50Ｄ Ｃ-2.00Ｄ Ａ45°", "ＣＣボケ量（うら）は　2.12 です",
         "ＣＣ残余度数（うら）　　Ｓ-1.50Ｄ"},
        {-0.5f, -1, 180, 40, 0, 90, 45, "ＣＣボケ量(おもて)は　1.41 です", "ＣＣ残余度数(おもて)　Ｓ-1.00Ｄ",
         "ＣＣボケ量（うら）は　2.00 です", "ＣＣ残余度数（うら）　　Ｓ+0.00Ｄ Ｃ-2.00Ｄ Ａ180°"},
        {-1, -1, 45, 44, 2, 135, 180, "ＣＣボケ量(おもて)は　0.50 です",
         "ＣＣ残余度数(おもて)　Ｓ 0.00Ｄ Ｃ-0.50Ｄ Ａ135°", "ＣＣボケ量（うら）は　1.12 です",
         "ＣＣ残余度数（うら）　　Ｓ+0.50Ｄ Ｃ-1.50Ｄ Ａ45°"},
    };
    for (const Case& c : cases) {
        TestForm f;
        f.setCase(c.S, c.C, c.A);
        dial(f, c.h1, c.h2, c.h3, c.h4);
        f->ccboke();
        EXPECT_EQ(f->Label21.caption, c.l21) << c.A;
        EXPECT_EQ(f->Label24.caption, c.l24) << c.A;
        EXPECT_EQ(f->Label22.caption, c.l22) << c.A;
        EXPECT_EQ(f->Label25.caption, c.l25) << c.A;
    }
}

TEST(Ccboke, KeepsTheResidualAndDirectionsButNotTheScore) {
    TestForm f;
    f.setCase(-0.5f, -1, 180);
    dial(f, 40, 0, 90, 135);
    f->Label19.caption = "before";
    f->Label28.caption = "before";
    f->Label23.caption = "before";
    f->ccboke();
    EXPECT_EQ(f->foroS, 0);
    EXPECT_EQ(f->foroA, 90);
    EXPECT_EQ(f->zanyoS, -0.5);
    EXPECT_EQ(f->zanyoC, -1);
    EXPECT_EQ(f->zanyoA, 180);
    EXPECT_EQ(f->ccJiku, 45);
    EXPECT_EQ(f->akaJiku, 90);
    EXPECT_EQ(f->shiroJiku, 180);
    EXPECT_EQ(f->Label19.caption, "before");
    EXPECT_EQ(f->Label28.caption, "before");
    EXPECT_EQ(f->Label23.caption, "before");
    EXPECT_TRUE(f->Frame7.enabled);
}

TEST(Ccboke, ShowsTheLabelsOnlyInPracticeMode) {
    TestForm f;
    f.setCase(-1, -1, 90);
    dial(f, 44, 4, 90, 90);
    ASSERT_TRUE(f->Option10.selected());
    Label* const labels[] = {&f->Label21, &f->Label22, &f->Label24, &f->Label25};
    for (Label* l : labels) l->visible = false;
    f->ccboke();
    for (Label* l : labels) {
        EXPECT_FALSE(l->visible) << l->name();
        EXPECT_NE(l->caption.find("ＣＣ"), std::string::npos) << "captions are rewritten all the same";
    }

    f->Option11.setSelected(true);
    for (Label* l : labels) l->visible = false;
    f->ccboke();
    for (Label* l : labels) EXPECT_TRUE(l->visible) << l->name();
}
