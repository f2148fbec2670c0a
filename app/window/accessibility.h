#pragma once
// What a view needs to make the window usable without a mouse or without sight, the same in
// every view: where the keyboard focus goes when an action takes it away, which controls are
// tab stops, what a screen reader says for the scroll bars and the phoropter picture, and the
// colours that keep focus marks and disabled captions legible.

#include <optional>
#include <string>

#include "app/window/controls.h"

class Form1;

// --- Keyboard focus ---

// Whether the control is a tab stop now: it can be operated and, for an option button, it is
// the one stop of its group (the selected button, or else the first that can be operated).
bool isTabStop(const Form1& form, const Control& c);

// Where the keyboard focus belongs after an action taken while `focused` had it: `focused`
// itself while it is still a tab stop; otherwise the control its action leads on to
// (STARTbutton to the question button, Command4 to Command2, Command2 to the cross-cylinder
// bar, Command5 to STARTbutton) when that is a tab stop; otherwise the first tab stop in tab
// order. A move never lands on Command1 or Command5, which cannot be undone. Null only when
// nothing else can take the focus.
const Control* focusAfterAction(const Form1& form, const Control* focused);

// --- Screen reader ---

// What a control is called beyond its caption: what a scroll bar sets ("球面度数", ...), the chart a
// picture shows ("視力表", ...); empty for every other control.
std::string accessibleName(const Form1& form, const Control& c);
// Whether a screen reader may learn anything of the control: it and every frame around it are
// shown. A hidden control tells nothing of its caption (the correct value stays secret in test
// mode until the end).
bool isPerceivable(const Control& c);

// A scroll bar's setting as its readout shows it: the number in the readout's own unit and
// direction (dioptres with their sign, degrees of axis 1 to 180), and the bar's range and step in
// the same unit. The sphere bar runs from +10 at its left end to -10 at its right.
struct ReadoutScale {
    double value = 0, minimum = 0, maximum = 0, step = 0;
};
// Null for every control that is not a scroll bar with a readout.
std::optional<ReadoutScale> readoutScale(const Form1& form, const Control& c);
// The bar position whose readout is nearest `number`, within the bar's range.
int positionForReadout(const Form1& form, const HScrollBar& bar, double number);

// What to announce, without moving the focus, after the user operated `acted`: the customer's
// answer after the question button. Empty when there is nothing to announce.
std::string announcementAfter(const Form1& form, const Control& acted);
// The readout label that shows a scroll bar's setting; null for every other control.
const Label* readoutOf(const Form1& form, const Control& c);
// What the phoropter picture shows: the direction of the axis mark and, while the cross
// cylinder is in, the direction of its handle and which side faces the customer.
std::string phoropterDescription(const Form1& form);

// The direction of a line as an axis, 1 to 180 degrees counter-clockwise from the right
// (screen y downwards; horizontal reads 180, as the axis readouts do).
int axisDirection(const Line& line);

// --- Colours ---

// Contrast ratio of two sRGB colours, 1 to 21.
double contrastRatio(const Rgb& a, const Rgb& b);
// Black or white, whichever stands out more on `face`: the colour of a focus mark.
Rgb focusMarkColour(const Rgb& face);
// A grey for a disabled caption on `face`: as light as it can be (so it still reads as
// disabled next to the black of an enabled caption) with at least 3.5:1 against the face.
Rgb disabledCaptionColour(const Rgb& face);
