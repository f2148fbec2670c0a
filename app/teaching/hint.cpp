#include "app/teaching/hint.h"

#include <cmath>
#include <vector>

namespace {

// A window state as far as the expert's path goes: the lens and the cross cylinder.
struct State {
    Lens lens;
    bool crossCylinder = false;
    int handle = 0;
};

bool same(const State& a, const State& b) {
    return std::abs(a.lens.S - b.lens.S) < 1e-6 && std::abs(a.lens.C - b.lens.C) < 1e-6 &&
           a.lens.A % 180 == b.lens.A % 180 && a.crossCylinder == b.crossCylinder &&
           (!a.crossCylinder || a.handle == b.handle);
}

State stateOf(const Step& s) {
    return {Lens{s.lens.S, s.lens.C, static_cast<int>(s.lens.A)}, s.crossCylinder.in, s.crossCylinder.handle};
}

// A stretch of the expert's path at one state: the step that brought it there (none for the
// first) and the questions it asked there.
struct Stretch {
    State state;
    int entry = -1;
    std::vector<int> asks;
};

std::vector<Stretch> stretchesOf(const ExpertPlay& expert) {
    std::vector<Stretch> out(1);
    out[0].state.lens = expert.startLens;
    const auto& steps = expert.result.run.steps;
    for (int i = 0; i < static_cast<int>(steps.size()); ++i) {
        const ExpertStep& s = steps[static_cast<size_t>(i)];
        if (s.move == ExpertMove::Ask) {
            out.back().asks.push_back(i);
            continue;
        }
        out.push_back({State{s.lens, s.crossCylinder, s.handle}, i, {}});
    }
    return out;
}

// Why a step is taken, in a sentence, by the reason the expert gave it.
struct Why {
    const char* reason;
    const char* sentence;
};
constexpr Why kWhySentences[] = {
    {kWhyFog, "球面を＋側にして雲霧すると、放射線視標で濃く見える線が乱視の軸を教えてくれます。"},
    {kWhyAxis, "雲霧したまま放射線視標で濃く見える線をたずね、乱視の軸を決めます。"},
    {kWhyCylinder, "雲霧を保ったまま円柱を加え、濃く見える線がなくなるまで乱視を打ち消します。"},
    {kWhyUnfog, "視力が上がるあいだだけ＋を減らし、最もプラス寄りで最良の視力をさがします。"},
    {kWhyRedGreen, "赤と緑が同じに見えるところが、球面のつり合うところです。"},
    {kWhyCrossAxis, "柄を円柱の軸に合わせ、よく見える面の方へ軸をまわします。"},
    {kWhyCrossPower, "柄を円柱の軸から45°にし、等価球面を保ちながら円柱の度数を合わせます。"},
    {kWhyEndPoint, "Ｓ+0.25Ｄを断られるところが、最もプラス寄りの終点です。"},
    {kWhyAcuityHunt, "これはこの画面だけの手がかりで、実際の目ではここまで詰められません。"},
};
constexpr const char* kToLens = "レンズを ";
constexpr const char* kToLensEnd = " にしましょう。";
constexpr const char* kShow = "を出して「";
constexpr const char* kAskEnd = "」とたずねましょう。";
constexpr const char* kCrossIn = "クロスシリンダーを入れ、中間軸を ";
constexpr const char* kCrossInEnd = "° にしましょう。";
constexpr const char* kCrossOut = "クロスシリンダーをはずしましょう。";
constexpr const char* kEnd = "お手本はここまでです。「測定終了正解は？」で終えましょう。";
constexpr const char* kFirst = "まず";

std::string whySentence(const std::string& reason) {
    for (const Why& w : kWhySentences)
        if (reason == w.reason) return w.sentence;
    return {};
}

Hint hintFor(const ExpertStep& s, bool first) {
    Hint h;
    std::string what;
    switch (s.move) {
    case ExpertMove::Lens:
        h.kind = Hint::Kind::Lens;
        h.lens = s.lens;
        what = kToLens + lensText(s.lens) + kToLensEnd;
        break;
    case ExpertMove::Ask:
        h.kind = Hint::Kind::Ask;
        h.chart = s.chart;
        h.question = s.question;
        what = chartName(s.chart) + kShow + questionName(s.question) + kAskEnd;
        break;
    case ExpertMove::CrossCylinderIn:
        h.kind = Hint::Kind::CrossCylinderIn;
        h.handle = s.handle;
        what = kCrossIn + std::to_string(s.handle == 0 ? 180 : s.handle) + kCrossInEnd;
        break;
    case ExpertMove::CrossCylinderOut:
        h.kind = Hint::Kind::CrossCylinderOut;
        what = kCrossOut;
        break;
    }
    h.text = (first ? kFirst : "") + what + whySentence(s.reason);
    return h;
}

// A step leading from the window as it is to `to`: the lens first, then the cross cylinder.
Hint hintTowards(const State& now, const Stretch& to, const std::vector<ExpertStep>& steps) {
    const ExpertStep& entry = steps[static_cast<size_t>(to.entry)];
    ExpertStep s = entry;
    State lensOnly = now;
    lensOnly.lens = to.state.lens;
    if (!same(lensOnly, now)) {
        s.move = ExpertMove::Lens;
        s.lens = to.state.lens;
    } else if (to.state.crossCylinder) {
        s.move = ExpertMove::CrossCylinderIn;
        s.handle = to.state.handle;
    } else {
        s.move = ExpertMove::CrossCylinderOut;
    }
    return hintFor(s, to.entry == 0);
}

}  // namespace

