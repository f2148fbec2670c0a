// One lens change in the page with the record panel open, as a case grows: a click on a scroll
// bar's arrow, 500 times in one practice case (the sphere bar, back and forth so that the value
// stays inside its range), timed from the input event to the frame after it (the event's own
// time stamp to a task queued once that frame has been drawn, and the work within that: the
// handlers and the frame's rendering). The customer's picture follows in the frame after that:
// its work (that frame's, from its start) and when it was drawn are printed beside. Prints, per
// hundred steps, the medians and the slowest work; with `folded`, the same with the panel
// folded, for comparison.
//
//   node bench/lens_change_bench.mjs [steps] [folded]     (after bash scripts/web --build)

import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { SITE, launch, serve } = await import(path.join(here, '../tests/web/support.mjs'));

const STEPS = Number(process.argv[2] ?? 500);
const FOLDED = process.argv[3] === 'folded';
const server = await serve(SITE);
const browser = await launch();
const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
await page.goto(`${server.url}?seed=1&sw=off`);
await page.waitForSelector('html[data-ready="true"]');
await page.waitForSelector('#RecordPanel');
await page.click('#Option11'); // practice mode: the review follows every step
if (FOLDED) await page.click('#RecordPanelToggle');

// Each press of an arrow leaves its times in window.lensTimes once the next frame is out: the
// work (from the input event's time stamp to the end of its handlers, and the next frame's
// rendering, from its start to the first task after it) and the whole wait, which includes
// the time until the frame begins (headless chromium draws at 60 Hz).
await page.evaluate(() => {
  window.lensTimes = [];
  let start = 0;
  window.addEventListener('pointerdown', (e) => (start = e.timeStamp), { capture: true });
  // The customer's picture is worked out at the start of the frame after (the part is busy
  // until then): its work is that frame's, from the frame's start (the time stamp every
  // animation frame callback of a frame is given) to the first task after it.
  const view = document.getElementById('CustomerView');
  const afterFrame = (then) => requestAnimationFrame((frame) => {
    const { port1, port2 } = new MessageChannel();
    port1.onmessage = () => then(frame, performance.now());
    port2.postMessage(0);
  });
  window.addEventListener('pointerdown', () => {
    const handled = performance.now();
    const busy = view.hasAttribute('aria-busy');
    afterFrame((frame, end) => {
      const times = { work: handled - start + (end - frame), wait: end - start, picture: 0, pictureWait: end - start };
      if (!busy) return window.lensTimes.push(times);
      afterFrame((frame2, end2) => {
        times.picture = end2 - frame2;
        times.pictureWait = end2 - start;
        window.lensTimes.push(times);
      });
    });
  });
});

const centre = async (selector) => {
  const r = await page.locator(selector).boundingBox();
  return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
};
const left = await centre('#HScroll1 .arrow.left');
const right = await centre('#HScroll1 .arrow.right');
for (let i = 0; i < STEPS; ++i) {
  const at = i % 8 < 4 ? right : left;
  await page.mouse.move(at.x, at.y);
  await page.mouse.down();
  await page.mouse.up();
  await page.waitForFunction((n) => window.lensTimes.length > n, i);
}

const times = await page.evaluate(() => window.lensTimes);
const steps = await page.evaluate(() => document.querySelectorAll('#ReviewSteps tbody tr').length);
const sorted = (list) => [...list].sort((a, b) => a - b);
console.log(`one lens change, input event to the next frame, panel ${FOLDED ? 'folded' : 'open'} (${new Date().toISOString().slice(0, 10)})`);
for (let from = 0; from < times.length; from += 100) {
  const part = times.slice(from, from + 100);
  const work = sorted(part.map((t) => t.work));
  const wait = sorted(part.map((t) => t.wait));
  const median = (list) => list[Math.floor(list.length / 2)].toFixed(1);
  const picture = sorted(part.map((t) => t.picture));
  const pictureWait = sorted(part.map((t) => t.pictureWait));
  const pictureText = FOLDED ? '' : `  picture ${median(picture)} ms, drawn ${median(pictureWait)} ms after the input`;
  console.log(`steps ${String(from + 1).padStart(3)}–${String(from + part.length).padEnd(3)}  work median ${median(work)} ms (slowest ${work.at(-1).toFixed(1)})  to the next frame ${median(wait)} ms${pictureText}`);
}
if (!FOLDED) console.log(`rows in the step table at the end: ${steps}`);
await browser.close();
await server.close();
