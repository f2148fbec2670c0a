// The window for the web view as plain functions, one per call of the page: their list is
// calls.txt, from which calls.py makes them (calls.inc, included below) and the page's PageSitting
// class over them. Strings cross as UTF-8 in the module's memory: an argument is written into
// the buffer input_buffer() gives; a result is read from the address a function returns,
// result_size() bytes long, valid until the next call.
// Built a second time with TRAINER_TEST_HOOKS for the browser tests (never part of the
// site), which adds the calls only they make: the hidden correction, the number formatters
// and the seeds the page asked for.

#include <emscripten/emscripten.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "app/web/lms.h"
#include "app/web/page_sitting.h"
#include "optics/refraction.h"

#ifdef TRAINER_TEST_HOOKS
#include <cstdint>
#include <vector>

#include "app/teaching/journal.h"
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

// Bytes kept here until the next call (the record's CSV).
const void* giveBytes(std::string bytes) { return give(std::move(bytes)); }

// Bytes that stay where they are until the next call (a picture of the sitting's).
const void* giveBytes(std::string_view bytes) {
    resultSize = bytes.size();
    return bytes.data();
}

#ifdef TRAINER_TEST_HOOKS
std::vector<double> seedsMade;
PageSitting* latest = nullptr;

std::string hiddenOf(const PageSitting* s) {
    if (!s) return "null";
    const Form1& f = s->form();
    return "[" + shortestDecimal(f.seikaiS) + "," + shortestDecimal(f.seikaiC) + "," + shortestDecimal(f.seikaiA) + "]";
}

// The window's fingerprint (windowFingerprint) in hexadecimal, or null.
std::string fingerprintOf(const PageSitting* s) {
    if (!s) return "null";
    static constexpr char kHex[] = "0123456789abcdef";
    const uint64_t f = windowFingerprint(s->form());
    std::string out(16, '0');
    for (int i = 0; i < 16; ++i) out[static_cast<size_t>(i)] = kHex[(f >> (60 - 4 * i)) & 15];
    return out;
}

// The seeds of the sittings made so far, oldest first, as a JSON list.
std::string seedsAsked() {
    std::string out = "[";
    for (size_t i = 0; i < seedsMade.size(); ++i) out += (i ? "," : "") + shortestDecimal(seedsMade[i]);
    return out + "]";
}
#endif

PageSitting* newSitting(double seed, const std::string& caseText) {
    auto* s = new PageSitting(static_cast<uint64_t>(seed), caseText);
#ifdef TRAINER_TEST_HOOKS
    seedsMade.push_back(seed);
    latest = s;
#endif
    return s;
}

void deleteSitting(PageSitting* s) {
#ifdef TRAINER_TEST_HOOKS
    if (latest == s) latest = nullptr;
#endif
    delete s;
}

// The bytes of picture `index` of the sitting's last customer view; none (null) when there is
// no such picture.
std::string_view pictureOf(const PageSitting& s, int index) {
    const CustomerPicture* p = index >= 0 ? s.picture(static_cast<size_t>(index)) : nullptr;
    if (!p) return {};
    return {reinterpret_cast<const char*>(p->rgba.data()), p->rgba.size()};
}

}  // namespace

extern "C" {

// A buffer of `size` bytes for an argument; valid until the next call.
EMSCRIPTEN_KEEPALIVE char* input_buffer(size_t size) {
    input.resize(size);
    return input.data();
}

EMSCRIPTEN_KEEPALIVE size_t result_size() { return resultSize; }

#include "calls.inc"

}  // extern "C"
