// Focus moves, screen-reader texts and legibility colours, the same for every view. Every focus
// rule of the window logic is tested here: tab stops, the first focus, arrow moves in an option
// group and where the focus goes after an action.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/window/accessibility.h"
#include "app/window/view_rules.h"
#include "tests/test_support.h"

namespace {

// Clicks a button as the user would with the keyboard: focus on it, the click, then where the
// focus goes.
const Control* clickWithFocus(TestForm& f, CommandButton& b) {
    EXPECT_TRUE(b.userClick()) << b.name();
    return focusAfterAction(*f, &b);
}

}  // namespace

TEST(FocusAfterAction, LeadsOnToARelatedControlWhenTheActionHidesTheFocusedOne) {
    TestForm f;
    // Still operable after its action: the focus stays.
    EXPECT_EQ(clickWithFocus(f, f->Command6), &f->Command6);
    EXPECT_EQ(clickWithFocus(f, f->Command2), &f->HScroll4);
    EXPECT_EQ(clickWithFocus(f, f->Command3), &f->Command3);
    EXPECT_EQ(clickWithFocus(f, f->Command4), &f->Command2);
    // Test mode: the end disables every frame, STARTbutton appears.
    EXPECT_EQ(clickWithFocus(f, f->Command5), &f->STARTbutton);
    EXPECT_EQ(clickWithFocus(f, f->STARTbutton), &f->Command6);

    // Practice mode keeps the frames enabled; the end still leads to STARTbutton, not END.
    f->Option11.userSelect();
    EXPECT_EQ(clickWithFocus(f, f->Command5), &f->STARTbutton);
}

TEST(FocusAfterAction, FallsBackToTheFirstHarmlessStopAndNeverToEndOrTheEndButton) {
    TestForm f;
    // The cross cylinder taken out while its bar had the focus: the bar is hidden, and HScroll4
    // has no related control; the first stop that can be operated is Option1.
    f->Command2.userClick();
    f->Command4.userClick();
    EXPECT_EQ(focusAfterAction(*f, &f->HScroll4), &f->Option1);
    EXPECT_EQ(focusAfterAction(*f, nullptr), &f->Option1);

    // The related control cannot take the focus either: the next harmless stop.
    f->Command5.userClick();  // test mode: all frames disabled
    f->STARTbutton.visible = false;
    const Control* to = focusAfterAction(*f, &f->Command5);
    ASSERT_NE(to, nullptr);
    EXPECT_EQ(to, &f->Command7);  // not STARTbutton (hidden), not Command1 (END)

    // Focus already on END stays there: no move, so nothing is pressed by mistake.
    EXPECT_EQ(focusAfterAction(*f, &f->Command1), &f->Command1);
}

TEST(FocusAfterAction, EveryButtonAlwaysLeavesTheFocusSomewhereSafe) {
    TestForm f;
    // Every button and option of the window, clicked in a fixed jumble; after each click the
    // focus lands on a tab stop, and a move never picks Command1 or Command5.
    std::vector<Control*> order;
    for (Control* c : f->tabOrder())
        if (c->kind() == Kind::Button || c->kind() == Kind::Option) order.push_back(c);
    unsigned seed = 7;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1103515245u + 12345u;
        Control* c = order[(seed >> 8) % order.size()];
        if (!c->takesInput()) continue;
        if (c->kind() == Kind::Button)
            static_cast<CommandButton*>(c)->userClick();
        else
            static_cast<OptionButton*>(c)->userSelect();
        const Control* to = focusAfterAction(*f, c);
        ASSERT_NE(to, nullptr) << "after " << c->name();
        EXPECT_TRUE(isTabStop(*f, *to)) << to->name();
        if (to != c) {
            EXPECT_NE(to, &f->Command1) << "after " << c->name();
            EXPECT_NE(to, &f->Command5) << "after " << c->name();
        }
    }
}

TEST(TabStops, OneStopPerOptionGroup) {
    TestForm f;
    EXPECT_TRUE(isTabStop(*f, f->Option1));
    EXPECT_FALSE(isTabStop(*f, f->Option4));
    EXPECT_FALSE(isTabStop(*f, f->STARTbutton));  // hidden
    f->Option4.userSelect();
    EXPECT_TRUE(isTabStop(*f, f->Option4));
    EXPECT_FALSE(isTabStop(*f, f->Option1));
    // The selected button hidden: the first of the group that can be operated.
    f->Option8.userSelect();  // only the cross-cylinder question shows
    EXPECT_TRUE(isTabStop(*f, f->Option9));
}

