// The window as it opens.

#include <gtest/gtest.h>

#include <set>

#include "tests/test_support.h"

namespace {

bool shown(const Control& c) { return c.visible; }

}  // namespace

TEST(Layout, EveryControlOnceWithItsKindAndContainer) {
    TestForm f(false);
    const auto& all = f->controls();
    EXPECT_EQ(all.size(), 1u + 28 + 3 + 1 + 12 + 6 + 8 + 9 + 6);
    std::set<std::string> names;
    for (Control* c : all) EXPECT_TRUE(names.insert(c->name()).second) << c->name();
    EXPECT_EQ(f->window.name(), "Form1");
    EXPECT_EQ(f->window.caption, "Form1");
    EXPECT_EQ(f->window.width, 13170);
    EXPECT_EQ(f->window.height, 9825);
    EXPECT_EQ(f->find("HScroll4")->container(), &f->Frame4);
    EXPECT_EQ(f->find("Label20")->container(), &f->Frame5);
    EXPECT_EQ(f->find("Label16")->container(), &f->Frame6);
    EXPECT_EQ(f->find("Option12")->container(), &f->Frame7);
    EXPECT_EQ(f->find("Image3")->kind(), Kind::Image);
    EXPECT_EQ(f->find("Shape4")->kind(), Kind::Circle);
    EXPECT_EQ(f->find("Line3")->kind(), Kind::Line);
    EXPECT_EQ(f->find("Nothing"), nullptr);
}

TEST(Layout, DesignStateOfTheWindow) {
    TestForm f(false);
    Form1& w = *f;
    EXPECT_FALSE(shown(w.STARTbutton));
    EXPECT_TRUE(shown(w.Command5));
    EXPECT_FALSE(shown(w.Frame4));
    for (Label* l : {&w.Label5, &w.Label7, &w.Label14, &w.Label15, &w.Label16, &w.Label18, &w.Label19, &w.Label20,
                     &w.Label21, &w.Label22, &w.Label23, &w.Label24, &w.Label25, &w.Label26, &w.Label28})
        EXPECT_FALSE(shown(*l)) << l->name();
    EXPECT_TRUE(w.Option10.selected());
    EXPECT_TRUE(w.Option5.selected());
    EXPECT_TRUE(w.Option1.selected());
    for (OptionButton* o :
         {&w.Option11, &w.Option12, &w.Option6, &w.Option7, &w.Option8, &w.Option2, &w.Option3, &w.Option4, &w.Option9})
        EXPECT_FALSE(o->selected()) << o->name();
    EXPECT_FALSE(shown(w.Option2));
    EXPECT_FALSE(shown(w.Option3));
    EXPECT_FALSE(shown(w.Option9));
    EXPECT_TRUE(shown(w.Option1));
    EXPECT_TRUE(shown(w.Option4));
    for (Control* c : w.controls()) EXPECT_TRUE(c->enabled) << c->name();
    // The phoropter view: only the lens rim, the masking discs and the axis line.
    for (Control* c : w.Frame5.children) {
        const bool expected = c == &w.Shape4 || c == &w.Shape2 || c == &w.Line1 || c == &w.Shape1;
        EXPECT_EQ(shown(*c), expected) << c->name();
    }
}

TEST(Layout, ScrollBarsAndReadouts) {
    TestForm f(false);
    struct Range {
        const HScrollBar& bar;
        int min, max, small, large, value;
    };
    for (const Range& r : {Range{f->HScroll1, 0, 80, 1, 4, 40}, Range{f->HScroll2, 0, 20, 1, 4, 0},
                           Range{f->HScroll3, 0, 180, 1, 15, 90}, Range{f->HScroll4, 1, 180, 1, 15, 90}}) {
        EXPECT_EQ(r.bar.min, r.min) << r.bar.name();
        EXPECT_EQ(r.bar.max, r.max) << r.bar.name();
        EXPECT_EQ(r.bar.smallChange, r.small) << r.bar.name();
        EXPECT_EQ(r.bar.largeChange, r.large) << r.bar.name();
        EXPECT_EQ(r.bar.value(), r.value) << r.bar.name();
    }
    EXPECT_EQ(f->Label4.caption, "Ｓ 0.00Ｄ");
    EXPECT_EQ(f->Label6.caption, "Ｃ 0.00Ｄ");
    EXPECT_EQ(f->Label8.caption, "Ａ90°");
    EXPECT_EQ(f->Label3.caption, "Ａ90°");
    EXPECT_EQ(f->Label10.caption, "＋10       0    　－10");
    EXPECT_EQ(f->Label11.caption, "0  　    －5");
    EXPECT_EQ(f->Label13.caption, "180      90        0");
    EXPECT_EQ(f->Label2.caption, "このお客様の完全補正度数を求めてください。     オートレフ値は");
}

TEST(Layout, PhoropterViewGeometry) {
    TestForm f(false);
    EXPECT_EQ(f->Line1.x1, 1200);
    EXPECT_EQ(f->Line1.y1, 480);
    EXPECT_EQ(f->Line1.y2, 1920);
    EXPECT_EQ(f->Line2.y1, 360);
    EXPECT_EQ(f->Line2.y2, 2040);
    EXPECT_EQ(f->Line3.y1, 2040);
    EXPECT_EQ(f->Line3.y2, 2400);
    // The rims and discs share one centre.
    for (const Circle* c : {&f->Shape1, &f->Shape2, &f->Shape3, &f->Shape4}) {
        EXPECT_FLOAT_EQ(c->left + c->width / 2, 1207.5f) << c->name();
        EXPECT_FLOAT_EQ(c->top + c->height / 2, 1207.5f) << c->name();
    }
    EXPECT_EQ(f->Shape5.fillStyle, 0);
    EXPECT_EQ(f->Shape6.fillStyle, 0);
    EXPECT_EQ(f->Shape7.fillStyle, 1);
    EXPECT_EQ(f->Shape8.fillStyle, 1);
    // Top-most first: the dots above everything, Label20 at the bottom.
    EXPECT_EQ(f->Frame5.children.front(), &f->Shape8);
    EXPECT_EQ(f->Frame5.children.back(), &f->Label20);
}

TEST(Layout, TabOrderStartsAtStartButtonAndEndsAtSampleMode) {
    TestForm f(false);
    const auto& order = f->tabOrder();
    ASSERT_EQ(order.size(), 24u);
    EXPECT_EQ(order.front(), &f->STARTbutton);
    EXPECT_EQ(order[6], &f->HScroll1);
    EXPECT_EQ(order[15], &f->HScroll4);
    EXPECT_EQ(order.back(), &f->Option12);
}
