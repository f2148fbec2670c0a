#!/usr/bin/python3
"""Makes the page's calls into the window logic from their one list (calls.txt):

  calls.inc            the functions the WebAssembly exports, one per call (bindings.cpp
                       includes it; the tests' hooks under TRAINER_TEST_HOOKS)
  sitting_api.js       the page's PageSitting class over them, after runtime.js (the glue's
                       --post-js in the site's build)
  sitting_api_test.js  the same with the tests' hooks (the browser tests' build)

usage: calls.py CALLS_TXT RUNTIME_JS OUT_DIR
"""
import re
import sys
from pathlib import Path

LINE = re.compile(r'^(?P<flags>(?:(?:test|static|module)\s+)*)(?P<name>\w+)\((?P<args>[^)]*)\)'
                  r'(?:\s*->\s*(?P<result>\w+))?\s*=\s*(?P<body>.+)$')
ARGUMENT = re.compile(r'^(?P<name>\w+)\s*:\s*(?P<type>\w+)(?:\s*=\s*(?P<default>.+))?$')
ARGUMENT_TYPES = {'text', 'int', 'double', 'bool'}
RESULT_TYPES = {None, 'text', 'bytes', 'int', 'bool'}
C_RESULT = {None: 'void', 'text': 'const char*', 'bytes': 'const void*', 'int': 'int', 'bool': 'int'}


class Call:
    def __init__(self, where, m):
        flags = m['flags'].split()
        self.test, self.static, self.module = 'test' in flags, 'static' in flags, 'module' in flags
        self.name, self.result, self.body = m['name'], m['result'], m['body'].strip()
        self.args = []
        for text in filter(None, (a.strip() for a in m['args'].split(','))):
            a = ARGUMENT.match(text)
            if not a or a['type'] not in ARGUMENT_TYPES:
                sys.exit(f'{where}: cannot read the argument "{text}"')
            self.args.append((a['name'], a['type'], a['default']))
        if self.result not in RESULT_TYPES:
            sys.exit(f'{where}: unknown result type {self.result}')
        if sum(t == 'text' for _, t, _ in self.args) > 1:
            sys.exit(f'{where}: at most one text argument (they share the input buffer)')
        if self.name in ('new', 'delete') and (self.result or self.static or self.module):
            sys.exit(f'{where}: {self.name} has no result and belongs to the sitting')
        prefix = 'trainer_' if self.module else 'sitting_'
        self.export = prefix + re.sub(r'(?<=[a-z0-9])([A-Z])', r'_\1', self.name).lower()

    @property
    def receiver(self):
        return not (self.static or self.module or self.name == 'new')


def read(path):
    calls = []
    for number, line in enumerate(path.read_text(encoding='utf-8').splitlines(), 1):
        line = line.strip()
        if not line or line.startswith('#'):
            continue
        m = LINE.match(line)
        if not m:
            sys.exit(f'{path}:{number}: cannot read this call')
        calls.append(Call(f'{path}:{number}', m))
    names = [(c.module, c.name) for c in calls]
    if len(set(names)) != len(names):
        sys.exit(f'{path}: a call is listed twice')
    return calls


def c_function(call):
    params, locals_ = (['PageSitting* s'] if call.receiver else []), []
    for name, kind, _ in call.args:
        if kind == 'text':
            params += [f'const char* {name}_at', f'size_t {name}_size']
            locals_.append(f'    const std::string {name}({name}_at, {name}_size);')
        elif kind == 'bool':
            params.append(f'int {name}_flag')
            locals_.append(f'    const bool {name} = {name}_flag != 0;')
        else:
            params.append(f'{kind} {name}')
    result = 'PageSitting*' if call.name == 'new' else C_RESULT[call.result]
    statement = {None: f'{call.body};', 'text': f'return give({call.body});',
                 'bytes': f'return giveBytes({call.body});', 'int': f'return {call.body};',
                 'bool': f'return ({call.body}) ? 1 : 0;'}[call.result]
    if call.name == 'new':
        statement = f'return {call.body};'
    return '\n'.join([f'EMSCRIPTEN_KEEPALIVE {result} {call.export}({", ".join(params)}) {{', *locals_,
                      f'    {statement}', '}'])


def write_c(calls, out):
    parts = ['// Made by app/wasm/calls.py from calls.txt: one exported function per call of the page.', '']
    for test in (False, True):
        chosen = [c_function(c) for c in calls if c.test == test]
        if test and chosen:
            parts += ['#ifdef TRAINER_TEST_HOOKS', *chosen, '#endif']
        else:
            parts += chosen
    out.write_text('\n'.join(parts) + '\n', encoding='utf-8')


def js_call(call):
    args = ([] if not call.receiver else ['this.at'])
    for name, kind, _ in call.args:
        args.append({'text': f'...trainerArgument({name})', 'bool': f'{name} ? 1 : 0'}.get(kind, name))
    invoke = f'_{call.export}({", ".join(args)})'
    return {None: invoke, 'text': f'trainerText({invoke})', 'bytes': f'trainerBytes({invoke})',
            'int': invoke, 'bool': f'{invoke} !== 0'}[call.result]


def js_params(call):
    return ', '.join(name + (f' = {default}' if default else '') for name, _, default in call.args)


def write_js(calls, runtime, out, test):
    chosen = [c for c in calls if test or not c.test]
    lines = [runtime.rstrip('\n'), '', '// Made by app/wasm/calls.py from calls.txt.', 'class PageSitting {']
    for c in (c for c in chosen if not c.module):
        if c.name == 'new':
            lines += [f'  constructor({js_params(c)}) {{', f'    this.at = {js_call(c)};', '  }']
            continue
        lines.append(f'  {"static " if c.static else ""}{c.name}({js_params(c)}) {{')
        if c.name == 'delete':
            lines += [f'    {js_call(c)};', '    this.at = 0;']
        else:
            lines.append(f'    {"" if c.result is None else "return "}{js_call(c)};')
        lines.append('  }')
    lines += ['}', '', "Module['PageSitting'] = PageSitting;"]
    lines += [f"Module['{c.name}'] = ({js_params(c)}) => {js_call(c)};" for c in chosen if c.module]
    out.write_text('\n'.join(lines) + '\n', encoding='utf-8')


def main():
    table, runtime, out = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
    calls = read(table)
    out.mkdir(parents=True, exist_ok=True)
    write_c(calls, out / 'calls.inc')
    text = runtime.read_text(encoding='utf-8')
    write_js(calls, text, out / 'sitting_api.js', test=False)
    write_js(calls, text, out / 'sitting_api_test.js', test=True)


if __name__ == '__main__':
    main()
