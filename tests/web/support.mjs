// What the browser tests share: a static server for the built site that can be stopped,
// Debian's chromium through playwright-core, the window logic itself in node (the same
// WebAssembly the page runs) and a reader of what the page shows.

import { mkdir, readFile } from 'node:fs/promises';
import http from 'node:http';
import zlib from 'node:zlib';
import path from 'node:path';
import { after, before } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const SITE = process.env.TRAINER_SITE ?? path.resolve(here, '../../build-web/site');
// The window logic built with the tests' hooks (hiddenCase, format00, the seeds asked for),
// beside the site and never part of it.
export const TEST_BUILD = process.env.TRAINER_TEST_BUILD ?? path.resolve(here, '../../build-web/cmake/test');
export const SCREENSHOTS = path.resolve(here, '../../build-web/screenshots');

// A small seeded generator (mulberry32): a walk or a script, the same at every run.
export function generator(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.woff2': 'font/woff2', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json', '.txt': 'text/plain; charset=utf-8',
};

// Serves SITE on a free port of 127.0.0.1; resolves to { url, close, requests }. With
// `compress`, answers as a web server with compression on would: brotli where asked for,
// else gzip, for the text-like files (pictures and woff2 are compressed already).
// `types` replaces media types by file extension (a badly set up server). With `testBuild`,
// the page gets the window logic built with the tests' hooks in place of the site's.
export async function serve(root = SITE, { compress = false, types = {}, testBuild = false } = {}) {
  const requests = [];
  const squeezed = new Map();
  const server = http.createServer(async (req, res) => {
    const pathname = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    let file = path.join(root, pathname.endsWith('/') ? `${pathname}index.html` : pathname);
    if (testBuild && ['/trainer.js', '/trainer.wasm'].includes(pathname)) file = path.join(TEST_BUILD, pathname);
    requests.push(pathname);
    try {
      if (!file.startsWith(root) && !(testBuild && file.startsWith(TEST_BUILD))) throw new Error('outside');
      let body = await readFile(file);
      const ext = path.extname(file);
      const headers = { 'content-type': types[ext] ?? TYPES[ext] ?? 'application/octet-stream' };
      const accepts = String(req.headers['accept-encoding'] ?? '');
      if (compress && !['.png', '.woff2'].includes(path.extname(file)) && /\b(br|gzip)\b/.test(accepts)) {
        const coding = /\bbr\b/.test(accepts) ? 'br' : 'gzip';
        const key = `${coding}:${file}`;
        if (!squeezed.has(key))
          squeezed.set(key, coding === 'br' ? zlib.brotliCompressSync(body) : zlib.gzipSync(body, { level: 9 }));
        body = squeezed.get(key);
        headers['content-encoding'] = coding;
      }
      res.writeHead(200, headers);
      res.end(body);
    } catch {
      res.writeHead(404).end();
    }
  });
  const sockets = new Set();
  server.on('connection', (s) => {
    sockets.add(s);
    s.on('close', () => sockets.delete(s));
  });
  await new Promise((resolve) => {
    server.listen(0, '127.0.0.1', resolve);
  });
  const url = `http://127.0.0.1:${server.address().port}/`;
  const close = () =>
    new Promise((resolve) => {
      for (const s of sockets) s.destroy();
      server.close(resolve);
    });
  return { url, close, requests };
}

export function launch() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--font-render-hinting=none'],
  });
}

// A server of the site and a browser for the tests of one file: started before them, closed
// after them. With `screenshots`, the screenshot folder is made too.
export function useSiteAndBrowser({ screenshots = false } = {}) {
  const site = {};
  before(async () => {
    site.server = await serve();
    site.browser = await launch();
    if (screenshots) await mkdir(SCREENSHOTS, { recursive: true });
  });
  after(async () => {
    await site.browser?.close();
    await site.server?.close();
  });
  return site;
}

// A new page at device scale `scale`, showing the window with the given seed.
// `init` is a script to run in the page before its own.
export async function openWindow(browser, url, { seed = 1, scale = 1, sw = false, init = null } = {}) {
  const context = await browser.newContext({ viewport: { width: 900, height: 680 }, deviceScaleFactor: scale });
  const page = await context.newPage();
  if (init) await page.addInitScript(init);
  const errors = [];
  page.on('pageerror', (e) => errors.push(e));
  await page.goto(`${url}?seed=${seed}${sw ? '' : '&sw=off'}`);
  await page.waitForSelector('html[data-ready="true"]');
  return { context, page, errors };
}

