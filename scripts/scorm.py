#!/usr/bin/env python3
"""The web trainer as a SCORM 1.2 package for a school's learning system, and its settings.

    python3 scorm.py package SITE PACKAGE.zip      (scripts/web does this after building the site)
    python3 scorm.py settings PACKAGE.zip [--case CODE] [--mode test|practice|sample]
                                          [--customers N] [--mastery SCORE|none]
    python3 scorm.py show PACKAGE.zip

`settings` rewrites only imsmanifest.xml inside the package, so a teacher can set the case code
the class plays, the mode whose cases count, how many customers complete the exercise and the
score that passes, with nothing but Python. The settings travel as the item's launch data
(adlcp:datafromlms), e.g. "case=ABCD-EFGH-J&mode=test&customers=5&mastery=80", which the page
reads through cmi.launch_data. Standard library only.
"""

import argparse
import re
import sys
import zipfile
from pathlib import Path
from xml.etree import ElementTree as ET

IMSCP = 'http://www.imsproject.org/xsd/imscp_rootv1p1p2'
ADLCP = 'http://www.adlnet.org/xsd/adlcp_rootv1p2'
XSI = 'http://www.w3.org/2001/XMLSchema-instance'
MANIFEST = 'imsmanifest.xml'
TITLE = '自覚的屈折検査トレーナー'
MODES = ('test', 'practice', 'sample')
DEFAULTS = {'mode': 'test', 'customers': '5'}

# The site's files that a learning system's copy has no use for: the service worker (content in
# a learning system is served from the system's own addresses, under its own rules) and the
# precompressed copies a web server would send in place of the files.
LEFT_OUT = re.compile(r'(^|/)sw\.js$|\.(br|gz)$')

# Crockford's base 32 with its check symbols, as the trainer writes and reads case codes.
DIGITS = '0123456789ABCDEFGHJKMNPQRSTVWXYZ'
CHECKS = DIGITS + '*~$=U'


def read_code(text):
    """The code's canonical text "XXXX-XXXX-C", or None when it cannot be read (so that a typo
    is caught here, not by a class of students each playing a code of their own)."""
    t = text.upper().replace('-', '').replace(' ', '').replace('I', '1').replace('L', '1').replace('O', '0')
    if len(t) != 9 or any(c not in DIGITS for c in t[:8]) or t[8] not in CHECKS:
        return None
    number = 0
    for c in t[:8]:
        number = number * 32 + DIGITS.index(c)
    if CHECKS[number % 37] != t[8]:
        return None
    return f'{t[:4]}-{t[4:8]}-{t[8]}'


def launch_data(settings):
    return '&'.join(f'{k}={settings[k]}' for k in ('case', 'mode', 'customers', 'mastery') if settings.get(k))


def parse_launch_data(text):
    return dict(pair.split('=', 1) for pair in (text or '').split('&') if '=' in pair)


def manifest(files, settings):
    """imsmanifest.xml for one SCO that launches index.html, with the settings as launch data."""
    ET.register_namespace('', IMSCP)
    ET.register_namespace('adlcp', ADLCP)
    ET.register_namespace('xsi', XSI)
    root = ET.Element(f'{{{IMSCP}}}manifest', {
        'identifier': 'refraction-trainer', 'version': '1.0',
        f'{{{XSI}}}schemaLocation': f'{IMSCP} imscp_rootv1p1p2.xsd {ADLCP} adlcp_rootv1p2.xsd'})
    meta = ET.SubElement(root, f'{{{IMSCP}}}metadata')
    ET.SubElement(meta, f'{{{IMSCP}}}schema').text = 'ADL SCORM'
    ET.SubElement(meta, f'{{{IMSCP}}}schemaversion').text = '1.2'
    orgs = ET.SubElement(root, f'{{{IMSCP}}}organizations', {'default': 'trainer'})
    org = ET.SubElement(orgs, f'{{{IMSCP}}}organization', {'identifier': 'trainer'})
    ET.SubElement(org, f'{{{IMSCP}}}title').text = TITLE
    item = ET.SubElement(org, f'{{{IMSCP}}}item', {'identifier': 'trainer-item', 'identifierref': 'trainer-sco',
                                                  'isvisible': 'true'})
    ET.SubElement(item, f'{{{IMSCP}}}title').text = TITLE
    set_item_settings(item, settings)
    resources = ET.SubElement(root, f'{{{IMSCP}}}resources')
    res = ET.SubElement(resources, f'{{{IMSCP}}}resource', {
        'identifier': 'trainer-sco', 'type': 'webcontent', f'{{{ADLCP}}}scormtype': 'sco', 'href': 'index.html'})
    for f in files:
        ET.SubElement(res, f'{{{IMSCP}}}file', {'href': f})
    ET.indent(root)
    return b'<?xml version="1.0" encoding="UTF-8"?>\n' + ET.tostring(root, encoding='utf-8') + b'\n'


