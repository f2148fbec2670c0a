// Draws the four chart thumbnails and the application icon into the folder
// given as the first argument. Run with QT_QPA_PLATFORM=offscreen.
//
// Glyphs are turned into paths and scaled to a fixed box, so the pictures keep
// their layout whatever font the fallback ends up choosing.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

const QString kFamily = QStringLiteral("IPAGothic");

QFont glyphFont() {
    QFont f(kFamily);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(100);
    return f;
}

// The outline of `text`, scaled to fit `box` (aspect kept) and centred in it.
QPainterPath fittedText(const QString& text, const QRectF& box) {
    QPainterPath raw;
    raw.addText(0, 0, glyphFont(), text);
    const QRectF b = raw.boundingRect();
    if (b.isEmpty()) return raw;
    const double k = std::min(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(k, k);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(raw);
}

// Glyph fill plus a thin outline so the regular-weight font reads like a
// bold optotype at a few pixels.
void drawGlyph(QPainter& p, const QString& text, const QRectF& box, double weight) {
    const QPainterPath path = fittedText(text, box);
    p.setBrush(Qt::black);
    if (weight > 0)
        p.setPen(QPen(Qt::black, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        p.setPen(Qt::NoPen);
    p.drawPath(path);
}

// Landolt ring: stroke and gap one fifth of the outer diameter; `gapDeg`
// is the direction of the gap, 0 = right, counter-clockwise.
void drawLandolt(QPainter& p, const QPointF& c, double diameter, double gapDeg) {
    const double r = diameter / 2;
    const double w = diameter / 5;
    QPainterPath ring;
    ring.addEllipse(c, r, r);
    QPainterPath hole;
    hole.addEllipse(c, r - w, r - w);
    ring = ring.subtracted(hole);

    QPainterPath gap;
    gap.addRect(QRectF(0, -w / 2, r + 1, w));
    QTransform t;
    t.translate(c.x(), c.y());
    t.rotate(-gapDeg);
    ring = ring.subtracted(t.map(gap));

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(ring);
}

// Bullseye: a black ring around a black dot.
void drawRingTarget(QPainter& p, const QPointF& c, double r) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, r * 0.28));
    p.drawEllipse(c, r * 0.86, r * 0.86);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(c, r * 0.3, r * 0.3);
}

