#!/usr/bin/python3
"""Puts the web site together: the page with the window as designed already in it, the
window logic (WebAssembly), the chart pictures (in one picture, which the page asks for once),
the icon, the two fonts cut down to the characters the program can show, the service worker
with the list of files it keeps for offline use, and brotli and gzip copies of the files that
compress, for servers that send them.
The page's own modules and the window's design go into one script (main.js) and its style
sheet into index.html, so that the page asks for as few files as it can.

usage: web_site.py WASM_BUILD_DIR SITE_DIR PAGE_DATA_TOOL

PAGE_DATA_TOOL is the native web_page_data program: it prints the window's design, its state
as designed and every text the window logic can show.
"""
import gzip
import hashlib
import html.parser
import json
import re
import shutil
import struct
import subprocess
import sys
import zlib
from pathlib import Path

import brotli

ROOT = Path(__file__).resolve().parent.parent
FONT_DIR = Path('/usr/share/fonts/opentype/ipafont-gothic')
LICENCE = Path('/usr/share/doc/fonts-ipafont-gothic/copyright')
FONTS = {'ipag.woff2': 'ipag.ttf', 'ipagp.woff2': 'ipagp.ttf'}
PANEL_FONT = 'ipagp.woff2'  # TrainerPGothic, the record panel's only font (panel.css)
# The page's files besides its JavaScript modules, which are found from main.js's imports.
PAGE_FILES = ['index.html', 'style.css', 'manifest.webmanifest', 'panel.css']
# The module written here: the window's design, as the window logic gives it.
DESIGN_MODULE = 'design.js'
PICTURES = ['acuity.png', 'dial.png', 'dots.png', 'redgreen.png']
# The chart pictures side by side in one file, each with its edge pixels repeated around it
# (EDGE of them), so that a picture scaled with the page samples its own edge, not its
# neighbour; and the module that says where each lies in it (generated, like the design).
CHARTS = 'charts.png'
EDGE = 2
PICTURES_MODULE = 'pictures.js'
# Files a server may send compressed (pictures and woff2 are compressed already).
COMPRESSIBLE = ('.html', '.js', '.css', '.wasm', '.webmanifest', '.txt')
IMPORT = re.compile(r"""^\s*import\b(?!\s*\()[^'"]*['"]\./([\w.-]+\.js)['"]""", re.MULTILINE)
# import('./x.js'): a module loaded later (the record panel), never preloaded nor bundled.
LATER = re.compile(r"""\bimport\(\s*['"]\./([\w.-]+\.js)['"]\s*\)""")
# What the bundle understands of a module: its imports of the page's modules, and exports.
LOCAL_IMPORT = re.compile(r"""^import (?:\{([^}]*)\}|(\w+)) from '\./([\w.-]+\.js)';\n""", re.MULTILINE)
EXPORT = re.compile(r'^export (?:(const|let|class|function|async function) (\w+)|default )', re.MULTILINE)


def modules(folder, later=False):
    """main.js and every module it imports, directly or not, in the order they are met (a
    module not in `folder`, such as the built trainer.js, is listed but not read); with
    `later`, also those it loads later (import()) and theirs."""
    found = ['main.js']
    for name in found:
        if not (folder / name).exists():
            continue
        text = (folder / name).read_text(encoding='utf-8')
        for imported in IMPORT.findall(text) + (LATER.findall(text) if later else []):
            if imported not in found:
                found.append(imported)
    return found


class PageText(html.parser.HTMLParser):
    """The texts the page itself shows: text in its body, outside noscript."""

    def __init__(self):
        super().__init__()
        self.text, self.skip, self.body = [], 0, False

    def handle_starttag(self, tag, attrs):
        self.body |= tag == 'body'
        self.skip += tag in ('noscript', 'script')

    def handle_endtag(self, tag):
        self.skip -= tag in ('noscript', 'script')

    def handle_data(self, data):
        if self.body and not self.skip:
            self.text.append(data)


def shown_characters(texts, page):
    chars = {chr(c) for c in range(0x20, 0x7F)}
    for t in texts:
        chars.update(t)
    reader = PageText()
    reader.feed(page)
    for t in reader.text:
        chars.update(t)
    return ''.join(sorted(c for c in chars if c.isprintable() or c == '\u3000'))


def subset_fonts(fonts_out, text, panel_text):
    """Both fonts with the window's characters; the proportional one, in which the record panel
    is set, with the panel's too."""
    (fonts_out / 'characters.txt').write_text(panel_text + '\n', encoding='utf-8')
    for out, source in FONTS.items():
        chars = panel_text if out == PANEL_FONT else text
        subprocess.run(
            [sys.executable, '-m', 'fontTools.subset', str(FONT_DIR / source), f'--text={chars}',
             '--flavor=woff2', f'--output-file={fonts_out / out}', '--layout-features=*',
             '--name-IDs=*', '--name-languages=*', '--notdef-outline'],
            check=True)
    shutil.copy(LICENCE, fonts_out / 'LICENSE-IPA-Font.txt')


