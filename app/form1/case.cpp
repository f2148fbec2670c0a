// A new customer: the hidden correction, its auto-refractor reading and, for every case
// after the first, the window put back as it was designed.

#include <cmath>

#include "app/form1/form1.h"
#include "optics/refraction.h"

namespace {

// floor(u * n) for one fresh draw: 0 to n - 1. The product is taken in double so that a u just
// below 1 can never round up to n.
int drawBelow(RandomSource& random, int n) {
    return static_cast<int>(std::floor(static_cast<double>(random.draw()) * n));
}

}  // namespace

void Form1::drawCase() {
    random_.nextCustomer();
    seikaiS = static_cast<float>(drawBelow(random_, 60)) / 4 - 8;  // -8.00 to +6.75
    seikaiC = static_cast<float>(drawBelow(random_, 12)) / 4 - 3;  // -3.00 to -0.25
    seikaiA = static_cast<float>(drawBelow(random_, 180) + 1);     // 1 to 180
}

void Form1::raberu7() {
    const std::string text = refractionText(seikaiS, seikaiC, seikaiA);
    Label7.caption = text + "でした。";
    Label26.caption = "正解値   " + text;  // three spaces here, four in STARTbutton_Click: both as always shown
}

void Form1::refuti() {
    // The machine errs towards minus in sphere and cylinder, and by -10 to +9 degrees in axis.
    double S = seikaiS - drawBelow(random_, 4) / 4.0;
    double C = seikaiC - drawBelow(random_, 4) / 4.0;
    double A = seikaiA + drawBelow(random_, 20) - 10;
    if (A <= 0)
        A += 180;
    else if (A > 180)
        A -= 180;
    if (Option12.selected()) {  // the sample customer always reads the same
        S = -3.5;
        C = -1.25;
        A = 60;
    }
    readingLens_ = Refraction{S, C, A};
    reading_ = refractionText(S, C, A);
    Label17.caption = reading_ + " です。";
}

void Form1::Form_Load() {
    drawCase();
    raberu7();
    refuti();
}

void Form1::STARTbutton_Click() {
    drawCase();
    // Not raberu7: the next customer's texts have always had four spaces and no "でした。"; keep them so.
    const std::string text = refractionText(seikaiS, seikaiC, seikaiA);
    Label7.caption = text;
    Label26.caption = "正解値    " + text;

    Option10.setSelected(true);
    for (Label* l : {&Label5, &Label7, &Label14, &Label15, &Label16, &Label18, &Label19, &Label20, &Label21, &Label22,
                     &Label23, &Label24, &Label25, &Label26, &Label28})
        l->visible = false;

    // Each of these runs its change handler when the value moves.
    HScroll1.setValue(40);
    HScroll2.setValue(0);
    HScroll3.setValue(90);
    HScroll4.setValue(90);

    Option5.setSelected(true);
    for (OptionButton* o : {&Option6, &Option7, &Option8}) o->setSelected(false);
    Option1.setSelected(true);
    for (OptionButton* o : {&Option3, &Option2, &Option9, &Option4}) o->setSelected(false);

    Frame4.visible = false;
    Command2.visible = true;
    Command5.visible = true;
    STARTbutton.visible = false;
    for (Control* c : std::initializer_list<Control*>{&Shape3, &Line2, &Line3, &Shape5, &Shape6, &Shape7, &Shape8})
        c->visible = false;

    // Last, because the lens change handlers above lock the mode frame.
    for (Frame* f : {&Frame1, &Frame2, &Frame3, &Frame4, &Frame5, &Frame6, &Frame7}) f->enabled = true;

    refuti();
}
