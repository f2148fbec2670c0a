// Pictures of the whole window in a few states, checked at the places where the layout puts
// faces, texts and lines. Set FORM1_PICTURES to a folder to keep them as PNG files for a look
// by eye (start.png, everything.png, ended.png, inuse.png, and the phoropter view enlarged four
// times, phoropter.png and inuse-phoropter.png).

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

#include "app/qt/widgets.h"
#include "tests/qt/view_support.h"

namespace {

void keep(const QImage& picture, const char* file) {
    const QString folder = qEnvironmentVariable("FORM1_PICTURES");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    EXPECT_TRUE(picture.save(QDir(folder).filePath(QString::fromLatin1(file))));
}

QImage picture(ShownView& v) {
    v.view.sync();
    QApplication::processEvents();
    return v.view.grab().toImage();
}

QColor rgb(const Rgb& c) { return QColor(c.r, c.g, c.b); }

// The pixels of a control's box in a picture of the whole window.
QImage boxOf(const QImage& window, ShownView& v, const char* name) {
    QWidget* w = v.widget(name);
    const double ratio = window.devicePixelRatio();
    const QRect box(w->mapTo(&v.view, QPoint(0, 0)) * ratio, w->size() * ratio);
    return window.copy(box);
}

// The colour a few pixels in from a control's top-left corner: inside its border, clear of
// its centred caption.
QColor faceOf(const QImage& window, ShownView& v, const char* name) {
    const QImage box = boxOf(window, v, name);
    return box.pixelColor(static_cast<int>(6 * window.devicePixelRatio()), box.height() / 2);
}

// How many pixels of a box have exactly this colour.
int pixelsOf(const QImage& box, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x) n += box.pixelColor(x, y) == colour;
    return n;
}

}  // namespace

TEST(WindowPicture, AtStart) {
    ShownView v(true);
    const QImage img = picture(v);
    EXPECT_EQ(img.size(), QSize(878, 655) * img.devicePixelRatio());
    const Form1& m = v.model();
    for (const CommandButton* b : {&m.Command5, &m.Command2, &m.Command6, &m.Command1})
        EXPECT_EQ(faceOf(img, v, b->name().c_str()), rgb(*b->look.back)) << b->name();
    // The title's white text on its blue band; the lens axis line upright at 90, its end showing
    // above the lens.
    const QImage title = boxOf(img, v, "Label1");
    EXPECT_GT(pixelsOf(title, rgb(*m.Label1.look.back)), title.width() * title.height() / 2);
    EXPECT_GT(pixelsOf(title, Qt::white), 50);
    // Below the frame's caption, which has the line's colour too.
    const int ratio = static_cast<int>(img.devicePixelRatio());
    const QImage frame = boxOf(img, v, "Frame5");
    const QImage lens = frame.copy(0, 20 * ratio, frame.width(), frame.height() - 20 * ratio);
    const QColor axisColour = rgb(m.Line1.look.fore.value());
    const QImage band = lens.copy(76 * ratio, 0, 9 * ratio, lens.height());  // x = 1200 twips
    EXPECT_GT(pixelsOf(band, axisColour), 10 * ratio * ratio);
    EXPECT_EQ(pixelsOf(band, axisColour), pixelsOf(lens, axisColour)) << "nothing of the axis line off its place";
    keep(img, "start.png");
}

TEST(WindowPicture, EveryControlShown) {
    ShownView v;
    for (Control* c : v.model().controls()) c->visible = true;
    v.model().Label16.caption = "１２時と１時の間が濃く見えます";  // the longest answer
    v.model().Label7.caption = "Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°";
    v.model().Label15.caption = "Ｓ-1.25Ｄ Ｃ-0.75Ｄ Ａ40°";
    v.model().Label19.caption = "Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°";
    v.model().Label23.caption = "87 点";
    const QImage img = picture(v);
    EXPECT_EQ(img.size(), QSize(878, 655) * img.devicePixelRatio());
    // Every text shows in its own colour inside its own box.
    for (const Label* l : {&v.model().Label16, &v.model().Label23, &v.model().Label19})
        EXPECT_GT(pixelsOf(boxOf(img, v, l->name().c_str()), rgb(l->look.fore.value())), 20) << l->name();
    keep(img, "everything.png");
    const QImage phoropter = v.view.phoropterView()->grab().toImage();
    keep(phoropter.scaled(phoropter.size() * 4), "phoropter.png");
}

