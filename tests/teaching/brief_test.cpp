// The sitting in brief, as a learning system keeps it between sessions: within its 4,096
// characters, the record's results come back case for case, and the window comes back input for
// input from the start the brief keeps.

#include <gtest/gtest.h>

#include <string>

#include "app/teaching/brief.h"
#include "app/teaching/panel_texts.h"
#include "app/teaching/sitting.h"
#include "tests/form1/walk_driver.h"
#include "tests/test_support.h"

namespace {

struct Played {
    FakePlatform platform;
    FakeRecordClock clock;
    Sitting sitting;
    explicit Played(uint64_t code, int64_t tick = 137)
        : clock(1'000'000, tick), sitting(platform, clock, CaseCode(code), 1'765'300'000'000) {}
};

// What the record shows and writes of every case, times and counts included.
std::string recordOf(const Sitting& s) {
    std::string out;
    for (const SittingRow& row : sittingRows(s.cases()))
        for (const std::string& cell : row) out += cell + '\t';
    return out + '\n' + s.csv();
}

// One customer as a trainee measures one: the lenses dialled, a chart, a few questions, the end.
void measure(Sitting& s, int inputs, int customer) {
    Form1& f = s.form();
    HScrollBar* bars[] = {&f.HScroll1, &f.HScroll2, &f.HScroll3};
    OptionButton* charts[] = {&f.Option5, &f.Option6, &f.Option7};
    for (int i = 0; i < inputs; ++i) {
        if (i % 9 == 4) {
            charts[(i + customer) % 3]->userSelect();
            f.Command6.userClick();
        } else {
            bars[(i + customer) % 3]->userArrow((i * 7 + customer) % 5 < 3 ? 1 : -1);
        }
    }
}

}  // namespace

TEST(SittingBrief, TwentyCustomersFitAndComeBackCaseForCase) {
    Played a(20261209);
    for (int customer = 0; customer < 20; ++customer) {
        if (customer == 7) a.sitting.form().Option11.userSelect();  // practice: hints offered
        if (customer == 7) a.sitting.askHint();
        measure(a.sitting, 40 + customer % 5 * 5, customer);
        a.sitting.form().Command5.userClick();
        a.sitting.form().STARTbutton.userClick();
    }
    measure(a.sitting, 25, 20);  // the 21st still being measured
    const std::string brief = a.sitting.brief();
    ASSERT_LE(brief.size(), kBriefLimit);
    for (const char ch : brief) ASSERT_TRUE(ch >= ' ' && ch < 0x7F) << brief;

    Played b(1);  // its clock goes on as the first one's
    ASSERT_TRUE(b.sitting.resumeBrief(brief));
    EXPECT_EQ(b.sitting.code(), a.sitting.code());
    ASSERT_EQ(b.sitting.cases().size(), 21u);
    EXPECT_EQ(recordOf(b.sitting), recordOf(a.sitting));
    EXPECT_EQ(dumpControls(b.sitting.form()), dumpControls(a.sitting.form()));
    EXPECT_EQ(b.platform.beeps + b.platform.prints + b.platform.quits, 0);
    // The cases kept as results have no route to review; the one in the window has all of it.
    EXPECT_TRUE(b.sitting.cases().front().tally);
    EXPECT_EQ(b.sitting.cases().back().steps.size(), a.sitting.cases().back().steps.size());
    b.sitting.chooseCase(0);
    EXPECT_EQ(b.sitting.reviewed(), nullptr);
    EXPECT_EQ(b.sitting.currentRow(), std::optional<size_t>(0));
    EXPECT_STREQ(b.sitting.reviewAbsence(), panel_text::kReviewNotKept);
    b.sitting.chooseCase(19);  // played again input for input
    EXPECT_EQ(b.sitting.reviewed(), &b.sitting.cases()[19]);

    // It goes on as the sitting would have: the same answers, the same next customer.
    for (Played* p : {&a, &b}) {
        measure(p->sitting, 12, 21);
        p->sitting.form().Command5.userClick();
        p->sitting.form().STARTbutton.userClick();
    }
    EXPECT_EQ(dumpControls(b.sitting.form()), dumpControls(a.sitting.form()));
    EXPECT_EQ(sittingRows(b.sitting.cases()), sittingRows(a.sitting.cases()));
    // And its brief again holds the same.
    Played c(2, 0);
    ASSERT_TRUE(c.sitting.resumeBrief(b.sitting.brief()));
    EXPECT_EQ(sittingRows(c.sitting.cases()), sittingRows(a.sitting.cases()));
}

