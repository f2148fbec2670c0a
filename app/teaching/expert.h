#pragma once
// お手本: a refraction done the way the trade teaches it, from the reading and the customer's
// answers alone. Fog with plus until the dial answers, take the axis from the darkest line, add
// cylinder under fog, unfog to the most plus with the best acuity, balance on red-green, refine
// the axis and then the power with the cross cylinder keeping the spherical equivalent, and
// confirm the end point with S+0.25 D. The window's acuity chart tells the exact lens from one a
// degree or a quarter off, which a real eye does not: a last step of its own, under a reason
// that says so, hunts that last degree or quarter.

#include <string>
#include <vector>

#include "app/teaching/exam_room.h"

// Why a step was taken, as the steps list shows it.
inline constexpr const char* kWhyFog = "雲霧";
inline constexpr const char* kWhyAxis = "乱視軸";
inline constexpr const char* kWhyCylinder = "円柱追加";
inline constexpr const char* kWhyUnfog = "雲霧をとる";
inline constexpr const char* kWhyRedGreen = "赤緑";
inline constexpr const char* kWhyCrossAxis = "クロスシリンダー 軸";
inline constexpr const char* kWhyCrossPower = "クロスシリンダー 度数";
inline constexpr const char* kWhyEndPoint = "終点確認";
inline constexpr const char* kWhyAcuityHunt = "視力表で最後の詰め（この画面だけの手がかり）";

// What a step did to the window: the lens, a question, the cross cylinder in (or turned) or out.
enum class ExpertMove { Lens, Ask, CrossCylinderIn, CrossCylinderOut };

struct ExpertStep {
    std::string action;  // what was done: a lens set, a question asked, the cross cylinder moved
    Lens lens;           // the lens after it
    std::string answer;  // the customer's answer; empty for an action that asks nothing
    std::string reason;  // one of the kWhy texts
    ExpertMove move = ExpertMove::Lens;
    Chart chart = Chart::None;  // Ask: the chart shown and the question asked
    Question question = Question::Acuity;
    bool crossCylinder = false;  // the cross cylinder after the step, and its handle while in
    int handle = 0;
};

struct ExpertRun {
    std::vector<ExpertStep> steps;
    Lens lens;  // the final lens
    int questions = 0;
};

// Refracts the customer in `room`; the same answers give the same steps.
ExpertRun refract(ExamRoom& room);

// A question as the expert puts it to the customer: "どの線が濃く見えますか".
std::string questionName(Question q);

// The lens text of a step, e.g. "Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°".
std::string lensText(const Lens& lens);
