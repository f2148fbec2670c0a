#pragma once
// The window behind the web page: one Session per page, one entry per kind of user action,
// each returning the state after it as JSON (app/window_data.h). Built for the web and its
// tests only, not into the desktop program.

#include <cstdint>
#include <memory>
#include <string>

#include "app/form1.h"
#include "app/random.h"
#include "app/window_data.h"

// What the window logic asked of the machine, kept until the view carries it out. Printing
// is the view's (the browser's print of the window), so it always reports success here.
class RecordingPlatform : public Platform {
public:
    using Effects = PlatformEffects;

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
