#include "app/teaching/expert.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "optics/refraction.h"
#include "subject/answers.h"

namespace {

// The axis every answer of the dial names, from its darkest sector: 0, 15, ... 165 degrees
// (12 o'clock stands for 0 and 180 alike). Nothing for a guess or for "cannot see".
std::optional<int> dialAxis(const std::string& answer) {
    for (int a = 0; a < 180; a += 15)
        if (dialSectorAnswer(a) == answer) return a;
    return std::nullopt;
}

// How far down the acuity chart an answer reaches: 1.5 is 12, "cannot see" 0.
int acuityRank(const std::string& answer) {
    static const char* const kRows[] = {
        "よく見えません",     "０．１が見えます",   "０．２が見えます",   "０．３が見えます",   "０．４まで見えます",
        "０．５まで見えます", "０．６まで見えます", "０．７まで見えます", "０．８まで見えます", "０．９まで見えます",
        "１．０まで見えます", "１．２まで見えます", "１．５まで見えます",
    };
    for (int i = 0; i < 13; ++i)
        if (answer == kRows[i]) return i;
    // The hyperopic column says "０．１まで", "０．２まで", "０．３まで" where the myopic one says "が".
    if (answer == "０．１まで見えます") return 1;
    if (answer == "０．２まで見えます") return 2;
    if (answer == "０．３まで見えます") return 3;
    return 0;
}
constexpr int kBestAcuity = 12;

int wrapAxis(int a) {
    while (a <= 0) a += 180;
    while (a > 180) a -= 180;
    return a;
}

// Signed difference b - a of two axes, -89 to 90.
int axisDifference(int a, int b) {
    int d = (b - a) % 180;
    if (d > 90) d -= 180;
    if (d <= -90) d += 180;
    return d;
}

double quarter(double x) { return std::floor(x * 4 + 0.5) / 4; }

// The sphere that keeps spherical equivalent `se` with cylinder `C`; a value midway between two
// quarter steps takes the plus one.
double sphereFor(double se, double C) { return std::ceil((se - C / 2) * 4 - 1e-9) / 4; }

class Expert {
public:
    explicit Expert(ExamRoom& room) : room_(room) {}

    ExpertRun run() {
        const Reading r = room_.reading();
        fogAndFindAxis(r);
        addCylinder(r);
        unfog();
        balanceRedGreen();
        crossCylinderAxis();
        crossCylinderPower();
        confirmEndPoint();
        huntLastDegree();
        run_.lens = lens_;
        return std::move(run_);
    }

private:
    ExpertStep& record(std::string action, std::string answer, const char* why, ExpertMove move) {
        ExpertStep& s = run_.steps.emplace_back();
        s.action = std::move(action);
        s.lens = lens_;
        s.answer = std::move(answer);
        s.reason = why;
        s.move = move;
        s.crossCylinder = ccIn_;
        s.handle = ccIn_ ? handle_ : 0;
        return s;
    }
    void set(const Lens& lens, const char* why) {
        if (lens == lens_ && haveLens_) return;
        lens_ = lens;
        lens_.A = wrapAxis(lens_.A);
        lens_.S = std::clamp(lens_.S, -10.0, 10.0);
        lens_.C = std::clamp(lens_.C, -5.0, 0.0);
        haveLens_ = true;
        room_.setLens(lens_);
        record("レンズ " + lensText(lens_), "", why, ExpertMove::Lens);
    }
    std::string ask(Chart chart, Question q, const char* why) {
        const std::string answer = room_.ask(chart, q);
        ++run_.questions;
        ExpertStep& s = record(chartName(chart) + "で" + questionName(q), answer, why, ExpertMove::Ask);
        s.chart = chart;
        s.question = q;
        return answer;
    }
    void ccIn(int handle, const char* why) {
        handle = ((handle % 180) + 180) % 180;
        if (ccIn_ && handle == handle_) return;
        room_.crossCylinderIn(handle);
        ccIn_ = true;
        handle_ = handle;
        record("クロスシリンダー 柄 Ａ" + std::to_string(handle) + "°", "", why, ExpertMove::CrossCylinderIn);
    }
    void ccOut(const char* why) {
        if (!ccIn_) return;
        room_.crossCylinderOut();
        ccIn_ = false;
        record("クロスシリンダーを外す", "", why, ExpertMove::CrossCylinderOut);
    }

