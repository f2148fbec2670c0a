#pragma once
// Helpers for the view tests: a window on fake platform and random source, shown offscreen.

#include <QApplication>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QWidget>

#include "app/qt/form_view.h"
#include "tests/test_support.h"

// The model in its design state (Form_Load not run unless asked, so nothing here depends on
// what the handlers compute) and its view, shown.
struct ShownView {
    TestForm form;
    FormView view;

    explicit ShownView(bool load = false) : form(load), view(*form) {
        view.show();
        QApplication::processEvents();
    }
    Form1& model() { return *form; }
    template <class W = QWidget>
    W* widget(const char* name) {
        return view.findChild<W*>(QString::fromLatin1(name));
    }
};

inline void mouseClick(QWidget* w, QPoint at) {
    const QPointF local(at);
    const QPointF global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

inline void mouseClick(QWidget* w) { mouseClick(w, w->rect().center()); }

// How often a regular expression matches in a file's bytes (read as Latin-1).
inline int countMatches(const QByteArray& data, const char* pattern) {
    auto matches = QRegularExpression(QString::fromLatin1(pattern)).globalMatch(QString::fromLatin1(data));
    int n = 0;
    for (; matches.hasNext(); matches.next()) ++n;
    return n;
}
