#pragma once
// The window behind the web page: one PageSitting per page, one entry per kind of user action,
// each returning the state after it as JSON (app/web/window_data.h). Built for the web and its
// tests only, not into the desktop program.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/form1/form1.h"
#include "app/teaching/customer_view.h"
#include "app/teaching/journal.h"
#include "app/teaching/record.h"
#include "app/teaching/sitting.h"
#include "app/web/window_data.h"

// What the window logic asked of the machine, kept until the view carries it out. Printing
// is the view's (the browser's print of the window), so it always reports success here.
class RecordingPlatform : public Platform {
public:
    using Effects = PlatformEffects;

    void beep() override { ++pending_.beeps; }
    void quit() override { pending_.end = true; }
    PrintResult printWindow() override {
        ++pending_.prints;
        return PrintResult::Printed;
    }
    void showNotice(const std::string& text) override { pending_.notices.push_back(text); }

    // The effects asked for since the last call.
    Effects take();

private:
    Effects pending_;
};

// One sitting (the window of a case code with its record) with its platform, and one entry per
// kind of user action. Every action returns the state after it; an action on a control that
// cannot take it now (hidden, disabled, or of another kind) changes nothing. The window tells
// the record what every action did. The panel beside the window (record, review, case code, the
// customer's view) has entries of its own, each answering JSON too.
class PageSitting {
public:
    // Seed 0 takes a fresh code from the clock, as the desktop program does without a code;
    // any other seed plays the code of that number (tests, demonstrations). `caseText`, when
    // not empty, is a typed code to play instead; one that cannot be read leaves the seed's
    // code in place and panel() says so.
    explicit PageSitting(uint64_t seed, const std::string& caseText = {});

    const Form1& form() const { return sitting_.form(); }
    const Sitting& sitting() const { return sitting_; }
    std::string design() const { return designJson(sitting_.form()); }
    std::string state();

    std::string click(const std::string& name);
    std::string select(const std::string& name);
    std::string arrow(const std::string& name, int direction);
    std::string track(const std::string& name, int direction);
    std::string release(const std::string& name, int value);

    // The control that should have the keyboard focus after an action taken while `focused`
    // had it (empty: none or unknown); never END or the end button by a move.
    std::string focusAfter(const std::string& focused) const;

    // --- The panel ---

    // Every fixed text of the panel: its captions, the tables' column headings and the message
    // for a bad code.
    static std::string panelTexts();
    // What the panel shows now: {code, message, question ("" unless asking), name (as kept), heading (the printed
    // record's line: recordHeading), rows, summary, unsaved, current (the row the record marks, or null), review
    // ({case, from, rows, summary, plotText}, or null), view
    // ({shown, version}: the version changes whenever the customer's view would)}. The review's
    // `case` names the case reviewed (its row in the record, code and customer); its rows and
    // plot text lines are those of steps `from` onwards: where the view says it shows the first
    // `shownRows` rows of that case (`shownCase`), only the rows after them, else all (from 0).
    std::string panel(const std::string& shownCase = {}, int shownRows = 0) const;
    // ヒント: the expert's next step, kept in the record ("" where no hint is offered).
    std::string hint() { return sitting_.askHint(); }
    // The end of a case when the last action ended one, else "" (also for a folded panel).
    const std::string& announcement() const { return sitting_.announcement(); }
    // The plot of the reviewed case as the panel draws it (reviewPanelPlot): its size, paper,
    // strokes, lines, marks and texts, or null.
    std::string plot() const;
    // What a learning system is told of the sitting's ended cases under the teacher's settings
    // (the launch data), as JSON (lmsReportJson).
    std::string lmsReport(const std::string& launchData) const;
    // The sitting in brief, as the learning system keeps it for the student's next session
    // (cmi.suspend_data, at most 4,096 characters); and a sitting resumed from it into a fresh
    // window, which the view builds anew. False when it cannot be resumed: a fresh sitting of the
    // code it had.
    std::string brief() const { return sitting_.brief(); }
    bool resumeBrief(const std::string& text);
    // The learning system keeps the sitting (the panel's note says so).
    void keptByLms() { keptByLms_ = true; }

