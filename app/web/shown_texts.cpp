#include "app/web/shown_texts.h"

#include <initializer_list>

#include "app/form1/form1.h"
#include "app/teaching/customer_view.h"
#include "app/teaching/hint.h"
#include "app/teaching/panel_texts.h"
#include "app/teaching/procedure.h"
#include "app/teaching/review.h"
#include "app/teaching/sitting.h"
#include "app/web/lms.h"
#include "app/web/page_sitting.h"
#include "subject/answers.h"

namespace {

// A clock that moves on by a little over a second at every look, so that the record's times
// pass through every digit.
class TickingClock : public RecordClock {
public:
    int64_t nowMs() const override { return now_ += 1237; }

private:
    mutable int64_t now_ = 0;
};

// Drives a sitting's window the way a trainee can, noting every caption it shows, and at the
// end every text of the sitting's record and reviews.
class Explorer {
public:
    Explorer(std::set<std::string>& texts, std::set<std::string>& panel)
        : texts_(texts), panel_(panel), sitting_(platform_, clock_, CaseCode(7)), form_(sitting_.form()) {
        note();
    }

    void note() {
        for (const Control* c : form_.controls())
            if (const std::string* caption = captionOf(*c)) texts_.insert(*caption);
        for (const std::string& n : platform_.take().notices) texts_.insert(n);
    }

    void click(CommandButton& b) {
        if (b.userClick()) note();
    }
    void select(OptionButton& o) {
        if (o.userSelect()) note();
    }
    bool release(HScrollBar& bar, int value) { return bar.userRelease(value); }

    // The customer's view as it stands: only its descriptions are texts.
    void noteView() {
        for (const CustomerPicture& p : customerView(form_)) panel_.insert(p.description);
    }

    // Every text the record shows of the cases so far, as characters (the steps are many).
    void noteRecord() {
        std::set<std::string> record{scoreSummaryText(sitting_.cases())};
        for (const SittingRow& row : sittingRows(sitting_.cases())) record.insert(row.begin(), row.end());
        for (const CaseRecord& c : sitting_.cases()) {
            for (const ReviewRow& row : reviewTable(c)) record.insert(row.begin(), row.end());
            for (const auto& [heading, text] : reviewSummary(c)) record.insert({heading, text});
            record.insert(reviewPlotText(c));
            record.insert(endAnnouncement(c));
            for (const PlotText& t : reviewPlot(c, kReviewPlotWidth, kReviewPlotHeight).texts) record.insert(t.text);
            // The expert for the same customer, the checks, and a hint at every step it took.
            const ExpertPlay& expert = sitting_.expertFor(c);
            for (const ExpertRow& row : expertTable(expert.result.run)) record.insert(row.begin(), row.end());
            for (const ExpertSummaryRow& row : expertSummary(c, expert.record)) record.insert(row.begin(), row.end());
            for (const ProcedureCheck& k : procedureReview(c, expert.record)) record.insert({k.name, k.why, k.detail});
            for (const ProcedureCheck& k : procedureReview(expert.record, expert.record))
                record.insert({k.name, k.why, k.detail});
            CaseRecord walked = expert.record;
            for (size_t n = 1; n <= walked.steps.size(); ++n) {
                CaseRecord part = walked;
                part.steps.resize(n);
                record.insert(nextHint(part, expert).text);
            }
        }
        for (const std::string& ch : charactersOf(record)) panel_.insert(ch);
    }

    // Every question the chart offers, asked once.
    void askAll() {
        for (OptionButton* q : {&form_.Option1, &form_.Option2, &form_.Option3, &form_.Option4, &form_.Option9}) {
            select(*q);
            click(form_.Command6);
        }
    }

    // Each bar over its whole range, asking every question at every value, then back.
    void sweep() {
        for (HScrollBar* bar : {&form_.HScroll1, &form_.HScroll2, &form_.HScroll3, &form_.HScroll4}) {
            const int start = bar->value();
            for (int v = bar->min; v <= bar->max; ++v) {
                if (!release(*bar, v)) break;
                note();
                askAll();
            }
            if (release(*bar, start)) note();
        }
    }

