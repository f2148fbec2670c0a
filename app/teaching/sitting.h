#pragma once
// The sitting: one case code played in the window, customer after customer, and its record.
// 今回の記録 shows that record as a table, one row per customer, with the window's own texts,
// and writes it as CSV bytes for a spreadsheet.

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/form1/form1.h"
#include "app/teaching/brief.h"
#include "app/teaching/case_code.h"
#include "app/teaching/expert_window.h"
#include "app/teaching/journal.h"
#include "app/teaching/record.h"

struct CalendarDate {
    int year = 1970, month = 1, day = 1;
};

// What the procedure came to in a case, after the data columns and on the printout: the expert's
// questions for the same customer and the checks of 手順の振り返り passed and made (only once the
// case has ended: they judge it whole), and the hints asked for (counted from the first).
struct ProcedureFigures {
    bool judged = false;
    int expertQuestions = 0;
    int checksPassed = 0;
    int checksMade = 0;
    int hints = 0;
};

// Where a sitting is kept as it goes: told each journal line the moment it is written, and
// whether a case (or a code) has just ended, when a snapshot is due.
class SittingKeeper {
public:
    virtual ~SittingKeeper() = default;
    virtual void keep(const std::string& line, bool caseEnded) = 0;
};

// The window, the random streams of its code and the record, as both views run them. A view
// builds its widgets on form() and gives the user's input to its controls; the window tells the
// sitting what each input did. A view rebuilds its widgets when a new code has put a fresh window
// in place.
class Sitting : private WindowObserver {
public:
    // The window of `code`'s first customer, loaded as at start, and the record begun.
    // `startedMs` is the wall clock's time of the start, kept with the sitting.
    Sitting(Platform& platform, const RecordClock& clock, CaseCode code, int64_t startedMs = 0);
    // The window tells this sitting what each input did: it stays where it was made.
    Sitting(const Sitting&) = delete;
    Sitting& operator=(const Sitting&) = delete;

    Form1& form() { return *form_; }
    const Form1& form() const { return *form_; }
    const CaseCode& code() const { return random_->code(); }
    const Recorder& recorder() const { return *recorder_; }
    const std::vector<CaseRecord>& cases() const { return recorder_->cases(); }

    // What a screen reader is told after the last action: the end of a case with its score
    // (endAnnouncement) when that action ended one, else nothing.
    const std::string& announcement() const { return announcement_; }

    // Starting another code now would abandon a customer the trainee has begun to measure:
    // ask first.
    bool newCodeAbandonsWork() const;
    // What a code typed as `text` comes to: it cannot be read (the panel says so and nothing
    // changes), it would abandon a customer being measured and `confirmed` is false (the panel
    // asks first), or it starts now (startCode).
    enum class CodeAnswer { Unreadable, AskFirst, Start };
    CodeAnswer answerCode(const std::string& text, bool confirmed) const;

    // What the panel says beside the code field after the person's last attempt: that the code
    // cannot be read, or the question before abandoning a customer being measured. Each attempt
    // replaces what the one before said.
    struct CodePrompt {
        std::string message;   // "問題コードが正しくありません", or ""
        std::string question;  // asked with はい / いいえ (いいえ the default), or ""
    };
    const CodePrompt& codePrompt() const { return prompt_; }
    // A code typed as `text` and given: the code to start now (startCode), or nothing and the
    // prompt says why (the question waits for its answer, the code kept until then).
    std::optional<CaseCode> offerCode(const std::string& text);
    // The answer to the question: はい gives the code waiting, いいえ nothing; either way the
    // question goes.
    std::optional<CaseCode> answerAbandon(bool yes);
    // A fresh window for `code`'s first customer, as if the program had been started with it;
    // the customer being measured is kept in the record as abandoned. The old window is gone.
    void startCode(CaseCode code);

    // The case the review shows: the row chosen in the record, else the current case; nothing
    // while that case is one the trainee may not see yet (reviewShown). A new customer goes
    // back to following the current case.
    const CaseRecord* reviewed() const;
    std::optional<size_t> reviewedIndex() const;
    // Choose a row of the record (0 is the first customer); out of range follows the current case.
    void chooseCase(size_t index);
    // The row the record marks as current: the case the review shows (or the one chosen that has
    // no route to review), else (its review hidden) the case being measured; nothing while the
    // record is empty.
    std::optional<size_t> currentRow() const;
    // What the review says while it shows no case: that a case kept in brief has no route to
    // review, or that test mode shows it after the end.
    const char* reviewAbsence() const;