let modulePromise = null;
// The window logic in node: the page's, built with the tests' hooks.
export function core() {
  modulePromise ??= (async () => {
    // The module is built for the browser and node alike; in node it asks for the folder it
    // lies in as a CommonJS script would.
    globalThis.__dirname ??= TEST_BUILD;
    const { default: createTrainer } = await import(pathToFileURL(path.join(TEST_BUILD, 'trainer.js')).href);
    return createTrainer({ wasmBinary: await readFile(path.join(TEST_BUILD, 'trainer.wasm')) });
  })();
  return modulePromise;
}

// The design of the window, as the core gives it.
export function designOf(Trainer) {
  const sitting = new Trainer.PageSitting(1);
  const design = JSON.parse(sitting.design());
  sitting.delete();
  return design;
}

// What the page shows of every control of `design`, in the shape of the core's state:
// caption (the element's own text), visible, enabled, selected, value and the scroll bars'
// spoken value text, and for circles and
// lines their geometry in twips, as read back from the SVG.
export function readPage(page, design) {
  return page.evaluate(showing, design);
}

// In the page: what it shows (see readPage).
export function showing(design) {
  {
    const out = [];
    for (const d of design) {
      const el = document.getElementById(d.name);
      const s = { name: d.name };
      if (d.kind === 'form') {
        s.caption = el.dataset.caption;
        s.visible = true;
        s.enabled = el.getAttribute('aria-disabled') !== 'true'; // inert after the end: checked apart
        out.push(s);
        continue;
      }
      const box = d.kind === 'option' ? el.parentElement : el;
      if (d.kind === 'frame') s.caption = el.querySelector(':scope > legend').textContent;
      else if (d.kind === 'option') s.caption = el.labels[0].textContent;
      else if (d.kind === 'label' || d.kind === 'button') s.caption = el.textContent;
      if (d.kind === 'circle' || d.kind === 'line') s.visible = getComputedStyle(el).display !== 'none';
      else s.visible = !box.hidden && getComputedStyle(box).display !== 'none';
      // A control is enabled by its own flag; what a disabled frame does to it is checked apart.
      if (d.kind === 'frame' || d.kind === 'button' || d.kind === 'option') {
        // One placed outside its frame's element is disabled with the frame by the page.
        const frame = d.container && document.getElementById(d.container);
        s.enabled = !el.disabled || (frame.matches('fieldset') && !frame.contains(el) && frame.disabled);
      } else if (d.kind === 'hscroll') {
        const frameOff = d.container && document.getElementById(d.container).disabled;
        s.enabled = el.getAttribute('aria-disabled') !== 'true' || !!frameOff;
      } else s.enabled = el.getAttribute('aria-disabled') !== 'true';
      if (d.kind === 'option') s.selected = el.checked;
      if (d.kind === 'hscroll') {
        s.value = Number(el.getAttribute('aria-valuenow'));
        s.valueText = el.getAttribute('aria-valuetext');
      }
      if (d.kind === 'circle') {
        const r = Number(el.getAttribute('r'));
        const inset = d.inset;
        const cx = Number(el.getAttribute('cx'));
        const cy = Number(el.getAttribute('cy'));
        s.centre = [cx, cy];
        s.radius = r + inset;
      }
      if (d.kind === 'line') for (const k of ['x1', 'y1', 'x2', 'y2']) s[k] = Number(el.getAttribute(k));
      out.push(s);
    }
    return out;
  }
}

// The core's state in the shape readPage gives (circles by centre and radius; without what the
// window logic tells the view to do rather than what it shows: input, arrow moves, set lines).
export function expected(state) {
  return state.controls.map((c) => {
    const s = { ...c };
    // A caption whose lines the window logic set shows them, one under the other.
    if (c.lines) s.caption = c.lines.join('\n');
    for (const k of ['takesInput', 'greyed', 'arrowPrevious', 'arrowNext', 'lines']) delete s[k];
    if ('width' in c && 'left' in c) {
      s.centre = [c.left + c.width / 2, c.top + c.height / 2];
      s.radius = Math.min(c.width, c.height) / 2;
      delete s.left;
      delete s.top;
      delete s.width;
      delete s.height;
    }
    return s;
  });
}
