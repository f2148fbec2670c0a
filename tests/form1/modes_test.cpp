// Test, practice and sample modes, and the end of a measurement.

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace {

const char* const kSampleAnswer = "正解値   Ｓ-3.25Ｄ Ｃ-1.50Ｄ Ａ56°";

bool anyAssistShown(Form1& w) {
    for (Label* l : {&w.Label24, &w.Label25, &w.Label21, &w.Label22, &w.Label26, &w.Label28})
        if (l->visible) return true;
    return false;
}

}  // namespace

TEST(Modes, PracticeRightAfterStartShowsTheHeadings) {
    TestForm f;
    ASSERT_TRUE(f->Option11.userSelect());
    EXPECT_TRUE(f->Label28.visible);
    EXPECT_EQ(f->Label28.caption, "誤差（残余度数） S2C2A2");
    EXPECT_TRUE(f->Label26.visible);
    EXPECT_EQ(f->Label24.caption, "CC残余度数（おもて）");
    EXPECT_EQ(f->Label25.caption, "CC残余度数（うら）");
    EXPECT_EQ(f->Label21.caption, "CCボケ量（おもて） q11");
    EXPECT_EQ(f->Label22.caption, "CCボケ量（うら） q21");
    for (Label* l : {&f->Label24, &f->Label25, &f->Label21, &f->Label22}) EXPECT_TRUE(l->visible) << l->name();
    ASSERT_TRUE(f->Option10.userSelect());
    EXPECT_FALSE(anyAssistShown(*f));
}

TEST(Modes, SampleCustomerSurvivesLeavingSampleMode) {
    TestForm f;
    const int drawsBefore = f.random.draws;
    ASSERT_TRUE(f->Option12.userSelect());
    EXPECT_EQ(f->seikaiS, -3.25f);
    EXPECT_EQ(f->seikaiC, -1.5f);
    EXPECT_EQ(f->seikaiA, 56.0f);
    EXPECT_EQ(f->Label7.caption, "Ｓ-3.25Ｄ Ｃ-1.50Ｄ Ａ56°でした。");
    EXPECT_EQ(f->Label26.caption, kSampleAnswer);
    EXPECT_EQ(f->Label17.caption, "Ｓ-3.50Ｄ Ｃ-1.25Ｄ Ａ60° です。");
    EXPECT_EQ(f.random.draws, drawsBefore + 3) << "the reading's three draws are still made";
    EXPECT_TRUE(anyAssistShown(*f));
    f->Option10.userSelect();
    f->Option11.userSelect();
    EXPECT_EQ(f->Label26.caption, kSampleAnswer);
    EXPECT_TRUE(f->Label26.visible);
}

TEST(Modes, SampleHandlerDoesNothingUnlessSampleIsSelected) {
    TestForm f;
    f.setCase(-1, -1, 90);
    f->Option12_Click();
    EXPECT_EQ(f->seikaiS, -1.0f);
    EXPECT_FALSE(anyAssistShown(*f));
}

TEST(Modes, SampleAfterPracticeKeepsTheOldResidualUntilTheNextChange) {
    TestForm f;
    f.setCase(-1, -1, 90);
    f->Option11.userSelect();
    f->keisann();  // a residual for the first customer, without locking through a lens change
    f->Frame7.enabled = true;
    const std::string oldResidual = f->Label28.caption;
    EXPECT_EQ(oldResidual, "誤差（残余度数）  Ｓ-1.00Ｄ Ｃ-1.00Ｄ Ａ90°");
    f->Option12.userSelect();
    EXPECT_EQ(f->Label26.caption, kSampleAnswer);
    EXPECT_EQ(f->Label17.caption, "Ｓ-3.50Ｄ Ｃ-1.25Ｄ Ａ60° です。");
    EXPECT_EQ(f->Label28.caption, oldResidual);
}

TEST(Modes, FirstLensChangeLocksTheModeUntilTheNextCustomer) {
    TestForm f;
    ASSERT_TRUE(f->HScroll1.userArrow(+1));
    EXPECT_FALSE(f->Frame7.enabled);
    EXPECT_FALSE(f->Option11.userSelect());
    EXPECT_FALSE(f->Option12.userSelect());
    EXPECT_TRUE(f->Option10.selected());
    f->Command5.userClick();
    f->STARTbutton.userClick();
    EXPECT_TRUE(f->Frame7.enabled);
    EXPECT_TRUE(f->Option11.userSelect());
}

