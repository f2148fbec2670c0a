// The procedure checks on scripted cases (each fault shown, and avoided), the expert's own path
// judged by them, the expert's line and tables in the review, and hints followed from states
// part way through a case ending where the expert ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/teaching/hint.h"
#include "app/teaching/procedure.h"
#include "app/teaching/review.h"
#include "app/teaching/sitting.h"
#include "tests/test_support.h"

namespace {

// A trainee at a sitting's window, working its controls as a user does.
struct Trainee {
    FakePlatform platform;
    FakeRecordClock clock;
    Sitting sitting;

    explicit Trainee(uint64_t code, Mode mode = Mode::Practice) : sitting(platform, clock, CaseCode(code)) {
        if (mode == Mode::Practice) f().Option11.userSelect();
        if (mode == Mode::Sample) f().Option12.userSelect();
    }
    Form1& f() { return sitting.form(); }
    const CaseRecord& c() const { return sitting.cases().back(); }
    Refraction need() { return f().setting().correction; }

    void lens(double S, double C, int A) {
        f().HScroll1.userRelease(static_cast<int>(40 - S * 4));
        f().HScroll2.userRelease(static_cast<int>(-C * 4));
        f().HScroll3.userRelease(180 - ((A % 180 + 180) % 180 == 0 ? 180 : (A % 180 + 180) % 180));
    }
    void ask(Chart chart, Question q) {
        OptionButton& chartButton = chart == Chart::Acuity     ? f().Option5
                                    : chart == Chart::RedGreen ? f().Option6
                                    : chart == Chart::Dial     ? f().Option7
                                                               : f().Option8;
        if (!chartButton.selected()) chartButton.userSelect();
        OptionButton& questionButton = q == Question::Acuity        ? f().Option1
                                       : q == Question::Dial        ? f().Option2
                                       : q == Question::RedGreen    ? f().Option3
                                       : q == Question::PlusQuarter ? f().Option4
                                                                    : f().Option9;
        if (!questionButton.selected()) questionButton.userSelect();
        f().Command6.userClick();
    }
    void ccIn(int handle) {
        if (!f().Frame4.visible) f().Command2.userClick();
        const int position = 180 - handle;
        f().HScroll4.userRelease(position == 0 ? 180 : position);
    }
    void ccOut() {
        if (f().Frame4.visible) f().Command4.userClick();
    }
    void end() { f().Command5.userClick(); }

    // Does what a hint says; false for the end.
    bool follow(const Hint& h) {
        switch (h.kind) {
        case Hint::Kind::Lens:
            lens(h.lens.S, h.lens.C, h.lens.A);
            return true;
        case Hint::Kind::Ask:
            ask(h.chart, h.question);
            return true;
        case Hint::Kind::CrossCylinderIn:
            ccIn(h.handle);
            return true;
        case Hint::Kind::CrossCylinderOut:
            ccOut();
            return true;
        case Hint::Kind::End:
            break;
        }
        return false;
    }

