// Whole cases played through the window, as a trainee would.

#include <gtest/gtest.h>

#include <sstream>

#include "tests/test_support.h"

namespace {

// The state of every control that the next customer must find as designed. Label captions
// are left out (they keep what was written), and so are the hidden dots' places and fills,
// which remember the cross cylinder.
std::string designRelevantState(const Form1& w) {
    DumpFilter filter;
    filter.labelCaptions = false;
    filter.unplaced = [&w](const Control& c) {
        return &c == &w.Shape5 || &c == &w.Shape6 || &c == &w.Shape7 || &c == &w.Shape8;
    };
    return dumpControls(w, filter);
}

}  // namespace

TEST(Scenario, APlayedCaseAndTheNextCustomerStartAsDesigned) {
    TestForm design(false);
    const std::string expected = designRelevantState(*design);

    TestForm f;
    EXPECT_EQ(designRelevantState(*f), expected) << "loading touches nothing but the case texts";
    f->Option11.userSelect();
    f->HScroll1.userTrack(+1);
    f->HScroll2.userArrow(+1);
    f->HScroll3.userRelease(30);
    f->Option8.userSelect();
    f->Command2.userClick();
    f->HScroll4.userTrack(-1);
    f->Command3.userClick();
    f->Command6.userClick();
    EXPECT_TRUE(f->Label16.visible);
    f->Command5.userClick();
    ASSERT_TRUE(f->STARTbutton.userClick());

    EXPECT_EQ(designRelevantState(*f), expected);
    EXPECT_EQ(f->Label20.caption, "うら") << "the flip side is kept for the next customer";
    EXPECT_EQ(f->Shape5.fillStyle, 1);
    EXPECT_EQ(f->Shape7.fillStyle, 0);
    // The readouts are rewritten for the reset lens.
    EXPECT_EQ(f->Label4.caption, "Ｓ 0.00Ｄ");
    EXPECT_EQ(f->Label6.caption, "Ｃ 0.00Ｄ");
    EXPECT_EQ(f->Label8.caption, "Ａ90°");
    EXPECT_EQ(f->Label3.caption, "Ａ90°");
}

TEST(Scenario, ResetWithTheLensAlreadyAtItsStartRunsNoHandler) {
    TestForm f;
    f.setCase(-1, -1, 90);
    f->HScroll1.userArrow(+1);
    f->HScroll1.userArrow(-1);  // back at 40: a residual of this case is on the labels
    const std::string residual = f->Label19.caption;
    const std::string score = f->Label23.caption;
    f->Command5.userClick();
    f.random.queue = {0.9f, 0.1f, 0.3f};
    f->STARTbutton.userClick();
    EXPECT_EQ(f->Label19.caption, residual);
    EXPECT_EQ(f->Label23.caption, score);
}

TEST(Scenario, NewCustomerWhileTheCrossCylinderIsInUse) {
    TestForm f;
    f->Option11.userSelect();
    f->Command2.userClick();
    ASSERT_TRUE(f->Frame4.visible);
    f->Command5.userClick();
    f->STARTbutton.userClick();
    EXPECT_FALSE(f->Frame4.visible);
    EXPECT_TRUE(f->Command2.visible);
    for (Control* c : std::initializer_list<Control*>{&f->Shape3, &f->Line2, &f->Line3, &f->Shape5, &f->Shape6,
                                                      &f->Shape7, &f->Shape8, &f->Label20})
        EXPECT_FALSE(c->visible) << c->name();
    EXPECT_TRUE(f->Option10.selected());
    for (Label* l : {&f->Label24, &f->Label25, &f->Label21, &f->Label22, &f->Label26, &f->Label28})
        EXPECT_FALSE(l->visible) << l->name();
}

TEST(Scenario, PracticeCaseFromFirstAnswerToScore) {
    TestForm f;
    f.setCase(-1, -0.25f, 180);
    f->Option11.userSelect();
    f->Command6.userClick();  // acuity chart, acuity question, nothing in front
    EXPECT_EQ(f->Label16.caption, "０．５まで見えます");
    EXPECT_FALSE(f->Frame7.enabled) << "the question computed a residual";
    f->HScroll1.userRelease(44);
    f->Command6.userClick();
    EXPECT_EQ(f->Label16.caption, "１．２まで見えます");
    f->Option6.userSelect();
    f->Command6.userClick();
    EXPECT_EQ(f->Label16.caption, "赤が少しよく見えます");
    f->HScroll2.userArrow(+1);   // C -0.25
    f->HScroll3.userRelease(0);  // axis 180
    f->Command5.userClick();
    EXPECT_EQ(f->Label19.caption, "Ｓ 0.00Ｄ");
    EXPECT_EQ(f->Label23.caption, "100 点");
    EXPECT_EQ(f->Label15.caption, "Ｓ-1.00Ｄ Ｃ-0.25Ｄ Ａ180°");
}
