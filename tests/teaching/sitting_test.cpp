// The sitting as both views run it: a code played customer after customer, a new code in the
// middle, what the review follows, what is unsaved, and when the customer's view is shown.

#include <gtest/gtest.h>

#include "app/teaching/customer_view.h"
#include "app/teaching/review.h"
#include "app/teaching/sitting.h"
#include "tests/test_support.h"

namespace {

struct Desk {
    FakePlatform platform;
    FakeRecordClock clock;
    Sitting sitting;

    explicit Desk(uint64_t code) : sitting(platform, clock, CaseCode(code)) {}
    Form1& w() { return sitting.form(); }

    void click(CommandButton& b) {
        clock.now += 1500;
        b.userClick();
    }
    void select(OptionButton& o) {
        clock.now += 1500;
        o.userSelect();
    }
    void arrow(HScrollBar& s, int direction) {
        clock.now += 1500;
        s.userArrow(direction);
    }
    // 測定終了正解は？ then 再測定.
    void nextCustomer() {
        click(w().Command5);
        click(w().STARTbutton);
    }
};

std::string readingOf(const Form1& w) {
    std::string r = w.Label17.caption;
    return r.substr(0, r.size() - std::string(" です。").size());
}

}  // namespace

TEST(Sitting, PlaysTheCodesCustomersInTheWindowAndRecordsEach) {
    const CaseCode code = *CaseCode::parse("014S-C0PJ-V");
    Desk desk(code.number());
    // The customers a code keeps from version to version.
    const float pinned[3][3] = {{-3.25f, -1.0f, 174}, {2.75f, -1.25f, 1}, {3.0f, -0.5f, 71}};
    for (int n = 0; n < 3; ++n) {
        if (n > 0) desk.nextCustomer();
        EXPECT_EQ(desk.w().seikaiS, pinned[n][0]) << n;
        EXPECT_EQ(desk.w().seikaiC, pinned[n][1]) << n;
        EXPECT_EQ(desk.w().seikaiA, pinned[n][2]) << n;
        const CaseRecord& c = desk.sitting.cases().back();
        EXPECT_EQ(c.customer, static_cast<uint64_t>(n));
        EXPECT_EQ(c.code, code);
        EXPECT_EQ(c.reading, readingOf(desk.w()));
    }
    EXPECT_EQ(desk.sitting.cases().size(), 3u);
    EXPECT_EQ(desk.sitting.cases()[0].status, CaseStatus::Ended);
    EXPECT_EQ(desk.sitting.cases()[2].status, CaseStatus::Measuring);
}

TEST(Sitting, ANewCodeAsksWhenWorkWouldBeLostAndStartsAFreshWindow) {
    Desk desk(5);
    EXPECT_FALSE(desk.sitting.newCodeAbandonsWork());  // nothing done yet
    desk.arrow(desk.w().HScroll1, 1);
    EXPECT_TRUE(desk.sitting.newCodeAbandonsWork());

    desk.sitting.startCode(CaseCode(99));
    EXPECT_EQ(desk.sitting.code(), CaseCode(99));
    ASSERT_EQ(desk.sitting.cases().size(), 2u);
    EXPECT_EQ(desk.sitting.cases()[0].status, CaseStatus::Abandoned);
    EXPECT_EQ(desk.sitting.cases()[1].code, CaseCode(99));
    EXPECT_FALSE(desk.sitting.newCodeAbandonsWork());

    // The window is the one a program started with that code shows.
    Desk fresh(99);
    EXPECT_EQ(dumpControls(desk.w()), dumpControls(fresh.w()));

    // An ended customer is nothing to lose either.
    desk.click(desk.w().Command5);
    EXPECT_FALSE(desk.sitting.newCodeAbandonsWork());
}

