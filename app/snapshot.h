#pragma once
// The window as data, for a view that lives outside this process (the web view): the design
// properties of every control, the state of every control after an action, and the effects
// the platform must carry out. The texts are JSON, written by the small writer below so that
// every build gives the same characters.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "form1.h"
#include "platform.h"

// A JSON string literal for s (UTF-8 passes through; quotes, backslashes and controls escaped).
std::string jsonString(const std::string& s);

// What the window logic asked of the machine, kept until the view carries it out. Printing
// is the view's (the browser's print of the window), so it always reports success here.
class RecordingPlatform : public Platform {
public:
    struct Effects {
        int beeps = 0;
        int prints = 0;
        bool end = false;
        std::vector<std::string> notices;
    };

    void beep() override { ++pending_.beeps; }
    void quit() override { pending_.end = true; }
    PrintResult printWindow() override {
        ++pending_.prints;
        return PrintResult::Printed;
    }
    void showNotice(const std::string& text) override { pending_.notices.push_back(text); }

    // The effects asked for since the last call.
    Effects take();

private:
    Effects pending_;
};

// A SplitMix64 generator started from a seed, so that a page opened with the same seed meets
// the same customers. The same 24-bit draw as ClockRandom, without the clock.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(uint64_t seed) : state_(seed) {}
    float draw() override;

private:
    uint64_t state_;
};

// The face the web view paints for the system's button colour (style.css, --button-face):
// what focus marks and disabled captions are made legible against where a control has no
// colour of its own.
inline constexpr Rgb kWebButtonFace{240, 240, 240};

// Every control with what never changes: kind, name, container, geometry (pixels), look,
// tab index, scroll range, picture file, stacking (a frame's children, top-most first), and
// for the controls that take the focus or go grey, the colours of the focus mark and of the
// disabled caption on their face, and a scroll bar's accessible name.
std::string designJson(const Form1& form);

// Every control with what the handlers change (caption, visible, enabled, selected, value,
// a scroll bar's readout text, and the geometry of circles and lines in twips), what the
// phoropter picture shows in words, plus the effects to carry out.
std::string stateJson(const Form1& form, const RecordingPlatform::Effects& effects);

// One window with its platform and random source, and one entry per kind of user action.
// Every action returns the state after it; an action on a control that cannot take it now
// (hidden, disabled, or of another kind) changes nothing.
class Session {
public:
    // Seed 0 takes the clock, as the desktop program does.
    explicit Session(uint64_t seed);

    const Form1& form() const { return *form_; }
    std::string design() const { return designJson(*form_); }
    std::string state();

    std::string click(const std::string& name);
    std::string select(const std::string& name);
    std::string arrow(const std::string& name, int direction);
    std::string track(const std::string& name, int direction);
    std::string release(const std::string& name, int value);

    // The control that should have the keyboard focus after an action taken while `focused`
    // had it (empty: none or unknown); never END or the end button by a move.
    std::string focusAfter(const std::string& focused) const;

private:
    template <class T>
    T* find(const std::string& name, Kind kind) const;

    RecordingPlatform platform_;
    std::unique_ptr<RandomSource> random_;
    std::unique_ptr<Form1> form_;
};