    // The expert's play for the customer of `c` (the sample customer where the case ended in
    // sample mode), worked out once per customer.
    const ExpertPlay& expertFor(const CaseRecord& c) const;
    // Each case's procedureFigures against its expert, in the record's order.
    std::vector<ProcedureFigures> procedureFigures() const;

    // ヒント: offered while a customer is being measured in practice or sample mode (a test
    // keeps its answer to itself until the end).
    bool hintOffered() const;
    // The expert's next step from the window as it is now, kept in the record as a step of its
    // own; "" where no hint is offered.
    std::string askHint();
    // The hint asked for last, until the next action on the window.
    const std::string& hintText() const { return hint_; }

    // Whether the record holds something the person has not saved. Only a start with nothing
    // done is nothing to lose.
    bool unsaved() const;
    // The record as it now stands has been saved.
    void markSaved();

    // The trainee's name as typed into 名前 (cleanTraineeName): kept for every code of the
    // sitting, on the record, in the CSV and in its file name. Empty: no name given.
    const std::string& traineeName() const { return name_; }
    void setTraineeName(std::string_view typed);

    // The record as CSV bytes (sittingCsv) and the file name to save it as on `date`.
    std::string csv() const;
    std::string csvFileName(const CalendarDate& date) const;
    // The sitting as kept so far: its journal (app/teaching/journal.h), and who is told each new
    // line of it (nobody by default).
    const std::string& journal() const { return journal_; }
    void setKeeper(SittingKeeper* keeper) { keeper_ = keeper; }
    // Begins a new sitting of `code` in place of this one: a fresh window, an empty record, the
    // sitting's clock at 0. The keeper stays.
    void beginAnew(CaseCode code, const std::string& name, int64_t startedMs);
    // Plays a kept sitting again into a fresh window through the same handlers, nothing of it
    // reaching the platform (no beep, print or quit), each entry at its own time on the sitting's
    // clock, which then goes on from the last. False when an input does not give back the steps
    // and the window it was kept with: the sitting is then not to be trusted (start anew).
    bool resume(const KeptSitting& kept);
    // The sitting in brief (app/teaching/brief.h): at most `limit` characters, as a learning system
    // keeps it between the student's sessions.
    std::string brief(size_t limit = kBriefLimit) const;
    // Plays a sitting kept in brief into a fresh window: its cases before the start it keeps, the
    // window brought to that customer's start, and the inputs since played again through the same
    // handlers, nothing of it reaching the platform. False when it cannot be read or an input is
    // refused: the sitting is then a fresh one of the code it had.
    bool resumeBrief(std::string_view text);

private:
    // Forwards to the program's platform, except while a kept sitting is played again.
    class QuietablePlatform : public Platform {
    public:
        explicit QuietablePlatform(Platform& to) : to_(to) {}
        bool quiet = false;
        void beep() override {
            if (!quiet) to_.beep();
        }
        void quit() override {
            if (!quiet) to_.quit();
        }
        PrintResult printWindow() override { return quiet ? PrintResult::Printed : to_.printWindow(); }
        void showNotice(const std::string& text) override {
            if (!quiet) to_.showNotice(text);
        }

    private:
        Platform& to_;
    };
    // The sitting's clock: milliseconds since the sitting began, standing still while the program
    // was not running; held at one time through each input, so that the record and the journal
    // read the same.
    class SittingClock : public RecordClock {
    public:
        explicit SittingClock(const RecordClock& base) : base_(base) {}
        int64_t nowMs() const override { return held_ ? *held_ : base_.nowMs() - origin_; }
        // The wall clock as the sitting knows it: its start plus its own time, so that a sitting
        // played again gives its cases the start times they had (the machine's clock where the
        // sitting's start is not known).
        WallTime wallNow() const override {
            WallTime now = base_.wallNow();
            if (startedMs_ != 0) now.epochMs = startedMs_ + nowMs();
            return now;
        }
        void setStart(int64_t startedMs) { startedMs_ = startedMs; }
        int64_t startedMs() const { return startedMs_; }
        // From now on the clock reads `ms` and goes on from there.
        void restartAt(int64_t ms) { origin_ = base_.nowMs() - ms; }
        void hold(int64_t ms) { held_ = ms; }
        void release() { held_.reset(); }
        bool held() const { return held_.has_value(); }

