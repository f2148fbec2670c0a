#include "app/teaching/record.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/form1/form1.h"
#include "display/geometry.h"
#include "subject/answers.h"

int64_t SteadyRecordClock::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int CaseRecord::questions() const {
    int n = 0;
    for (const Step& s : steps) n += s.kind == StepKind::Question;
    return n;
}

int64_t CaseRecord::durationMs() const { return result().timeMs; }

namespace {

// The lens of the three bars, by the window's own rules (Form1::readPhoropter).
Refraction lensOfBars(int16_t h1, int16_t h2, int16_t h3) {
    return Refraction{static_cast<int16_t>(h1 - 40) / -4.0, h2 / -4.0,
                      static_cast<double>(static_cast<int16_t>(180 - h3))};
}

Residual residualBetween(const Refraction& correction, const Refraction& lens) {
    Residual r;
    r.zanyo = zanyoDosuu(correction, lens);
    r.equivalent = touka(r.zanyo.S, r.zanyo.C);
    r.blur = bokeRyou(r.zanyo.S, r.zanyo.C);
    r.axisDifference = static_cast<int>(std::abs(lens.A - correction.A));
    r.score = tennsuu(r.zanyo, static_cast<int>(lens.A), correction.A);
    return r;
}

Refraction correctionOf(const Form1& f) { return Refraction{f.seikaiS, f.seikaiC, f.seikaiA}; }

Mode modeOf(const Form1& f) {
    if (f.Option11.selected()) return Mode::Practice;
    if (f.Option12.selected()) return Mode::Sample;
    return Mode::Test;
}

std::string axisDegrees(int degrees) {
    // As the readouts write it: 0 is the same direction as 180.
    return std::to_string(degrees == 0 ? 180 : degrees) + "°";
}

// The head of each question's caption.
const char* questionName(int question) {
    switch (static_cast<Question>(question)) {
    case Question::Acuity:
        return "視力表";
    case Question::Dial:
        return "乱視表";
    case Question::RedGreen:
        return "赤と緑";
    case Question::PlusQuarter:
        return "Ｓ＋0.25Ｄ";
    case Question::CrossCylinder:
        return "おもてとうら";
    }
    return "";
}

}  // namespace

std::string dioptreText(double d) {
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "+" + std::string at -O3.
    if (d > 0) return std::string("+").append(format00(d)).append("Ｄ");
    if (d == 0) return "0.00Ｄ";
    return format00(d) + "Ｄ";
}

std::string modeName(Mode mode) {
    switch (mode) {
    case Mode::Practice:
        return "練習モード";
    case Mode::Sample:
        return "サンプルモード";
    case Mode::Test:
        break;
    }
    return "テストモード";
}

std::string stepPhrase(const Step& step) {
    switch (step.kind) {
    case StepKind::Start:
        return "開始";
    case StepKind::Sphere:
        return "球面 " + dioptreText(step.lens.S);
    case StepKind::Cylinder:
        return "円柱 " + dioptreText(step.lens.C);
    case StepKind::Axis:
        return "軸 " + axisDegrees(static_cast<int>(step.lens.A));
    case StepKind::CrossCylinderIn:
        return "クロスシリンダー つかう";
    case StepKind::CrossCylinderOut:
        return "クロスシリンダー はずす";
    case StepKind::CrossCylinderTurn:
        return "クロスシリンダー 中間軸 " + axisDegrees(step.crossCylinder.handle);
    case StepKind::CrossCylinderFlip:
        return "クロスシリンダー 反転";
    case StepKind::Chart:
        return std::string("視標：") + chartName(static_cast<Chart>(step.choice));
    case StepKind::Question:
        return std::string("質問：") + questionName(step.choice);
    case StepKind::Mode:
        return modeName(static_cast<Mode>(step.choice));
    case StepKind::End:
        return "測定終了";
    }
    return "";
}

std::string lensText(const Step& step) {
    return spherePart(step.lens.S) + " " + cylinderReadout(step.lens.C).value_or("") + " " +
           axisReadout(static_cast<int>(step.lens.A)).value_or("");
}

std::string crossCylinderText(const CrossCylinderState& cc) {
    if (!cc.in) return "なし";
    return "中間軸 " + axisDegrees(cc.handle) + (cc.front ? " おもて" : " うら");
}

std::string durationText(int64_t ms) {
    const int64_t seconds = ms < 0 ? 0 : ms / 1000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld分%02lld秒", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return buf;
}

Refraction lensOnBars(const Form1& f) { return lensOfBars(f.HScroll1.value(), f.HScroll2.value(), f.HScroll3.value()); }

Residual residualOf(const Form1& f) {
    return residualBetween(correctionOf(f), lensOfBars(f.HScroll1.value(), f.HScroll2.value(), f.HScroll3.value()));
}