    // Starts the code typed as `text` as the sitting answers it (Sitting::answerCode): "bad"
    // when it cannot be read (nothing changes), "confirm" when it would abandon a customer
    // being measured and `confirmed` is false (nothing changes), else "ok": a fresh window,
    // which the view builds anew.
    std::string startCode(const std::string& text, bool confirmed);
    // The answer to the question before abandoning (panel()'s question): はい starts the code
    // asked about ("ok"), いいえ keeps everything ("kept"); the question goes either way.
    std::string answerAbandon(bool yes);
    void chooseCase(int index);
    // The trainee's name as typed; what is kept of it is panel().name.
    void setTraineeName(const std::string& typed) { sitting_.setTraineeName(typed); }
    bool unsaved() const { return sitting_.unsaved(); }
    void markSaved() { sitting_.markSaved(); }
    // The record as CSV bytes (UTF-8 with its byte-order mark) and the name to save it as.
    std::string csv() const;
    std::string csvFileName() const;
    // The printed record's table of the procedure's figures (procedureRow), a JSON list of rows.
    std::string procedureTable() const;

    // --- The sitting kept in the browser's storage ---

    // Whether each new journal line is collected for the page to keep (not inside a learning
    // system, nor once the storage failed or was cleared).
    void keep(bool on);
    bool keeping() const { return keeping_; }
    // The journal lines written since the last call ("" when none), each ending in '\n'.
    std::string keptLines();
    const std::string& journal() const { return sitting_.journal(); }

    // The sittings the page found kept at start, newest first, one call each (`inUse`: another
    // open tab keeps it); then what is to become of them (reviewKept), as JSON: {offered (its
    // index, or null), aside ([[index, problem], ...]: to be set aside, not deleted), remove
    // (indexes: left untouched, or saved beyond the most recent), pruned (what the panel says of
    // the saved ones removed, or "")}. The offered sitting is held here until resumed or dropped.
    void keptFound(bool inUse, const std::string& journal);
    std::string reviewKept(bool offer);
    // What the panel says of a sitting set aside under `keptAs` (`problem` as reviewKept gives it,
    // 0 for one that did not play back).
    static std::string setAsideMessage(int problem, const std::string& keptAs);
    // Plays the offered sitting into a fresh window, which the view builds anew. False when it did
    // not play back: the page sets it aside, and a fresh sitting of a code from the clock has
    // the window.
    bool resumeOffered();
    void dropOffer() { offered_.reset(); }

    // The customer's view, computed now: a JSON list of {width, height, description}, with
    // {caption, inFront} for the two faces of the cross cylinder; empty while not shown. The pictures' bytes stay here
    // until the next call (picture()).
    std::string customerView();
    const CustomerPicture* picture(size_t index) const;

private:
    template <class T>
    T* find(const std::string& name, Kind kind) const;
    // After the view ran an action (the window has told the record what it did): the panel's
    // news are noted, and the state returned.
    std::string afterAction();
    // A fresh window for `code`, which the view builds anew: "ok".
    std::string begin(const CaseCode& code);

    // Collects what the sitting writes into its journal, for the page to keep.
    class LineCollector : public SittingKeeper {
    public:
        void keep(const std::string& line, bool) override { lines += line; }
        std::string lines;
    };

    RecordingPlatform platform_;
    SteadyRecordClock clock_;
    std::string message_;  // a bad code given at start
    Sitting sitting_;
    CustomerViewKey viewKey_;
    int viewVersion_ = 0;
    std::vector<CustomerPicture> pictures_;
    LineCollector collector_;
    bool keeping_ = false;
    bool keptByLms_ = false;
    std::vector<std::string> found_;
    std::vector<bool> foundInUse_;
    std::optional<KeptSitting> offered_;
};
