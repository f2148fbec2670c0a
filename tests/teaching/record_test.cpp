// The record of a sitting: the steps of a case, the window left exactly as it would be without
// the record, the review of a case, and the sitting's table and CSV.

#include "app/teaching/record.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/teaching/review.h"
#include "app/teaching/sitting.h"
#include "subject/answers.h"
#include "tests/test_support.h"

namespace {

// A window, its recorder, and the trainee's hands: every action goes to the window, which tells
// the recorder what it did.
struct RecordedWindow {
    TestForm t;
    FakeRecordClock clock;
    Recorder recorder{clock};

    explicit RecordedWindow(float S = -1, float C = -1, float A = 90, uint64_t code = 42) {
        t.setCase(S, C, A);
        t->setObserver(&recorder);
        recorder.startCode(t->setting(), CaseCode(code));
    }
    Form1& w() { return *t; }
    const CaseRecord& current() { return *recorder.current(); }
    const Step& last() { return current().steps.back(); }

    void click(CommandButton& b) { b.userClick(); }
    void select(OptionButton& o) { o.userSelect(); }
    void arrow(HScrollBar& s, int direction) { s.userArrow(direction); }
    void release(HScrollBar& s, int value) { s.userRelease(value); }
};

// The lens of the bars as the window's rules give it, worked out here independently.
Refraction lensOf(const Form1& w) {
    return {(w.HScroll1.value() - 40) / -4.0, w.HScroll2.value() / -4.0, 180.0 - w.HScroll3.value()};
}

void expectSame(const Refraction& a, const Refraction& b, const std::string& where) {
    EXPECT_EQ(a.S, b.S) << where;
    EXPECT_EQ(a.C, b.C) << where;
    EXPECT_EQ(a.A, b.A) << where;
}

TEST(Record, StepsOfAScriptedCase) {
    RecordedWindow s;  // hidden correction S -1.00, C -1.00, A 90
    Form1& w = s.w();
    const Refraction need{-1, -1, 90};
    std::vector<int64_t> times = {0};

    auto after = [&](int64_t ms, auto action) {
        s.clock.now += ms;
        times.push_back(times.back() + ms);
        action();
    };
    after(2500, [&] { s.arrow(w.HScroll1, +1); });    // S -0.25
    after(1200, [&] { s.release(w.HScroll1, 44); });  // S -1.00
    after(800, [&] { s.select(w.Option6); });         // the red-green chart
    s.select(w.Option3);                              // a question chosen: nothing yet
    after(3000, [&] { s.click(w.Command6); });
    after(500, [&] { s.click(w.Command2); });
    after(400, [&] { s.arrow(w.HScroll4, -1); });
    after(300, [&] { s.click(w.Command3); });
    after(300, [&] { s.click(w.Command4); });
    after(1000, [&] { s.release(w.HScroll2, 2); });  // C -0.50
    after(1000, [&] { s.arrow(w.HScroll3, -1); });   // A 91
    after(61'000, [&] { s.click(w.Command5); });
    // In test mode the window takes nothing more after the end.
    s.arrow(w.HScroll1, +1);
    s.click(w.Command6);

    const CaseRecord& c = s.current();
    std::vector<std::string> phrases;
    for (const Step& step : c.steps) phrases.push_back(stepPhrase(step));
    EXPECT_EQ(phrases, (std::vector<std::string>{"開始", "球面 -0.25Ｄ", "球面 -1.00Ｄ", "視標：ＲＧテスト",
                                                 "質問：赤と緑", "クロスシリンダー つかう",
                                                 "クロスシリンダー 中間軸 91°", "クロスシリンダー 反転",
                                                 "クロスシリンダー はずす", "円柱 -0.50Ｄ", "軸 91°", "測定終了"}));
    ASSERT_EQ(c.steps.size(), times.size());
    for (size_t i = 0; i < c.steps.size(); ++i) EXPECT_EQ(c.steps[i].timeMs, times[i]) << i;

    // Every step's residual is the window's residual function of the hidden correction and
    // the lens then, in test mode too, where the window shows none of it.
    const std::vector<Refraction> lenses = {{0, 0, 90},  {-0.25, 0, 90}, {-1, 0, 90},    {-1, 0, 90},
                                            {-1, 0, 90}, {-1, 0, 90},    {-1, 0, 90},    {-1, 0, 90},
                                            {-1, 0, 90}, {-1, -0.5, 90}, {-1, -0.5, 91}, {-1, -0.5, 91}};
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& step = c.steps[i];
        const std::string where = "step " + std::to_string(i);
        expectSame(step.lens, lenses[i], where);
        const Refraction zanyo = zanyoDosuu(need, lenses[i]);
        expectSame(step.residual.zanyo, zanyo, where);
        EXPECT_EQ(step.residual.equivalent, zanyo.S + zanyo.C / 2) << where;
        EXPECT_EQ(step.residual.blur, bokeRyou(zanyo.S, zanyo.C)) << where;
        EXPECT_EQ(step.residual.axisDifference, std::abs(static_cast<int>(lenses[i].A) - 90)) << where;
        EXPECT_EQ(step.residual.score, tennsuu(zanyo, static_cast<int>(lenses[i].A), 90)) << where;
    }
    const Step& question = c.steps[4];
    EXPECT_TRUE(question.answered);
    EXPECT_FALSE(question.answer.empty());
    EXPECT_EQ(question.answer, redGreenAnswer(question.residual.equivalent));
    EXPECT_EQ(c.questions(), 1);

    EXPECT_FALSE(c.steps[4].crossCylinder.in);
    EXPECT_TRUE(c.steps[5].crossCylinder.in);
    EXPECT_EQ(c.steps[5].crossCylinder.handle, 90);  // along the lens axis
    EXPECT_EQ(c.steps[6].crossCylinder.handle, 91);
    EXPECT_TRUE(c.steps[6].crossCylinder.front);
    EXPECT_FALSE(c.steps[7].crossCylinder.front);
    EXPECT_EQ(crossCylinderText(c.steps[7].crossCylinder), "中間軸 91° うら");
    EXPECT_EQ(crossCylinderText(c.steps[8].crossCylinder), "なし");

    // The end: the result is what the window reveals.
    EXPECT_EQ(c.status, CaseStatus::Ended);
    ASSERT_TRUE(c.endStep);
    EXPECT_EQ(*c.endStep, c.steps.size() - 1);
    const Step& end = c.result();
    EXPECT_EQ(lensText(end), w.Label15.caption);
    EXPECT_EQ(dosuuHyouki(end.residual.zanyo.S, end.residual.zanyo.C, end.residual.zanyo.A), w.Label19.caption);
    EXPECT_EQ(std::to_string(end.residual.score) + " 点", w.Label23.caption);
    expectSame(end.residual.zanyo, {w.zanyoS, w.zanyoC, w.zanyoA}, "end");
    EXPECT_EQ(c.durationMs(), 72'000);
    EXPECT_EQ(durationText(c.durationMs()), "1分12秒");
}

TEST(Record, ModesAndTheSampleCustomer) {
    RecordedWindow s(2.5f, -0.75f, 10);
    Form1& w = s.w();
    s.select(w.Option11);
    EXPECT_EQ(stepPhrase(s.last()), "練習モード");
    EXPECT_EQ(s.current().mode, Mode::Practice);
    s.select(w.Option12);
    // The sample customer is a case of its own, under the same number; the practice customer is
    // kept, abandoned. Its start has the sample's correction, residual and reading.
    ASSERT_EQ(s.recorder.cases().size(), 2u);
    EXPECT_EQ(s.recorder.cases()[0].status, CaseStatus::Abandoned);
    EXPECT_EQ(s.current().customer, s.recorder.cases()[0].customer);
    EXPECT_EQ(s.current().mode, Mode::Sample);
    EXPECT_EQ(stepPhrase(s.last()), "開始");
    expectSame(s.last().correction, {-3.25, -1.5, 56}, "sample");
    expectSame(s.last().residual.zanyo, zanyoDosuu({-3.25, -1.5, 56}, lensOf(w)), "sample");
    EXPECT_EQ(s.current().reading, "Ｓ-3.50Ｄ Ｃ-1.25Ｄ Ａ60°");
    s.select(w.Option12);  // already selected: nothing happens, nothing is recorded
    EXPECT_EQ(s.current().steps.size(), 1u);

    // After the end in sample mode the lens still moves and is recorded; the result stays the end's.
    s.click(w.Command5);
    const int endScore = s.current().result().residual.score;
    s.arrow(w.HScroll1, -1);
    EXPECT_EQ(stepPhrase(s.last()), "球面 +0.25Ｄ");
    EXPECT_EQ(s.current().steps.size(), 3u);
    EXPECT_EQ(s.current().result().residual.score, endScore);
}

TEST(Record, AQuestionTheCustomerIgnoresHasNoAnswer) {
    RecordedWindow s;
    Form1& w = s.w();
    s.click(w.Command6);  // the acuity question: answered
    ASSERT_TRUE(s.last().answered);
    // No chart chosen (the window cannot be brought there by hand, but its handler allows it):
    // the label keeps the last answer, which is not this question's.
    w.Option5.setSelected(false);
    s.click(w.Command6);
    EXPECT_EQ(stepPhrase(s.last()), "質問：視力表");
    EXPECT_TRUE(w.Label16.visible);
    EXPECT_FALSE(s.last().answered);
    EXPECT_EQ(s.current().questions(), 2);
}

TEST(Record, NewCustomersAndNewCodes) {
    RecordedWindow s;
    Form1& w = s.w();
    s.click(w.STARTbutton);  // hidden while measuring: refused
    EXPECT_EQ(s.recorder.cases().size(), 1u);

    s.clock.now += 4000;
    s.click(w.Command5);
    s.clock.now += 9000;
    s.click(w.STARTbutton);
    ASSERT_EQ(s.recorder.cases().size(), 2u);
    EXPECT_EQ(s.recorder.cases()[0].status, CaseStatus::Ended);
    const CaseRecord& second = s.current();
    EXPECT_EQ(second.customer, 1u);
    EXPECT_EQ(second.code, CaseCode(42));
    EXPECT_EQ(second.status, CaseStatus::Measuring);
    ASSERT_EQ(second.steps.size(), 1u);
    EXPECT_EQ(second.steps[0].timeMs, 0);
    expectSame(second.steps[0].correction, {w.seikaiS, w.seikaiC, w.seikaiA}, "new customer");

    // A new code while measuring: the customer is kept, as abandoned.
    s.arrow(w.HScroll1, 1);
    s.recorder.startCode(w.setting(), CaseCode(7));
    ASSERT_EQ(s.recorder.cases().size(), 3u);
    EXPECT_EQ(s.recorder.cases()[1].status, CaseStatus::Abandoned);
    EXPECT_EQ(s.current().code, CaseCode(7));
    EXPECT_EQ(s.current().customer, 0u);
}

// ------------------------------------------------------------------ the window is left alone

std::string bitsOf(double d) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(std::bit_cast<uint64_t>(d)));
    return buf;
}

