#include "display/customer_sight.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>
#include <utility>

namespace {

// ---------------------------------------------------------------------------------------------
// Angles from a table of whole degrees, so no platform's sine decides a pixel.

// clang-format off
constexpr double kSinDegree[91] = {
    0, 0.017452406437283512, 0.034899496702500969, 0.052335956242943835, 0.069756473744125302,
    0.087155742747658166, 0.10452846326765347, 0.12186934340514748, 0.13917310096006544, 0.15643446504023087,
    0.17364817766693033, 0.1908089953765448, 0.20791169081775934, 0.224951054343865, 0.24192189559966773,
    0.25881904510252074, 0.27563735581699916, 0.29237170472273677, 0.3090169943749474, 0.3255681544571567,
    0.34202014332566871, 0.35836794954530027, 0.37460659341591201, 0.39073112848927377, 0.40673664307580021,
    0.42261826174069944, 0.4383711467890774, 0.45399049973954675, 0.46947156278589081, 0.48480962024633706,
    0.49999999999999994, 0.51503807491005416, 0.5299192642332049, 0.54463903501502708, 0.5591929034707469,
    0.57357643635104605, 0.58778525229247314, 0.60181502315204827, 0.61566147532565829, 0.62932039104983739,
    0.64278760968653925, 0.65605902899050728, 0.66913060635885824, 0.68199836006249848, 0.69465837045899725,
    0.70710678118654746, 0.71933980033865108, 0.73135370161917046, 0.74314482547739424, 0.75470958022277201,
    0.76604444311897801, 0.7771459614569709, 0.78801075360672201, 0.79863551004729283, 0.80901699437494745,
    0.8191520442889918, 0.82903757255504174, 0.83867056794542405, 0.84804809615642596, 0.85716730070211233,
    0.8660254037844386, 0.87461970713939574, 0.88294759285892688, 0.89100652418836779, 0.89879404629916704,
    0.90630778703664994, 0.91354545764260087, 0.92050485345244037, 0.92718385456678742, 0.93358042649720174,
    0.93969262078590832, 0.94551857559931674, 0.95105651629515353, 0.95630475596303544, 0.96126169593831889,
    0.96592582628906831, 0.97029572627599647, 0.97437006478523525, 0.97814760073380558, 0.98162718344766398,
    0.98480775301220802, 0.98768834059513777, 0.99026806874157036, 0.99254615164132198, 0.99452189536827329,
    0.99619469809174555, 0.9975640502598242, 0.99862953475457383, 0.99939082701909576, 0.99984769515639127,
    1,
};
// clang-format on

double sinDeg(double d) {
    d -= 360 * std::floor(d / 360);  // 0 <= d < 360
    double sign = 1;
    if (d >= 180) {
        d -= 180;
        sign = -1;
    }
    if (d > 90) d = 180 - d;
    const int i = std::min(static_cast<int>(d), 89);
    return sign * (kSinDegree[i] + (kSinDegree[i + 1] - kSinDegree[i]) * (d - i));
}

double cosDeg(double d) { return sinDeg(d + 90); }

// ---------------------------------------------------------------------------------------------
// Drawing the charts: how much of each pixel the black of the chart covers, from the distance
// of the pixel's centre to each shape's edge and the edge's direction: the exact share of the
// pixel on the inner side of a straight edge there, so lines at any angle carry the same ink.

struct Ink {
    int w = 0, h = 0;
    std::vector<float> a;
    Ink(int width, int height) : w(width), h(height), a(static_cast<size_t>(width) * height, 0.0f) {}
};

// The distance from a pixel's centre to a shape's nearest edge (negative inside) and the edge's
// outward unit normal.
struct Edge {
    double d, nx, ny;
    Edge flipped() const { return {-d, -nx, -ny}; }
};

Edge outer(const Edge& a, const Edge& b) { return a.d >= b.d ? a : b; }

float coverage(const Edge& e) {
    // The share of the unit square around the centre where nx * u + ny * v <= -d.
    double a = std::abs(e.nx), b = std::abs(e.ny);
    if (a < b) std::swap(a, b);
    const double t = -e.d, h = (a + b) / 2, k = (a - b) / 2;
    double c;
    if (t <= -h)
        c = 0;
    else if (t >= h)
        c = 1;
    else if (t < -k)
        c = (t + h) * (t + h) / (2 * a * b);
    else if (t <= k)
        c = 0.5 + t / a;
    else
        c = 1 - (h - t) * (h - t) / (2 * a * b);
    return static_cast<float>(c);
}

// Paints the shape whose edge is `edge`, within its bounds.
void paint(Ink& ink, double x0, double y0, double x1, double y1, const std::function<Edge(double, double)>& edge) {
    const int xa = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    const int xb = std::min(ink.w, static_cast<int>(std::ceil(x1)) + 1);
    const int ya = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int yb = std::min(ink.h, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = ya; y < yb; ++y)
        for (int x = xa; x < xb; ++x) {
            const float c = coverage(edge(x + 0.5, y + 0.5));
            float& v = ink.a[static_cast<size_t>(y) * ink.w + x];
            v = std::max(v, c);
        }
}

double length(double x, double y) { return std::sqrt(x * x + y * y); }

// The edge of a disc of radius r around the origin, seen from (x, y).
Edge discEdge(double x, double y, double r) {
    const double len = length(x, y);
    if (len == 0) return {-r, 1, 0};
    return {len - r, x / len, y / len};
}

void disc(Ink& ink, double cx, double cy, double r) {
    paint(ink, cx - r, cy - r, cx + r, cy + r, [=](double x, double y) { return discEdge(x - cx, y - cy, r); });
}

// A ring from radius `inner` to `outer` around the origin.
Edge ringEdge(double x, double y, double inner, double outer) {
    const Edge out = discEdge(x, y, outer), in = discEdge(x, y, inner).flipped();
    return out.d >= in.d ? out : in;
}

// A circle drawn with a pen `width` wide.
void circle(Ink& ink, double cx, double cy, double r, double width) {
    const double o = r + width / 2;
    paint(ink, cx - o, cy - o, cx + o, cy + o,
          [=](double x, double y) { return ringEdge(x - cx, y - cy, r - width / 2, r + width / 2); });
}

// The pen stroke from a to b, `hw` either side of it, with round ends or flat ones.
Edge strokeEdge(double ax, double ay, double bx, double by, double hw, bool round, double x, double y) {
    const double dx = bx - ax, dy = by - ay, len = length(dx, dy);
    if (len == 0) return discEdge(x - ax, y - ay, hw);
    const double ux = dx / len, uy = dy / len;
    const double t = (x - ax) * ux + (y - ay) * uy, across = (x - ax) * uy - (y - ay) * ux;
    if (round) {
        const double tc = std::clamp(t, 0.0, len);
        return discEdge(x - (ax + ux * tc), y - (ay + uy * tc), hw);
    }
    const double side = across >= 0 ? 1 : -1;
    const Edge sides{std::abs(across) - hw, side * uy, -side * ux};
    const Edge ends = t < len / 2 ? Edge{-t, -ux, -uy} : Edge{t - len, ux, uy};
    return outer(sides, ends);
}

// A pen stroke with round ends.
void stroke(Ink& ink, double ax, double ay, double bx, double by, double width) {
    const double hw = width / 2;
    paint(ink, std::min(ax, bx) - hw, std::min(ay, by) - hw, std::max(ax, bx) + hw, std::max(ay, by) + hw,
          [=](double x, double y) { return strokeEdge(ax, ay, bx, by, hw, true, x, y); });
}

// A pen stroke with flat ends.
void dash(Ink& ink, double ax, double ay, double bx, double by, double width) {
    const double hw = width / 2;
    paint(ink, std::min(ax, bx) - hw, std::min(ay, by) - hw, std::max(ax, bx) + hw, std::max(ay, by) + hw,
          [=](double x, double y) { return strokeEdge(ax, ay, bx, by, hw, false, x, y); });
}

// Landolt ring: stroke and gap one fifth of the outer diameter; the gap opens towards `gapDeg`
// (0 right, counter-clockwise on the screen).
void landolt(Ink& ink, double cx, double cy, double diameter, double gapDeg) {
    const double r = diameter / 2, w = diameter / 5;
    const double gx = cosDeg(gapDeg), gy = -sinDeg(gapDeg);
    paint(ink, cx - r, cy - r, cx + r, cy + r, [=](double x, double y) {
        const Edge ring = ringEdge(x - cx, y - cy, r - w, r);
        // The gap: a bar from the centre outwards, w wide.
        const Edge gap = strokeEdge(cx, cy, cx + gx * (r + 2), cy + gy * (r + 2), w / 2, false, x, y);
        return outer(ring, gap.flipped());
    });
}

// ---------------------------------------------------------------------------------------------
// The few digits and kana of the charts as pen strokes in a unit box (x right, y down).

using Polyline = std::vector<std::pair<double, double>>;

// An elliptic arc from `from` to `to` degrees, clockwise on the screen for from < to.
Polyline arc(double cx, double cy, double rx, double ry, double from, double to, Polyline p = {}) {
    const int steps = std::max(2, static_cast<int>(std::abs(to - from) / 6));
    for (int i = 0; i <= steps; ++i) {
        const double t = from + (to - from) * i / steps;
        p.emplace_back(cx + rx * cosDeg(t), cy + ry * sinDeg(t));
    }
    return p;
}

Polyline then(Polyline p, std::initializer_list<std::pair<double, double>> more) {
    p.insert(p.end(), more.begin(), more.end());
    return p;
}

struct Glyph {
    double aspect;  // width / height
    std::vector<Polyline> strokes;
};

Glyph glyph(std::string_view g) {
    constexpr double kDigit = 0.6;
    if (g == "0") return {kDigit, {arc(0.5, 0.5, 0.5, 0.5, 0, 360)}};
    if (g == "1") return {kDigit, {{{0.2, 0.2}, {0.62, 0}, {0.62, 1}}}};
    if (g == "2") return {kDigit, {then(arc(0.5, 0.28, 0.5, 0.28, 190, 380), {{0, 1}, {1, 1}})}};
    if (g == "3") return {kDigit, {arc(0.5, 0.25, 0.45, 0.25, 200, 450), arc(0.5, 0.74, 0.5, 0.26, 270, 520)}};
    if (g == "4") return {kDigit, {{{0.7, 0}, {0, 0.7}, {1, 0.7}}, {{0.72, 0}, {0.72, 1}}}};
    if (g == "5") return {kDigit, {{{0.95, 0}, {0.12, 0}, {0.06, 0.47}}, arc(0.5, 0.68, 0.5, 0.32, 212, 500)}};
    if (g == "6")
        return {kDigit, {then(arc(0.5, 0.5, 0.5, 0.5, 305, 180), {{0, 0.7}}), arc(0.5, 0.7, 0.5, 0.3, 0, 360)}};
    if (g == "7") return {kDigit, {{{0, 0}, {1, 0}, {0.38, 1}}}};
    if (g == "8") return {kDigit, {arc(0.5, 0.24, 0.4, 0.24, 0, 360), arc(0.5, 0.73, 0.5, 0.27, 0, 360)}};
    if (g == "9") return {kDigit, {arc(0.5, 0.3, 0.5, 0.3, 0, 360), arc(0.5, 0.5, 0.5, 0.5, 0, 125, {{1, 0.3}})}};
    if (g == "つ") return {1, {arc(0.45, 0.42, 0.5, 0.4, 200, 480)}};
    if (g == "く") return {1, {{{0.72, 0}, {0.25, 0.5}, {0.72, 1}}}};
    if (g == "へ") return {1, {{{0, 0.68}, {0.33, 0.28}, {1, 0.88}}}};
    if (g == "の")
        return {1,
                {then({{0.55, 0.12}, {0.42, 0.62}, {0.28, 0.9}}, {{0.1, 0.82}}), arc(0.5, 0.52, 0.45, 0.45, 160, 425)}};
    if (g == "し") return {1, {arc(0.62, 0.62, 0.32, 0.35, 180, -28, {{0.3, 0}})}};
    return {1, {}};
}

// Draws `text` (glyphs side by side) to fill the height of the box centred at (cx, cy), the
// strokes inside the box.
void text(Ink& ink, const std::vector<std::string_view>& text, double cx, double cy, double height, double pen,
          double spacing = 0.25) {
    double width = 0;
    for (size_t i = 0; i < text.size(); ++i) width += glyph(text[i]).aspect * height + (i ? spacing * height : 0);
    double left = cx - width / 2;
    for (std::string_view g : text) {
        const Glyph gl = glyph(g);
        const double gw = gl.aspect * height;
        // The pen's centre runs inside the box by half its width.
        const double x0 = left + pen / 2, y0 = cy - height / 2 + pen / 2;
        const double sx = std::max(gw - pen, 0.0), sy = height - pen;
        for (const Polyline& p : gl.strokes) {
            if (p.size() == 1)
                stroke(ink, x0 + p[0].first * sx, y0 + p[0].second * sy, x0 + p[0].first * sx, y0 + p[0].second * sy,
                       pen);
            for (size_t i = 1; i < p.size(); ++i)
                stroke(ink, x0 + p[i - 1].first * sx, y0 + p[i - 1].second * sy, x0 + p[i].first * sx,
                       y0 + p[i].second * sy, pen);
        }
        left += gw + spacing * height;
    }
}

// ---------------------------------------------------------------------------------------------
// The four charts, laid out as the thumbnails of the window, three times as large.

constexpr double kScale = 3;

Ink drawAcuity() {
    Ink ink(91 * 3, 96 * 3);
    struct Item {
        std::string_view glyph;  // empty: a Landolt ring
        double gapDeg;
    };
    struct Row {
        double size, pitch, centreY;
        Item items[4];
    };
    const Row rows[] = {
        {20, 22, 13, {{{}, 0}, {"5", 0}, {"つ", 0}, {"3", 0}}},
        {15, 21, 40, {{"く", 0}, {{}, 90}, {"8", 0}, {"へ", 0}}},
        {11, 18, 62, {{"2", 0}, {"の", 0}, {"6", 0}, {{}, 180}}},
        {8, 13.5, 81.5, {{{}, 270}, {"し", 0}, {"4", 0}, {"9", 0}}},
    };
    for (const Row& row : rows) {
        const double size = row.size * kScale;
        for (int i = 0; i < 4; ++i) {
            const double cx = (45.5 + (i - 1.5) * row.pitch) * kScale, cy = row.centreY * kScale;
            if (row.items[i].glyph.empty())
                landolt(ink, cx, cy, size, row.items[i].gapDeg);
            else
                text(ink, {row.items[i].glyph}, cx, cy, size, size / 5);
        }
    }
    return ink;
}

Ink drawRedGreen() {
    Ink ink(94 * 3, 92 * 3);
    for (int half = 0; half < 2; ++half) {
        const double cx = (half * 47 + 23.5) * kScale;
        text(ink, {"9"}, cx, 21 * kScale, 30 * kScale, 4.2 * kScale);
        for (double dx : {-10.0, 10.0}) {
            circle(ink, cx + dx * kScale, 50 * kScale, 7 * 0.86 * kScale, 7 * 0.28 * kScale);
            disc(ink, cx + dx * kScale, 50 * kScale, 7 * 0.3 * kScale);
        }
        text(ink, {"3", "5", "8"}, cx, 71 * kScale, 10 * kScale, 1.5 * kScale, 0.5);
        text(ink, {"2", "6", "4"}, cx, 83.5 * kScale, 7 * kScale, 1.1 * kScale, 0.4);
    }
    return ink;
}

Ink drawDial() {
    using namespace customer_sight_layout;
    Ink ink(94 * 3, 94 * 3);
    const double c = kDialCentre;
    // Dashed spokes every 15 degrees; the dashes start at the same radius on every spoke.
    const double dashLength = 3.2 * kScale, gap = 1.8 * kScale, pen = 1.25 * kScale;
    for (int k = 0; k < 24; ++k) {
        const double dx = cosDeg(k * 15), dy = -sinDeg(k * 15);
        for (double r = kDialSpokeInner; r < kDialSpokeOuter; r += dashLength + gap) {
            const double r2 = std::min(r + dashLength, kDialSpokeOuter);
            dash(ink, c + dx * r, c + dy * r, c + dx * r2, c + dy * r2, pen);
        }
    }
    circle(ink, c, c, 3.5 * kScale, 1.2 * kScale);
    // Hours along the rim, 12 on top.
    static const std::vector<std::string_view> kHours[12] = {{"1"}, {"2"}, {"3"}, {"4"},      {"5"},      {"6"},
                                                             {"7"}, {"8"}, {"9"}, {"1", "0"}, {"1", "1"}, {"1", "2"}};
    for (int hour = 1; hour <= 12; ++hour) {
        const double a = 90 - hour * 30;
        text(ink, kHours[hour - 1], c + cosDeg(a) * 40.5 * kScale, c - sinDeg(a) * 40.5 * kScale, 8 * kScale,
             0.9 * kScale, 0.15);
    }
    return ink;
}

Ink drawDots() {
    Ink ink(94 * 3, 94 * 3);
    // Hexagonal packing: rows of 3, 4, 5, 4, 3 make a round cluster.
    const double pitch = 17 * kScale, rowStep = pitch * 0.86602540378443860, radius = 5.6 * kScale;
    const double c = 47 * kScale;
    const int counts[5] = {3, 4, 5, 4, 3};
    for (int row = 0; row < 5; ++row)
        for (int i = 0; i < counts[row]; ++i)
            disc(ink, c + (i - (counts[row] - 1) / 2.0) * pitch, c + (row - 2) * rowStep, radius);
    return ink;
}

// ---------------------------------------------------------------------------------------------
// A chart ready for blurring: its ink at full size and halved again and again, each row with
// its running sums, so a row's ink between any two points takes two look-ups.

struct Level {
    int w = 0, h = 0;
    int pad = 0;     // edges before 0 and after w whose running sums are kept
    int stride = 0;  // w + 2 * pad + 1 edges per row
    std::vector<float> ink;
    std::vector<float> sums;  // sums of a row's ink left of each edge, from edge -pad

