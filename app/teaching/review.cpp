#include "app/teaching/review.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace {

// The first step of `candidates` that divides [lo, hi] into at most `maxIntervals`, and the ends
// rounded out to it.
struct Rounded {
    double min, max, step;
};
Rounded roundOut(double lo, double hi, std::initializer_list<double> candidates, int maxIntervals) {
    double step = 0;
    for (double s : candidates) {
        step = s;
        if (std::ceil(hi / s) - std::floor(lo / s) <= maxIntervals) break;
    }
    double min = std::floor(lo / step) * step, max = std::ceil(hi / step) * step;
    if (max <= min) max = min + step;
    return {min, max, step};
}

std::string signedDioptres(double v) {
    if (v > 0) return std::string("+").append(shortestDecimal(v));  // appended: see dioptreText
    if (v == 0) return "0";
    return shortestDecimal(v);
}

// Ticks from min to max every `step`; `at` maps a value to pixels.
template <class Position, class Label>
std::vector<PlotTick> ticksOf(const Rounded& r, Position at, Label label) {
    std::vector<PlotTick> ticks;
    const long count = std::lround((r.max - r.min) / r.step);
    for (long i = 0; i <= count; ++i) {
        const double v = r.min + static_cast<double>(i) * r.step;
        ticks.push_back({at(v), v, label(v)});
    }
    return ticks;
}

// The look. Each line has a dash of its own, so that the three differ without colour too.
constexpr PlotColour kPaper{255, 255, 255}, kInk{20, 20, 20}, kFrame{120, 120, 120}, kGrid{225, 225, 225},
    kZero{0, 0, 0}, kEquivalentColour{0, 90, 200}, kCylinderColour{200, 60, 0}, kAxisColour{0, 130, 60},
    kAnswerColour{0, 60, 140}, kExpertColour{110, 110, 110};
constexpr double kLineWidth = 2, kTickLength = 4, kLabelGap = 6, kRingRadius = 4;
constexpr double kLabelSize = 11, kTitleSize = 10, kAnswerSize = 10;

PlotPoint turned(PlotPoint v, double degrees) {
    const double a = degrees * std::numbers::pi / 180;  // a picture's angle, not the window's 3.14
    return {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a)};
}

enum class Anchor { Start, Middle, End };

// A text whose start, middle or end is at `at`, turned about it by `angle`: moved back along its
// own direction to where it starts, by its width in the plot's font.
PlotText placed(const std::string& text, PlotPoint at, Anchor anchor, double angle, double size, PlotColour colour) {
    const double width = plotTextWidth(text, size);
    const double back = anchor == Anchor::Start ? 0 : anchor == Anchor::Middle ? width / 2 : width;
    const PlotPoint along = turned({back, 0}, angle);
    return {text, {at.x - along.x, at.y - along.y}, angle, size, colour, width};
}

// The plot area as the answers' labels share it: the rings and the labels placed so far, kept in
// columns of the picture so that a long case's many questions cost a look at their neighbours
// only.
class LabelRoom {
public:
    explicit LabelRoom(const PlotBox& area)
        : area_(area), columns_(static_cast<size_t>(std::max(1.0, std::ceil((area.right - area.left) / kColumn)))) {}

    bool fits(const PlotBox& b) const {
        if (!b.within(area_)) return false;
        // A pixel's gap around every label, so that neighbours never touch.
        const PlotBox wide{b.left - 1, b.top - 1, b.right + 1, b.bottom + 1};
        for (size_t c = column(wide.left); c <= column(wide.right); ++c)
            for (const PlotBox& o : columns_[c])
                if (o.meets(wide)) return false;
        return true;
    }
    void take(const PlotBox& b) {
        for (size_t c = column(b.left); c <= column(b.right); ++c) columns_[c].push_back(b);
    }

private:
    static constexpr double kColumn = 24;
    size_t column(double x) const {
        const double c = std::floor((x - area_.left) / kColumn);
        return static_cast<size_t>(std::clamp(c, 0.0, static_cast<double>(columns_.size() - 1)));
    }
    PlotBox area_;
    std::vector<std::vector<PlotBox>> columns_;
};