TEST(TabStops, TheFirstFocusIsTheFirstStopInTabOrder) {
    TestForm f;
    EXPECT_EQ(firstFocus(*f), &f->Option1);  // STARTbutton is hidden at start
    f->Command5.userClick();                 // test mode: every frame disabled
    EXPECT_EQ(firstFocus(*f), &f->STARTbutton);
}

TEST(TabStops, ArrowKeysMoveToTheNextButtonOfTheGroupThatCanBeOperated) {
    TestForm f;
    // Questions: Option1 and Option4 shown; the hidden ones are passed over, coming round.
    EXPECT_EQ(arrowTarget(*f, f->Option1, +1), &f->Option4);
    EXPECT_EQ(arrowTarget(*f, f->Option1, -1), &f->Option4);
    EXPECT_EQ(arrowTarget(*f, f->Option4, +1), &f->Option1);
    // Charts in tab order, coming round at both ends.
    EXPECT_EQ(arrowTarget(*f, f->Option5, -1), &f->Option8);
    EXPECT_EQ(arrowTarget(*f, f->Option8, +1), &f->Option5);
    EXPECT_EQ(arrowTarget(*f, f->Option6, +1), &f->Option7);
    // A group alone on its one shown button goes nowhere; a disabled frame neither.
    f->Option8.userSelect();
    EXPECT_EQ(arrowTarget(*f, f->Option9, +1), nullptr);
    f->HScroll1.userArrow(+1);  // locks the mode frame
    EXPECT_EQ(arrowTarget(*f, f->Option10, +1), nullptr);
}

TEST(ScreenReader, EachBarIsNamedAndReadThroughTheReadoutItMoves) {
    TestForm f;
    struct Expect {
        HScrollBar& bar;
        const char* name;
    };
    f->Command2.userClick();  // the cross-cylinder bar and its readout in place
    for (const Expect& e : {Expect{f->HScroll1, "球面度数"}, Expect{f->HScroll2, "円柱度数"},
                            Expect{f->HScroll3, "乱視軸"}, Expect{f->HScroll4, "クロスシリンダーの中間軸"}}) {
        EXPECT_EQ(accessibleName(*f, e.bar), e.name);
        const Label* readout = readoutOf(*f, e.bar);
        ASSERT_NE(readout, nullptr) << e.name;
        EXPECT_EQ(readout->container(), e.bar.container()) << e.name;
        // The readout is the label that follows the bar.
        const std::string before = readout->caption;
        e.bar.userArrow(e.bar.value() < e.bar.max ? +1 : -1);
        EXPECT_NE(readout->caption, before) << e.name;
    }
    EXPECT_EQ(accessibleName(*f, f->Command6), "");
    EXPECT_EQ(readoutOf(*f, f->Label4), nullptr);
}

// The number after the readout's letter and before its unit: "Ｓ-0.25Ｄ" -> -0.25, "Ａ89°" -> 89.
static double readoutNumber(const std::string& caption) {
    const std::string letter = "Ｓ";  // every readout letter is three bytes, as is "Ｄ"
    std::string number = caption.substr(letter.size());
    for (const std::string unit : {"Ｄ", "°"})
        if (number.ends_with(unit)) number.resize(number.size() - unit.size());
    return std::stod(number);
}

TEST(ScreenReader, EachBarsValueIsTheNumberItsReadoutShowsAtEveryPosition) {
    TestForm f;
    f->Command2.userClick();
    for (HScrollBar* bar : {&f->HScroll1, &f->HScroll2, &f->HScroll3, &f->HScroll4}) {
        for (int p = bar->min; p <= bar->max; ++p) {
            bar->userRelease(p);
            const std::string shown = readoutOf(*f, *bar)->caption;
            const auto scale = readoutScale(*f, *bar);
            ASSERT_TRUE(scale) << bar->name();
            EXPECT_EQ(scale->value, readoutNumber(shown)) << bar->name() << " at " << p << ": " << shown;
            EXPECT_FALSE(std::signbit(scale->value) && scale->value == 0) << bar->name() << ": minus zero";
            EXPECT_GE(scale->value, scale->minimum) << bar->name();
            EXPECT_LE(scale->value, scale->maximum) << bar->name();
            // Set back through its own number, the bar shows the same readout.
            bar->userRelease(positionForReadout(*f, *bar, scale->value));
            EXPECT_EQ(readoutOf(*f, *bar)->caption, shown) << bar->name();
            bar->userRelease(p);
        }
    }
    EXPECT_EQ(readoutScale(*f, f->Label4), std::nullopt);
    // Asked for a number between steps or beyond the range: the nearest position.
    EXPECT_EQ(positionForReadout(*f, f->HScroll1, -0.3), 41);
    EXPECT_EQ(positionForReadout(*f, f->HScroll1, 99), f->HScroll1.min);
    EXPECT_EQ(positionForReadout(*f, f->HScroll2, 1), 0);
}

