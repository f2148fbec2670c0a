// What the panel beside the window shows, from the desktop build, for the browser tests to
// compare with the page (tests/web/panel.test.mjs):
//
//   panel_probe case CODE N    the first N customers of CODE, one line each: the hidden
//                              correction (S C A) and the auto-refractor reading (Label17,
//                              the words after it left off)
//   panel_probe view ACTION..  after the actions ("click NAME", "select NAME", "arrow NAME ±1",
//                              one argument each), the customer's view: per picture a line
//                              "width height description" and a line of its RGBA bytes in hex

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/web/page_sitting.h"

namespace {

int usage() {
    std::fputs("usage: panel_probe case CODE N | panel_probe view ACTION...\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string what = argv[1];
    if (what == "case" && argc == 4) {
        PageSitting sitting(1, argv[2]);
        const long n = std::strtol(argv[3], nullptr, 10);
        for (long i = 0; i < n; ++i) {
            const Form1& f = sitting.form();
            std::printf("%s %s %s\t%s\n", shortestDecimal(f.seikaiS).c_str(), shortestDecimal(f.seikaiC).c_str(),
                        shortestDecimal(f.seikaiA).c_str(), f.setting().reading.c_str());
            sitting.click("Command5");  // the end, then the next customer
            sitting.click("STARTbutton");
        }
        return 0;
    }
    if (what != "view") return usage();
    PageSitting sitting(1);
    for (int i = 2; i < argc; ++i) {
        std::istringstream action(argv[i]);
        std::string kind, name;
        int direction = 0;
        action >> kind >> name >> direction;
        if (kind == "click")
            sitting.click(name);
        else if (kind == "select")
            sitting.select(name);
        else if (kind == "arrow")
            sitting.arrow(name, direction);
        else
            return usage();
    }
    sitting.customerView();
    for (size_t i = 0; const CustomerPicture* p = sitting.picture(i); ++i) {
        std::printf("%d %d %s\n", p->width, p->height, p->description.c_str());
        std::string hex;
        hex.reserve(p->rgba.size() * 2);
        static const char digits[] = "0123456789abcdef";
        for (const std::uint8_t b : p->rgba) {
            hex += digits[b >> 4];
            hex += digits[b & 15];
        }
        std::printf("%s\n", hex.c_str());
    }
    return 0;
}
