#!/usr/bin/env python3
"""Writes app/teaching/plot_font_widths.inc: the advance widths of the proportional IPA Gothic
(IPAPGothic, the page's TrainerPGothic), in which both views draw the review plot's texts, so
that the core can place the plot's labels without either view measuring them.

Only the characters narrower or wider than one em are listed (the kanji and most full-width
signs are one em); the font has no kerning, so a text's width is the sum of its advances.
Run again if the font changes: /usr/bin/python3 scripts/plot_font_widths.py
"""
from pathlib import Path

from fontTools.ttLib import TTFont

FONT = Path('/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf')
OUT = Path(__file__).resolve().parent.parent / 'app/teaching/plot_font_widths.inc'


def main():
    font = TTFont(FONT)
    em = font['head'].unitsPerEm
    assert 'kern' not in font and 'GPOS' not in font, 'widths would need the kerning too'
    metrics = font['hmtx'].metrics
    widths = {cp: metrics[glyph][0] for cp, glyph in font.getBestCmap().items()}
    odd = sorted((cp, w) for cp, w in widths.items() if w != em and cp < 0x10000)
    lines = [
        '// Written by scripts/plot_font_widths.py from ipagp.ttf: do not edit.',
        f'// Units per em, then (code point, advance) for every character whose advance is not one em.',
        f'constexpr int kPlotFontUnitsPerEm = {em};',
        'constexpr CharAdvance kPlotFontAdvances[] = {',
    ]
    row = []
    for cp, w in odd:
        row.append(f'{{0x{cp:04X}, {w}}},')
        if len(row) == 8:
            lines.append('    ' + ' '.join(row))
            row = []
    if row:
        lines.append('    ' + ' '.join(row))
    lines.append('};')
    OUT.write_text('\n'.join(lines) + '\n', encoding='utf-8')
    print(f'{OUT}: {len(odd)} characters')


if __name__ == '__main__':
    main()
