// Printing through the window's print button on a real default printer.

#include <gtest/gtest.h>

#include <QFile>
#include <QPrinterInfo>
#include <QThread>
#include <QToolTip>

#include "app/qt/qt_platform.h"
#include "app/qt/widgets.h"
#include "tests/qt/view_support.h"

// Run by tests/print/with_print_queue.sh, which starts a private print server whose default
// queue writes each job to the file named in TRAINER_PRINT_OUTPUT.
TEST(Printing, OnTheDefaultPrinterWithoutADialog) {
    const QString output = qEnvironmentVariable("TRAINER_PRINT_OUTPUT");
    ASSERT_FALSE(output.isEmpty()) << "run through tests/print/with_print_queue.sh";
    ASSERT_FALSE(QPrinterInfo::defaultPrinter().isNull());
    // The window's own print button, with the real printer behind it.
    QtPlatform platform;
    FakeRandom random;
    Form1 form(platform, random);
    form.Form_Load();
    FormView view(form);
    platform.setWindow(&view);
    view.show();
    QApplication::processEvents();
    mouseClick(view.findChild<QWidget*>(QStringLiteral("Command7")));
    EXPECT_FALSE(QToolTip::isVisible()) << QToolTip::text().toStdString();
    for (NoticeBar* notice : view.findChildren<NoticeBar*>())
        EXPECT_FALSE(notice->isVisible()) << notice->text().toStdString();

    // The queue hands the job on as it comes; wait for the whole document.
    QByteArray pdf;
    for (int i = 0; i < 100 && !pdf.trimmed().endsWith("%%EOF"); ++i) {
        QThread::msleep(100);
        QApplication::processEvents();
        QFile job(output);
        if (job.open(QIODevice::ReadOnly)) pdf = job.readAll();
    }
    ASSERT_FALSE(pdf.isEmpty()) << "the queue wrote no job";
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(countMatches(pdf, R"(/Type\s*/Page(?![a-zA-Z]))"), 1);
    EXPECT_GE(countMatches(pdf, R"(/Subtype\s*/Image)"), 1);
}
