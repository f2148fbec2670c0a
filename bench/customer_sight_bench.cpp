// How long one picture of the customer's view takes, for each chart and for blurs from none to
// far beyond what the customer could still read. The charts themselves are drawn once, on the
// first picture; DrawCharts times that first call.

#include <benchmark/benchmark.h>

#include "display/customer_sight.h"

namespace {

constexpr Chart kCharts[] = {Chart::Acuity, Chart::RedGreen, Chart::Dial, Chart::Dots};

// Residuals by blur amount: none, about 0.35 D, 1.6 D (a typical fogged dial), 2 D (the widest
// blur still worked at full size, the slowest), 4.6 D and 14 D.
const Refraction kResiduals[] = {{0, 0, 90},     {-0.25, 0, 90},    {-0.75, -0.75, 37},
                                 {-1.45, 0, 90}, {-2.5, -2.5, 120}, {-9, -3, 163}};

// Drawing all four charts, as the first pictures after start-up pay it (one iteration, run
// first: the charts are kept afterwards).
void DrawCharts(benchmark::State& state) {
    for (auto _ : state)
        for (Chart c : kCharts) benchmark::DoNotOptimize(chartPicture(c).rgba.data());
}
BENCHMARK(DrawCharts)->Iterations(1)->Unit(benchmark::kMillisecond);

void Picture(benchmark::State& state) {
    const Chart chart = kCharts[state.range(0)];
    const Refraction zanyo = kResiduals[state.range(1)];
    customerSight(chart, zanyo);  // the chart is drawn on first use
    for (auto _ : state) {
        CustomerPicture p = customerSight(chart, zanyo);
        benchmark::DoNotOptimize(p.rgba.data());
    }
}
BENCHMARK(Picture)->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2, 3, 4, 5}})->Unit(benchmark::kMillisecond);

// Both faces of the cross cylinder: two pictures.
void CrossCylinderFaces(benchmark::State& state) {
    customerSight(Chart::Dots, {});
    for (auto _ : state) {
        CrossCylinderPictures p = customerSightThroughCrossCylinder(Chart::Dots, {-0.75, -0.75, 37}, 90);
        benchmark::DoNotOptimize(p.ura.rgba.data());
    }
}
BENCHMARK(CrossCylinderFaces)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
