#pragma once
// 振り返り: what both views draw for one case. The plot of the residual against the step
// number (its geometry worked out here, for a plot of any size), the table of steps, the summary
// and the plot's text alternative.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "app/teaching/expert.h"
#include "app/teaching/plot_font.h"
#include "app/teaching/record.h"

struct PlotPoint {
    double x = 0, y = 0;
};

// A tick of a scale: where it stands (pixels along the scale's direction) and its label.
struct PlotTick {
    double at = 0;
    double value = 0;
    std::string label;
};

struct PlotScale {
    double min = 0, max = 1;  // the values at the two ends of the plot area
    std::vector<PlotTick> ticks;
    std::string title;
};

// A question asked: drawn on the spherical-equivalent line, with the customer's answer and the
// label drawn beside its ring: the answer, or where that finds no room the step's number (the
// step table and the text alternative hold the answer), or nothing where not even that fits.
struct PlotMark {
    size_t step = 0;
    PlotPoint at;
    std::string text;
    std::string label;
};

// The plot's look, the same in both views: colours in sRGB, lengths in the plot's pixels.
struct PlotColour {
    int r = 0, g = 0, b = 0;
    bool operator==(const PlotColour&) const = default;
};

// A stroke: its colour, its width, and its dashes (lengths drawn and left out in turn; none:
// solid).
struct PlotPen {
    PlotColour colour;
    double width = 1;
    std::vector<double> dashes;
};

struct PlotSegment {
    PlotPoint from, to;
    PlotPen pen;
};

// One of the three lines of the residual, with its legend name.
struct PlotLine {
    std::string name;
    PlotPen pen;
    std::vector<PlotPoint> points;
};

struct PlotRing {
    PlotPoint centre;
    double radius = 0;
    PlotPen pen;
    PlotColour fill;
};

// A text: `at` is where it starts, on its vertical middle (the middle of its em box); the text
// is turned by `angle` degrees clockwise about `at`. `size` is the font's pixel size, the font
// kPlotFontFamily in both views; `width` is the text's advance in it, as the core placed it.
struct PlotText {
    std::string text;
    PlotPoint at;
    double angle = 0;
    double size = 11;
    PlotColour colour;
    double width = 0;
};

// A rectangle of the picture: what an unturned text or a ring covers.
struct PlotBox {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool meets(const PlotBox& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
    bool within(const PlotBox& o) const {
        return left >= o.left && right <= o.right && top >= o.top && bottom <= o.bottom;
    }
};
// The em box of an unturned text.
PlotBox textBox(const PlotText& t);

// Pixel coordinates of a picture `width` x `height`, origin top left, y downwards.
struct ReviewPlot {
    double width = 0, height = 0;
    double left = 0, top = 0, right = 0, bottom = 0;  // the plot area
    PlotScale steps;                                  // x: step number 0 .. last
    PlotScale dioptres;                               // left: spherical equivalent and cylinder of the residual
    PlotScale degrees;  // right: the axis difference between lens and hidden correction, 0° on 0 D
    double zeroY = 0;   // the zero line of both scales
    std::vector<PlotPoint> equivalent, cylinder, axisDifference;
    std::vector<PlotPoint> expert;    // the expert's spherical equivalent, when given
    std::vector<PlotMark> questions;  // the answers' labels are the last of `texts`, in this order

    // What both views paint, in this order: the paper; the strokes (grid, frame, ticks, the zero
    // line, the legend's swatches); the lines (the expert's, axis difference, cylinder, and the
    // equivalent on top); the questions' rings; the texts (tick labels, scale titles, legend, answers).
    PlotColour paper;
    std::vector<PlotSegment> strokes;
    std::vector<PlotLine> lines;
    std::vector<PlotRing> rings;
    std::vector<PlotText> texts;
};

// Names of the three lines, for the legend.
inline constexpr const char* kEquivalentName = "等価球面";
inline constexpr const char* kCylinderName = "円柱";
inline constexpr const char* kAxisDifferenceName = "軸のずれ";
// The expert's spherical equivalent for the same customer, drawn beside the trainee's.
inline constexpr const char* kExpertName = "お手本";

// Margins around the plot area, in the plot's pixels: room for the tick labels.
inline constexpr double kPlotMarginLeft = 56, kPlotMarginRight = 44, kPlotMarginTop = 14, kPlotMarginBottom = 30;

// With `expert`, the expert's record of the same customer: its spherical equivalent is a line of
// its own, on the same step scale.
ReviewPlot reviewPlot(const CaseRecord& c, double width, double height, const CaseRecord* expert = nullptr);

// The size both views draw the review's plot at (the page scales it down where it has less room),
// so that they show the same ranges, ticks and marks.
inline constexpr double kReviewPlotWidth = 480, kReviewPlotHeight = 260;

// The table of steps (ReviewSteps).
inline constexpr std::array<const char*, 6> kReviewColumns = {"番号", "時間", "操作", "レンズ", "残余度数", "答え"};
using ReviewRow = std::array<std::string, kReviewColumns.size()>;
// The rows of steps `from` onwards: a case's steps are only ever added, so a view that shows the
// first rows of a case already asks only for the rest.
std::vector<ReviewRow> reviewTable(const CaseRecord& c, size_t from = 0);

// The expert's steps (ExpertSteps): its own list of what it did and why.
inline constexpr std::array<const char*, 5> kExpertColumns = {"番号", "操作", "レンズ", "答え", "理由"};
using ExpertRow = std::array<std::string, kExpertColumns.size()>;
std::vector<ExpertRow> expertTable(const ExpertRun& run);

// The trainee's figures beside the expert's (ExpertSummary): questions, steps (counted alike in
// both records), hints and score.
inline constexpr std::array<const char*, 3> kExpertSummaryColumns = {"項目", "あなた", "お手本"};
using ExpertSummaryRow = std::array<std::string, kExpertSummaryColumns.size()>;
std::vector<ExpertSummaryRow> expertSummary(const CaseRecord& c, const CaseRecord& expert);

// The summary as heading and text: steps, questions, time taken, final residual, score.
std::vector<std::pair<std::string, std::string>> reviewSummary(const CaseRecord& c);

// The plot in words, one line per step: "3 球面 -1.25Ｄ：等価球面 -0.38Ｄ、円柱 -0.50Ｄ、軸のずれ 10°";
// the lines of steps `from` onwards.
std::string reviewPlotText(const CaseRecord& c, size_t from = 0);

// What a screen reader hears when a case ends: "測定終了　41 点".
std::string endAnnouncement(const CaseRecord& c);

// In test mode the review would give the residual away while the case is being measured; a case
// kept in brief has no route left to review.
bool reviewShown(const CaseRecord& c);