QImage blank(int w, int h, const QColor& fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

void smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

QImage drawAcuity() {
    QImage img = blank(91, 96, Qt::white);
    QPainter p(&img);
    smooth(p);

    struct Item {
        enum Kind { Ring, Glyph } kind;
        QString text;
        double gapDeg;
    };
    struct Row {
        double size;
        double pitch;  // centre to centre; the small rows are spaced wider
        double centreY;
        Item items[4];
    };
    const Row rows[] = {
        {20.0,
         22.0,
         13.0,
         {{Item::Ring, {}, 0},
          {Item::Glyph, QStringLiteral("5"), 0},
          {Item::Glyph, QStringLiteral("つ"), 0},
          {Item::Glyph, QStringLiteral("3"), 0}}},
        {15.0,
         21.0,
         40.0,
         {{Item::Glyph, QStringLiteral("く"), 0},
          {Item::Ring, {}, 90},
          {Item::Glyph, QStringLiteral("8"), 0},
          {Item::Glyph, QStringLiteral("へ"), 0}}},
        {11.0,
         18.0,
         62.0,
         {{Item::Glyph, QStringLiteral("2"), 0},
          {Item::Glyph, QStringLiteral("の"), 0},
          {Item::Glyph, QStringLiteral("6"), 0},
          {Item::Ring, {}, 180}}},
        {8.0,
         13.5,
         81.5,
         {{Item::Ring, {}, 270},
          {Item::Glyph, QStringLiteral("し"), 0},
          {Item::Glyph, QStringLiteral("4"), 0},
          {Item::Glyph, QStringLiteral("9"), 0}}},
    };

    for (const Row& row : rows) {
        const double x0 = 45.5 - 1.5 * row.pitch;
        for (int i = 0; i < 4; ++i) {
            const Item& it = row.items[i];
            const QPointF c(x0 + i * row.pitch, row.centreY);
            if (it.kind == Item::Ring) {
                drawLandolt(p, c, row.size, it.gapDeg);
            } else {
                // Outline weight brings the strokes near the ring's one fifth;
                // the box shrinks by it so the glyph stays as tall as the ring.
                const double weight = row.size / 10;
                const double s = row.size - weight;
                drawGlyph(p, it.text, QRectF(c.x() - s / 2, c.y() - s / 2, s, s), weight);
            }
        }
    }
    return img;
}

QImage drawRedGreen() {
    const int w = 94, h = 92;
    QImage img = blank(w, h, Qt::white);
    QPainter p(&img);
    smooth(p);
    p.fillRect(QRect(0, 0, w / 2, h), QColor(232, 64, 24));
    p.fillRect(QRect(w / 2, 0, w - w / 2, h), QColor(24, 168, 72));

    // Both halves carry the same targets, so the two colours can be compared.
    for (int half = 0; half < 2; ++half) {
        const double cx = half * (w / 2.0) + w / 4.0;
        drawGlyph(p, QStringLiteral("9"), QRectF(cx - 11, 6, 22, 30), 2.0);
        drawRingTarget(p, QPointF(cx - 10, 50), 7);
        drawRingTarget(p, QPointF(cx + 10, 50), 7);
        const QString small[3] = {QStringLiteral("3"), QStringLiteral("5"), QStringLiteral("8")};
        for (int i = 0; i < 3; ++i) drawGlyph(p, small[i], QRectF(cx - 16 + i * 11, 66, 10, 10), 0.5);
        drawGlyph(p, QStringLiteral("2"), QRectF(cx - 10.5, 80, 7, 7), 0.3);
        drawGlyph(p, QStringLiteral("6"), QRectF(cx - 3.5, 80, 7, 7), 0.3);
        drawGlyph(p, QStringLiteral("4"), QRectF(cx + 3.5, 80, 7, 7), 0.3);
    }
    return img;
}

QImage drawDial() {
    QImage img = blank(94, 94, Qt::white);
    QPainter p(&img);
    smooth(p);
    const QPointF c(47, 47);

    // Dashed spokes every 15 degrees, drawn dash by dash so the pattern
    // starts at the same radius on every spoke.
    const double rIn = 7, rOut = 33, dash = 3.2, gap = 1.8;
    p.setPen(QPen(Qt::black, 1.25, Qt::SolidLine, Qt::FlatCap));
    for (int k = 0; k < 24; ++k) {
        const double a = k * 15.0 * std::numbers::pi / 180.0;
        const QPointF d(std::cos(a), -std::sin(a));
        for (double r = rIn; r < rOut; r += dash + gap) {
            const double r2 = std::min(r + dash, rOut);
            p.drawLine(c + d * r, c + d * r2);
        }
    }

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1.2));
    p.drawEllipse(c, 3.5, 3.5);

    // Hours along the rim, 12 on top.
    for (int hour = 1; hour <= 12; ++hour) {
        const double a = (90.0 - hour * 30.0) * std::numbers::pi / 180.0;
        const QPointF at = c + QPointF(std::cos(a), -std::sin(a)) * 40.5;
        const QString t = QString::number(hour);
        const double bw = t.size() == 1 ? 6.0 : 10.5;
        drawGlyph(p, t, QRectF(at.x() - bw / 2, at.y() - 4, bw, 8), 0.2);
    }
    return img;
}

QImage drawDots() {
    QImage img = blank(94, 94, Qt::white);
    QPainter p(&img);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 24, 24));

    // Hexagonal packing: rows of 3, 4, 5, 4, 3 make a round cluster.
    const double pitch = 17.0, rowStep = pitch * std::sqrt(3.0) / 2, radius = 5.6;
    const int counts[5] = {3, 4, 5, 4, 3};
    for (int row = 0; row < 5; ++row) {
        const double y = 47 + (row - 2) * rowStep;
        const int n = counts[row];
        for (int i = 0; i < n; ++i) p.drawEllipse(QPointF(47 + (i - (n - 1) / 2.0) * pitch, y), radius, radius);
    }
    return img;
}

