// The trainer: one window, the customer behind the phoropter.

#include <QApplication>
#include <QIcon>

#include "fonts.h"
#include "form1.h"
#include "form_view.h"
#include "qt_platform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installFonts();

    ClockRandom random;
    QtPlatform platform;
    Form1 form(platform, random);
    form.Form_Load();

    FormView view(form);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/charts/icon.png")));
    platform.setWindow(&view);
    view.show();
    return app.exec();
}