    // The running sums of row `y`, indexed by edge from -pad to w + pad.
    const float* edges(int y) const { return sums.data() + static_cast<size_t>(y) * stride + pad; }
};

Level makeLevel(int w, int h, std::vector<float> ink) {
    Level lv;
    lv.w = w;
    lv.h = h;
    lv.pad = w + 1;
    lv.stride = w + 2 * lv.pad + 1;
    lv.ink = std::move(ink);
    lv.sums.assign(static_cast<size_t>(lv.stride) * h, 0.0f);
    for (int y = 0; y < h; ++y) {
        float* e = lv.sums.data() + static_cast<size_t>(y) * lv.stride + lv.pad;
        const float* row = lv.ink.data() + static_cast<size_t>(y) * w;
        float sum = 0;
        for (int x = 0; x < w; ++x) {
            sum += row[x];
            e[x + 1] = sum;
        }
        for (int x = w + 1; x <= w + lv.pad; ++x) e[x] = sum;
    }
    return lv;
}

Level halved(const Level& lv) {
    const int w = (lv.w + 1) / 2, h = (lv.h + 1) / 2;
    std::vector<float> ink(static_cast<size_t>(w) * h, 0.0f);
    auto at = [&](int x, int y) { return x < lv.w && y < lv.h ? lv.ink[static_cast<size_t>(y) * lv.w + x] : 0.0f; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ink[static_cast<size_t>(y) * w + x] =
                (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1)) / 4;
    return makeLevel(w, h, std::move(ink));
}

struct Rgb {
    float r, g, b;
};

struct SharpChart {
    std::vector<Level> levels;  // full size first
    Rgb inkColour{0, 0, 0};
    Rgb left{255, 255, 255}, right{255, 255, 255};  // the paper left and right of `split`
    int split = 0;
};

SharpChart prepare(Ink ink, Rgb inkColour, Rgb left, Rgb right, int split) {
    SharpChart sc;
    sc.inkColour = inkColour;
    sc.left = left;
    sc.right = right;
    sc.split = split;
    sc.levels.push_back(makeLevel(ink.w, ink.h, std::move(ink.a)));
    while (sc.levels.back().w > 24 && sc.levels.back().h > 24) sc.levels.push_back(halved(sc.levels.back()));
    return sc;
}

const SharpChart* sharpChart(Chart chart) {
    constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255};
    switch (chart) {
    case Chart::Acuity: {
        static const SharpChart c = prepare(drawAcuity(), kBlack, kWhite, kWhite, 0);
        return &c;
    }
    case Chart::RedGreen: {
        static const SharpChart c =
            prepare(drawRedGreen(), kBlack, {232, 64, 24}, {24, 168, 72}, customer_sight_layout::kRedGreenSplit);
        return &c;
    }
    case Chart::Dial: {
        static const SharpChart c = prepare(drawDial(), kBlack, kWhite, kWhite, 0);
        return &c;
    }
    case Chart::Dots: {
        static const SharpChart c = prepare(drawDots(), {24, 24, 24}, kWhite, kWhite, 0);
        return &c;
    }
    case Chart::None:
        break;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// The blur: a uniform ellipse, cut into bands one row high. Each band is replaced by the
// segment of the same area and centre along its row, so the ellipse's share of each row of the
// chart is a difference of two running sums.

struct Band {
    int dy;
    int eL, eR;    // whole edges left of the segment's ends, relative to the pixel
    float fL, fR;  // and the fractions beyond them
};

struct Kernel {
    std::vector<Band> bands;
    float area = 0;
};

// The ellipse with semi-axes p along (c, s) and q across it, in pixels of a level `w` wide.
Kernel ellipse(double p, double q, double c, double s, int w) {
    const double m11 = c * c / (p * p) + s * s / (q * q);
    const double m12 = c * s * (1 / (p * p) - 1 / (q * q));
    const double det = 1 / (p * p * q * q);
    const double reach = std::sqrt(m11 / det);  // half the ellipse's height
    const int rows = static_cast<int>(std::ceil(reach - 0.5));
    constexpr int kSubRows = 16;
    Kernel k;
    double area = 0;
    for (int dy = -rows; dy <= rows; ++dy) {
        double widths = 0, moments = 0;
        for (int j = 0; j < kSubRows; ++j) {
            const double y = dy - 0.5 + (j + 0.5) / kSubRows;
            const double r = 1 - y * y * det / m11;
            if (r <= 0) continue;
            const double width = 2 * std::sqrt(r / m11);
            widths += width;
            moments += width * (-m12 * y / m11);
        }
        if (widths <= 0) continue;
        const double bandArea = widths / kSubRows, centre = moments / widths;
        const double tL = 0.5 + centre - bandArea / 2, tR = 0.5 + centre + bandArea / 2;
        const double eL = std::floor(tL), eR = std::floor(tR);
        // Beyond w edges either way every edge of the row has the same sum (0 or all).
        k.bands.push_back({dy, static_cast<int>(std::clamp(eL, -double(w), double(w))),
                           static_cast<int>(std::clamp(eR, -double(w), double(w))), static_cast<float>(tL - eL),
                           static_cast<float>(tR - eR)});
        area += bandArea;
    }
    k.area = static_cast<float>(area);
    return k;
}

// The level's ink seen through the kernel, columns x0 to x1 (exclusive) of every row, into
// `out` (lv.w by lv.h; other columns are left alone).
void blurLevel(const Level& lv, const Kernel& k, int x0, int x1, float* out) {
    const float norm = 1 / k.area;
    for (int y = 0; y < lv.h; ++y) {
        float* acc = out + static_cast<size_t>(y) * lv.w;
        std::fill(acc + x0, acc + x1, 0.0f);
        for (const Band& b : k.bands) {
            const int row = y + b.dy;
            if (row < 0 || row >= lv.h) continue;  // blank paper beyond the chart
            const float* e = lv.edges(row);
            const float* l = e + b.eL;
            const float* r = e + b.eR;
            const float gl = 1 - b.fL, fl = b.fL, gr = 1 - b.fR, fr = b.fR;
            for (int x = x0; x < x1; ++x) acc[x] += (r[x] * gr + r[x + 1] * fr) - (l[x] * gl + l[x + 1] * fl);
        }
        for (int x = x0; x < x1; ++x) acc[x] *= norm;
    }
}

// Working memory kept between pictures: fresh pages for every picture would cost more than
// the blur itself.
struct Scratch {
    std::vector<float> ink, small;
    std::vector<int> xi;
    std::vector<float> xf;
};
Scratch& scratch() {
    thread_local Scratch s;
    return s;
}

// Pixels of the blur ellipse's semi-axes: along the residual's axis and across it.
struct Blur {
    double along = 0, across = 0, axis = 90;
};

Blur blurOf(double alongPower, double acrossPower, double axis) {
    // Half the diameter; a blur beyond twice the picture is grey all over anyway.
    auto semi = [](double power) {
        const double s = std::abs(power) * kBlurPixelsPerDioptre / 2;
        return std::isfinite(s) ? std::min(s, 600.0) : 600.0;
    };
    return {semi(alongPower), semi(acrossPower), std::isfinite(axis) ? axis : 90};
}

// The chart's ink through `blur`, full size, for columns x0 to x1 (exclusive).
void blurredInk(const SharpChart& sc, const Blur& blur, int x0, int x1, std::vector<float>& ink) {
    const Level& full = sc.levels.front();
    if (blur.along <= 0.5 && blur.across <= 0.5) {
        // Less than a pixel each way: the chart as drawn.
        for (int y = 0; y < full.h; ++y)
            for (int x = x0; x < x1; ++x) {
                const size_t i = static_cast<size_t>(y) * full.w + x;
                ink[i] = full.ink[i];
            }
        return;
    }
    // The axis as the customer faces the chart: the picture's y runs down, so the axis A, taken
    // counter-clockwise from the right as the examiner faces the customer, lies along (cos A, sin A).
    const double c = cosDeg(blur.axis), s = sinDeg(blur.axis);
    // Halve the chart until the ellipse spans few rows: a large blur leaves nothing finer.
    constexpr double kMaxReach = 12;
    size_t li = 0;
    double p = blur.along, q = blur.across;
    auto reach = [&](double pp, double qq) {
        pp = std::max(pp, 0.5);
        qq = std::max(qq, 0.5);
        return std::sqrt(s * s * pp * pp + c * c * qq * qq);
    };
    while (li + 1 < sc.levels.size() && reach(p, q) > kMaxReach) {
        ++li;
        p /= 2;
        q /= 2;
    }
    const Level& lv = sc.levels[li];
    const Kernel k = ellipse(std::max(p, 0.5), std::max(q, 0.5), c, s, lv.w);
    if (li == 0) {
        blurLevel(lv, k, x0, x1, ink.data());
        return;
    }
    const int scale = 1 << li;
    const int lx0 = std::max(0, x0 / scale - 1), lx1 = std::min(lv.w, (x1 + scale - 1) / scale + 1);
    std::vector<float>& small = scratch().small;
    small.resize(static_cast<size_t>(lv.w) * lv.h);
    blurLevel(lv, k, lx0, lx1, small.data());
    // Back to full size, linear between the centres of the small pixels.
    std::vector<int>& xi = scratch().xi;
    std::vector<float>& xf = scratch().xf;
    xi.resize(x1 - x0);
    xf.resize(x1 - x0);
    for (int x = x0; x < x1; ++x) {
        const float sx = std::clamp((x + 0.5f) / scale - 0.5f, 0.0f, float(lv.w - 1));
        xi[x - x0] = std::min(static_cast<int>(sx), lv.w - 2);
        xf[x - x0] = sx - xi[x - x0];
    }
    for (int y = 0; y < full.h; ++y) {
        const float sy = std::clamp((y + 0.5f) / scale - 0.5f, 0.0f, float(lv.h - 1));
        const int iy = std::min(static_cast<int>(sy), lv.h - 2);
        const float fy = sy - iy;
        const float* r0 = small.data() + static_cast<size_t>(iy) * lv.w;
        const float* r1 = r0 + lv.w;
        for (int x = x0; x < x1; ++x) {
            const int ix = xi[x - x0];
            const float fx = xf[x - x0];
            const float top = r0[ix] + (r0[ix + 1] - r0[ix]) * fx;
            const float bottom = r1[ix] + (r1[ix + 1] - r1[ix]) * fx;
            ink[static_cast<size_t>(y) * full.w + x] = top + (bottom - top) * fy;
        }
    }
}

std::uint8_t channel(float paper, float inkColour, float ink) {
    ink = std::clamp(ink, 0.0f, 1.0f);
    return static_cast<std::uint8_t>(paper + (inkColour - paper) * ink + 0.5f);
}

CustomerPicture compose(const SharpChart& sc, const std::vector<float>& ink) {
    const Level& full = sc.levels.front();
    CustomerPicture pic;
    pic.width = full.w;
    pic.height = full.h;
    pic.rgba.resize(static_cast<size_t>(full.w) * full.h * 4);
    std::uint8_t* out = pic.rgba.data();
    for (int y = 0; y < full.h; ++y)
        for (int x = 0; x < full.w; ++x) {
            const Rgb& paper = x < sc.split ? sc.left : sc.right;
            const float a = ink[static_cast<size_t>(y) * full.w + x];
            *out++ = channel(paper.r, sc.inkColour.r, a);
            *out++ = channel(paper.g, sc.inkColour.g, a);
            *out++ = channel(paper.b, sc.inkColour.b, a);
            *out++ = 255;
        }
    return pic;
}

}  // namespace

CustomerPicture chartPicture(Chart chart) {
    const SharpChart* sc = sharpChart(chart);
    if (!sc) return {};
    CustomerPicture pic = compose(*sc, sc->levels.front().ink);
    pic.description = "見え方のイメージ：" + chartName(chart);
    return pic;
}

CustomerPicture customerSight(Chart chart, const Refraction& zanyo) {
    const SharpChart* sc = sharpChart(chart);
    if (!sc) return {};
    const Level& full = sc->levels.front();
    std::vector<float>& ink = scratch().ink;
    ink.resize(full.ink.size());
    if (chart == Chart::RedGreen) {
        // Each half sharp where its colour focuses: red as if more plus, green as if more minus.
        const double se = touka(zanyo.S, zanyo.C);
        const double red = se + kRedGreenShift, green = se - kRedGreenShift;
        blurredInk(*sc, blurOf(red, red, 90), 0, sc->split, ink);
        blurredInk(*sc, blurOf(green, green, 90), sc->split, full.w, ink);
    } else {
        blurredInk(*sc, blurOf(zanyo.S, zanyo.S + zanyo.C, zanyo.A), 0, full.w, ink);
    }
    return compose(*sc, ink);
}

CrossCylinderPictures customerSightThroughCrossCylinder(Chart chart, const Refraction& zanyo, int handlePosition) {
    const CrossCylinderLook look = throughCrossCylinder(zanyo, handlePosition);
    return {customerSight(chart, look.omote), customerSight(chart, look.ura)};
}
