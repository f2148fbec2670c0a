// Choosing a test chart offers its questions and touches nothing else.

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "tests/test_support.h"

namespace {

// Everything a chart choice must leave alone: every control except the chart and question
// buttons, and the kept values.
std::string everythingButTheChoices(const Form1& w) {
    std::ostringstream out;
    DumpFilter filter;
    filter.skip = [&w](const Control& c) {
        return c.kind() == Kind::Option && (c.container() == &w.Frame1 || c.container() == &w.Frame3);
    };
    out << dumpControls(w, filter);
    out << w.foroS << w.foroC << w.foroA << w.zanyoS << w.zanyoC << w.zanyoA << w.zuX1 << w.zuY1 << w.zuX2 << w.zuY2
        << w.ccJiku << w.akaJiku << w.shiroJiku;
    return out.str();
}

// The shown questions and the selected one, as "Option1 Option4 / Option1".
std::string offered(Form1& w) {
    std::string shown, selected;
    for (OptionButton* o : {&w.Option1, &w.Option2, &w.Option3, &w.Option4, &w.Option9}) {
        if (o->visible) shown += o->name() + " ";
        if (o->selected()) selected += o->name();
    }
    return shown + "/ " + selected;
}

}  // namespace

TEST(Charts, EachChartOffersItsQuestions) {
    TestForm f;
    EXPECT_EQ(offered(*f), "Option1 Option4 / Option1");
    const std::pair<OptionButton Form1::*, const char*> rows[] = {
        {&Form1::Option6, "Option3 / Option3"},
        {&Form1::Option7, "Option2 / Option2"},
        {&Form1::Option8, "Option9 / Option9"},
        {&Form1::Option5, "Option1 Option4 / Option1"},  // after the dot cluster
        {&Form1::Option7, "Option2 / Option2"},
        {&Form1::Option5, "Option1 Option4 / Option1"},  // after the radial dial
    };
    for (auto [chart, expected] : rows) {
        ASSERT_TRUE(((*f).*chart).userSelect());
        EXPECT_EQ(offered(*f), expected) << ((*f).*chart).name();
        EXPECT_TRUE(((*f).*chart).selected());
    }
    f->Option4.userSelect();
    f->Option6.userSelect();
    EXPECT_EQ(offered(*f), "Option3 / Option3") << "a hidden question is never left selected";
}

TEST(Charts, ChoosingAChartTouchesNothingElse) {
    TestForm f;
    f.setCase(-1.5f, -0.75f, 20);
    f->HScroll1.userRelease(30);
    f->HScroll3.userRelease(70);
    f->Command2.userClick();
    f->HScroll4.userRelease(100);
    f->Command3.userClick();
    f->Label16.caption = "an earlier answer";
    f->Label16.visible = true;
    const std::string before = everythingButTheChoices(*f);
    const int beeps = f.platform.beeps;
    for (OptionButton* chart : {&f->Option8, &f->Option6, &f->Option7, &f->Option5}) {
        chart->userSelect();
        EXPECT_EQ(everythingButTheChoices(*f), before) << chart->name();
    }
    EXPECT_EQ(f.platform.beeps, beeps);
}