TEST(Sitting, TheReviewFollowsTheCurrentCaseUnlessARowIsChosen) {
    Desk desk(11);
    // Test mode: nothing while measuring, the case once it has ended.
    desk.arrow(desk.w().HScroll1, -1);
    EXPECT_EQ(desk.sitting.reviewed(), nullptr);
    desk.click(desk.w().Command5);
    EXPECT_EQ(desk.sitting.reviewedIndex(), std::optional<size_t>(0));
    desk.click(desk.w().STARTbutton);
    EXPECT_EQ(desk.sitting.reviewed(), nullptr);

    desk.sitting.chooseCase(0);
    EXPECT_EQ(desk.sitting.reviewedIndex(), std::optional<size_t>(0));
    desk.sitting.chooseCase(1);  // the case being measured in test mode stays hidden
    EXPECT_EQ(desk.sitting.reviewed(), nullptr);
    desk.sitting.chooseCase(0);
    desk.nextCustomer();  // a new customer: back to the current case
    EXPECT_EQ(desk.sitting.reviewed(), nullptr);

    desk.select(desk.w().Option11);  // practice mode shows the case as it goes
    EXPECT_EQ(desk.sitting.reviewedIndex(), std::optional<size_t>(2));
    desk.sitting.chooseCase(7);  // no such row: the current case
    EXPECT_EQ(desk.sitting.reviewedIndex(), std::optional<size_t>(2));
}

TEST(Sitting, OnlyWhatWasDoneSinceTheLastSaveIsUnsaved) {
    Desk desk(3);
    EXPECT_FALSE(desk.sitting.unsaved());
    desk.arrow(desk.w().HScroll2, 1);
    EXPECT_TRUE(desk.sitting.unsaved());
    desk.sitting.markSaved();
    EXPECT_FALSE(desk.sitting.unsaved());
    desk.arrow(desk.w().HScroll2, -1);
    EXPECT_TRUE(desk.sitting.unsaved());
}

TEST(CustomerView, HiddenInTestModeUntilTheEndAndFollowsTheCrossCylinder) {
    Desk desk(21);
    Form1& w = desk.w();
    desk.select(w.Option7);  // the dial
    EXPECT_FALSE(customerViewShown(w));
    EXPECT_TRUE(customerView(w).empty());
    const CustomerViewKey hidden = customerViewKey(w);

    desk.click(w.Command5);  // the end shows it
    ASSERT_TRUE(customerViewShown(w));
    EXPECT_NE(customerViewKey(w), hidden);

    desk.click(w.STARTbutton);
    desk.select(w.Option11);
    desk.select(w.Option7);
    auto one = customerView(w);
    ASSERT_EQ(one.size(), 1u);
    const std::string lens = "見え方のイメージ：放射線視標、レンズ Ｓ 0.00Ｄ Ｃ 0.00Ｄ Ａ90°";
    EXPECT_EQ(one[0].description, lens);
    EXPECT_EQ(one[0].rgba.size(), static_cast<size_t>(one[0].width) * one[0].height * 4);

    // The picture is the chart through the residual of the lenses on the bars.
    const CustomerPicture direct =
        customerSight(Chart::Dial, zanyoDosuu({w.seikaiS, w.seikaiC, w.seikaiA}, w.setting().lens));
    EXPECT_EQ(one[0].rgba, direct.rgba);

    const CustomerViewKey before = customerViewKey(w);
    desk.arrow(w.HScroll1, 1);
    EXPECT_NE(customerViewKey(w), before);

    desk.click(w.Command2);  // the cross cylinder in: both faces
    auto faces = customerView(w);
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_TRUE(faces[0].description.ends_with("、おもて（提示中）"));
    EXPECT_TRUE(faces[1].description.ends_with("、うら"));

    // 反転: the mark follows the face the window says is in front; the pictures are redrawn.
    const CustomerViewKey omote = customerViewKey(w);
    desk.click(w.Command3);
    EXPECT_EQ(w.setting().front, false);
    EXPECT_NE(customerViewKey(w), omote);
    faces = customerView(w);
    EXPECT_TRUE(faces[0].description.ends_with("、おもて"));
    EXPECT_TRUE(faces[1].description.ends_with("、うら（提示中）"));
    const auto captions = faceCaptions(w.setting().front);
    EXPECT_EQ(captions[0].text, "おもて");
    EXPECT_FALSE(captions[0].inFront);
    EXPECT_EQ(captions[1].text, "うら（提示中）");
    EXPECT_TRUE(captions[1].inFront);
    desk.click(w.Command3);
    EXPECT_EQ(customerViewKey(w), omote);
}

