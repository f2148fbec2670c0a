#include "app/qt/review_plot.h"

#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include "app/teaching/panel_texts.h"

QColor qColour(const PlotColour& c) { return QColor(c.r, c.g, c.b); }

namespace {

QPointF qPoint(const PlotPoint& p) { return {p.x, p.y}; }

QPen qPen(const PlotPen& pen) {
    QPen q(qColour(pen.colour), pen.width);
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::RoundJoin);
    if (!pen.dashes.empty()) {
        // Qt measures dashes in pen widths.
        QList<qreal> pattern;
        for (double d : pen.dashes) pattern << d / pen.width;
        q.setDashPattern(pattern);
    }
    return q;
}

}  // namespace

QFont plotFont(double pixelSize) {
    QFont f(QString::fromUtf8(kPlotFontFamily));
    f.setPixelSize(static_cast<int>(pixelSize));
    // The font's own advances, unhinted, as the core measured the texts with.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

namespace {

// The paper, the strokes and the lines: the part of the plot a step more only adds to.
void paintLines(QPainter& p, const ReviewPlot& g) {
    p.fillRect(QRectF(0, 0, g.width, g.height), qColour(g.paper));
    p.setRenderHint(QPainter::Antialiasing);
    for (const PlotSegment& s : g.strokes) {
        p.setPen(qPen(s.pen));
        p.drawLine(qPoint(s.from), qPoint(s.to));
    }
    p.setBrush(Qt::NoBrush);
    for (const PlotLine& line : g.lines) {
        p.setPen(qPen(line.pen));
        QPolygonF points;
        points.reserve(static_cast<qsizetype>(line.points.size()));
        for (const PlotPoint& q : line.points) points << qPoint(q);
        p.drawPolyline(points);
    }
}

// The rings and the texts, over the lines.
void paintMarks(QPainter& p, const ReviewPlot& g) {
    p.setRenderHint(QPainter::Antialiasing);
    for (const PlotRing& r : g.rings) {
        p.setPen(qPen(r.pen));
        p.setBrush(qColour(r.fill));
        p.drawEllipse(qPoint(r.centre), r.radius, r.radius);
    }
    p.setBrush(Qt::NoBrush);
    for (const PlotText& t : g.texts) {
        const QFont f = plotFont(t.size);
        p.setFont(f);
        const QFontMetricsF fm(f, p.device());
        p.save();
        p.translate(qPoint(t.at));
        p.rotate(t.angle);
        p.setPen(qColour(t.colour));
        // From the start the core placed it at, its baseline put so that the em box's middle is there.
        p.drawText(QPointF(0, (fm.ascent() - fm.descent()) / 2), QString::fromStdString(t.text));
        p.restore();
    }
}

bool samePen(const PlotPen& a, const PlotPen& b) {
    return a.colour == b.colour && a.width == b.width && a.dashes == b.dashes;
}

bool samePoint(const PlotPoint& a, const PlotPoint& b) { return a.x == b.x && a.y == b.y; }

// Whether `now` only adds points to the lines `before` painted, on the same paper and strokes.
bool onlyAdds(const ReviewPlot& before, const ReviewPlot& now) {
    if (before.width != now.width || before.height != now.height || !(before.paper == now.paper) ||
        before.strokes.size() != now.strokes.size() || before.lines.size() != now.lines.size())
        return false;
    for (size_t i = 0; i < now.strokes.size(); ++i) {
        const PlotSegment &a = before.strokes[i], &b = now.strokes[i];
        if (!samePoint(a.from, b.from) || !samePoint(a.to, b.to) || !samePen(a.pen, b.pen)) return false;
    }
    for (size_t i = 0; i < now.lines.size(); ++i) {
        const PlotLine &a = before.lines[i], &b = now.lines[i];
        if (!samePen(a.pen, b.pen) || a.points.size() > b.points.size()) return false;
        for (size_t k = 0; k < a.points.size(); ++k)
            if (!samePoint(a.points[k], b.points[k])) return false;
    }
    return true;
}

}  // namespace

void paintReviewPlot(QPainter& p, const ReviewPlot& g) {
    paintLines(p, g);
    paintMarks(p, g);
}

void PlotLinesLayer::paint(QPainter& p, const ReviewPlot& g) {
    const qreal ratio = p.device()->devicePixelRatioF();
    const QSize size(static_cast<int>(std::ceil(g.width * ratio)), static_cast<int>(std::ceil(g.height * ratio)));
    if (image_.size() != size || image_.devicePixelRatioF() != ratio || !onlyAdds(drawn_, g)) {
        image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image_.setDevicePixelRatio(ratio);
        QPainter layer(&image_);
        paintLines(layer, g);
    } else {
        // Each line goes on from its last point, its dashes where the whole line has them; the
        // pieces meet end to end (drawn over each other, their edges would darken).
        QPainter layer(&image_);
        layer.setRenderHint(QPainter::Antialiasing);
        for (size_t i = 0; i < g.lines.size(); ++i) {
            const std::vector<PlotPoint>& now = g.lines[i].points;
            const size_t had = drawn_.lines[i].points.size();
            if (now.size() == had) continue;
            const size_t from = had >= 1 ? had - 1 : 0;
            double length = 0;
            for (size_t k = 0; k < from; ++k) length += std::hypot(now[k + 1].x - now[k].x, now[k + 1].y - now[k].y);
            QPen pen = qPen(g.lines[i].pen);
            if (!g.lines[i].pen.dashes.empty()) pen.setDashOffset(length / g.lines[i].pen.width);
            layer.setPen(pen);
            QPolygonF points;
            for (size_t k = from; k < now.size(); ++k) points << qPoint(now[k]);
            layer.drawPolyline(points);
        }
    }
    drawn_ = g;
    p.drawImage(QPointF(0, 0), image_);
    paintMarks(p, g);
}

ReviewPlotWidget::ReviewPlotWidget(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QString::fromUtf8(panel_text::kReview));
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(static_cast<int>(kReviewPlotWidth), static_cast<int>(kReviewPlotHeight));
}

void ReviewPlotWidget::setCase(const CaseRecord* c, const CaseRecord* expert) {
    const bool changed = c != case_ || expert != expert_ || (c && c->steps.size() != plottedSteps_);
    case_ = c;
    expert_ = expert;
    if (changed) {
        valid_ = false;
        update();
    }
}

const ReviewPlot& ReviewPlotWidget::plot() {
    if (!case_) {
        plot_ = ReviewPlot{};
        valid_ = false;
    } else if (!valid_ || plottedSteps_ != case_->steps.size()) {
        plot_ = reviewPlot(*case_, kReviewPlotWidth, kReviewPlotHeight, expert_);
        plottedSteps_ = case_->steps.size();
        valid_ = true;
    }
    return plot_;
}

void ReviewPlotWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!case_ || case_->steps.empty()) return;
    layer_.paint(p, plot());
}
