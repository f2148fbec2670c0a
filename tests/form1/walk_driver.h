#pragma once
// The careless trainee of the random walk: which action comes next, chosen from a seeded
// generator, and how it is done to the window. The checks of what the window makes of it are
// the walk's own (random_walk_test.cpp).

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "tests/test_support.h"

enum class Verb { Click, Select, Arrow, Track, Release };

struct Action {
    Verb verb;
    Control* target;
    int arg = 0;
};

inline std::string describe(const Action& a) {
    std::string s = a.target->name();
    switch (a.verb) {
    case Verb::Click:
        return s + ".userClick()";
    case Verb::Select:
        return s + ".userSelect()";
    case Verb::Arrow:
        return s + ".userArrow(" + (a.arg < 0 ? "-1" : "+1") + ")";
    case Verb::Track:
        return s + ".userTrack(" + (a.arg < 0 ? "-1" : "+1") + ")";
    case Verb::Release:
        return s + ".userRelease(" + std::to_string(a.arg) + ")";
    }
    return s;
}

inline bool perform(const Action& a) {
    switch (a.verb) {
    case Verb::Click:
        return static_cast<CommandButton*>(a.target)->userClick();
    case Verb::Select:
        return static_cast<OptionButton*>(a.target)->userSelect();
    case Verb::Arrow:
        return static_cast<HScrollBar*>(a.target)->userArrow(a.arg);
    case Verb::Track:
        return static_cast<HScrollBar*>(a.target)->userTrack(a.arg);
    case Verb::Release:
        return static_cast<HScrollBar*>(a.target)->userRelease(a.arg);
    }
    return false;
}

// Chooses the trainee's next action, and feeds the window's random source, from one seeded
// generator: a walk replays exactly from its seed.
class TraineeDriver {
public:
    explicit TraineeDriver(uint32_t seed) : rng_(seed) {}

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    // The fake random source hands out numbers of the same engine, now and then the ends of [0, 1).
    void feedRandom(FakeRandom& random) {
        auto& q = random.queue;
        while (q.size() < 8) {
            const int pick = uniform(0, 31);
            if (pick == 0)
                q.push_back(0.0f);
            else if (pick == 1)
                q.push_back(std::nextafter(1.0f, 0.0f));
            else
                q.push_back(static_cast<float>(rng_() >> 8) * 0x1p-24f);
        }
    }

    Action modeAction(Form1& f) {
        OptionButton* modes[] = {&f.Option10, &f.Option11, &f.Option12};
        return {Verb::Select, modes[uniform(0, 2)]};
    }

    Action scrollAction(HScrollBar& s) {
        const int kind = uniform(0, 9);
        if (kind < 4) return {Verb::Arrow, &s, chance(0.5) ? -1 : 1};
        if (kind < 7) return {Verb::Track, &s, chance(0.5) ? -1 : 1};
        return {Verb::Release, &s, uniform(s.min - 2, s.max + 2)};
    }

    Action randomAction(Form1& f) {
        const int roll = uniform(0, 99);
        if (roll < 30) {
            HScrollBar* lens[] = {&f.HScroll1, &f.HScroll2, &f.HScroll3};
            return scrollAction(*lens[uniform(0, 2)]);
        }
        if (roll < 31) return exactLensAction(f);
        if (roll < 39) return scrollAction(f.HScroll4);
        if (roll < 45) return {Verb::Click, &f.Command2};
        if (roll < 50) return {Verb::Click, &f.Command3};
        if (roll < 53) return {Verb::Click, &f.Command4};
        if (roll < 61) {
            OptionButton* charts[] = {&f.Option5, &f.Option6, &f.Option7, &f.Option8};
            return {Verb::Select, charts[uniform(0, 3)]};
        }
        if (roll < 69) {
            OptionButton* questions[] = {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option9};
            return {Verb::Select, questions[uniform(0, 4)]};
        }
        if (roll < 84) return {Verb::Click, &f.Command6};
        if (roll < 89) return modeAction(f);
        if (roll < 90) return {Verb::Click, &f.Command5};
        if (roll < 95) return {Verb::Click, &f.STARTbutton};
        if (roll < 99) return {Verb::Click, &f.Command7};
        // Now and then the trainee ends the program itself.
        if (chance(0.1)) return {Verb::Click, &f.Command1};
        return {Verb::Click, &f.Command6};
    }

    // A trainee who has read the hidden correction in practice mode dials it in, one bar of it.
    Action exactLensAction(Form1& f) {
        switch (uniform(0, 2)) {
        case 0:
            return {Verb::Release, &f.HScroll1, static_cast<int>(std::lround(40 - 4 * f.seikaiS))};
        case 1:
            return {Verb::Release, &f.HScroll2, static_cast<int>(std::lround(-4 * f.seikaiC))};
        default:
            return {Verb::Release, &f.HScroll3, static_cast<int>(std::lround(180 - f.seikaiA))};
        }
    }

private:
    std::mt19937 rng_;
};
