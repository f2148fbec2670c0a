// The desktop build and the WebAssembly build must compute the same results to the last bit, or
// the same case shows different texts on different machines. Both builds run the same three
// programs: the portable sine, cosine, tangent, arc tangents and power on one table of arguments
// (tests/optics/trig_table.h), the residual texts of every hidden cylinder against every lens
// (tools/probes/residual_texts_main.cpp) and a seeded walk of user actions on the window
// (tools/probes/sitting_walk_main.cpp). Their output must be equal line for line.

import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const NATIVE = process.env.TRAINER_NATIVE_BUILD ?? path.join(root, 'build');
const WASM = process.env.TRAINER_WASM_BUILD ?? path.join(root, 'build-web/cmake');

// The lines `command` prints; `built` is the build output it needs.
async function lines(built, command, args) {
  const hint = 'build the desktop (scripts/build) and the web view (scripts/web --build) first';
  assert.ok(existsSync(built), `${built} is missing: ${hint}`);
  const { stdout } = await promisify(execFile)(command, args, { encoding: 'utf8', maxBuffer: 64 << 20 });
  return stdout.split('\n');
}

// Runs `program` in both builds at once and compares what they print.
async function sameInBothBuilds(program, args, minimum) {
  const nativeProgram = path.join(NATIVE, program);
  const wasmProgram = path.join(WASM, `${program}.cjs`);
  const [native, wasm] = await Promise.all([
    lines(nativeProgram, nativeProgram, args),
    lines(wasmProgram, process.execPath, [wasmProgram, ...args]),
  ]);
  assert.ok(native.length > minimum, `only ${native.length} lines from ${nativeProgram}`);
  assert.equal(wasm.length, native.length, 'both builds print as many lines');
  const first = native.findIndex((line, i) => line !== wasm[i]);
  const differing = native.filter((line, i) => line !== wasm[i]).length;
  assert.deepEqual(
    first < 0 ? [] : [`${differing} lines differ, the first is line ${first + 1}`, native[first], wasm[first]],
    [],
    `${program}: desktop first, then WebAssembly`,
  );
}

test('the portable functions give the same bits in both builds on the whole table', async () => {
  // Each line: function, arguments and result as the bits of the doubles in hex.
  await sameInBothBuilds('trig_table', [], 5000);
});

test('the residual texts of every hidden cylinder against every lens are the same in both builds', async () => {
  // Each line: a hidden correction, a digest of its residual texts and how many show "-0.00".
  await sameInBothBuilds('residual_texts', [], 2000);
});

test('a seeded walk of 5000 actions leaves the same state of every control in both builds', async () => {
  // Each line: the action and a digest of the state JSON after it; `sitting_walk SEED 5000 full`
  // prints the states themselves.
  await sameInBothBuilds('sitting_walk', ['20261208', '5000'], 5000);
});
