#include "app/teaching/procedure.h"

#include <cmath>
#include <cstdlib>

#include "subject/answers.h"

namespace {

// Every check: its name, what it allows and why, and the sentence the trainee reads.
//
// | check            | allowed                          | why that much                          |
// |------------------|----------------------------------|----------------------------------------|
// | dial fogged      | no dial question unfogged        | the window's own fog rule (fogOf): an  |
// |                  |                                  | unfogged customer guesses              |
// | axis first       | the first power question after   | handle within kHandleTolerance of the  |
// |                  | the first axis question          | lens axis (axis) or of 45° off (power) |
// | equivalent kept  | |ΔSE| ≤ kEquivalentSlack when    | half a quarter: a change of 0.75 in    |
// |                  | |ΔC| ≥ kCylinderChange between   | cylinder cannot keep the equivalent    |
// |                  | two questions                    | closer with quarter-dioptre spheres    |
// | end point        | red-green or S+0.25 D asked with | the last sphere is what the customer   |
// |                  | the lens ended with              | leaves with                            |
// | over-minus       | ended under kOverMinus, at most  | a quarter over is where S+0.25 D is    |
// |                  | kOverMinusSteps steps at         | wanted; the trade's unfogging and      |
// |                  | kOverMinusOnTheWay or more       | balance step a quarter past it now and |
// |                  |                                  | then                                   |
// | puzzled          | no question the chart cannot     | え～っ？ is never an answer            |
// |                  | answer                           |                                        |
// | counts           | questions and steps at most      | room for a cautious trainee, not for   |
// |                  | kCountFactor × the expert's +    | a search by trial and error            |
// |                  | kCountSlack                      |                                        |
constexpr int kHandleTolerance = 10;        // degrees
constexpr double kCylinderChange = 0.5;     // D
constexpr double kEquivalentSlack = 0.125;  // D
constexpr double kOverMinus = 0.25;         // D of residual spherical equivalent towards plus, at the end
constexpr double kOverMinusOnTheWay = 0.5;  // D, on the way
constexpr int kOverMinusSteps = 8;
constexpr double kCountFactor = 1.5;
constexpr int kCountSlack = 6;

struct Wording {
    const char* name;
    const char* why;
};
constexpr Wording kDialFogged{
    "雲霧して放射線視標", "放射線視標は雲霧したときだけ乱視の軸を教えてくれます。雲霧せずに得た答えは当て推量です。"};
constexpr Wording kAxisFirst{"クロスシリンダーは軸が先、度数が後",
                             "軸がずれたまま度数を合わせると、その度数は軸を直したときに合わなくなります。"};
constexpr Wording kEquivalentKept{"円柱を変えたら等価球面を保つ",
                                  "円柱を0.50Ｄ変えたら球面を0.25Ｄ逆に動かし、最小錯乱円を網膜の上に保ちます。"};
constexpr Wording kEndPoint{"最後の球面のあとに終点確認",
                            "赤緑テストかＳ+0.25Ｄで確かめてはじめて、最もプラス寄りの終点とわかります。"};
constexpr Wording kNotOverMinus{"マイナス過多にしない",
                                "実際の目は調節してマイナス過多を隠すので、はじめから避ける習慣をつけます。"};
constexpr Wording kChartFits{"視標に合った質問", "視標に合わない質問には、お客様は答えられません（え～っ？）。"};
constexpr Wording kCounts{"質問数と手順数", "少ない質問で確かに進むほど、お客様は疲れず、答えも確かになります。"};
constexpr const Wording* kAllWordings[] = {&kDialFogged,   &kEndPoint,  &kAxisFirst, &kEquivalentKept,
                                           &kNotOverMinus, &kChartFits, &kCounts};

ProcedureCheck check(const Wording& w, bool good, std::vector<size_t> steps, std::string detail = {}) {
    return {w.name, good, std::move(steps), w.why, std::move(detail)};
}

// |b - a| between two axes, 0 to 90.
int axisGap(int a, int b) {
    const int d = std::abs(a - b) % 180;
    return d > 90 ? 180 - d : d;
}

// Steps up to the end (or all of a case not ended).
size_t lastStep(const CaseRecord& c) { return c.endStep ? *c.endStep : c.steps.size() - 1; }

bool isQuestion(const Step& s, Question q) { return s.kind == StepKind::Question && s.choice == static_cast<int>(q); }

double equivalentOf(const Refraction& lens) { return lens.S + lens.C / 2; }

}  // namespace