TEST(Sitting, ATypedCodeIsUnreadableAsksFirstOrStarts) {
    using Answer = Sitting::CodeAnswer;
    Desk desk(5);
    EXPECT_EQ(desk.sitting.answerCode("0000-0001", false), Answer::Unreadable);
    EXPECT_EQ(desk.sitting.answerCode("0000-0001-1", false), Answer::Start);  // nothing begun
    desk.arrow(desk.w().HScroll1, 1);
    EXPECT_EQ(desk.sitting.answerCode("0000-0001-1", false), Answer::AskFirst);
    EXPECT_EQ(desk.sitting.answerCode("0000-0001-1", true), Answer::Start);
    // Unreadable stays unreadable, asked or not; the window is untouched by asking.
    EXPECT_EQ(desk.sitting.answerCode("0000-0001-2", true), Answer::Unreadable);
    EXPECT_EQ(desk.sitting.code(), CaseCode(5));
    desk.click(desk.w().Command5);  // an ended customer is nothing to lose
    EXPECT_EQ(desk.sitting.answerCode("0000-0001-1", false), Answer::Start);
}

TEST(Sitting, TheCurrentRowIsTheReviewedCaseElseTheOneBeingMeasured) {
    Desk desk(11);
    // Test mode, measuring: the review is hidden, the row of the customer still marks where we are.
    desk.arrow(desk.w().HScroll1, -1);
    EXPECT_EQ(desk.sitting.reviewed(), nullptr);
    EXPECT_EQ(desk.sitting.currentRow(), std::optional<size_t>(0));
    desk.nextCustomer();
    EXPECT_EQ(desk.sitting.currentRow(), std::optional<size_t>(1));
    desk.sitting.chooseCase(0);  // an ended case chosen: its row
    EXPECT_EQ(desk.sitting.currentRow(), std::optional<size_t>(0));
    desk.sitting.chooseCase(1);  // the hidden one chosen: still its row
    EXPECT_EQ(desk.sitting.currentRow(), std::optional<size_t>(1));
    desk.sitting.chooseCase(0);
    desk.nextCustomer();  // a new customer: back to the current case
    EXPECT_EQ(desk.sitting.currentRow(), std::optional<size_t>(2));
}

TEST(Sitting, TheEndIsAnnouncedWithItsScoreOnTheActionThatEndsACase) {
    Desk desk(7);
    EXPECT_EQ(desk.sitting.announcement(), "");
    desk.arrow(desk.w().HScroll1, 1);
    EXPECT_EQ(desk.sitting.announcement(), "");
    desk.click(desk.w().Command5);
    const CaseRecord& ended = desk.sitting.cases().back();
    ASSERT_EQ(ended.status, CaseStatus::Ended);
    EXPECT_EQ(desk.sitting.announcement(), endAnnouncement(ended));
    EXPECT_EQ(desk.sitting.announcement(), "測定終了　" + std::to_string(ended.result().residual.score) + " 点");
    // Once: the next action, even on the end button again, says nothing more.
    desk.click(desk.w().Command5);
    EXPECT_EQ(desk.sitting.announcement(), "");
    desk.click(desk.w().STARTbutton);
    EXPECT_EQ(desk.sitting.announcement(), "");
    // Ended in another mode, announced alike; a new code forgets what was said.
    desk.select(desk.w().Option12);
    desk.click(desk.w().Command5);
    EXPECT_EQ(desk.sitting.announcement(), endAnnouncement(desk.sitting.cases().back()));
    desk.sitting.startCode(CaseCode(8));
    EXPECT_EQ(desk.sitting.announcement(), "");
}

