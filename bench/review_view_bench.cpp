// What the record panel costs on the desktop for a long case: the review plot of a 500-step
// case worked out and painted, and the whole panel brought up to date after one more action.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "app/qt/record_panel.h"
#include "app/qt/review_plot.h"
#include "app/teaching/sitting.h"
#include "tests/test_support.h"

namespace {

// A sitting in practice mode whose case has `steps` steps: lens changes and now and then a question.
struct LongCase {
    FakePlatform platform;
    FakeRecordClock clock{0, 700};
    Sitting sitting{platform, clock, CaseCode(12345)};
    int i = 0;

    explicit LongCase(size_t steps) {
        Form1& f = sitting.form();
        f.Option11.userSelect();
        while (sitting.cases().back().steps.size() < steps) step();
    }
    void step() {
        Form1& f = sitting.form();
        if (i++ % 9 == 4) {
            f.Command6.userClick();
            return;
        }
        HScrollBar* bars[] = {&f.HScroll1, &f.HScroll2, &f.HScroll3};
        HScrollBar& bar = *bars[i % 3];
        bar.userArrow((i / 3) % 8 < 4 ? 1 : -1);
    }
};

// The plot's geometry worked out anew and painted whole, at the size the panel gives it (a case
// chosen, or printed; a step more paints only its new pieces of the lines).
void ReviewPlotOf500StepsDrawn(benchmark::State& state) {
    LongCase c(500);
    QImage image(static_cast<int>(kReviewPlotWidth), static_cast<int>(kReviewPlotHeight),
                 QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const ReviewPlot plot = reviewPlot(c.sitting.cases().back(), kReviewPlotWidth, kReviewPlotHeight);
        QPainter painter(&image);
        paintReviewPlot(painter, plot);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(ReviewPlotOf500StepsDrawn)->Unit(benchmark::kMicrosecond);

// One more lens change in a 500-step case and the panel brought up to date: the step's row,
// the record's row, the summary, the plot's words and the customer's view (practice mode shows
// it), then the plot painted. The case grows by one step each round.
void PanelAfterAnActionAt500Steps(benchmark::State& state) {
    LongCase c(500);
    RecordPanel panel(c.sitting);
    panel.resize(RecordPanel::kWidth, 655);
    panel.refresh();
    auto* plot = panel.findChild<ReviewPlotWidget*>(QStringLiteral("ReviewPlot"));
    QImage image(plot->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        c.step();
        panel.refresh();
        plot->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["steps_at_end"] = static_cast<double>(c.sitting.cases().back().steps.size());
}
BENCHMARK(PanelAfterAnActionAt500Steps)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