TEST(SittingBrief, SeededWalksComeBackWithTheirRecordAndWindow) {
    for (const auto& [code, seed] : {std::pair<uint64_t, uint32_t>{1, 5}, {987654321, 6}, {42424242, 7}}) {
        Played a(code);
        TraineeDriver trainee(seed);
        for (int i = 0; i < 1200; ++i) {
            if (trainee.chance(0.01)) a.sitting.startCode(CaseCode(code + 1 + i));
            if (trainee.chance(0.03)) a.sitting.askHint();
            perform(trainee.randomAction(a.sitting.form()));
            if (i % 100 != 99) continue;
            const std::string brief = a.sitting.brief();
            ASSERT_LE(brief.size(), kBriefLimit);
            Played b(7, 0);
            ASSERT_TRUE(b.sitting.resumeBrief(brief)) << "seed " << seed << " action " << i << '\n' << brief;
            ASSERT_EQ(recordOf(b.sitting), recordOf(a.sitting)) << "seed " << seed << " action " << i;
            ASSERT_EQ(dumpControls(b.sitting.form()), dumpControls(a.sitting.form())) << "action " << i;
            EXPECT_EQ(b.sitting.code(), a.sitting.code());
        }
    }
}

TEST(SittingBrief, ALongCaseKeepsTheResultsAndAsMuchOfItselfAsFits) {
    Played a(555);
    for (int customer = 0; customer < 3; ++customer) {
        measure(a.sitting, 30, customer);
        a.sitting.form().Command5.userClick();
        a.sitting.form().STARTbutton.userClick();
    }
    measure(a.sitting, 1500, 3);
    const std::string brief = a.sitting.brief();
    ASSERT_LE(brief.size(), kBriefLimit);
    Played b(1, 0);
    ASSERT_TRUE(b.sitting.resumeBrief(brief));
    ASSERT_EQ(b.sitting.cases().size(), 4u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(sittingRow(b.sitting.cases()[i]), sittingRow(a.sitting.cases()[i]));
    // The case in the window comes back as it was some way into it: its first steps, each as it was.
    const auto& kept = b.sitting.cases().back().steps;
    const auto& whole = a.sitting.cases().back().steps;
    ASSERT_GT(kept.size(), 300u);
    ASSERT_LT(kept.size(), whole.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].timeMs, whole[i].timeMs);
        EXPECT_EQ(kept[i].lens.S, whole[i].lens.S);
        EXPECT_EQ(kept[i].answer, whole[i].answer);
    }

    // Even where the results alone are more than the limit, the latest of them are kept.
    const std::string small = a.sitting.brief(200);
    ASSERT_LE(small.size(), 200u);
    Played c(1, 0);
    ASSERT_TRUE(c.sitting.resumeBrief(small));
    ASSERT_GE(c.sitting.cases().size(), 2u);
    EXPECT_EQ(sittingRow(c.sitting.cases().rbegin()[1]), sittingRow(a.sitting.cases()[2]));
}

TEST(SittingBrief, WhatCannotBeReadLeavesAFreshSitting) {
    Played a(31337);
    measure(a.sitting, 20, 0);
    a.sitting.form().Command5.userClick();
    a.sitting.form().STARTbutton.userClick();
    measure(a.sitting, 5, 1);
    const std::string good = a.sitting.brief();
    const size_t inputs = good.rfind('|') + 1;
    for (const std::string& bad : {std::string(), std::string("B1 0 0"), good.substr(0, good.size() / 2),
                                   "B2" + good.substr(2), good.substr(0, inputs) + "999c,1",
                                   good.substr(0, inputs) + "1q,1", good + " h,-1", good + " c0000-0000-X,1"}) {
        Played b(8);
        EXPECT_FALSE(b.sitting.resumeBrief(bad)) << bad;
        EXPECT_EQ(b.sitting.code(), CaseCode(8));
        EXPECT_EQ(b.sitting.cases().size(), 1u);
        EXPECT_EQ(dumpControls(b.sitting.form()), dumpControls(Played(8).sitting.form()));
    }
}
