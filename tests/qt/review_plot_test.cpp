// 振り返り's plot as the desktop paints it: the panel's plot widget rendered onto a device that
// keeps every stroke, polyline, ellipse and text it is given, compared item by item with the
// core's plot data of the same scripted case (the page's SVG is compared with the same data in
// tests/web/panel.test.mjs). Set PANEL_PICTURES to a folder to keep the plot as a PNG file.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QScrollBar>

#include "app/qt/record_panel.h"
#include "app/qt/review_plot.h"
#include "app/qt/trainer_window.h"
#include "app/teaching/review.h"
#include "tests/qt/view_support.h"

namespace {

// What was painted, in the painter's state at the time.
struct Painted {
    enum Kind { Rect, Line, Polyline, Ellipse, Text } kind;
    QPen pen;
    QBrush brush;
    QTransform transform;
    QList<QPointF> points;  // a line's two ends, a polyline's points
    QRectF rect;
    QPointF at;  // a text's baseline start, before the transform
    QString text;
    QFont font;
};

class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    std::vector<Painted> items;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& s) override {
        if (s.state() & DirtyPen) pen_ = s.pen();
        if (s.state() & DirtyBrush) brush_ = s.brush();
        if (s.state() & DirtyTransform) transform_ = s.transform();
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) add(Painted::Rect).rect = rects[i];
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) add(Painted::Line).points = {lines[i].p1(), lines[i].p2()};
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        Painted& p = add(mode == PolylineMode ? Painted::Polyline : Painted::Rect);
        for (int i = 0; i < count; ++i) p.points << points[i];
    }
    void drawEllipse(const QRectF& r) override { add(Painted::Ellipse).rect = r; }
    void drawTextItem(const QPointF& at, const QTextItem& item) override {
        // A text in two fonts comes in two items, one after the other at the same transform.
        if (!items.empty() && items.back().kind == Painted::Text && items.back().transform == transform_) {
            items.back().text += item.text();
            return;
        }
        Painted& p = add(Painted::Text);
        p.at = at;
        p.text = item.text();
        p.font = item.font();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

private:
    Painted& add(Painted::Kind kind) {
        items.push_back({kind, pen_, brush_, transform_, {}, {}, {}, {}, {}});
        return items.back();
    }
    QPen pen_;
    QBrush brush_;
    QTransform transform_;
};

class RecordingDevice : public QPaintDevice {
public:
    RecordingDevice(int width, int height) : width_(width), height_(height) {}
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable RecordingEngine engine;

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(m);
        }
    }

private:
    int width_, height_;
};

QColor colourOf(const PlotColour& c) { return QColor(c.r, c.g, c.b); }

// The pen as painted against the core's: colour, width, dashes (Qt keeps them in pen widths).
void expectPen(const QPen& painted, const PlotPen& core, const std::string& what) {
    EXPECT_EQ(painted.color(), colourOf(core.colour)) << what;
    EXPECT_EQ(painted.widthF(), core.width) << what;
    if (core.dashes.empty()) {
        EXPECT_EQ(painted.style(), Qt::SolidLine) << what;
        return;
    }
    const QList<qreal> pattern = painted.dashPattern();
    ASSERT_EQ(pattern.size(), static_cast<qsizetype>(core.dashes.size())) << what;
    for (size_t i = 0; i < core.dashes.size(); ++i)
        EXPECT_NEAR(pattern[static_cast<qsizetype>(i)] * painted.widthF(), core.dashes[i], 1e-9) << what;
}

QPointF qp(const PlotPoint& p) { return {p.x, p.y}; }

// The program's window on a fake clock, panel open, playing one scripted case to its end in
// practice mode: lens changes, a chart, questions, the cross cylinder in and turned, the end.
// The page plays the same case on the same code in tests/web/panel.test.mjs.
struct ScriptedCase {
    FakeRecordClock clock;
    QtPlatform platform;
    Sitting sitting;
    TrainerWindow window;