// Everything a handler can change, and what the window asked of the machine.
std::string everything(TestForm& t) {
    std::string out;
    for (const Control* c : t->controls()) {
        out += c->name() + (c->visible ? " v" : " h") + (c->enabled ? "e" : "d");
        for (float f : {c->left, c->top, c->width, c->height}) out += " " + bitsOf(f);
        if (auto* f = dynamic_cast<const Frame*>(c)) out += " [" + f->caption + "]";
        if (auto* l = dynamic_cast<const Label*>(c)) out += " [" + l->caption + "]";
        if (auto* b = dynamic_cast<const CommandButton*>(c)) out += " [" + b->caption + "]";
        if (auto* o = dynamic_cast<const OptionButton*>(c)) out += " [" + o->caption + "]" + (o->selected() ? "*" : "");
        if (auto* s = dynamic_cast<const HScrollBar*>(c)) out += " =" + std::to_string(s->value());
        if (auto* k = dynamic_cast<const Circle*>(c)) out += " fill" + std::to_string(k->fillStyle);
        if (auto* l = dynamic_cast<const Line*>(c))
            for (float f : {l->x1, l->y1, l->x2, l->y2}) out += " " + bitsOf(f);
        out += "\n";
    }
    const Form1& w = *t;
    for (double d : {double(w.seikaiS), double(w.seikaiC), double(w.seikaiA), w.foroS, w.foroC, double(w.foroA),
                     w.zanyoS, w.zanyoC, w.zanyoA, w.zanyoTan, w.zuX1, w.zuY1, w.zuX2, w.zuY2, double(w.ccJiku),
                     double(w.akaJiku), double(w.shiroJiku)})
        out += bitsOf(d) + " ";
    out += "\nbeeps " + std::to_string(t.platform.beeps) + " quits " + std::to_string(t.platform.quits) + " prints " +
           std::to_string(t.platform.prints) + " notices " + std::to_string(t.platform.notices.size()) + " draws " +
           std::to_string(t.random.draws);
    return out;
}

