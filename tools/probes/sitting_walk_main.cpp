// A seeded walk of user actions on the window, as the web view drives it (PageSitting): after each
// action one line with the action and a digest of the state of every control, or with "full"
// the state itself; with "csv" only the record's CSV bytes after the walk, for a trainee with a
// name that must be quoted. The desktop and the WebAssembly build must print the same lines (in
// the CSV, but for its times).
//
// usage: sitting_walk [SEED [ACTIONS [full|csv]]]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/web/page_sitting.h"

namespace {

uint64_t next(uint64_t& state) {
    uint64_t z = (state += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

// FNV-1a, 64 bits.
uint64_t digest(const std::string& text) {
    uint64_t h = 0xcbf29ce484222325u;
    for (unsigned char c : text) h = (h ^ c) * 0x100000001b3u;
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    const uint64_t seed = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 20261208;
    const long actions = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 5000;
    const std::string mode = argc > 3 ? argv[3] : "";
    const bool full = mode == "full", csv = mode == "csv";
    if (seed == 0) return 2;  // seed 0 would take the clock

    PageSitting sitting(seed);
    if (csv) sitting.setTraineeName("山田 \"はな\", 花子");
    std::vector<std::string> buttons, options;
    std::vector<const HScrollBar*> bars;
    for (const Control* c : sitting.form().controls()) {
        if (c->kind() == Kind::Button && c != &sitting.form().Command1) buttons.push_back(c->name());  // not END
        if (c->kind() == Kind::Option) options.push_back(c->name());
        if (c->kind() == Kind::HScroll) bars.push_back(static_cast<const HScrollBar*>(c));
    }

    uint64_t state = seed;
    for (long i = 0; i < actions; ++i) {
        const uint64_t r = next(state);
        const int direction = (r >> 8) & 1 ? 1 : -1;
        const HScrollBar& bar = *bars[(r >> 16) % bars.size()];
        std::string action, result;
        switch (r % 10) {
        case 0:
        case 1:
        case 2:
            action = "arrow " + bar.name() + " " + std::to_string(direction);
            result = sitting.arrow(bar.name(), direction);
            break;
        case 3:
            action = "track " + bar.name() + " " + std::to_string(direction);
            result = sitting.track(bar.name(), direction);
            break;
        case 4: {
            const int value = bar.min + static_cast<int>((r >> 32) % static_cast<uint64_t>(bar.max - bar.min + 1));
            action = "release " + bar.name() + " " + std::to_string(value);
            result = sitting.release(bar.name(), value);
            break;
        }
        case 5:
        case 6:
        case 7: {
            const std::string& name = buttons[(r >> 16) % buttons.size()];
            action = "click " + name;
            result = sitting.click(name);
            break;
        }
        default: {
            const std::string& name = options[(r >> 16) % options.size()];
            action = "select " + name;
            result = sitting.select(name);
        }
        }
        if (csv) continue;
        if (full)
            std::printf("%ld %s %s\n", i, action.c_str(), result.c_str());
        else
            std::printf("%ld %s %016llx\n", i, action.c_str(), static_cast<unsigned long long>(digest(result)));
    }
    if (csv) {
        // The next customer left half measured for another code, whose first is being measured:
        // every kind of row.
        sitting.click("STARTbutton");
        sitting.arrow("HScroll1", 1);
        sitting.startCode(CaseCode(seed + 1).text(), true);
        sitting.arrow("HScroll1", 1);
        const std::string bytes = sitting.csv();
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
    return 0;
}