TEST(ScreenReader, PicturesAreNamedAfterTheirChartsAndHiddenControlsAreNotPerceivable) {
    TestForm f(true);
    EXPECT_EQ(accessibleName(*f, f->Image1), "視力表");
    EXPECT_EQ(accessibleName(*f, f->Image2), "ＲＧテスト");
    EXPECT_EQ(accessibleName(*f, f->Image3), "放射線視標");
    EXPECT_EQ(accessibleName(*f, f->Image4), "点群視標");

    // Test mode hides the correct value until the end; a hidden frame hides what it holds.
    EXPECT_FALSE(isPerceivable(f->Label26));
    EXPECT_FALSE(isPerceivable(f->Label7));
    EXPECT_FALSE(isPerceivable(f->Option2));
    EXPECT_FALSE(isPerceivable(f->Command3));  // in the hidden cross-cylinder frame
    EXPECT_TRUE(isPerceivable(f->Label4));
    f->Command2.userClick();
    EXPECT_TRUE(isPerceivable(f->Command3));
    f->Command5.userClick();
    EXPECT_TRUE(isPerceivable(f->Label7));
}

TEST(ScreenReader, OnlyTheQuestionAnnouncesAndOnlyWhatTheCustomerSaid) {
    TestForm f(true);
    EXPECT_EQ(announcementAfter(*f, f->Command6), "");  // nothing asked yet: nothing to say
    f->Command6.userClick();
    ASSERT_TRUE(f->Label16.visible);
    EXPECT_FALSE(f->Label16.caption.empty());
    EXPECT_EQ(announcementAfter(*f, f->Command6), f->Label16.caption);
    for (const Control* other : {static_cast<const Control*>(&f->Command3), static_cast<const Control*>(&f->Option6),
                                 static_cast<const Control*>(&f->HScroll1)})
        EXPECT_EQ(announcementAfter(*f, *other), "") << other->name();
}

TEST(ScreenReader, PhoropterDescriptionFollowsTheAxisAndTheCrossCylinder) {
    TestForm f;
    EXPECT_EQ(phoropterDescription(*f), "乱視軸の印：90°の方向");
    f->HScroll3.userRelease(135);  // axis 45
    EXPECT_EQ(phoropterDescription(*f), "乱視軸の印：45°の方向");
    f->HScroll3.userRelease(0);  // axis 180: the mark lies level
    EXPECT_EQ(phoropterDescription(*f), "乱視軸の印：180°の方向");

    f->HScroll3.userRelease(160);  // axis 20
    f->Command2.userClick();
    EXPECT_EQ(phoropterDescription(*f), "乱視軸の印：20°の方向。クロスシリンダー：持ち手は20°の方向、おもてを表示");
    f->HScroll4.userRelease(90);  // handle vertical
    f->Command3.userClick();
    EXPECT_EQ(phoropterDescription(*f), "乱視軸の印：20°の方向。クロスシリンダー：持ち手は90°の方向、うらを表示");
    f->Command4.userClick();
    EXPECT_EQ(phoropterDescription(*f), "乱視軸の印：20°の方向");
}

TEST(LegibleColours, ContrastAndTheColoursChosenFromIt) {
    EXPECT_NEAR(contrastRatio({0, 0, 0}, {255, 255, 255}), 21, 1e-9);
    EXPECT_NEAR(contrastRatio({118, 118, 118}, {255, 255, 255}), 4.54, 0.01);
    EXPECT_DOUBLE_EQ(contrastRatio({255, 128, 0}, {255, 128, 0}), 1);

    // Every face of the window: the green, cyan, yellow, grey and orange buttons, and the
    // light window background of the options.
    for (const Rgb face : {Rgb{0, 255, 0}, Rgb{0, 255, 255}, Rgb{255, 255, 0}, Rgb{192, 192, 192}, Rgb{255, 128, 0},
                           Rgb{239, 239, 239}}) {
        EXPECT_GE(contrastRatio(focusMarkColour(face), face), 7) << face.r << "," << face.g << "," << face.b;
        const Rgb grey = disabledCaptionColour(face);
        const double c = contrastRatio(grey, face);
        EXPECT_GE(c, 3.5);
        EXPECT_LT(c, 4) << "as light as the contrast allows";
        EXPECT_GT(grey.r, 40) << "not the black of an enabled caption";
    }
    EXPECT_EQ(focusMarkColour({0, 0, 128}), (Rgb{255, 255, 255}));
}
