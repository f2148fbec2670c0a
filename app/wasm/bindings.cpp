// The window for the web view: one Session per page, its actions returning the state of
// every control as JSON, and the panel beside the window, as plain functions that
// session_api.js wraps into the page's Session class. Strings cross as UTF-8 in the module's
// memory: an argument is written into the buffer input_buffer() gives; a result is read from
// the address a function returns, result_size() bytes long, valid until the next call.
// Built a second time with TRAINER_TEST_HOOKS for the browser tests (never part of the
// site), which adds what only they ask: the hidden correction, the number formatters and the
// seeds the page asked for.

#include <emscripten/emscripten.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "app/web/session.h"
#include "optics/refraction.h"

#ifdef TRAINER_TEST_HOOKS
#include <vector>
#endif

namespace {

std::string input;
std::string result;
size_t resultSize = 0;

const char* give(std::string text) {
    result = std::move(text);
    resultSize = result.size();
    return result.data();
}

const void* giveBytes(const void* bytes, size_t size) {
    resultSize = size;
    return bytes;
}

std::string argument(const char* text, size_t size) { return std::string(text, size); }

#ifdef TRAINER_TEST_HOOKS
std::string hiddenOf(const Session& s) {
    const Form1& f = s.form();
    return "[" + shortestDecimal(f.seikaiS) + "," + shortestDecimal(f.seikaiC) + "," + shortestDecimal(f.seikaiA) + "]";
}

std::vector<double> seedsAsked;
Session* latest = nullptr;
#endif

}  // namespace

extern "C" {

// A buffer of `size` bytes for an argument; valid until the next call.
EMSCRIPTEN_KEEPALIVE char* input_buffer(size_t size) {
    input.resize(size);
    return input.data();
}

EMSCRIPTEN_KEEPALIVE size_t result_size() { return resultSize; }

// A session for the code typed in the address (?case=, may be empty), else for `seed` (which
// comes from JavaScript as a double: 53 bits are plenty for a seed).
EMSCRIPTEN_KEEPALIVE Session* session_new(double seed, const char* caseText, size_t size) {
    auto* s = new Session(static_cast<uint64_t>(seed), argument(caseText, size));
#ifdef TRAINER_TEST_HOOKS
    seedsAsked.push_back(seed);
    latest = s;
#endif
    return s;
}

EMSCRIPTEN_KEEPALIVE void session_delete(Session* s) {
#ifdef TRAINER_TEST_HOOKS
    if (latest == s) latest = nullptr;
#endif
    delete s;
}

EMSCRIPTEN_KEEPALIVE const char* session_design(Session* s) { return give(s->design()); }
EMSCRIPTEN_KEEPALIVE const char* session_state(Session* s) { return give(s->state()); }

EMSCRIPTEN_KEEPALIVE const char* session_click(Session* s, const char* name, size_t size) {
    return give(s->click(argument(name, size)));
}

EMSCRIPTEN_KEEPALIVE const char* session_select(Session* s, const char* name, size_t size) {
    return give(s->select(argument(name, size)));
}

EMSCRIPTEN_KEEPALIVE const char* session_arrow(Session* s, const char* name, size_t size, int direction) {
    return give(s->arrow(argument(name, size), direction));
}

EMSCRIPTEN_KEEPALIVE const char* session_track(Session* s, const char* name, size_t size, int direction) {
    return give(s->track(argument(name, size), direction));
}

EMSCRIPTEN_KEEPALIVE const char* session_release(Session* s, const char* name, size_t size, int value) {
    return give(s->release(argument(name, size), value));
}

EMSCRIPTEN_KEEPALIVE const char* session_focus_after(Session* s, const char* name, size_t size) {
    return give(s->focusAfter(argument(name, size)));
}

EMSCRIPTEN_KEEPALIVE const char* session_panel_texts() { return give(Session::panelTexts()); }
EMSCRIPTEN_KEEPALIVE const char* session_panel(Session* s) { return give(s->panel()); }
EMSCRIPTEN_KEEPALIVE const char* session_announcement(Session* s) { return give(s->announcement()); }

EMSCRIPTEN_KEEPALIVE const char* session_plot(Session* s) { return give(s->plot()); }

EMSCRIPTEN_KEEPALIVE const char* session_start_code(Session* s, const char* text, size_t size, int confirmed) {
    return give(s->startCode(argument(text, size), confirmed != 0));
}

EMSCRIPTEN_KEEPALIVE void session_choose_case(Session* s, int index) { s->chooseCase(index); }
EMSCRIPTEN_KEEPALIVE int session_unsaved(Session* s) { return s->unsaved() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE void session_mark_saved(Session* s) { s->markSaved(); }

// The record as CSV bytes, exactly (a JavaScript string would lose the byte-order mark to the
// decoder).
EMSCRIPTEN_KEEPALIVE const void* session_csv(Session* s) {
    give(s->csv());
    return result.data();
}

EMSCRIPTEN_KEEPALIVE const char* session_csv_file_name(Session* s) { return give(s->csvFileName()); }
EMSCRIPTEN_KEEPALIVE const char* session_customer_view(Session* s) { return give(s->customerView()); }

// The bytes of a picture of the last customer view, or null.
EMSCRIPTEN_KEEPALIVE const void* session_picture(Session* s, int index) {
    const CustomerPicture* p = index >= 0 ? s->picture(static_cast<size_t>(index)) : nullptr;
    return p ? giveBytes(p->rgba.data(), p->rgba.size()) : giveBytes(nullptr, 0);
}

#ifdef TRAINER_TEST_HOOKS
// The hidden correction, for the tests that play a case to a known score.
EMSCRIPTEN_KEEPALIVE const char* session_hidden_case(Session* s) { return give(hiddenOf(*s)); }

// The same of the session made last (the page's).
EMSCRIPTEN_KEEPALIVE const char* latest_hidden_case() { return give(latest ? hiddenOf(*latest) : "null"); }

// The seeds of the sessions made so far, oldest first, as a JSON list.
EMSCRIPTEN_KEEPALIVE const char* seeds() {
    std::string out = "[";
    for (size_t i = 0; i < seedsAsked.size(); ++i) out += (i ? "," : "") + shortestDecimal(seedsAsked[i]);
    return give(out + "]");
}

EMSCRIPTEN_KEEPALIVE const char* format_00(double x) { return give(format00(x)); }
EMSCRIPTEN_KEEPALIVE const char* shortest_decimal(double x) { return give(shortestDecimal(x)); }
#endif

}  // extern "C"
