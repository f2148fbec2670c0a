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

// The fields of one CSV line (quoted fields may hold commas and doubled quotes, never a line end).
function csvFields(line) {
  const fields = [];
  let field = '';
  let quoted = false;
  for (let i = 0; i < line.length; i++) {
    const ch = line[i];
    if (quoted) {
      if (ch === '"' && line[i + 1] === '"') field += line[++i];
      else if (ch === '"') quoted = false;
      else field += ch;
    } else if (ch === '"') quoted = true;
    else if (ch === ',') {
      fields.push(field);
      field = '';
    } else field += ch;
  }
  fields.push(field);
  return fields;
}

// The record's CSV with the times it holds blanked: the duration, the seconds and the start
// depend on the clock of the run, everything else on the code and the actions alone.
function withoutTimes(lines) {
  const header = csvFields(lines[0]);
  const times = ['所要時間', 'seconds', 'started'].map((name) => header.indexOf(name));
  assert.ok(times.every((i) => i >= 0), `time columns in ${lines[0]}`);
  return lines.map((line, n) => {
    if (n === 0 || line === '') return line;
    const fields = csvFields(line);
    for (const i of times) fields[i] = '';
    return JSON.stringify(fields);
  });
}

// Runs `program` in both builds at once and compares what they print, each output first made
// comparable by `comparable`.
async function sameInBothBuilds(program, args, minimum, comparable = (l) => l) {
  const nativeProgram = path.join(NATIVE, program);
  const wasmProgram = path.join(WASM, `${program}.cjs`);
  const [native, wasm] = (await Promise.all([
    lines(nativeProgram, nativeProgram, args),
    lines(wasmProgram, process.execPath, [wasmProgram, ...args]),
  ])).map(comparable);
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

test('the record saved as CSV after a seeded walk is the same in both builds but for its times', async () => {
  // The desktop saves and the page downloads the bytes of the same call; the walk ends with a
  // customer abandoned for another code and one being measured, and the name must be quoted.
  await sameInBothBuilds('sitting_walk', ['20261209', '3000', 'csv'], 20, withoutTimes);
});
