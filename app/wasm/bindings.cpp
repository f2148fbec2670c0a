// The window for the web view: one Session per page, its actions returning the state of
// every control as JSON, and the number formatter for the browser tests.

#include <emscripten/bind.h>

#include "app/web/session.h"
#include "optics/refraction.h"

namespace {

// The seed comes from JavaScript as a double (53 bits are plenty for a seed).
Session* makeSession(double seed) { return new Session(static_cast<uint64_t>(seed)); }

// The hidden correction, for the tests that play a case to a known score.
std::string hiddenCase(const Session& s) {
    const Form1& f = s.form();
    return "[" + shortestDecimal(f.seikaiS) + "," + shortestDecimal(f.seikaiC) + "," + shortestDecimal(f.seikaiA) + "]";
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
        .function("hiddenCase", &hiddenCase);
    emscripten::function("format00", &format00);
    emscripten::function("shortestDecimal", &shortestDecimal);
}
