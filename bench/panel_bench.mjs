// The record panel's work in the browser (chromium, the site's WebAssembly built with the tests'
// hooks): one customer's view (the window logic's pictures, copied out and put on a canvas),
// one picture and the two cross-cylinder faces; and the review of a 500-step case (the panel's
// JSON, the plot's geometry and the SVG drawn and laid out); and the expert's whole run for one
// customer (the review just after the end, which plays the expert, less the same review again).
//
//   node bench/panel_bench.mjs [runs]      (after bash scripts/web --build)

import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { SITE, launch, serve } = await import(path.join(here, '../tests/web/support.mjs'));

const RUNS = Number(process.argv[2] ?? 40);
const server = await serve(SITE, { testBuild: true });
const browser = await launch();
const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
await page.goto(`${server.url}?seed=1&sw=off`);
await page.waitForSelector('#RecordPanel');

const result = await page.evaluate(async (runs) => {
  const Trainer = globalThis.trainerUnderTest;
  const { drawReviewPlot } = await import(new URL('review_plot.js', location.href).href);
  const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
  const canvas = document.createElement('canvas');
  document.body.append(canvas);

  // The view after each of `runs` lens changes, in sample mode with the radial dial.
  function views(crossCylinder) {
    const s = new Trainer.PageSitting(1);
    s.select('Option12');
    s.select('Option7');
    if (crossCylinder) s.click('Command2');
    const times = [];
    for (let i = 0; i < runs; ++i) {
      s.arrow('HScroll1', i % 4 < 2 ? -1 : 1);
      const t0 = performance.now();
      const pictures = JSON.parse(s.customerView());
      pictures.forEach((p, j) => {
        const bytes = new Uint8ClampedArray(s.pictureBytes(j));
        canvas.width = p.width;
        canvas.height = p.height;
        canvas.getContext('2d').putImageData(new ImageData(bytes, p.width, p.height), 0, 0);
      });
      times.push(performance.now() - t0);
    }
    s.delete();
    return median(times);
  }

  // A case of 500 steps in practice mode, reviewed.
  const s = new Trainer.PageSitting(1);
  s.select('Option11');
  for (let i = 0; i < 500; ++i) s.arrow('HScroll1', i % 8 < 4 ? -1 : 1);
  const svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
  document.body.append(svg);
  const review = [];
  for (let i = 0; i < runs; ++i) {
    const t0 = performance.now();
    JSON.parse(s.panel());
    drawReviewPlot(svg, JSON.parse(s.plot()));
    svg.getBBox(); // laid out
    review.push(performance.now() - t0);
  }
  const steps = JSON.parse(s.panel()).review.rows.length - 1;
  s.delete();

  // The expert, for customers of `runs` codes, each ended at once in practice mode.
  const expert = [];
  for (let i = 0; i < runs; ++i) {
    const c = new Trainer.PageSitting(1000 + i);
    c.select('Option11');
    c.click('Command5');
    const t0 = performance.now();
    c.panel();
    const t1 = performance.now();
    c.panel();
    expert.push(t1 - t0 - (performance.now() - t1));
    c.delete();
  }
  const sortedExpert = [...expert].sort((a, b) => a - b);
  return {
    one: views(false), faces: views(true), review: median(review), steps,
    expert: median(expert), expertMost: sortedExpert.at(-1),
  };
}, RUNS);

console.log(`customer's view, one picture:  ${result.one.toFixed(2)} ms (median of ${RUNS})`);
console.log(`customer's view, both faces:   ${result.faces.toFixed(2)} ms`);
console.log(`review of ${result.steps} steps, JSON + plot + SVG: ${result.review.toFixed(2)} ms`);
console.log(`the expert's run for one customer: ${result.expert.toFixed(2)} ms (slowest ${result.expertMost.toFixed(2)})`);
await browser.close();
await server.close();
