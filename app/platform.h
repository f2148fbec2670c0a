#pragma once
// What the window logic needs from the machine around it. The program gives it Qt's
// beep, printer and event loop; the tests give it fakes that record what was asked.

#include <cstdint>
#include <string>

enum class PrintResult { Printed, NoPrinter, Failed };

class Platform {
public:
    virtual ~Platform() = default;
    virtual void beep() = 0;
    // Ends the program; nothing is saved.
    virtual void quit() = 0;
    // Prints a picture of the window as it is shown now on the default printer, one page.
    virtual PrintResult printWindow() = 0;
    // Tells the user something without stopping the work (a notice in the window).
    virtual void showNotice(const std::string& text) = 0;
};

// A uniform number 0 <= u < 1 in single precision, the generator reseeded from the
// clock before every draw.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float draw() = 0;
};

// The real source: a SplitMix64 generator that takes the clock into its state before every
// draw. Mixing rather than restarting keeps two draws in the same clock tick apart.
class ClockRandom : public RandomSource {
public:
    float draw() override;

private:
    uint64_t state_ = 0x853C49E6748FEA9BULL;
};
