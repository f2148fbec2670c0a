#pragma once
// The kept sitting: what a sitting is written down as while it goes, so that it can be given back
// after the program was ended in any way. It is the code, the trainee's name and every input the
// window was given, with its time, plus each new code started and each save of the record; it
// holds nothing the record does not show. Written as a journal, one line per entry, each appended
// as it happens:
//
//   refraction-trainer sitting 1        the format and its version
//   code 0123-4567-K                    the code the sitting began with
//   name %E5%B1%B1%E7%94%B0             the trainee's name, percent-encoded (may be empty)
//   started 1765300000000               the sitting's start, milliseconds since 1970 UTC
//   i 1520 HScroll1 a -1 3 5f0c...      an input: time, control, verb (c s a t r), value, the
//                                       record's steps after it and the window's fingerprint
//   c 98000 89AB-CDEF-3                 another code started from the panel
//   s 120500 42                         the record saved (as CSV) with that many steps
//   h 130200                            a hint asked for (a step of the record)
//   n 131000 %E5%B1%B1                  the trainee's name as typed since, percent-encoded
//
// Times are milliseconds on the sitting's own clock, which starts at 0 and stands still while the
// program is not running. Played again into a fresh window, the inputs give back the same window
// and record; the steps and the fingerprint on each input line check that they do.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/teaching/case_code.h"
#include "app/window/controls.h"

class Form1;

inline constexpr int kJournalVersion = 1;

struct JournalEntry {
    enum class Kind { Input, Code, Saved, Hint, Name };
    Kind kind = Kind::Input;
    int64_t timeMs = 0;
    std::string control;       // Input
    UserInput input;           // Input
    size_t steps = 0;          // Input: the record's steps after it; Saved: the steps saved
    uint64_t fingerprint = 0;  // Input: windowFingerprint after it
    CaseCode code;             // Code
    std::string name;          // Name: the trainee's name as now typed
    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

struct KeptSitting {
    CaseCode code;
    std::string name;
    int64_t startedMs = 0;  // wall clock, milliseconds since 1970 UTC
    std::vector<JournalEntry> entries;

    // The record's steps after the last input, and those last saved.
    size_t steps() const;
    size_t savedSteps() const;
    // Work the record holds that was never saved as CSV.
    bool unsaved() const { return steps() != savedSteps(); }
    // The sitting clock's time of the last entry (0 when there is none).
    int64_t lastTimeMs() const;
};

// The journal's head, and one entry's line; each ends with '\n'.
std::string journalHeader(const CaseCode& code, const std::string& name, int64_t startedMs);
std::string journalLine(const JournalEntry& entry);
// The whole journal of `sitting`, as journalHeader and journalLine write it.
std::string journalText(const KeptSitting& sitting);

// Why a journal could not be read.
enum class JournalProblem {
    None,
    Truncated,  // it ends inside its head or inside a line
    Corrupt,    // a line that is no entry, or a journal and snapshot that disagree
    Newer,      // written by a later version of the program
};

struct JournalRead {
    std::optional<KeptSitting> sitting;
    JournalProblem problem = JournalProblem::None;
};
JournalRead readJournal(std::string_view text);

// Reads a sitting kept as a journal and the snapshot written at the last case's end (empty when
// there is none). The journal goes on from the snapshot; should the journal have lost its tail
// (a power cut before the system wrote it out), the snapshot stands for it.
JournalRead readKept(std::string_view journal, std::string_view snapshot);

// A 64-bit digest of everything the window shows and keeps: each control's visibility, enabling,
// place, caption, selection, value, line ends and fill, and the values kept between events.
uint64_t windowFingerprint(const Form1& form);

// Percent-encoding of a name for the head (bytes outside printable ASCII, '%' and spaces).
std::string percentEncoded(std::string_view text);
std::optional<std::string> percentDecoded(std::string_view text);

// --- The kept sittings together ---

// One kept sitting as the store finds it.
struct KeptFile {
    std::string name;
    bool unsaved = false;  // it holds work never saved as CSV (or could not be read)
    bool inUse = false;    // another running program is keeping it
};

// How many sittings already saved are kept at most; those with unsaved work are all kept.
inline constexpr size_t kSavedSittingsKept = 20;

// The kept sittings to remove, oldest first, from `newestFirst`: the saved ones beyond the
// kSavedSittingsKept most recent saved ones. Sittings in use are left alone.
std::vector<std::string> sittingsToRemove(const std::vector<KeptFile>& newestFirst);

// What a store does with the sittings it finds at start, given them newest first: each one's
// journal and snapshot (empty when it has none) and whether another running program keeps it.
struct KeptCandidate {
    std::string_view journal;
    std::string_view snapshot;
    bool inUse = false;
};
struct KeptReview {
    // The sitting to offer (the newest one not in use, when it has unsaved work and `offer`).
    std::optional<size_t> offered;
    std::optional<KeptSitting> offeredSitting;
    // Those that cannot be read, to set aside (not delete), and why.
    std::vector<std::pair<size_t, JournalProblem>> setAside;
    // Started and left without an input: nothing to keep.
    std::vector<size_t> untouched;
    // Saved ones beyond the kSavedSittingsKept most recent (sittingsToRemove), oldest first.
    std::vector<size_t> removed;
};
KeptReview reviewKept(const std::vector<KeptCandidate>& newestFirst, bool offer);

// What the panel says of a kept sitting that could not be continued (`problem` None: it did not
// play back to what it says), and the name it was set aside under.
std::string setAsideMessage(JournalProblem problem, const std::string& keptAs);
// What it says after removing `count` saved sittings beyond the most recent.
std::string prunedMessage(size_t count);
