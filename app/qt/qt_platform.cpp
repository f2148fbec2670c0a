#include "app/qt/qt_platform.h"

#include <QApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/qt/widgets.h"

bool printWidgetPicture(QWidget& widget, QPrinter& printer) {
    const QPixmap picture = widget.grab();
    if (picture.isNull()) return false;
    printer.setFullPage(false);
    printer.setPageOrientation(picture.width() > picture.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The painter's origin is the top-left corner of the printable area inside the margins.
    const QSize page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    QSize size = picture.size();
    size.scale(page, Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint((page.width() - size.width()) / 2, 0), size), picture);
    return painter.end();
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::quit() {
    // The window may sit inside the program's top-level window: that one closes.
    if (window_) window_->window()->close();
    QCoreApplication::exit(0);
}

PrintResult QtPlatform::printWindow() {
    // Without a configured printer QPrinter would quietly become a PDF writer with no file.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return PrintResult::NoPrinter;
    if (!window_) return PrintResult::Failed;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(window_->windowTitle());
    return printWidgetPicture(*window_, printer) ? PrintResult::Printed : PrintResult::Failed;
}

void QtPlatform::showNotice(const std::string& text) {
    if (!window_) return;
    // One notice per window, shown inside it until the trainee closes it or acts.
    auto* notice = window_->findChild<NoticeBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (!notice) notice = new NoticeBar(window_);
    notice->showText(QString::fromStdString(text));
}
