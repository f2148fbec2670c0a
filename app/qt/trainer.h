#pragma once
// The whole program behind main(): fonts, the window logic on Qt's services, its view and the
// record panel beside it, one case code's customers after another.

#include <memory>
#include <optional>

#include "app/qt/form_view.h"
#include "app/qt/qt_platform.h"
#include "app/qt/sitting_store.h"
#include "app/qt/trainer_window.h"
#include "app/teaching/case_code.h"
#include "app/teaching/record.h"
#include "app/teaching/sitting.h"

class Trainer {
public:
    // Needs a QApplication. Draws the first customer of `code` (without one, a fresh code from
    // the clock, and the last sitting is offered when it has unsaved work); the sitting is kept
    // in `folder` (empty: the user's data folder). The window is not shown yet.
    explicit Trainer(std::optional<CaseCode> code = std::nullopt, const QString& folder = {});
    void show();
    // The top-level window.
    TrainerWindow& window() { return *window_; }
    // The window Form1 (a new code replaces it).
    FormView& view() { return window_->view(); }
    Form1& form() { return sitting_.form(); }
    Sitting& sitting() { return sitting_; }
    SittingStore& store() { return store_; }

private:
    SteadyRecordClock clock_;
    QtPlatform platform_;
    Sitting sitting_;
    SittingStore store_;
    std::unique_ptr<TrainerWindow> window_;
};