// A case ended through the window: lens dialled, a question asked, then "測定終了正解は？".
TEST(WindowPicture, EndedInTestMode) {
    ShownView v(true);
    auto* sphere = v.widget<QScrollBar>("HScroll1");
    for (int i = 0; i < 4; ++i) sphere->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    v.widget<QScrollBar>("HScroll2")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    for (int i = 0; i < 2; ++i) v.widget<QScrollBar>("HScroll3")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    mouseClick(v.widget("Command6"));
    mouseClick(v.widget("Command5"));
    EXPECT_EQ(v.widget<QLabel>("Label23")->text(), QString::fromStdString(v.model().Label23.caption));
    EXPECT_TRUE(v.model().Label23.caption.ends_with(" 点"));
    EXPECT_TRUE(v.widget("STARTbutton")->isVisibleTo(&v.view));
    EXPECT_FALSE(v.widget("Frame2")->isEnabled());
    const QImage img = picture(v);
    EXPECT_GT(pixelsOf(boxOf(img, v, "Label23"), rgb(v.model().Label23.look.fore.value())), 20) << "the score shows";
    EXPECT_EQ(faceOf(img, v, "STARTbutton"), rgb(*v.model().STARTbutton.look.back));
    keep(img, "ended.png");
}

TEST(WindowPicture, EndedInPracticeMode) {
    ShownView v(true);
    mouseClick(v.widget("Option11"));
    v.widget<QScrollBar>("HScroll1")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    v.widget<QScrollBar>("HScroll2")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    for (int i = 0; i < 2; ++i) v.widget<QScrollBar>("HScroll3")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    mouseClick(v.widget("Command5"));
    EXPECT_TRUE(v.widget("Frame2")->isEnabled()) << "practice goes on after the end";
    EXPECT_TRUE(v.widget("Label26")->isVisibleTo(&v.view));
    keep(picture(v), "ended-practice.png");
}

// The window's own handlers at work: cross cylinder in, axis and handle turned, a question.
TEST(WindowPicture, CrossCylinderInUse) {
    ShownView v(true);
    mouseClick(v.widget("Option11"));
    mouseClick(v.widget("Command2"));
    for (int i = 0; i < 3; ++i) v.widget<QScrollBar>("HScroll3")->triggerAction(QAbstractSlider::SliderPageStepSub);
    v.widget<QScrollBar>("HScroll4")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    v.widget<QScrollBar>("HScroll1")->triggerAction(QAbstractSlider::SliderPageStepSub);
    mouseClick(v.widget("Command6"));
    const QImage img = picture(v);
    EXPECT_EQ(faceOf(img, v, "Command3"), rgb(*v.model().Command3.look.back));
    EXPECT_EQ(faceOf(img, v, "Command4"), rgb(*v.model().Command4.look.back));
    keep(img, "inuse.png");
    const QImage phoropter = v.view.phoropterView()->grab().toImage();
    EXPECT_GT(pixelsOf(phoropter, rgb(v.model().Line2.look.fore.value())), 100) << "the cross-cylinder axis shows";
    keep(phoropter.scaled(phoropter.size() * 4), "inuse-phoropter.png");
}

// The cross cylinder at three handle directions, front and back: the solid red dots sit on the
// front axis (akaJiku) before the flip and on the back axis after it. Kept as one strip.
TEST(WindowPicture, CrossCylinderDirectionsAndFlips) {
    ShownView v(true);
    Form1& m = v.model();
    mouseClick(v.widget("Command2"));
    auto* handle = v.widget<QScrollBar>("HScroll4");
    QList<QImage> shots;
    for (int position : {90, 135, 30}) {  // handle 90, 45 and 150 degrees
        handle->setValue(position);
        for (int side = 0; side < 2; ++side) {
            if (side == 1) mouseClick(v.widget("Command3"));
            v.view.sync();
            QApplication::processEvents();
            const QImage img = v.view.phoropterView()->grab().toImage();
            const double scale = img.devicePixelRatio() / 15;
            auto centre = [&](const Circle& dot) {
                return img.pixelColor(static_cast<int>((dot.left + 67.5) * scale),
                                      static_cast<int>((dot.top + 67.5) * scale));
            };
            const bool front = m.Label20.caption == "おもて";
            for (const Circle* dot : {&m.Shape5, &m.Shape6, &m.Shape7, &m.Shape8}) {
                const bool solid = (dot == &m.Shape5 || dot == &m.Shape6) == front;
                const QColor c = centre(*dot);
                EXPECT_EQ(c.red() > 200 && c.green() < 60, solid)
                    << dot->name() << " at handle position " << position << (front ? " front" : " back");
            }
            shots.append(img);
            if (side == 1) mouseClick(v.widget("Command3"));  // back to the front for the next direction
        }
    }
    QImage strip(shots[0].width() * shots.size(), shots[0].height(), QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    for (int i = 0; i < shots.size(); ++i) painter.drawImage(i * shots[0].width(), 0, shots[i]);
    painter.end();
    keep(strip.scaled(strip.size() * 2), "crosscylinder.png");
}
