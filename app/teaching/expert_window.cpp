#include "app/teaching/expert_window.h"

#include <string>

#include "app/teaching/record.h"

WindowExamRoom::WindowExamRoom(CaseCode code, uint64_t customer, bool sample) : random_(code) {
    // The window draws the customer after the current one.
    if (customer > 0) random_.startCustomer(customer - 1);
    form_ = std::make_unique<Form1>(platform_, random_.customerSource(), random_.dialSource());
    form_->Form_Load();
    form_->setObserver(this);
    if (sample) form_->Option12.userSelect();
}

Reading WindowExamRoom::reading() {
    const Refraction r = form_->setting().readingLens;
    return Reading{r.S, r.C, static_cast<int>(r.A)};
}

void WindowExamRoom::windowEvent(const WindowEvent& event) {
    last_ = event;
    if (alsoTell_) alsoTell_->windowEvent(event);
}

void WindowExamRoom::setLens(const Lens& lens) {
    form_->HScroll1.userRelease(static_cast<int>(40 - lens.S * 4));
    form_->HScroll2.userRelease(static_cast<int>(-lens.C * 4));
    form_->HScroll3.userRelease(180 - lens.A);
}

std::string WindowExamRoom::ask(Chart chart, Question question) {
    Form1& f = *form_;
    OptionButton& chartButton = chart == Chart::Acuity     ? f.Option5
                                : chart == Chart::RedGreen ? f.Option6
                                : chart == Chart::Dial     ? f.Option7
                                                           : f.Option8;
    if (!chartButton.selected()) chartButton.userSelect();
    OptionButton& questionButton = question == Question::Acuity        ? f.Option1
                                   : question == Question::Dial        ? f.Option2
                                   : question == Question::RedGreen    ? f.Option3
                                   : question == Question::PlusQuarter ? f.Option4
                                                                       : f.Option9;
    if (!questionButton.selected()) questionButton.userSelect();
    f.Command6.userClick();
    // What the window said the question brought; nothing when it was not answered.
    return last_.kind == WindowEventKind::Question ? last_.answer : std::string();
}

void WindowExamRoom::crossCylinderIn(int handle) {
    if (!form_->Frame4.visible) form_->Command2.userClick();
    // The bar runs the other way round and has no position 0: handle 0 is position 180.
    const int position = 180 - handle;
    form_->HScroll4.userRelease(position == 0 ? 180 : position);
}

void WindowExamRoom::crossCylinderOut() {
    if (form_->Frame4.visible) form_->Command4.userClick();
}

int WindowExamRoom::endScore() {
    form_->Command5.userClick();
    // The score of the lens the window ended with, as the window's result shows it.
    return residualBetween(last_.after.correction, last_.after.lens).score;
}

ExpertResult playExpert(CaseCode code, uint64_t customer, bool sample) {
    WindowExamRoom room(code, customer, sample);
    ExpertResult result;
    result.run = refract(room);
    result.score = room.endScore();
    return result;
}

namespace {

// The expert takes no time: its record's times are all zero.
class StoppedClock : public RecordClock {
public:
    int64_t nowMs() const override { return 0; }
};

}  // namespace

ExpertPlay playExpertRecorded(CaseCode code, uint64_t customer, bool sample) {
    static const StoppedClock clock;
    Recorder recorder(clock);
    WindowExamRoom room(code, customer, sample);
    // The record starts from the window as the expert finds it (the sample customer in place).
    recorder.startCode(room.form().setting(), code);
    room.alsoTell(&recorder);
    ExpertPlay play;
    const Refraction start = room.form().setting().lens;
    play.startLens = Lens{start.S, start.C, static_cast<int>(start.A)};
    play.result.run = refract(room);
    play.result.score = room.endScore();
    play.record = recorder.cases().back();
    play.record.customer = customer;
    return play;
}
