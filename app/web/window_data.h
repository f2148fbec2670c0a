#pragma once
// The window as data, for a view that lives outside this process (the web view, and the page
// rendered at build time): the design properties of every control, the state of every control
// after an action, and the effects the platform must carry out. Everything a view would otherwise
// work out itself (fonts, caption lines, insets, focus and arrow moves) is in here, from
// app/window/view_rules.h and app/accessibility.h. JSON, written by app/json.h.

#include <string>
#include <vector>

#include "app/form1/form1.h"

// What the window logic asked of the machine since the view last looked.
struct PlatformEffects {
    int beeps = 0;
    int prints = 0;
    bool end = false;
    std::vector<std::string> notices;
};

// Every control with what never changes: kind, name, container, geometry (pixels), look and
// resolved font, whether its caption may wrap, tab index, scroll range, picture file, stacking
// (a frame's children, top-most first), a circle's border inset (twips), and for the controls
// that take the focus or go grey, the colours of the focus mark and of the disabled caption on
// their face, and a scroll bar's accessible name. The window's own entry also carries twips per
// pixel and the colours to paint for the system's button face and window text.
std::string designJson(const Form1& form);

// Every control with what the handlers change (caption, with its lines where it breaks at set
// places, visible, enabled, whether it takes input now, selected and the arrow keys' targets of
// an option button, value, greyed and readout text of a scroll bar, and the geometry of circles
// and lines in twips), what the phoropter picture shows in words, the control the focus goes to
// first, plus the effects to carry out.
std::string stateJson(const Form1& form, const PlatformEffects& effects);
