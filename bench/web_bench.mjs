// The web view's first load on localhost: the bytes transferred (compressed as a server with
// brotli would send them, and not), fonts apart, and the time from navigation to the first
// interactive window, each next to a plain page with as many elements, in the same run; and
// how far the page's content moved on the way (the cumulative layout shift). In the same turns,
// the site's own page without its scripts: the window as designed, shown once in its fonts, the
// least any page showing this window takes.
//
// The web view is interactive when the customer's auto-refractor reading is shown in its font
// and every control takes input (main.js sets the mark 'trainer-interactive' then).
//
//   node bench/web_bench.mjs [runs] [other-site]      (after bash scripts/web --build)
//
// With other-site (another build's site folder, e.g. an older one kept aside), that site is
// timed in the same turns as well, for a comparison that the machine's load falls on alike.

import { cp, mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { launch, serve, SITE } = await import(path.join(here, '../tests/web/support.mjs'));

const RUNS = Number(process.argv[2] ?? 15);
const OTHER = process.argv[3];
const browser = await launch();

// One cold first load (fresh profile, no service worker): bytes per file and the time to the mark.
async function load(url, mark) {
  const context = await browser.newContext({ viewport: { width: 900, height: 680 }, serviceWorkers: 'block' });
  const page = await context.newPage();
  // Every layout shift of the load, summed as the cumulative layout shift is.
  await page.addInitScript(() => {
    window.__shift = 0;
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) if (!e.hadRecentInput) window.__shift += e.value;
    }).observe({ type: 'layout-shift', buffered: true });
  });
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
  const urls = new Map();
  const files = [];
  cdp.on('Network.responseReceived', (e) => urls.set(e.requestId, e.response.url));
  cdp.on('Network.loadingFinished', (e) => files.push({ url: urls.get(e.requestId), bytes: e.encodedDataLength }));
  await page.goto(url);
  await page.waitForFunction((m) => performance.getEntriesByName(m).length > 0, mark);
  const ms = await page.evaluate((m) => performance.getEntriesByName(m)[0].startTime, mark);
  const reading = await page.evaluate(() => document.getElementById('Label17')?.textContent);
  if (mark === 'trainer-interactive' && !/です。$/.test(reading)) throw new Error(`no reading at the mark: ${reading}`);
  // When the last script, WebAssembly or font of those before the mark was asked for, and when
  // the page had arrived.
  const requested = await page.evaluate((at) => ({
    last: Math.max(0, ...performance.getEntriesByType('resource')
      .filter((e) => /\.(js|wasm|woff2)$/.test(new URL(e.name).pathname) && e.startTime < at).map((e) => e.startTime)),
    page: performance.getEntriesByType('navigation')[0].responseEnd,
    paint: performance.getEntriesByName('first-contentful-paint')[0]?.startTime,
  }), ms);
  // The web view's phases: its script running, the window logic and fonts ready.
  const phases = await page.evaluate(() =>
    Object.fromEntries(['trainer-script', 'trainer-loaded'].map((m) => [m, performance.getEntriesByName(m)[0]?.startTime])));
  const elements = await page.evaluate(() => document.getElementsByTagName('*').length);
  await page.waitForLoadState('networkidle');
  const shift = await page.evaluate(() => window.__shift);
  await context.close();
  return { ms, files, elements, phases, shift, requested };
}

const sum = (files, test) => files.filter((f) => test(f.url)).reduce((n, f) => n + f.bytes, 0);
const isFont = (u) => u.endsWith('.woff2');
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const kb = (b) => `${(b / 1024).toFixed(1)} KB`;

// The plain page: as many absolutely placed elements with short texts, no script, no fonts
// of its own; its mark is set by an inline script at the end of the body, after the first
// layout, as the web view's is.
async function plainSite(count) {
  const dir = await mkdtemp(path.join(os.tmpdir(), 'plain-'));
  const items = Array.from({ length: count - 6 }, (_, i) =>
    `<div style="position:absolute;left:${(i * 37) % 860}px;top:${(i * 13) % 640}px">項目${i}</div>`).join('\n');
  await writeFile(path.join(dir, 'index.html'),
    `<!doctype html><html lang="ja"><head><meta charset="utf-8"><title>plain</title></head><body>\n${items}\n` +
      `<script>document.body.offsetWidth; performance.mark('plain-interactive')</script></body></html>`);
  return dir;
}

