#pragma once
// The whole program behind main(): fonts, the window logic on Qt's services, and its view.

#include <memory>

#include "app/form1.h"
#include "app/qt/form_view.h"
#include "app/qt/qt_platform.h"

class Trainer {
public:
    // Needs a QApplication. Draws the first customer; the window is not shown yet.
    Trainer();
    void show();
    FormView& view() { return *view_; }
    Form1& form() { return form_; }

private:
    ClockRandom random_;
    QtPlatform platform_;
    Form1 form_;
    std::unique_ptr<FormView> view_;
};