TEST(CustomerView, ThePicturesAreNamedByChartLensAndFace) {
    Desk desk(21);
    Form1& w = desk.w();
    desk.select(w.Option12);  // sample mode
    desk.select(w.Option8);   // the dots
    desk.click(w.Command2);
    const std::vector<CustomerPicture> faces = customerView(w);
    ASSERT_EQ(faces.size(), 2u);
    Step lens;
    lens.lens = w.setting().lens;
    const std::string name = "見え方のイメージ：点群視標、レンズ " + lensText(lens);
    EXPECT_EQ(faces[0].description, name + "、おもて（提示中）");
    EXPECT_EQ(faces[1].description, name + "、うら");
}

TEST(Sitting, EachCustomerIsOneRowUnderTheCodesNumberAndUntouchedOnesLeaveNone) {
    Desk desk(17);
    Form1& w = desk.w();
    // The sample mode brings its own customer: a case of its own, the test customer untouched.
    desk.select(w.Option12);
    ASSERT_EQ(desk.sitting.cases().size(), 1u);
    const CaseRecord& sample = desk.sitting.cases()[0];
    EXPECT_EQ(sample.mode, Mode::Sample);
    EXPECT_EQ(sample.steps.size(), 1u);
    EXPECT_EQ(sample.steps[0].kind, StepKind::Start);
    EXPECT_EQ(sample.steps[0].correction.S, -3.25);
    EXPECT_EQ(sample.reading, readingOf(w));
    desk.arrow(w.HScroll1, -1);
    desk.nextCustomer();  // customer 2 of the code

    // Customer 2 shown a chart (a lens would settle the mode), then the sample again: two cases,
    // the first abandoned.
    desk.select(w.Option6);
    desk.select(w.Option12);
    ASSERT_EQ(desk.sitting.cases().size(), 3u);
    EXPECT_EQ(desk.sitting.cases()[1].status, CaseStatus::Abandoned);
    EXPECT_EQ(desk.sitting.cases()[1].steps.back().kind, StepKind::Chart);
    EXPECT_EQ(desk.sitting.cases()[2].mode, Mode::Sample);
    EXPECT_EQ(desk.sitting.cases()[2].steps.front().correction.S, -3.25);
    // Back to test mode is a step of the sample case, no new customer.
    desk.select(w.Option10);
    ASSERT_EQ(desk.sitting.cases().size(), 3u);
    EXPECT_EQ(desk.sitting.cases()[2].steps.back().kind, StepKind::Mode);

    // 再測定 from an untouched customer, and a new code over one: neither leaves a row.
    desk.nextCustomer();        // customer 3, untouched
    desk.click(w.STARTbutton);  // refused while measuring
    desk.sitting.startCode(CaseCode(17));
    desk.nextCustomer();  // customer 1 of the new code ended, customer 2 untouched
    desk.sitting.startCode(CaseCode(18));
    const auto rows = sittingRows(desk.sitting.cases());
    std::vector<std::string> numbers, results;
    for (const SittingRow& r : rows) {
        numbers.push_back(r[0]);
        results.push_back(r[5]);
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "2", "1", "1"}));
    EXPECT_EQ(rows[3][5], lensText(desk.sitting.cases()[3].result()));
    EXPECT_EQ(results[1], kAbandoned);
    EXPECT_EQ(results.back(), kMeasuring);
}