    std::vector<ProcedureCheck> checks() { return procedureReview(c(), sitting.expertFor(c()).record); }
    const ProcedureCheck* find(const char* name) {
        static std::vector<ProcedureCheck> kept;
        kept = checks();
        for (const ProcedureCheck& k : kept)
            if (k.name == name) return &k;
        return nullptr;
    }
};

constexpr const char* kDial = "雲霧して放射線視標";
constexpr const char* kAxisFirst = "クロスシリンダーは軸が先、度数が後";
constexpr const char* kEquivalent = "円柱を変えたら等価球面を保つ";
constexpr const char* kEndPoint = "最後の球面のあとに終点確認";
constexpr const char* kOverMinus = "マイナス過多にしない";
constexpr const char* kChartFits = "視標に合った質問";
constexpr const char* kCounts = "質問数と手順数";

TEST(ProcedureChecks, DialAskedFoggedOrNot) {
    Trainee fogged(11), plain(11);
    const Refraction n = fogged.need();
    fogged.lens(n.S + 1.0, 0, 90);
    fogged.ask(Chart::Dial, Question::Dial);
    plain.lens(n.S + n.C / 2, 0, 90);
    plain.ask(Chart::Dial, Question::Dial);
    ASSERT_TRUE(fogged.find(kDial) && plain.find(kDial));
    EXPECT_TRUE(fogged.find(kDial)->good);
    EXPECT_FALSE(plain.find(kDial)->good);
    EXPECT_EQ(plain.find(kDial)->steps, std::vector<size_t>{plain.c().steps.size() - 1});
}

TEST(ProcedureChecks, CrossCylinderAxisBeforePower) {
    Trainee right(12), wrong(12);
    for (Trainee* t : {&right, &wrong}) t->lens(t->need().S, t->need().C == 0 ? -1 : t->need().C, 90);
    right.ccIn(90);
    right.ask(Chart::Dots, Question::CrossCylinder);
    right.ccIn(135);
    right.ask(Chart::Dots, Question::CrossCylinder);
    wrong.ccIn(135);
    wrong.ask(Chart::Dots, Question::CrossCylinder);
    wrong.ccIn(90);
    wrong.ask(Chart::Dots, Question::CrossCylinder);
    EXPECT_TRUE(right.find(kAxisFirst)->good);
    EXPECT_FALSE(wrong.find(kAxisFirst)->good);
    // Without the power refined there is nothing to judge.
    Trainee axisOnly(12);
    axisOnly.ccIn(90);
    axisOnly.ask(Chart::Dots, Question::CrossCylinder);
    EXPECT_EQ(axisOnly.find(kAxisFirst), nullptr);
}

TEST(ProcedureChecks, EquivalentKeptWhenTheCylinderChanges) {
    Trainee kept(13), lost(13), small(13);
    for (Trainee* t : {&kept, &lost, &small}) {
        t->lens(-1, -0.5, 90);
        t->ask(Chart::Acuity, Question::Acuity);
    }
    kept.lens(-0.75, -1.0, 90);  // 0.50 more cylinder, a quarter less sphere: the same equivalent
    kept.ask(Chart::Acuity, Question::Acuity);
    lost.lens(-1, -1.0, 90);
    lost.ask(Chart::Acuity, Question::Acuity);
    small.lens(-1, -0.75, 90);  // a quarter: too little to judge
    small.ask(Chart::Acuity, Question::Acuity);
    EXPECT_TRUE(kept.find(kEquivalent)->good);
    ASSERT_NE(lost.find(kEquivalent), nullptr);
    EXPECT_FALSE(lost.find(kEquivalent)->good);
    EXPECT_EQ(small.find(kEquivalent), nullptr);
}

TEST(ProcedureChecks, EndPointConfirmedAfterTheLastSphere) {
    Trainee confirmed(14), not_(14), beforeChange(14);
    for (Trainee* t : {&confirmed, &not_, &beforeChange})
        t->lens(t->need().S, t->need().C, static_cast<int>(t->need().A));
    confirmed.ask(Chart::Acuity, Question::PlusQuarter);
    beforeChange.ask(Chart::RedGreen, Question::RedGreen);
    beforeChange.lens(beforeChange.need().S - 0.25, beforeChange.need().C, static_cast<int>(beforeChange.need().A));
    for (Trainee* t : {&confirmed, &not_, &beforeChange}) t->end();
    EXPECT_TRUE(confirmed.find(kEndPoint)->good);
    EXPECT_FALSE(not_.find(kEndPoint)->good);
    EXPECT_FALSE(beforeChange.find(kEndPoint)->good);
}

TEST(ProcedureChecks, OverMinusAtTheEndAndOnTheWay) {
    Trainee exact(15), endedOver(15), longOver(15);
    const Refraction n = exact.need();
    exact.lens(n.S, n.C, static_cast<int>(n.A));
    endedOver.lens(n.S - 0.5, n.C, static_cast<int>(n.A));
    for (int i = 0; i < 12; ++i) longOver.ask(Chart::Acuity, Question::Acuity);  // steps spent
    longOver.lens(n.S - 1, n.C, static_cast<int>(n.A));
    for (int i = 0; i < 12; ++i) longOver.ask(Chart::Acuity, Question::Acuity);
    longOver.lens(n.S, n.C, static_cast<int>(n.A));
    for (Trainee* t : {&exact, &endedOver, &longOver}) t->end();
    EXPECT_TRUE(exact.find(kOverMinus)->good);
    EXPECT_FALSE(endedOver.find(kOverMinus)->good);
    EXPECT_FALSE(longOver.find(kOverMinus)->good);
    EXPECT_GE(longOver.find(kOverMinus)->steps.size(), 12u);
}

TEST(ProcedureChecks, QuestionsTheChartCannotAnswer) {
    Trainee fits(16), puzzled(16);
    fits.ask(Chart::Acuity, Question::Acuity);
    puzzled.ask(Chart::Acuity, Question::Acuity);
    puzzled.ask(Chart::Dots, Question::CrossCylinder);  // without the cross cylinder in
    EXPECT_TRUE(fits.find(kChartFits)->good);
    EXPECT_FALSE(puzzled.find(kChartFits)->good);
    EXPECT_EQ(puzzled.find(kChartFits)->steps, std::vector<size_t>{puzzled.c().steps.size() - 1});
}

TEST(ProcedureChecks, CountsAgainstTheExpert) {
    Trainee brief(17), long_(17);
    const Refraction n = brief.need();
    for (Trainee* t : {&brief, &long_}) {
        t->lens(n.S, n.C, static_cast<int>(n.A));
        t->ask(Chart::Acuity, Question::PlusQuarter);
    }
    for (int i = 0; i < 80; ++i) long_.ask(Chart::Acuity, Question::Acuity);
    brief.end();
    long_.end();
    EXPECT_TRUE(brief.find(kCounts)->good);
    EXPECT_FALSE(long_.find(kCounts)->good);
}

// The expert, judged by the checks it teaches: every check it gets is passed, on customers of
// many codes, the sample customer and later customers of a code.
TEST(ProcedureChecks, TheExpertPassesEveryCheck) {
    int judged = 0;
    for (uint64_t i = 1; i <= 400; ++i) {
        const CaseCode code(i * 2654435761u);
        const uint64_t customer = i % 7 == 0 ? i % 4 : 0;
        const ExpertPlay play = playExpertRecorded(code, customer, i == 1);
        for (const ProcedureCheck& k : procedureReview(play.record, play.record)) {
            EXPECT_TRUE(k.good) << code.text() << " customer " << customer << ": " << k.name << " " << k.detail;
            ++judged;
        }
    }
    EXPECT_GT(judged, 400 * 5);
}

// Hints followed from where a trainee stopped part way (the expert's own first steps, a wrong
// lens, the cross cylinder left in) lead to the lens the expert ends with.
TEST(Hints, FollowedFromAnyStateEndWhereTheExpertEnds) {
    for (uint64_t code : {101u, 202u, 303u, 404u, 505u, 606u}) {
        for (int start = 0; start < 4; ++start) {
            Trainee t(code * 7919, code == 606 ? Mode::Sample : Mode::Practice);
            const ExpertPlay& expert = t.sitting.expertFor(t.c());
            const Refraction n = t.need();
            if (start == 1) {  // the expert's first few steps, by its hints
                for (int i = 0; i < 6; ++i) t.follow(nextHint(t.c(), expert));
            } else if (start == 2) {  // the reading put up and asked
                t.lens(n.S - 0.75, n.C, static_cast<int>(n.A) + 20);
                t.ask(Chart::Acuity, Question::Acuity);
            } else if (start == 3) {  // the cross cylinder in, on a wrong chart
                t.ccIn(30);
                t.ask(Chart::RedGreen, Question::Dial);
            }
            int steps = 0;
            while (t.follow(nextHint(t.c(), expert)) && ++steps < 2000) {
            }
            ASSERT_LT(steps, 2000) << code;
            const Refraction& lens = t.f().setting().lens;
            const Lens& want = expert.result.run.lens;
            EXPECT_EQ(lens.S, want.S) << code << " from " << start;
            EXPECT_EQ(lens.C, want.C) << code << " from " << start;
            EXPECT_EQ(static_cast<int>(lens.A) % 180, want.A % 180) << code << " from " << start;
        }
    }
}

TEST(Hints, OfferedOutsideTestsOnlyAndKeptAsSteps) {
    Trainee test(21, Mode::Test);
    EXPECT_FALSE(test.sitting.hintOffered());
    EXPECT_EQ(test.sitting.askHint(), "");
    Trainee practice(21);
    ASSERT_TRUE(practice.sitting.hintOffered());
    const std::string first = practice.sitting.askHint();
    EXPECT_EQ(first.rfind("まずレンズを ", 0), 0u) << first;
    EXPECT_NE(first.find("雲霧"), std::string::npos) << first;
    EXPECT_EQ(practice.c().steps.back().kind, StepKind::Hint);
    EXPECT_EQ(practice.c().hints(), 1);
    EXPECT_EQ(practice.sitting.hintText(), first);
    practice.ask(Chart::Acuity, Question::Acuity);
    EXPECT_EQ(practice.sitting.hintText(), "");  // an action makes it stale
    practice.end();
    EXPECT_FALSE(practice.sitting.hintOffered());
    const auto summary = expertSummary(practice.c(), practice.sitting.expertFor(practice.c()).record);
    EXPECT_EQ(summary[2][0], "ヒント数");
    EXPECT_EQ(summary[2][1], "1");
}

TEST(Hints, TheRecordCountsThemAndTheChecksOnceACaseHasEnded) {
    Trainee t(21);
    t.sitting.askHint();
    t.sitting.askHint();
    const Refraction n = t.need();
    t.lens(n.S + n.C / 2, 0, 90);
    t.ask(Chart::Dial, Question::Dial);  // unfogged: one check is 要注意
    t.end();
    t.f().STARTbutton.userClick();  // the next customer is being measured

    const std::vector<ProcedureFigures> figures = t.sitting.procedureFigures();
    ASSERT_EQ(figures.size(), 2u);
    const CaseRecord& ended = t.sitting.cases()[0];
    const CaseRecord& expert = t.sitting.expertFor(ended).record;
    const auto checks = procedureReview(ended, expert);
    const auto passed = std::count_if(checks.begin(), checks.end(), [](const ProcedureCheck& k) { return k.good; });
    ASSERT_LT(passed, static_cast<long>(checks.size()));
    EXPECT_TRUE(figures[0].judged);
    EXPECT_EQ(figures[0].expertQuestions, expert.questions());
    EXPECT_EQ(figures[0].checksPassed, passed);
    EXPECT_EQ(figures[0].checksMade, static_cast<int>(checks.size()));
    EXPECT_EQ(figures[0].hints, 2);
    EXPECT_FALSE(figures[1].judged);

    // The CSV's last four columns, whole numbers, and the printed table's row.
    const std::string csv = t.sitting.csv();
    const std::string judged = "," + std::to_string(expert.questions()) + "," + std::to_string(passed) + "," +
                               std::to_string(checks.size()) + ",2\r\n";
    EXPECT_NE(csv.find("status,name,code,expert_questions,checks_passed,checks_made,hints\r\n"), std::string::npos);
    const size_t firstEnd = csv.find("\r\n", csv.find("\r\n") + 2) + 2;
    EXPECT_EQ(csv.substr(firstEnd - judged.size(), judged.size()), judged) << csv;
    EXPECT_EQ(csv.substr(csv.size() - 7), ",,,,0\r\n");
    EXPECT_EQ(procedureRow(ended, figures[0]),
              (ProcedureRow{"1", std::to_string(ended.questions()), std::to_string(expert.questions()),
                            std::to_string(passed), std::to_string(checks.size()), "2"}));
    EXPECT_EQ(procedureRow(t.sitting.cases()[1], figures[1]), (ProcedureRow{"2", "0", "", "", "", "0"}));
}

TEST(ExpertInTheReview, ItsLineStepsAndSummary) {
    Trainee t(31);
    t.end();
    const ExpertPlay& expert = t.sitting.expertFor(t.c());
    const ReviewPlot p = reviewPlot(t.c(), kReviewPlotWidth, kReviewPlotHeight, &expert.record);
    ASSERT_EQ(p.lines.size(), 4u);
    EXPECT_EQ(p.lines[0].name, kExpertName);
    EXPECT_EQ(p.lines[0].points.size(), expert.record.steps.size());
    // The step scale reaches the longer of the two paths.
    EXPECT_GE(p.steps.max, static_cast<double>(expert.record.steps.size() - 1));
    EXPECT_EQ(expertTable(expert.result.run).size(), expert.result.run.steps.size());
    const auto summary = expertSummary(t.c(), expert.record);
    EXPECT_EQ(summary[3][2], std::to_string(expert.result.score) + " 点");
}

}  // namespace
