#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "subject/answers.h"

TEST(ChartCheck, EachQuestionAgainstEachChart) {
    using enum ChartCheck;
    const Chart charts[] = {Chart::None, Chart::Acuity, Chart::RedGreen, Chart::Dial, Chart::Dots};
    struct Row {
        Question q;
        ChartCheck expected[5];  // in the order of `charts`
    };
    const Row rows[] = {
        {Question::Acuity, {Ignored, Answered, Mismatch, Mismatch, Mismatch}},
        {Question::Dial, {Ignored, Mismatch, Mismatch, Answered, Mismatch}},
        {Question::RedGreen, {Ignored, Mismatch, Answered, Mismatch, Mismatch}},
        {Question::PlusQuarter, {Answered, Answered, Mismatch, Mismatch, Answered}},
        {Question::CrossCylinder, {Answered, Answered, Mismatch, Answered, Answered}},
    };
    for (const Row& r : rows)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(checkChart(r.q, charts[c]), r.expected[c]) << static_cast<int>(r.q) << " chart " << c;
    EXPECT_EQ(mismatchAnswer(Question::PlusQuarter), "よくわかりません");
    EXPECT_EQ(mismatchAnswer(Question::Acuity), "え～っ？");
    EXPECT_EQ(mismatchAnswer(Question::CrossCylinder), "え～っ？");
}

TEST(AcuityAnswer, RowsAndColumnsAtTheirBounds) {
    // Blur exactly 0 reads 1.5 on both sides; every upper bound is inclusive.
    EXPECT_EQ(acuityAnswer(0, 0), "１．５まで見えます");
    EXPECT_EQ(acuityAnswer(0.1, 0), "１．５まで見えます");
    EXPECT_EQ(acuityAnswer(-0.125, 0.25), "１．２まで見えます");
    EXPECT_EQ(acuityAnswer(0.125, 0.25), "１．５まで見えます");
    EXPECT_EQ(acuityAnswer(-0.125, std::nextafter(0.25, 1.0)), "１．０まで見えます");
    EXPECT_EQ(acuityAnswer(-1, 0.75), "０．９まで見えます");
    EXPECT_EQ(acuityAnswer(1, 0.75), "１．２まで見えます");  // the plus side never reads 0.9
    EXPECT_EQ(acuityAnswer(1, 1.0), "１．０まで見えます");
    EXPECT_EQ(acuityAnswer(0.875, 1.25), "０．８まで見えます");
    EXPECT_EQ(acuityAnswer(-1.125, 1.601), "０．５まで見えます");
    EXPECT_EQ(acuityAnswer(-1, 2.5), "０．３が見えます");
    EXPECT_EQ(acuityAnswer(1.875, 2.658), "０．３まで見えます");
    EXPECT_EQ(acuityAnswer(-1, 3), "０．２が見えます");
    EXPECT_EQ(acuityAnswer(1, 3), "０．３まで見えます");
    // Just above 3.5 the myopic eye gives up, the hyperopic one still reads 0.1.
    EXPECT_EQ(acuityAnswer(-1, 3.5001), "よく見えません");
    EXPECT_EQ(acuityAnswer(1, 3.5001), "０．１が見えます");
    EXPECT_EQ(acuityAnswer(1, 4), "０．１が見えます");
    EXPECT_EQ(acuityAnswer(1, 4.0001), "よく見えません");
    EXPECT_EQ(acuityAnswer(-3.125, 4.423), "よく見えません");
}

TEST(DialAnswer, FogBounds) {
    EXPECT_EQ(fogOf(-2.0001), Fog::TooFogged);
    EXPECT_EQ(fogOf(-2), Fog::Fogged);
    EXPECT_EQ(fogOf(-0.2501), Fog::Fogged);
    EXPECT_EQ(fogOf(-0.25), Fog::NotFogged);
    EXPECT_EQ(fogOf(3), Fog::NotFogged);
}