def set_item_settings(item, settings):
    """The item's launch data and mastery score as `settings` says (after its title)."""
    for name in ('datafromlms', 'masteryscore'):
        for old in item.findall(f'{{{ADLCP}}}{name}'):
            item.remove(old)
    ET.SubElement(item, f'{{{ADLCP}}}datafromlms').text = launch_data(settings)
    if settings.get('mastery'):
        ET.SubElement(item, f'{{{ADLCP}}}masteryscore').text = settings['mastery']


def package(site, out):
    site = Path(site)
    files = sorted(p.relative_to(site).as_posix() for p in site.rglob('*')
                   if p.is_file() and not LEFT_OUT.search(p.relative_to(site).as_posix()))
    if 'index.html' not in files:
        sys.exit(f'scorm.py: no index.html in {site}')
    Path(out).parent.mkdir(parents=True, exist_ok=True)
    with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr(MANIFEST, manifest(files, dict(DEFAULTS)))
        for f in files:
            z.write(site / f, f)


def item_of(root):
    item = root.find(f'.//{{{IMSCP}}}item')
    if item is None:
        sys.exit('scorm.py: the manifest has no item')
    return item


def read_manifest(path):
    with zipfile.ZipFile(path) as z:
        return ET.fromstring(z.read(MANIFEST))


def current_settings(root):
    data = item_of(root).find(f'{{{ADLCP}}}datafromlms')
    return parse_launch_data(data.text if data is not None else '')


def settings(path, args):
    ET.register_namespace('', IMSCP)
    ET.register_namespace('adlcp', ADLCP)
    ET.register_namespace('xsi', XSI)
    root = read_manifest(path)
    s = {**DEFAULTS, **current_settings(root)}
    if args.case is not None:
        if args.case in ('', 'none'):
            s.pop('case', None)
        else:
            code = read_code(args.case)
            if not code:
                sys.exit(f'scorm.py: 問題コードが正しくありません: {args.case}')
            s['case'] = code
    if args.mode is not None:
        s['mode'] = args.mode
    if args.customers is not None:
        if not 1 <= args.customers <= 1000:
            sys.exit('scorm.py: --customers takes 1 to 1000')
        s['customers'] = str(args.customers)
    if args.mastery is not None:
        if args.mastery == 'none':
            s.pop('mastery', None)
        elif args.mastery.isdigit() and 0 <= int(args.mastery) <= 100:
            s['mastery'] = str(int(args.mastery))
        else:
            sys.exit('scorm.py: --mastery takes 0 to 100, or none')
    set_item_settings(item_of(root), s)
    ET.indent(root)
    text = b'<?xml version="1.0" encoding="UTF-8"?>\n' + ET.tostring(root, encoding='utf-8') + b'\n'
    # Every other entry is copied as it is; only the manifest is written anew.
    tmp = Path(path).with_suffix('.tmp')
    with zipfile.ZipFile(path) as src, zipfile.ZipFile(tmp, 'w', zipfile.ZIP_DEFLATED) as dst:
        for info in src.infolist():
            if info.filename == MANIFEST:
                dst.writestr(info, text)
            else:
                dst.writestr(info, src.read(info.filename))
    tmp.replace(path)
    print(launch_data(s))


def main():
    parser = argparse.ArgumentParser(description='The web trainer as a SCORM 1.2 package, and its settings.')
    sub = parser.add_subparsers(dest='command', required=True)
    p = sub.add_parser('package', help='packages a built site')
    p.add_argument('site')
    p.add_argument('package')
    s = sub.add_parser('settings', help="rewrites a package's settings")
    s.add_argument('package')
    s.add_argument('--case', help='the case code the class plays (none: each student their own)')
    s.add_argument('--mode', choices=MODES, help='the mode whose cases count (default test)')
    s.add_argument('--customers', type=int, help='ended cases that complete the exercise (default 5)')
    s.add_argument('--mastery', help='the average score that passes, 0 to 100, or none')
    w = sub.add_parser('show', help="prints a package's settings")
    w.add_argument('package')
    args = parser.parse_args()
    if args.command == 'package':
        package(args.site, args.package)
    elif args.command == 'settings':
        settings(args.package, args)
    else:
        print(launch_data(current_settings(read_manifest(args.package))))


if __name__ == '__main__':
    main()
