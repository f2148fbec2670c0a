// The window at the keyboard and the mouse: where the focus goes after an action, Return and
// Enter, each way of operating a scroll bar reaching the model as what it is, a held thumb.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include "tests/qt/view_support.h"

namespace {

void pressKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(w, &release);
}

// A key to whatever has the focus, as the keyboard sends it.
void pressFocused(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr) << "nothing has the focus";
    pressKey(w, key, mods);
}

std::string focusName() {
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName().toStdString() : std::string("(none)");
}

bool activate(ShownView& v) {
    v.view.activateWindow();
    QApplication::processEvents();
    return QApplication::activeWindow() == &v.view;
}

void mouseAt(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QRect thumbOf(QScrollBar* bar) {
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.subControls = QStyle::SC_All;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
}

}  // namespace

TEST(KeyboardFocus, AButtonThatHidesItselfHandsTheFocusToARelatedControl) {
    ShownView v(true);
    if (!activate(v)) GTEST_SKIP() << "the window system gives no active window";
    v.widget("Command2")->setFocus();
    pressFocused(Qt::Key_Space);  // the cross cylinder goes in, Command2 hides
    EXPECT_EQ(focusName(), "HScroll4");
    v.widget("Command4")->setFocus();
    pressFocused(Qt::Key_Space);  // and comes out again
    EXPECT_EQ(focusName(), "Command2");
    v.widget("Command5")->setFocus();
    pressFocused(Qt::Key_Space);  // test mode ends: every frame disabled, STARTbutton shown
    EXPECT_EQ(focusName(), "STARTbutton");
    pressFocused(Qt::Key_Space);  // a second Space starts a new customer, it does not end the program
    EXPECT_EQ(focusName(), "Command6");
    EXPECT_EQ(v.form.platform.quits, 0);
    EXPECT_TRUE(v.widget("Command5")->isVisible());

    // The same with Return.
    v.widget("Command5")->setFocus();
    pressFocused(Qt::Key_Return);
    EXPECT_EQ(focusName(), "STARTbutton");
    pressFocused(Qt::Key_Return);
    EXPECT_EQ(focusName(), "Command6");
    EXPECT_EQ(v.form.platform.quits, 0);
}