TEST(DialAnswer, SectorsAtTheirBounds) {
    const struct {
        double axis;
        const char* text;
    } cases[] = {
        {0, "１２時が濃く見えます"},
        {7.4999, "１２時が濃く見えます"},
        {7.5, "１２時と１時の間が濃く見えます"},
        {8, "１２時と１時の間が濃く見えます"},
        {22.5, "１時が濃く見えます"},
        {30, "１時が濃く見えます"},
        {45, "１時と２時の間が濃く見えます"},
        {52.5, "２時が濃く見えます"},
        {82.5, "３時が濃く見えます"},
        {90, "３時が濃く見えます"},
        {97.4999, "３時が濃く見えます"},
        {100, "３時と４時の間が濃く見えます"},
        {127.5, "４時と５時の間が濃く見えます"},
        {157.4999, "５時が濃く見えます"},
        {172, "５時と６時の間が濃く見えます"},
        {172.5, "１２時が濃く見えます"},
        {173, "１２時が濃く見えます"},
        {180, "１２時が濃く見えます"},
    };
    for (const auto& c : cases) EXPECT_EQ(dialSectorAnswer(c.axis), c.text) << c.axis;
    EXPECT_EQ(dialSectorAnswer(-0.001), std::nullopt);
    EXPECT_EQ(dialSectorAnswer(180.001), std::nullopt);
}

TEST(DialAnswer, GuessFromOneDraw) {
    EXPECT_EQ(ransuuFromDraw(0.0f), 1);
    EXPECT_EQ(ransuuFromDraw(0.0833f), 1);
    EXPECT_EQ(ransuuFromDraw(1.0f / 12), 2);  // the float lies just above 1/12
    EXPECT_EQ(ransuuFromDraw(0.5f), 7);
    EXPECT_EQ(ransuuFromDraw(std::nextafter(1.0f, 0.0f)), 12);

    const char* pairs[] = {"１２時と６時が少し濃く見えます", "１時と７時が少し濃く見えます",
                           "２時と８時が少し濃く見えます",   "３時と９時が少し濃く見えます",
                           "４時と１０時が少し濃く見えます", "５時と１１時が少し濃く見えます"};
    for (int r = 1; r <= 6; ++r) EXPECT_EQ(dialGuessAnswer(r), pairs[r - 1]);
    for (int r = 7; r <= 12; ++r) EXPECT_EQ(dialGuessAnswer(r), "よくわかりません");
}

TEST(SphericalAnswers, RedGreenAndPlusQuarterBounds) {
    const struct {
        double t;
        const char* redGreen;
        const char* plusQuarter;
    } cases[] = {
        {-3.125, "どちらもよく見えません", "よくわかりません"}, {-1.5001, "どちらもよく見えません", "よくわかりません"},
        {-1.5, "赤がよく見えます", "よくわかりません"},         {-1.125, "赤がよく見えます", "ない方がいいです"},
        {-0.25, "赤が少しよく見えます", "ない方がいいです"},    {-0.125, "赤が少しよく見えます", "ない方がいいです"},
        {0, "同じように見えます", "ない方がいいです"},          {0.125, "同じように見えます", "あまり変わりません"},
        {0.25, "緑が少しよく見えます", "ある方がいいです"},     {0.375, "緑が少しよく見えます", "ある方がいいです"},
        {0.5, "緑がよく見えます", "ある方がいいです"},          {0.875, "緑がよく見えます", "ある方がいいです"},
        {1.5, "どちらもよく見えません", "ある方がいいです"},    {1.5001, "どちらもよく見えません", "よくわかりません"},
        {1.875, "どちらもよく見えません", "よくわかりません"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(redGreenAnswer(c.t), c.redGreen) << c.t;
        EXPECT_EQ(plusQuarterAnswer(c.t), c.plusQuarter) << c.t;
    }
}

TEST(CrossCylinderAnswer, ThresholdAndMargins) {
    EXPECT_EQ(crossCylinderAnswer(2.26, 2.26), "よくわかりません");
    EXPECT_EQ(crossCylinderAnswer(2.0001, 3), "よくわかりません");
    EXPECT_EQ(crossCylinderAnswer(2, 3), "おもての方がよく見えます");  // 2 itself is not too blurred
    EXPECT_EQ(crossCylinderAnswer(0.5, 1.118), "おもての方がよく見えます");
    EXPECT_EQ(crossCylinderAnswer(1.118, 0.5), "うらの方がよく見えます");
    EXPECT_EQ(crossCylinderAnswer(0.8786, 0.8808), "だいたい同じです");
    // A difference of exactly the margin goes unnoticed (0.25 and 0.37 differ by 0.12 in
    // binary too: 0.37 - 0.12 == 0.25 exactly).
    ASSERT_EQ(0.37 - 0.12, 0.25);
    EXPECT_EQ(crossCylinderAnswer(0.25, 0.37), "だいたい同じです");
    EXPECT_EQ(crossCylinderAnswer(0.37, 0.25), "だいたい同じです");
    EXPECT_EQ(crossCylinderAnswer(0.25, 0.3701), "おもての方がよく見えます");
    EXPECT_EQ(crossCylinderAnswer(0.3701, 0.25), "うらの方がよく見えます");
}