TEST(Record, TheWindowIsTheSameWithAndWithoutTheRecord) {
    TestForm bare, watched;
    FakeRecordClock clock;
    Recorder recorder(clock);
    watched->setObserver(&recorder);
    recorder.startCode(watched->setting(), CaseCode(1));
    ASSERT_EQ(everything(bare), everything(watched));

    std::mt19937 rng(20261208);
    std::vector<std::string> names;
    for (const Control* c : bare->controls())
        if (c->kind() == Kind::Button || c->kind() == Kind::Option || c->kind() == Kind::HScroll)
            names.push_back(c->name());
    // Customers drawn from the same numbers in both windows.
    auto feed = [&](TestForm& t, uint32_t seed) {
        std::mt19937 numbers(seed);
        for (int i = 0; i < 4000; ++i) t.random.queue.push_back(static_cast<float>(numbers() >> 8) * 0x1p-24f);
    };
    feed(bare, 7);
    feed(watched, 7);

    size_t steps = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string& name = names[rng() % names.size()];
        if (name == "Command1") continue;  // END: the program would be gone
        const int how = static_cast<int>(rng() % 3);
        const int value = static_cast<int>(rng() % 200) - 10;
        for (TestForm* t : {&bare, &watched}) {
            Control* c = (*t)->find(name);
            if (auto* b = dynamic_cast<CommandButton*>(c)) b->userClick();
            if (auto* o = dynamic_cast<OptionButton*>(c)) o->userSelect();
            if (auto* s = dynamic_cast<HScrollBar*>(c)) {
                if (how == 0) s->userArrow(value % 2 ? 1 : -1);
                if (how == 1) s->userTrack(value % 2 ? 1 : -1);
                if (how == 2) s->userRelease(value);
            }
        }
        clock.now += 350;
        if (i % 750 == 749) recorder.startCode(watched->setting(), CaseCode(i));
        const std::string a = everything(bare), b = everything(watched);
        ASSERT_EQ(a, b) << "after action " << i << " on " << name;
    }
    for (const CaseRecord& c : recorder.cases()) steps += c.steps.size();
    // The walk reached many customers, and each of them was recorded.
    EXPECT_GT(recorder.cases().size(), 10u);
    EXPECT_GT(steps, 500u);
}

