// Printing, notices and quitting through Qt.

#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
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

}  // namespace

TEST(Printing, WindowPictureOnOnePdfPage) {
    ShownView v;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray pdf = printToPdf(v.view, dir.filePath("window.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(countMatches(pdf, R"(/Type\s*/Page(?![a-zA-Z]))"), 1);
    EXPECT_GE(countMatches(pdf, R"(/Subtype\s*/Image)"), 1);
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
