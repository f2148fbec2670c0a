// What keeping a sitting costs on the desktop: one input kept (the window's handlers, the record,
// the journal line with the window's fingerprint, appended to the file) at the 500th step of a
// case and at the 50th case of a sitting; and resuming a sitting of 50 cases of 40 steps (reading
// its journal and playing it into a fresh window); and the same sitting in brief, written and
// resumed. Medians of plain clock readings, in ms.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "app/qt/sitting_store.h"
#include "app/teaching/journal.h"
#include "app/teaching/sitting.h"
#include "tests/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A case of `steps` lens and cross-cylinder steps, ended, and the next customer.
void playCase(Form1& f, int steps) {
    f.Option11.userSelect();
    f.Command2.userClick();
    for (int i = 0; i < steps; ++i) {
        if (i % 4 == 3)
            f.HScroll4.userArrow(i % 8 < 4 ? 1 : -1);
        else
            f.HScroll1.userArrow(i % 2 ? 1 : -1);
    }
    f.Command5.userClick();
    f.STARTbutton.userClick();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    FakePlatform platform;
    SteadyRecordClock clock;

    {
        Sitting sitting(platform, clock, CaseCode(12345));
        SittingStore store(sitting, dir.path());
        store.start(false);
        for (int c = 0; c < 49; ++c) playCase(sitting.form(), 40);
        Form1& f = sitting.form();
        f.Option11.userSelect();
        for (int i = 0; i < 499; ++i) f.HScroll1.userArrow(i % 2 ? 1 : -1);
        std::vector<double> times;
        for (int i = 0; i < 301; ++i) {
            const auto t0 = Clock::now();
            f.HScroll1.userArrow(i % 2 ? 1 : -1);
            times.push_back(ms(Clock::now() - t0));
        }
        std::printf("keep one input (case 50, steps 500-800, written to the file): median %.3f ms, max %.3f ms\n",
                    median(times), *std::max_element(times.begin(), times.end()));
        std::printf("  journal %zu bytes\n", sitting.journal().size());
    }

    Sitting source(platform, clock, CaseCode(54321));
    for (int c = 0; c < 50; ++c) playCase(source.form(), 38);  // 40 steps with the cross cylinder in and the end
    const std::string journal = source.journal();
    std::vector<double> times;
    for (int i = 0; i < 7; ++i) {
        Sitting resumed(platform, clock, CaseCode(1));
        const auto t0 = Clock::now();
        const JournalRead read = readKept(journal, "");
        const bool ok = read.sitting && resumed.resume(*read.sitting);
        times.push_back(ms(Clock::now() - t0));
        if (!ok) {
            std::fprintf(stderr, "resume failed\n");
            return 1;
        }
    }
    size_t steps = 0;
    for (const CaseRecord& c : source.cases()) steps += c.steps.size() - 1;
    std::printf("resume %zu cases, %zu steps (%zu bytes of journal): median %.1f ms\n", source.cases().size(), steps,
                journal.size(), median(times));

    // The same sitting in brief, as a learning system keeps it: written at a case's end, and resumed.
    std::string brief;
    times.clear();
    for (int i = 0; i < 7; ++i) {
        const auto t0 = Clock::now();
        brief = source.brief();
        times.push_back(ms(Clock::now() - t0));
    }
    std::printf("brief of %zu cases (%zu characters): written in %.2f ms", source.cases().size(), brief.size(),
                median(times));
    times.clear();
    for (int i = 0; i < 7; ++i) {
        Sitting resumed(platform, clock, CaseCode(1));
        const auto t0 = Clock::now();
        const bool ok = resumed.resumeBrief(brief);
        times.push_back(ms(Clock::now() - t0));
        if (!ok) {
            std::fprintf(stderr, "resume from brief failed\n");
            return 1;
        }
    }
    std::printf(", resumed in %.2f ms (medians)\n", median(times));
    return 0;
}
