// The desktop build and the WebAssembly build must compute sine, cosine, tangent, arc tangents
// and power to the same bits, or the same case shows different texts on different machines.
// Both builds print their results on one table of arguments (tests/trig_table.h); the texts must
// be equal line for line.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const NATIVE = path.join(process.env.TRAINER_NATIVE_BUILD ?? path.join(root, 'build'), 'trig_table');
const WASM = path.join(process.env.TRAINER_WASM_BUILD ?? path.join(root, 'build-web/cmake'), 'trig_table.js');

// The lines `command` prints; `built` is the build output it needs.
function lines(built, command, args = []) {
  const hint = 'build the desktop (scripts/build) and the web view (scripts/web --build) first';
  assert.ok(existsSync(built), `${built} is missing: ${hint}`);
  return execFileSync(command, args, { encoding: 'utf8', maxBuffer: 64 << 20 }).split('\n');
}

test('the desktop and the WebAssembly build give the same bits on the whole table', () => {
  const native = lines(NATIVE, NATIVE);
  const wasm = lines(WASM, process.execPath, [WASM]);
  assert.ok(native.length > 5000, `only ${native.length} lines from ${NATIVE}`);

  const differing = native.filter((line, i) => line !== wasm[i]);
  const first = native.findIndex((line, i) => line !== wasm[i]);
  assert.equal(wasm.length, native.length, 'both builds print the same number of cases');
  const report = [`${differing.length} differ, first at line ${first + 1}`, native[first], wasm[first]];
  assert.deepEqual(
    differing.length === 0 ? [] : report,
    [],
    'function, arguments and result (hex): desktop first, then WebAssembly',
  );
});
