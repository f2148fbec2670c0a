// The fonts cut down for the page hold every character the window logic can show: a long
// seeded walk of the window logic through every kind of action, new customers and the end,
// with every caption it writes looked up in both fonts' character maps; and the page's own
// texts likewise.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';

import { SITE, core, designOf } from './support.mjs';

// The characters each font maps, read with fontTools (which the site's build uses too).
function mapped(font) {
  const script = 'import sys, json\nfrom fontTools.ttLib import TTFont\n' +
    'print(json.dumps(sorted(TTFont(sys.argv[1]).getBestCmap())))';
  return new Set(JSON.parse(execFileSync('/usr/bin/python3', ['-c', script, font], { encoding: 'utf8' })));
}

function generator(seed) {
  let t = seed >>> 0;
  return () => {
    t = (t + 0x6d2b79f5) >>> 0;
    let r = Math.imul(t ^ (t >>> 15), t | 1);
    r ^= r + Math.imul(r ^ (r >>> 7), r | 61);
    return ((r ^ (r >>> 14)) >>> 0) / 4294967296;
  };
}

test('every caption of a long walk of the window logic is in both fonts of the page', async () => {
  const Trainer = await core();
  const design = designOf(Trainer);
  const buttons = design.filter((d) => d.kind === 'button' && d.name !== 'Command1');
  const options = design.filter((d) => d.kind === 'option');
  const bars = design.filter((d) => d.kind === 'hscroll');
  const random = generator(16);
  const pick = (list) => list[Math.floor(random() * list.length)];
  const shown = new Map(); // character -> a caption showing it

  let sitting = new Trainer.PageSitting(1);
  const note = (json) => {
    const state = JSON.parse(json);
    for (const c of state.controls) for (const ch of c.caption ?? '') if (!shown.has(ch)) shown.set(ch, c.caption);
  };
  note(sitting.state());
  for (let i = 0; i < 40000; ++i) {
    const r = random();
    if (r < 0.35) note(sitting.click(pick(buttons).name));
    else if (r < 0.6) note(sitting.select(pick(options).name));
    else {
      const bar = pick(bars);
      const how = random();
      if (how < 0.4) note(sitting.arrow(bar.name, random() < 0.5 ? -1 : 1));
      else if (how < 0.6) note(sitting.track(bar.name, random() < 0.5 ? -1 : 1));
      else note(sitting.release(bar.name, bar.min + Math.floor(random() * (bar.max - bar.min + 1))));
    }
    if (i % 5000 === 4999) {
      // END, and a new sitting as the page starts one.
      note(sitting.click('Command1'));
      sitting.delete();
      sitting = new Trainer.PageSitting(i + 2);
      note(sitting.state());
    }
  }
  sitting.delete();

  // The page's own texts: the end of a sitting and its button (not the design data in a script).
  const page = await readFile(path.join(SITE, 'index.html'), 'utf8');
  const body = page.slice(page.indexOf('<body>')).replace(/<(noscript|script)\b[\s\S]*?<\/\1>/g, '');
  for (const ch of body.replace(/<[^>]*>/g, '').replace(/\s+/g, '')) if (!shown.has(ch)) shown.set(ch, 'index.html');

  for (const font of ['ipag.woff2', 'ipagp.woff2']) {
    const cmap = mapped(path.join(SITE, 'fonts', font));
    const missing = [...shown].filter(([ch]) => !cmap.has(ch.codePointAt(0))).map(([ch, where]) => `${ch} (in «${where}»)`);
    assert.deepEqual(missing, [], font);
  }
  assert.ok(shown.has('点') && shown.has('Ｓ') && shown.has('？'), 'the walk reached the score, the readouts and the answers');
});
