#include "app/qt/review_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "app/teaching/panel_texts.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QPolygonF polyline(const std::vector<PlotPoint>& points) {
    QPolygonF line;
    line.reserve(static_cast<qsizetype>(points.size()));
    for (const PlotPoint& p : points) line << QPointF(p.x, p.y);
    return line;
}

}  // namespace

ReviewPlotWidget::ReviewPlotWidget(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QString::fromUtf8(panel_text::kReview));
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReviewPlotWidget::setCase(const CaseRecord* c) {
    const bool changed = c != case_ || (c && c->steps.size() != plottedSteps_);
    case_ = c;
    if (changed) {
        plottedSize_ = QSize();
        update();
    }
}

const ReviewPlot& ReviewPlotWidget::plot() {
    if (plottedSize_ != size() || plottedSteps_ != case_->steps.size()) {
        plot_ = reviewPlot(*case_, width(), height() - kLegendHeight);
        plottedSize_ = size();
        plottedSteps_ = case_->steps.size();
    }
    return plot_;
}

void ReviewPlotWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!case_ || case_->steps.empty()) return;
    const ReviewPlot& g = plot();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(0, kLegendHeight);

    const QRectF area(QPointF(g.left, g.top), QPointF(g.right, g.bottom));
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);
    p.setFont(small);
    const QFontMetricsF fm(small);
    const QColor grid(225, 225, 225), ink(40, 40, 40);

    // Grid lines at the dioptre ticks, the step ticks below, the labels of both scales.
    p.setPen(QPen(grid, 1));
    for (const PlotTick& t : g.dioptres.ticks) p.drawLine(QPointF(g.left, t.at), QPointF(g.right, t.at));
    p.setPen(QPen(ink, 1));
    p.drawRect(area);
    for (const PlotTick& t : g.steps.ticks) {
        p.drawLine(QPointF(t.at, g.bottom), QPointF(t.at, g.bottom + 4));
        const QString label = qs(t.label);
        p.drawText(QPointF(t.at - fm.horizontalAdvance(label) / 2, g.bottom + 4 + fm.ascent()), label);
    }
    for (const PlotTick& t : g.dioptres.ticks) {
        p.drawLine(QPointF(g.left - 4, t.at), QPointF(g.left, t.at));
        const QString label = qs(t.label);
        p.drawText(QPointF(g.left - 6 - fm.horizontalAdvance(label), t.at + fm.ascent() / 2 - 1), label);
    }
    p.setPen(QPen(axisColour(), 1));
    for (const PlotTick& t : g.degrees.ticks) {
        p.drawLine(QPointF(g.right, t.at), QPointF(g.right + 4, t.at));
        p.drawText(QPointF(g.right + 6, t.at + fm.ascent() / 2 - 1), qs(t.label));
    }
    // Scale titles: the steps centred under the tick labels, the dioptres above the left scale.
    p.setPen(ink);
    const QString stepsTitle = qs(g.steps.title);
    p.drawText(QPointF(g.right - fm.horizontalAdvance(stepsTitle), g.height - 2), stepsTitle);

    // The zero line of the residual, then the lines: axis difference first, equivalent on top.
    p.setPen(QPen(QColor(90, 90, 90), 1.2, Qt::DashLine));
    p.drawLine(QPointF(g.left, g.zeroY), QPointF(g.right, g.zeroY));
    p.setClipRect(area.adjusted(-3, -3, 3, 3));
    p.setPen(QPen(axisColour(), 1.5, Qt::DotLine));
    p.drawPolyline(polyline(g.axisDifference));
    p.setPen(QPen(cylinderColour(), 1.8));
    p.drawPolyline(polyline(g.cylinder));
    p.setPen(QPen(equivalentColour(), 2.2));
    p.drawPolyline(polyline(g.equivalent));

    // The questions: a ring on the equivalent line, the answer above it where there is room.
    p.setClipping(false);
    double freeFrom = g.left;
    for (const PlotMark& m : g.questions) {
        p.setPen(QPen(equivalentColour(), 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(m.at.x, m.at.y), 3.5, 3.5);
        if (m.text.empty()) continue;
        const QString text = qs(m.text);
        const double w = fm.horizontalAdvance(text);
        double x = std::min(m.at.x - w / 2, g.right - w);
        x = std::max(x, g.left + 1);
        if (x < freeFrom) continue;  // would cover the answer before
        const double y = std::max(g.top + fm.ascent() + 1, m.at.y - 7);
        const QRectF box(x - 1, y - fm.ascent(), w + 2, fm.height());
        p.fillRect(box, QColor(255, 255, 255, 215));
        p.setPen(ink);
        p.drawText(QPointF(x, y), text);
        freeFrom = x + w + 6;
    }

    // The band above: the left scale's title, the legend, the right scale's title.
    p.translate(0, -kLegendHeight);
    p.setPen(ink);
    const double y = kLegendHeight / 2.0;
    const double baseline = y + fm.ascent() / 2 - 1;
    p.drawText(QPointF(4, baseline), qs(g.dioptres.title));
    p.setPen(axisColour());
    const QString degreesTitle = qs(g.degrees.title);
    p.drawText(QPointF(g.width - 4 - fm.horizontalAdvance(degreesTitle), baseline), degreesTitle);
    const struct {
        const char* name;
        QColor colour;
        Qt::PenStyle style;
    } entries[] = {{kEquivalentName, equivalentColour(), Qt::SolidLine},
                   {kCylinderName, cylinderColour(), Qt::SolidLine},
                   {kAxisDifferenceName, axisColour(), Qt::DotLine}};
    double legendWidth = 0;
    for (const auto& e : entries) legendWidth += 26 + fm.horizontalAdvance(QString::fromUtf8(e.name)) + 12;
    double x = (g.left + g.right - legendWidth) / 2;
    for (const auto& e : entries) {
        p.setPen(QPen(e.colour, 2.2, e.style));
        p.drawLine(QPointF(x, y), QPointF(x + 20, y));
        x += 26;
        p.setPen(ink);
        const QString name = QString::fromUtf8(e.name);
        p.drawText(QPointF(x, baseline), name);
        x += fm.horizontalAdvance(name) + 12;
    }
}
