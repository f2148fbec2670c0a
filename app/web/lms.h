#pragma once
// The trainer opened from a school's learning system (SCORM 1.2): the teacher's settings, which
// arrive as the launch data written in the package's manifest, and what the learning system is
// told after each ended case. The page only carries these values to the system's API.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/teaching/record.h"

struct LmsSettings {
    std::string caseText;        // the code the whole class plays; empty: each student's own
    Mode counted = Mode::Test;   // only cases played in this mode count
    int customers = 5;           // ended cases that count complete the exercise (1 or more)
    std::optional<int> mastery;  // 0..100: passed or failed instead of completed
};

// Reads launch data such as "case=ABCD-EFGH-J&mode=test&customers=5&mastery=80" (keys in any
// order, each optional). A key it does not know, or a value it cannot read, leaves the default
// in place: a mistyped setting must not keep a class from working.
LmsSettings readLaunchData(std::string_view text);

// {case, mode, customers, mastery (or null)}: what the page needs before the first customer.
std::string lmsSettingsJson(const LmsSettings& settings);

// A mode as the launch data and the interactions name it: "test", "practice", "sample".
const char* lmsModeName(Mode mode);

// One ended case, as cmi.interactions.n holds it.
struct LmsInteraction {
    std::string id;        // the code's digits and the customer's number (1 is the first): "ABCD-EFGH_3"
    std::string response;  // the result lens in ASCII: "S-1.25 C-0.75 A40"
    int score = 0;         // the result
    std::string latency;   // the time the case took: "0000:01:30.00"
    std::string mode;      // the mode it was played in (its objective's id)
};

struct LmsReport {
    std::vector<LmsInteraction> interactions;  // every ended case of the sitting, in order
    std::string score;                         // cmi.core.score.raw: the average of the cases that count; "" before one
    std::string status;                        // cmi.core.lesson_status
    int counted = 0;                           // ended cases that count
};

// A case counts when it ended and was played in the mode that counts from start to end: a
// trainee who looks at the correct value in practice mode and switches back earns nothing by it.
bool lmsCounts(const CaseRecord& c, const LmsSettings& settings);
LmsReport lmsReport(const std::vector<CaseRecord>& cases, const LmsSettings& settings);
std::string lmsReportJson(const LmsReport& report);

// What the page says of the learning system: the name heading, the end of the attempt, and a
// value the system would not take (with the system's error number).
inline constexpr const char* kLmsStudent = "受講者";
inline constexpr const char* kLmsFinished = "結果を学習管理システムに送りました。このページは閉じてかまいません。";
std::string lmsRefusedMessage(int error);
// {student, finished}, as the page shows them.
std::string lmsTextsJson();

// A time span as SCORM 1.2 writes it (CMITimespan): "HHHH:MM:SS.SS", hours up to 9999.
std::string lmsTimespan(int64_t ms);
