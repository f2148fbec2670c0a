#pragma once
// The plot of 振り返り: the residual of one case against the step number, drawn with QPainter from
// the geometry the core works out for the widget's size (reviewPlot).

#include <QWidget>

#include "app/teaching/review.h"

class ReviewPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit ReviewPlotWidget(QWidget* parent = nullptr);

    // The case drawn, or none. The record must keep it in place until the next call (the panel
    // calls again after every action, since a new customer may move the record's cases).
    void setCase(const CaseRecord* c);
    const CaseRecord* shownCase() const { return case_; }

    // The colours of the three lines, in the legend's order: equivalent, cylinder, axis difference.
    static QColor equivalentColour() { return QColor(0, 84, 190); }
    static QColor cylinderColour() { return QColor(200, 70, 0); }
    static QColor axisColour() { return QColor(0, 128, 64); }

    // The band above the plot that holds the scale titles and the legend.
    static constexpr int kLegendHeight = 20;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Draws the case at the widget's size; the geometry is kept while size and steps stay.
    const ReviewPlot& plot();

    const CaseRecord* case_ = nullptr;
    ReviewPlot plot_;
    size_t plottedSteps_ = 0;
    QSize plottedSize_;
};
