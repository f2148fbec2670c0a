#pragma once
// What the window tells an observer after each user input: what the input did, in the window's
// own terms, and the window's setting after it. One account per input the user gives a control,
// given once its handler and every handler it ran inside it have returned; a refused input, or
// one that changed nothing the customer is given or asked, is told as Nothing. The observer is
// handed values, never the window.

#include <cstdint>
#include <string>

#include "app/window/controls.h"
#include "optics/refraction.h"
#include "subject/answers.h"

enum class Mode { Test, Practice, Sample };

// In test mode the hidden correction, the residual and what follows from them would give the
// answer away while the customer is still being measured.
constexpr bool hiddenUntilEnd(Mode mode, bool stillMeasuring) { return mode == Mode::Test && stillMeasuring; }

enum class WindowEventKind {
    Nothing,
    Lens,  // a lens bar moved the lens: `bar` says which
    CrossCylinderIn,
    CrossCylinderOut,
    CrossCylinderTurn,  // the handle turned
    CrossCylinderFlip,  // front and back changed places
    Chart,              // another chart chosen
    Question,           // asked: answered, or ignored for want of a chart
    Mode,               // another mode chosen (the sample mode brings its own customer)
    End,                // 測定終了正解は？: the result is the setting after it
    NewCustomer,        // 再測定, or the first customer at load
};

enum class LensBar { Sphere, Cylinder, Axis };

// The window's setting after an input, as values.
struct WindowSetting {
    int16_t bars[4] = {40, 0, 90, 90};  // HScroll1..HScroll4
    Refraction lens;                    // foroS, foroC, foroA of the three lens bars
    bool crossCylinderIn = false;
    int handle = 0;     // ccJiku, the handle direction 0..179
    bool front = true;  // おもて faces the customer
    Chart chart = Chart::None;
    Mode mode = Mode::Test;
    bool ended = false;      // the result is shown
    Refraction correction;   // the hidden correction (the sample mode replaces it)
    std::string reading;     // the auto-refractor reading as the window writes it, without " です。"
    Refraction readingLens;  // the same reading as numbers
};

struct WindowEvent {
    WindowEventKind kind = WindowEventKind::Nothing;
    // The input itself and the control it went to, as Form1::giveInput takes them back.
    std::string control;
    UserInput input;
    LensBar bar = LensBar::Sphere;             // Lens
    ::Question question = ::Question::Acuity;  // Question
    bool answered = false;                     // Question: the customer answered
    std::string answer;                        // Question: the answer the window shows
    WindowSetting after;
};

class WindowObserver {
public:
    virtual ~WindowObserver() = default;
    virtual void windowEvent(const WindowEvent& event) = 0;
};