    private:
        const RecordClock& base_;
        int64_t origin_ = 0;
        int64_t startedMs_ = 0;
        std::optional<int64_t> held_;
    };

    // The window of `code`'s first customer, and its start in the record; `firstEntry` is the
    // journal entry after it.
    void loadCode(CaseCode code, size_t firstEntry);
    bool playBrief(const SittingBrief& brief);
    void append(const JournalEntry& entry, bool caseEnded);

    // What the window says each user input did: into the record, and what follows for the panel.
    void windowEvent(const WindowEvent& event) override;
    size_t recordedSteps() const;

    QuietablePlatform platform_;
    SittingClock clock_;
    std::unique_ptr<CodeRandom> random_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<Recorder> recorder_;
    std::optional<size_t> chosen_;
    size_t casesAtChoice_ = 0;
    size_t savedSteps_ = 0;
    std::string announcement_;
    std::string hint_;
    mutable std::map<std::tuple<uint64_t, uint64_t, bool>, ExpertPlay> experts_;
    std::string name_;
    std::string journal_;
    SittingKeeper* keeper_ = nullptr;
    // While a kept sitting is played again: the entry it is at, and whether all agreed so far.
    const JournalEntry* replaying_ = nullptr;
    bool replayAgrees_ = true;
    size_t replayIndex_ = 0;
    // The journal's entries, and each customer's start from which the sitting can be played
    // again (loaded, or brought by 再測定), for its brief.
    std::vector<JournalEntry> entries_;
    std::vector<BriefStart> starts_;
    // While a brief brings the window to its customer: the record is not told.
    bool bringing_ = false;
    CodePrompt prompt_;
    std::optional<CaseCode> waiting_;  // the code the question is about
};

inline constexpr std::array<const char*, 10> kSittingColumns = {
    "番号", "モード", "問題コード", "オートレフ値", "完全補正度数", "測定結果", "誤差", "点数", "質問数", "所要時間"};

// What a row shows in place of a result the case does not have.
inline constexpr const char* kAbandoned = "中断";
inline constexpr const char* kMeasuring = "測定中";

using SittingRow = std::array<std::string, kSittingColumns.size()>;

// Where a cell of the panel's tables (the record's and the steps') may go on to another line when
// the table is narrow: after a space between parts (of a lens text, a number and its unit; not
// one before a number) and inside the few words the tables repeat, before モード, after 分 and
// after a case code's first hyphen. Nowhere else: a lens part, a number or a word is never cut.
// The cell in parts, each ending where a line may break; joined they give the cell again.
std::vector<std::string> cellParts(std::string_view cell);
// The cell for the page, whose tables break lines at spaces and zero-width spaces only: a
// zero-width space at each break that is not a space already, a no-break space for each space
// inside a part and a word joiner after each hyphen inside one.
std::string withLineBreaks(std::string_view cell);
// A sentence for the page (the expert's question, the customer's answer), which no space divides:
// a zero-width space wherever Japanese prose may go on to another line, between two of its
// characters, but not before a closing mark, a small kana or the long-vowel mark, not after an
// opening bracket, and never inside a run of letters, digits and signs ("S+0.25D", "１．５").
std::string sentenceLineBreaks(std::string_view sentence);
inline constexpr const char* kLineBreakMark = "\u200B";
inline constexpr const char* kNoBreakSpace = "\u00A0";
inline constexpr const char* kWordJoiner = "\u2060";

// The row of a case: 番号 is the customer's number in the code (1 is the first), so that the rows
// of one code compare across a class, gaps where a customer was left untouched. A test that has
// not ended shows neither the hidden correction nor the error: they would give the answer away.
SittingRow sittingRow(const CaseRecord& c);
std::vector<SittingRow> sittingRows(const std::vector<CaseRecord>& cases);

