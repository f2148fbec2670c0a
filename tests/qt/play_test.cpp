// A trainee at the real widgets: chart choice, questions, lenses and the cross cylinder, each
// through a click or a scroll-bar action, the answer read off the answer label on screen.

#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>

#include "tests/qt/view_support.h"

namespace {

QString answerShown(ShownView& v) {
    auto* label = v.widget<QLabel>("Label16");
    return label->isVisibleTo(&v.view) ? label->text() : QString();
}

bool offered(ShownView& v, const char* option) { return v.widget(option)->isVisibleTo(&v.view); }

void step(ShownView& v, const char* bar, QAbstractSlider::SliderAction action, int times = 1) {
    for (int i = 0; i < times; ++i) v.widget<QScrollBar>(bar)->triggerAction(action);
}

}  // namespace

TEST(Playing, EachChartOffersItsQuestionsAndAnswersFollowTheLens) {
    ShownView v(true);
    v.form.setCase(-1, -0.25f, 180);

    mouseClick(v.widget("Option6"));  // red-green
    EXPECT_TRUE(offered(v, "Option3"));
    EXPECT_FALSE(offered(v, "Option1"));
    EXPECT_FALSE(offered(v, "Option4"));
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(answerShown(v), QStringLiteral("赤がよく見えます"));
    step(v, "HScroll1", QAbstractSlider::SliderPageStepAdd);  // S -1.00: residual S 0, C -0.25
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(answerShown(v), QStringLiteral("赤が少しよく見えます"));

    mouseClick(v.widget("Option7"));  // radial dial
    EXPECT_TRUE(offered(v, "Option2"));
    EXPECT_FALSE(offered(v, "Option3"));
    EXPECT_EQ(answerShown(v), QStringLiteral("赤が少しよく見えます")) << "choosing a chart leaves the answer";
    step(v, "HScroll1", QAbstractSlider::SliderPageStepSub);  // back to plano: fogged by -1.125
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(answerShown(v), QStringLiteral("１２時が濃く見えます"));

    mouseClick(v.widget("Option5"));  // acuity chart
    EXPECT_TRUE(offered(v, "Option1"));
    EXPECT_TRUE(offered(v, "Option4"));
    EXPECT_FALSE(offered(v, "Option2"));
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(answerShown(v), QStringLiteral("０．５まで見えます"));
    mouseClick(v.widget("Option4"));
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(answerShown(v), QStringLiteral("ない方がいいです"));

    mouseClick(v.widget("Option8"));  // dot cluster: only the cross-cylinder question
    EXPECT_TRUE(offered(v, "Option9"));
    EXPECT_FALSE(offered(v, "Option1"));
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(answerShown(v), QStringLiteral("え～っ？"));
}

TEST(Playing, CrossCylinderComparisonThroughTheWidgets) {
    ShownView v(true);
    v.form.setCase(-1, -1, 45);
    step(v, "HScroll1", QAbstractSlider::SliderSingleStepAdd, 4);  // S -1.00
    step(v, "HScroll2", QAbstractSlider::SliderSingleStepAdd, 2);  // C -0.50
    step(v, "HScroll3", QAbstractSlider::SliderPageStepAdd, 3);    // position 135: axis 45
    mouseClick(v.widget("Option11"));                              // too late: the mode is settled
    EXPECT_TRUE(v.model().Option10.selected());
    mouseClick(v.widget("Command2"));
    EXPECT_EQ(v.widget<QScrollBar>("HScroll4")->value(), 135);
    EXPECT_EQ(v.widget<QLabel>("Label3")->text(), QStringLiteral("Ａ45°"));
    mouseClick(v.widget("Option8"));
    step(v, "HScroll4", QAbstractSlider::SliderToMaximum);  // handle 0: front axis 45
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(answerShown(v), QStringLiteral("おもての方がよく見えます"));
    mouseClick(v.widget("Command3"));  // the flip does not change the comparison
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(answerShown(v), QStringLiteral("おもての方がよく見えます"));
    EXPECT_EQ(v.widget<QLabel>("Label20")->text(), QStringLiteral("うら"));
    EXPECT_EQ(v.form.platform.beeps, 2);
}
