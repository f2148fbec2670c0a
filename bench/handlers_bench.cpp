// How long the window's handlers take, each with every procedure it runs. A trainee clicks
// a few times a second; anything near a millisecond would show as lag in the Qt view.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "tests/test_support.h"

namespace {

// The window on the program's own random source (the clock is read at every draw, which the
// dial guess and a new customer pay for); only beeps and printing are faked.
using Window = BasicTestForm<ClockRandom>;

// A customer whose residual keeps the optics on their general path (oblique cylinders,
// no special case), with the lens already moved off its start.
void prepare(Window& f) {
    f.setCase(-1.25f, -0.75f, 37);
    f.setLens(44, 2, 150);
}

bool crossCylinderIn(Window& f) {
    if (!f->Frame4.visible) f->Command2.userClick();
    return f->Frame4.visible;
}

double seconds(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// One lens change with the cross cylinder in: hyouji, keisann and ccboke. The sphere bar goes
// back and forth by one step, so every iteration is a real change.
void LensChangeWithCrossCylinder(benchmark::State& state) {
    Window f;
    prepare(f);
    if (!crossCylinderIn(f)) return state.SkipWithError("the cross cylinder does not go in");
    int direction = 1;
    for (auto _ : state) {
        f->HScroll1.userArrow(direction);
        direction = -direction;
        benchmark::DoNotOptimize(f->Label21.caption.data());
    }
}
BENCHMARK(LensChangeWithCrossCylinder);

// One press of the question button for a chart and question; `ccIn` puts the cross cylinder
// in first. `expected` is a sample of the answers that path gives, to be sure it is taken.
void Ask(benchmark::State& state, int h1, OptionButton Form1::*chart, OptionButton Form1::*question, bool ccIn,
         std::initializer_list<const char*> expected) {
    Window f;
    f.setCase(-1, -0.25f, 100);
    f.setLens(h1, 0, 90);
    ((*f).*chart).userSelect();
    ((*f).*question).userSelect();
    if (ccIn && !crossCylinderIn(f)) return state.SkipWithError("the cross cylinder does not go in");
    f->Command6.userClick();
    bool onPath = false;
    for (const char* e : expected) onPath = onPath || f->Label16.caption == e;
    if (!onPath) return state.SkipWithError(("unexpected answer: " + f->Label16.caption).c_str());
    for (auto _ : state) {
        f->Command6.userClick();
        benchmark::DoNotOptimize(f->Label16.caption.data());
    }
}
// Hidden correction S -1.00 C -0.25 A 100: no lens leaves a myopic fog of -1.125 D, four
// quarters of minus leave -0.125 D.
BENCHMARK_CAPTURE(Ask, Acuity, 40, &Form1::Option5, &Form1::Option1, false, {"０．５まで見えます"});
BENCHMARK_CAPTURE(Ask, RedGreen, 40, &Form1::Option6, &Form1::Option3, false, {"赤がよく見えます"});
BENCHMARK_CAPTURE(Ask, PlusQuarter, 40, &Form1::Option5, &Form1::Option4, false, {"ない方がいいです"});
BENCHMARK_CAPTURE(Ask, DialFogged, 40, &Form1::Option7, &Form1::Option2, false, {"３時と４時の間が濃く見えます"});
BENCHMARK_CAPTURE(Ask, DialUnfogged, 44, &Form1::Option7, &Form1::Option2, false,
                  {"よくわかりません", "１２時と６時が少し濃く見えます", "１時と７時が少し濃く見えます",
                   "２時と８時が少し濃く見えます", "３時と９時が少し濃く見えます", "４時と１０時が少し濃く見えます",
                   "５時と１１時が少し濃く見えます"});
BENCHMARK_CAPTURE(Ask, CrossCylinderComparison, 44, &Form1::Option8, &Form1::Option9, true,
                  {"おもての方がよく見えます", "うらの方がよく見えます", "だいたい同じです", "よくわかりません"});

// The next customer after an ended case with the lens, the handle and the cross cylinder
// moved, so that the reset runs every change handler. Only the click is timed.
void NewCustomer(benchmark::State& state) {
    Window f;
    prepare(f);
    int i = 0;
    for (auto _ : state) {
        f.setLens(44 + (i & 1), 3, 60 + (i & 1));
        ++i;
        crossCylinderIn(f);
        f->HScroll4.userTrack(+1);
        f->Command5.userClick();
        const auto from = std::chrono::steady_clock::now();
        const bool started = f->STARTbutton.userClick();
        const auto to = std::chrono::steady_clock::now();
        if (!started) return state.SkipWithError("no next customer after the end");
        state.SetIterationTime(seconds(from, to));
    }
}
BENCHMARK(NewCustomer)->UseManualTime();

// Putting the cross cylinder in, with the handle away from the phoropter axis so that the
// handle change runs inside. Only the click is timed.
void PutCrossCylinderIn(benchmark::State& state) {
    Window f;
    prepare(f);
    int i = 0;
    for (auto _ : state) {
        if (f->Frame4.visible) f->Command4.userClick();
        f->HScroll3.setValue(60 + (i++ & 1));
        const auto from = std::chrono::steady_clock::now();
        f->Command2.userClick();
        const auto to = std::chrono::steady_clock::now();
        if (!f->Frame4.visible) return state.SkipWithError("the cross cylinder does not go in");
        state.SetIterationTime(seconds(from, to));
    }
}
BENCHMARK(PutCrossCylinderIn)->UseManualTime();

void FlipCrossCylinder(benchmark::State& state) {
    Window f;
    prepare(f);
    if (!crossCylinderIn(f)) return state.SkipWithError("the cross cylinder does not go in");
    for (auto _ : state) {
        f->Command3.userClick();
        benchmark::DoNotOptimize(f->Label22.caption.data());
    }
}
BENCHMARK(FlipCrossCylinder);

void TurnHandle(benchmark::State& state) {
    Window f;
    prepare(f);
    if (!crossCylinderIn(f)) return state.SkipWithError("the cross cylinder does not go in");
    int direction = 1;
    for (auto _ : state) {
        f->HScroll4.userArrow(direction);
        direction = -direction;
        benchmark::DoNotOptimize(f->Label24.caption.data());
    }
}
BENCHMARK(TurnHandle);

}  // namespace

BENCHMARK_MAIN();
