#include "widgets.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

void drawFocusAround(QStylePainter& p, const QWidget& w, const QRect& r) {
    QStyleOptionFocusRect fr;
    fr.initFrom(&w);
    fr.rect = r;
    p.drawPrimitive(QStyle::PE_FrameFocusRect, fr);
}

}  // namespace

void ImageWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, pixmap());
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
    p.drawItemText(area, flags, palette(), isEnabled(), text(), QPalette::ButtonText);
    if (hasFocus()) {
        QRect textBox = p.fontMetrics().boundingRect(area, flags, text()).adjusted(-2, -1, 2, 1) & area;
        drawFocusAround(p, *this, textBox);
    }
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
    p.drawItemText(area, flags, palette(), isEnabled(), text(), QPalette::WindowText);
    if (hasFocus()) {
        QRect textBox = p.fontMetrics().boundingRect(area, flags, text()).adjusted(-1, 0, 1, 0) & rect();
        drawFocusAround(p, *this, textBox);
    }
}

bool OptionWidget::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void OptionWidget::keyPressEvent(QKeyEvent* event) {
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
    style()->drawItemText(&p, caption, Qt::AlignCenter | Qt::TextHideMnemonic, palette(), isEnabled(), title(),
                          QPalette::WindowText);
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
        const double width = c.look.borderWidth * kTwipsPerPixel;
        pen = QPen(colour, width);
        // The border lies inside the box.
        box.adjust(width / 2, width / 2, -width / 2, -width / 2);
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