    void explore() {
        for (OptionButton* mode : {&form_.Option10, &form_.Option11, &form_.Option12}) {
            click(form_.STARTbutton);
            select(*mode);
            for (OptionButton* chart : {&form_.Option5, &form_.Option6, &form_.Option7, &form_.Option8}) {
                select(*chart);
                click(form_.Command4);  // without the cross cylinder
                noteView();
                sweep();
                click(form_.Command2);  // with it, on both sides
                noteView();
                sweep();
                click(form_.Command3);
                sweep();
            }
            click(form_.Command5);
            noteView();
            click(form_.Command7);
        }
        click(form_.STARTbutton);
        // A case left unfinished when a new code starts.
        click(form_.Command2);
        sitting_.startCode(CaseCode(8));
        noteRecord();
    }

private:
    std::set<std::string>& texts_;
    std::set<std::string>& panel_;
    RecordingPlatform platform_;
    TickingClock clock_;
    Sitting sitting_;
    Form1& form_;
};

}  // namespace

ShownTexts shownTexts() {
    ShownTexts shown;
    std::set<std::string>& texts = shown.window;
    texts.insert({kCannotSee, kPuzzled, Form1::kNoPrinterNotice, Form1::kPrintFailedNotice});
    // The panel beside the window: its own texts and the record's headings and names.
    std::set<std::string>& panel = shown.panel;
    panel.insert(panel_text::kAll.begin(), panel_text::kAll.end());
    panel.insert(kSittingColumns.begin(), kSittingColumns.end());
    panel.insert(kProcedureColumns.begin(), kProcedureColumns.end());
    panel.insert(kReviewColumns.begin(), kReviewColumns.end());
    panel.insert({kEquivalentName, kCylinderName, kAxisDifferenceName, kExpertName, kAbandoned, kMeasuring,
                  kBadCaseCodeMessage});
    panel.insert(kExpertColumns.begin(), kExpertColumns.end());
    panel.insert(kExpertSummaryColumns.begin(), kExpertSummaryColumns.end());
    for (const std::string& t : procedureTexts()) panel.insert(t);
    for (const std::string& t : hintPhrases()) panel.insert(t);
    // Opened from a learning system: the student's heading, the end of the attempt, a refusal
    // with every digit of its error number.
    panel.insert({kLmsStudent, kLmsFinished, lmsRefusedMessage(1234567890)});
    panel.insert({kLineBreakMark, kNoBreakSpace, kWordJoiner});  // in the tables' cells
    for (Question q :
         {Question::Acuity, Question::Dial, Question::RedGreen, Question::PlusQuarter, Question::CrossCylinder})
        texts.insert(mismatchAnswer(q));
    // The answer tables over their whole input ranges, in steps finer than any threshold.
    for (int i = -800; i <= 800; ++i) {
        const double touka = i / 100.0;
        texts.insert(redGreenAnswer(touka));
        texts.insert(plusQuarterAnswer(touka));
        for (int b = 0; b <= 1000; b += 5) texts.insert(acuityAnswer(touka, b / 100.0));
    }
    for (int a = 0; a <= 180; ++a)
        if (auto t = dialSectorAnswer(a)) texts.insert(*t);
    for (int r = 1; r <= 12; ++r) texts.insert(dialGuessAnswer(r));
    for (int f = 0; f <= 400; f += 5)
        for (int u = 0; u <= 400; u += 5) texts.insert(crossCylinderAnswer(f / 100.0, u / 100.0));
    {
        // The captions as designed, before the window is loaded.
        RecordingPlatform platform;
        SeededRandom random(1);
        const Form1 designed(platform, random);
        for (const Control* c : designed.controls())
            if (const std::string* caption = captionOf(*c)) texts.insert(*caption);
    }
    Explorer(texts, panel).explore();
    texts.erase(std::string());
    panel.erase(std::string());
    return shown;
}

std::set<std::string> charactersOf(const std::set<std::string>& texts) {
    std::set<std::string> chars;
    for (const std::string& t : texts) {
        for (size_t i = 0; i < t.size();) {
            const auto lead = static_cast<unsigned char>(t[i]);
            const size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            chars.insert(t.substr(i, n));
            i += n;
        }
    }
    return chars;
}
