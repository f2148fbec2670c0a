// What the window tells its observer: one account per user input, after every handler the input
// ran has returned, with what the input did and the window's setting after it.

#include <gtest/gtest.h>

#include <vector>

#include "app/form1/events.h"
#include "tests/test_support.h"

namespace {

struct Accounts : WindowObserver {
    std::vector<WindowEvent> events;
    // What the window showed when it told: the account comes after the handlers, never inside.
    std::vector<std::string> shownWhenTold;
    const Form1* form = nullptr;
    void windowEvent(const WindowEvent& e) override {
        events.push_back(e);
        shownWhenTold.push_back(dumpControls(*form));
    }
};

struct Watched {
    TestForm t;
    Accounts accounts;
    Watched() {
        t.setCase(-2.0f, -1.5f, 30);
        accounts.form = &*t;
        t->setObserver(&accounts);
    }
    Form1& w() { return *t; }
    // The one account the last input gave.
    const WindowEvent& only() {
        EXPECT_EQ(accounts.events.size(), 1u);
        return accounts.events.back();
    }
    template <class Input>
    const WindowEvent& after(Input&& input) {
        accounts.events.clear();
        accounts.shownWhenTold.clear();
        input();
        EXPECT_EQ(accounts.shownWhenTold.back(), dumpControls(w())) << "told before the handlers had finished";
        return only();
    }
};

using K = WindowEventKind;

}  // namespace

TEST(WindowEvents, EachLensBarSaysWhichAndTheLensAfterIt) {
    Watched s;
    Form1& w = s.w();
    const WindowEvent& sphere = s.after([&] { w.HScroll1.userArrow(+1); });
    EXPECT_EQ(sphere.kind, K::Lens);
    EXPECT_EQ(sphere.bar, LensBar::Sphere);
    EXPECT_EQ(sphere.after.bars[0], 41);
    EXPECT_EQ(sphere.after.lens.S, -0.25);

    const WindowEvent& cylinder = s.after([&] { w.HScroll2.userTrack(+1); });
    EXPECT_EQ(cylinder.kind, K::Lens);
    EXPECT_EQ(cylinder.bar, LensBar::Cylinder);
    EXPECT_EQ(cylinder.after.lens.C, w.foroC);

    const WindowEvent& axis = s.after([&] { w.HScroll3.userRelease(150); });
    EXPECT_EQ(axis.kind, K::Lens);
    EXPECT_EQ(axis.bar, LensBar::Axis);
    EXPECT_EQ(axis.after.lens.A, 30);
    EXPECT_EQ(axis.after.lens.A, w.foroA);
    EXPECT_EQ(axis.after.correction.A, 30);

    // A bar already at its end moves nothing: an account of nothing.
    w.HScroll2.userRelease(w.HScroll2.min);
    EXPECT_EQ(s.after([&] { w.HScroll2.userArrow(-1); }).kind, K::Nothing);
}

TEST(WindowEvents, TheCrossCylinderInTurnedFlippedAndOutOneAccountEach) {
    Watched s;
    Form1& w = s.w();
    // Putting it in sets the handle bar inside the handler: still one account.
    const WindowEvent& in = s.after([&] { w.Command2.userClick(); });
    EXPECT_EQ(in.kind, K::CrossCylinderIn);
    EXPECT_TRUE(in.after.crossCylinderIn);
    EXPECT_TRUE(in.after.front);
    EXPECT_EQ(in.after.handle, w.ccJiku);

    const WindowEvent& turned = s.after([&] { w.HScroll4.userArrow(+1); });
    EXPECT_EQ(turned.kind, K::CrossCylinderTurn);
    EXPECT_EQ(turned.after.handle, w.ccJiku);

    EXPECT_FALSE(s.after([&] { w.Command3.userClick(); }).after.front);
    EXPECT_EQ(s.accounts.events.back().kind, K::CrossCylinderFlip);
    EXPECT_TRUE(s.after([&] { w.Command3.userClick(); }).after.front);

    const WindowEvent& out = s.after([&] { w.Command4.userClick(); });
    EXPECT_EQ(out.kind, K::CrossCylinderOut);
    EXPECT_FALSE(out.after.crossCylinderIn);

    // Taken out, its buttons cannot be pressed: refused, and told as nothing.
    EXPECT_EQ(s.after([&] { EXPECT_FALSE(w.Command4.userClick()); }).kind, K::Nothing);
}

