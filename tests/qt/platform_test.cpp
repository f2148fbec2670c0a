// Printing, notices and quitting through Qt.

#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolTip>

#include "qt_platform.h"
#include "view_support.h"

namespace {

QByteArray printToPdf(QWidget& w, const QString& file) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    EXPECT_TRUE(printWidgetPicture(w, printer));
    QFile pdf(file);
    EXPECT_TRUE(pdf.open(QIODevice::ReadOnly));
    return pdf.readAll();
}

int count(const QByteArray& data, const char* pattern) {
    auto matches = QRegularExpression(QString::fromLatin1(pattern)).globalMatch(QString::fromLatin1(data));
    int n = 0;
    for (; matches.hasNext(); matches.next()) ++n;
    return n;
}

}  // namespace

TEST(Printing, WindowPictureOnOnePdfPage) {
    ShownView v;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray pdf = printToPdf(v.view, dir.filePath("window.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(count(pdf, R"(/Type\s*/Page(?![a-zA-Z]))"), 1);
    EXPECT_GE(count(pdf, R"(/Subtype\s*/Image)"), 1);
    // Kept for a look by eye beside the window pictures.
    if (const QString folder = qEnvironmentVariable("FORM1_PICTURES"); !folder.isEmpty())
        QFile::copy(dir.filePath("window.pdf"), folder + "/window.pdf");
}

TEST(Printing, WithoutPrinterTellsSoAndDoesNotOpenOne) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is configured here; nothing is printed";
    ShownView v;
    QtPlatform platform;
    platform.setWindow(&v.view);
    EXPECT_EQ(platform.printWindow(), PrintResult::NoPrinter);
}

// Run by tests/print/with_print_queue.sh, which starts a private print server whose default
// queue writes each job to the file named in TRAINER_PRINT_OUTPUT.
TEST(Printing, OnTheDefaultPrinterWithoutADialog) {
    const QString output = qEnvironmentVariable("TRAINER_PRINT_OUTPUT");
    if (output.isEmpty()) GTEST_SKIP() << "needs the private print queue of with_print_queue.sh";
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
    EXPECT_EQ(count(pdf, R"(/Type\s*/Page(?![a-zA-Z]))"), 1);
    EXPECT_GE(count(pdf, R"(/Subtype\s*/Image)"), 1);
}

TEST(Printing, NoticeIsAPassingTipAtThePrintButton) {
    ShownView v;
    QtPlatform platform;
    platform.setWindow(&v.view);
    platform.showNotice(Form1::kNoPrinterNotice);  // returns at once: nothing modal
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString::fromUtf8(Form1::kNoPrinterNotice));
    QToolTip::hideText();
}

TEST(Quitting, ClosesTheWindowAndLeavesTheEventLoop) {
    ShownView v;
    QtPlatform platform;
    platform.setWindow(&v.view);
    QTimer::singleShot(0, [&] { platform.quit(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });  // a safety net, not the result
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(v.view.isVisible());
}
