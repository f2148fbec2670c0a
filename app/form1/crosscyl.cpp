// The cross cylinder in front of the phoropter: putting it in, turning its handle, flipping it,
// taking it out, and its drawing in the phoropter view.

#include <initializer_list>

#include "app/form1/form1.h"
#include "display/geometry.h"
#include "optics/refraction.h"

namespace {

void place(Circle& dot, float left, float top) {
    dot.left = left;
    dot.top = top;
}

}  // namespace

void Form1::Command2_Click() {
    platform_.beep();
    // The handle starts along the lens axis. The bar has no position 0 (axis 180), so that takes
    // 180 (handle 0), the same direction. A change runs HScroll4_Change, and with it ccboke, here.
    const int axisPosition = HScroll3.value();
    HScroll4.setValue(axisPosition == 0 ? 180 : axisPosition);
    cchyouji();
    cczusi();
    akatenzusi();
    Shape3.visible = true;
    Line2.visible = true;
    Line3.visible = true;
    Frame4.visible = true;
    Command2.visible = false;
    for (Control* c : std::initializer_list<Control*>{&Shape5, &Shape6, &Shape7, &Shape8, &Label20}) c->visible = true;
}

void Form1::Command3_Click() {
    platform_.beep();
    // The dots stay where they are; only which pair shows red changes.
    for (Circle* dot : {&Shape5, &Shape6, &Shape7, &Shape8}) {
        dot->fillStyle += 1;
        if (dot->fillStyle == 2) dot->fillStyle = 0;
    }
    if (Label20.caption == "おもて")
        Label20.caption = "うら";
    else if (Label20.caption == "うら")
        Label20.caption = "おもて";
    ccboke();
}

void Form1::Command4_Click() {
    platform_.beep();
    // The handle and the flip side are kept for the next time it is put in.
    for (Control* c : std::initializer_list<Control*>{&Shape3, &Line2, &Line3, &Shape5, &Shape6, &Shape7, &Shape8,
                                                      &Frame4, &Label20})
        c->visible = false;
    Command2.visible = true;
}

void Form1::HScroll4_Change() {
    cchyouji();
    cczusi();
    akatenzusi();
    ccboke();
}

void Form1::cchyouji() {
    ccJiku = static_cast<int16_t>(handleDirection(HScroll4.value()));
    if (auto text = axisReadout(ccJiku)) Label3.caption = *text;
}

void Form1::cczusi() {
    ccJiku = static_cast<int16_t>(handleDirection(HScroll4.value()));
    if (ccJiku == 90) {
        placeLine(Line2, kCrossCylinderAxisVertical);  // the zu values keep the last drawn line
        placeLine(Line3, kCrossCylinderHandleVertical);
        return;
    }
    auto axis = diameterThroughCentre(ccJiku, kCrossCylinderAxisHalfLength);
    if (!axis) return;
    zuX1 = axis->x1;
    zuY1 = axis->y1;
    zuX2 = axis->x2;
    zuY2 = axis->y2;
    placeLine(Line2, *axis);
    if (auto handle = crossCylinderHandle(ccJiku, *axis)) placeLine(Line3, *handle);
}

void Form1::akatenzusi() {
    ccJiku = static_cast<int16_t>(handleDirection(HScroll4.value()));
    akaJiku = static_cast<int16_t>(redDotDirection(ccJiku));
    if (auto p = dotPair(akaJiku)) {
        place(Shape5, p->left1, p->top1);
        place(Shape6, p->left2, p->top2);
    }
    shiroJiku = static_cast<int16_t>(whiteDotDirection(ccJiku));
    if (auto p = dotPair(shiroJiku)) {
        place(Shape7, p->left1, p->top1);
        place(Shape8, p->left2, p->top2);
    }
}
