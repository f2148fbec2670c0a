// Prints what the web site is built from, as one JSON object: the window's design, its state
// as designed (before the first customer is drawn: the page shows it until the WebAssembly has
// taken over), every text the window can show and every text of the panel beside it (for the
// fonts).
//
//   web_page_data > page-data.json

#include <cstdio>
#include <string>
#include <utility>

#include "app/form1/form1.h"
#include "app/web/json.h"
#include "app/web/page_sitting.h"
#include "app/web/shown_texts.h"
#include "app/web/window_data.h"

int main() {
    RecordingPlatform platform;
    SeededRandom random(1);
    const Form1 form(platform, random);
    std::string out = "{\"design\":" + designJson(form) + ",\"state\":" + stateJson(form, platform.take());
    const ShownTexts shown = shownTexts();
    for (const auto& [key, texts] : {std::pair{"texts", &shown.window}, std::pair{"panelTexts", &shown.panel}}) {
        out += std::string(",\"") + key + "\":[";
        bool first = true;
        for (const std::string& t : *texts) {
            if (!first) out += ',';
            first = false;
            out += jsonString(t);
        }
        out += ']';
    }
    out += "}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