Hint nextHint(const CaseRecord& c, const ExpertPlay& expert) {
    const std::vector<ExpertStep>& steps = expert.result.run.steps;
    const std::vector<Stretch> path = stretchesOf(expert);
    size_t at = 0;       // the stretch of the path matched last
    size_t asked = 0;    // its questions asked so far, in the expert's order
    bool onPath = true;  // the window is at that stretch's state
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        if (s.kind == StepKind::Start || (s.kind == StepKind::Mode && s.choice == static_cast<int>(Mode::Sample))) {
            // A new customer (the sample mode brings one) starts the path again.
            at = asked = 0;
            onPath = true;
            continue;
        }
        if (s.kind == StepKind::Mode) continue;
        if (s.kind == StepKind::Hint || s.kind == StepKind::End) continue;
        if (s.kind == StepKind::Question) {
            const auto& asks = path[at].asks;
            if (onPath && asked < asks.size() &&
                steps[static_cast<size_t>(asks[asked])].question == static_cast<Question>(s.choice))
                ++asked;
            continue;
        }
        if (s.kind == StepKind::Chart || s.kind == StepKind::CrossCylinderFlip) continue;
        const State now = stateOf(s);
        if (onPath && same(now, path[at].state)) continue;
        onPath = false;
        for (size_t k = at; k < path.size(); ++k) {
            if (!same(now, path[k].state)) continue;
            if (k != at) asked = 0;
            at = k;
            onPath = true;
            break;
        }
    }
    if (onPath) {
        const auto& asks = path[at].asks;
        if (asked < asks.size()) return hintFor(steps[static_cast<size_t>(asks[asked])], false);
        if (at + 1 < path.size()) return hintFor(steps[static_cast<size_t>(path[at + 1].entry)], at == 0);
        Hint end;
        end.text = kEnd;
        return end;
    }
    const State now = stateOf(c.steps.back());
    const bool done = asked >= path[at].asks.size();
    const size_t to = done && at + 1 < path.size() ? at + 1 : at;
    if (path[to].entry < 0) {
        // Back to the window as the expert found it: only the lens matters there.
        Hint h;
        h.kind = Hint::Kind::Lens;
        h.lens = path[0].state.lens;
        h.text = kToLens + lensText(h.lens) + kToLensEnd;
        if (now.crossCylinder && same(State{now.lens}, State{h.lens})) {
            h.kind = Hint::Kind::CrossCylinderOut;
            h.text = kCrossOut;
        }
        return h;
    }
    return hintTowards(now, path[to], steps);
}

std::vector<std::string> hintPhrases() {
    std::vector<std::string> out = {kToLens,     kToLensEnd, kShow, kAskEnd, kCrossIn,
                                    kCrossInEnd, kCrossOut,  kEnd,  kFirst};
    for (const Why& w : kWhySentences) out.push_back(w.sentence);
    for (Question q :
         {Question::Acuity, Question::Dial, Question::RedGreen, Question::PlusQuarter, Question::CrossCylinder})
        out.push_back(questionName(q));
    return out;
}
