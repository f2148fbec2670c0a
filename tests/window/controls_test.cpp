// The notification rules every handler relies on.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window/controls.h"

namespace {

struct Panel {
    Frame window{"W", Kind::Form};
    Frame frame{"F"};
    OptionButton a{"A"}, b{"B"}, c{"C"};
    OptionButton elsewhere{"X"};
    HScrollBar bar{"S"};
    CommandButton button{"K"};
    std::vector<std::string> log;

    Panel() {
        window.add(frame);
        window.add(elsewhere);
        for (Control* x : std::initializer_list<Control*>{&a, &b, &c, &bar, &button}) frame.add(*x);
        a.onClick = [this] { log.push_back("A"); };
        b.onClick = [this] { log.push_back("B"); };
        c.onClick = [this] { log.push_back("C"); };
        elsewhere.onClick = [this] { log.push_back("X"); };
        button.onClick = [this] { log.push_back("K"); };
        bar.min = 0;
        bar.max = 20;
        bar.smallChange = 1;
        bar.largeChange = 4;
        bar.initValue(10);
        // Appending rather than "S" + to_string(): GCC 12 at -O3 sees a false overlap in the latter.
        bar.onChange = [this] { log.push_back(std::string("S").append(std::to_string(bar.value()))); };
    }
};

}  // namespace

TEST(OptionGroup, SelectingClearsTheFrameAndClicksOnce) {
    Panel p;
    p.elsewhere.setSelected(true);
    p.a.setSelected(true);
    p.b.setSelected(true);
    EXPECT_FALSE(p.a.selected());
    EXPECT_TRUE(p.b.selected());
    EXPECT_TRUE(p.elsewhere.selected()) << "another frame's group is untouched";
    p.b.setSelected(true);  // already selected: no second click
    EXPECT_EQ(p.log, (std::vector<std::string>{"X", "A", "B"}));
}

TEST(OptionGroup, ClearingNotifiesNothingAndHiddenButtonsCanBeSelected) {
    Panel p;
    p.a.setSelected(true);
    p.a.setSelected(false);
    EXPECT_FALSE(p.a.selected());
    p.c.visible = false;
    p.c.setSelected(true);
    EXPECT_TRUE(p.c.selected());
    EXPECT_EQ(p.log, (std::vector<std::string>{"A", "C"}));
}

TEST(ScrollBar, SettingTheSameValueRunsNothing) {
    Panel p;
    p.bar.setValue(10);
    EXPECT_TRUE(p.log.empty());
    p.bar.setValue(12);
    p.bar.setValue(12);
    EXPECT_EQ(p.log, (std::vector<std::string>{"S12"}));
}

TEST(ScrollBar, UserStepsUseSmallAndLargeChangeAndStopAtTheEnds) {
    Panel p;
    p.bar.userArrow(+1);
    p.bar.userTrack(-1);
    p.bar.userRelease(20);
    p.bar.userTrack(+1);  // already at the end: nothing
    p.bar.userRelease(-5);
    EXPECT_EQ(p.log, (std::vector<std::string>{"S11", "S7", "S20", "S0"}));
}

TEST(ScrollBar, ChangeRunsNestedBeforeTheSetterGoesOn) {
    Panel p;
    p.button.onClick = [&p] {
        p.log.push_back("before");
        p.bar.setValue(3);
        p.log.push_back("after");
    };
    p.button.userClick();
    EXPECT_EQ(p.log, (std::vector<std::string>{"before", "S3", "after"}));
}

TEST(Input, DisabledOrHiddenFramesBlockTheirControls) {
    Panel p;
    p.frame.enabled = false;
    EXPECT_FALSE(p.button.userClick());
    EXPECT_FALSE(p.a.userSelect());
    EXPECT_FALSE(p.bar.userArrow(+1));
    EXPECT_TRUE(p.elsewhere.userSelect()) << "outside the disabled frame";
    p.frame.enabled = true;
    p.frame.visible = false;
    EXPECT_FALSE(p.bar.userRelease(3));
    p.frame.visible = true;
    p.button.visible = false;
    EXPECT_FALSE(p.button.userClick());
    EXPECT_EQ(p.log, (std::vector<std::string>{"X"}));
    EXPECT_EQ(p.bar.value(), 10);
    // The program itself may still set what the user cannot.
    p.frame.enabled = false;
    p.bar.setValue(5);
    EXPECT_EQ(p.log.back(), "S5");
}
