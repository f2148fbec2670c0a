// The question button: the customer answers the selected question about the selected chart.

#include <optional>
#include <string>

#include "app/form1/form1.h"
#include "optics/refraction.h"
#include "subject/answers.h"

// The first selected question in the order of the buttons; hidden buttons count too.
std::optional<Question> Form1::selectedQuestion() const {
    if (Option1.selected()) return Question::Acuity;
    if (Option2.selected()) return Question::Dial;
    if (Option3.selected()) return Question::RedGreen;
    if (Option4.selected()) return Question::PlusQuarter;
    if (Option9.selected()) return Question::CrossCylinder;
    return std::nullopt;
}

Chart Form1::selectedChart() const {
    if (Option5.selected()) return Chart::Acuity;
    if (Option6.selected()) return Chart::RedGreen;
    if (Option7.selected()) return Chart::Dial;
    if (Option8.selected()) return Chart::Dots;
    return Chart::None;
}

void Form1::Command6_Click() {
    const std::optional<Question> question = selectedQuestion();
    if (!question) return;

    std::optional<std::string> answer;
    switch (checkChart(*question, selectedChart())) {
    case ChartCheck::Ignored:
        return;
    case ChartCheck::Mismatch:
        answer = mismatchAnswer(*question);
        break;
    case ChartCheck::Answered:
        answer = answerQuestion(*question);
        break;
    }
    // Every question that gets past the chart check ends with the label shown; a question that
    // finds no text leaves the previous caption there.
    if (answer) Label16.caption = *answer;
    Label16.visible = true;
}

std::optional<std::string> Form1::answerQuestion(Question question) {
    if (question == Question::CrossCylinder) return answerCrossCylinder();

    keisann();
    if (Frame4.visible) return kCannotSee;  // nobody reads a chart through the cross cylinder
    const double zanyoTouka = touka(zanyoS, zanyoC);
    switch (question) {
    case Question::Acuity:
        return acuityAnswer(zanyoTouka, bokeRyou(zanyoS, zanyoC));
    case Question::Dial:
        return answerDial(zanyoTouka);
    case Question::RedGreen:
        return redGreenAnswer(zanyoTouka);
    case Question::PlusQuarter:
        return plusQuarterAnswer(zanyoTouka);
    case Question::CrossCylinder:
        break;
    }
    return std::nullopt;
}

std::optional<std::string> Form1::answerCrossCylinder() {
    if (!Frame4.visible) return kPuzzled;
    // Both flip positions from the current scroll bars; the residual labels, the score and the
    // mode lock of keisann are left alone.
    const CrossCylinderLook cc = lookThroughCrossCylinder();
    // The shortest decimal here ("0.5"), where ccboke writes two decimals ("0.50"): as always shown.
    Label21.caption = kBlurFront + shortestDecimal(cc.bokeOmote) + " です";
    Label22.caption = kBlurBack + shortestDecimal(cc.bokeUra) + " です";
    return crossCylinderAnswer(cc.bokeOmote, cc.bokeUra);
}

std::optional<std::string> Form1::answerDial(double zanyoTouka) {
    switch (fogOf(zanyoTouka)) {
    case Fog::TooFogged:
        return kCannotSee;
    case Fog::Fogged:
        return dialSectorAnswer(zanyoA);
    case Fog::NotFogged:
        break;
    }
    // Without fog the whole dial looks alike, and the customer guesses.
    return dialGuessAnswer(ransuuFromDraw(dial_.draw()));
}