std::vector<ProcedureCheck> procedureReview(const CaseRecord& c, const CaseRecord& expert) {
    std::vector<ProcedureCheck> out;
    if (c.steps.empty()) return out;
    const size_t last = lastStep(c);

    // The dial under fog.
    std::vector<size_t> dial, unfogged;
    for (size_t i = 0; i <= last; ++i) {
        if (!isQuestion(c.steps[i], Question::Dial) || !c.steps[i].answered) continue;
        dial.push_back(i);
        if (fogOf(c.steps[i].residual.equivalent) == Fog::NotFogged) unfogged.push_back(i);
    }
    if (!dial.empty()) out.push_back(check(kDialFogged, unfogged.empty(), unfogged.empty() ? dial : unfogged));

    // The end point confirmed at the lens ended with.
    if (c.status == CaseStatus::Ended) {
        const Refraction& end = c.steps[last].lens;
        std::optional<size_t> confirmed;
        std::optional<size_t> lastSphere;
        for (size_t i = 0; i < last; ++i) {
            const Step& s = c.steps[i];
            if (s.kind == StepKind::Sphere) lastSphere = i;
            const bool confirming = isQuestion(s, Question::RedGreen) || isQuestion(s, Question::PlusQuarter);
            if (confirming && s.answered && s.lens.S == end.S && s.lens.C == end.C && s.lens.A == end.A) confirmed = i;
        }
        if (confirmed) {
            out.push_back(check(kEndPoint, true, {*confirmed}));
        } else {
            out.push_back(
                check(kEndPoint, false, lastSphere ? std::vector<size_t>{*lastSphere} : std::vector<size_t>{last}));
        }
    }

    // The cross cylinder: the axis before the power.
    std::optional<size_t> firstAxis, firstPower;
    for (size_t i = 0; i <= last; ++i) {
        const Step& s = c.steps[i];
        if (!isQuestion(s, Question::CrossCylinder) || !s.crossCylinder.in || !s.answered) continue;
        const int gap = axisGap(s.crossCylinder.handle, static_cast<int>(s.lens.A));
        if (gap <= kHandleTolerance && !firstAxis) firstAxis = i;
        if (std::abs(gap - 45) <= kHandleTolerance && !firstPower) firstPower = i;
    }
    if (firstPower) {
        const bool good = firstAxis && *firstAxis < *firstPower;
        out.push_back(check(kAxisFirst, good,
                            good ? std::vector<size_t>{*firstAxis, *firstPower} : std::vector<size_t>{*firstPower}));
    }

    // The spherical equivalent kept across a change of cylinder between two questions (the lens
    // set before the first question is where the trainee starts, not a change).
    std::vector<size_t> kept, lost;
    std::optional<size_t> previousQuestion;
    std::vector<size_t> cylinderSteps;
    for (size_t i = 0; i <= last; ++i) {
        const Step& s = c.steps[i];
        if (s.kind == StepKind::Cylinder) cylinderSteps.push_back(i);
        if (s.kind != StepKind::Question && i != last) continue;
        if (previousQuestion && !cylinderSteps.empty()) {
            const Refraction& before = c.steps[*previousQuestion].lens;
            if (std::abs(s.lens.C - before.C) >= kCylinderChange - 1e-9) {
                const bool ok = std::abs(equivalentOf(s.lens) - equivalentOf(before)) <= kEquivalentSlack + 1e-9;
                (ok ? kept : lost).insert((ok ? kept : lost).end(), cylinderSteps.begin(), cylinderSteps.end());
            }
        }
        if (s.kind == StepKind::Question) previousQuestion = i;
        cylinderSteps.clear();
    }
    if (!kept.empty() || !lost.empty()) out.push_back(check(kEquivalentKept, lost.empty(), lost.empty() ? kept : lost));

    // Over-minus: at the end, and on the way.
    std::vector<size_t> over;
    for (size_t i = 1; i <= last; ++i)
        if (c.steps[i].kind != StepKind::Hint && c.steps[i].residual.equivalent >= kOverMinusOnTheWay - 1e-9)
            over.push_back(i);
    const bool endedOver = c.status == CaseStatus::Ended && c.steps[last].residual.equivalent >= kOverMinus - 1e-9;
    const bool overGood = !endedOver && static_cast<int>(over.size()) <= kOverMinusSteps;
    out.push_back(check(kNotOverMinus, overGood, over,
                        "マイナス過多の手順 " + std::to_string(over.size()) + "、終了時 " +
                            dioptreText(c.steps[last].residual.equivalent)));

    // Questions the chart could not answer.
    std::vector<size_t> puzzled;
    for (size_t i = 0; i <= last; ++i)
        if (c.steps[i].kind == StepKind::Question &&
            (c.steps[i].answer == kPuzzled ||
             c.steps[i].answer == mismatchAnswer(static_cast<Question>(c.steps[i].choice))))
            puzzled.push_back(i);
    out.push_back(check(kChartFits, puzzled.empty(), puzzled));

    // The counts against the expert's.
    if (c.status == CaseStatus::Ended) {
        const int q = c.questions(), n = c.actions(), eq = expert.questions(), en = expert.actions();
        const auto within = [](int mine, int theirs) { return mine <= kCountFactor * theirs + kCountSlack; };
        out.push_back(check(kCounts, within(q, eq) && within(n, en), {},
                            "質問 " + std::to_string(q) + "（お手本 " + std::to_string(eq) + "）、手順 " +
                                std::to_string(n) + "（お手本 " + std::to_string(en) + "）"));
    }
    return out;
}

std::vector<std::string> procedureTexts() {
    std::vector<std::string> out = {kGood,   kCaution,    "マイナス過多の手順 ", "、終了時 ",
                                    "質問 ", "（お手本 ", "）、手順 ",           "）"};
    for (const Wording* w : kAllWordings) {
        out.push_back(w->name);
        out.push_back(w->why);
    }
    return out;
}
