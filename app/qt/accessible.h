#pragma once
// What assistive technology (a screen reader, through Qt's bridge to the platform's accessibility
// bus) learns of the window's controls, and how its actions reach them. The window logic decides
// every name, value and announcement (app/window/accessibility.h); the interfaces here only carry them,
// and an action of assistive technology goes the way a click goes, through the view's input path.

#include <QString>
#include <QWidget>

// Installs the interfaces of the view's widgets; idempotent, and needed before the first widget
// is asked for.
void installAccessibleInterfaces();

// Says `text` to assistive technology without moving the focus: an invisible notification of the
// window that shows itself anew with the text, which a screen reader speaks when it appears.
void announce(QWidget* window, const QString& text);

// The invisible notification behind announce(): one per window, drawn nowhere and never focused.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* window);
    QString text() const { return text_; }
    void say(const QString& text);

private:
    QString text_;
};