// ------------------------------------------------------------------ review

// A case with the given residual spherical equivalents, cylinders and axis differences.
CaseRecord caseOf(std::vector<std::array<double, 3>> values) {
    CaseRecord c;
    for (size_t i = 0; i < values.size(); ++i) {
        Step s;
        s.kind = i == 0 ? StepKind::Start : StepKind::Sphere;
        s.residual.equivalent = values[i][0];
        s.residual.zanyo.C = values[i][1];
        s.residual.axisDifference = static_cast<int>(values[i][2]);
        c.steps.push_back(s);
    }
    return c;
}

TEST(Review, PlotOfASmallCase) {
    CaseRecord c = caseOf({{-1, -0.5, 20}, {-0.5, -0.5, 10}, {0, 0, 0}});
    c.steps[1].kind = StepKind::Question;
    c.steps[1].answered = true;
    c.steps[1].answer = "緑がよく見えます";
    const ReviewPlot p = reviewPlot(c, 400, 300);
    // Plot area 56..356 x 14..270: the dioptres run from -1 (bottom) to 0 (top).
    EXPECT_EQ(p.left, 56);
    EXPECT_EQ(p.right, 356);
    EXPECT_EQ(p.top, 14);
    EXPECT_EQ(p.bottom, 270);
    auto xs = [](const std::vector<PlotPoint>& v) {
        std::vector<std::pair<double, double>> out;
        for (const PlotPoint& q : v) out.emplace_back(q.x, q.y);
        return out;
    };
    using Points = std::vector<std::pair<double, double>>;
    EXPECT_EQ(xs(p.equivalent), (Points{{56, 270}, {206, 142}, {356, 14}}));
    EXPECT_EQ(xs(p.cylinder), (Points{{56, 142}, {206, 142}, {356, 14}}));
    EXPECT_EQ(xs(p.axisDifference), (Points{{56, 14}, {206, 142}, {356, 270}}));
    EXPECT_EQ(p.zeroY, 14);

    auto labels = [](const PlotScale& s) {
        std::vector<std::string> out;
        for (const PlotTick& t : s.ticks) out.push_back(t.label);
        return out;
    };
    EXPECT_EQ(labels(p.dioptres), (std::vector<std::string>{"-1", "-0.75", "-0.5", "-0.25", "0"}));
    EXPECT_EQ(labels(p.degrees), (std::vector<std::string>{"0°", "5°", "10°", "15°", "20°"}));
    EXPECT_EQ(labels(p.steps), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(p.dioptres.ticks.front().at, 270);
    EXPECT_EQ(p.steps.ticks.back().at, 356);

    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(p.questions[0].step, 1u);
    EXPECT_EQ(p.questions[0].at.x, 206);
    EXPECT_EQ(p.questions[0].at.y, 142);
    EXPECT_EQ(p.questions[0].text, "緑がよく見えます");
}

TEST(Review, AnswersSlantAwayFromTheEdgesTheyWouldLeave) {
    // Questions at the top left, the middle and the top right of the plot.
    CaseRecord c = caseOf({{-2, 0, 0}, {0, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {0, 0, 0}});
    for (size_t i : {1, 3, 6}) {
        c.steps[i].kind = StepKind::Question;
        c.steps[i].answered = true;
        c.steps[i].answer = "赤の方がよく見えます";
    }
    const ReviewPlot p = reviewPlot(c, kReviewPlotWidth, kReviewPlotHeight);
    std::vector<const PlotText*> answers;
    for (const PlotText& t : p.texts)
        if (t.text == "赤の方がよく見えます") answers.push_back(&t);
    ASSERT_EQ(answers.size(), 3u);
    ASSERT_EQ(p.questions.size(), 3u);
    // At the top: downwards; in the middle: upwards; near the right edge: ending at the ring.
    EXPECT_GT(answers[0]->angle, 0);
    EXPECT_GT(answers[0]->at.y, p.questions[0].at.y);
    EXPECT_EQ(answers[0]->anchor, TextAnchor::Start);
    EXPECT_LT(answers[1]->angle, 0);
    EXPECT_LT(answers[1]->at.y, p.questions[1].at.y);
    EXPECT_EQ(answers[1]->anchor, TextAnchor::Start);
    EXPECT_EQ(answers[2]->anchor, TextAnchor::End);
    EXPECT_LT(answers[2]->angle, 0);  // rising to the ring from below left
    EXPECT_GT(answers[2]->at.y, p.questions[2].at.y);
    // One ring per question, on the equivalent line.
    ASSERT_EQ(p.rings.size(), 3u);
    EXPECT_EQ(p.rings[1].centre.y, p.questions[1].at.y);
}

TEST(Review, ScalesStayReadableForLongAndFlatCases) {
    // 500 steps, all on zero: the scales still span something, and the step ticks are spaced.
    const ReviewPlot flat = reviewPlot(caseOf(std::vector<std::array<double, 3>>(501, {0, 0, 0})), 640, 320);
    EXPECT_LT(flat.dioptres.min, flat.dioptres.max);
    EXPECT_EQ(flat.degrees.max, 10);
    EXPECT_EQ(flat.steps.max, 500);
    EXPECT_LE(flat.steps.ticks.size(), 13u);
    for (const PlotPoint& q : flat.equivalent) {
        EXPECT_GE(q.x, flat.left);
        EXPECT_LE(q.x, flat.right);
        EXPECT_EQ(q.y, flat.zeroY);
    }
    // A single step and a plot too small for its margins give finite coordinates.
    const ReviewPlot tiny = reviewPlot(caseOf({{3.5, -2, 179}}), 10, 10);
    ASSERT_EQ(tiny.equivalent.size(), 1u);
    EXPECT_TRUE(std::isfinite(tiny.equivalent[0].x) && std::isfinite(tiny.equivalent[0].y));
    EXPECT_GE(tiny.dioptres.max, 3.5);
    EXPECT_LE(tiny.dioptres.min, -2);
}

TEST(Review, TableSummaryAndWordsOfARecordedCase) {
    RecordedWindow s(-1, -1, 90);
    Form1& w = s.w();
    s.clock.now += 12'000;
    s.arrow(w.HScroll1, 1);
    s.clock.now += 3'000;
    s.click(w.Command6);
    EXPECT_FALSE(reviewShown(s.current()));  // test mode, still measuring
    s.clock.now += 5'000;
    s.click(w.Command5);
    EXPECT_TRUE(reviewShown(s.current()));

    const auto rows = reviewTable(s.current());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1],
              (ReviewRow{"1", "0分12秒", "球面 -0.25Ｄ", "Ｓ-0.25Ｄ Ｃ 0.00Ｄ Ａ90°",
                         dosuuHyouki(s.current().steps[1].residual.zanyo.S, s.current().steps[1].residual.zanyo.C,
                                     s.current().steps[1].residual.zanyo.A),
                         ""}));
    EXPECT_EQ(rows[2][2], "質問：視力表");
    EXPECT_EQ(rows[2][5], w.Label16.caption);
    EXPECT_EQ(rows[3][2], "測定終了");

    const auto summary = reviewSummary(s.current());
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(summary, (Pairs{{"手順数", "3"},
                              {"質問数", "1"},
                              {"所要時間", "0分20秒"},
                              {"最後の残余度数", w.Label19.caption},
                              {"点数", w.Label23.caption}}));

    const std::string words = reviewPlotText(s.current());
    EXPECT_EQ(words.substr(0, words.find('\n')), "0 開始：等価球面 -1.50Ｄ、円柱 -1.00Ｄ、軸のずれ 0°");
    EXPECT_NE(
        words.find("2 質問：視力表：等価球面 -1.25Ｄ、円柱 -1.00Ｄ、軸のずれ 0°、答え「" + w.Label16.caption + "」\n"),
        std::string::npos);
}

