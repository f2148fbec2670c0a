// The Qt view: widgets built from the layout, user input reaching the model once, the model
// mirrored back, the phoropter picture.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "app/qt/widgets.h"
#include "tests/qt/view_support.h"

namespace {

bool isKind(QWidget* w, Kind kind) {
    switch (kind) {
    case Kind::Frame:
        return qobject_cast<QGroupBox*>(w) != nullptr;
    case Kind::Label:
        return qobject_cast<QLabel*>(w) != nullptr;
    case Kind::Image: {
        auto* l = qobject_cast<QLabel*>(w);
        return l && !l->pixmap().isNull();
    }
    case Kind::Button:
        return qobject_cast<QPushButton*>(w) != nullptr;
    case Kind::Option:
        return qobject_cast<QRadioButton*>(w) != nullptr;
    case Kind::HScroll:
        return qobject_cast<QScrollBar*>(w) != nullptr;
    default:
        return false;
    }
}

void pressKey(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// The right arrow button of a horizontal scroll bar.
QPoint rightArrow(QScrollBar* bar) { return QPoint(bar->width() - 3, bar->height() / 2); }

}  // namespace

TEST(FormView, OneWidgetPerControlNamedAfterIt) {
    ShownView v;
    EXPECT_EQ(v.view.objectName(), "Form1");
    for (Control* c : v.model().controls()) {
        if (c->kind() == Kind::Form) continue;
        QWidget* w = v.view.findChild<QWidget*>(QString::fromStdString(c->name()));
        if (c->kind() == Kind::Circle || c->kind() == Kind::Line) {
            EXPECT_EQ(w, nullptr) << c->name() << " is painted, not a widget";
            continue;
        }
        ASSERT_NE(w, nullptr) << c->name();
        EXPECT_EQ(w, v.view.widgetFor(*c));
        EXPECT_TRUE(isKind(w, c->kind())) << c->name();
        EXPECT_EQ(w->parentWidget(), v.view.widgetFor(*c->container())) << c->name();
    }
    EXPECT_EQ(v.view.widgetFor(v.model().Frame5), v.view.phoropterView());
}

TEST(FormView, WindowAndGeometryInPixels) {
    ShownView v;
    EXPECT_EQ(v.view.windowTitle(), "Form1");
    EXPECT_EQ(v.view.minimumSize(), QSize(878, 655));
    EXPECT_EQ(v.view.maximumSize(), QSize(878, 655));
    EXPECT_EQ(v.widget("Frame4")->geometry(), QRect(16, 392, 249, 129));
    EXPECT_EQ(v.widget("HScroll1")->geometry(), QRect(96, 32, 137, 17));
    EXPECT_EQ(v.widget("HScroll1")->parentWidget()->objectName(), "Frame2");
    EXPECT_EQ(v.widget("Label20")->geometry(), QRect(136, 144, 57, 17));
    EXPECT_EQ(v.widget("Command7")->geometry(), QRect(728, 568, 57, 33));
    EXPECT_EQ(v.widget("Option12")->geometry(), QRect(8, 88, 105, 17));
}

TEST(FormView, DesignStateShown) {
    ShownView v;
    EXPECT_TRUE(v.widget("Frame4")->isHidden());
    EXPECT_TRUE(v.widget("STARTbutton")->isHidden());
    EXPECT_TRUE(v.widget("Option2")->isHidden());
    EXPECT_TRUE(v.widget("Label7")->isHidden());
    EXPECT_TRUE(v.widget("Command5")->isVisible());
    EXPECT_TRUE(v.widget("Label16")->isHidden());
    for (const char* on : {"Option1", "Option5", "Option10"}) EXPECT_TRUE(v.widget<QRadioButton>(on)->isChecked());
    for (const char* off : {"Option4", "Option6", "Option11"}) EXPECT_FALSE(v.widget<QRadioButton>(off)->isChecked());
    EXPECT_EQ(v.widget<QLabel>("Label4")->text(), "Ｓ 0.00Ｄ");
    EXPECT_EQ(v.widget<QGroupBox>("Frame7")->title(), "モード");
    EXPECT_EQ(v.widget("Frame2")->toolTip(), "スクロールバーを操作して度数を設定します");
}

TEST(FormView, ScrollBarsFromTheModel) {
    ShownView v;
    struct Expect {
        const char* name;
        int min, max, small, large, value;
    };
    for (const Expect& e : {Expect{"HScroll1", 0, 80, 1, 4, 40}, Expect{"HScroll2", 0, 20, 1, 4, 0},
                            Expect{"HScroll3", 0, 180, 1, 15, 90}, Expect{"HScroll4", 1, 180, 1, 15, 90}}) {
        auto* bar = v.widget<QScrollBar>(e.name);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), e.min) << e.name;
        EXPECT_EQ(bar->maximum(), e.max) << e.name;
        EXPECT_EQ(bar->singleStep(), e.small) << e.name;
        EXPECT_EQ(bar->pageStep(), e.large) << e.name;
        EXPECT_EQ(bar->value(), e.value) << e.name;
        EXPECT_FALSE(bar->hasTracking());
        EXPECT_FALSE(bar->invertedControls());
        EXPECT_TRUE(bar->focusPolicy() & Qt::TabFocus);
    }
}

