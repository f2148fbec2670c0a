#pragma once
// How every view shows the window's controls, decided here once: the font a control is drawn
// in, whether and where its caption wraps, where a circle's border lies, the colours the views
// paint for the system's colours, and for the keyboard where the focus goes first and where an
// arrow key moves it within a group of option buttons. The Qt view calls these; the web view
// reads them from the design and state data (app/web/window_data.h).

#include <string>
#include <vector>

#include "app/window/controls.h"

class Form1;

// --- Look ---

// The colours a view paints where the layout names the system's button face and window text.
inline constexpr Rgb kButtonFace{240, 240, 240};
inline constexpr Rgb kWindowText{0, 0, 0};

// The window's default font, for the controls that name none.
inline const FontSpec kDefaultFont{kPGothic, 9, false};

// The font a control is drawn in: its own, or the window's default.
const FontSpec& resolvedFont(const Control& c);
// The height of a font's em in pixels at the layout's 96 dots per inch.
double fontPixels(const FontSpec& font);

// Whether a control's caption may take several lines: its box is at least two lines of its font
// high (the em rounded to whole pixels). In a lower box a second line would only overwrite the first.
bool captionWraps(const Control& c);

// The lines of a caption that breaks at a set place, as Japanese is set: between phrases
// ("測定終了" / "正解は？"), never inside a word. A single entry for every other caption, which
// its view wraps to the box where captionWraps says it may.
std::vector<std::string> captionLines(const std::string& caption);

// How far a circle's border lies inside its box, in twips: half the border's width, the whole
// border inside; nothing without a border.
double circleInset(const Circle& c);

// --- Keyboard ---

// The control that takes the focus when the window opens: the first tab stop in tab order.
const Control* firstFocus(const Form1& form);

// Where an arrow key moves from `from` within its option group: the next button in tab order
// (step +1: Right and Down) or the previous one (step -1: Left and Up) that can be operated,
// coming round at the ends. Null when no other button of the group can be operated.
const OptionButton* arrowTarget(const Form1& form, const OptionButton& from, int step);
