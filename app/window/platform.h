#pragma once
// What the window logic needs from the machine around it. The program gives it Qt's
// beep, printer and event loop; the tests give it fakes that record what was asked.

#include <string>

#include "app/window/random.h"  // RandomSource, which the window logic takes beside the platform

enum class PrintResult { Printed, NoPrinter, Failed };

class Platform {
public:
    virtual ~Platform() = default;
    virtual void beep() = 0;
    // Ends the program at once, asking nothing (the desktop has kept the sitting as it went).
    virtual void quit() = 0;
    // Prints a picture of the window as it is shown now on the default printer, one page.
    virtual PrintResult printWindow() = 0;
    // Tells the user something without stopping the work (a notice in the window).
    virtual void showNotice(const std::string& text) = 0;
};
