#include "app/qt/widgets.h"

#include <algorithm>

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolButton>

#include "app/qt/accessible.h"
#include "app/window/accessibility.h"
#include "app/window/view_rules.h"

namespace {

// A solid frame just inside `r`, in black or white, whichever stands out on `face`.
void drawFocusMark(QPainter& p, const QRect& r, const QColor& face) {
    p.save();
    QPen pen(toQColor(focusMarkColour(toRgb(face))), kFocusMarkWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double half = kFocusMarkWidth / 2.0;
    p.drawRect(QRectF(r).adjusted(half, half, -half, -half));
    p.restore();
}

// A caption as the style draws it; while disabled, in a grey that keeps 3.5:1 against the face,
// etched with a white copy below and to the right, the usual look of a control out of use.
void drawCaption(QPainter& p, const QWidget& w, const QRect& area, int flags, const QString& text,
                 QPalette::ColorRole role, const QColor& face) {
    if (w.isEnabled()) {
        w.style()->drawItemText(&p, area, flags, w.palette(), true, text, role);
        return;
    }
    p.save();
    p.setPen(Qt::white);
    p.drawText(area.translated(1, 1), flags, text);
    p.setPen(toQColor(disabledCaptionColour(toRgb(face))));
    p.drawText(area, flags, text);
    p.restore();
}

bool isEnterKey(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

}  // namespace

void ImageWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, pixmap());
}

QColor ButtonWidget::face() const { return face_.isValid() ? face_ : palette().color(QPalette::Button); }

void ButtonWidget::setLines(const QStringList& lines) {
    const QString shown = lines.size() > 1 ? lines.join(QLatin1Char('\n')) : QString();
    if (shown == shown_) return;
    shown_ = shown;
    update();
}

void ButtonWidget::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    p.drawControl(QStyle::CE_PushButtonBevel, opt);

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
    if (isDown()) {
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, this));
    }
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QString caption = shown_.isEmpty() ? text() : shown_;
    drawCaption(p, *this, area, flags, caption, QPalette::ButtonText, face());
    if (hasFocus()) {
        const QRect textBox = p.fontMetrics().boundingRect(area, flags, caption).adjusted(-4, -3, 4, 3) & area;
        drawFocusMark(p, textBox, face());
    }
}

void ButtonWidget::keyPressEvent(QKeyEvent* event) {
    if (!isEnterKey(event)) {
        QPushButton::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) click();
    event->accept();
}

void OptionWidget::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);

    QStyleOptionButton indicator = opt;
    indicator.rect = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &opt, this);
    p.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

    const QRect area = style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, this);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | (wrap_ ? Qt::TextWordWrap : 0);
    const QColor face = palette().color(QPalette::Window);
    drawCaption(p, *this, area, flags, text(), QPalette::WindowText, face);
    if (hasFocus()) {
        const QRect textBox = p.fontMetrics().boundingRect(area, flags, text()).adjusted(-3, -2, 3, 2) & rect();
        drawFocusMark(p, textBox, face);
    }
}

bool OptionWidget::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void OptionWidget::keyPressEvent(QKeyEvent* event) {
    if (isEnterKey(event)) {
        if (!event->isAutoRepeat()) click();
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        emit arrowMove(-1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        emit arrowMove(+1);
        break;
    default:
        QRadioButton::keyPressEvent(event);
    }
}

void FrameWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(font());
    // The top line runs through the middle of the caption.
    const QRect box = rect().adjusted(0, fm.height() / 2, -1, -1);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(box.adjusted(1, 1, 0, 0));
    if (title().isEmpty()) return;
    constexpr int indent = 6, pad = 2;
    const QRect caption(indent, 0, fm.horizontalAdvance(title()) + 2 * pad, fm.height());
    p.fillRect(caption, palette().color(QPalette::Window));
    drawCaption(p, *this, caption, Qt::AlignCenter | Qt::TextHideMnemonic, title(), QPalette::WindowText,
                palette().color(QPalette::Window));
}