    // Plus sphere past anything the reading allows (it errs towards minus by up to 0.75 D in
    // sphere and cylinder), so the eye is fogged by 0.50 to 1.50 D; more plus while the dial is
    // guessed, less while it cannot be seen.
    void fogAndFindAxis(const Reading& r) {
        const double se = r.S + r.C / 2;
        Lens fog{quarter(se + 1.5), 0, 90};
        set(fog, kWhyFog);
        for (int tries = 0; tries < 8; ++tries) {
            const std::string answer = ask(Chart::Dial, Question::Dial, kWhyAxis);
            if (auto a = dialAxis(answer)) {
                dialAxis_ = *a;
                break;
            }
            fog.S += answer == kCannotSee ? -0.5 : 0.5;
            set(fog, kWhyFog);
        }
        // The darkest sector covers 15 degrees, the reading's axis is within 10: the axis is
        // taken in the middle of what both allow.
        int lo = -7, hi = 7;  // sector, about its centre
        const int toReading = dialAxis_ ? axisDifference(*dialAxis_, r.A) : 0;
        const int base = dialAxis_ ? *dialAxis_ : r.A;
        if (dialAxis_) {
            lo = std::max(lo, toReading - 9);
            hi = std::min(hi, toReading + 10);
            if (lo > hi) lo = hi = toReading;
        } else {
            lo = -9;
            hi = 10;
        }
        axis_ = wrapAxis(base + (lo + hi) / 2);
        fogSE_ = fog.S;
    }

    // Minus cylinder at that axis in quarter steps, a quarter of plus sphere for every half
    // dioptre so the fog stays, until the darkest line leaves the axis: it swings about 45
    // degrees when the cylinder matches and 90 when it overcorrects.
    void addCylinder(const Reading& r) {
        double C = std::min(-0.25, quarter(r.C + 0.75));
        for (int tries = 0; tries < 16; ++tries) {
            set(Lens{sphereFor(fogSE_, C), C, axis_}, kWhyCylinder);
            const std::string answer = ask(Chart::Dial, Question::Dial, kWhyCylinder);
            const auto a = dialAxis(answer);
            if (!a) break;
            const int off = std::abs(axisDifference(axis_, *a));
            if (off <= 22) {
                C -= 0.25;
                continue;
            }
            if (off >= 68 && C < -0.25) set(Lens{sphereFor(fogSE_, C + 0.25), C + 0.25, axis_}, kWhyCylinder);
            break;
        }
    }

    // Less plus a quarter at a time while the acuity improves; deep in the fog two steps can
    // read the same line, so a same answer stops only near the top of the chart.
    void unfog() {
        int best = acuityRank(ask(Chart::Acuity, Question::Acuity, kWhyUnfog));
        for (int tries = 0; tries < 24 && best < kBestAcuity; ++tries) {
            Lens next = lens_;
            next.S -= 0.25;
            set(next, kWhyUnfog);
            const int rank = acuityRank(ask(Chart::Acuity, Question::Acuity, kWhyUnfog));
            if (rank > best) {
                best = rank;
                continue;
            }
            if (rank == best && best < 7) continue;
            next.S += 0.25;
            set(next, kWhyUnfog);
            break;
        }
    }