Recorder::Seen Recorder::look(const Form1& f) {
    Seen s;
    s.bars[0] = f.HScroll1.value();
    s.bars[1] = f.HScroll2.value();
    s.bars[2] = f.HScroll3.value();
    s.bars[3] = f.HScroll4.value();
    s.crossCylinderIn = f.Frame4.visible;
    s.front = f.Label20.caption != "うら";
    s.chart = static_cast<int>(f.selectedChart());
    s.mode = modeOf(f);
    s.ended = !f.Command5.visible;
    s.canAsk = f.Command6.takesInput();
    s.canRestart = f.STARTbutton.takesInput();
    return s;
}

void Recorder::startCode(const Form1& form, const CaseCode& code) {
    if (!cases_.empty() && cases_.back().status == CaseStatus::Measuring) cases_.back().status = CaseStatus::Abandoned;
    beginCase(form, code, 0);
}

void Recorder::beginCase(const Form1& form, const CaseCode& code, uint64_t customer) {
    CaseRecord c;
    c.code = code;
    c.customer = customer;
    c.steps.reserve(64);
    cases_.push_back(std::move(c));
    caseStartMs_ = clock_.nowMs();
    addStep(form, look(form), StepKind::Start, 0);
}

void Recorder::addStep(const Form1& f, const Seen& now, StepKind kind, int choice) {
    CaseRecord& c = cases_.back();
    Step& s = c.steps.emplace_back();
    s.timeMs = clock_.nowMs() - caseStartMs_;
    s.kind = kind;
    s.choice = choice;
    for (int i = 0; i < 3; ++i) s.lensBars[i] = now.bars[i];
    s.lens = lensOfBars(s.lensBars[0], s.lensBars[1], s.lensBars[2]);
    s.crossCylinder = {now.crossCylinderIn, handleDirection(now.bars[3]), now.front};
    s.correction = correctionOf(f);
    s.residual = residualBetween(s.correction, s.lens);
    // A question the handler ignores (no chart chosen) leaves the last answer standing: not this one's.
    if (kind == StepKind::Question && f.Label16.visible &&
        checkChart(static_cast<Question>(choice), f.selectedChart()) != ChartCheck::Ignored) {
        s.answered = true;
        s.answer = f.Label16.caption;
    }
    seen_ = now;
    c.mode = now.mode;
    // Only a new customer and the sample mode change the reading. Kept without the window's " です。".
    if (kind == StepKind::Start || kind == StepKind::Mode) {
        constexpr std::string_view kTail = " です。";
        std::string_view reading = f.Label17.caption;
        if (reading.ends_with(kTail)) reading.remove_suffix(kTail.size());
        c.reading = reading;
    }
}

void Recorder::observe(const Form1& form, const UserAction& action) {
    if (cases_.empty()) return;  // nothing to add to before startCode
    const Seen before = seen_;
    const Seen now = look(form);
    const std::string_view name = action.control;

    if (name == "STARTbutton") {
        if (before.canRestart && !form.STARTbutton.visible) {
            CaseRecord& done = cases_.back();
            if (done.status == CaseStatus::Measuring) done.status = CaseStatus::Abandoned;
            beginCase(form, done.code, done.customer + 1);
        } else {
            seen_ = now;
        }
        return;
    }

    std::optional<std::pair<StepKind, int>> step;
    if (name == "HScroll1" && now.bars[0] != before.bars[0])
        step = {StepKind::Sphere, 0};
    else if (name == "HScroll2" && now.bars[1] != before.bars[1])
        step = {StepKind::Cylinder, 0};
    else if (name == "HScroll3" && now.bars[2] != before.bars[2])
        step = {StepKind::Axis, 0};
    else if (name == "HScroll4" && now.bars[3] != before.bars[3])
        step = {StepKind::CrossCylinderTurn, 0};
    else if (name == "Command2" && now.crossCylinderIn && !before.crossCylinderIn)
        step = {StepKind::CrossCylinderIn, 0};
    else if (name == "Command4" && !now.crossCylinderIn && before.crossCylinderIn)
        step = {StepKind::CrossCylinderOut, 0};
    else if (name == "Command3" && now.front != before.front)
        step = {StepKind::CrossCylinderFlip, 0};
    else if ((name == "Option5" || name == "Option6" || name == "Option7" || name == "Option8") &&
             now.chart != before.chart)
        step = {StepKind::Chart, now.chart};
    else if ((name == "Option10" || name == "Option11" || name == "Option12") && now.mode != before.mode)
        step = {StepKind::Mode, static_cast<int>(now.mode)};
    else if (name == "Command6" && before.canAsk) {
        // Asked even when the handler ignores it for want of a chart; then without an answer.
        if (const auto q = form.selectedQuestion()) step = {StepKind::Question, static_cast<int>(*q)};
    } else if (name == "Command5" && now.ended && !before.ended)
        step = {StepKind::End, 0};

    if (!step) {
        seen_ = now;
        return;
    }
    addStep(form, now, step->first, step->second);
    CaseRecord& c = cases_.back();
    if (step->first == StepKind::End) {
        c.status = CaseStatus::Ended;
        c.endStep = c.steps.size() - 1;
    }
}
