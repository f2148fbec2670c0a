#pragma once
// The sitting: one case code played in the window, customer after customer, and its record.
// 今回の記録 shows that record as a table, one row per customer, with the window's own texts,
// and writes it as CSV bytes for a spreadsheet.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/form1/form1.h"
#include "app/teaching/case_code.h"
#include "app/teaching/record.h"

// The window, the random streams of its code and the record, as both views run them. A view
// builds its widgets on form() and gives the user's input to its controls; the window tells the
// sitting what each input did. A view rebuilds its widgets when a new code has put a fresh window
// in place.
class Sitting : private WindowObserver {
public:
    // The window of `code`'s first customer, loaded as at start, and the record begun.
    Sitting(Platform& platform, const RecordClock& clock, CaseCode code);
    // The window tells this sitting what each input did: it stays where it was made.
    Sitting(const Sitting&) = delete;
    Sitting& operator=(const Sitting&) = delete;

    Form1& form() { return *form_; }
    const Form1& form() const { return *form_; }
    const CaseCode& code() const { return random_->code(); }
    const Recorder& recorder() const { return recorder_; }
    const std::vector<CaseRecord>& cases() const { return recorder_.cases(); }

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
    // The row the record marks as current: the case the review shows, else (its review hidden)
    // the case being measured; nothing while the record is empty.
    std::optional<size_t> currentRow() const;

    // Whether the record holds something the person has not saved. Only a start with nothing
    // done is nothing to lose.
    bool unsaved() const;
    // The record as it now stands has been saved.
    void markSaved();

private:
    // What the window says each user input did: into the record, and what follows for the panel.
    void windowEvent(const WindowEvent& event) override;
    size_t recordedSteps() const;

    Platform& platform_;
    std::unique_ptr<CodeRandom> random_;
    std::unique_ptr<Form1> form_;
    Recorder recorder_;
    std::optional<size_t> chosen_;
    size_t casesAtChoice_ = 0;
    size_t savedSteps_ = 0;
    std::string announcement_;
    CodePrompt prompt_;
    std::optional<CaseCode> waiting_;  // the code the question is about
};

inline constexpr std::array<const char*, 10> kSittingColumns = {
    "番号", "モード", "問題コード", "オートレフ値", "完全補正度数", "測定結果", "誤差", "点数", "質問数", "所要時間"};

// What a row shows in place of a result the case does not have.
inline constexpr const char* kAbandoned = "中断";
inline constexpr const char* kMeasuring = "測定中";

using SittingRow = std::array<std::string, kSittingColumns.size()>;

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

// The CSV of the table: UTF-8 with a byte-order mark (spreadsheet programs then read the
// Japanese), the header and one line per row, each ended by CR LF; a field holding a comma,
// a quote, CR or LF is quoted, its quotes doubled.
std::string csvField(const std::string& field);
std::string sittingCsv(const std::vector<CaseRecord>& cases);

struct CalendarDate {
    int year = 1970, month = 1, day = 1;
};
// Today in the machine's time zone.
CalendarDate localToday();
// "記録_XXXX-XXXX_2026-12-08.csv": the code's eight digits without its check symbol, which may
// be '*', a character some file systems refuse; the full code is in every row of the file.
std::string csvFileName(const CaseCode& code, const CalendarDate& date);
