#pragma once
// The record of a sitting: for each customer, one step per user action that changed what the
// customer is given or asked, with the lens, the cross cylinder, the answer and the residual
// after it. The recorder keeps what the window tells it (app/form1/events.h); it never sees the
// window itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1/events.h"
#include "app/teaching/case_code.h"
#include "optics/refraction.h"

// A moment on the wall clock: milliseconds since 1970-01-01 00:00 UTC, and how far the local
// time zone was then ahead of UTC.
struct WallTime {
    int64_t epochMs = 0;
    int offsetMinutes = 0;
};

// "2026-12-09T18:02:11+09:00": ISO 8601, the local date and time to the second with its offset.
std::string isoDateTime(const WallTime& t);

// Milliseconds from some fixed moment, and the wall clock. The program gives a steady clock and
// the system's wall clock with the machine's time zone; tests a fake one.
class RecordClock {
public:
    virtual ~RecordClock() = default;
    virtual int64_t nowMs() const = 0;
    virtual WallTime wallNow() const;
};

class SteadyRecordClock : public RecordClock {
public:
    int64_t nowMs() const override;
};

enum class StepKind {
    Start,   // the customer appeared
    Sphere,  // a lens change, by the bar that moved
    Cylinder,
    Axis,
    CrossCylinderIn,
    CrossCylinderOut,
    CrossCylinderTurn,  // the handle turned
    CrossCylinderFlip,
    Chart,
    Question,
    Mode,
    End,   // 測定終了正解は？
    Hint,  // a hint asked for in the panel: nothing changed in the window
};

// The residual of a setting as the window computes it, and what the score makes of it.
struct Residual {
    Refraction zanyo;        // zanyoDosuu(hidden correction, lens)
    double equivalent = 0;   // its spherical equivalent
    double blur = 0;         // its blur amount
    int axisDifference = 0;  // |lens axis - hidden axis|, the score's angle term
    int score = 0;
};

struct CrossCylinderState {
    bool in = false;
    int handle = 0;     // ccJiku, the handle direction 0..179
    bool front = true;  // "おもて" shows
};

struct Step {
    int64_t timeMs = 0;  // since the customer appeared
    StepKind kind = StepKind::Start;
    // Which chart, question or mode for those kinds (the enums' values).
    int choice = 0;
    int16_t lensBars[3] = {40, 0, 90};  // HScroll1..3
    Refraction lens;                    // foroS, foroC, foroA from those bars
    CrossCylinderState crossCylinder;
    Refraction correction;  // the hidden correction (the sample mode can replace it mid-case)
    Residual residual;
    bool answered = false;  // a question the customer answered: Label16 shows `answer`
    std::string answer;
};

enum class CaseStatus { Measuring, Ended, Abandoned };

// What a case kept in brief still says of its steps, which are not kept (a learning system holds
// a sitting in a few thousand characters): the counts the record shows and whether the mode was
// changed on the way.
struct CaseTally {
    int questions = 0;
    int actions = 0;
    int hints = 0;
    bool modeChanged = false;
    bool judged = false;  // the checks of the trainee's route below were made (an ended case)
    int checksPassed = 0;
    int checksMade = 0;
};

struct CaseRecord {
    CaseCode code;
    uint64_t customer = 0;  // 0 is the code's first customer
    CaseStatus status = CaseStatus::Measuring;
    Mode mode = Mode::Test;
    WallTime started;         // when the customer appeared
    std::string reading;      // the auto-refractor reading, as the window writes it
    Refraction readingLens;   // the same reading as numbers
    std::vector<Step> steps;  // steps[0] is the start
    // The step of 測定終了正解は？; the result, error and score are those of this step.
    std::optional<size_t> endStep;
    // Set for a case kept in brief: its steps are only the start and the result, and these are
    // its counts. Such a case has no route to review.
    std::optional<CaseTally> tally;

    const Step& result() const { return endStep ? steps[*endStep] : steps.back(); }
    // In test mode, until the end, the correct value and what follows from it are not shown.
    bool hiddenUntilEnd() const { return ::hiddenUntilEnd(mode, status == CaseStatus::Measuring); }
    int questions() const;
    // The trainee's own steps: all but the customer's appearance and the hints.
    int actions() const;
    int hints() const;
    // The mode was changed after the customer appeared.
    bool modeChanged() const;
    // Time from the customer's appearance to the end (or to the last step when not ended).
    int64_t durationMs() const;
    // The correct value is kept from a test that never ended: the code may be played again.
    bool correctionHidden() const { return mode == Mode::Test && status != CaseStatus::Ended; }
};

// --- The phrases and texts the record shows ---

// What was done, in the words of the window's own captions: "開始", "球面 -1.25Ｄ", "円柱 -0.50Ｄ",
// "軸 90°", "クロスシリンダー つかう", "クロスシリンダー 中間軸 45°", "クロスシリンダー 反転",
// "クロスシリンダー はずす", "視標：ＲＧテスト", "質問：赤と緑", "練習モード", "測定終了".
std::string stepPhrase(const Step& step);
// The mode button's caption: "テストモード", "練習モード", "サンプルモード".
std::string modeName(Mode mode);
// The lens as the window's result shows it: "Ｓ-1.25Ｄ Ｃ-0.75Ｄ Ａ40°".
std::string lensText(const Step& step);
// The cross cylinder: "なし", or "中間軸 45° おもて".
std::string crossCylinderText(const CrossCylinderState& cc);
// "3分05秒": whole seconds, rounded down.
std::string durationText(int64_t ms);
// A signed dioptre value for the review: "+0.50Ｄ", "0.00Ｄ", "-1.25Ｄ".
std::string dioptreText(double d);

// The residual a lens leaves before a hidden correction, worked out with the window's own
// functions (zanyoDosuu, the score); also where the window has not computed it.
Residual residualBetween(const Refraction& correction, const Refraction& lens);

// --- Recording ---

class Recorder : public WindowObserver {
public:
    explicit Recorder(const RecordClock& clock) : clock_(clock) {}

    // A sitting with `code`: its first customer is now in the window, set as `setting` says
    // (Form_Load, or the window put back for a new code). A customer still being measured is
    // kept as abandoned.
    void startCode(const WindowSetting& setting, const CaseCode& code);
    // A record resumed from brief: the cases kept, then `customer` of `code` now in the window.
    void resumeAt(std::vector<CaseRecord> kept, const WindowSetting& setting, const CaseCode& code, uint64_t customer);

    // What the window says a user input did. A step when it changed what the customer is given
    // or asked (choosing a question is no step, asking it is); 再測定 starts the code's next
    // customer, and choosing the sample mode starts a case with the sample customer.
    void windowEvent(const WindowEvent& event) override;
    // A hint was asked for with the window as `setting` says: a step of the current case.
    void hintAsked(const WindowSetting& setting);

    const std::vector<CaseRecord>& cases() const { return cases_; }
    const CaseRecord* current() const { return cases_.empty() ? nullptr : &cases_.back(); }
    // How many cases have begun, those since dropped included: changes with every new customer.
    size_t casesBegun() const { return casesBegun_; }

private:
    void beginCase(const WindowSetting& setting, const CaseCode& code, uint64_t customer);
    void addStep(const WindowEvent& event, StepKind kind, int choice);
    // The case being measured is left for another: abandoned, or dropped when nothing was done.
    void leaveCase();

    const RecordClock& clock_;
    std::vector<CaseRecord> cases_;
    int64_t caseStartMs_ = 0;
    size_t casesBegun_ = 0;
};
