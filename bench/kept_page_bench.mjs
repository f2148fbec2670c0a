// What keeping the sitting costs in the page (chromium, the built site):
// - one input at the 500th to 800th step of the 50th case of a sitting (49 cases of 40 steps
//   before it), the record panel open in practice mode: the whole input as the page handles it
//   (the window logic, the view, the panel, the journal line kept), and the storage's write in
//   it; the same inputs with a storage that refuses every write, for comparison;
// - resuming a sitting of 50 cases of 40 steps: from the press of 前回の記録を続ける to the end
//   of its handler (the journal played into a fresh window, the window and the panel built
//   anew, the journal written back) and to the next frame.
// Inputs are given inside the page (a click, a scroll bar's key), timed with performance.now().
//
//   node bench/kept_page_bench.mjs          (after bash scripts/web --build)

import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { SITE, core, launch, serve } = await import(path.join(here, '../tests/web/support.mjs'));

const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const server = await serve(SITE);
const browser = await launch();

// In the page: `cases` cases of 40 steps, then `before` steps of one more case, then `timed`
// steps each timed (the whole input, and the storage writes within it).
function playSitting({ cases, before, timed }) {
  const key = (name, k) => document.getElementById(name).dispatchEvent(new KeyboardEvent('keydown', { key: k, bubbles: true }));
  const click = (name) => document.getElementById(name).click();
  const arrow = (i) => key(i % 4 === 3 ? 'HScroll4' : 'HScroll1', i % 8 < 4 ? 'ArrowRight' : 'ArrowLeft');
  let writing = 0;
  const write = Storage.prototype.setItem;
  Storage.prototype.setItem = function (...args) {
    const t = performance.now();
    try {
      return write.apply(this, args);
    } finally {
      writing += performance.now() - t;
    }
  };
  for (let c = 0; c < cases; ++c) {
    click('Option11');
    click('Command2');
    for (let i = 0; i < 38; ++i) arrow(i);
    click('Command5');
    click('STARTbutton');
  }
  click('Option11');
  for (let i = 0; i < before; ++i) key('HScroll1', i % 2 ? 'ArrowRight' : 'ArrowLeft');
  const whole = [];
  const writes = [];
  for (let i = 0; i < timed; ++i) {
    writing = 0;
    const t = performance.now();
    key('HScroll1', i % 2 ? 'ArrowRight' : 'ArrowLeft');
    whole.push(performance.now() - t);
    writes.push(writing);
  }
  const kept = Object.keys(localStorage).filter((k) => k.startsWith('refraction-trainer:sitting:'));
  const bytes = kept.reduce((n, k) => n + localStorage.getItem(k).length, 0);
  return { whole, writes, keys: kept.length, bytes };
}

async function steps(refuse) {
  const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
  if (refuse) await page.addInitScript(() => {
    Storage.prototype.setItem = () => {
      throw new DOMException('full', 'QuotaExceededError');
    };
  });
  await page.goto(`${server.url}?seed=1&sw=off`);
  await page.waitForSelector('#RecordPanel');
  const r = await page.evaluate(playSitting, { cases: 49, before: 499, timed: 301 });
  await page.close();
  return r;
}

const date = new Date().toISOString().slice(0, 10);
const kept = await steps(false);
const unkept = await steps(true);
console.log(`keeping one input, case 50, steps 500–800, panel open (${date})`);
console.log(`  whole input, kept:        median ${median(kept.whole).toFixed(2)} ms (slowest ${Math.max(...kept.whole).toFixed(1)})`);
console.log(`  of which the write:       median ${median(kept.writes).toFixed(3)} ms (slowest ${Math.max(...kept.writes).toFixed(1)})`);
console.log(`  whole input, not kept:    median ${median(unkept.whole).toFixed(2)} ms`);
console.log(`  journal: ${kept.bytes} characters in ${kept.keys} chunks`);

// A sitting of 50 cases of 40 steps, made by the window logic in node and kept as the page
// would have kept it.
const Trainer = await core();
const s = new Trainer.PageSitting(54321);
for (let c = 0; c < 50; ++c) {
  s.select('Option11');
  s.click('Command2');
  for (let i = 0; i < 38; ++i) s.arrow(i % 4 === 3 ? 'HScroll4' : 'HScroll1', i % 8 < 4 ? 1 : -1);
  s.click('Command5');
  s.click('STARTbutton');
}
const journal = s.journal();
s.delete();

const handler = [];
const frame = [];
for (let run = 0; run < 7; ++run) {
  const context = await browser.newContext({ viewport: { width: 1400, height: 900 } });
  const page = await context.newPage();
  await page.goto(`${server.url}?seed=2&sw=off`);
  await page.evaluate((text) => {
    localStorage.clear();
    localStorage.setItem('refraction-trainer:sitting:000000001-bench:0000', text);
  }, journal);
  await page.goto(`${server.url}?sw=off`);
  await page.waitForSelector('#ResumeSitting:visible');
  const t = await page.evaluate(
    () =>
      new Promise((resolve) => {
        const start = performance.now();
        document.getElementById('ResumeSitting').click();
        const handled = performance.now() - start;
        requestAnimationFrame(() => {
          const { port1, port2 } = new MessageChannel();
          port1.onmessage = () => resolve({ handled, frame: performance.now() - start });
          port2.postMessage(0);
        });
      }),
  );
  const rows = await page.evaluate(() => document.querySelectorAll('#SessionTable tbody tr').length);
  if (rows !== 51) throw new Error(`resumed ${rows} rows`);
  handler.push(t.handled);
  frame.push(t.frame);
  await context.close();
}
console.log(`resuming 50 cases × 40 steps (${journal.length} characters of journal), median of 7 (${date})`);
console.log(`  the press's handler:      ${median(handler).toFixed(0)} ms (${handler.map((x) => x.toFixed(0)).join(', ')})`);
console.log(`  to the next frame:        ${median(frame).toFixed(0)} ms`);

await browser.close();
await server.close();
