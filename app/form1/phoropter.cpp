// The phoropter lens: its readouts, its axis line, and the optics run after every lens change.

#include "app/form1/form1.h"
#include "display/geometry.h"
#include "optics/refraction.h"

void Form1::placeLine(Line& line, const LineEnds& ends) {
    line.x1 = static_cast<float>(ends.x1);
    line.y1 = static_cast<float>(ends.y1);
    line.x2 = static_cast<float>(ends.x2);
    line.y2 = static_cast<float>(ends.y2);
}

void Form1::hyouji() {
    readPhoropter();
    Label4.caption = spherePart(foroS);
    if (auto text = cylinderReadout(foroC)) Label6.caption = *text;
    if (auto text = axisReadout(foroA)) Label8.caption = *text;
    // The result line is read back from the readouts, so it always matches what they show.
    Label15.caption = Label4.caption + " " + Label6.caption + " " + Label8.caption;
    // Once a lens has been dialled the mode of this customer is settled.
    Frame7.enabled = false;
}

void Form1::jikuzusi() {
    readPhoropter();
    if (foroA == 90) {
        placeLine(Line1, kPhoropterAxisVertical);  // the zu values keep the last drawn line
        return;
    }
    if (auto ends = diameterThroughCentre(foroA, kPhoropterAxisHalfLength)) {
        zuX1 = ends->x1;
        zuY1 = ends->y1;
        zuX2 = ends->x2;
        zuY2 = ends->y2;
        placeLine(Line1, *ends);
    }
}

void Form1::HScroll1_Change() {
    hyouji();
    keisann();
    if (Frame4.visible) ccboke();
}

// A new cylinder changes what the customer sees exactly as a new sphere does.
void Form1::HScroll2_Change() { HScroll1_Change(); }

void Form1::HScroll3_Change() {
    hyouji();
    jikuzusi();
    keisann();
    if (Frame4.visible) ccboke();
}
