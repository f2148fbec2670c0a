#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/test_support.h"

namespace {

class QuestionTest : public ::testing::Test {
protected:
    TestForm f;

    // A hidden correction and a lens setting; afterwards the mode frame is unlocked again so
    // that a test can tell whether the question itself ran keisann.
    void prepare(float S, float C, float A, int h1, int h2, int h3) {
        f.setCase(S, C, A);
        f.setLens(h1, h2, h3);
        f->Frame7.enabled = true;
    }
    bool keisannRan() const { return !f.form->Frame7.enabled; }

    // Chart first, since choosing a chart selects its own question; nullptr clears the charts.
    void choose(OptionButton* chart, OptionButton& question) {
        if (chart)
            chart->setSelected(true);
        else
            for (OptionButton* o : {&f->Option5, &f->Option6, &f->Option7, &f->Option8}) o->setSelected(false);
        question.setSelected(true);
    }
    const std::string& ask(OptionButton* chart, OptionButton& question) {
        choose(chart, question);
        EXPECT_TRUE(f->Command6.userClick());
        return f->Label16.caption;
    }
};

TEST_F(QuestionTest, NoQuestionOrMissingChartDoesNothing) {
    prepare(-1, -1, 90, 44, 4, 90);
    f->Label16.caption = "前の答え";
    f->Option1.setSelected(false);
    f->Command6_Click();
    for (OptionButton* q : {&f->Option1, &f->Option2, &f->Option3}) {
        choose(nullptr, *q);
        f->Command6_Click();
    }
    EXPECT_FALSE(f->Label16.visible);
    EXPECT_EQ(f->Label16.caption, "前の答え");
    EXPECT_FALSE(keisannRan());
}

TEST_F(QuestionTest, ChartMismatchAnswersWithoutComputing) {
    prepare(-1, -1, 90, 44, 4, 90);
    f->Frame4.visible = true;  // so that the cross-cylinder question fails on its chart alone
    f->Label21.caption = "ボケ量";
    const struct {
        OptionButton* chart;
        OptionButton* question;
        const char* text;
    } cases[] = {
        {&f->Option6, &f->Option1, "え～っ？"},         {&f->Option8, &f->Option1, "え～っ？"},
        {&f->Option5, &f->Option2, "え～っ？"},         {&f->Option8, &f->Option3, "え～っ？"},
        {&f->Option7, &f->Option4, "よくわかりません"}, {&f->Option6, &f->Option4, "よくわかりません"},
        {&f->Option6, &f->Option9, "え～っ？"},
    };
    for (const auto& c : cases) {
        f->Label16.visible = false;
        EXPECT_EQ(ask(c.chart, *c.question), c.text) << c.chart->name() << " " << c.question->name();
        EXPECT_TRUE(f->Label16.visible);
    }
    EXPECT_FALSE(keisannRan());
    EXPECT_EQ(f->Label21.caption, "ボケ量");
}

TEST_F(QuestionTest, AcuityFromTheResidualBlur) {
    const struct {
        float S, C, A;
        int h1, h2, h3;
        const char* text;
    } cases[] = {
        {-1, -1, 90, 44, 4, 90, "１．５まで見えます"},      {-1, -1, 90, 43, 4, 90, "１．０まで見えます"},
        {-1, -1, 90, 45, 4, 90, "１．２まで見えます"},      {-1, -0.25f, 180, 40, 0, 90, "０．５まで見えます"},
        {-1, -0.25f, 180, 44, 0, 90, "１．２まで見えます"}, {-1, -0.25f, 180, 45, 0, 90, "１．５まで見えます"},
        {-1, -0.25f, 180, 48, 0, 90, "０．８まで見えます"}, {-1, -0.25f, 180, 52, 0, 90, "０．３まで見えます"},
        {-1, -0.25f, 180, 32, 0, 90, "よく見えません"},
    };
    for (const auto& c : cases) {
        prepare(c.S, c.C, c.A, c.h1, c.h2, c.h3);
        f->Label16.visible = false;
        EXPECT_EQ(ask(&f->Option5, f->Option1), c.text) << c.S << " " << c.C << " " << c.A << " at " << c.h1;
        EXPECT_TRUE(f->Label16.visible);
        EXPECT_TRUE(keisannRan());
    }
}

TEST_F(QuestionTest, CrossCylinderInFrontBlursEveryChartQuestion) {
    prepare(-1, -1, 90, 44, 4, 90);  // fully corrected
    f->Frame4.visible = true;
    const int draws = f.random.draws;
    EXPECT_EQ(ask(&f->Option5, f->Option1), "よく見えません");
    EXPECT_TRUE(keisannRan());
    EXPECT_EQ(ask(&f->Option7, f->Option2), "よく見えません");
    EXPECT_EQ(ask(&f->Option6, f->Option3), "よく見えません");
    EXPECT_EQ(ask(&f->Option8, f->Option4), "よく見えません");
    EXPECT_EQ(f.random.draws, draws);
}

TEST_F(QuestionTest, FoggedDialNamesTheResidualAxis) {
    const struct {
        float C, A;
        int h1;
        const char* text;
    } cases[] = {
        {-0.25f, 180, 40, "１２時が濃く見えます"},
        {-0.25f, 8, 40, "１２時と１時の間が濃く見えます"},
        {-0.25f, 30, 40, "１時が濃く見えます"},
        {-0.25f, 45, 40, "１時と２時の間が濃く見えます"},
        {-0.25f, 100, 40, "３時と４時の間が濃く見えます"},
        {-0.25f, 172, 40, "５時と６時の間が濃く見えます"},
        {-0.25f, 173, 40, "１２時が濃く見えます"},
        {-1, 90, 40, "３時が濃く見えます"},
        {-0.25f, 180, 32, "よく見えません"},  // far too much fog
    };
    const int draws = f.random.draws;
    for (const auto& c : cases) {
        prepare(-1, c.C, c.A, c.h1, 0, 90);
        EXPECT_EQ(ask(&f->Option7, f->Option2), c.text) << c.A << " at " << c.h1;
        EXPECT_TRUE(keisannRan());
    }
    EXPECT_EQ(f.random.draws, draws);
}

const char* const kGuesses[] = {
    "１２時と６時が少し濃く見えます", "１時と７時が少し濃く見えます",   "２時と８時が少し濃く見えます",
    "３時と９時が少し濃く見えます",   "４時と１０時が少し濃く見えます", "５時と１１時が少し濃く見えます",
};

TEST_F(QuestionTest, UnfoggedDialGuessesFromOneDrawPerPress) {
    prepare(-1, -0.25f, 180, 44, 0, 90);  // spherical equivalent -0.125
    choose(&f->Option7, f->Option2);
    for (int k = 0; k < 12; ++k) {
        f.random.queue = {static_cast<float>((k + 0.5) / 12)};
        const int draws = f.random.draws;
        f->Command6_Click();
        EXPECT_EQ(f->Label16.caption, k < 6 ? kGuesses[k] : "よくわかりません") << k;
        EXPECT_EQ(f.random.draws, draws + 1);
    }
}

TEST(DialGuesses, SpreadEvenlyWithTheClockSource) {
    FakePlatform platform;
    ClockRandom random;
    Form1 form(platform, random);
    form.Form_Load();
    form.seikaiS = -1;
    form.seikaiC = -0.25f;
    form.seikaiA = 180;
    form.HScroll1.setValue(44);
    form.Option7.setSelected(true);
    form.Option2.setSelected(true);

    constexpr int kPresses = 12000;
    std::map<std::string, int> counts;
    for (int i = 0; i < kPresses; ++i) {
        form.Command6_Click();
        ++counts[form.Label16.caption];
    }
    ASSERT_EQ(counts.size(), 7u);
    const double pair = kPresses / 12.0;
    for (const char* g : kGuesses) EXPECT_NEAR(counts[g], pair, pair / 4) << g;
    EXPECT_NEAR(counts["よくわかりません"], 6 * pair, 6 * pair / 4);
}

TEST_F(QuestionTest, RedGreenAndPlusQuarterFromTheSphericalEquivalent) {
    const struct {
        int h1;
        const char* redGreen;
        const char* plusQuarter;
    } cases[] = {
        {32, "どちらもよく見えません", "よくわかりません"}, {40, "赤がよく見えます", "ない方がいいです"},
        {44, "赤が少しよく見えます", "ない方がいいです"},   {45, "同じように見えます", "あまり変わりません"},
        {46, "緑が少しよく見えます", "ある方がいいです"},   {48, "緑がよく見えます", "ある方がいいです"},
        {52, "どちらもよく見えません", "よくわかりません"},
    };
    for (const auto& c : cases) {
        prepare(-1, -0.25f, 180, c.h1, 0, 90);
        EXPECT_EQ(ask(&f->Option6, f->Option3), c.redGreen) << c.h1;
        EXPECT_TRUE(keisannRan());
        const std::string readout = f->Label4.caption;
        EXPECT_EQ(ask(&f->Option5, f->Option4), c.plusQuarter) << c.h1;
        EXPECT_EQ(ask(&f->Option8, f->Option4), c.plusQuarter) << c.h1;
        EXPECT_EQ(ask(nullptr, f->Option4), c.plusQuarter) << c.h1;
        // The added +0.25 D is imagined, not dialled in.
        EXPECT_EQ(f->HScroll1.value(), c.h1);
        EXPECT_EQ(f->Label4.caption, readout);
    }
}

TEST_F(QuestionTest, CrossCylinderComparesBothFlipPositions) {
    const struct {
        float A;
        int h1, h2, h3, h4;
        int ccJiku, akaJiku, shiroJiku;
        const char* text;
        const char* omote;
        const char* ura;
    } cases[] = {
        {45, 44, 2, 135, 180, 0, 45, 135, "おもての方がよく見えます", "0.5", "1.12"},
        {45, 44, 2, 135, 90, 90, 135, 45, "うらの方がよく見えます", "1.12", "0.5"},
        {45, 44, 2, 135, 135, 45, 90, 180, "だいたい同じです", "0.88", "0.88"},
        {90, 44, 4, 90, 90, 90, 135, 45, "だいたい同じです", "0.71", "0.71"},
        // A full correction looks the same through both sides, whichever way the handle points.
        {90, 44, 4, 90, 135, 45, 90, 180, "だいたい同じです", "0.71", "0.71"},
        {90, 44, 4, 90, 45, 135, 180, 90, "だいたい同じです", "0.71", "0.71"},
        // The whole C -1.00 left before both sides blurs too much (about 2.35 by the exact optics).
        {90, 40, 0, 90, 90, 90, 135, 45, "よくわかりません", "2.34", "2.35"},
    };
    OptionButton* charts[] = {&f->Option8, &f->Option5, &f->Option7, nullptr};
    int n = 0;
    for (const auto& c : cases) {
        prepare(-1, -1, c.A, c.h1, c.h2, c.h3);
        f->HScroll4.setValue(c.h4);
        f->Frame4.visible = true;
        f->Label23.caption = f->Label24.caption = f->Label25.caption = "-";
        f->Label21.visible = f->Label22.visible = false;
        f->Label16.visible = false;
        EXPECT_EQ(ask(charts[n++ % 4], f->Option9), c.text) << c.A << " at " << c.h4;
        EXPECT_TRUE(f->Label16.visible);
        EXPECT_EQ(f->Label21.caption, std::string("ＣＣボケ量(おもて)は　") + c.omote + " です");
        EXPECT_EQ(f->Label22.caption, std::string("ＣＣボケ量（うら）は　") + c.ura + " です");
        EXPECT_EQ(f->ccJiku, c.ccJiku);
        EXPECT_EQ(f->akaJiku, c.akaJiku);
        EXPECT_EQ(f->shiroJiku, c.shiroJiku);
        // Only the residual is brought up to date; its labels, the score and the lock are not.
        EXPECT_EQ(f->foroA, 180 - c.h3);
        EXPECT_FALSE(keisannRan());
        EXPECT_EQ(f->Label23.caption, "-");
        EXPECT_EQ(f->Label24.caption, "-");
        EXPECT_EQ(f->Label25.caption, "-");
        EXPECT_FALSE(f->Label21.visible || f->Label22.visible);
    }
}

TEST_F(QuestionTest, CrossCylinderQuestionNeedsTheCrossCylinder) {
    prepare(-1, -1, 90, 44, 4, 90);
    f->Label21.caption = "前";
    f->Label22.caption = "前";
    EXPECT_EQ(ask(&f->Option8, f->Option9), "え～っ？");
    EXPECT_TRUE(f->Label16.visible);
    EXPECT_EQ(f->Label21.caption, "前");
    EXPECT_EQ(f->Label22.caption, "前");
}

}  // namespace
