#pragma once
// The font both views draw the review plot's texts in (the proportional IPA Gothic: the page's
// TrainerPGothic is cut from it), and the width of a text in it, from the font's own advances,
// so that the core can place every label and no view has to measure or move one.

#include <string_view>

inline constexpr const char* kPlotFontFamily = "IPAPGothic";

// The advance width of `text` (UTF-8) at `pixelSize` pixels per em: the sum of its characters'
// advances (the font has no kerning).
double plotTextWidth(std::string_view text, double pixelSize);