TEST(KeyboardFocus, ReturnAndEnterPressOnlyTheFocusedButtonOrOption) {
    ShownView v;
    if (!activate(v)) GTEST_SKIP() << "the window system gives no active window";
    Form1& m = v.model();
    std::map<std::string, int> clicks;
    for (Control* c : m.controls()) {
        if (c->kind() == Kind::Button) static_cast<CommandButton*>(c)->onClick = [&clicks, c] { ++clicks[c->name()]; };
        if (c->kind() == Kind::Option) static_cast<OptionButton*>(c)->onClick = [&clicks, c] { ++clicks[c->name()]; };
    }
    v.widget("Command6")->setFocus();
    pressFocused(Qt::Key_Return);
    pressFocused(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks, (std::map<std::string, int>{{"Command6", 2}}));

    v.widget("Option7")->setFocus();
    pressFocused(Qt::Key_Return);
    EXPECT_TRUE(m.Option7.selected());
    EXPECT_FALSE(m.Option5.selected());
    pressFocused(Qt::Key_Enter, Qt::KeypadModifier);  // already selected: nothing more
    EXPECT_EQ(clicks, (std::map<std::string, int>{{"Command6", 2}, {"Option7", 1}}));

    // On a scroll bar they do nothing: no default button takes them.
    v.widget("HScroll1")->setFocus();
    pressFocused(Qt::Key_Return);
    pressFocused(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(m.HScroll1.value(), 40);
    EXPECT_EQ(clicks, (std::map<std::string, int>{{"Command6", 2}, {"Option7", 1}}));
}

// The view's bar keeps steps of 1 and 4; the model's are made 2 and 7 here, so each result
// tells which of the model's inputs the action reached.
TEST(ScrollBarInput, EachWayOfOperatingTheBarReachesTheModelAsWhatItIs) {
    ShownView v;
    Form1& m = v.model();
    int changes = 0;
    m.HScroll1.onChange = [&] { ++changes; };
    m.HScroll1.smallChange = 2;
    m.HScroll1.largeChange = 7;
    auto* bar = v.widget<QScrollBar>("HScroll1");

    mouseClick(bar, QPoint(bar->width() - 3, bar->height() / 2));  // right arrow
    EXPECT_EQ(m.HScroll1.value(), 42);
    mouseClick(bar, QPoint(3, bar->height() / 2));  // left arrow
    EXPECT_EQ(m.HScroll1.value(), 40);
    const QRect thumb = thumbOf(bar);
    mouseClick(bar, QPoint((thumb.right() + bar->width()) / 2, bar->height() / 2));  // track right of the thumb
    EXPECT_EQ(m.HScroll1.value(), 47);
    mouseClick(bar, QPoint(thumbOf(bar).left() / 2 + 4, bar->height() / 2));  // track left of it
    EXPECT_EQ(m.HScroll1.value(), 40);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(bar->value(), 40);

    pressKey(bar, Qt::Key_Right);
    EXPECT_EQ(m.HScroll1.value(), 42);
    pressKey(bar, Qt::Key_Left);
    EXPECT_EQ(m.HScroll1.value(), 40);
    pressKey(bar, Qt::Key_PageUp);  // adds, as ever
    EXPECT_EQ(m.HScroll1.value(), 47);
    pressKey(bar, Qt::Key_PageDown);
    EXPECT_EQ(m.HScroll1.value(), 40);
    pressKey(bar, Qt::Key_End);
    EXPECT_EQ(m.HScroll1.value(), 80);
    pressKey(bar, Qt::Key_Home);
    EXPECT_EQ(m.HScroll1.value(), 0);
    EXPECT_EQ(changes, 10);

    // A drag: nothing until the release, then the place let go.
    const QPoint grip = thumbOf(bar).center();
    mouseAt(bar, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    mouseAt(bar, QEvent::MouseMove, grip + QPoint(30, 0), Qt::LeftButton);
    mouseAt(bar, QEvent::MouseMove, grip + QPoint(60, 0), Qt::LeftButton);
    EXPECT_EQ(m.HScroll1.value(), 0);
    const int letGo = bar->sliderPosition();
    EXPECT_GT(letGo, 20);
    mouseAt(bar, QEvent::MouseButtonRelease, grip + QPoint(60, 0), Qt::NoButton);
    EXPECT_EQ(m.HScroll1.value(), letGo);
    EXPECT_EQ(bar->value(), letGo);
    EXPECT_EQ(changes, 11);

    // The wheel moves the thumb by the bar's own steps and lets it go there: one release.
    QWheelEvent wheel(QPointF(bar->rect().center()), QPointF(bar->mapToGlobal(bar->rect().center())), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    EXPECT_EQ(std::abs(m.HScroll1.value() - letGo), QApplication::wheelScrollLines())
        << "the bar's steps of 1, not the model's 2";
    EXPECT_EQ(bar->value(), m.HScroll1.value());
    EXPECT_EQ(changes, 12);
}

TEST(ScrollBarInput, AHeldThumbStaysWhileTheWindowActsElsewhereAndMovesOnceAtTheRelease) {
    ShownView v(true);
    if (!activate(v)) GTEST_SKIP() << "the window system gives no active window";
    Form1& m = v.model();
    int changes = 0;
    auto handler = m.HScroll1.onChange;
    m.HScroll1.onChange = [&] {
        ++changes;
        handler();
    };
    auto* bar = v.widget<QScrollBar>("HScroll1");
    const QPoint grip = thumbOf(bar).center();
    mouseAt(bar, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    mouseAt(bar, QEvent::MouseMove, grip + QPoint(-40, 0), Qt::LeftButton);
    const int held = bar->sliderPosition();
    ASSERT_LT(held, 30);

    // Meanwhile a key acts on a button: the window mirrors the model, the held thumb stays.
    v.widget("Command2")->setFocus();
    pressFocused(Qt::Key_Space);
    EXPECT_TRUE(m.Frame4.visible);
    EXPECT_EQ(bar->sliderPosition(), held);
    EXPECT_EQ(m.HScroll1.value(), 40);
    EXPECT_EQ(changes, 0);

    mouseAt(bar, QEvent::MouseButtonRelease, grip + QPoint(-40, 0), Qt::NoButton);
    EXPECT_EQ(m.HScroll1.value(), held);
    EXPECT_EQ(bar->value(), held);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(v.widget<QLabel>("Label4")->text().toStdString(), m.Label4.caption);
}

TEST(ScrollBarInput, AThumbHeldWhenTheEndDisablesTheBarFallsBackToTheModel) {
    ShownView v(true);
    if (!activate(v)) GTEST_SKIP() << "the window system gives no active window";
    Form1& m = v.model();
    auto* bar = v.widget<QScrollBar>("HScroll1");
    const QPoint grip = thumbOf(bar).center();
    mouseAt(bar, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    mouseAt(bar, QEvent::MouseMove, grip + QPoint(30, 0), Qt::LeftButton);
    ASSERT_NE(bar->sliderPosition(), 40);
    v.widget("Command5")->setFocus();
    pressFocused(Qt::Key_Space);  // test mode ends: the lens can no longer be changed
    EXPECT_FALSE(bar->isEnabled());
    mouseAt(bar, QEvent::MouseButtonRelease, grip + QPoint(30, 0), Qt::NoButton);
    EXPECT_EQ(m.HScroll1.value(), 40);
    EXPECT_EQ(bar->value(), 40);
    EXPECT_EQ(bar->sliderPosition(), 40);
    EXPECT_EQ(focusName(), "STARTbutton");
}
