#include "app/teaching/record.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "display/geometry.h"
#include "subject/answers.h"

int64_t SteadyRecordClock::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

WallTime RecordClock::wallNow() const {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since).count();
    std::tm local{};
    localtime_r(&seconds, &local);
    return {std::chrono::duration_cast<std::chrono::milliseconds>(since).count(),
            static_cast<int>(local.tm_gmtoff / 60)};
}

std::string isoDateTime(const WallTime& t) {
    // Whole seconds of local time, rounded down also before 1970.
    const int64_t ms = t.epochMs + int64_t{t.offsetMinutes} * 60'000;
    const int64_t seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    const int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const int64_t inDay = seconds - days * 86400;
    // The civil date of a day number (days since 1970-01-01), in 400-year eras from 0000-03-01.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2);
    const int offset = t.offsetMinutes < 0 ? -t.offsetMinutes : t.offsetMinutes;
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04lld-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", static_cast<long long>(year),
                  static_cast<int>(month), static_cast<int>(day), static_cast<int>(inDay / 3600),
                  static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60), t.offsetMinutes < 0 ? '-' : '+',
                  offset / 60, offset % 60);
    return buf;
}

int CaseRecord::questions() const {
    if (tally) return tally->questions;
    int n = 0;
    for (const Step& s : steps) n += s.kind == StepKind::Question;
    return n;
}

int CaseRecord::hints() const {
    if (tally) return tally->hints;
    int n = 0;
    for (const Step& s : steps) n += s.kind == StepKind::Hint;
    return n;
}

int CaseRecord::actions() const {
    if (tally) return tally->actions;
    return static_cast<int>(steps.size()) - 1 - hints();  // steps[0] is the start
}

int64_t CaseRecord::durationMs() const { return result().timeMs; }

bool CaseRecord::modeChanged() const {
    if (tally) return tally->modeChanged;
    for (const Step& step : steps)
        if (step.kind == StepKind::Mode) return true;
    return false;
}

namespace {

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

Residual residualBetween(const Refraction& correction, const Refraction& lens) {
    Residual r;
    r.zanyo = zanyoDosuu(correction, lens);
    r.equivalent = touka(r.zanyo.S, r.zanyo.C);
    r.blur = bokeRyou(r.zanyo.S, r.zanyo.C);
    r.axisDifference = static_cast<int>(std::abs(lens.A - correction.A));
    r.score = tennsuu(r.zanyo, static_cast<int>(lens.A), correction.A);
    return r;
}

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
    case StepKind::Hint:
        return "ヒント";
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

void Recorder::startCode(const WindowSetting& setting, const CaseCode& code) {
    leaveCase();
    beginCase(setting, code, 0);
}

void Recorder::resumeAt(std::vector<CaseRecord> kept, const WindowSetting& setting, const CaseCode& code,
                        uint64_t customer) {
    cases_ = std::move(kept);
    casesBegun_ = cases_.size();
    beginCase(setting, code, customer);
}

void Recorder::leaveCase() {
    if (cases_.empty() || cases_.back().status != CaseStatus::Measuring) return;
    // A customer nobody did anything with leaves nothing to review or compare.
    if (cases_.back().steps.size() == 1)
        cases_.pop_back();
    else
        cases_.back().status = CaseStatus::Abandoned;
}

void Recorder::beginCase(const WindowSetting& setting, const CaseCode& code, uint64_t customer) {
    CaseRecord c;
    c.code = code;
    c.customer = customer;
    c.steps.reserve(64);
    cases_.push_back(std::move(c));
    ++casesBegun_;
    caseStartMs_ = clock_.nowMs();
    cases_.back().started = clock_.wallNow();
    WindowEvent start;
    start.kind = WindowEventKind::NewCustomer;
    start.after = setting;
    addStep(start, StepKind::Start, 0);
}

void Recorder::addStep(const WindowEvent& e, StepKind kind, int choice) {
    const WindowSetting& now = e.after;
    CaseRecord& c = cases_.back();
    Step& s = c.steps.emplace_back();
    s.timeMs = clock_.nowMs() - caseStartMs_;
    s.kind = kind;
    s.choice = choice;
    for (int i = 0; i < 3; ++i) s.lensBars[i] = now.bars[i];
    s.lens = now.lens;
    s.crossCylinder = {now.crossCylinderIn, now.handle, now.front};
    s.correction = now.correction;
    s.residual = residualBetween(s.correction, s.lens);
    s.answered = e.answered;
    s.answer = e.answer;
    c.mode = now.mode;
    // Only a new customer and the sample mode change the reading.
    if (kind == StepKind::Start || kind == StepKind::Mode) {
        c.reading = now.reading;
        c.readingLens = now.readingLens;
    }
}

void Recorder::hintAsked(const WindowSetting& setting) {
    if (cases_.empty()) return;
    WindowEvent e;
    e.after = setting;
    addStep(e, StepKind::Hint, 0);
}

void Recorder::windowEvent(const WindowEvent& e) {
    if (cases_.empty()) return;  // nothing to add to before startCode
    switch (e.kind) {
    case WindowEventKind::Nothing:
        return;
    case WindowEventKind::NewCustomer: {
        const CaseCode code = cases_.back().code;
        const uint64_t next = cases_.back().customer + 1;
        leaveCase();
        beginCase(e.after, code, next);
        return;
    }
    case WindowEventKind::Lens:
        addStep(e,
                e.bar == LensBar::Sphere     ? StepKind::Sphere
                : e.bar == LensBar::Cylinder ? StepKind::Cylinder
                                             : StepKind::Axis,
                0);
        return;
    case WindowEventKind::CrossCylinderIn:
        addStep(e, StepKind::CrossCylinderIn, 0);
        return;
    case WindowEventKind::CrossCylinderOut:
        addStep(e, StepKind::CrossCylinderOut, 0);
        return;
    case WindowEventKind::CrossCylinderTurn:
        addStep(e, StepKind::CrossCylinderTurn, 0);
        return;
    case WindowEventKind::CrossCylinderFlip:
        addStep(e, StepKind::CrossCylinderFlip, 0);
        return;
    case WindowEventKind::Chart:
        addStep(e, StepKind::Chart, static_cast<int>(e.after.chart));
        return;
    case WindowEventKind::Question:
        addStep(e, StepKind::Question, static_cast<int>(e.question));
        return;
    case WindowEventKind::Mode:
        if (e.after.mode == Mode::Sample) {
            // The sample customer takes the place of the one being measured, under its number: the
            // code's later customers keep theirs.
            const CaseCode code = cases_.back().code;
            const uint64_t customer = cases_.back().customer;
            leaveCase();
            beginCase(e.after, code, customer);
            return;
        }
        addStep(e, StepKind::Mode, static_cast<int>(e.after.mode));
        return;
    case WindowEventKind::End: {
        addStep(e, StepKind::End, 0);
        CaseRecord& c = cases_.back();
        c.status = CaseStatus::Ended;
        c.endStep = c.steps.size() - 1;
        return;
    }
    }
}
