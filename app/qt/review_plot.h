#pragma once
// The plot of 振り返り: the residual of one case against the step number, painted with QPainter
// from what the core works out (reviewPlot): every stroke, line, ring and text, at the size both
// views draw it.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

#include "app/teaching/review.h"

class QPainter;

QColor qColour(const PlotColour& c);
// The font the plot's texts are drawn in at `pixelSize`: the one the core measures them in.
QFont plotFont(double pixelSize);
// Paints `plot` from the painter's origin.
void paintReviewPlot(QPainter& painter, const ReviewPlot& plot);

// The plot painted, its paper, strokes and lines kept as an image: a plot that only adds points to
// the lines it painted last has just the new pieces of its lines drawn onto it (a 500-step line
// stroked whole took most of a step's time), the rings and texts over it painted anew.
class PlotLinesLayer {
public:
    void paint(QPainter& painter, const ReviewPlot& plot);

private:
    QImage image_;
    ReviewPlot drawn_;
};

class ReviewPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit ReviewPlotWidget(QWidget* parent = nullptr);

    // The case drawn, or none. The record must keep it in place until the next call (the panel
    // calls again after every action, since a new customer may move the record's cases).
    // With `expert`, the expert's record of the same customer, drawn as a line of its own.
    void setCase(const CaseRecord* c, const CaseRecord* expert = nullptr);
    const CaseRecord* shownCase() const { return case_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The core's plot of the case shown, worked out again when the case has grown.
    const ReviewPlot& plot();

    const CaseRecord* case_ = nullptr;
    const CaseRecord* expert_ = nullptr;
    ReviewPlot plot_;
    PlotLinesLayer layer_;
    size_t plottedSteps_ = 0;
    bool valid_ = false;
};
