// The page's PageSitting over the window logic's exported functions: every call of the list is
// there (the tests' own only in their build), texts cross in both directions as UTF-8 through
// the module's memory, bytes come back exactly, and both stay right when the memory grows under
// them.

import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { SITE, core } from './support.mjs';

const CALLS = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../app/wasm/calls.txt');

test('texts and bytes cross between the page and the window logic intact, also when its memory grows', async () => {
  const Trainer = await core();
  // A typed code in the address, in lower case: read as the code it names.
  const sitting = new Trainer.PageSitting(0, '014s-c0pj-v');
  const panel = JSON.parse(sitting.panel());
  assert.match(panel.code, /014S-C0PJ-V$/);
  assert.equal(panel.message, '');
  const before = sitting.state();

  // Full-width letters are no code; nothing changes.
  assert.equal(sitting.startCode('ＡＢＣＤ－ＥＦＧＨ', false), 'bad');
  // An argument far larger than the module's memory: it grows to take it, and the answer
  // and every text after it are still read from the memory as it is now.
  assert.equal(sitting.startCode(`あ${'x'.repeat(24 * 1024 * 1024)}`, false), 'bad');
  assert.equal(sitting.state(), before);
  assert.equal(JSON.parse(sitting.click('Command5')).controls.find((c) => c.name === 'Label17').caption,
    JSON.parse(before).controls.find((c) => c.name === 'Label17').caption);

  // The record's bytes keep their byte-order mark; the file name is read as UTF-8.
  const csv = sitting.csvBytes();
  assert.deepEqual([...csv.subarray(0, 3)], [0xef, 0xbb, 0xbf]);
  assert.match(new TextDecoder().decode(csv.subarray(3)), /^番号,/);
  sitting.setTraineeName('山田　花子');
  assert.match(sitting.csvFileName(), /^記録_014S-C0PJ-V_山田\u3000花子_\d{4}-\d{2}-\d{2}\.csv$/);
  // No picture before the customer's view was asked for.
  assert.equal(sitting.pictureBytes(0), null);
  assert.equal(typeof sitting.unsaved(), 'boolean');
  sitting.delete();
});

test('every call listed is the page\'s, with its arguments; the tests\' calls are in their build only', async () => {
  const Trainer = await core();
  const calls = (await readFile(CALLS, 'utf8')).split('\n').filter((line) => /^\w/.test(line)).map((line) => {
    const [, flags, name, args] = /^((?:(?:test|static|module)\s+)*)(\w+)\(([^)]*)\)/.exec(line);
    const params = args.split(',').map((a) => a.trim()).filter(Boolean);
    // What a JavaScript function counts as its length: the arguments before the first default.
    const required = params.findIndex((a) => a.includes('=')) < 0 ? params.length : params.findIndex((a) => a.includes('='));
    return { flags: flags.split(/\s+/), name, required };
  });
  assert.ok(calls.length > 20, 'calls.txt read');
  const glue = await readFile(path.join(SITE, 'trainer.js'), 'utf8');
  for (const c of calls) {
    const fn = c.name === 'new' ? Trainer.PageSitting
      : c.flags.includes('module') ? Trainer[c.name]
        : c.flags.includes('static') ? Trainer.PageSitting[c.name] : Trainer.PageSitting.prototype[c.name];
    assert.equal(typeof fn, 'function', c.name);
    assert.equal(fn.length, c.required, `${c.name}: its arguments`);
    const exported = `_${c.flags.includes('module') ? 'trainer' : 'sitting'}_${c.name.replace(/([a-z0-9])([A-Z])/g, '$1_$2').toLowerCase()}`;
    assert.equal(glue.includes(exported), !c.flags.includes('test'), `${exported} in the site's glue`);
  }
});
