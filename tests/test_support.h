#pragma once
// Fakes for the machine around the window, and a window ready for scenarios.

#include <deque>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/form1/form1.h"
#include "app/teaching/record.h"

class FakePlatform : public Platform {
public:
    int beeps = 0;
    int quits = 0;
    int prints = 0;
    PrintResult nextPrint = PrintResult::Printed;
    std::vector<std::string> notices;

    void beep() override { ++beeps; }
    void quit() override { ++quits; }
    PrintResult printWindow() override {
        ++prints;
        return nextPrint;
    }
    void showNotice(const std::string& text) override { notices.push_back(text); }
};

// The record's clock, set by hand; with a tick, every reading moves it on by that much.
class FakeRecordClock : public RecordClock {
public:
    explicit FakeRecordClock(int64_t start = 5'000'000, int64_t tick = 0) : now(start), tick_(tick) {}
    mutable int64_t now;
    int64_t nowMs() const override { return now += tick_; }
    // The wall clock moves with `now`: 2026-12-09 18:00 in Japan at 0.
    WallTime wallNow() const override { return {1'796'806'800'000 + now, 540}; }

private:
    int64_t tick_;
};

// Hands out queued numbers; once the queue is empty it repeats `fallback`.
class FakeRandom : public RandomSource {
public:
    std::deque<float> queue;
    float fallback = 0.5f;
    int draws = 0;
    float draw() override {
        ++draws;
        if (queue.empty()) return fallback;
        float u = queue.front();
        queue.pop_front();
        return u;
    }
};

// A loaded window with a fake platform, on the given random source.
template <class Random>
struct BasicTestForm {
    FakePlatform platform;
    Random random;
    std::unique_ptr<Form1> form;

    explicit BasicTestForm(bool load = true) : form(std::make_unique<Form1>(platform, random)) {
        if (load) form->Form_Load();
    }
    Form1* operator->() { return form.get(); }
    Form1& operator*() { return *form; }

    // Puts a hidden correction in place, as a drawn case would.
    void setCase(float S, float C, float A) {
        form->seikaiS = S;
        form->seikaiC = C;
        form->seikaiA = A;
    }
    // Moves the three lens scroll bars as a trainee would, each change running its handler.
    void setLens(int h1, int h2, int h3) {
        form->HScroll1.setValue(h1);
        form->HScroll2.setValue(h2);
        form->HScroll3.setValue(h3);
    }
};

// The window of the scenarios: random numbers from a queue.
using TestForm = BasicTestForm<FakeRandom>;

// What dumpControls leaves out.
struct DumpFilter {
    bool labelCaptions = true;                     // false: label captions (which keep what was written)
    std::function<bool(const Control&)> skip;      // controls left out entirely
    std::function<bool(const Control&)> unplaced;  // circles whose place and fill are left out
};

// Every control of the window, one line each: name, shown, enabled, place, caption, selection,
// value, line ends, fill. Two dumps are equal when nothing they cover differs.
inline std::string dumpControls(const Form1& w, const DumpFilter& filter = {}) {
    std::ostringstream out;
    for (const Control* c : w.controls()) {
        if (filter.skip && filter.skip(*c)) continue;
        const bool unplaced = filter.unplaced && filter.unplaced(*c);
        out << c->name() << (c->visible ? " shown" : " hidden") << (c->enabled ? "" : " disabled");
        if (!unplaced) out << " at " << c->left << ',' << c->top;
        if (auto* l = dynamic_cast<const Label*>(c); l && filter.labelCaptions) out << ' ' << l->caption;
        if (auto* o = dynamic_cast<const OptionButton*>(c)) out << (o->selected() ? " selected" : "");
        if (auto* s = dynamic_cast<const HScrollBar*>(c)) out << " value " << s->value();
        if (auto* l = dynamic_cast<const Line*>(c)) out << ' ' << l->x1 << ',' << l->y1 << '-' << l->x2 << ',' << l->y2;
        if (auto* ci = dynamic_cast<const Circle*>(c); ci && !unplaced) out << " fill " << ci->fillStyle;
        out << '\n';
    }
    return out.str();
}
