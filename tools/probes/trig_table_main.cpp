// Prints the portable functions' results on the shared table of arguments, one case a line, so
// that the desktop's output and the WebAssembly build's can be compared character for character.

#include <cstdio>

#include "tests/optics/trig_table.h"

int main() {
    for (const trig_table::Case& c : trig_table::cases()) std::puts(trig_table::line(c).c_str());
    return 0;
}
