#!/usr/bin/python3
"""Puts the web site together: the page, the window logic (WebAssembly), the chart pictures,
the icon, the two fonts cut down to the characters the program can show, and the service
worker with the list of files it keeps for offline use.

usage: web_site.py WASM_BUILD_DIR SITE_DIR
"""
import hashlib
import json
import re
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FONT_DIR = Path('/usr/share/fonts/opentype/ipafont-gothic')
LICENCE = Path('/usr/share/doc/fonts-ipafont-gothic/copyright')
FONTS = {'ipag.woff2': 'ipag.ttf', 'ipagp.woff2': 'ipagp.ttf'}
PAGE_FILES = ['index.html', 'main.js', 'view.js', 'scrollbar.js', 'style.css', 'manifest.webmanifest']
PICTURES = ['acuity.png', 'dial.png', 'dots.png', 'redgreen.png']

# Every text the window can show is a string literal of the window logic (or of the page),
# or is put together from them and from ASCII digits and signs.
TEXT_SOURCES = [*(ROOT / d for d in ('app', 'app/form1', 'optics', 'subject', 'display'))]
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')


def shown_characters():
    chars = {chr(c) for c in range(0x20, 0x7F)}
    files = [p for d in TEXT_SOURCES for p in sorted(d.glob('*.[ch]*')) if p.suffix in ('.cpp', '.h')]
    files += [ROOT / 'web' / f for f in ('main.js', 'index.html')]
    for path in files:
        for literal in LITERAL.findall(path.read_text(encoding='utf-8')):
            chars.update(literal)
    # Page texts in JavaScript template strings and single quotes.
    for path in [ROOT / 'web' / 'main.js']:
        chars.update(c for c in path.read_text(encoding='utf-8') if ord(c) > 0x7F)
    return ''.join(sorted(c for c in chars if c.isprintable() or c == '\u3000'))


def subset_fonts(fonts_out):
    text = shown_characters()
    (fonts_out / 'characters.txt').write_text(text + '\n', encoding='utf-8')
    for out, source in FONTS.items():
        subprocess.run(
            [sys.executable, '-m', 'fontTools.subset', str(FONT_DIR / source), f'--text={text}',
             '--flavor=woff2', f'--output-file={fonts_out / out}', '--layout-features=*',
             '--name-IDs=*', '--name-languages=*', '--notdef-outline'],
            check=True)
    shutil.copy(LICENCE, fonts_out / 'LICENSE-IPA-Font.txt')


def main():
    wasm_build, site = Path(sys.argv[1]), Path(sys.argv[2])
    if site.exists():
        shutil.rmtree(site)
    (site / 'assets').mkdir(parents=True)
    (site / 'fonts').mkdir()
    for f in PAGE_FILES:
        shutil.copy(ROOT / 'web' / f, site / f)
    for f in ('trainer.js', 'trainer.wasm'):
        shutil.copy(wasm_build / f, site / f)
    for f in PICTURES:
        shutil.copy(ROOT / 'assets' / f, site / 'assets' / f)
    shutil.copy(ROOT / 'assets' / 'icon.png', site / 'icon.png')
    shutil.copy(ROOT / 'assets' / 'icon-48.png', site / 'icon-48.png')
    subset_fonts(site / 'fonts')

    cached = ['./'] + sorted(str(p.relative_to(site)) for p in site.rglob('*')
                             if p.is_file() and p.suffix not in ('.txt',))
    digest = hashlib.sha256()
    for name in cached[1:]:
        digest.update(name.encode() + b'\0' + (site / name).read_bytes())
    worker = (ROOT / 'web' / 'sw.js').read_text(encoding='utf-8')
    worker = worker.replace("'__VERSION__'", json.dumps('trainer-' + digest.hexdigest()[:16]))
    worker = worker.replace('__FILES__', json.dumps(cached))
    (site / 'sw.js').write_text(worker, encoding='utf-8')


if __name__ == '__main__':
    main()