TEST(FormView, ChartPicturesAtNaturalSize) {
    ShownView v;
    EXPECT_EQ(v.widget<QLabel>("Image1")->pixmap().size(), QSize(91, 96));
    EXPECT_EQ(v.widget<QLabel>("Image2")->pixmap().size(), QSize(94, 92));
    EXPECT_EQ(v.widget<QLabel>("Image3")->pixmap().size(), QSize(94, 94));
    EXPECT_EQ(v.widget<QLabel>("Image4")->pixmap().size(), QSize(94, 94));
}

TEST(FormView, FontsSubstitutedAndNotTakenFromTheFrame) {
    ShownView v;
    const QFontInfo title(v.widget("Label1")->font());
    EXPECT_EQ(title.family(), "IPAGothic");
    EXPECT_DOUBLE_EQ(v.widget("Label1")->font().pointSizeF(), 15.75);
    const QFontInfo readout(v.widget("Label4")->font());
    EXPECT_EQ(readout.family(), "IPAPGothic");
    EXPECT_TRUE(readout.bold());
    EXPECT_TRUE(v.widget("Frame1")->font().bold());
    // Option1 names no font: the window's default, not the bold caption font of Frame1.
    EXPECT_FALSE(v.widget("Option1")->font().bold());
    EXPECT_EQ(QFontInfo(v.widget("Option1")->font()).family(), "IPAPGothic");
}

