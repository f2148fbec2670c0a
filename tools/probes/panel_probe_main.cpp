// What the panel beside the window shows, from the desktop build, for the browser tests to
// compare with the page (tests/web/panel.test.mjs):
//
//   panel_probe case CODE N    the first N customers of CODE, one line each: the hidden
//                              correction (S C A) and the auto-refractor reading (Label17,
//                              the words after it left off)
//   panel_probe view ACTION..  after the actions ("click NAME", "select NAME", "arrow NAME ±1",
//                              one argument each), the customer's view: per picture a line
//                              "width height description" and a line of its RGBA bytes in hex
//   panel_probe review CODE ACTION..  after the actions on CODE's first customer, the review's
//                              checks ("check", name, verdict, steps, why), the expert's
//                              figures ("summary", ...) and steps ("expert", ...), tab-separated

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/teaching/procedure.h"
#include "app/teaching/review.h"
#include "app/web/page_sitting.h"

namespace {

int usage() {
    std::fputs("usage: panel_probe case CODE N | panel_probe view ACTION...\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string what = argv[1];
    if (what == "case" && argc == 4) {
        PageSitting sitting(1, argv[2]);
        const long n = std::strtol(argv[3], nullptr, 10);
        for (long i = 0; i < n; ++i) {
            const Form1& f = sitting.form();
            std::printf("%s %s %s\t%s\n", shortestDecimal(f.seikaiS).c_str(), shortestDecimal(f.seikaiC).c_str(),
                        shortestDecimal(f.seikaiA).c_str(), f.setting().reading.c_str());
            sitting.click("Command5");  // the end, then the next customer
            sitting.click("STARTbutton");
        }
        return 0;
    }
    if (what != "view" && !(what == "review" && argc >= 3)) return usage();
    PageSitting sitting(1, what == "review" ? argv[2] : "");
    for (int i = what == "review" ? 3 : 2; i < argc; ++i) {
        std::istringstream action(argv[i]);
        std::string kind, name;
        int direction = 0;
        action >> kind >> name >> direction;
        if (kind == "click")
            sitting.click(name);
        else if (kind == "select")
            sitting.select(name);
        else if (kind == "arrow")
            sitting.arrow(name, direction);
        else
            return usage();
    }
    if (what == "review") {
        const CaseRecord* c = sitting.sitting().reviewed();
        if (!c || c->status != CaseStatus::Ended) return usage();
        const ExpertPlay& expert = sitting.sitting().expertFor(*c);
        for (const ProcedureCheck& k : procedureReview(*c, expert.record)) {
            std::string steps;
            for (size_t n : k.steps) steps += (steps.empty() ? "" : " ") + std::to_string(n);
            std::printf("check\t%s\t%s\t%s\t%s\n", k.name.c_str(), k.good ? kGood : kCaution, steps.c_str(),
                        k.why.c_str());
        }
        const auto print = [](const char* kind, const auto& row) {
            std::printf("%s", kind);
            for (const std::string& field : row) std::printf("\t%s", field.c_str());
            std::printf("\n");
        };
        for (const auto& row : expertSummary(*c, expert.record)) print("summary", row);
        for (const auto& row : expertTable(expert.result.run)) print("expert", row);
        return 0;
    }
    sitting.customerView();
    for (size_t i = 0; const CustomerPicture* p = sitting.picture(i); ++i) {
        std::printf("%d %d %s\n", p->width, p->height, p->description.c_str());
        std::string hex;
        hex.reserve(p->rgba.size() * 2);
        static const char digits[] = "0123456789abcdef";
        for (const std::uint8_t b : p->rgba) {
            hex += digits[b >> 4];
            hex += digits[b & 15];
        }
        std::printf("%s\n", hex.c_str());
    }
    return 0;
}
