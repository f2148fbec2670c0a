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
// An answer slants up and away from its ring by this angle: neighbours then lie side by side.
constexpr double kAnswerSlant = 35;

// The width of a text of full-width characters (the legend's names, the answers), one em each.
double fullWidth(const std::string& text, double size) {
    double chars = 0;
    for (unsigned char ch : text) chars += (ch & 0xC0) != 0x80;  // lead bytes only
    return chars * size;
}

PlotPoint turned(PlotPoint v, double degrees) {
    const double a = degrees * std::numbers::pi / 180;  // a picture's angle, not the window's 3.14
    return {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a)};
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
        p.texts.push_back({t.label, {p.left - kLabelGap, t.at}, TextAnchor::End, 0, kLabelSize, kInk});
    }
    // The right scale in the colour of the line it belongs to.
    for (const PlotTick& t : p.degrees.ticks) {
        p.strokes.push_back({{p.right, t.at}, {p.right + kTickLength, t.at}, {kAxisColour, 1, {}}});
        p.texts.push_back({t.label, {p.right + kLabelGap, t.at}, TextAnchor::Start, 0, kLabelSize, kAxisColour});
    }
    for (const PlotTick& t : p.steps.ticks) {
        p.strokes.push_back({{t.at, p.bottom}, {t.at, p.bottom + kTickLength}, frame});
        p.texts.push_back({t.label, {t.at, p.bottom + 15}, TextAnchor::Middle, 0, kLabelSize, kInk});
    }
    p.strokes.push_back({{p.left, p.zeroY}, {p.right, p.zeroY}, {kZero, 1.5, {}}});

    // Titles along the left and right edges, the steps' under the right end of their scale.
    const double middle = (p.top + p.bottom) / 2;
    p.texts.push_back({p.dioptres.title, {11, middle}, TextAnchor::Middle, -90, kTitleSize, kInk});
    p.texts.push_back({p.degrees.title, {p.width - 6, middle}, TextAnchor::Middle, 90, kTitleSize, kAxisColour});
    p.texts.push_back({p.steps.title, {p.right, p.bottom + 25}, TextAnchor::End, 0, kTitleSize, kInk});

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
        p.texts.push_back({line->name, {x + 22, y}, TextAnchor::Start, 0, kTitleSize, kInk});
        x += 22 + fullWidth(line->name, kTitleSize) + 14;
    }

    // A question asked: a ring on the equivalent line, the answer slanting up and to the right
    // from it; to the left where it would cross the right end of the plot area, down where it
    // would leave the top of the picture.
    for (const PlotMark& m : p.questions) {
        p.rings.push_back({m.at, kRingRadius, equivalentPen, kPaper});
        if (m.text.empty()) continue;
        const double slant = kAnswerSlant * std::numbers::pi / 180, length = fullWidth(m.text, kAnswerSize);
        const double sx = m.at.x + length * std::cos(slant) + 3 > p.right ? -1 : 1;
        const double rise = length * std::sin(slant) + 8;
        const double sy = m.at.y < rise ? 1 : -1;
        const double angle = kAnswerSlant * sx * sy;
        const PlotPoint off = turned({3 * sx, 7 * sy}, angle);
        p.texts.push_back({m.text,
                           {m.at.x + off.x, m.at.y + off.y},
                           sx > 0 ? TextAnchor::Start : TextAnchor::End,
                           angle,
                           kAnswerSize,
                           kAnswerColour});
    }
}

}  // namespace

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
    const Rounded ds = roundOut(lo, hi, {0.25, 0.5, 1, 2, 5, 10, 20, 50}, 8);
    const Rounded as = roundOut(0, std::max(worstAxis, 10.0), {5, 10, 15, 30, 45, 90, 180}, 6);

    const auto xAt = [&](double v) { return p.left + (v - xs.min) / (xs.max - xs.min) * (p.right - p.left); };
    const auto dAt = [&](double v) { return p.top + (ds.max - v) / (ds.max - ds.min) * (p.bottom - p.top); };
    const auto aAt = [&](double v) { return p.top + (as.max - v) / (as.max - as.min) * (p.bottom - p.top); };

    p.steps = {xs.min, xs.max, ticksOf(xs, xAt, [](double v) { return std::to_string(std::lround(v)); }), "手順"};
    p.dioptres = {ds.min, ds.max, ticksOf(ds, dAt, signedDioptres), "残余度数（Ｄ）"};
    p.degrees = {as.min, as.max, ticksOf(as, aAt, [](double v) { return shortestDecimal(v) + "°"; }), "軸のずれ（°）"};
    p.zeroY = dAt(0);

    p.equivalent.reserve(c.steps.size());
    p.cylinder.reserve(c.steps.size());
    p.axisDifference.reserve(c.steps.size());
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        const double x = xAt(static_cast<double>(i));
        p.equivalent.push_back({x, dAt(s.residual.equivalent)});
        p.cylinder.push_back({x, dAt(s.residual.zanyo.C)});
        p.axisDifference.push_back({x, aAt(s.residual.axisDifference)});
        if (s.kind == StepKind::Question) p.questions.push_back({i, p.equivalent.back(), s.answered ? s.answer : ""});
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

bool reviewShown(const CaseRecord& c) { return !c.hiddenUntilEnd(); }
