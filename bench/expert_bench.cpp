// The expert on many customers: customer 0 of codes 1..N and customer 1 + code % 5 of every
// fifth. Prints the distributions of score, questions and steps, the share with the full score
// and with sphere and cylinder exact, and the time per customer.
//   expert_bench [N]
//   expert_bench --steps I   the steps taken for the I-th customer of the run
//   expert_bench --procedure the procedure review of a 500-step case, time per review

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/teaching/expert_window.h"
#include "app/teaching/procedure.h"
#include "app/teaching/sitting.h"
#include "optics/refraction.h"

namespace {

void printDistribution(const char* name, const std::vector<int>& values) {
    std::map<int, int> counts;
    for (int v : values) ++counts[v];
    std::printf("%s:", name);
    for (const auto& [v, n] : counts) std::printf(" %d:%d", v, n);
    std::vector<int> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    std::printf("\n  median %d, p90 %d, p99 %d, max %d\n", sorted[sorted.size() / 2], sorted[sorted.size() * 9 / 10],
                sorted[sorted.size() * 99 / 100], sorted.back());
}

}  // namespace

namespace {

CaseCode codeOf(int i) { return CaseCode(static_cast<uint64_t>(i) * 2654435761u); }
uint64_t customerOf(int i) { return i % 5 == 0 ? 1 + static_cast<uint64_t>(i / 5) % 5 : 0; }

}  // namespace

