// What each user input did, told to the window's observer once the input's handlers have all
// returned (app/form1/events.h).

#include "app/form1/events.h"

#include "app/form1/form1.h"
#include "display/geometry.h"
#include "subject/answers.h"

WindowSetting Form1::setting() const {
    WindowSetting s;
    s.bars[0] = HScroll1.value();
    s.bars[1] = HScroll2.value();
    s.bars[2] = HScroll3.value();
    s.bars[3] = HScroll4.value();
    s.lens = lensOnBars(s.bars[0], s.bars[1], s.bars[2]);
    s.crossCylinderIn = Frame4.visible;
    s.handle = handleDirection(HScroll4.value());
    s.front = Label20.caption != "うら";
    s.chart = selectedChart();
    s.mode = Option11.selected() ? Mode::Practice : Option12.selected() ? Mode::Sample : Mode::Test;
    s.ended = !Command5.visible;
    s.correction = Refraction{seikaiS, seikaiC, seikaiA};
    s.reading = reading_;
    s.readingLens = readingLens_;
    return s;
}

void Form1::inputBegins(Control&, const UserInput& input) {
    if (inputDepth_++ > 0 || !observer_) return;
    input_ = input;
    before_ = setting();
    couldAsk_ = Command6.takesInput();
    couldRestart_ = STARTbutton.takesInput();
}

void Form1::inputEnds(Control& control) {
    if (--inputDepth_ > 0 || !observer_) return;
    observer_->windowEvent(accountFor(control));
}

WindowEvent Form1::accountFor(const Control& c) const {
    WindowEvent e;
    e.control = c.name();
    e.input = input_;
    e.after = setting();
    const WindowSetting& was = before_;
    const WindowSetting& now = e.after;
    using K = WindowEventKind;
    const auto lens = [&e](LensBar bar) {
        e.kind = K::Lens;
        e.bar = bar;
    };
    if (&c == &STARTbutton) {
        if (couldRestart_ && !STARTbutton.visible) e.kind = K::NewCustomer;
    } else if (&c == &HScroll1) {
        if (now.bars[0] != was.bars[0]) lens(LensBar::Sphere);
    } else if (&c == &HScroll2) {
        if (now.bars[1] != was.bars[1]) lens(LensBar::Cylinder);
    } else if (&c == &HScroll3) {
        if (now.bars[2] != was.bars[2]) lens(LensBar::Axis);
    } else if (&c == &HScroll4) {
        if (now.bars[3] != was.bars[3]) e.kind = K::CrossCylinderTurn;
    } else if (&c == &Command2) {
        if (now.crossCylinderIn && !was.crossCylinderIn) e.kind = K::CrossCylinderIn;
    } else if (&c == &Command4) {
        if (!now.crossCylinderIn && was.crossCylinderIn) e.kind = K::CrossCylinderOut;
    } else if (&c == &Command3) {
        if (now.front != was.front) e.kind = K::CrossCylinderFlip;
    } else if (&c == &Option5 || &c == &Option6 || &c == &Option7 || &c == &Option8) {
        if (now.chart != was.chart) e.kind = K::Chart;
    } else if (&c == &Option10 || &c == &Option11 || &c == &Option12) {
        if (now.mode != was.mode) e.kind = K::Mode;
    } else if (&c == &Command6) {
        // Asked even when the handler ignores it for want of a chart; then without an answer, and
        // the last answer stays on screen.
        if (const auto q = selectedQuestion(); couldAsk_ && q) {
            e.kind = K::Question;
            e.question = *q;
            e.answered = Label16.visible && checkChart(*q, now.chart) != ChartCheck::Ignored;
            if (e.answered) e.answer = Label16.caption;
        }
    } else if (&c == &Command5) {
        if (now.ended && !was.ended) e.kind = K::End;
    }
    return e;
}

bool Form1::giveInput(const std::string& control, const UserInput& input) {
    Control* c = find(control);
    if (!c) return false;
    switch (input.verb) {
    case InputVerb::Click:
        if (c->kind() != Kind::Button) return false;
        static_cast<CommandButton*>(c)->userClick();
        return true;
    case InputVerb::Select:
        if (c->kind() != Kind::Option) return false;
        static_cast<OptionButton*>(c)->userSelect();
        return true;
    case InputVerb::Arrow:
    case InputVerb::Track:
    case InputVerb::Release:
        if (c->kind() != Kind::HScroll) return false;
        auto* bar = static_cast<HScrollBar*>(c);
        if (input.verb == InputVerb::Arrow)
            bar->userArrow(input.value);
        else if (input.verb == InputVerb::Track)
            bar->userTrack(input.value);
        else
            bar->userRelease(input.value);
        return true;
    }
    return false;
}
