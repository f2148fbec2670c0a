// What a screen reader is told, through Qt's accessibility interfaces.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QLabel>
#include <QScrollBar>

#include "app/qt/accessible.h"
#include "app/qt/widgets.h"
#include "tests/qt/view_support.h"

namespace {

QString said(QWidget* w, QAccessible::Text t) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(t) : QStringLiteral("(no interface)");
}

}  // namespace

TEST(ScreenReader, ScrollBarsSayWhatTheySetAndReadTheirReadouts) {
    ShownView v(true);
    mouseClick(v.widget("Command2"));  // the cross cylinder in, its bar shown
    struct Expect {
        const char* bar;
        const char* name;
        const char* readout;
    };
    for (const Expect& e :
         {Expect{"HScroll1", "球面度数", "Label4"}, Expect{"HScroll2", "円柱度数", "Label6"},
          Expect{"HScroll3", "乱視軸", "Label8"}, Expect{"HScroll4", "クロスシリンダーの中間軸", "Label3"}}) {
        auto* bar = v.widget<QScrollBar>(e.bar);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(bar);
        ASSERT_NE(iface, nullptr) << e.bar;
        EXPECT_EQ(iface->role(), QAccessible::ScrollBar);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(e.name));
        EXPECT_EQ(iface->text(QAccessible::Value), v.widget<QLabel>(e.readout)->text()) << e.bar;
        EXPECT_EQ(iface->text(QAccessible::Description), iface->text(QAccessible::Value)) << e.bar;
        ASSERT_NE(iface->valueInterface(), nullptr);

        // Every change is read again.
        bar->triggerAction(bar->value() < bar->maximum() ? QAbstractSlider::SliderPageStepAdd
                                                         : QAbstractSlider::SliderPageStepSub);
        EXPECT_EQ(iface->text(QAccessible::Value), v.widget<QLabel>(e.readout)->text()) << e.bar;
    }
    EXPECT_EQ(said(v.widget("HScroll1"), QAccessible::Value), QStringLiteral("Ｓ-1.00Ｄ"));
    EXPECT_EQ(said(v.widget("HScroll3"), QAccessible::Value), QStringLiteral("Ａ75°"));
    // The value is the readout's number; one set by assistive technology moves the bar there.
    QAccessibleValueInterface* sphere = QAccessible::queryAccessibleInterface(v.widget("HScroll1"))->valueInterface();
    EXPECT_EQ(sphere->currentValue().toDouble(), -1.0);
    sphere->setCurrentValue(2.5);
    EXPECT_EQ(v.model().HScroll1.value(), 30);
    EXPECT_EQ(v.widget<QLabel>("Label4")->text(), QStringLiteral("Ｓ+2.50Ｄ"));
}

namespace {

QAccessibleInterface* accessibleOf(ShownView& v, const char* name) {
    return QAccessible::queryAccessibleInterface(v.widget(name));
}

}  // namespace

