#pragma once
// What a trainee has at hand in the examination room: the auto-refractor reading, a phoropter
// lens to set, the charts, the cross cylinder and the customer's answers. Nothing more: the
// expert is written against this alone, so it cannot know the customer's correction except
// from what the customer says.

#include <string>

#include "subject/answers.h"

// A phoropter lens as its bars set it: sphere and cylinder in quarter dioptres (cylinder in
// minus form), axis 1 to 180 in whole degrees.
struct Lens {
    double S = 0;
    double C = 0;
    int A = 90;
    friend bool operator==(const Lens&, const Lens&) = default;
};

// The auto-refractor reading as the window shows it.
struct Reading {
    double S = 0;
    double C = 0;
    int A = 90;
};

class ExamRoom {
public:
    virtual ~ExamRoom() = default;
    virtual Reading reading() = 0;
    virtual void setLens(const Lens& lens) = 0;
    // Asks `question` with `chart` shown; the customer's answer.
    virtual std::string ask(Chart chart, Question question) = 0;
    // The cross cylinder in front of the lens with its handle towards `handle` (0 to 179
    // degrees), or taken out.
    virtual void crossCylinderIn(int handle) = 0;
    virtual void crossCylinderOut() = 0;
};
