// Pictures of the whole window in a few states. Set FORM1_PICTURES to a folder to keep them
// as PNG files for a look by eye (start.png, everything.png, ended.png, inuse.png, and the
// phoropter view enlarged four times, phoropter.png and inuse-phoropter.png).

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
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
    v.model().Label16.caption = "もう少しはっきり見えます。上から３段目まで見えます。";
    v.model().Label7.caption = "Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°";
    v.model().Label15.caption = "Ｓ-1.25Ｄ Ｃ-0.75Ｄ Ａ40°";
    v.model().Label19.caption = "Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°";
    v.model().Label23.caption = "87 点";
    keep(picture(v), "everything.png");
    const QImage phoropter = v.view.phoropterView()->grab().toImage();
    keep(phoropter.scaled(phoropter.size() * 4), "phoropter.png");
}

TEST(WindowPicture, EndedInTestMode) {
    ShownView v;
    Form1& m = v.model();
    for (Label* l : {&m.Label5, &m.Label7, &m.Label14, &m.Label15, &m.Label18, &m.Label19, &m.Label23}) l->visible = true;
    m.Command5.visible = false;
    m.STARTbutton.visible = true;
    m.Command2.visible = false;
    for (Frame* f : {&m.Frame1, &m.Frame2, &m.Frame3, &m.Frame4, &m.Frame5, &m.Frame6, &m.Frame7}) f->enabled = false;
    keep(picture(v), "ended.png");
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