    // Red better: too much plus; green better: too much minus. The balance ends on "same", or on
    // the red side where the answer turns.
    void balanceRedGreen() {
        int last = 0;
        for (int tries = 0; tries < 12; ++tries) {
            const std::string answer = ask(Chart::RedGreen, Question::RedGreen, kWhyRedGreen);
            int side = 0;
            if (answer == "赤がよく見えます" || answer == "赤が少しよく見えます") side = -1;
            if (answer == "緑がよく見えます" || answer == "緑が少しよく見えます") side = 1;
            if (side == 0) break;
            Lens next = lens_;
            if (last == -side && side == 1) {
                next.S += 0.25;  // back to the red side
                set(next, kWhyRedGreen);
                break;
            }
            if (last == -side) break;
            next.S += side == -1 ? -0.25 : 0.25;
            set(next, kWhyRedGreen);
            last = side;
        }
    }

    // The handle along the lens axis: the better face names the way to turn the axis. Turns
    // halve at every reversal until the faces look the same. That happens anywhere in a zone
    // around the axis, wider the weaker the cylinder (the faces must differ by 0.12 in blur), so
    // the edge of the zone is found between the last turn that was still told apart and the
    // first that was not, and the axis taken half the zone's width further on.
    void crossCylinderAxis() {
        int step = lens_.C <= -1 ? 4 : 8;
        int last = 0;
        for (int tries = 0; tries < 16; ++tries) {
            const int before = lens_.A;
            const int side = crossAxisSide();
            if (side == 0 && last != 0) return centreInZone(wrapAxis(before - last * step), before, last);
            if (side == 0) {
                // Same at once: turn on past the zone's half width to find where it ends.
                Lens next = lens_;
                next.A = wrapAxis(before + halfZone() + 1);
                set(next, kWhyCrossAxis);
                const int beyond = crossAxisSide();
                if (beyond != 0) return centreInZone(next.A, before, beyond);
                continue;
            }
            if (last != 0 && side != last) {
                if (step == 1) return;
                step = std::max(1, step / 2);
            }
            last = side;
            Lens next = lens_;
            next.A = wrapAxis(before + side * step);
            set(next, kWhyCrossAxis);
        }
    }
    // `outside` was told apart, pointing `side` towards `inside`, which was not: halve the gap
    // down to a degree, then go half the zone's width on into it.
    void centreInZone(int outside, int inside, int side) {
        for (int gap = axisDifference(outside, inside); std::abs(gap) > 1; gap = axisDifference(outside, inside)) {
            Lens mid = lens_;
            mid.A = wrapAxis(outside + gap / 2);
            set(mid, kWhyCrossAxis);
            (crossAxisSide() == 0 ? inside : outside) = mid.A;
        }
        Lens centre = lens_;
        centre.A = wrapAxis(inside + side * halfZone());
        set(centre, kWhyCrossAxis);
    }
    int crossAxisSide() {
        ccIn(lens_.A % 180, kWhyCrossAxis);
        const std::string answer = ask(Chart::Dots, Question::CrossCylinder, kWhyCrossAxis);
        if (answer == "おもての方がよく見えます") return 1;
        if (answer == "うらの方がよく見えます") return -1;
        return 0;
    }
    // Whole degrees either side of the axis where the faces look the same: the residual
    // cylinder 2 |C| sin d must give a blur difference of sqrt 2 times it above 0.12.
    int halfZone() const {
        const double c = std::max(0.25, std::abs(lens_.C));
        return static_cast<int>(std::asin(std::min(1.0, 0.12 / (2 * std::sqrt(2.0) * c))) * 180 / kPi);
    }

    // The handle 45 degrees from the lens axis, a cross-cylinder axis along it: the better face
    // says more or less minus cylinder, changed a quarter at a time with the spherical
    // equivalent kept.
    void crossCylinderPower() {
        const double se = lens_.S + lens_.C / 2;
        int last = 0;
        for (int tries = 0; tries < 16; ++tries) {
            ccIn(lens_.A + 45, kWhyCrossPower);
            const std::string answer = ask(Chart::Dots, Question::CrossCylinder, kWhyCrossPower);
            int side = 0;
            if (answer == "うらの方がよく見えます") side = -1;  // its minus axis lies along the lens axis
            if (answer == "おもての方がよく見えます") side = 1;
            if (side == 0) break;
            double C = lens_.C + side * 0.25;
            if (C > -0.25 && side == 1) break;
            if (last == -side && side == 1) {
                set(Lens{sphereFor(se, C), C, lens_.A}, kWhyCrossPower);
                break;
            }
            if (last == -side) break;
            set(Lens{sphereFor(se, C), C, lens_.A}, kWhyCrossPower);
            last = side;
        }
        ccOut(kWhyCrossPower);
    }

