// The record of a sitting: the steps of a case, the window left exactly as it would be without
// the record, the review of a case, and the sitting's table and CSV.

#include "app/teaching/record.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    const ReviewPlot p = reviewPlot(c, 400, 284);
    // Plot area 56..356 x 14..254: the dioptres run from -1 (bottom) to +0.5 (top), a third of
    // their span above zero, where the angle scale stands on their zero and their grid lines.
    EXPECT_EQ(p.left, 56);
    EXPECT_EQ(p.right, 356);
    EXPECT_EQ(p.top, 14);
    EXPECT_EQ(p.bottom, 254);
    auto xs = [](const std::vector<PlotPoint>& v) {
        std::vector<std::pair<double, double>> out;
        for (const PlotPoint& q : v) out.emplace_back(q.x, q.y);
        return out;
    };
    using Points = std::vector<std::pair<double, double>>;
    EXPECT_EQ(xs(p.equivalent), (Points{{56, 254}, {206, 174}, {356, 94}}));
    EXPECT_EQ(xs(p.cylinder), (Points{{56, 174}, {206, 174}, {356, 94}}));
    EXPECT_EQ(xs(p.axisDifference), (Points{{56, 14}, {206, 54}, {356, 94}}));
    EXPECT_EQ(p.zeroY, 94);

    auto labels = [](const PlotScale& s) {
        std::vector<std::string> out;
        for (const PlotTick& t : s.ticks) out.push_back(t.label);
        return out;
    };
    EXPECT_EQ(labels(p.dioptres), (std::vector<std::string>{"-1", "-0.75", "-0.5", "-0.25", "0", "+0.25", "+0.5"}));
    EXPECT_EQ(labels(p.degrees), (std::vector<std::string>{"0°", "10°", "20°"}));
    EXPECT_EQ(labels(p.steps), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(p.dioptres.ticks.front().at, 254);
    EXPECT_EQ(p.steps.ticks.back().at, 356);
    // Each angle tick on a dioptre grid line, 0° on 0 D.
    for (const PlotTick& a : p.degrees.ticks)
        EXPECT_TRUE(std::ranges::any_of(p.dioptres.ticks, [&](const PlotTick& d) { return d.at == a.at; })) << a.label;
    EXPECT_EQ(p.degrees.ticks.front().at, p.zeroY);
    EXPECT_EQ(p.degrees.max, 20);
    EXPECT_EQ(p.degrees.min, -40);  // the value the bottom edge would stand for

    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(p.questions[0].step, 1u);
    EXPECT_EQ(p.questions[0].at.x, 206);
    EXPECT_EQ(p.questions[0].at.y, 174);
    EXPECT_EQ(p.questions[0].text, "緑がよく見えます");
    EXPECT_EQ(p.questions[0].label, "緑がよく見えます");
}

TEST(Review, TextsAreMeasuredInTheFontTheViewsDrawThem) {
    // Advances of the proportional IPA Gothic at 10 px (2048 units per em).
    EXPECT_DOUBLE_EQ(plotTextWidth("", 10), 0);
    EXPECT_DOUBLE_EQ(plotTextWidth("面", 10), 10);  // one em
    EXPECT_DOUBLE_EQ(plotTextWidth("+0.5", 10), (1290 + 1290 + 541 + 1290) * 10 / 2048.0);
    EXPECT_DOUBLE_EQ(plotTextWidth("見えます", 10), (2048 + 1802 + 1720 + 1843) * 10 / 2048.0);
    EXPECT_DOUBLE_EQ(plotTextWidth("10°", 20), (1290 + 1290 + 696) * 20 / 2048.0);
    // A broken sequence counts as one character, and nothing is read past the end.
    EXPECT_DOUBLE_EQ(plotTextWidth("\xE8\xA6", 10), 10);

    // A text placed by its middle or end starts where its width says, along its own direction.
    const ReviewPlot p = reviewPlot(caseOf({{-1, -0.5, 20}, {0, 0, 0}}), kReviewPlotWidth, kReviewPlotHeight);
    for (const PlotText& t : p.texts) EXPECT_DOUBLE_EQ(t.width, plotTextWidth(t.text, t.size)) << t.text;
    for (const PlotTick& tick : p.steps.ticks) {
        const auto label =
            std::ranges::find_if(p.texts, [&](const PlotText& t) { return t.text == tick.label && t.at.y > p.bottom; });
        ASSERT_NE(label, p.texts.end()) << tick.label;
        EXPECT_NEAR(label->at.x + label->width / 2, tick.at, 1e-9);
    }
    const auto title = std::ranges::find(p.texts, p.dioptres.title, &PlotText::text);
    ASSERT_NE(title, p.texts.end());
    EXPECT_EQ(title->angle, -90);  // read upwards: it starts below the middle
    EXPECT_NEAR(title->at.y, (p.top + p.bottom) / 2 + title->width / 2, 1e-9);
}

