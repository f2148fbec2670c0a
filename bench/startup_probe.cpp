// The trainer as main() starts it, ended at its window's first paint.

#include <QApplication>

#include "app/qt/trainer.h"
#include "bench/first_paint.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Trainer trainer;
    // As on a screen with room for the record panel beside the window.
    trainer.window().setPanelOpen(true);
    QuitAtFirstPaint probe;
    trainer.window().installEventFilter(&probe);
    trainer.show();
    return app.exec();
}
