// Focus marks and disabled captions measured on grabs of the real widgets. Run at the usual
// density in view_tests and at twice that in view_tests_high_dpi. Set FORM1_PICTURES to keep
// the grabs (focus-*.png, ended-disabled.png, with "-2x" at twice the density).

#include <gtest/gtest.h>

#include <cstdio>

#include <QDir>
#include <QImage>
#include <QScrollBar>

#include "app/qt/widgets.h"
#include "app/window/accessibility.h"
#include "tests/qt/view_support.h"

namespace {

Rgb rgbAt(const QImage& img, int x, int y) { return toRgb(img.pixelColor(x, y)); }

QImage grabbed(QWidget* w) {
    QApplication::processEvents();
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void keep(const QImage& img, const char* name) {
    const QString folder = qEnvironmentVariable("FORM1_PICTURES");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    const QString suffix = img.devicePixelRatio() > 1 ? QStringLiteral("-2x.png") : QStringLiteral(".png");
    img.save(QDir(folder).filePath(QString::fromLatin1(name) + suffix));
}

std::string text(const Rgb& c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); }

// The pixels a focus mark changes, and how they stand against the colour around them.
struct Mark {
    int pixels = 0;
    int standingOut = 0;  // pixels with at least 3:1 against `around`
    Rgb colour;           // the commonest changed colour
    double contrast = 1;  // of that colour against `around`
};

Mark measureMark(const QImage& focused, const QImage& plain, const Rgb& around) {
    Mark m;
    std::map<QRgb, int> counts;
    for (int y = 0; y < focused.height(); ++y)
        for (int x = 0; x < focused.width(); ++x) {
            if (focused.pixel(x, y) == plain.pixel(x, y)) continue;
            ++m.pixels;
            ++counts[focused.pixel(x, y)];
            if (contrastRatio(rgbAt(focused, x, y), around) >= 3) ++m.standingOut;
        }
    if (counts.empty()) return m;
    const auto commonest = std::max_element(counts.begin(), counts.end(),
                                            [](const auto& a, const auto& b) { return a.second < b.second; });
    m.colour = toRgb(QColor(commonest->first));
    m.contrast = contrastRatio(m.colour, around);
    return m;
}

// The darkest pixel of `area`: the full strength of a caption drawn there.
Rgb darkestIn(const QImage& img, const QRect& area) {
    Rgb darkest{255, 255, 255};
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (const Rgb c = rgbAt(img, x, y); c.r + c.g + c.b < darkest.r + darkest.g + darkest.b) darkest = c;
    return darkest;
}

struct Window : ShownView {
    Window() : ShownView(true) {}
    bool activate() {
        view.activateWindow();
        QApplication::processEvents();
        return QApplication::activeWindow() == &view;
    }
};

}  // namespace

TEST(Legibility, FocusMarkStandsOutOnEveryButtonFaceOptionAndScrollBar) {
    Window v;
    if (!v.activate()) GTEST_SKIP() << "the window system gives no active window";
    Form1& m = v.model();
    // Every button at once: STARTbutton and the cross-cylinder panel shown too.
    m.STARTbutton.visible = true;
    m.Frame4.visible = true;
    v.view.sync();
    const Rgb window = toRgb(v.view.palette().color(QPalette::Window));
    const double dpr = v.view.devicePixelRatioF();

    struct Case {
        const char* name;
        const char* picture;
    };
    for (const Case& c : {Case{"STARTbutton", nullptr}, Case{"Command1", nullptr}, Case{"Command2", "focus-cyan"},
                          Case{"Command3", nullptr}, Case{"Command4", nullptr}, Case{"Command5", "focus-yellow"},
                          Case{"Command6", "focus-orange"}, Case{"Command7", nullptr}, Case{"Option1", "focus-option"},
                          Case{"Option5", nullptr}, Case{"Option10", nullptr}, Case{"HScroll1", "focus-scrollbar"},
                          Case{"HScroll2", nullptr}, Case{"HScroll3", nullptr}, Case{"HScroll4", nullptr}}) {
        QWidget* w = v.widget(c.name);
        ASSERT_TRUE(w->isVisible()) << c.name;
        w->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(w->hasFocus()) << c.name;
        const QImage focused = grabbed(w);
        if (c.picture) keep(grabbed(&v.view), c.picture);
        w->clearFocus();
        const QImage plain = grabbed(w);

        Rgb face = window;
        if (auto* button = qobject_cast<ButtonWidget*>(w)) face = toRgb(button->face());
        const Mark mark = measureMark(focused, plain, face);
        // At least a frame of the mark's width around a caption-sized box.
        const int least = static_cast<int>(2 * kFocusMarkWidth * dpr * (30 + 10) * dpr);
        EXPECT_GE(mark.pixels, least) << c.name;
        EXPECT_GE(mark.standingOut, mark.pixels * 95 / 100) << c.name;
        EXPECT_GE(mark.contrast, 3) << c.name;
        std::printf("[contrast %gx] %-11s focus mark %s on %s: %.2f:1 (%d px)\n", dpr, c.name,
                    text(mark.colour).c_str(), text(face).c_str(), mark.contrast, mark.pixels);

        if (qobject_cast<QScrollBar*>(w)) {
            // Inside the mark: the bar's own groove, half way between the thumb and an arrow.
            const int band = static_cast<int>(kFocusMarkWidth * dpr);
            const Rgb groove = rgbAt(focused, focused.width() - static_cast<int>(22 * dpr), band + 1);
            const Rgb inPlain = rgbAt(plain, plain.width() - static_cast<int>(22 * dpr), band + 1);
            EXPECT_EQ(groove, inPlain) << c.name << ": sampled inside the mark";
            EXPECT_GE(contrastRatio(mark.colour, groove), 3) << c.name;
            std::printf("[contrast %gx] %-11s focus mark against the groove %s: %.2f:1\n", dpr, c.name,
                        text(groove).c_str(), contrastRatio(mark.colour, groove));
        }
    }
}

