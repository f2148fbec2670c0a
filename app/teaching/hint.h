#pragma once
// ヒント: the expert's next step from the window as it now is, with its reason.
//
// The expert's path for a customer is fixed: the customer's answers depend only on the lens,
// the chart and the cross cylinder, so the expert always goes the same way. The path is a chain
// of window states (lens and cross cylinder), each with the questions the expert asked there. A
// hint finds where the trainee stands on that chain by walking the trainee's own steps: a state
// the expert reached at or after the last one matched moves the trainee on along the chain; a
// question asked there counts when it is the next one the expert asked. Off the chain, the hint
// leads back to the state matched last, or on to the next one when its questions were all asked.
// Whoever follows the hints therefore walks the rest of the expert's path and ends where it ends.

#include <string>

#include "app/teaching/expert_window.h"
#include "app/teaching/record.h"

struct Hint {
    enum class Kind { Lens, Ask, CrossCylinderIn, CrossCylinderOut, End };
    Kind kind = Kind::End;
    Lens lens;                  // Lens: the lens to set
    Chart chart = Chart::None;  // Ask: the chart to show and the question to ask
    Question question = Question::Acuity;
    int handle = 0;    // CrossCylinderIn: the handle's direction
    std::string text;  // what the panel shows: the step and why it is taken
};

// The next step for the case `c` (its steps so far) on the expert's path `expert` for the
// same customer.
Hint nextHint(const CaseRecord& c, const ExpertPlay& expert);

// Every fixed phrase a hint is made of, for the web view's font subset.
std::vector<std::string> hintPhrases();
