#include "app/qt/trainer_window.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "app/qt/accessible.h"
#include "app/qt/record_panel.h"
#include "app/qt/sitting_store.h"
#include "app/teaching/panel_texts.h"

namespace {

// The toggle's caption written downwards, one character a line, as Japanese may be.
QString downwards(const char* text) {
    const QString s = QString::fromUtf8(text);
    QStringList chars;
    for (const QChar c : s) chars << QString(c);
    return chars.join(QLatin1Char('\n'));
}

}  // namespace

void PanelToggle::setOpen(bool open) {
    const bool changed = open != open_ || text().isEmpty();
    open_ = open;
    if (!changed) return;
    const char* caption = open ? panel_text::kClose : panel_text::kOpen;
    setText(downwards(caption));
    setAccessibleName(QString::fromUtf8(caption));
    setToolTip(QString::fromUtf8(caption));
    QAccessible::State expanded;
    expanded.expanded = true;
    QAccessibleStateChangeEvent event(this, expanded);
    QAccessible::updateAccessibility(&event);
}

void PanelToggle::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus()) return;
    // Drawn here rather than by a style sheet, which would cost the start-up its parsing.
    QPainter p(this);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

TrainerWindow::TrainerWindow(Sitting& sitting, QtPlatform& platform, QWidget* parent)
    : QWidget(parent), sitting_(sitting), platform_(platform) {
    buildView();
    setWindowTitle(view_->windowTitle());

    toggle_ = new PanelToggle(this);
    toggle_->setObjectName(QStringLiteral("RecordPanelToggle"));
    toggle_->setAutoDefault(false);
    toggle_->setGeometry(view_->width() + 2, 8, kStripWidth - 4, 150);
    connect(toggle_, &QPushButton::clicked, this, [this] { setPanelOpen(!open_); });

    // Open beside the window where the screen has room for both.
    const QScreen* screen = QGuiApplication::primaryScreen();
    open_ = !screen || screen->availableGeometry().width() >= view_->width() + kStripWidth + RecordPanel::kWidth;
    setPanelOpen(open_);
}

void TrainerWindow::buildView() {
    view_ = new FormView(sitting_.form(), this);
    view_->move(0, 0);
    view_->setActionObserver([this] { afterAction(); });
    connect(view_, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    platform_.setWindow(view_);
}

RecordPanel& TrainerWindow::panel() {
    if (!panel_) {
        panel_ = new RecordPanel(sitting_, this);
        panel_->setGeometry(view_->width() + kStripWidth, 0, RecordPanel::kWidth, view_->height());
        panel_->setVisible(open_);
        connect(panel_, &RecordPanel::startCodeRequested, this, &TrainerWindow::startCode);
        connect(panel_, &RecordPanel::resumeRequested, this, &TrainerWindow::resumeSitting);
        panel_->setStore(store_);
        linkTabOrder();
        panel_->refresh();
    }
    return *panel_;
}

void TrainerWindow::setPanelOpen(bool open) {
    open_ = open;
    toggle_->setOpen(open);
    if (panel_) {
        panel_->setVisible(open);
        if (open) panel_->refresh();  // what was not followed while folded
    } else if (open && painted_) {
        panel();
    }
    fitWidth();
}

void TrainerWindow::fitWidth() {
    setFixedSize(view_->width() + kStripWidth + (open_ ? RecordPanel::kWidth : 0), view_->height());
}

void TrainerWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (painted_) return;
    painted_ = true;
    // The window is on screen: the panel follows in the next turn of the event loop.
    if (open_) QTimer::singleShot(0, this, [this] { panel(); });
}

void TrainerWindow::setStore(SittingStore* store) {
    store_ = store;
    if (panel_) panel_->setStore(store);
}

void TrainerWindow::afterAction() {
    // The first input to the window starts anew: the offer of the last sitting goes.
    if (store_) store_->withdrawOffer();
    if (!sitting_.announcement().empty()) announce(view_, QString::fromStdString(sitting_.announcement()));
    if (panel_ && open_) panel_->refresh();
}

template <class Change>
void TrainerWindow::replaceView(Change&& change) {
    // The widgets refer to the old window's controls: they go before it does.
    const QPoint at = view_->pos();
    delete view_;
    view_ = nullptr;
    change();
    buildView();
    view_->move(at);
    view_->show();
    setWindowTitle(view_->windowTitle());
    linkTabOrder();
    if (panel_) panel_->codeStarted();
    view_->focusFirstStop();
}

void TrainerWindow::startCode(const CaseCode& code) {
    replaceView([&] { sitting_.startCode(code); });
}

void TrainerWindow::resumeSitting() {
    if (!store_ || !store_->offering()) return;
    replaceView([this] { store_->resumeOffered(); });
}

void TrainerWindow::linkTabOrder() {
    // The panel follows the window: its last stop, then the toggle, then the panel's stops.
    const auto& order = sitting_.form().tabOrder();
    QWidget* last = nullptr;
    for (auto it = order.rbegin(); it != order.rend() && !last; ++it) last = view_->widgetFor(**it);
    if (last) setTabOrder(last, toggle_);
    QWidget* previous = toggle_;
    if (panel_)
        for (QWidget* w : panel_->tabStops()) {
            setTabOrder(previous, w);
            previous = w;
        }
}
