#include "subject/answers.h"

#include <cmath>
#include <iterator>

ChartCheck checkChart(Question question, Chart chart) {
    switch (question) {
    case Question::Acuity:
    case Question::Dial:
    case Question::RedGreen: {
        // Each of these needs its own chart; without any chart the button does nothing.
        if (chart == Chart::None) return ChartCheck::Ignored;
        const Chart own = question == Question::Acuity ? Chart::Acuity
                          : question == Question::Dial ? Chart::Dial
                                                       : Chart::RedGreen;
        return chart == own ? ChartCheck::Answered : ChartCheck::Mismatch;
    }
    case Question::PlusQuarter:
        return chart == Chart::RedGreen || chart == Chart::Dial ? ChartCheck::Mismatch : ChartCheck::Answered;
    case Question::CrossCylinder:
        return chart == Chart::RedGreen ? ChartCheck::Mismatch : ChartCheck::Answered;
    }
    return ChartCheck::Ignored;
}

std::string mismatchAnswer(Question question) {
    return question == Question::PlusQuarter ? "よくわかりません" : kPuzzled;
}

namespace {

struct AcuityRow {
    double upTo;            // inclusive upper bound of the blur amount
    const char* myopic;     // zanyoTouka <= 0
    const char* hyperopic;  // zanyoTouka > 0: accommodation buys back some acuity
};

// The first row is blur exactly 0; the hyperopic column is not a shifted copy of the myopic
// one near the top, so the table is kept whole.
constexpr AcuityRow kAcuityRows[] = {
    {0, "１．５まで見えます", "１．５まで見えます"},   {0.25, "１．２まで見えます", "１．５まで見えます"},
    {0.5, "１．０まで見えます", "１．２まで見えます"}, {0.75, "０．９まで見えます", "１．２まで見えます"},
    {1, "０．８まで見えます", "１．０まで見えます"},   {1.25, "０．７まで見えます", "０．８まで見えます"},
    {1.5, "０．６まで見えます", "０．７まで見えます"}, {1.75, "０．５まで見えます", "０．６まで見えます"},
    {2, "０．４まで見えます", "０．５まで見えます"},   {2.5, "０．３が見えます", "０．４まで見えます"},
    {3, "０．２が見えます", "０．３まで見えます"},     {3.5, "０．１が見えます", "０．２まで見えます"},
    {4, "よく見えません", "０．１が見えます"},
};

struct Sector {
    double from;  // inclusive; each sector ends where the next begins
    const char* text;
};

// 15-degree sectors centred on multiples of 15; 172.5 to 180 wraps round to 12 o'clock.
constexpr Sector kSectors[] = {
    {0, "１２時が濃く見えます"},     {7.5, "１２時と１時の間が濃く見えます"},
    {22.5, "１時が濃く見えます"},    {37.5, "１時と２時の間が濃く見えます"},
    {52.5, "２時が濃く見えます"},    {67.5, "２時と３時の間が濃く見えます"},
    {82.5, "３時が濃く見えます"},    {97.5, "３時と４時の間が濃く見えます"},
    {112.5, "４時が濃く見えます"},   {127.5, "４時と５時の間が濃く見えます"},
    {142.5, "５時が濃く見えます"},   {157.5, "５時と６時の間が濃く見えます"},
    {172.5, "１２時が濃く見えます"},
};

constexpr const char* kGuesses[] = {
    "１２時と６時が少し濃く見えます", "１時と７時が少し濃く見えます",   "２時と８時が少し濃く見えます",
    "３時と９時が少し濃く見えます",   "４時と１０時が少し濃く見えます", "５時と１１時が少し濃く見えます",
};

}  // namespace

std::string acuityAnswer(double zanyoTouka, double blur) {
    const bool myopic = zanyoTouka <= 0;
    for (const AcuityRow& row : kAcuityRows)
        if (blur <= row.upTo) return myopic ? row.myopic : row.hyperopic;
    return kCannotSee;
}

Fog fogOf(double zanyoTouka) {
    if (zanyoTouka < -2) return Fog::TooFogged;
    if (zanyoTouka < -0.25) return Fog::Fogged;
    return Fog::NotFogged;
}

std::optional<std::string> dialSectorAnswer(double zanyoA) {
    if (!(zanyoA >= 0 && zanyoA <= 180)) return std::nullopt;
    for (auto s = std::rbegin(kSectors); s != std::rend(kSectors); ++s)
        if (zanyoA >= s->from) return s->text;
    return std::nullopt;
}

int ransuuFromDraw(float u) {
    // In double the product of a float below 1 and 12 stays below 12.
    return static_cast<int>(std::floor(static_cast<double>(u) * 12)) + 1;
}

std::string dialGuessAnswer(int ransuu) {
    if (ransuu >= 1 && ransuu <= 6) return kGuesses[ransuu - 1];
    return "よくわかりません";
}

std::string redGreenAnswer(double t) {
    if (t >= 0.5 && t < 1.5) return "緑がよく見えます";
    if (t >= 0.25 && t < 0.5) return "緑が少しよく見えます";
    if (t >= 0 && t < 0.25) return "同じように見えます";
    if (t >= -0.25 && t < 0) return "赤が少しよく見えます";
    if (t >= -1.5 && t < -0.25) return "赤がよく見えます";
    return "どちらもよく見えません";
}

std::string plusQuarterAnswer(double t) {
    // The bounds differ from the red-green ones: 0 counts as "without", 1.5 as "with".
    if (t >= 0.25 && t <= 1.5) return "ある方がいいです";
    if (t > 0 && t < 0.25) return "あまり変わりません";
    if (t > -1.5 && t <= 0) return "ない方がいいです";
    return "よくわかりません";
}

std::string crossCylinderAnswer(double bokeOmote, double bokeUra) {
    // Both too blurred to compare; otherwise a difference up to 0.12 goes unnoticed.
    constexpr double kNoticeable = 0.12;
    if (bokeOmote > 2 && bokeUra > 2) return "よくわかりません";
    if (bokeOmote < bokeUra - kNoticeable) return "おもての方がよく見えます";
    if (bokeUra < bokeOmote - kNoticeable) return "うらの方がよく見えます";
    return "だいたい同じです";
}

std::string chartName(Chart chart) {
    switch (chart) {
    case Chart::Acuity:
        return "視力表";
    case Chart::RedGreen:
        return "ＲＧテスト";
    case Chart::Dial:
        return "放射線視標";
    case Chart::Dots:
        return "点群視標";
    case Chart::None:
        break;
    }
    return {};
}
