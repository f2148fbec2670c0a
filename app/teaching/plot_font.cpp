#include "app/teaching/plot_font.h"

#include <algorithm>
#include <cstdint>

namespace {

struct CharAdvance {
    uint32_t codePoint;
    int advance;
};

#include "app/teaching/plot_font_widths.inc"

// The next code point of `text` from `i`, moving `i` past it; a broken sequence counts as one
// character.
uint32_t nextCodePoint(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i++);
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    uint32_t cp = more == 3 ? lead & 0x07u : more == 2 ? lead & 0x0Fu : more == 1 ? lead & 0x1Fu : lead;
    for (; more > 0 && i < text.size() && (byte(i) & 0xC0) == 0x80; --more) cp = (cp << 6) | (byte(i++) & 0x3Fu);
    return cp;
}

int advanceOf(uint32_t cp) {
    const auto* end = std::end(kPlotFontAdvances);
    const auto* found = std::lower_bound(std::begin(kPlotFontAdvances), end, cp,
                                         [](const CharAdvance& a, uint32_t c) { return a.codePoint < c; });
    return found != end && found->codePoint == cp ? found->advance : kPlotFontUnitsPerEm;
}

}  // namespace

double plotTextWidth(std::string_view text, double pixelSize) {
    long units = 0;
    for (size_t i = 0; i < text.size();) units += advanceOf(nextCodePoint(text, i));
    return static_cast<double>(units) * pixelSize / kPlotFontUnitsPerEm;
}
