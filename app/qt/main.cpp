// The trainer: one window, the customer behind the phoropter.

#include <QApplication>

#include "trainer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Trainer trainer;
    trainer.show();
    return app.exec();
}
