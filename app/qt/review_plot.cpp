#include "app/qt/review_plot.h"

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

void paintReviewPlot(QPainter& p, const ReviewPlot& g) {
    p.fillRect(QRectF(0, 0, g.width, g.height), qColour(g.paper));
    p.setRenderHint(QPainter::Antialiasing);
    for (const PlotSegment& s : g.strokes) {
        p.setPen(qPen(s.pen));
        p.drawLine(qPoint(s.from), qPoint(s.to));
    }
    p.setBrush(Qt::NoBrush);
    for (const PlotLine& line : g.lines) {
        QPolygonF points;
        points.reserve(static_cast<qsizetype>(line.points.size()));
        for (const PlotPoint& q : line.points) points << qPoint(q);
        p.setPen(qPen(line.pen));
        p.drawPolyline(points);
    }
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
    paintReviewPlot(p, plot());
}