TEST(Review, AnswerLabelsNeitherOverlapNorCoverRingsNorLeaveThePlot) {
    // Many questions close together, at the top and bottom edges and at both ends, answered with
    // long and short texts; and a plot crowded past what its labels can hold.
    const std::vector<std::string> answers = {
        "赤の方がよく見えます", "どちらも同じに見えます",   "はい",
        "ぼやけて見えます",     "おもての方がよく見えます", "9時-3時方向の線がよく見えます"};
    for (size_t steps : {12u, 40u, 200u}) {
        std::vector<std::array<double, 3>> values;
        for (size_t i = 0; i <= steps; ++i)
            values.push_back({i % 7 == 0 ? -3.0 : i % 5 == 0 ? 1.0 : -0.25 * static_cast<double>(i % 3), -0.5, 10});
        CaseRecord c = caseOf(values);
        for (size_t i = 1; i <= steps; ++i) {
            if (i % 4 == 3) continue;
            c.steps[i].kind = StepKind::Question;
            c.steps[i].answered = true;
            c.steps[i].answer = answers[i % answers.size()];
        }
        const ReviewPlot p = reviewPlot(c, kReviewPlotWidth, kReviewPlotHeight);
        const PlotBox area{p.left, p.top, p.right, p.bottom};
        std::vector<PlotBox> labels;
        size_t full = 0, numbered = 0;
        const size_t first =
            p.texts.size() - std::ranges::count_if(p.questions, [](const PlotMark& m) { return !m.label.empty(); });
        for (size_t i = first; i < p.texts.size(); ++i) labels.push_back(textBox(p.texts[i]));
        size_t next = first;
        for (const PlotMark& m : p.questions) {
            if (m.label.empty()) continue;
            const PlotText& t = p.texts[next++];
            EXPECT_EQ(t.text, m.label);
            EXPECT_EQ(t.angle, 0);
            full += m.label == m.text;
            numbered += m.label == std::to_string(m.step);
            EXPECT_TRUE(m.label == m.text || m.label == std::to_string(m.step)) << m.label;
            // Beside its own ring: within two lines of it.
            const PlotBox b = textBox(t);
            EXPECT_LT(std::max({b.top - m.at.y, m.at.y - b.bottom, b.left - m.at.x, m.at.x - b.right}), 2 * t.size + 8)
                << m.label;
        }
        EXPECT_GT(full, 0u) << steps;
        if (steps > 12) {
            EXPECT_GT(numbered, 0u) << steps;
        }
        for (size_t a = 0; a < labels.size(); ++a) {
            EXPECT_TRUE(labels[a].within(area)) << steps << " " << p.texts[first + a].text;
            for (size_t b = a + 1; b < labels.size(); ++b)
                EXPECT_FALSE(labels[a].meets(labels[b]))
                    << steps << " " << p.texts[first + a].text << " / " << p.texts[first + b].text;
            for (const PlotRing& r : p.rings) {
                const double reach = r.radius + r.pen.width / 2;
                const PlotBox ring{r.centre.x - reach, r.centre.y - reach, r.centre.x + reach, r.centre.y + reach};
                EXPECT_FALSE(labels[a].meets(ring)) << steps << " " << p.texts[first + a].text;
            }
        }
    }
}

