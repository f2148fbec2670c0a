#pragma once
// The expert at a window of its own: the same customer the trainee had (the same case code and
// customer number, or the sample mode's fixed customer), played through the window's handlers
// as a user would, and the score the window gives at the end.

#include <cstdint>
#include <memory>

#include "app/form1/form1.h"
#include "app/teaching/case_code.h"
#include "app/teaching/exam_room.h"
#include "app/teaching/expert.h"
#include "app/teaching/record.h"

// An examination room that is a window: every lens, chart, question and cross-cylinder move is
// a click or a bar release on the window, every answer what the window says its question brought.
class WindowExamRoom : public ExamRoom, private WindowObserver {
public:
    // The `customer`-th customer of `code` (0 is the first); with `sample`, the sample mode's
    // customer instead.
    WindowExamRoom(CaseCode code, uint64_t customer, bool sample = false);
    // The window tells this room what each input did: it stays where it was made.
    WindowExamRoom(const WindowExamRoom&) = delete;
    WindowExamRoom& operator=(const WindowExamRoom&) = delete;

    Reading reading() override;
    void setLens(const Lens& lens) override;
    std::string ask(Chart chart, Question question) override;
    void crossCylinderIn(int handle) override;
    void crossCylinderOut() override;

    // Presses "測定終了正解は？": the score of the result the window shows.
    int endScore();

    Form1& form() { return *form_; }
    // Someone else to tell what each input did (a recorder of the expert's path), or nobody.
    void alsoTell(WindowObserver* observer) { alsoTell_ = observer; }

private:
    class Silent : public Platform {
    public:
        void beep() override {}
        void quit() override {}
        PrintResult printWindow() override { return PrintResult::NoPrinter; }
        void showNotice(const std::string&) override {}
    };
    void windowEvent(const WindowEvent& event) override;

    Silent platform_;
    WindowEvent last_;  // what the window said the last input did
    WindowObserver* alsoTell_ = nullptr;
    CodeRandom random_;
    std::unique_ptr<Form1> form_;
};

struct ExpertResult {
    ExpertRun run;
    int score = 0;
};

// The expert's whole run for the `customer`-th customer of `code` (or the sample customer).
ExpertResult playExpert(CaseCode code, uint64_t customer, bool sample = false);

// The expert's run with the record its window kept of it, as a trainee's case is kept: the
// review draws its path and judges it with the same checks.
struct ExpertPlay {
    ExpertResult result;
    CaseRecord record;
    Lens startLens;  // the window's lens when the expert began
};
ExpertPlay playExpertRecorded(CaseCode code, uint64_t customer, bool sample = false);