// Average and best score of the ended cases; nothing when no case has ended.
struct ScoreSummary {
    int ended = 0;
    double average = 0;
    int best = 0;
};
std::optional<ScoreSummary> scoreSummary(const std::vector<CaseRecord>& cases);
// "平均 63.5 点　最高 88 点", or "" when no case has ended.
std::string scoreSummaryText(const std::vector<CaseRecord>& cases);

// The columns after the table's own, one value per cell for computing (docs/csv.md): the
// hidden correction and the result as plain numbers, the score, the counts, the seconds on
// screen, the local start with its offset, what became of the case, the name and the code.
inline constexpr std::array<const char*, 14> kSittingDataColumns = {
    "correction_S", "correction_C", "correction_A", "result_S", "result_C", "result_A", "score",
    "questions",    "steps",        "seconds",      "started",  "status",   "name",     "code"};
using SittingDataRow = std::array<std::string, kSittingDataColumns.size()>;

// The data cells of a customer. S and C have two decimals, A is in degrees (180 for 0, as the
// readouts show it); ASCII digits, '.' and '-' only. A correction the row
// hides stays empty, as do the result and score of a case that has not ended. status is
// "ended", "measuring" or "abandoned".
SittingDataRow sittingDataRow(const CaseRecord& c, const std::string& name);

// The figures of case `c`: `expert` is the expert's record of the same customer; without it (or
// before the end) nothing is judged.
ProcedureFigures procedureFigures(const CaseRecord& c, const CaseRecord* expert);

// Their columns in the CSV, after kSittingDataColumns: whole numbers, empty where not judged.
inline constexpr std::array<const char*, 4> kProcedureDataColumns = {"expert_questions", "checks_passed", "checks_made",
                                                                     "hints"};
using ProcedureDataRow = std::array<std::string, kProcedureDataColumns.size()>;
ProcedureDataRow procedureDataRow(const ProcedureFigures& f);

// The printed record's second table (手順とヒント), a row per customer: 番号 as in the record, the
// trainee's questions beside the expert's, the checks judged 良い and the checks made, the hints.
inline constexpr std::array<const char*, 6> kProcedureColumns = {"番号",     "質問数",       "お手本の質問数",
                                                                 "良い手順", "確認した手順", "ヒント数"};
using ProcedureRow = std::array<std::string, kProcedureColumns.size()>;
ProcedureRow procedureRow(const CaseRecord& c, const ProcedureFigures& f);

// A dioptre value as a plain number with two decimals: "-1.25", "0.00", "3.50" (never "-0.00").
std::string plainDioptre(double d);

// The CSV of the table and its data columns: UTF-8 with a byte-order mark (spreadsheet
// programs then read the Japanese), the header and one line per row, each ended by CR LF; a
// field holding a comma, a quote, CR or LF is quoted, its quotes doubled. After the data columns,
// each case's procedureFigures from `figures`, in the order of `cases` (a case beyond them is
// written unjudged).
std::string csvField(const std::string& field);
std::string sittingCsv(const std::vector<CaseRecord>& cases, const std::string& name = {},
                       const std::vector<ProcedureFigures>& figures = {});

// What is kept of a typed name: control characters dropped, spaces (also ideographic ones) at
// either end trimmed, at most kTraineeNameLength characters.
inline constexpr size_t kTraineeNameLength = 40;
std::string cleanTraineeName(std::string_view typed);

// Today in the machine's time zone.
CalendarDate localToday();
// "2026-12-08".
std::string dateText(const CalendarDate& date);
// "記録_XXXX-XXXX-C_名前_2026-12-08.csv" ("記録_XXXX-XXXX-C_2026-12-08.csv" without a name): the
// whole code, its check symbol '*' written '_' (which the code reader takes back), and the
// name with the characters file systems refuse (\ / : * ? " < > | and control characters)
// written '_'.
std::string csvFileName(const CaseCode& code, const std::string& name, const CalendarDate& date);

// The line above the printed record: "名前 山田　花子　問題コード XXXX-XXXX-C　2026-12-08",
// without the name part when no name was given.
std::string recordHeading(const std::string& name, const CaseCode& code, const CalendarDate& date);
// The printed page's number: "1 / 3".
std::string pageNumberText(int page, int pages);