// Where a label `width` wide may go beside a ring at `at`, nearest first: above and below the ring
// (centred on it, starting at it, ending at it), then to its right and left, then one line further
// up and down. Each as the box the label would cover.
std::vector<PlotBox> labelPlaces(PlotPoint at, double width, double height) {
    constexpr double kGap = 2;
    const double near = kRingRadius + 1 + kGap;
    std::vector<PlotBox> places;
    const auto row = [&](double top) {
        for (double start : {at.x - width / 2, at.x - kRingRadius, at.x + kRingRadius - width})
            places.push_back({start, top, start + width, top + height});
    };
    row(at.y - near - height);
    row(at.y + near);
    places.push_back({at.x + near, at.y - height / 2, at.x + near + width, at.y + height / 2});
    places.push_back({at.x - near - width, at.y - height / 2, at.x - near, at.y + height / 2});
    row(at.y - near - 2 * height - kGap);
    row(at.y + near + height + kGap);
    return places;
}

// Everything the views paint, from the scales and points worked out before.
void addLook(ReviewPlot& p) {
    const PlotPen frame{kFrame, 1, {}};
    const PlotPen axisPen{kAxisColour, kLineWidth, {2, 3}};
    const PlotPen cylinderPen{kCylinderColour, kLineWidth, {6, 3}};
    const PlotPen equivalentPen{kEquivalentColour, kLineWidth, {}};
    const PlotPen expertPen{kExpertColour, 1.5, {1, 2}};
    p.paper = kPaper;
    for (const PlotTick& t : p.dioptres.ticks) p.strokes.push_back({{p.left, t.at}, {p.right, t.at}, {kGrid, 1, {}}});
    p.strokes.push_back({{p.left, p.top}, {p.right, p.top}, frame});
    p.strokes.push_back({{p.right, p.top}, {p.right, p.bottom}, frame});
    p.strokes.push_back({{p.right, p.bottom}, {p.left, p.bottom}, frame});
    p.strokes.push_back({{p.left, p.bottom}, {p.left, p.top}, frame});
    for (const PlotTick& t : p.dioptres.ticks) {
        p.strokes.push_back({{p.left - kTickLength, t.at}, {p.left, t.at}, frame});
        p.texts.push_back(placed(t.label, {p.left - kLabelGap, t.at}, Anchor::End, 0, kLabelSize, kInk));
    }
    // The right scale in the colour of the line it belongs to.
    for (const PlotTick& t : p.degrees.ticks) {
        p.strokes.push_back({{p.right, t.at}, {p.right + kTickLength, t.at}, {kAxisColour, 1, {}}});
        p.texts.push_back(placed(t.label, {p.right + kLabelGap, t.at}, Anchor::Start, 0, kLabelSize, kAxisColour));
    }
    for (const PlotTick& t : p.steps.ticks) {
        p.strokes.push_back({{t.at, p.bottom}, {t.at, p.bottom + kTickLength}, frame});
        p.texts.push_back(placed(t.label, {t.at, p.bottom + 15}, Anchor::Middle, 0, kLabelSize, kInk));
    }
    p.strokes.push_back({{p.left, p.zeroY}, {p.right, p.zeroY}, {kZero, 1.5, {}}});

    // Titles along the left and right edges, the steps' under the right end of their scale.
    const double middle = (p.top + p.bottom) / 2;
    p.texts.push_back(placed(p.dioptres.title, {11, middle}, Anchor::Middle, -90, kTitleSize, kInk));
    p.texts.push_back(placed(p.degrees.title, {p.width - 6, middle}, Anchor::Middle, 90, kTitleSize, kAxisColour));
    p.texts.push_back(placed(p.steps.title, {p.right, p.bottom + 25}, Anchor::End, 0, kTitleSize, kInk));

    p.lines.reserve(4);
    // The expert's line under the trainee's, thin and grey: the trainee's own path stays in front.
    if (!p.expert.empty()) p.lines.push_back({kExpertName, expertPen, p.expert});
    p.lines.push_back({kAxisDifferenceName, axisPen, p.axisDifference});
    p.lines.push_back({kCylinderName, cylinderPen, p.cylinder});
    p.lines.push_back({kEquivalentName, equivalentPen, p.equivalent});

    // The legend on the steps' title's line, from the left end of the scale: the equivalent first.
    double x = p.left;
    const double y = p.bottom + 25;
    for (auto line = p.lines.rbegin(); line != p.lines.rend(); ++line) {
        p.strokes.push_back({{x, y}, {x + 18, y}, line->pen});
        p.texts.push_back(placed(line->name, {x + 22, y}, Anchor::Start, 0, kTitleSize, kInk));
        x += 22 + p.texts.back().width + 14;
    }

    // A question asked: a ring on the equivalent line, and its answer beside it where the answer
    // finds room inside the plot area clear of every ring and of the answers before it; else the
    // step's number, else nothing (the step table and the text alternative hold every answer).
    LabelRoom room({p.left, p.top, p.right, p.bottom});
    for (const PlotMark& m : p.questions) {
        p.rings.push_back({m.at, kRingRadius, equivalentPen, kPaper});
        room.take(
            {m.at.x - kRingRadius - 1, m.at.y - kRingRadius - 1, m.at.x + kRingRadius + 1, m.at.y + kRingRadius + 1});
    }
    for (PlotMark& m : p.questions) {
        if (m.text.empty()) continue;
        for (const std::string& label : {m.text, std::to_string(m.step)}) {
            const double width = plotTextWidth(label, kAnswerSize);
            const std::vector<PlotBox> places = labelPlaces(m.at, width, kAnswerSize);
            const auto free =
                std::find_if(places.begin(), places.end(), [&](const PlotBox& b) { return room.fits(b); });
            if (free == places.end()) continue;
            room.take(*free);
            m.label = label;
            p.texts.push_back(
                {label, {free->left, (free->top + free->bottom) / 2}, 0, kAnswerSize, kAnswerColour, width});
            break;
        }
    }
}

}  // namespace

