#include "app/shown_texts.h"

#include <initializer_list>

#include "app/form1.h"
#include "app/web/session.h"
#include "subject/answers.h"

namespace {

class Explorer {
public:
    explicit Explorer(std::set<std::string>& texts) : texts_(texts), random_(7), form_(platform_, random_) {
        note();
        form_.Form_Load();
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
                if (!bar->userRelease(v)) break;
                note();
                askAll();
            }
            if (bar->userRelease(start)) note();
        }
    }

    void explore() {
        for (OptionButton* mode : {&form_.Option10, &form_.Option11, &form_.Option12}) {
            click(form_.STARTbutton);
            select(*mode);
            for (OptionButton* chart : {&form_.Option5, &form_.Option6, &form_.Option7, &form_.Option8}) {
                select(*chart);
                click(form_.Command4);  // without the cross cylinder
                sweep();
                click(form_.Command2);  // with it, on both sides
                sweep();
                click(form_.Command3);
                sweep();
            }
            click(form_.Command5);
            click(form_.Command7);
        }
        click(form_.STARTbutton);
    }

private:
    std::set<std::string>& texts_;
    RecordingPlatform platform_;
    SeededRandom random_;
    Form1 form_;
};

}  // namespace

std::set<std::string> shownTexts() {
    std::set<std::string> texts{kCannotSee, kPuzzled, Form1::kNoPrinterNotice, Form1::kPrintFailedNotice};
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
    Explorer(texts).explore();
    texts.erase(std::string());
    return texts;
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
