// The question button: the customer answers the selected question about the selected chart.

#include <optional>
#include <string>

#include "answers.h"
#include "form1.h"
#include "refraction.h"

namespace {

// The first selected question in the order of the buttons; hidden buttons count too.
std::optional<Question> selectedQuestion(const Form1& f) {
    if (f.Option1.selected()) return Question::Acuity;
    if (f.Option2.selected()) return Question::Dial;
    if (f.Option3.selected()) return Question::RedGreen;
    if (f.Option4.selected()) return Question::PlusQuarter;
    if (f.Option9.selected()) return Question::CrossCylinder;
    return std::nullopt;
}

Chart selectedChart(const Form1& f) {
    if (f.Option5.selected()) return Chart::Acuity;
    if (f.Option6.selected()) return Chart::RedGreen;
    if (f.Option7.selected()) return Chart::Dial;
    if (f.Option8.selected()) return Chart::Dots;
    return Chart::None;
}

}  // namespace

void Form1::Command6_Click() {
    const std::optional<Question> question = selectedQuestion(*this);
    if (!question) return;

    // Every question that gets past the chart check ends with the label shown; a model that
    // finds no text leaves the previous caption there.
    std::optional<std::string> answer;
    auto show = [this, &answer] {
        if (answer) Label16.caption = *answer;
        Label16.visible = true;
    };

    switch (checkChart(*question, selectedChart(*this))) {
    case ChartCheck::Ignored:
        return;
    case ChartCheck::Mismatch:
        answer = mismatchAnswer(*question);
        show();
        return;
    case ChartCheck::Answered:
        break;
    }

    if (*question == Question::CrossCylinder) {
        if (!Frame4.visible) {
            answer = kPuzzled;
            show();
            return;
        }
        // Both flip positions from the current scroll bars; the residual labels, the score
        // and the mode lock of keisann are left alone.
        const CrossCylinderLook cc = lookThroughCrossCylinder();
        Label21.caption = kBlurFront + shortestDecimal(cc.bokeOmote) + " です";
        Label22.caption = kBlurBack + shortestDecimal(cc.bokeUra) + " です";
        answer = crossCylinderAnswer(cc.bokeOmote, cc.bokeUra);
        show();
        return;
    }

    keisann();
    const double zanyoTouka = touka(zanyoS, zanyoC);
    if (Frame4.visible) {
        answer = kCannotSee;  // nobody reads a chart through the cross cylinder
    } else {
        switch (*question) {
        case Question::Acuity:
            answer = acuityAnswer(zanyoTouka, bokeRyou(zanyoS, zanyoC));
            break;
        case Question::Dial:
            switch (fogOf(zanyoTouka)) {
            case Fog::TooFogged:
                answer = kCannotSee;
                break;
            case Fog::Fogged:
                answer = dialSectorAnswer(zanyoA);
                break;
            case Fog::NotFogged:
                answer = dialGuessAnswer(ransuuFromDraw(random_.draw()));
                break;
            }
            break;
        case Question::RedGreen:
            answer = redGreenAnswer(zanyoTouka);
            break;
        case Question::PlusQuarter:
            answer = plusQuarterAnswer(zanyoTouka);
            break;
        case Question::CrossCylinder:
            break;
        }
    }
    show();
}