namespace {

class NoPlatform : public Platform {
public:
    void beep() override {}
    void quit() override {}
    PrintResult printWindow() override { return PrintResult::NoPrinter; }
    void showNotice(const std::string&) override {}
};

// A trainee who wanders for 500 steps (lens bars, charts, questions, the cross cylinder) and
// ends; the checks on that case, timed over many runs.
int procedureBench() {
    NoPlatform platform;
    SteadyRecordClock clock;
    Sitting sitting(platform, clock, CaseCode(12345));
    Form1& f = sitting.form();
    uint64_t state = 1;
    const auto next = [&](uint32_t n) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>((state >> 33) % n);
    };
    while (sitting.cases().back().steps.size() < 500) {
        switch (next(8)) {
        case 0:
            f.HScroll1.userRelease(20 + static_cast<int>(next(40)));
            break;
        case 1:
            f.HScroll2.userRelease(static_cast<int>(next(12)));
            break;
        case 2:
            f.HScroll3.userRelease(1 + static_cast<int>(next(179)));
            break;
        case 3:
            (next(2) ? f.Option5 : f.Option7).userSelect();
            break;
        case 4:
            (next(2) ? f.Command2 : f.Command4).userClick();
            break;
        case 5:
            f.HScroll4.userRelease(1 + static_cast<int>(next(179)));
            break;
        default:
            (next(2) ? f.Option1 : f.Option2).userSelect();
            f.Command6.userClick();
        }
    }
    f.Command5.userClick();
    const CaseRecord& c = sitting.cases().back();
    const CaseRecord& expert = sitting.expertFor(c).record;
    const int runs = 2000;
    size_t checks = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) checks += procedureReview(c, expert).size();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("procedure review of a %zu-step case: %zu checks, %.4f ms per review\n", c.steps.size(), checks / runs,
                1000 * seconds / runs);
    // The expert judged by the same checks, on the bench's customers.
    int failed = 0, made = 0;
    for (int i = 1; i <= 10000; ++i) {
        const ExpertPlay play = playExpertRecorded(codeOf(i), customerOf(i));
        for (const ProcedureCheck& k : procedureReview(play.record, play.record)) {
            ++made;
            if (k.good) continue;
            ++failed;
            std::printf("expert fails: customer %d: %s %s\n", i, k.name.c_str(), k.detail.c_str());
        }
    }
    std::printf("the expert on 10000 customers: %d checks made, %d failed\n", made, failed);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--procedure") return procedureBench();
    if (argc > 2 && std::string(argv[1]) == "--steps") {
        const int i = std::atoi(argv[2]);
        WindowExamRoom room(codeOf(i), customerOf(i));
        const ExpertRun run = refract(room);
        std::printf("%s customer %d, reading %s\n", codeOf(i).text().c_str(), static_cast<int>(customerOf(i)),
                    room.form().Label17.caption.c_str());
        for (const ExpertStep& s : run.steps)
            std::printf("%-44s | %-28s | %-30s | %s\n", s.action.c_str(), lensText(s.lens).c_str(), s.answer.c_str(),
                        s.reason.c_str());
        std::printf("correction %s, score %d\n", room.form().Label7.caption.c_str(), room.endScore());
        return 0;
    }
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    std::vector<int> scores, questions, steps;
    int exact = 0, full = 0, atLeast95 = 0;
    // The same before the acuity chart's last hunt: the trade's procedure on its own.
    int tradeExact = 0, tradeFull = 0, trade95 = 0, hunted = 0;
    std::vector<int> tradeScores, tradeQuestions;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= n; ++i) {
        const uint64_t customer = customerOf(i);
        WindowExamRoom room(codeOf(i), customer);
        const ExpertRun run = refract(room);
        const Form1& f = room.form();
        if (run.lens.S == f.seikaiS && run.lens.C == f.seikaiC) ++exact;
        Lens trade = run.lens;
        int asked = 0;
        for (const ExpertStep& step : run.steps) {
            if (step.reason == std::string(kWhyAcuityHunt)) break;
            trade = step.lens;
            if (!step.answer.empty()) ++asked;
        }
        if (!(trade == run.lens)) ++hunted;
        const Refraction need{f.seikaiS, f.seikaiC, f.seikaiA};
        const int tradeScore =
            tennsuu(zanyoDosuu(need, {trade.S, trade.C, static_cast<double>(trade.A)}), trade.A, f.seikaiA);
        tradeExact += trade.S == f.seikaiS && trade.C == f.seikaiC;
        tradeFull += tradeScore == 100;
        trade95 += tradeScore >= 95;
        tradeScores.push_back(tradeScore);
        tradeQuestions.push_back(asked);
        const int score = room.endScore();
        if (score == 100) ++full;
        if (score >= 95) ++atLeast95;
        if (std::getenv("EXPERT_BENCH_MISSES") &&
            (tradeScore < 95 || score < 95 || run.lens.S != f.seikaiS || run.lens.C != f.seikaiC))
            std::printf("miss: code %d customer %d need %.2f %.2f %.0f before the hunt %s %d, got %s score %d\n", i,
                        static_cast<int>(customer), f.seikaiS, f.seikaiC, f.seikaiA, lensText(trade).c_str(),
                        tradeScore, lensText(run.lens).c_str(), score);
        scores.push_back(score);
        questions.push_back(run.questions);
        steps.push_back(static_cast<int>(run.steps.size()));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("customers: %d\n", n);
    printDistribution("score", scores);
    printDistribution("questions", questions);
    printDistribution("steps", steps);
    std::printf("full score: %.2f %%\nscore >= 95: %.2f %%\nS and C exact: %.2f %%\n", 100.0 * full / n,
                100.0 * atLeast95 / n, 100.0 * exact / n);
    std::printf("\nbefore the acuity chart's last hunt (the trade's procedure alone):\n");
    printDistribution("score", tradeScores);
    printDistribution("questions", tradeQuestions);
    std::printf(
        "full score: %.2f %%\nscore >= 95: %.2f %%\nS and C exact: %.2f %%\nlens changed by the hunt: %.2f %%\n",
        100.0 * tradeFull / n, 100.0 * trade95 / n, 100.0 * tradeExact / n, 100.0 * hunted / n);
    std::printf("\ntime per customer: %.3f ms\n", 1000 * seconds / n);
}