PlotBox textBox(const PlotText& t) { return {t.at.x, t.at.y - t.size / 2, t.at.x + t.width, t.at.y + t.size / 2}; }

ReviewPlot reviewPlot(const CaseRecord& c, double width, double height, const CaseRecord* expert) {
    ReviewPlot p;
    p.width = width;
    p.height = height;
    p.left = kPlotMarginLeft;
    p.top = kPlotMarginTop;
    p.right = std::max(p.left + 1, width - kPlotMarginRight);
    p.bottom = std::max(p.top + 1, height - kPlotMarginBottom);

    double lo = 0, hi = 0, worstAxis = 0;
    for (const Step& s : c.steps) {
        lo = std::min({lo, s.residual.equivalent, s.residual.zanyo.C});
        hi = std::max({hi, s.residual.equivalent, s.residual.zanyo.C});
        worstAxis = std::max(worstAxis, static_cast<double>(s.residual.axisDifference));
    }
    size_t last = c.steps.empty() ? 0 : c.steps.size() - 1;
    if (expert) {
        for (const Step& s : expert->steps) {
            lo = std::min(lo, s.residual.equivalent);
            hi = std::max(hi, s.residual.equivalent);
        }
        if (!expert->steps.empty()) last = std::max(last, expert->steps.size() - 1);
    }

    const int xIntervals = std::max(1, static_cast<int>((p.right - p.left) / 48));
    const Rounded xs = roundOut(0, static_cast<double>(std::max<size_t>(last, 1)),
                                {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 1e9}, xIntervals);
    // The angle scale stands on the dioptres' zero and uses their grid lines above it: a third of
    // the dioptres' span at least lies above zero, so that it has room.
    const Rounded ds = roundOut(lo, std::max(hi, (hi - lo) / 3), {0.25, 0.5, 1, 2, 5, 10, 20, 50}, 8);
    const double linesAboveZero = std::max(1.0, std::round(ds.max / ds.step));
    double angleStep = 180;
    for (double s : {5, 10, 15, 30, 45, 90})
        if (s * linesAboveZero >= std::max(worstAxis, 10.0)) {
            angleStep = s;
            break;
        }
    const Rounded as{0, angleStep * linesAboveZero, angleStep};

    const auto xAt = [&](double v) { return p.left + (v - xs.min) / (xs.max - xs.min) * (p.right - p.left); };
    const auto dAt = [&](double v) { return p.top + (ds.max - v) / (ds.max - ds.min) * (p.bottom - p.top); };
    const double zeroY = dAt(0);
    const auto aAt = [&](double v) { return zeroY - v / as.max * (zeroY - p.top); };

    p.steps = {xs.min, xs.max, ticksOf(xs, xAt, [](double v) { return std::to_string(std::lround(v)); }), "手順"};
    p.dioptres = {ds.min, ds.max, ticksOf(ds, dAt, signedDioptres), "残余度数（Ｄ）"};
    p.degrees = {as.max * (zeroY - p.bottom) / (zeroY - p.top), as.max,
                 ticksOf(as, aAt, [](double v) { return shortestDecimal(v) + "°"; }), "軸のずれ（°）"};
    p.zeroY = zeroY;

    p.equivalent.reserve(c.steps.size());
    p.cylinder.reserve(c.steps.size());
    p.axisDifference.reserve(c.steps.size());
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        const double x = xAt(static_cast<double>(i));
        p.equivalent.push_back({x, dAt(s.residual.equivalent)});
        p.cylinder.push_back({x, dAt(s.residual.zanyo.C)});
        p.axisDifference.push_back({x, aAt(s.residual.axisDifference)});
        if (s.kind == StepKind::Question)
            p.questions.push_back({i, p.equivalent.back(), s.answered ? s.answer : "", ""});
    }
    if (expert) {
        p.expert.reserve(expert->steps.size());
        for (size_t i = 0; i < expert->steps.size(); ++i)
            p.expert.push_back({xAt(static_cast<double>(i)), dAt(expert->steps[i].residual.equivalent)});
    }
    addLook(p);
    return p;
}