// ------------------------------------------------------------------ the sitting's record

// Reads CSV as RFC 4180 writes it: quoted fields with doubled quotes, CR LF between records.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (ch == '"') {
                quoted = false;
            } else {
                field += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            records.back().emplace_back();
        } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.emplace_back(1);
            ++i;
        } else {
            field += ch;
        }
    }
    if (records.back() == std::vector<std::string>(1)) records.pop_back();
    return records;
}

TEST(SittingRecord, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(csvField("Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°"), "Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csvField("cr\rhere"), "\"cr\rhere\"");
    const std::vector<std::string> awkward = {"a,b", "say \"hi\"", "two\r\nlines", "\"", ",", "plain", ""};
    std::string line;
    for (const std::string& f : awkward) line += (line.empty() ? "" : ",") + csvField(f);
    const auto back = parseCsv(line + "\r\n");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], awkward);
}

TEST(SittingRecord, RowsWithTheWindowsTextsAndTheCsvBytes) {
    RecordedWindow s(-1, -1, 90, 1234567890);
    Form1& w = s.w();
    s.clock.now += 65'000;
    s.release(w.HScroll1, 44);
    s.release(w.HScroll2, 4);
    s.click(w.Command6);
    s.click(w.Command5);
    const SittingRow expectedFirst = {
        "1",
        "テストモード",
        "014S-C0PJ-V",
        w.Label17.caption.substr(0, w.Label17.caption.size() - std::string(" です。").size()),
        refractionText(-1, -1, 90),
        w.Label15.caption,
        w.Label19.caption,
        w.Label23.caption,
        "1",
        "1分05秒"};
    s.click(w.STARTbutton);
    s.arrow(w.HScroll1, 1);
    s.recorder.startCode(w.setting(), CaseCode(5));  // the second customer is left unfinished
    s.arrow(w.HScroll1, 1);                          // the third is being measured, in test mode

    const auto rows = sittingRows(s.recorder.cases());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], expectedFirst);
    EXPECT_EQ(rows[0][7], "100 点");
    EXPECT_EQ(rows[1][1], "テストモード");
    EXPECT_EQ(rows[1][4], "");  // a test left unfinished keeps its correct value
    EXPECT_EQ(rows[1][5], "中断");
    EXPECT_EQ(rows[1][6], "");
    EXPECT_EQ(rows[1][7], "中断");
    EXPECT_EQ(rows[2][2], "0000-0005-5");
    EXPECT_EQ(rows[2][4], "");  // the hidden correction is not given away while measuring
    EXPECT_EQ(rows[2][6], "");
    EXPECT_EQ(rows[2][7], "測定中");

    const std::string csv = sittingCsv(s.recorder.cases());
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const std::string header =
        "番号,モード,問題コード,オートレフ値,完全補正度数,測定結果,誤差,点数,質問数,所要時間\r\n";
    EXPECT_EQ(csv.substr(3, header.size()), header);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
    for (size_t i = 0; i < csv.size(); ++i)
        if (csv[i] == '\n') {
            ASSERT_EQ(csv[i - 1], '\r') << "a line ended by LF alone at " << i;
        }
    const auto parsed = parseCsv(csv.substr(3));
    ASSERT_EQ(parsed.size(), 4u);
    for (size_t r = 0; r < rows.size(); ++r)
        EXPECT_EQ(parsed[r + 1], std::vector<std::string>(rows[r].begin(), rows[r].end())) << r;
}