void ScrollBarWidget::setReadout(const QString& text) {
    if (text == readout_) return;
    readout_ = text;
    // Qt's bridge to the accessibility bus carries no value text, so the readout also travels as
    // the description.
    QAccessibleValueChangeEvent changed(this, value());
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

void ScrollBarWidget::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!hasFocus()) return;
    QPainter p(this);
    drawFocusMark(p, rect(), palette().color(QPalette::Window));
}

NoticeBar::NoticeBar(QWidget* window) : QFrame(window) {
    setObjectName(QStringLiteral("noticeBar"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, QColor(255, 255, 225));
        p.setColor(group, QPalette::WindowText, Qt::black);
    }
    setPalette(p);
    setFocusPolicy(Qt::NoFocus);

    label_ = new QLabel(this);
    label_->setTextFormat(Qt::PlainText);
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("×"));
    close->setAccessibleName(QStringLiteral("閉じる"));
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);  // the tab order stays the window's own
    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    close_ = close;

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 3, 3);
    row->addWidget(label_);
    row->addWidget(close_);
    hide();
}

QString NoticeBar::text() const { return label_->text(); }

void NoticeBar::showText(const QString& text) {
    label_->setText(text);
    setAccessibleName(text);
    QWidget* window = parentWidget();
    const QSize size = sizeHint().boundedTo(window->size() - QSize(16, 12));
    setGeometry(window->width() - size.width() - 8, window->height() - size.height() - 6, size.width(), size.height());
    raise();
    show();
    qApp->installEventFilter(this);
    announce(window, text);
}

bool NoticeBar::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        break;
    default:
        return false;
    }
    // Anything the trainee does in the window, except on the notice itself, dismisses it.
    auto* w = qobject_cast<QWidget*>(watched);
    QWidget* window = parentWidget();
    if (w && (w == window || window->isAncestorOf(w)) && w != this && !isAncestorOf(w)) hide();
    return false;
}

void NoticeBar::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QFrame::hideEvent(event);
}

PhoropterView::PhoropterView(const Frame& model, QWidget* parent) : FrameWidget(parent), model_(model) {}

void PhoropterView::paintEvent(QPaintEvent* event) {
    FrameWidget::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Painting in twips keeps the shapes smooth at any device pixel ratio.
    p.scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);
    const auto& shapes = model_.children;
    for (auto it = shapes.rbegin(); it != shapes.rend(); ++it) {
        const Control* c = *it;
        if (!c->visible) continue;
        if (c->kind() == Kind::Circle) paintCircle(p, static_cast<const Circle&>(*c));
        if (c->kind() == Kind::Line) paintLine(p, static_cast<const Line&>(*c));
    }
}

QColor PhoropterView::systemColour(SystemColour s) const {
    switch (s) {
    case SystemColour::WindowText:
        // The window's text colour, not the frame's (which carries the red caption).
        return window()->palette().color(QPalette::Active, QPalette::WindowText);
    case SystemColour::ButtonFace:
        // The masking discs must vanish into the background they are painted on.
        return palette().color(QPalette::Window);
    case SystemColour::None:
        break;
    }
    return {};
}

void PhoropterView::paintCircle(QPainter& p, const Circle& c) const {
    QRectF box(c.left, c.top, c.width, c.height);
    // A circle fits the shorter side of its box, centred.
    const double d = std::min(box.width(), box.height());
    box = QRectF(box.center().x() - d / 2, box.center().y() - d / 2, d, d);

    QPen pen(Qt::NoPen);
    if (c.hasBorder) {
        const QColor colour = c.look.fore ? toQColor(*c.look.fore) : systemColour(c.look.foreSystem);
        pen = QPen(colour, c.look.borderWidth * kTwipsPerPixel);
        const double inset = circleInset(c);
        box.adjust(inset, inset, -inset, -inset);
    }
    QBrush brush(Qt::NoBrush);
    if (c.fillStyle == 0) brush = QBrush(c.fillColour ? toQColor(*c.fillColour) : systemColour(c.fillSystem));
    p.setPen(pen);
    p.setBrush(brush);
    p.drawEllipse(box);
}

void PhoropterView::paintLine(QPainter& p, const Line& l) const {
    const QColor colour = l.look.fore ? toQColor(*l.look.fore) : systemColour(l.look.foreSystem);
    p.setPen(QPen(colour, l.look.borderWidth * kTwipsPerPixel, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
}
