#pragma once
// The layout's font names on machines without them, and its fonts as QFonts.

#include <QFont>

#include "app/window/controls.h"
#include "app/window/view_rules.h"

// Maps "ＭＳ ゴシック" to IPAGothic and "ＭＳ Ｐゴシック" to IPAPGothic (fixed and
// proportional pitch kept) and makes the window's default font the application font.
// Call before any widget is made; calling it again changes nothing.
void installFonts();

// The window's default font, used by controls that name none.
QFont defaultFont();

// The font of a control; every attribute is set, so nothing is inherited from the frame.
QFont fontFor(const FontSpec& wanted);
