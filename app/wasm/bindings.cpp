// The window for the web view: one Session per page, its actions returning the state of
// every control as JSON. Built a second time with TRAINER_TEST_HOOKS for the browser tests
// (never part of the site), which adds what only they ask: the hidden correction, the number
// formatters and the seeds the page asked for.

#include <emscripten/bind.h>

#include "app/web/session.h"
#include "optics/refraction.h"

#ifdef TRAINER_TEST_HOOKS
#include <vector>
#endif

namespace {

#ifdef TRAINER_TEST_HOOKS
std::vector<double> seedsAsked;

// The seeds of the sessions made so far, oldest first, as a JSON list.
std::string seeds() {
    std::string out = "[";
    for (size_t i = 0; i < seedsAsked.size(); ++i) out += (i ? "," : "") + shortestDecimal(seedsAsked[i]);
    return out + "]";
}

// The hidden correction, for the tests that play a case to a known score.
std::string hiddenCase(const Session& s) {
    const Form1& f = s.form();
    return "[" + shortestDecimal(f.seikaiS) + "," + shortestDecimal(f.seikaiC) + "," + shortestDecimal(f.seikaiA) + "]";
}
#endif

// The seed comes from JavaScript as a double (53 bits are plenty for a seed).
Session* makeSession(double seed) {
#ifdef TRAINER_TEST_HOOKS
    seedsAsked.push_back(seed);
#endif
    return new Session(static_cast<uint64_t>(seed));
}

}  // namespace

EMSCRIPTEN_BINDINGS(trainer) {
    emscripten::class_<Session>("Session")
        .constructor(&makeSession, emscripten::allow_raw_pointers())
        .function("design", &Session::design)
        .function("state", &Session::state)
        .function("click", &Session::click)
        .function("select", &Session::select)
        .function("arrow", &Session::arrow)
        .function("track", &Session::track)
        .function("release", &Session::release)
        .function("focusAfter", &Session::focusAfter)
#ifdef TRAINER_TEST_HOOKS
        .function("hiddenCase", &hiddenCase)
#endif
        ;
#ifdef TRAINER_TEST_HOOKS
    emscripten::function("format00", &format00);
    emscripten::function("shortestDecimal", &shortestDecimal);
    emscripten::function("seeds", &seeds);
#endif
}
