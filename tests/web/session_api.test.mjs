// The page's Session over the window logic's exported functions: texts cross in both directions
// as UTF-8 through the module's memory, bytes come back exactly, and both stay right when the
// memory grows under them.

import assert from 'node:assert/strict';
import { test } from 'node:test';

import { core } from './support.mjs';

test('texts and bytes cross between the page and the window logic intact, also when its memory grows', async () => {
  const Trainer = await core();
  // A typed code in the address, in lower case: read as the code it names.
  const session = new Trainer.Session(0, '014s-c0pj-v');
  const panel = JSON.parse(session.panel());
  assert.match(panel.code, /014S-C0PJ-V$/);
  assert.equal(panel.message, '');
  const before = session.state();

  // Full-width letters are no code; nothing changes.
  assert.equal(session.startCode('ＡＢＣＤ－ＥＦＧＨ', false), 'bad');
  // An argument far larger than the module's memory: it grows to take it, and the answer
  // and every text after it are still read from the memory as it is now.
  assert.equal(session.startCode(`あ${'x'.repeat(24 * 1024 * 1024)}`, false), 'bad');
  assert.equal(session.state(), before);
  assert.equal(JSON.parse(session.click('Command5')).controls.find((c) => c.name === 'Label17').caption,
    JSON.parse(before).controls.find((c) => c.name === 'Label17').caption);

  // The record's bytes keep their byte-order mark; the file name is read as UTF-8.
  const csv = session.csvBytes();
  assert.deepEqual([...csv.subarray(0, 3)], [0xef, 0xbb, 0xbf]);
  assert.match(new TextDecoder().decode(csv.subarray(3)), /^番号,/);
  assert.match(session.csvFileName(), /^記録_014S-C0PJ_\d{4}-\d{2}-\d{2}\.csv$/);
  // No picture before the customer's view was asked for.
  assert.equal(session.pictureBytes(0), null);
  assert.equal(typeof session.unsaved(), 'boolean');
  session.delete();
});