TEST(WindowEvents, ChartsQuestionsAndTheirAnswers) {
    Watched s;
    Form1& w = s.w();
    // The dial chart selects its question inside the handler: one account.
    const WindowEvent& chart = s.after([&] { w.Option7.userSelect(); });
    EXPECT_EQ(chart.kind, K::Chart);
    EXPECT_EQ(chart.after.chart, Chart::Dial);
    // Choosing a question asks nothing.
    EXPECT_EQ(s.after([&] { w.Option2.userSelect(); }).kind, K::Nothing);

    const WindowEvent& asked = s.after([&] { w.Command6.userClick(); });
    EXPECT_EQ(asked.kind, K::Question);
    EXPECT_EQ(asked.question, Question::Dial);
    EXPECT_TRUE(asked.answered);
    EXPECT_EQ(asked.answer, w.Label16.caption);

    // No chart chosen (only the handlers can get there): asked, but the label keeps the last
    // answer, which is not this question's.
    w.Option7.setSelected(false);
    const WindowEvent& ignored = s.after([&] { w.Command6.userClick(); });
    EXPECT_EQ(ignored.kind, K::Question);
    EXPECT_FALSE(ignored.answered);
    EXPECT_EQ(ignored.answer, "");
}

TEST(WindowEvents, ModesTheEndAndTheNextCustomer) {
    Watched s;
    Form1& w = s.w();
    const WindowEvent& practice = s.after([&] { w.Option11.userSelect(); });
    EXPECT_EQ(practice.kind, K::Mode);
    EXPECT_EQ(practice.after.mode, Mode::Practice);

    // The sample mode brings its own customer and reading.
    const WindowEvent& sample = s.after([&] { w.Option12.userSelect(); });
    EXPECT_EQ(sample.kind, K::Mode);
    EXPECT_EQ(sample.after.mode, Mode::Sample);
    EXPECT_EQ(sample.after.correction.S, w.seikaiS);
    EXPECT_EQ(sample.after.reading + " です。", w.Label17.caption);

    w.HScroll1.userArrow(+1);
    const WindowEvent& end = s.after([&] { w.Command5.userClick(); });
    EXPECT_EQ(end.kind, K::End);
    EXPECT_TRUE(end.after.ended);
    EXPECT_EQ(end.after.bars[0], 41);

    // 再測定 resets every bar through its handlers: one account, of the new customer.
    const WindowEvent& next = s.after([&] { w.STARTbutton.userClick(); });
    EXPECT_EQ(next.kind, K::NewCustomer);
    EXPECT_FALSE(next.after.ended);
    EXPECT_EQ(next.after.bars[0], 40);
    EXPECT_EQ(next.after.reading + " です。", w.Label17.caption);
    EXPECT_EQ(next.after.correction.S, w.seikaiS);

    // Hidden now: refused, told as nothing.
    EXPECT_EQ(s.after([&] { EXPECT_FALSE(w.STARTbutton.userClick()); }).kind, K::Nothing);
}

TEST(WindowEvents, WithoutAnObserverTheWindowRunsTheSame) {
    TestForm bare, watched;
    Accounts accounts;
    accounts.form = &*watched;
    watched->setObserver(&accounts);
    for (TestForm* t : {&bare, &watched}) {
        t->setCase(1.25f, -0.75f, 100);
        (*t)->Option11.userSelect();
        (*t)->HScroll1.userArrow(-1);
        (*t)->Command2.userClick();
        (*t)->Command3.userClick();
        (*t)->Option6.userSelect();
        (*t)->Command6.userClick();
        (*t)->Command5.userClick();
    }
    EXPECT_EQ(dumpControls(*bare), dumpControls(*watched));
    EXPECT_EQ(accounts.events.size(), 7u);
}

TEST(HiddenUntilEnd, OnlyTestModeWhileStillMeasuring) {
    EXPECT_TRUE(hiddenUntilEnd(Mode::Test, true));
    EXPECT_FALSE(hiddenUntilEnd(Mode::Test, false));
    EXPECT_FALSE(hiddenUntilEnd(Mode::Practice, true));
    EXPECT_FALSE(hiddenUntilEnd(Mode::Sample, true));
}

TEST(LensOnBars, AQuarterDioptrePerStepAndTheAxisFrom180) {
    const Refraction lens = lensOnBars(44, 6, 150);
    EXPECT_EQ(lens.S, -1.0);
    EXPECT_EQ(lens.C, -1.5);
    EXPECT_EQ(lens.A, 30);
    EXPECT_EQ(lensOnBars(0, 0, 180).S, 10.0);
    EXPECT_EQ(lensOnBars(80, 20, 0).S, -10.0);
    EXPECT_EQ(lensOnBars(80, 20, 0).C, -5.0);
    EXPECT_EQ(lensOnBars(80, 20, 0).A, 180);
}