def read_png(path):
    """An 8-bit RGB or RGBA PNG, not interlaced: (width, height, channels, rows of bytes)."""
    data = path.read_bytes()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        sys.exit(f'web_site.py: {path} is not a PNG')
    pos, idat, head = 8, b'', None
    while pos < len(data):
        size, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + size]
        if kind == b'IHDR':
            head = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + size
    width, height, depth, colour, _, _, interlace = head
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit(f'web_site.py: {path} is not an 8-bit RGB or RGBA PNG without interlace')
    channels = 3 if colour == 2 else 4
    raw, stride = zlib.decompress(idat), width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = row[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                row[x] = (row[x] + a) & 255
            elif kind == 2:
                row[x] = (row[x] + b) & 255
            elif kind == 3:
                row[x] = (row[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                near = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
                row[x] = (row[x] + near) & 255
        rows.append(row)
        previous = row
    return width, height, channels, rows


def write_png(path, width, rows):
    """An 8-bit RGBA PNG of `rows` (bytes, width * 4 each), each row filtered as compresses best."""
    out, previous = bytearray(), bytearray(width * 4)
    for row in rows:
        candidates = [bytes([0]) + row, bytes([1]) + bytes((row[x] - (row[x - 4] if x >= 4 else 0)) & 255 for x in range(len(row))),
                      bytes([2]) + bytes((row[x] - previous[x]) & 255 for x in range(len(row)))]
        out += min(candidates, key=lambda line: sum(v if v < 128 else 256 - v for v in line[1:]))
        previous = row

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    head = struct.pack('>IIBBBBB', width, len(rows), 8, 6, 0, 0, 0)
    path.write_bytes(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', head) + chunk(b'IDAT', zlib.compress(bytes(out), 9))
                     + chunk(b'IEND', b''))


def chart_sprite(site):
    """assets/charts.png with every chart picture, and pictures.js: where each lies in it."""
    pictures = {name: read_png(ROOT / 'assets' / name) for name in PICTURES}
    width = sum(w + 2 * EDGE for w, _, _, _ in pictures.values())
    height = max(h for _, h, _, _ in pictures.values()) + 2 * EDGE
    sheet = [bytearray(width * 4) for _ in range(height)]  # transparent where no picture reaches
    places, left = {}, 0
    for name, (w, h, channels, rows) in pictures.items():
        for y in range(h + 2 * EDGE):
            source = rows[min(max(y - EDGE, 0), h - 1)]
            for x in range(w + 2 * EDGE):
                sx = min(max(x - EDGE, 0), w - 1) * channels
                pixel = source[sx:sx + 3] + (source[sx + 3:sx + 4] if channels == 4 else b'\xff')
                sheet[y][(left + x) * 4:(left + x + 1) * 4] = pixel
        places[name] = [left + EDGE, EDGE]
        left += w + 2 * EDGE
    write_png(site / 'assets' / CHARTS, width, sheet)
    (site / PICTURES_MODULE).write_text(
        '// Where each chart picture lies in assets/charts.png: its left and top, in pixels.\n'
        f'export default {json.dumps(places)};\n', encoding='utf-8')


def bundle(site):
    """Puts main.js and the page's modules it imports (those of web/, the design and where the
    chart pictures lie) into main.js, each imported one in a function of its own (so that their
    names cannot meet), in the order they are needed; the window logic's (trainer.js) stays an import, so that the
    browser tests can serve their own build of it. Removes the modules put in, except those that
    a module loaded later imports as well."""
    order, seen = [], set()

    def visit(name, path):
        if name in path:
            sys.exit(f'web_site.py: modules import each other: {" -> ".join(path + [name])}')
        if name in seen:
            return
        for _, _, imported in LOCAL_IMPORT.findall((site / name).read_text(encoding='utf-8')):
            if (ROOT / 'web' / imported).exists() or imported in (DESIGN_MODULE, PICTURES_MODULE):
                visit(imported, path + [name])
        seen.add(name)
        order.append(name)

    visit('main.js', [])
    scope = lambda name: '__' + re.sub(r'\W', '_', name[:-3])

    def imports_of(text):
        def binding(m):
            names, default, source = m.groups()
            if source not in order:
                return m.group(0)
            if default:
                return f'const {default} = {scope(source)}.default;\n'
            if ' as ' in names:
                sys.exit(f'web_site.py: renamed imports are not bundled: {m.group(0).strip()}')
            return f'const {{ {", ".join(n.strip() for n in names.split(",") if n.strip())} }} = {scope(source)};\n'
        return LOCAL_IMPORT.sub(binding, text)

    parts = []
    for name in order[:-1]:
        text = (site / name).read_text(encoding='utf-8')
        exported = [n for _, n in EXPORT.findall(text) if n]
        if re.search(r'^export default ', text, re.MULTILINE):
            exported.append('default: __default')
        text = re.sub(r'^export default ', 'const __default = ', text, flags=re.MULTILINE)
        text = EXPORT.sub(lambda m: m.group(0)[len('export '):], text)
        parts.append(f'// {name}\nconst {scope(name)} = (() => {{\n{imports_of(text)}'
                     f'return {{ {", ".join(exported)} }};\n}})();\n')
    main = imports_of((site / 'main.js').read_text(encoding='utf-8'))
    # The imports left (the window logic's) go first, as a module's imports must.
    outside = ''.join(re.findall(r'^import .*;\n', main, re.MULTILINE))
    main = re.sub(r'^import .*;\n', '', main, flags=re.MULTILINE)
    (site / 'main.js').write_text(outside + '\n'.join(parts) + '// main.js\n' + main, encoding='utf-8')
    # A module the later ones import too (the shared DOM helpers) stays a file of its own for them.
    later = set(modules(site, later=True)) - set(modules(site))
    needed_later = {m for name in later if (site / name).exists()
                    for _, _, m in LOCAL_IMPORT.findall((site / name).read_text(encoding='utf-8'))}
    for name in order[:-1]:
        if name not in needed_later:
            (site / name).unlink()


def write_page(site, data):
    """index.html with its script preloaded, the window as designed in the stage and the
    style sheet in its head; main.js with the page's modules and the design in it."""
    data_file = site.parent / 'page-data.json'
    data_file.write_text(json.dumps(data, ensure_ascii=False), encoding='utf-8')
    window = subprocess.run(['node', str(ROOT / 'scripts' / 'web_prerender.mjs'), str(site), str(data_file)],
                            check=True, capture_output=True, text=True).stdout.strip()
    # The design for main.js, so that the page need not ask the window logic for it: a string
    # for JSON.parse, which reads a large literal faster than JavaScript's own parser does.
    design = json.dumps(json.dumps(data['design'], ensure_ascii=False, separators=(',', ':')), ensure_ascii=False)
    (site / DESIGN_MODULE).write_text(f'export default JSON.parse({design});\n', encoding='utf-8')
    bundle(site)
    preloads = ''.join(f'<link rel="modulepreload" href="{m}">\n' for m in modules(site))
    page = (site / 'index.html').read_text(encoding='utf-8')
    page = re.sub(r'<!-- modulepreload:.*?-->\n', lambda _: preloads, page)
    page = re.sub(r'<!-- window:.*?-->', lambda _: window, page)
    style = (site / 'style.css').read_text(encoding='utf-8')
    link = '<link rel="stylesheet" href="style.css">'
    if link not in page:
        sys.exit('web_site.py: index.html does not link style.css')
    page = page.replace(link, f'<style>\n{style}</style>', 1)
    (site / 'style.css').unlink()
    # The face colours of the design on the root, so that the window as designed has them from
    # the first paint, before view.js sets them again.
    form = next(d for d in data['design'] if d['kind'] == 'form')
    rgb = lambda c: f'rgb({c[0]}, {c[1]}, {c[2]})'
    colours = f'--button-face: {rgb(form["buttonFace"])}; --window-text: {rgb(form["windowText"])}'
    page = page.replace('<html lang="ja">', f'<html lang="ja" style="{colours}">', 1)
    (site / 'index.html').write_text(page, encoding='utf-8')


def compress(site):
    for path in sorted(site.rglob('*')):
        if path.suffix in COMPRESSIBLE and path.is_file():
            raw = path.read_bytes()
            for suffix, squeezed in (('.br', brotli.compress(raw, quality=11)),
                                     ('.gz', gzip.compress(raw, compresslevel=9, mtime=0))):
                if len(squeezed) < len(raw):
                    path.with_name(path.name + suffix).write_bytes(squeezed)


def main():
    wasm_build, site, tool = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
    if site.exists():
        shutil.rmtree(site)
    (site / 'assets').mkdir(parents=True)
    (site / 'fonts').mkdir()
    for f in ('trainer.js', 'trainer.wasm'):
        shutil.copy(wasm_build / f, site / f)
    for f in PAGE_FILES + [m for m in modules(ROOT / 'web', later=True) if (ROOT / 'web' / m).exists()]:
        shutil.copy(ROOT / 'web' / f, site / f)
    chart_sprite(site)
    shutil.copy(ROOT / 'assets' / 'icon.png', site / 'icon.png')
    shutil.copy(ROOT / 'assets' / 'icon-48.png', site / 'icon-48.png')

    data = json.loads(subprocess.run([str(tool)], check=True, capture_output=True).stdout)
    page = (site / 'index.html').read_text(encoding='utf-8')
    subset_fonts(site / 'fonts', shown_characters(data['texts'], page),
                 shown_characters(data['texts'] + data['panelTexts'], page))
    write_page(site, data)

    cached = ['./'] + sorted(str(p.relative_to(site)) for p in site.rglob('*')
                             if p.is_file() and p.suffix not in ('.txt',))
    digest = hashlib.sha256()
    for name in cached[1:]:
        digest.update(name.encode() + b'\0' + (site / name).read_bytes())
    worker = (ROOT / 'web' / 'sw.js').read_text(encoding='utf-8')
    worker = worker.replace("'__VERSION__'", json.dumps('trainer-' + digest.hexdigest()[:16]))
    worker = worker.replace('__FILES__', json.dumps(cached))
    (site / 'sw.js').write_text(worker, encoding='utf-8')
    compress(site)


if __name__ == '__main__':
    main()