// A phoropter's sight window: metal housing, degree scale on the upper half,
// blue-tinted lens and the red cylinder-axis line across it.
QImage drawIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    smooth(p);
    p.scale(size / 256.0, size / 256.0);
    const QPointF c(128, 128);
    const bool tiny = size < 96;

    QLinearGradient body(0, 8, 0, 248);
    body.setColorAt(0, QColor(78, 92, 110));
    body.setColorAt(1, QColor(30, 38, 50));
    p.setPen(QPen(QColor(20, 26, 34), 4));
    p.setBrush(body);
    p.drawEllipse(c, 120, 120);

    QLinearGradient rim(0, 20, 0, 236);
    rim.setColorAt(0, QColor(226, 232, 238));
    rim.setColorAt(1, QColor(134, 146, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(c, 100, 100);

    // Degree scale: 0 to 180 across the top, long ticks every 30 degrees.
    p.setPen(QPen(QColor(40, 48, 60), tiny ? 7 : 3, Qt::SolidLine, Qt::RoundCap));
    for (int deg = 0; deg <= 180; deg += tiny ? 30 : 10) {
        const double a = deg * std::numbers::pi / 180.0;
        const QPointF d(std::cos(a), -std::sin(a));
        const double inner = deg % 30 == 0 ? 84 : 90;
        p.drawLine(c + d * inner, c + d * 98);
    }

    QRadialGradient glass(QPointF(108, 100), 90);
    glass.setColorAt(0, QColor(232, 248, 255));
    glass.setColorAt(0.7, QColor(140, 196, 228));
    glass.setColorAt(1, QColor(72, 132, 176));
    p.setPen(QPen(QColor(36, 44, 56), 5));
    p.setBrush(glass);
    p.drawEllipse(c, 78, 78);

    // Glint on the glass.
    p.setPen(QPen(QColor(255, 255, 255, 170), tiny ? 9 : 7, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 60, c.y() - 60, 120, 120), 100 * 16, 55 * 16);

    // Cylinder axis at 30 degrees, with the marker on the scale.
    const double ax = 30 * std::numbers::pi / 180.0;
    const QPointF d(std::cos(ax), -std::sin(ax));
    p.setPen(QPen(QColor(214, 28, 28), tiny ? 12 : 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c - d * 74, c + d * 74);
    p.setPen(QPen(QColor(120, 10, 10), 3));
    p.setBrush(QColor(230, 36, 36));
    p.drawEllipse(c + d * 91, tiny ? 13 : 9, tiny ? 13 : 9);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(36, 44, 56));
    p.drawEllipse(c, tiny ? 10 : 7, tiny ? 10 : 7);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

bool save(const QImage& img, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!img.save(path, "PNG")) {
        QTextStream(stderr) << "draw_charts: cannot write " << path << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: draw_charts OUTPUT_DIR\n";
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        QTextStream(stderr) << "draw_charts: no such folder " << dir.path() << '\n';
        return 2;
    }
    const QFontInfo info(glyphFont());
    if (info.family() != kFamily)
        QTextStream(stderr) << "draw_charts: " << kFamily << " not found, using " << info.family() << '\n';

    bool ok = save(drawAcuity(), dir, QStringLiteral("acuity.png"));
    ok = save(drawRedGreen(), dir, QStringLiteral("redgreen.png")) && ok;
    ok = save(drawDial(), dir, QStringLiteral("dial.png")) && ok;
    ok = save(drawDots(), dir, QStringLiteral("dots.png")) && ok;
    ok = save(drawIcon(256), dir, QStringLiteral("icon.png")) && ok;
    ok = save(drawIcon(48), dir, QStringLiteral("icon-48.png")) && ok;
    return ok ? 0 : 1;
}