    ScriptedCase() : sitting(platform, clock, CaseCode(5)), window(sitting, platform) {
        window.setPanelOpen(true);
        window.show();
        QApplication::processEvents();
        window.panel();
        click("Option11");
        arrow("HScroll1", 1, 2);
        click("Option7");
        click("Option2");
        click("Command6");
        arrow("HScroll2", -1, 3);
        click("Command6");
        click("Command2");
        arrow("HScroll4", 1, 1);
        click("Command3");
        click("Command6");
        click("Command5");
        QApplication::processEvents();
    }
    void click(const char* name) {
        clock.now += 1'500;
        window.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    }
    void arrow(const char* name, int direction, int times) {
        auto* bar = window.findChild<QScrollBar*>(QString::fromLatin1(name));
        for (int i = 0; i < times; ++i) {
            clock.now += 700;
            bar->triggerAction(direction > 0 ? QAbstractSlider::SliderSingleStepAdd
                                             : QAbstractSlider::SliderSingleStepSub);
        }
    }
};

}  // namespace

TEST(ReviewPlotPainting, TheDesktopPaintsTheCoresPlotItemByItem) {
    ScriptedCase s;
    const CaseRecord* reviewed = s.sitting.reviewed();
    ASSERT_NE(reviewed, nullptr);
    ASSERT_EQ(reviewed->status, CaseStatus::Ended);
    auto* widget = s.window.findChild<ReviewPlotWidget*>(QStringLiteral("ReviewPlot"));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->shownCase(), reviewed);
    EXPECT_EQ(widget->size(), QSize(static_cast<int>(kReviewPlotWidth), static_cast<int>(kReviewPlotHeight)));

    // An ended case: the expert's line for the same customer with it.
    const ReviewPlot core =
        reviewPlot(*reviewed, kReviewPlotWidth, kReviewPlotHeight, &s.sitting.expertFor(*reviewed).record);
    ASSERT_EQ(core.lines.front().name, kExpertName);
    ASSERT_EQ(core.questions.size(), 3u);
    ASSERT_FALSE(core.texts.empty());

    RecordingDevice device(widget->width(), widget->height());
    {
        QPainter painter(&device);
        paintReviewPlot(painter, core);
    }
    std::vector<Painted> items = device.engine.items;
    // The plot's paper.
    std::erase_if(items, [](const Painted& p) { return p.kind == Painted::Rect; });

    size_t i = 0;
    const auto next = [&](Painted::Kind kind, const std::string& what) -> const Painted* {
        EXPECT_LT(i, items.size()) << what;
        if (i >= items.size()) return nullptr;
        EXPECT_EQ(items[i].kind, kind) << what;
        return items[i].kind == kind ? &items[i++] : nullptr;
    };
    for (const PlotSegment& seg : core.strokes) {
        const Painted* p = next(Painted::Line, "stroke");
        if (!p) return;
        EXPECT_TRUE(p->transform.isIdentity());
        EXPECT_EQ(p->points, (QList<QPointF>{qp(seg.from), qp(seg.to)}));
        expectPen(p->pen, seg.pen, "stroke");
    }
    for (const PlotLine& line : core.lines) {
        const Painted* p = next(Painted::Polyline, line.name);
        if (!p) return;
        QList<QPointF> points;
        for (const PlotPoint& q : line.points) points << qp(q);
        EXPECT_EQ(p->points, points) << line.name;
        expectPen(p->pen, line.pen, line.name);
    }
    for (const PlotRing& ring : core.rings) {
        const Painted* p = next(Painted::Ellipse, "ring");
        if (!p) return;
        EXPECT_EQ(p->rect.center(), qp(ring.centre));
        EXPECT_EQ(p->rect.width(), 2 * ring.radius);
        EXPECT_EQ(p->brush.color(), colourOf(ring.fill));
        expectPen(p->pen, ring.pen, "ring");
    }
    for (const PlotText& t : core.texts) {
        const Painted* p = next(Painted::Text, t.text);
        if (!p) return;
        EXPECT_EQ(p->text.toStdString(), t.text);
        EXPECT_EQ(p->pen.color(), colourOf(t.colour)) << t.text;
        EXPECT_EQ(p->font.pixelSize(), static_cast<int>(t.size)) << t.text;
        EXPECT_EQ(p->font.family().toStdString(), kPlotFontFamily) << t.text;
        // Turned about where the core has it start.
        const QPointF anchor = p->transform.map(QPointF(0, 0));
        EXPECT_NEAR(anchor.x(), t.at.x, 1e-9) << t.text;
        EXPECT_NEAR(anchor.y(), t.at.y, 1e-9) << t.text;
        const double angle = std::atan2(p->transform.m12(), p->transform.m11()) * 180 / std::numbers::pi;
        EXPECT_NEAR(angle, t.angle, 1e-9) << t.text;
        const QFontMetricsF fm(p->font);
        // As wide as the core measured it: the same font, its advances unhinted.
        EXPECT_NEAR(fm.horizontalAdvance(QString::fromStdString(t.text)), t.width, 0.25) << t.text;
        // Text positions go to the engine in 64ths of a pixel.
        EXPECT_NEAR(p->at.x(), 0, 1.0 / 64) << t.text;
        EXPECT_NEAR(p->at.y(), (fm.ascent() - fm.descent()) / 2, 1.0 / 64) << t.text;
    }
    EXPECT_EQ(i, items.size()) << "painted more than the core's plot holds";

    // The same scales and marks as the page draws for this case (tests/web/panel.test.mjs).
    QStringList painted;
    for (const Painted& p : items)
        if (p.kind == Painted::Text) painted << p.text;
    for (const char* label : {"0", "10", "60", "-8", "0", "+4", "0°", "45°", "90°", "手順", "残余度数（Ｄ）",
                              "軸のずれ（°）", "等価球面", "円柱", "軸のずれ", "お手本"})
        EXPECT_TRUE(painted.contains(QString::fromUtf8(label))) << label << " in " << painted.join(' ').toStdString();
    EXPECT_EQ(std::ranges::count(items, Painted::Ellipse, &Painted::kind), 3) << "the three questions asked";

    if (const QString folder = qEnvironmentVariable("PANEL_PICTURES"); !folder.isEmpty()) {
        QDir().mkpath(folder);
        EXPECT_TRUE(widget->grab().save(QDir(folder).filePath(QStringLiteral("review-plot.png"))));
    }
}