TEST(SittingRecord, AverageAndBestOfTheEndedCases) {
    RecordedWindow s(-1, -1, 90);
    Form1& w = s.w();
    EXPECT_EQ(scoreSummaryText(s.recorder.cases()), "");
    s.release(w.HScroll1, 44);
    s.release(w.HScroll2, 4);
    s.click(w.Command5);  // 100
    s.click(w.STARTbutton);
    s.click(w.Command5);
    const int second = s.current().result().residual.score;
    s.click(w.STARTbutton);
    s.recorder.startCode(w.setting(), CaseCode(9));  // abandoned: not counted
    const auto summary = scoreSummary(s.recorder.cases());
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->ended, 2);
    EXPECT_EQ(summary->best, 100);
    EXPECT_EQ(summary->average, (100 + second) / 2.0);
    EXPECT_EQ(scoreSummaryText(s.recorder.cases()),
              "平均 " + shortestDecimal((100 + second) / 2.0) + " 点　最高 100 点");
}

TEST(SittingRecord, FileNameHasTheCodeAndTheDate) {
    EXPECT_EQ(csvFileName(CaseCode(1234567890), {2026, 12, 8}), "記録_014S-C0PJ_2026-12-08.csv");
    // A check symbol of '*' never reaches the name.
    EXPECT_EQ(csvFileName(CaseCode(32), {2027, 1, 31}), "記録_0000-0010_2027-01-31.csv");
}

}  // namespace