std::vector<ReviewRow> reviewTable(const CaseRecord& c, size_t from) {
    std::vector<ReviewRow> rows;
    rows.reserve(c.steps.size() - std::min(from, c.steps.size()));
    for (size_t i = from; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        const Refraction& z = s.residual.zanyo;
        rows.push_back({std::to_string(i), durationText(s.timeMs), stepPhrase(s), lensText(s),
                        dosuuHyouki(z.S, z.C, z.A), s.answered ? s.answer : std::string()});
    }
    return rows;
}

std::vector<ExpertRow> expertTable(const ExpertRun& run) {
    std::vector<ExpertRow> rows;
    rows.reserve(run.steps.size());
    for (size_t i = 0; i < run.steps.size(); ++i) {
        const ExpertStep& s = run.steps[i];
        rows.push_back({std::to_string(i + 1), s.action, lensText(s.lens), s.answer, s.reason});
    }
    return rows;
}

std::vector<ExpertSummaryRow> expertSummary(const CaseRecord& c, const CaseRecord& expert) {
    const auto score = [](const CaseRecord& r) {
        return r.status == CaseStatus::Ended ? std::to_string(r.result().residual.score) + " 点"
                                             : std::string("測定中");
    };
    return {{"質問数", std::to_string(c.questions()), std::to_string(expert.questions())},
            {"手順数", std::to_string(c.actions()), std::to_string(expert.actions())},
            {"ヒント数", std::to_string(c.hints()), "0"},
            {"点数", score(c), score(expert)}};
}

std::vector<std::pair<std::string, std::string>> reviewSummary(const CaseRecord& c) {
    const Step& r = c.result();
    const Refraction& z = r.residual.zanyo;
    std::string score;
    switch (c.status) {
    case CaseStatus::Ended:
        score = std::to_string(r.residual.score) + " 点";
        break;
    case CaseStatus::Measuring:
        score = "測定中";
        break;
    case CaseStatus::Abandoned:
        score = "中断";
        break;
    }
    // Steps are the trainee's actions: the customer's appearance is not one.
    return {{"手順数", std::to_string(c.steps.empty() ? 0 : c.actions())},
            {"質問数", std::to_string(c.questions())},
            {"所要時間", durationText(c.durationMs())},
            {"最後の残余度数", dosuuHyouki(z.S, z.C, z.A)},
            {"点数", score}};
}

std::string reviewPlotText(const CaseRecord& c, size_t from) {
    std::string out;
    for (size_t i = from; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        out += std::to_string(i) + " " + stepPhrase(s) + "：" + kEquivalentName + " " +
               dioptreText(s.residual.equivalent) + "、" + kCylinderName + " " + dioptreText(s.residual.zanyo.C) +
               "、" + kAxisDifferenceName + " " + std::to_string(s.residual.axisDifference) + "°";
        if (s.answered) out += "、答え「" + s.answer + "」";
        out += "\n";
    }
    return out;
}

std::string endAnnouncement(const CaseRecord& c) {
    return "測定終了　" + std::to_string(c.result().residual.score) + " 点";
}

bool reviewShown(const CaseRecord& c) { return !c.hiddenUntilEnd() && !c.tally; }