    // The most plus the eye accepts: S+0.25 D taken while it is wanted or makes no difference.
    void confirmEndPoint() {
        for (int tries = 0; tries < 8; ++tries) {
            const std::string answer = ask(Chart::Acuity, Question::PlusQuarter, kWhyEndPoint);
            endPointMet_ = answer == "ない方がいいです";
            if (answer != "ある方がいいです" && answer != "あまり変わりません") break;
            Lens next = lens_;
            next.S += 0.25;
            set(next, kWhyEndPoint);
            if (answer == "あまり変わりません") break;
        }
    }

    // Only the exact lens reads 1.5 with nothing to gain from plus (an eye left a little
    // hyperopic reads 1.5 too, and wants the plus). Failing that, lenses near
    // the one reached are tried nearest first: the axis a degree at a time either side, also
    // with a quarter less or more cylinder (sphere as it is, or a quarter the other way). The
    // cross cylinder cannot settle the power for axes near 90 and 180 in this window, nor the
    // axis near 45 and 135.
    void huntLastDegree() {
        if (exact(endPointMet_)) return;
        const Lens start = lens_;
        // The axis alone first, as the sphere and cylinder are nearly always right already.
        // In an order where no two lenses tried one after the other differ by half a dioptre of
        // cylinder without the sphere keeping their spherical equivalent.
        static constexpr double kNear[][2] = {{0, 0}, {0, 0.25}, {-0.25, 0.25}, {0, -0.25}, {0.25, -0.25}};
        // Weak cylinders leave the widest zones, and near 45 and 135 the widest errors.
        const int reach = start.C >= -0.5 ? 20 : 10;
        for (const auto& [dS, dC] : kNear)
            for (int d = 0; d <= reach; ++d)
                for (int sign : {1, -1}) {
                    if (d == 0 && (sign == -1 || (dS == 0 && dC == 0))) continue;
                    const Lens next{start.S + dS, start.C + dC, wrapAxis(start.A + sign * d)};
                    if (next.C > 0) continue;
                    set(next, kWhyAcuityHunt);
                    if (exact(false)) return;
                }
        set(start, kWhyAcuityHunt);
    }
    bool exact(bool plusRefused) {
        if (acuityRank(ask(Chart::Acuity, Question::Acuity, kWhyAcuityHunt)) != kBestAcuity) return false;
        return plusRefused || ask(Chart::Acuity, Question::PlusQuarter, kWhyAcuityHunt) == "ない方がいいです";
    }

    ExamRoom& room_;
    ExpertRun run_;
    Lens lens_;
    bool haveLens_ = false;
    bool ccIn_ = false;
    int handle_ = 0;
    std::optional<int> dialAxis_;
    int axis_ = 90;
    double fogSE_ = 0;
    bool endPointMet_ = false;  // the lens now set refused S+0.25 D
};

}  // namespace

std::string questionName(Question q) {
    switch (q) {
    case Question::Acuity:
        return "どこまで見えますか";
    case Question::Dial:
        return "どの線が濃く見えますか";
    case Question::RedGreen:
        return "赤と緑のどちらがよく見えますか";
    case Question::PlusQuarter:
        return "Ｓ+0.25Ｄはある方がいいですか";
    case Question::CrossCylinder:
        return "おもてとうらのどちらがよく見えますか";
    }
    return {};
}

std::string lensText(const Lens& lens) { return refractionText(lens.S, lens.C, lens.A); }

ExpertRun refract(ExamRoom& room) { return Expert(room).run(); }