TEST(Sitting, TheCorrectValueOfATestShowsOnlyOnceItEnded) {
    Desk desk(23);
    Form1& w = desk.w();
    desk.arrow(w.HScroll1, 1);
    EXPECT_EQ(sittingRow(desk.sitting.cases()[0])[4], "");
    desk.sitting.startCode(CaseCode(24));  // abandoned in test mode: still hidden
    EXPECT_EQ(sittingRow(desk.sitting.cases()[0])[4], "");
    desk.select(desk.w().Option11);  // practice mode shows it, ended or not
    EXPECT_NE(sittingRow(desk.sitting.cases()[1])[4], "");
    desk.sitting.startCode(CaseCode(25));
    EXPECT_NE(sittingRow(desk.sitting.cases()[1])[4], "");
    desk.click(desk.w().Command5);
    EXPECT_NE(sittingRow(desk.sitting.cases()[2])[4], "");
}

TEST(Sitting, AfterRemeasuringTheEndedCaseIsOneChoiceAway) {
    Desk desk(29);
    desk.arrow(desk.w().HScroll2, -1);
    desk.click(desk.w().Command5);
    desk.click(desk.w().STARTbutton);
    // The new customer is measured in test mode: hidden; the row before is the ended case.
    EXPECT_EQ(desk.sitting.reviewed(), nullptr);
    EXPECT_EQ(desk.sitting.currentRow(), std::optional<size_t>(1));
    desk.sitting.chooseCase(0);
    ASSERT_NE(desk.sitting.reviewed(), nullptr);
    EXPECT_EQ(desk.sitting.reviewed()->status, CaseStatus::Ended);
    // Measuring on keeps the choice; the next customer (the untouched one dropped) follows again.
    desk.arrow(desk.w().HScroll1, 1);
    EXPECT_EQ(desk.sitting.reviewedIndex(), std::optional<size_t>(0));
    desk.sitting.startCode(CaseCode(29));
    EXPECT_EQ(desk.sitting.reviewed(), nullptr);
}

TEST(Sitting, TheCodePromptAsksBeforeAbandoningAndEachAttemptClearsTheLast) {
    Desk desk(5);
    const CaseCode next(0xABCDE12345);
    EXPECT_FALSE(desk.sitting.offerCode("1234-5678-Z"));
    EXPECT_EQ(desk.sitting.codePrompt().message, kBadCaseCodeMessage);
    EXPECT_EQ(desk.sitting.codePrompt().question, "");
    desk.arrow(desk.w().HScroll1, 1);

    // A good code over work begun: the question replaces the message; いいえ keeps everything.
    EXPECT_FALSE(desk.sitting.offerCode(next.text()));
    EXPECT_EQ(desk.sitting.codePrompt().message, "");
    EXPECT_EQ(desk.sitting.codePrompt().question, panel_text::kAbandonQuestion);
    EXPECT_FALSE(desk.sitting.answerAbandon(false));
    EXPECT_EQ(desk.sitting.codePrompt().question, "");
    EXPECT_EQ(desk.sitting.code(), CaseCode(5));
    EXPECT_FALSE(desk.sitting.answerAbandon(true));  // nothing asked: nothing to start

    // Asked again, then a bad code: the message, the question and its code gone.
    desk.sitting.offerCode(next.text());
    desk.sitting.offerCode("0000");
    EXPECT_EQ(desk.sitting.codePrompt().question, "");
    EXPECT_EQ(desk.sitting.codePrompt().message, kBadCaseCodeMessage);
    EXPECT_FALSE(desk.sitting.answerAbandon(true));

    // はい gives the code asked about; starting it clears the prompt.
    desk.sitting.offerCode(next.text());
    const auto code = desk.sitting.answerAbandon(true);
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, next);
    desk.sitting.startCode(*code);
    EXPECT_EQ(desk.sitting.codePrompt().message, "");
    // Nothing begun: the code starts at once.
    EXPECT_EQ(desk.sitting.offerCode(CaseCode(7).text()), std::optional<CaseCode>(CaseCode(7)));
}
