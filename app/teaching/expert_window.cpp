#include "app/teaching/expert_window.h"

#include <cstdlib>
#include <string>
#include <vector>

WindowExamRoom::WindowExamRoom(CaseCode code, uint64_t customer, bool sample) : random_(code) {
    // The window draws the customer after the current one.
    if (customer > 0) random_.startCustomer(customer - 1);
    form_ = std::make_unique<Form1>(platform_, random_.customerSource(), random_.dialSource());
    form_->Form_Load();
    if (sample) form_->Option12.userSelect();
}

Reading WindowExamRoom::reading() {
    // The three numbers of the reading's text, "Ｓ-3.50Ｄ Ｃ-1.25Ｄ Ａ60° です。", in order.
    const std::string& text = form_->Label17.caption;
    std::vector<double> numbers;
    for (size_t i = 0; i < text.size() && numbers.size() < 3;) {
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9';
        if (digit || ((c == '-' || c == '+') && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9')) {
            char* end = nullptr;
            numbers.push_back(std::strtod(text.c_str() + i, &end));
            i = static_cast<size_t>(end - text.c_str());
        } else {
            ++i;
        }
    }
    numbers.resize(3, 0);
    return Reading{numbers[0], numbers[1], static_cast<int>(numbers[2])};
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
    return f.Label16.caption;
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
    return std::atoi(form_->Label23.caption.c_str());
}

ExpertResult playExpert(CaseCode code, uint64_t customer, bool sample) {
    WindowExamRoom room(code, customer, sample);
    ExpertResult result;
    result.run = refract(room);
    result.score = room.endScore();
    return result;
}