TEST(Review, ScalesStayReadableForLongAndFlatCases) {
    // 500 steps, all on zero: the scales still span something, and the step ticks are spaced.
    const ReviewPlot flat = reviewPlot(caseOf(std::vector<std::array<double, 3>>(501, {0, 0, 0})), 640, 320);
    EXPECT_LT(flat.dioptres.min, flat.dioptres.max);
    EXPECT_EQ(flat.degrees.max, 10);
    EXPECT_EQ(flat.degrees.ticks.front().at, flat.zeroY);
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

    const std::string csv = sittingCsv(s.recorder.cases(), "O\"Neil, 花子");
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const std::string header =
        "番号,モード,問題コード,オートレフ値,完全補正度数,測定結果,誤差,点数,質問数,所要時間,"
        "correction_S,correction_C,correction_A,result_S,result_C,result_A,score,questions,steps,seconds,started,"
        "status,name,code,expert_questions,checks_passed,checks_made,hints\r\n";
    EXPECT_EQ(csv.substr(3, header.size()), header);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
    for (size_t i = 0; i < csv.size(); ++i)
        if (csv[i] == '\n') {
            ASSERT_EQ(csv[i - 1], '\r') << "a line ended by LF alone at " << i;
        }
    const auto parsed = parseCsv(csv.substr(3));
    ASSERT_EQ(parsed.size(), 4u);
    for (size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> expected(rows[r].begin(), rows[r].end());
        const SittingDataRow data = sittingDataRow(s.recorder.cases()[r], "O\"Neil, 花子");
        expected.insert(expected.end(), data.begin(), data.end());
        // Without the expert's records nothing is judged; the hints are counted.
        expected.insert(expected.end(), {"", "", "", "0"});
        EXPECT_EQ(parsed[r + 1], expected) << r;
    }

    // One value per cell. The ended case: the lens dialled (44 is -1.00, 4 is -1.00) at axis 90.
    const auto& cases = s.recorder.cases();
    const SittingDataRow ended = sittingDataRow(cases[0], "O\"Neil, 花子");
    const SittingDataRow endedExpected = {"-1.00",
                                          "-1.00",
                                          "90",
                                          "-1.00",
                                          "-1.00",
                                          "90",
                                          "100",
                                          "1",
                                          "4",
                                          "65",
                                          "2026-12-09T19:23:20+09:00",
                                          "ended",
                                          "O\"Neil, 花子",
                                          "014S-C0PJ-V"};
    EXPECT_EQ(ended, endedExpected);
    // Abandoned: the correction shows, no result and no score.
    const SittingDataRow abandoned = sittingDataRow(cases[1], "");
    EXPECT_NE(abandoned[0], "");
    for (size_t i : {3, 4, 5, 6, 12}) EXPECT_EQ(abandoned[i], "") << i;
    EXPECT_EQ(abandoned[11], "abandoned");
    EXPECT_EQ(abandoned[8], "1");
    // Measuring in test mode: the hidden correction is not given away either.
    const SittingDataRow measuring = sittingDataRow(cases[2], "");
    for (size_t i : {0, 1, 2, 3, 4, 5, 6}) EXPECT_EQ(measuring[i], "") << i;
    EXPECT_EQ(measuring[11], "measuring");
    EXPECT_EQ(measuring[13], "0000-0005-5");
}

TEST(SittingRecord, PlainNumbersHaveNoSignOfPlusOrOfZero) {
    EXPECT_EQ(plainDioptre(-1.25), "-1.25");
    EXPECT_EQ(plainDioptre(3.5), "3.50");
    EXPECT_EQ(plainDioptre(0.0), "0.00");
    EXPECT_EQ(plainDioptre(-0.0), "0.00");
    EXPECT_EQ(plainDioptre(-0.001), "0.00");
    EXPECT_EQ(plainDioptre(-10), "-10.00");
}

