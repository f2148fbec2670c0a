#pragma once
// The sitting in brief: what a learning system keeps of a sitting between the student's sessions
// (SCORM 1.2's suspend data: 4,096 characters). The kept sitting (journal.h) holds every input,
// far more than that over a class's exercise; the brief holds
//   - the cases before a chosen customer's start as their results and counts only (a case in
//     about 50 characters: code, customer, mode, what became of it, start and time taken, the
//     reading, the hidden correction, the result lens, the counts of questions, steps and hints,
//     and the checks of its route once ended),
//   - that start: the code, the customer, how it came (the code loaded, or 再測定) and how far
//     the code's dial had turned,
//   - and every input since, with its time, played into the window again on resuming.
// The start chosen is the earliest whose inputs still fit, so that a short sitting comes back
// input for input and a long one keeps its last customers whole. Where even the customer in the
// window has more inputs than fit, its first inputs are kept as far as they fit.
//
// One line of printable ASCII, numbers in base 36 ('-' before a negative one):
//   B1 <started> <offset>|<code> <L or N><customer> <time> <dial>|<case>;<case>...|<input> <input>...
// where a kept case is
//   <code, or empty for the one before>,<customer>,<mode t p s><status e a><mode changed 0 1>,
//   <start after the sitting's start, ms>,<time taken, ms>,<reading S C A>,<correction S C A>,
//   <result S C A>,<questions>,<steps>,<hints>,<checks passed>,<checks made, or empty if not judged>
// (dioptres in hundredths, axes in degrees) and an input is
//   <control's index><verb c s a t r><value, omitted when 0>,<ms after the one before>
//   h,<ms>        a hint asked for
//   c<code>,<ms>  another code started

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/teaching/case_code.h"
#include "app/teaching/journal.h"
#include "app/teaching/record.h"

inline constexpr size_t kBriefLimit = 4096;

// A customer's start from which a sitting can be played again: the window then is the code's
// first customer as loaded, or `customer` brought by 再測定 (`next`) after the ones before it.
struct BriefStart {
    CaseCode code;
    uint64_t customer = 0;
    bool next = false;
    int64_t timeMs = 0;      // on the sitting's clock
    uint64_t dialDraws = 0;  // the code's dial stream so far
    size_t casesBefore = 0;  // the record's cases before it
    size_t firstEntry = 0;   // the first journal entry after it
    friend bool operator==(const BriefStart&, const BriefStart&) = default;
};

struct SittingBrief {
    int64_t startedMs = 0;              // the sitting's start on the wall clock
    int offsetMinutes = 0;              // the time zone of its cases, as far as they say it
    std::vector<CaseRecord> kept;       // the cases before the start, each with its tally
    BriefStart start;                   // casesBefore and firstEntry not used
    std::vector<JournalEntry> entries;  // inputs, hints and codes since the start
};

// What the sitting is made of, for writing it in brief: its record with each case's tally, its starts (the first is its
// beginning) and its journal's entries.
struct SittingParts {
    int64_t startedMs = 0;
    const std::vector<CaseRecord>* cases = nullptr;
    std::vector<CaseTally> tallies;  // one per case: its counts and the checks of its route
    const std::vector<BriefStart>* starts = nullptr;
    const std::vector<JournalEntry>* entries = nullptr;
    const std::vector<std::string>* controls = nullptr;  // the window's control names, in order
};

// The brief of at most `limit` characters (limit 200 or more).
std::string sittingBrief(const SittingParts& parts, size_t limit = kBriefLimit);
// The brief read back, its controls named again from `controls`; nothing when it is not one.
std::optional<SittingBrief> readBrief(std::string_view text, const std::vector<std::string>& controls);
