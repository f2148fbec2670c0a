// The floor Qt itself sets: a plain window of the trainer's size (the window Form1 with the record
// panel open beside it) holding as many widgets of the same kinds as the trainer shows at its first
// paint (7 frames, 27 labels, 4 pictures, 9 push buttons with the panel's toggle, 12 option
// buttons, 4 scroll bars; the panel's own widgets come after the first paint), ended at its
// first paint.

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWidget>

#include "bench/first_paint.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(878 + 30 + 624, 655);
    int y = 0;
    auto next = [&y](QWidget* w) {
        w->setGeometry(4 + (y / 640) * 120, y % 640, 110, 18);
        y += 10;
    };
    for (int i = 0; i < 7; ++i) next(new QGroupBox(QStringLiteral("枠"), &window));
    for (int i = 0; i < 27; ++i) next(new QLabel(QStringLiteral("ラベル"), &window));
    QPixmap picture(94, 94);
    picture.fill(Qt::white);
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(&window);
        l->setPixmap(picture);
        next(l);
    }
    for (int i = 0; i < 9; ++i) next(new QPushButton(QStringLiteral("ボタン"), &window));
    for (int i = 0; i < 12; ++i) next(new QRadioButton(QStringLiteral("選択"), &window));
    for (int i = 0; i < 4; ++i) next(new QScrollBar(Qt::Horizontal, &window));
    QuitAtFirstPaint probe;
    window.installEventFilter(&probe);
    window.show();
    return app.exec();
}
