// The window for the web view: one Session per page, its actions returning the state of
// every control as JSON, and the panel beside the window. Built a second time with
// TRAINER_TEST_HOOKS for the browser tests (never part of the site), which adds what only
// they ask: the hidden correction, the number formatters and the seeds the page asked for.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "app/web/session.h"
#include "optics/refraction.h"

#ifdef TRAINER_TEST_HOOKS
#include <vector>
#endif

namespace {

#ifdef TRAINER_TEST_HOOKS
std::string hiddenOf(const Session& s) {
    const Form1& f = s.form();
    return "[" + shortestDecimal(f.seikaiS) + "," + shortestDecimal(f.seikaiC) + "," + shortestDecimal(f.seikaiA) + "]";
}

std::vector<double> seedsAsked;
Session* latest = nullptr;

// The seeds of the sessions made so far, oldest first, as a JSON list.
std::string seeds() {
    std::string out = "[";
    for (size_t i = 0; i < seedsAsked.size(); ++i) out += (i ? "," : "") + shortestDecimal(seedsAsked[i]);
    return out + "]";
}

// The hidden correction, for the tests that play a case to a known score.
std::string hiddenCase(const Session& s) { return hiddenOf(s); }
// The same of the session made last (the page's).
std::string latestHiddenCase() { return latest ? hiddenOf(*latest) : "null"; }
#endif

// The seed comes from JavaScript as a double (53 bits are plenty for a seed).
Session* makeSession(double seed) {
#ifdef TRAINER_TEST_HOOKS
    seedsAsked.push_back(seed);
    return latest = new Session(static_cast<uint64_t>(seed));
#else
    return new Session(static_cast<uint64_t>(seed));
#endif
}

// A session for the code typed in the address (?case=), else for `seed`.
Session* makeSessionForCode(double seed, const std::string& caseText) {
#ifdef TRAINER_TEST_HOOKS
    seedsAsked.push_back(seed);
    return latest = new Session(static_cast<uint64_t>(seed), caseText);
#else
    return new Session(static_cast<uint64_t>(seed), caseText);
#endif
}

// The bytes of a picture of the last customerView(): a view into the module's memory, valid
// until the next call into it; the page copies it at once.
emscripten::val pictureBytes(const Session& s, int index) {
    const PatientPicture* p = index >= 0 ? s.picture(static_cast<size_t>(index)) : nullptr;
    if (!p) return emscripten::val::null();
    return emscripten::val(emscripten::typed_memory_view(p->rgba.size(), p->rgba.data()));
}

// The record as CSV bytes, exactly (a JavaScript string would lose the byte-order mark to the
// decoder): a view valid until the next call into the module.
emscripten::val csvBytes(const Session& s) {
    static std::string bytes;
    bytes = s.csv();
    return emscripten::val(
        emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
}

}  // namespace

EMSCRIPTEN_BINDINGS(trainer) {
    emscripten::class_<Session>("Session")
        .constructor(&makeSession, emscripten::allow_raw_pointers())
        .constructor(&makeSessionForCode, emscripten::allow_raw_pointers())
        .function("design", &Session::design)
        .function("state", &Session::state)
        .function("click", &Session::click)
        .function("select", &Session::select)
        .function("arrow", &Session::arrow)
        .function("track", &Session::track)
        .function("release", &Session::release)
        .function("focusAfter", &Session::focusAfter)
        .class_function("panelTexts", &Session::panelTexts)
        .function("panel", &Session::panel)
        .function("announcement", &Session::announcement)
        .function("plot", &Session::plot)
        .function("startCode", &Session::startCode)
        .function("chooseCase", &Session::chooseCase)
        .function("unsaved", &Session::unsaved)
        .function("markSaved", &Session::markSaved)
        .function("csvBytes", &csvBytes)
        .function("csvFileName", &Session::csvFileName)
        .function("customerView", &Session::customerView)
        .function("pictureBytes", &pictureBytes)
#ifdef TRAINER_TEST_HOOKS
        .function("hiddenCase", &hiddenCase)
#endif
        ;
#ifdef TRAINER_TEST_HOOKS
    emscripten::function("format00", &format00);
    emscripten::function("shortestDecimal", &shortestDecimal);
    emscripten::function("seeds", &seeds);
    emscripten::function("latestHiddenCase", &latestHiddenCase);
#endif
}
