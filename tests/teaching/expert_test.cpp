// The expert: on drawn customers at its own window, on the sample customer, and on a made-up
// customer answering from the answer tables for a correction of the test's choosing.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/teaching/expert.h"
#include "app/teaching/expert_window.h"
#include "optics/refraction.h"
#include "subject/answers.h"

namespace {

// A customer with a correction of its own, answering as the window does: the chart check, the
// cross cylinder in front of every chart, the dial read only under fog.
class TableCustomer : public ExamRoom {
public:
    TableCustomer(Refraction need, Reading reading) : need_(need), reading_(reading) {}

    Reading reading() override { return reading_; }
    void setLens(const Lens& lens) override { lens_ = lens; }
    void crossCylinderIn(int handle) override {
        ccIn_ = true;
        position_ = handle == 0 ? 180 : 180 - handle;
    }
    void crossCylinderOut() override { ccIn_ = false; }

    std::string ask(Chart chart, Question q) override {
        switch (checkChart(q, chart)) {
        case ChartCheck::Ignored:
            return last_;
        case ChartCheck::Mismatch:
            return last_ = mismatchAnswer(q);
        case ChartCheck::Answered:
            break;
        }
        const Refraction zanyo = zanyoDosuu(need_, {lens_.S, lens_.C, static_cast<double>(lens_.A)});
        if (q == Question::CrossCylinder) {
            if (!ccIn_) return last_ = kPuzzled;
            const CrossCylinderLook cc = throughCrossCylinder(zanyo, position_);
            return last_ = crossCylinderAnswer(cc.bokeOmote, cc.bokeUra);
        }
        if (ccIn_) return last_ = kCannotSee;
        const double t = touka(zanyo.S, zanyo.C);
        switch (q) {
        case Question::Acuity:
            return last_ = acuityAnswer(t, bokeRyou(zanyo.S, zanyo.C));
        case Question::Dial:
            if (fogOf(t) == Fog::TooFogged) return last_ = kCannotSee;
            if (fogOf(t) == Fog::NotFogged) return last_ = dialGuessAnswer(1);
            return last_ = dialSectorAnswer(zanyo.A).value_or(last_);
        case Question::RedGreen:
            return last_ = redGreenAnswer(t);
        case Question::PlusQuarter:
            return last_ = plusQuarterAnswer(t);
        case Question::CrossCylinder:
            break;
        }
        return last_;
    }

private:
    Refraction need_;
    Reading reading_;
    Lens lens_;
    bool ccIn_ = false;
    int position_ = 90;
    std::string last_;
};

void expectSameSteps(const ExpertRun& a, const ExpertRun& b) {
    ASSERT_EQ(a.steps.size(), b.steps.size());
    for (size_t i = 0; i < a.steps.size(); ++i) {
        EXPECT_EQ(a.steps[i].action, b.steps[i].action) << i;
        EXPECT_EQ(a.steps[i].lens, b.steps[i].lens) << i;
        EXPECT_EQ(a.steps[i].answer, b.steps[i].answer) << i;
        EXPECT_EQ(a.steps[i].reason, b.steps[i].reason) << i;
    }
    EXPECT_EQ(a.lens, b.lens);
    EXPECT_EQ(a.questions, b.questions);
}

}  // namespace

TEST(Expert, ReachesTheCorrectionOfDrawnCustomers) {
    for (uint64_t code = 1; code <= 60; ++code)
        for (uint64_t customer : {uint64_t{0}, code % 7}) {
            WindowExamRoom room(CaseCode(code * 7919), customer);
            const ExpertRun run = refract(room);
            const Form1& f = room.form();
            SCOPED_TRACE(CaseCode(code * 7919).text() + " customer " + std::to_string(customer));
            EXPECT_EQ(run.lens.S, f.seikaiS);
            EXPECT_EQ(run.lens.C, f.seikaiC);
            EXPECT_EQ(run.lens.A, f.seikaiA);
            EXPECT_EQ(room.endScore(), 100);
            EXPECT_EQ(f.Label23.caption, "100 点");
        }
}

TEST(Expert, PlaysTheSampleCustomerInSampleMode) {
    const ExpertResult result = playExpert(CaseCode(12345), 3, true);
    EXPECT_EQ(result.run.lens, (Lens{-3.25, -1.5, 56}));
    EXPECT_EQ(result.score, 100);
    // The reading it starts from is the sample's, whatever the code.
    WindowExamRoom room(CaseCode(999), 0, true);
    const Reading r = room.reading();
    EXPECT_EQ(r.S, -3.5);
    EXPECT_EQ(r.C, -1.25);
    EXPECT_EQ(r.A, 60);
}

// Corrections of every kind, read by the machine anywhere it may err: the expert follows the
// answers it is given to that customer's own correction.
TEST(Expert, FollowsTheAnswersOfAMadeUpCustomerToItsCorrection) {
    int cases = 0;
    for (double S : {-8.0, -2.25, 0.0, 3.5, 6.75})
        for (double C : {-0.25, -0.75, -1.75, -3.0})
            for (int A : {1, 17, 45, 90, 133, 180})
                for (int err = 0; err < 4; ++err) {
                    const Reading reading{S - 0.25 * err, C - 0.25 * ((err + 1) % 4),
                                          (A + 9 * (err % 2 ? 1 : -1) + 179) % 180 + 1};
                    TableCustomer customer({S, C, static_cast<double>(A)}, reading);
                    const ExpertRun run = refract(customer);
                    SCOPED_TRACE(refractionText(S, C, A) + " read " + refractionText(reading.S, reading.C, reading.A));
                    EXPECT_EQ(run.lens, (Lens{S, C, A}));
                    ++cases;
                }
    EXPECT_EQ(cases, 480);
}

// The window gives the answers the tables give: the same steps at the window and from the
// tables for the window's customer.
TEST(Expert, TheWindowAnswersAsTheTables) {
    for (uint64_t code = 100; code < 120; ++code) {
        WindowExamRoom room(CaseCode(code), 2);
        const Form1& f = room.form();
        TableCustomer customer({f.seikaiS, f.seikaiC, f.seikaiA}, room.reading());
        const ExpertRun atTables = refract(customer);
        expectSameSteps(refract(room), atTables);
    }
}

TEST(Expert, IsDeterministicAndFollowsTheTradesOrder) {
    const std::vector<std::string> order = {kWhyFog,       kWhyCylinder,   kWhyUnfog,    kWhyRedGreen,
                                            kWhyCrossAxis, kWhyCrossPower, kWhyEndPoint, kWhyAcuityHunt};
    for (uint64_t code : {7u, 8u, 9u, 40u, 41u}) {
        const ExpertResult first = playExpert(CaseCode(code), 1);
        expectSameSteps(first.run, playExpert(CaseCode(code), 1).run);

        // Reasons only move forward through the procedure, except that the dial's axis is
        // read while fogging; each question is a step with an answer.
        size_t at = 0;
        int questions = 0;
        for (const ExpertStep& step : first.run.steps) {
            const std::string why = step.reason == kWhyAxis ? kWhyFog : step.reason;
            const auto it = std::find(order.begin(), order.end(), why);
            ASSERT_NE(it, order.end()) << why;
            const size_t i = static_cast<size_t>(it - order.begin());
            EXPECT_GE(i, at) << step.action;
            at = i;
            questions += !step.answer.empty();
        }
        EXPECT_EQ(questions, first.run.questions);
        EXPECT_EQ(first.run.steps.back().lens, first.run.lens);
    }
}