TEST(SittingRecord, StartTimesAreIsoWithTheirOffset) {
    EXPECT_EQ(isoDateTime({1'796'806'800'000, 540}), "2026-12-09T18:00:00+09:00");
    EXPECT_EQ(isoDateTime({1'796'806'800'999, 0}), "2026-12-09T09:00:00+00:00");
    EXPECT_EQ(isoDateTime({1'796'806'800'000, -210}), "2026-12-09T05:30:00-03:30");
    // Across midnight and a leap day; before 1970 rounds down too.
    EXPECT_EQ(isoDateTime({951'825'600'000, 720}), "2000-03-01T00:00:00+12:00");
    EXPECT_EQ(isoDateTime({951'825'600'000, -720}), "2000-02-29T00:00:00-12:00");
    EXPECT_EQ(isoDateTime({-1, 0}), "1969-12-31T23:59:59+00:00");
    EXPECT_EQ(isoDateTime({0, 0}), "1970-01-01T00:00:00+00:00");
    // The machine's own clock is written the same way.
    const std::string now = isoDateTime(SteadyRecordClock().wallNow());
    EXPECT_EQ(now.size(), 25u) << now;
    EXPECT_EQ(now[10], 'T') << now;
}

TEST(SittingRecord, NamesAreKeptCleanedAndWithinTheirLength) {
    EXPECT_EQ(cleanTraineeName("  山田　花子　 "), "山田　花子");
    EXPECT_EQ(cleanTraineeName("\u3000髙橋\t𠮷子\r\n"), "髙橋𠮷子");
    EXPECT_EQ(cleanTraineeName("a\x7F\xC2\x85"
                               "b"),
              "ab");  // DEL and NEL are control characters
    EXPECT_EQ(cleanTraineeName(""), "");
    std::string many;
    for (int i = 0; i < 50; ++i) many += "あ";
    const std::string kept = cleanTraineeName(many);
    EXPECT_EQ(kept.size(), kTraineeNameLength * 3);
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

TEST(SittingRecord, FileNameHasTheWholeCodeTheNameAndTheDate) {
    EXPECT_EQ(csvFileName(CaseCode(1234567890), "", {2026, 12, 8}), "記録_014S-C0PJ-V_2026-12-08.csv");
    EXPECT_EQ(csvFileName(CaseCode(1234567890), "山田　花子", {2026, 12, 8}),
              "記録_014S-C0PJ-V_山田　花子_2026-12-08.csv");
    // A check symbol '*' is written '_', and the code reader takes it back.
    const std::string name = csvFileName(CaseCode(32), "", {2027, 1, 31});
    EXPECT_EQ(name, "記録_0000-0010-__2027-01-31.csv");
    EXPECT_EQ(CaseCode::parse(name.substr(std::string("記録_").size(), 11)), CaseCode(32));
    // What file systems refuse in a name.
    EXPECT_EQ(csvFileName(CaseCode(1), "a/b\\c:d*e?f\"g<h>i|j", {2027, 1, 31}),
              "記録_0000-0001-1_a_b_c_d_e_f_g_h_i_j_2027-01-31.csv");
}

TEST(SittingRecord, PrintedHeadingAndPageNumbers) {
    EXPECT_EQ(recordHeading("山田", CaseCode(1234567890), {2026, 12, 8}),
              "名前 山田　問題コード 014S-C0PJ-V　2026-12-08");
    EXPECT_EQ(recordHeading("", CaseCode(1234567890), {2026, 12, 8}), "問題コード 014S-C0PJ-V　2026-12-08");
    EXPECT_EQ(pageNumberText(2, 3), "2 / 3");
}

}  // namespace

TEST(Sitting, CellsBreakBetweenPartsAndInRepeatedWordsOnly) {
    using Parts = std::vector<std::string>;
    // A lens text into its three parts, "Ｓ 0.00Ｄ" whole; a number before its unit.
    EXPECT_EQ(cellParts("Ｓ-10.00Ｄ Ｃ-5.00Ｄ Ａ180°"), (Parts{"Ｓ-10.00Ｄ ", "Ｃ-5.00Ｄ ", "Ａ180°"}));
    EXPECT_EQ(cellParts("Ｓ 0.00Ｄ Ｃ 0.00Ｄ Ａ90°"), (Parts{"Ｓ 0.00Ｄ ", "Ｃ 0.00Ｄ ", "Ａ90°"}));
    EXPECT_EQ(cellParts("41 点"), (Parts{"41 ", "点"}));
    EXPECT_EQ(cellParts("クロスシリンダー 中間軸 180°"), (Parts{"クロスシリンダー ", "中間軸 180°"}));
    EXPECT_EQ(cellParts("球面 -1.25Ｄ"), (Parts{"球面 -1.25Ｄ"}));
    // The repeated words: a mode, a duration, a case code after its first hyphen only.
    EXPECT_EQ(cellParts("サンプルモード"), (Parts{"サンプル", "モード"}));
    EXPECT_EQ(cellParts("モード"), (Parts{"モード"}));
    EXPECT_EQ(cellParts("12分05秒"), (Parts{"12分", "05秒"}));
    EXPECT_EQ(cellParts("014S-C0PJ-V"), (Parts{"014S-", "C0PJ-V"}));
    EXPECT_EQ(cellParts("9時-3時方向の線がよく見えます"), (Parts{"9時-3時方向の線がよく見えます"}));
    EXPECT_EQ(cellParts(""), (Parts{""}));
    EXPECT_EQ(cellParts("測定中 "), (Parts{"測定中 "}));

    // For the page: zero-width spaces at breaks that are no space, parts held together.
    EXPECT_EQ(withLineBreaks("Ｓ 0.00Ｄ Ｃ-1.00Ｄ Ａ90°"), "Ｓ\u00A00.00Ｄ Ｃ\u2060-\u20601.00Ｄ Ａ90°");
    EXPECT_EQ(withLineBreaks("Ｓ+5.25Ｄ"), "Ｓ\u2060+5.25Ｄ");
    EXPECT_EQ(withLineBreaks("014S-C0PJ-V"), "014S-\u200BC0PJ-\u2060V");
    EXPECT_EQ(withLineBreaks("テストモード"), "テスト\u200Bモード");
    EXPECT_EQ(withLineBreaks("3"), "3");
    // A sentence breaks between its characters, but not before a closing mark or a small kana,
    // and not inside "S+0.25D" or "１．５".
    const std::string z = kLineBreakMark;
    EXPECT_EQ(sentenceLineBreaks("とS+0.25Dを"), "と" + z + "S+0.25D" + z + "を");
    EXPECT_EQ(sentenceLineBreaks("１．５まで見えます"),
              "１．５" + z + "ま" + z + "で" + z + "見" + z + "え" + z + "ま" + z + "す");
    EXPECT_EQ(sentenceLineBreaks("視力表、どこ？"), "視" + z + "力" + z + "表、" + z + "ど" + z + "こ？");
    EXPECT_EQ(sentenceLineBreaks("ちょっと（え～っ？）"), "ちょっ" + z + "と" + z + "（え～っ？）");
}