TEST(Finishing, EndingRightAfterStartShowsTheUntouchedPhoropter) {
    TestForm f;
    f.setCase(-1, -1, 90);
    ASSERT_TRUE(f->Command5.userClick());
    for (Label* l : {&f->Label5, &f->Label7, &f->Label14, &f->Label15, &f->Label18, &f->Label19, &f->Label23})
        EXPECT_TRUE(l->visible) << l->name();
    EXPECT_EQ(f->Label15.caption, "Ｓ 0.00Ｄ Ｃ 0.00Ｄ Ａ90°");
    EXPECT_EQ(f->Label19.caption, "Ｓ-1.00Ｄ Ｃ-1.00Ｄ Ａ90°");
    EXPECT_EQ(f->Label23.caption, "29 点");
    EXPECT_FALSE(f->Command5.visible);
    EXPECT_TRUE(f->STARTbutton.visible);
    EXPECT_TRUE(f->Command1.visible);
    EXPECT_FALSE(f->Label26.visible) << "test mode keeps the answer line hidden";
    EXPECT_FALSE(f->Label28.visible);
    EXPECT_FALSE(f->Command5.userClick()) << "once per case";
}

TEST(Finishing, PerfectAndHopelessSettings) {
    TestForm perfect;
    perfect.setCase(-1, -1, 90);
    perfect.setLens(44, 4, 90);
    perfect->Command5.userClick();
    EXPECT_EQ(perfect->Label23.caption, "100 点");
    EXPECT_EQ(perfect->Label19.caption, "Ｓ 0.00Ｄ");
    EXPECT_EQ(perfect->Label15.caption, "Ｓ-1.00Ｄ Ｃ-1.00Ｄ Ａ90°");

    TestForm hopeless;
    hopeless.setCase(-8, -3, 1);
    hopeless.setLens(0, 20, 0);
    hopeless->Command5.userClick();
    EXPECT_EQ(hopeless->Label23.caption, "0 点");
}

TEST(Finishing, TestModeFreezesEverythingButTheNextCustomer) {
    TestForm f;
    f.setLens(44, 4, 90);
    f->Command5.userClick();
    for (Frame* fr : {&f->Frame1, &f->Frame2, &f->Frame3, &f->Frame4, &f->Frame5, &f->Frame6, &f->Frame7})
        EXPECT_FALSE(fr->enabled) << fr->name();
    EXPECT_FALSE(f->Command2.visible);
    EXPECT_FALSE(f->HScroll1.userArrow(+1));
    EXPECT_FALSE(f->HScroll2.userTrack(+1));
    EXPECT_FALSE(f->HScroll3.userRelease(10));
    EXPECT_FALSE(f->Command6.userClick());
    EXPECT_FALSE(f->Option7.userSelect());
    EXPECT_FALSE(f->Option11.userSelect());
    EXPECT_EQ(f->HScroll1.value(), 44);
    EXPECT_TRUE(f->STARTbutton.takesInput());
    EXPECT_TRUE(f->Command1.takesInput());
    EXPECT_TRUE(f->Command7.takesInput());
}

TEST(Finishing, PracticeModeScoresLiveAfterTheEnd) {
    TestForm f;
    f.setCase(-1, -1, 90);
    f->Option11.userSelect();
    f->Command5.userClick();
    EXPECT_TRUE(f->Frame2.enabled);
    EXPECT_TRUE(f->Command2.visible);
    EXPECT_TRUE(f->Label26.visible);
    ASSERT_TRUE(f->HScroll1.userRelease(44));
    EXPECT_EQ(f->Label15.caption, "Ｓ-1.00Ｄ Ｃ 0.00Ｄ Ａ90°");
    ASSERT_TRUE(f->HScroll2.userRelease(2));
    EXPECT_EQ(f->Label15.caption, "Ｓ-1.00Ｄ Ｃ-0.50Ｄ Ａ90°");
    EXPECT_EQ(f->Label19.caption, "Ｓ+0.00Ｄ Ｃ-0.50Ｄ Ａ90°");
    EXPECT_EQ(f->Label23.caption, "84 点");
    EXPECT_EQ(f->Label28.caption, "誤差（残余度数）  Ｓ+0.00Ｄ Ｃ-0.50Ｄ Ａ90°");
}

TEST(Finishing, EndAndPrintButtons) {
    TestForm f;
    f->Command7.userClick();
    EXPECT_EQ(f.platform.prints, 1);
    EXPECT_TRUE(f.platform.notices.empty());
    f.platform.nextPrint = PrintResult::NoPrinter;
    f->Command7.userClick();
    f.platform.nextPrint = PrintResult::Failed;
    f->Command7.userClick();
    EXPECT_EQ(f.platform.notices, (std::vector<std::string>{Form1::kNoPrinterNotice, Form1::kPrintFailedNotice}));
    EXPECT_EQ(f.platform.quits, 0);
    f->Command1.userClick();
    EXPECT_EQ(f.platform.quits, 1);
}