TEST(FormView, CaptionColoursStayOnTheirOwnControls) {
    ShownView v;
    EXPECT_EQ(v.widget("Frame2")->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_EQ(v.widget("Label12")->palette().color(QPalette::WindowText), v.view.palette().color(QPalette::WindowText));
    EXPECT_EQ(v.widget("Label17")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(v.widget("Label23")->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // The faces really show: a yellow Command5, a blue title bar.
    const QImage face = v.widget("Command5")->grab().toImage();
    EXPECT_EQ(face.pixelColor(8, 8), QColor(255, 255, 0));
    const QImage bar = v.widget("Label1")->grab().toImage();
    EXPECT_EQ(bar.pixelColor(4, bar.height() / 2), QColor(0, 0, 255));
}

TEST(FormView, FocusChainInTabOrder) {
    ShownView v;
    const auto& order = v.model().tabOrder();
    std::vector<std::string> seen;
    QWidget* first = v.view.widgetFor(*order.front());
    QWidget* w = first;
    do {
        for (Control* c : order)
            if (v.view.widgetFor(*c) == w) seen.push_back(c->name());
        w = w->nextInFocusChain();
    } while (w != first && seen.size() < order.size() + 1);
    std::vector<std::string> expected;
    for (Control* c : order) expected.push_back(c->name());
    EXPECT_EQ(seen, expected);

    // Each option group is one stop: its selected button.
    EXPECT_TRUE(v.widget("Option1")->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(v.widget("Option4")->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(v.widget("Option5")->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(v.widget("Option8")->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(v.widget("Option12")->focusPolicy() & Qt::TabFocus);
    // STARTbutton is hidden; the first stop that can take the focus has it.
    EXPECT_EQ(v.view.focusWidget(), v.widget("Option1"));
}

TEST(FormView, ButtonClickReachesTheModelAndIsMirrored) {
    ShownView v;
    Form1& m = v.model();
    int clicks = 0;
    m.Command6.onClick = [&] {
        ++clicks;
        m.Label16.caption = "はい";
        m.Label16.visible = true;
        m.Frame7.enabled = false;
    };
    mouseClick(v.widget("Command6"));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(v.widget<QLabel>("Label16")->text(), "はい");
    EXPECT_FALSE(v.widget("Label16")->isHidden());
    EXPECT_FALSE(v.widget("Option10")->isEnabled());
}

TEST(FormView, OptionClickSelectsThroughTheModelOnce) {
    ShownView v;
    Form1& m = v.model();
    int clicks = 0;
    m.Option6.onClick = [&] { ++clicks; };
    auto* option6 = v.widget<QRadioButton>("Option6");
    mouseClick(option6);
    EXPECT_TRUE(m.Option6.selected());
    EXPECT_FALSE(m.Option5.selected());
    EXPECT_TRUE(option6->isChecked());
    EXPECT_FALSE(v.widget<QRadioButton>("Option5")->isChecked());
    EXPECT_EQ(clicks, 1);
    // Clicking the selected button again neither clears it nor notifies.
    mouseClick(option6);
    EXPECT_TRUE(option6->isChecked());
    EXPECT_EQ(clicks, 1);
    // The group's tab stop follows the selection.
    EXPECT_TRUE(option6->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(v.widget("Option5")->focusPolicy() & Qt::TabFocus);
}

TEST(FormView, ArrowKeysMoveAndSelectWithinTheGroupSkippingHidden) {
    ShownView v;
    Form1& m = v.model();
    int clicks = 0;
    m.Option7.onClick = [&] { ++clicks; };
    m.Option8.visible = false;
    v.view.sync();
    pressKey(v.widget("Option6"), Qt::Key_Right);  // from Option6 the next is Option7
    EXPECT_TRUE(m.Option7.selected());
    EXPECT_EQ(clicks, 1);
    pressKey(v.widget("Option7"), Qt::Key_Right);  // Option8 is hidden: round to Option5
    EXPECT_TRUE(m.Option5.selected());
    EXPECT_EQ(v.view.focusWidget(), v.widget("Option5"));
}

TEST(FormView, ScrollBarGivesOneCompletedChangePerAction) {
    ShownView v;
    Form1& m = v.model();
    int changes = 0;
    m.HScroll1.onChange = [&] {
        ++changes;
        m.Label4.caption = std::to_string(m.HScroll1.value());
    };
    auto* bar = v.widget<QScrollBar>("HScroll1");

    mouseClick(bar, rightArrow(bar));
    EXPECT_EQ(m.HScroll1.value(), 41);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(v.widget<QLabel>("Label4")->text(), "41");

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m.HScroll1.value(), 42);
    EXPECT_EQ(changes, 2);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(m.HScroll1.value(), 38);
    pressKey(bar, Qt::Key_Right);  // not inverted: right is up
    EXPECT_EQ(m.HScroll1.value(), 39);
    EXPECT_EQ(changes, 4);

    // A drag changes nothing until the thumb is let go.
    bar->setSliderDown(true);
    bar->setSliderPosition(60);
    bar->setSliderPosition(65);
    EXPECT_EQ(m.HScroll1.value(), 39);
    EXPECT_EQ(changes, 4);
    bar->setSliderDown(false);
    EXPECT_EQ(m.HScroll1.value(), 65);
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(bar->value(), 65);
}

TEST(FormView, ValuesSetByAHandlerAreMirroredWithoutFeedback) {
    ShownView v;
    Form1& m = v.model();
    int axisChanges = 0;
    m.HScroll3.onChange = [&] { ++axisChanges; };
    m.HScroll1.onChange = [&] { m.HScroll3.setValue(10); };
    v.widget<QScrollBar>("HScroll1")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(axisChanges, 1);  // the nested change, run by the model, not again by the view
    EXPECT_EQ(v.widget<QScrollBar>("HScroll3")->value(), 10);

    m.HScroll2.initValue(7);
    m.Option11.setSelected(true);
    v.view.sync();
    EXPECT_EQ(axisChanges, 1);
    EXPECT_EQ(v.widget<QScrollBar>("HScroll2")->value(), 7);
    EXPECT_TRUE(v.widget<QRadioButton>("Option11")->isChecked());
    EXPECT_FALSE(v.widget<QRadioButton>("Option10")->isChecked());
}

TEST(FormView, DisabledOrHiddenFramesTakeNoInput) {
    ShownView v;
    Form1& m = v.model();
    int changes = 0, clicks = 0;
    m.HScroll1.onChange = [&] { ++changes; };
    m.Option7.onClick = [&] { ++clicks; };
    m.Frame2.enabled = false;
    m.Frame3.enabled = false;
    v.view.sync();
    auto* bar = v.widget<QScrollBar>("HScroll1");
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_TRUE(bar->isVisible());
    mouseClick(bar, rightArrow(bar));
    pressKey(bar, Qt::Key_Right);
    mouseClick(v.widget("Option7"));
    EXPECT_EQ(m.HScroll1.value(), 40);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(m.Option7.selected());
    EXPECT_EQ(clicks, 0);
    // The charts stay in colour: the red half of the red-green chart.
    const QImage chart = v.widget("Image2")->grab().toImage();
    EXPECT_GT(chart.pixelColor(10, 20).red(), 200);
    EXPECT_LT(chart.pixelColor(10, 20).green(), 160);

    EXPECT_FALSE(v.widget("Command3")->isVisible());  // inside the hidden Frame4
    m.Frame4.visible = true;
    v.view.sync();
    EXPECT_TRUE(v.widget("Command3")->isVisible());
}

TEST(PhoropterView, AxisShowsOnlyOutsideTheMaskingDisc) {
    ShownView v;
    Form1& m = v.model();
    m.Line2.visible = true;
    v.view.sync();
    const QImage img = v.view.phoropterView()->grab().toImage();
    const QColor background = v.view.phoropterView()->palette().color(QPalette::Window);
    const double scale = img.devicePixelRatio() / 15;
    auto at = [&](double xTwips, double yTwips) {
        return img.pixelColor(static_cast<int>(xTwips * scale), static_cast<int>(yTwips * scale));
    };
    auto reddish = [](QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };
    // Centre (1200, 1200): Line1 runs vertically from 480 to 1920, Line2 from 360 to 2040.
    EXPECT_EQ(at(1200, 1200), background);
    EXPECT_EQ(at(1200, 1200 - 400), background);  // under Shape4
    EXPECT_EQ(at(1200 + 200, 1200 + 200), background);
    EXPECT_TRUE(reddish(at(1200, 1200 + 550)));  // Line2 lies above Shape2
    EXPECT_TRUE(reddish(at(1200, 1200 - 660))) << at(1200, 540).name().toStdString();
    EXPECT_TRUE(reddish(at(1200, 1200 + 660)));
    EXPECT_TRUE(reddish(at(1200, 1200 - 780)));  // only Line2 reaches this far
    EXPECT_EQ(at(1200, 1200 - 900), background);
    // The rim of the lens in the window's text colour, at its radius of 727.5.
    const QColor rim = at(1207.5 - 727.5 + 15, 1207.5);
    EXPECT_LT(rim.lightness(), 128);

    m.Line2.visible = false;
    v.view.sync();
    const QImage without = v.view.phoropterView()->grab().toImage();
    EXPECT_EQ(without.pixelColor(static_cast<int>(1200 * scale), static_cast<int>((1200 - 780) * scale)), background);
}

TEST(FormView, TabVisitsTheStopsThatCanTakeTheFocus) {
    ShownView v;
    v.view.activateWindow();
    QApplication::processEvents();
    if (QApplication::activeWindow() != &v.view) GTEST_SKIP() << "the window system gives no active window";
    std::vector<std::string> visited;
    for (int i = 0; i < 12; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        visited.push_back(focus->objectName().toStdString());
        pressKey(focus, Qt::Key_Tab);
    }
    // STARTbutton, Option9 and Frame4 are hidden; one stop per option group.
    const std::vector<std::string> expected{"Option1",  "Command1", "HScroll1", "HScroll2", "HScroll3", "Option5",
                                            "Command2", "Command5", "Command6", "Option10", "Command7", "Option1"};
    EXPECT_EQ(visited, expected);
}

TEST(FormView, MirrorsTheModelAfterTheWindowsOwnHandlers) {
    ShownView v(true);
    Form1& m = v.model();
    auto* axis = v.widget<QScrollBar>("HScroll3");
    mouseClick(v.widget("Command2"));
    mouseClick(axis, rightArrow(axis));
    mouseClick(v.widget("Option7"));
    mouseClick(v.widget("Command6"));
    mouseClick(v.widget("Command3"));
    mouseClick(v.widget("Command5"));
    for (Control* c : m.controls()) {
        QWidget* w = v.view.widgetFor(*c);
        if (!w || c->kind() == Kind::Form) continue;
        EXPECT_EQ(w->isHidden(), !c->visible) << c->name();
        EXPECT_EQ(w->testAttribute(Qt::WA_ForceDisabled), !c->enabled) << c->name();
        if (c->kind() == Kind::Label) {
            EXPECT_EQ(static_cast<QLabel*>(w)->text().toStdString(), static_cast<Label*>(c)->caption) << c->name();
        } else if (c->kind() == Kind::Option) {
            EXPECT_EQ(static_cast<QRadioButton*>(w)->isChecked(), static_cast<OptionButton*>(c)->selected())
                << c->name();
        } else if (c->kind() == Kind::HScroll) {
            EXPECT_EQ(static_cast<QScrollBar*>(w)->value(), static_cast<HScrollBar*>(c)->value()) << c->name();
        }
    }
    EXPECT_EQ(m.HScroll3.value(), 91);
}