TEST(ScreenReader, OptionButtonsAreRadioButtonsWhoseActionsAreClicks) {
    ShownView v(true);
    QAccessibleInterface* rg = accessibleOf(v, "Option6");
    EXPECT_EQ(rg->role(), QAccessible::RadioButton);
    EXPECT_TRUE(rg->state().checkable);
    EXPECT_FALSE(rg->state().checked);
    EXPECT_EQ(rg->parent()->object(), v.widget("Frame3"));  // grouped by its frame

    // A toggle selects as a click does: the model changes, the window reacts, one stays checked.
    ASSERT_TRUE(rg->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    rg->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(v.model().Option6.selected());
    EXPECT_FALSE(v.model().Option5.selected());
    EXPECT_TRUE(v.model().Option3.visible && v.model().Option3.selected());
    EXPECT_TRUE(rg->state().checked);
    EXPECT_FALSE(accessibleOf(v, "Option5")->state().checked);
    // Toggling the selected one again does not clear it: the model owns the selection.
    rg->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(v.model().Option6.selected());

    // Hidden or in a disabled frame: no action, and one forced on it does nothing.
    QAccessibleInterface* hidden = accessibleOf(v, "Option9");
    EXPECT_TRUE(hidden->actionInterface()->actionNames().isEmpty());
    hidden->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(v.model().Option9.selected());
    QAccessibleInterface* mode = accessibleOf(v, "Option11");
    v.widget<QScrollBar>("HScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // settles the mode
    EXPECT_TRUE(mode->actionInterface()->actionNames().isEmpty());
    mode->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(v.model().Option10.selected());
}

TEST(ScreenReader, HiddenControlsTellNothingAndPicturesAreNamed) {
    ShownView v(true);
    for (const char* name : {"Label26", "Label7", "STARTbutton", "Option2", "HScroll4", "Frame4", "Command3"}) {
        QAccessibleInterface* iface = accessibleOf(v, name);
        EXPECT_EQ(iface->text(QAccessible::Name), QString()) << name;
        EXPECT_EQ(iface->text(QAccessible::Description), QString()) << name;
        EXPECT_TRUE(iface->state().invisible) << name;
    }
    EXPECT_TRUE(accessibleOf(v, "STARTbutton")->actionInterface()->actionNames().isEmpty());
    EXPECT_EQ(accessibleOf(v, "Label2")->text(QAccessible::Name), v.widget<QLabel>("Label2")->text());
    EXPECT_EQ(accessibleOf(v, "Image3")->text(QAccessible::Name), QStringLiteral("放射線視標"));
    EXPECT_EQ(accessibleOf(v, "Image3")->role(), QAccessible::Graphic);

    mouseClick(v.widget("Command5"));  // the end: the correct value may be read now
    EXPECT_TRUE(accessibleOf(v, "Label7")->text(QAccessible::Name).endsWith(QStringLiteral("でした。")));
}

TEST(ScreenReader, TheAnswerIsAnnouncedWithoutTakingTheFocus) {
    ShownView v(true);
    QWidget* ask = v.widget("Command6");
    ask->setFocus();
    QAccessibleInterface* press = accessibleOf(v, "Command6");
    ASSERT_EQ(press->role(), QAccessible::PushButton);
    press->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    auto* announcer = v.view.findChild<Announcer*>();
    ASSERT_NE(announcer, nullptr);
    EXPECT_EQ(announcer->text(), v.widget<QLabel>("Label16")->text());
    EXPECT_FALSE(announcer->text().isEmpty());
    EXPECT_TRUE(announcer->isVisible());
    EXPECT_EQ(announcer->focusPolicy(), Qt::NoFocus);
    QAccessibleInterface* notification = QAccessible::queryAccessibleInterface(announcer);
    EXPECT_EQ(notification->role(), QAccessible::Notification);
    EXPECT_EQ(notification->text(QAccessible::Name), announcer->text());
    EXPECT_EQ(QApplication::focusWidget(), ask);

    // Any other button announces nothing new.
    const QString said = announcer->text();
    mouseClick(v.widget("Command2"));
    EXPECT_EQ(announcer->text(), said);

    // A notice in the window (the print notice) is announced too, and its label reads its text.
    auto* notice = new NoticeBar(&v.view);
    notice->showText(QStringLiteral("印刷できません。"));
    EXPECT_EQ(announcer->text(), notice->text());
    auto* noticeLabel = notice->findChild<QLabel*>();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(noticeLabel)->text(QAccessible::Name), notice->text());
}

TEST(ScreenReader, PhoropterPictureIsDescribed) {
    ShownView v(true);
    QWidget* phoropter = v.widget("Frame5");
    EXPECT_EQ(said(phoropter, QAccessible::Description), QStringLiteral("乱視軸の印：90°の方向"));
    v.widget<QScrollBar>("HScroll3")->triggerAction(QAbstractSlider::SliderPageStepAdd);  // axis 75
    mouseClick(v.widget("Command2"));
    EXPECT_EQ(said(phoropter, QAccessible::Description),
              QStringLiteral("乱視軸の印：75°の方向。クロスシリンダー：持ち手は75°の方向、おもてを表示"));
    mouseClick(v.widget("Command3"));
    EXPECT_TRUE(said(phoropter, QAccessible::Description).endsWith(QStringLiteral("うらを表示")));
    mouseClick(v.widget("Command4"));
    EXPECT_EQ(said(phoropter, QAccessible::Description), QStringLiteral("乱視軸の印：75°の方向"));
}
