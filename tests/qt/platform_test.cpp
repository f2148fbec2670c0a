// Printing, notices and quitting through Qt.

#include <gtest/gtest.h>

#include <QFile>
#include <QKeyEvent>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include "app/qt/qt_platform.h"
#include "app/qt/widgets.h"
#include "tests/qt/view_support.h"

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

// The print button of a loaded window on Qt's own services; no print server, so no printer.
struct PrintingWindow {
    QtPlatform platform;
    FakeRandom random;
    Form1 form{platform, random};
    FormView view{form};

    PrintingWindow() {
        form.Form_Load();
        view.sync();
        platform.setWindow(&view);
        view.show();
        QApplication::processEvents();
    }
    QList<NoticeBar*> notices() { return view.findChildren<NoticeBar*>(); }
    NoticeBar* shown() {
        for (NoticeBar* n : notices())
            if (n->isVisible()) return n;
        return nullptr;
    }
    void print() { mouseClick(view.findChild<QWidget*>(QStringLiteral("Command7"))); }
};

TEST(Printing, FailureNoticeStaysInTheWindowUntilTheTraineeActs) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is configured here";
    PrintingWindow w;
    EXPECT_EQ(w.shown(), nullptr);
    w.print();
    NoticeBar* notice = w.shown();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), QString::fromUtf8(Form1::kNoPrinterNotice));
    EXPECT_TRUE(w.view.rect().contains(notice->geometry())) << "inside the window";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(QToolTip::isVisible());
    // Nothing it covers: it lies in the strip below the print button, clear of every control.
    for (Control* c : w.form.controls()) {
        QWidget* cw = w.view.widgetFor(*c);
        if (!cw || cw == &w.view || c->container() != &w.form.window) continue;
        EXPECT_FALSE(cw->geometry().intersects(notice->geometry())) << c->name();
    }
    if (const QString folder = qEnvironmentVariable("FORM1_PICTURES"); !folder.isEmpty())
        w.view.grab().save(folder + "/print-notice.png");
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    EXPECT_EQ(w.shown(), notice) << "no time limit";

    // Printing again fails again: still one notice.
    w.print();
    EXPECT_EQ(w.notices().size(), 1);
    EXPECT_EQ(w.shown(), notice);

    // The window keeps working under it, and acting there dismisses it.
    mouseClick(w.view.findChild<QWidget*>(QStringLiteral("Option6")));
    EXPECT_TRUE(w.form.Option6.selected());
    EXPECT_EQ(w.shown(), nullptr);

    // A key in the window dismisses it too, and so does its own close button.
    w.print();
    ASSERT_NE(w.shown(), nullptr);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(w.view.findChild<QWidget*>(QStringLiteral("Option6")), &key);
    EXPECT_EQ(w.shown(), nullptr);
    w.print();
    auto* close = notice->findChild<QToolButton*>();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->focusPolicy(), Qt::NoFocus) << "the tab order stays the window's";
    mouseClick(close);
    EXPECT_EQ(w.shown(), nullptr);
    EXPECT_EQ(w.notices().size(), 1);
}

TEST(Printing, NoticeCarriesEitherText) {
    PrintingWindow w;
    w.platform.showNotice(Form1::kPrintFailedNotice);  // returns at once: nothing modal
    ASSERT_NE(w.shown(), nullptr);
    EXPECT_EQ(w.shown()->text(), QString::fromUtf8(Form1::kPrintFailedNotice));
    EXPECT_TRUE(w.view.rect().contains(w.shown()->geometry()));
    w.platform.showNotice(Form1::kNoPrinterNotice);
    EXPECT_EQ(w.notices().size(), 1);
    EXPECT_EQ(w.shown()->text(), QString::fromUtf8(Form1::kNoPrinterNotice));
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