// The site's page without its scripts: no window logic, no modules; the window as index.html
// holds it, shown once the page is parsed and both fonts are there (as the web view shows it),
// laid out, then the mark.
async function staticSite() {
  const dir = await mkdtemp(path.join(os.tmpdir(), 'static-'));
  await cp(SITE, dir, { recursive: true });
  let page = await readFile(path.join(dir, 'index.html'), 'utf8');
  const before = page;
  page = page.replace(/<script type="module"[^>]*><\/script>\n?/g, '').replace(/<link rel="(modulepreload|preload)" href="[^"]*\.(js|wasm)"[^>]*>\n?/g, '');
  // The class under which the page holds its window back until the fonts are there.
  const pending = /\.([\w-]+) main \{\s*content-visibility: hidden/.exec(page)?.[1];
  page = page.replace(/<script>[\s\S]*?<\/script>/, `<script>
  document.documentElement.classList.add('${pending}');
  const parsed = new Promise((resolve) => document.addEventListener('DOMContentLoaded', resolve));
  Promise.allSettled([document.fonts.load('12px TrainerPGothic'), document.fonts.load('12px TrainerGothic'), parsed]).then(() => {
    document.documentElement.classList.remove('${pending}');
    document.body.offsetWidth;
    performance.mark('static-interactive');
  });
</script>`);
  if (!pending || page === before || /type="module"|trainer\.wasm/.test(page)) throw new Error('the site\'s page is not as this bench expects');
  await writeFile(path.join(dir, 'index.html'), page);
  return dir;
}

const compressed = await serve(undefined, { compress: true });
const raw = await serve();
const first = await load(`${raw.url}?sw=off`, 'trainer-interactive');
const plainDir = await plainSite(first.elements);
const plain = await serve(plainDir, { compress: true });
const staticDir = await staticSite();
const staticPage = await serve(staticDir, { compress: true });
const plainRaw = await serve(plainDir);

const sizes = {};
for (const [name, server, site] of [['site', compressed, true], ['site raw', raw, true], ['plain', plain, false], ['plain raw', plainRaw, false]]) {
  const r = await load(site ? `${server.url}?sw=off` : server.url, site ? 'trainer-interactive' : 'plain-interactive');
  sizes[name] = { fonts: sum(r.files, isFont), other: sum(r.files, (u) => !isFont(u)), files: r.files, elements: r.elements };
}

// Times: the pages taken in turns, so that the machine's load falls on all alike.
const other = OTHER ? await serve(path.resolve(OTHER), { compress: true }) : null;
const times = { site: [], other: [], paint: [], otherPaint: [], plain: [], static: [], script: [], loaded: [], shift: [], plainShift: [], requested: [], arrived: [] };
// Each turn starts with another page: a load right after another's context was closed pays for
// part of its teardown, which would otherwise fall on the same page every time.
const pages = [
  async (i) => {
    const site = await load(`${compressed.url}?sw=off&seed=${i + 1}`, 'trainer-interactive');
    times.site.push(site.ms);
    times.script.push(site.phases['trainer-script']);
    times.loaded.push(site.phases['trainer-loaded']);
    times.shift.push(site.shift);
    times.requested.push(site.requested.last);
    times.arrived.push(site.requested.page);
    times.paint.push(site.requested.paint);
  },
  async (i) => {
    if (!other) return;
    const o = await load(`${other.url}?sw=off&seed=${i + 1}`, 'trainer-interactive');
    times.other.push(o.ms);
    times.otherPaint.push(o.requested.paint);
  },
  async () => {
    const p = await load(plain.url, 'plain-interactive');
    times.plain.push(p.ms);
    times.plainShift.push(p.shift);
  },
  async () => times.static.push((await load(`${staticPage.url}?sw=off`, 'static-interactive')).ms),
];
for (let i = 0; i < RUNS; ++i) {
  for (let k = 0; k < pages.length; ++k) await pages[(i + k) % pages.length](i);
}

const s = sizes.site;
const r = sizes['site raw'];
console.log(`machine: ${os.cpus().length} x ${os.cpus()[0].model}, ${os.platform()} ${os.release()}, node ${process.version}, ${browser.version()}`);
console.log(`elements: web view ${s.elements}, plain page ${sizes.plain.elements}`);
console.log('first load, bytes transferred:');
console.log(`  web view without fonts  ${kb(s.other)} compressed, ${kb(r.other)} uncompressed`);
console.log(`  web view fonts          ${kb(s.fonts)} (woff2, sent as they are)`);
console.log(`  plain page              ${kb(sizes.plain.other)} compressed, ${kb(sizes['plain raw'].other)} uncompressed`);
for (const f of s.files.sort((a, b) => b.bytes - a.bytes)) {
  const u = r.files.find((g) => new URL(g.url).pathname === new URL(f.url).pathname);
  console.log(`    ${new URL(f.url).pathname.padEnd(28)} ${kb(f.bytes).padStart(9)} ${u ? kb(u.bytes).padStart(9) : ''}`);
}
const ms = (xs) => `median ${median(xs).toFixed(1)} ms (min ${Math.min(...xs).toFixed(1)}, max ${Math.max(...xs).toFixed(1)})`;
console.log(`navigation to first interactive window, ${RUNS} cold loads each:`);
console.log(`  web view    ${ms(times.site)}`);
console.log(`    of which: scripts running at ${median(times.script).toFixed(1)} ms, window logic and fonts ready at ${median(times.loaded).toFixed(1)} ms (medians)`);
console.log(`  plain page  ${ms(times.plain)}`);
console.log(`  ratio       ${(median(times.site) / median(times.plain)).toFixed(2)}`);
console.log(`  the window as designed without scripts, in its fonts: ${ms(times.static)}, ratio ${(median(times.static) / median(times.plain)).toFixed(2)}`);
console.log(`  web view against the window as designed without scripts: ${(median(times.site) / median(times.static)).toFixed(2)}`);
if (other) {
  console.log(`  ${OTHER}: ${ms(times.other)}, ratio ${(median(times.other) / median(times.plain)).toFixed(2)}, against the window as designed without scripts ${(median(times.other) / median(times.static)).toFixed(2)}`);
  console.log(`  first contentful paint, medians: web view ${median(times.paint).toFixed(1)} ms, ${OTHER} ${median(times.otherPaint).toFixed(1)} ms`);
}
if (!other) console.log(`  first contentful paint of the web view, median ${median(times.paint).toFixed(1)} ms`);
console.log(`    the page arrived at ${median(times.arrived).toFixed(1)} ms; its last script, WebAssembly or font before the mark was asked for at ${median(times.requested).toFixed(1)} ms (medians)`);
console.log(`cumulative layout shift: web view max ${Math.max(...times.shift).toFixed(4)}, plain page max ${Math.max(...times.plainShift).toFixed(4)}`);

await browser.close();
for (const srv of [compressed, raw, plain, plainRaw, staticPage, other]) await srv?.close();
await rm(plainDir, { recursive: true });
await rm(staticDir, { recursive: true });
