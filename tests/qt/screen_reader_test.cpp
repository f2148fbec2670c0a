// What a screen reader is told, through Qt's accessibility interfaces.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QLabel>
#include <QScrollBar>

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
        ASSERT_NE(iface->valueInterface(), nullptr);
        EXPECT_EQ(iface->valueInterface()->currentValue().toInt(), bar->value());

        // Every change is read again.
        bar->triggerAction(bar->value() < bar->maximum() ? QAbstractSlider::SliderPageStepAdd
                                                         : QAbstractSlider::SliderPageStepSub);
        EXPECT_EQ(iface->text(QAccessible::Value), v.widget<QLabel>(e.readout)->text()) << e.bar;
    }
    EXPECT_EQ(said(v.widget("HScroll1"), QAccessible::Value), QStringLiteral("Ｓ-1.00Ｄ"));
    EXPECT_EQ(said(v.widget("HScroll3"), QAccessible::Value), QStringLiteral("Ａ75°"));
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