TEST(ReviewPlotPainting, APlotGrownStepByStepLooksAsOnePaintedWhole) {
    // The widget keeps its lines painted and draws a step's new pieces onto them: at every step
    // it must show what the whole plot painted afresh shows, dashes included, but for the slivers
    // of the round joins where a new piece meets the old; a new scale paints all anew.
    ScriptedCase s;
    auto* widget = s.window.findChild<ReviewPlotWidget*>(QStringLiteral("ReviewPlot"));
    ASSERT_NE(widget, nullptr);
    s.click("STARTbutton");
    s.click("Option11");
    for (int i = 0; i < 90; ++i) {
        if (i % 7 == 3) s.click("Command6");
        s.arrow(i % 3 == 0 ? "HScroll1" : i % 3 == 1 ? "HScroll2" : "HScroll3", i % 10 < 5 ? 1 : -1, 1);
        QApplication::processEvents();
        // As the screen shows it, at the screen's scale.
        const QImage grown = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QSize size = grown.size();
        QImage whole(size, QImage::Format_RGB32);
        whole.setDevicePixelRatio(grown.devicePixelRatio());
        whole.fill(Qt::white);
        {
            QPainter painter(&whole);
            paintReviewPlot(painter, reviewPlot(*s.sitting.reviewed(), kReviewPlotWidth, kReviewPlotHeight));
        }
        int differing = 0, worst = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb a = grown.pixel(x, y), b = whole.pixel(x, y);
                const int d = std::max(
                    {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
                worst = std::max(worst, d);
                differing += d > 24;
            }
        // Where pieces meet, a line misses the sliver of its round join: at most a pixel there.
        ASSERT_LE(differing, size.width() * size.height() / 1000) << "step " << i << ", worst " << worst;
    }
}

TEST(ReviewPlotPainting, TheLooksAreTheCoresAndTheLinesDifferWithoutColour) {
    ScriptedCase s;
    const ReviewPlot core = reviewPlot(*s.sitting.reviewed(), kReviewPlotWidth, kReviewPlotHeight);
    ASSERT_EQ(core.lines.size(), 3u);
    // Each line in a colour and a dash of its own; the legend shows each with its name.
    for (size_t a = 0; a < 3; ++a)
        for (size_t b = a + 1; b < 3; ++b) {
            EXPECT_NE(core.lines[a].pen.colour, core.lines[b].pen.colour);
            EXPECT_NE(core.lines[a].pen.dashes, core.lines[b].pen.dashes);
        }
    for (const PlotLine& line : core.lines) {
        const bool named = std::ranges::any_of(core.texts, [&](const PlotText& t) { return t.text == line.name; });
        EXPECT_TRUE(named) << line.name;
        const bool swatch = std::ranges::any_of(core.strokes, [&](const PlotSegment& seg) {
            return seg.pen.colour == line.pen.colour && seg.pen.dashes == line.pen.dashes && seg.from.y > core.bottom;
        });
        EXPECT_TRUE(swatch) << line.name;
    }
    // Every tick has its label where the scale is, and every text lies inside the picture.
    for (const PlotScale* scale : {&core.steps, &core.dioptres, &core.degrees})
        for (const PlotTick& tick : scale->ticks) {
            const bool labelled = std::ranges::any_of(core.texts, [&](const PlotText& t) {
                return t.text == tick.label && (std::abs(t.at.x + t.width / 2 - tick.at) < 1e-9 || t.at.y == tick.at);
            });
            EXPECT_TRUE(labelled) << scale->title << " " << tick.label;
        }
    for (const PlotText& t : core.texts) {
        const PlotPoint end{t.at.x + t.width * std::cos(t.angle * std::numbers::pi / 180),
                            t.at.y + t.width * std::sin(t.angle * std::numbers::pi / 180)};
        for (const PlotPoint& q : {t.at, end}) {
            EXPECT_GE(q.x, 0) << t.text;
            EXPECT_LE(q.x, core.width) << t.text;
            EXPECT_GE(q.y, 0) << t.text;
            EXPECT_LE(q.y, core.height) << t.text;
        }
    }
}

TEST(ReviewPlotPainting, AnswersInkOnlyTheBoxesTheCorePlacedThemIn) {
    ScriptedCase s;
    const ReviewPlot core = reviewPlot(*s.sitting.reviewed(), kReviewPlotWidth, kReviewPlotHeight);
    // The answers' labels alone, painted as the desktop paints them.
    ReviewPlot answers;
    answers.width = core.width;
    answers.height = core.height;
    answers.paper = {255, 255, 255};
    std::vector<PlotBox> boxes;
    for (const PlotMark& m : core.questions) {
        if (m.label.empty()) continue;
        const auto t =
            std::ranges::find_if(core.texts, [&](const PlotText& x) { return x.text == m.label && x.angle == 0; });
        ASSERT_NE(t, core.texts.end()) << m.label;
        answers.texts.push_back(*t);
        boxes.push_back(textBox(*t));
    }
    ASSERT_FALSE(boxes.empty());
    QImage image(static_cast<int>(core.width), static_cast<int>(core.height), QImage::Format_RGB32);
    QPainter painter(&image);
    paintReviewPlot(painter, answers);
    painter.end();
    std::vector<int> inked(boxes.size());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
            // A pixel's antialiasing either side of a box is the glyphs' edge, not a label astray.
            bool within = false;
            for (size_t b = 0; b < boxes.size(); ++b)
                if (x + 1 >= boxes[b].left - 1 && x <= boxes[b].right + 1 && y + 1 >= boxes[b].top - 1 &&
                    y <= boxes[b].bottom + 1) {
                    within = true;
                    ++inked[b];
                }
            EXPECT_TRUE(within) << "ink at " << x << "," << y;
            if (!within) return;
        }
    for (size_t b = 0; b < boxes.size(); ++b) {
        EXPECT_GT(inked[b], 10) << answers.texts[b].text;
        // The ink reaches the box's far end: the text is as long as the core measured it.
        bool nearEnd = false;
        for (int y = static_cast<int>(boxes[b].top); y <= static_cast<int>(boxes[b].bottom) && !nearEnd; ++y)
            for (int x = static_cast<int>(boxes[b].right) - 3; x <= static_cast<int>(boxes[b].right); ++x)
                nearEnd = nearEnd || image.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_TRUE(nearEnd) << answers.texts[b].text;
    }
}
