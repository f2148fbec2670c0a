#!/usr/bin/env python3
"""Checks that what the window shows is read only where it is made and drawn.

Only the window (app/form1/) and the views (app/qt/, web/) may compare a control's name as a
string or take a caption apart: everything else is told what happened in values
(app/form1/events.h). And the pure libraries (optics/, subject/, display/) include nothing of the
window. Prints each offending line and exits 1; tests and benchmarks, which look at the window
as a person does, are not checked."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
CHECKED = ['app', 'optics', 'subject', 'display', 'tools']
ALLOWED = ['app/form1/', 'app/qt/']
CONTROL = r'(?:Form1|Frame\d|Label\d+|Command\d|Option\d+|HScroll\d|Image\d|Shape\d|Line\d|STARTbutton)'
RULES = [
    (re.compile(r'name\(\)\s*[!=]=|[!=]=\s*"' + CONTROL + '"|"' + CONTROL + r'"\s*[!=]='),
     "compares a control's name as a string"),
    (re.compile(r'\.caption\s*[!=]=|[!=]=\s*[\w.>-]*\.caption\b'), 'compares a caption'),
    (re.compile(r'\.caption\s*\.\s*(?:ends_with|starts_with|find|rfind|substr|compare|size|length)\b'),
     'takes a caption apart'),
]
# Reading what a label shows, by name: only the window, the views, and the rules of what a screen
# reader is told (which speak the label's own text).
LABEL_READ = re.compile(r'\bLabel\d+\s*\)?\s*\.caption\b')
LABEL_READERS = ['app/form1/', 'app/qt/', 'app/window/accessibility.cpp']
PURE = ['optics', 'subject', 'display']
WINDOW_INCLUDE = re.compile(r'#include\s+"app/')


def main():
    faults = []
    for top in CHECKED:
        for path in sorted((ROOT / top).rglob('*')):
            if path.suffix not in ('.cpp', '.h'):
                continue
            rel = path.relative_to(ROOT).as_posix()
            lines = path.read_text(encoding='utf-8').splitlines()
            for number, line in enumerate(lines, 1):
                code = line.split('//', 1)[0]
                if top in PURE and WINDOW_INCLUDE.search(code):
                    faults.append(f'{rel}:{number}: a pure library includes the window: {line.strip()}')
                if LABEL_READ.search(code) and not any(rel.startswith(a) for a in LABEL_READERS):
                    faults.append(f"{rel}:{number}: reads what a label shows: {line.strip()}")
                if any(rel.startswith(a) for a in ALLOWED):
                    continue
                for pattern, what in RULES:
                    if pattern.search(code):
                        faults.append(f'{rel}:{number}: {what}: {line.strip()}')
    for fault in faults:
        print(fault)
    if faults:
        print(f'{len(faults)} place(s) read the window outside the window and its views', file=sys.stderr)
        return 1
    print('layers: nothing outside the window and its views reads its names or captions')
    return 0


if __name__ == '__main__':
    sys.exit(main())
