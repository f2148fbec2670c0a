// What the record of a sitting costs: one step recorded after an action, and the review and the
// record table of long cases, which the views compute when they show them.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/teaching/record.h"
#include "app/teaching/review.h"
#include "app/teaching/sitting.h"
#include "tests/test_support.h"

namespace {

constexpr int kStepsPerRound = 1000;

// Recording alone: the window's account of a sphere change handed to the recorder (the window's
// work is timed in handlers_bench), a step each time. A fresh recorder every round keeps the
// memory bounded; its cost is shared by the round's steps.
void RecordOneStep(benchmark::State& state) {
    TestForm f;
    f.setCase(-1.25f, -0.75f, 37);
    f.setLens(44, 2, 150);
    FakeRecordClock clock{0, 700};
    WindowEvent change;
    change.kind = WindowEventKind::Lens;
    change.after = f->setting();
    for (auto _ : state) {
        Recorder recorder(clock);
        recorder.startCode(f->setting(), CaseCode(12345));
        for (int i = 0; i < kStepsPerRound; ++i) {
            change.after.bars[0] = static_cast<int16_t>(44 + (i & 1));
            recorder.windowEvent(change);
        }
        benchmark::DoNotOptimize(recorder.cases().back().steps.data());
    }
    state.SetItemsProcessed(state.iterations() * kStepsPerRound);
}
BENCHMARK(RecordOneStep)->Unit(benchmark::kMicrosecond);

// An action that changes nothing the customer is given (a question chosen): the window's account
// of it, and the recorder passing it by.
void ObserveWithoutStep(benchmark::State& state) {
    TestForm f;
    FakeRecordClock clock{0, 700};
    Recorder recorder(clock);
    f->setObserver(&recorder);
    recorder.startCode(f->setting(), CaseCode(12345));
    for (auto _ : state) f->Option3.userSelect();
}
BENCHMARK(ObserveWithoutStep);

// A case of `steps` steps: lens changes, the cross cylinder, questions now and then.
std::unique_ptr<Recorder> longCase(TestForm& f, const RecordClock& clock, int steps) {
    auto recorder = std::make_unique<Recorder>(clock);
    f->setObserver(recorder.get());
    recorder->startCode(f->setting(), CaseCode(12345));
    f->Option11.userSelect();
    HScrollBar* bars[] = {&f->HScroll1, &f->HScroll2, &f->HScroll3};
    for (int i = 0; static_cast<int>(recorder->current()->steps.size()) <= steps; ++i) {
        if (i % 9 == 4) {
            f->Command6.userClick();
            continue;
        }
        HScrollBar& bar = *bars[i % 3];
        bar.userArrow((i / 3) % 8 < 4 ? 1 : -1);
    }
    return recorder;
}

void ReviewOf500Steps(benchmark::State& state) {
    TestForm f;
    FakeRecordClock clock{0, 700};
    const auto recorder = longCase(f, clock, 500);
    const CaseRecord& c = *recorder->current();
    for (auto _ : state) {
        ReviewPlot plot = reviewPlot(c, 640, 320);
        auto table = reviewTable(c);
        auto summary = reviewSummary(c);
        std::string words = reviewPlotText(c);
        benchmark::DoNotOptimize(plot.equivalent.data());
        benchmark::DoNotOptimize(table.data());
        benchmark::DoNotOptimize(summary.data());
        benchmark::DoNotOptimize(words.data());
    }
}
BENCHMARK(ReviewOf500Steps)->Unit(benchmark::kMicrosecond);

// The record table and its CSV for a sitting of 100 customers of 50 steps each.
void SittingCsvOf100Customers(benchmark::State& state) {
    TestForm f;
    FakeRecordClock clock{0, 700};
    const auto recorder = longCase(f, clock, 50);
    std::vector<CaseRecord> cases(100, *recorder->current());
    for (auto _ : state) {
        std::string csv = sittingCsv(cases);
        benchmark::DoNotOptimize(csv.data());
    }
}
BENCHMARK(SittingCsvOf100Customers)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
