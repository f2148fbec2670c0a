#pragma once
// The machine around the window, through Qt: beep, print, quit, notices in the window.

#include <QPointer>
#include <QWidget>

#include "app/window/platform.h"

class QPrinter;

// Prints what the widget shows now (its visible controls only) on one page, scaled to fit
// within a margin with its aspect kept, without a dialog. False when the printer could not
// be opened or did not finish.
bool printWidgetPicture(QWidget& widget, QPrinter& printer);

class QtPlatform : public Platform {
public:
    // The window that is printed, closed on quit and carries the notices.
    void setWindow(QWidget* window) { window_ = window; }

    void beep() override;
    void quit() override;
    PrintResult printWindow() override;
    // A notice inside the window (see NoticeBar), never a dialog.
    void showNotice(const std::string& text) override;

private:
    QPointer<QWidget> window_;
};
