#pragma once
// Every text the window can show, for cutting the web view's fonts down to the characters it
// needs. Taken from the window logic itself: the captions of the design, the customer's
// answer tables, the notices, and the texts the handlers compose at run time, collected by
// driving the window through every mode, chart, question and cross-cylinder state and over
// the whole range of every scroll bar.

#include <set>
#include <string>

struct ShownTexts {
    std::set<std::string> window;
    // The panel beside the window (its own texts, the record's, the customer's view's names),
    // in characters where its texts are many. The panel is set in one of the two fonts only.
    std::set<std::string> panel;
};
ShownTexts shownTexts();

// The characters of `texts`, one UTF-8 sequence each.
std::set<std::string> charactersOf(const std::set<std::string>& texts);
