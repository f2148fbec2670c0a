// Pictures of the whole window in a few states. Set FORM1_PICTURES to a folder to keep them
// as PNG files for a look by eye (start.png, everything.png, ended.png, inuse.png, and the
// phoropter view enlarged four times, phoropter.png and inuse-phoropter.png).

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

#include "view_support.h"
#include "widgets.h"

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

}  // namespace

TEST(WindowPicture, AtStart) {
    ShownView v(true);
    const QImage img = picture(v);
    EXPECT_EQ(img.size(), QSize(878, 655) * img.devicePixelRatio());
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
    keep(picture(v), "everything.png");
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
    keep(picture(v), "ended.png");
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
    keep(picture(v), "inuse.png");
    const QImage phoropter = v.view.phoropterView()->grab().toImage();
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