TEST(Legibility, DisabledCaptionsAfterTheEndOfATestStayReadableAndLookDisabled) {
    Window v;
    Form1& m = v.model();
    mouseClick(v.widget("Command2"));  // the cross cylinder in
    v.widget("Command6")->clearFocus();
    const double dpr = v.view.devicePixelRatioF();
    auto captionArea = [dpr](const QImage& img, int leftSkip) {
        const int inset = static_cast<int>(4 * dpr);
        return QRect(static_cast<int>(leftSkip * dpr) + inset, inset,
                     img.width() - 2 * inset - static_cast<int>(leftSkip * dpr), img.height() - 2 * inset);
    };
    struct Case {
        const char* name;
        int leftSkip;  // the radio mark to the left of an option's caption
    };
    const std::vector<Case> cases{{"Command3", 0}, {"Command4", 0}, {"Command6", 0},
                                  {"Option1", 18}, {"Option5", 18}, {"Option10", 18}};
    std::map<std::string, Rgb> enabled;
    for (const Case& c : cases) {
        const QImage img = grabbed(v.widget(c.name));
        enabled[c.name] = darkestIn(img, captionArea(img, c.leftSkip));
    }

    mouseClick(v.widget("Command5"));  // test mode: the end disables every frame
    ASSERT_FALSE(m.Frame4.enabled);
    if (QWidget* w = QApplication::focusWidget()) w->clearFocus();
    keep(grabbed(&v.view), "ended-disabled");
    const Rgb window = toRgb(v.view.palette().color(QPalette::Window));
    for (const Case& c : cases) {
        QWidget* w = v.widget(c.name);
        ASSERT_FALSE(w->isEnabled()) << c.name;
        const QImage img = grabbed(w);
        Rgb face = window;
        if (auto* button = qobject_cast<ButtonWidget*>(w)) {
            face = toRgb(button->face());
            EXPECT_EQ(rgbAt(img, static_cast<int>(8 * dpr), static_cast<int>(6 * dpr)), face)
                << c.name << " keeps its face";
        }
        const Rgb caption = darkestIn(img, captionArea(img, c.leftSkip));
        EXPECT_NE(caption, face) << c.name << ": a caption is there";
        const double legible = contrastRatio(caption, face);
        const double unlike = contrastRatio(caption, enabled[c.name]);
        EXPECT_GE(legible, 3) << c.name;
        EXPECT_GE(unlike, 2) << c.name << ": the disabled caption looks unlike the enabled one";
        std::printf("[contrast %gx] %-11s disabled caption %s on %s: %.2f:1 (enabled caption %s, %.2f:1 apart)\n", dpr,
                    c.name, text(caption).c_str(), text(face).c_str(), legible, text(enabled[c.name]).c_str(), unlike);
    }

    // The frame captions: grey like the rest, no longer red, and as legible.
    for (const char* name : {"Frame1", "Frame4", "Frame7"}) {
        QWidget* frame = v.widget(name);
        const QFontMetrics fm(frame->font());
        const QImage img = grabbed(frame);
        const QRect caption(static_cast<int>(10 * dpr), static_cast<int>(dpr), static_cast<int>(40 * dpr),
                            static_cast<int>((fm.height() - 2) * dpr));
        const Rgb darkest = darkestIn(img, caption);
        const double legible = contrastRatio(darkest, window);
        EXPECT_GE(legible, 3) << name;
        EXPECT_EQ(darkest.r, darkest.g) << name << ": grey, not the red of an enabled frame";
        std::printf("[contrast %gx] %-11s disabled caption %s on %s: %.2f:1\n", dpr, name, text(darkest).c_str(),
                    text(window).c_str(), legible);
    }
}
