#pragma once
// 手順の振り返り: named checks on the steps a trainee took in a case, each with a verdict, the
// steps it points at and why it matters. Only the record's steps are read (lens, chart,
// question and answer, cross cylinder, and the residual the window worked out at each), and
// the expert's path for the same customer for the counts to compare with.

#include <string>
#include <vector>

#include "app/teaching/record.h"

inline constexpr const char* kGood = "良い";
inline constexpr const char* kCaution = "要注意";

struct ProcedureCheck {
    std::string name;
    bool good = true;
    std::vector<size_t> steps;  // indices into the case's steps (the review's 番号)
    std::string why;            // one sentence on why it matters
    std::string detail;         // the figures behind the verdict, where there are any
};

// The checks that apply to case `c`, in a fixed order; `expert` is the expert's record of the
// same customer (its questions and steps). A check with nothing to judge is left out.
std::vector<ProcedureCheck> procedureReview(const CaseRecord& c, const CaseRecord& expert);

// Every fixed text of the checks, for the web view's font subset.
std::vector<std::string> procedureTexts();
