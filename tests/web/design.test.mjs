// The page as it opens, against the window logic's own design and state.

import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { core, designOf, expected, openWindow, readPage, serve, useSiteAndBrowser } from './support.mjs';

const site = useSiteAndBrowser();
// The chart pictures as the desktop program embeds them.
const ASSETS = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../assets');

test('every control is an element at its layout geometry, with the design state of the core', async () => {
  const Trainer = await core();
  const sitting = new Trainer.PageSitting(11);
  const design = JSON.parse(sitting.design());
  const state = JSON.parse(sitting.state());
  const { page, errors, context } = await openWindow(site.browser, site.server.url, { seed: 11 });

  // Geometry: every control but the circles and lines (drawn in the SVG) is a box at its
  // place within its container, in CSS pixels.
  const boxes = await page.evaluate((design) => {
    const rect = (el) => el.getBoundingClientRect();
    // Hidden controls are measured too: everything is shown for the measurement.
    const hidden = [...document.querySelectorAll('#Form1 [hidden]')];
    for (const h of hidden) h.hidden = false;
    const boxes = design
      .filter((d) => d.kind !== 'circle' && d.kind !== 'line')
      .map((d) => {
        const el = document.getElementById(d.name);
        const box = d.kind === 'option' ? el.parentElement : el;
        const r = rect(box);
        const c = d.container ? rect(document.getElementById(d.container)) : { left: 0, top: 0 };
        return { name: d.name, tag: el.tagName.toLowerCase(), left: r.left - c.left, top: r.top - c.top, width: r.width, height: r.height };
      });
    for (const h of hidden) h.hidden = true;
    return boxes;
  }, design);
  for (const d of design.filter((d) => d.kind !== 'circle' && d.kind !== 'line')) {
    const b = boxes.find((x) => x.name === d.name);
    assert.deepEqual(
      { left: b.left, top: b.top, width: b.width, height: b.height },
      { left: d.left, top: d.top, width: d.width, height: d.height },
      `geometry of ${d.name}`,
    );
    const tag = { form: 'div', frame: 'fieldset', label: 'div', button: 'button', option: 'input', hscroll: 'div', image: 'img' }[d.kind];
    assert.equal(b.tag, tag, `element of ${d.name}`);
  }
  assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('svg circle, svg line')].map((e) => e.id)),
    design.find((d) => d.name === 'Frame5').children.filter((n) => /^(Shape|Line)/.test(n)).reverse(),
    'the shapes in the SVG, bottom-most first');

  assert.deepEqual(await readPage(page, design), expected(state));

  // A caption is its element's own text, with nothing else inside.
  const marked = await page.evaluate(() =>
    [...document.querySelectorAll('#Form1 legend, #Form1 .label, #Form1 button, #Form1 .option > label')]
      .filter((e) => e.childElementCount > 0)
      .map((e) => e.id || e.htmlFor));
  assert.deepEqual(marked, []);

  // Tab order: the desktop's, as the document's order; no positive tabindex anywhere.
  const order = await page.evaluate(() =>
    [...document.querySelectorAll('#Form1 [tabindex]')].filter((e) => e.tabIndex >= 0).map((e) => e.id));
  assert.deepEqual(order, design.filter((d) => d.tabIndex >= 0).sort((a, b) => a.tabIndex - b.tabIndex).map((d) => d.name));
  assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('[tabindex]')].filter((e) => e.tabIndex > 0).map((e) => e.id)), []);

  // Pictures: one for every image control, loaded (what each shows: the test below).
  const pictures = await page.evaluate(() => [...document.querySelectorAll('img')].map((i) => [i.id, i.naturalWidth > 0]));
  assert.deepEqual(pictures.map(([id]) => id).sort(), design.filter((d) => d.kind === 'image').map((d) => d.name).sort());
  for (const [id, loaded] of pictures) assert.ok(loaded, `${id} loaded`);
  sitting.delete();
  assert.deepEqual(errors, []);
  await context.close();
});

test('the scroll bars are scroll bars to assistive technology and the keyboard', async () => {
  const { page, context } = await openWindow(site.browser, site.server.url, { seed: 3 });
  const bars = await page.evaluate(() =>
    ['HScroll1', 'HScroll2', 'HScroll3', 'HScroll4'].map((id) => {
      const e = document.getElementById(id);
      return [e.getAttribute('role'), e.getAttribute('aria-orientation'), e.getAttribute('aria-valuemin'), e.getAttribute('aria-valuemax'), e.tabIndex >= 0];
    }));
  assert.deepEqual(bars, [
    ['scrollbar', 'horizontal', '0', '80', true],
    ['scrollbar', 'horizontal', '0', '20', true],
    ['scrollbar', 'horizontal', '0', '180', true],
    ['scrollbar', 'horizontal', '1', '180', true],
  ]);
  await context.close();
});

test('without a seed the customers are drawn from the clock, as on the desktop; with one, each restart takes the next seed', async () => {
  // The window logic built with the tests' hooks tells which seeds the page asked for.
  const hooked = await serve(undefined, { testBuild: true });
  try {
    const context = await site.browser.newContext();
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(e));
    await page.goto(`${hooked.url}?sw=off`);
    await page.waitForSelector('html[data-ready="true"]');
    assert.deepEqual(JSON.parse(await page.evaluate(() => globalThis.trainerUnderTest.seeds())), [0]);
    assert.match(await page.textContent('#Label17'), /^Ｓ.*° です。$/);

    await page.goto(`${hooked.url}?sw=off&seed=40`);
    await page.waitForSelector('html[data-ready="true"]');
    for (let i = 0; i < 2; ++i) {
      await page.click('#Command1');
      await page.click('#restart');
    }
    assert.deepEqual(JSON.parse(await page.evaluate(() => globalThis.trainerUnderTest.seeds())), [40, 41, 42]);
    assert.deepEqual(errors, []);
    await context.close();
  } finally {
    await hooked.close();
  }
});

test('each chart picture shows exactly the file the desktop embeds, at device scale 1 and 2', async () => {
  const design = designOf(await core());
  for (const scale of [1, 2]) {
    const { page, context } = await openWindow(site.browser, site.server.url, { seed: 3, scale });
    for (const d of design.filter((c) => c.kind === 'image')) {
      const clip = await page.locator(`#${d.name}`).boundingBox();
      const shown = await page.screenshot({ clip });
      // The desktop's file on its own, in an image of the same box over the control.
      const file = (await readFile(path.join(ASSETS, d.picture))).toString('base64');
      await page.evaluate(async ({ name, file }) => {
        const own = document.createElement('img');
        own.className = 'image';
        own.id = 'ownPicture';
        own.src = `data:image/png;base64,${file}`;
        own.style.cssText = document.getElementById(name).style.cssText;
        own.style.objectPosition = '0 0';
        own.style.zIndex = '1000';
        document.getElementById(name).after(own);
        await own.decode();
      }, { name: d.name, file });
      const own = await page.screenshot({ clip });
      await page.evaluate(() => document.getElementById('ownPicture').remove());
      assert.ok(shown.equals(own), `${d.name} (${d.picture}) at scale ${scale}`);
    }
    await context.close();
  }
});

test('a server that sends the WebAssembly as plain bytes still gives a working window', async () => {
  const plain = await serve(undefined, { types: { '.wasm': 'application/octet-stream' } });
  try {
    const { page, context, errors } = await openWindow(site.browser, plain.url, { seed: 6 });
    await page.click('#HScroll2 .arrow.right');
    assert.equal(await page.textContent('#Label6'), 'Ｃ-0.25Ｄ');
    assert.deepEqual(errors, []);
    await context.close();
  } finally {
    await plain.close();
  }
});

test('taking the window over writes nothing but the texts the customer brings', async () => {
  // Every change to the page from the moment main.js runs until the window is interactive.
  const { page, context } = await openWindow(site.browser, site.server.url, {
    seed: 5,
    init: () => {
      window.__writes = [];
      new MutationObserver((list) => {
        if (!performance.getEntriesByName('trainer-script').length || performance.getEntriesByName('trainer-interactive').length) return;
        for (const m of list) {
          const el = m.target.nodeType === Node.ELEMENT_NODE ? m.target : m.target.parentElement;
          window.__writes.push(`${el.id || el.localName} ${m.type === 'attributes' ? m.attributeName : 'text'}`);
        }
      }).observe(document, { subtree: true, attributes: true, childList: true, characterData: true });
    },
  });
  const writes = await page.evaluate(() => window.__writes);
  // The reading and the hidden correction's two texts; the page shown (when the fonts came
  // later than the window logic) and marked ready. A style or attribute written again, even
  // with its own value, would make the browser restyle what it reaches.
  const allowed = ['Label17 text', 'Label26 text', 'Label7 text', 'html class', 'html data-ready'];
  assert.deepEqual(writes.filter((w) => !allowed.includes(w)), []);
  assert.ok(writes.includes('Label17 text'), 'the reading is written');
  await context.close();
});

test('where the window logic runs before the fonts have come, the page first shows the window taken over, focused as the window logic says', async () => {
  const Trainer = await core();
  const sitting = new Trainer.PageSitting(7);
  const { firstFocus } = JSON.parse(sitting.state());
  sitting.delete();
  const context = await site.browser.newContext({ viewport: { width: 900, height: 680 } });
  const page = await context.newPage();
  await page.route('**/*.woff2', async (route) => {
    await new Promise((resolve) => {
      setTimeout(resolve, 400);
    });
    await route.continue();
  });
  // What the window's reading holds at the moment the page starts to show.
  await page.addInitScript(() => {
    window.__shift = 0;
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.__shift += e.value;
    }).observe({ type: 'layout-shift', buffered: true });
    new MutationObserver((list, observer) => {
      if (list.some((m) => m.oldValue?.includes('fonts-pending')) && !document.documentElement.classList.contains('fonts-pending')) {
        window.__readingWhenShown = document.getElementById('Label17').textContent;
        observer.disconnect();
      }
    }).observe(document, { subtree: true, attributes: true, attributeFilter: ['class'], attributeOldValue: true });
  });
  await page.goto(`${site.server.url}?seed=7&sw=off`);
  await page.waitForSelector('html[data-ready="true"]');
  assert.match(await page.evaluate(() => window.__readingWhenShown), /^Ｓ.*° です。$/);
  assert.equal(await page.evaluate(() => document.activeElement.id), firstFocus);
  await page.waitForTimeout(100);
  assert.equal(await page.evaluate(() => window.__shift), 0, 'cumulative layout shift');
  await context.close();
});

test('the window index.html shows before the window logic runs is the live one as designed, and nothing moves when it takes over', async () => {
  // Every element with an id: its box, whether it shows, what it shows (text, checked) and in
  // which colours (the face colours too, which the page has before the window logic runs).
  const boxes = () =>
    [...document.querySelectorAll('#Form1, #Form1 [id]')].map((el) => {
      const r = el.getBoundingClientRect();
      const look = getComputedStyle(el);
      const shown = el.checkVisibility();
      const own = el.id !== 'Form1' && shown && !el.matches('fieldset');
      return {
        id: el.id, box: [r.left, r.top, r.width, r.height], shown,
        text: own ? el.textContent : '', checked: el.checked ?? null, disabled: el.disabled ?? null,
        colours: [look.backgroundColor, look.color, look.fill, look.stroke],
      };
    });
  const context = await site.browser.newContext({ viewport: { width: 900, height: 680 } });
  const page = await context.newPage();
  await page.route('**/trainer.wasm', (route) => route.abort());
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(`${site.server.url}?seed=9&sw=off`);
  await page.evaluate(() => document.fonts.ready);
  const designed = await page.evaluate(boxes);
  // Until the window logic has come the window takes no action: a button pressed and a scroll
  // bar's keys change nothing and raise nothing of the page's, while its scripts run.
  await page.waitForFunction(() => performance.getEntriesByName('trainer-script').length > 0);
  await page.click('#Command2');
  await page.focus('#HScroll1');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('End');
  assert.deepEqual(await page.evaluate(boxes), designed);
  assert.deepEqual(errors.filter((m) => !/wasm|fetch|WebAssembly/i.test(m)), []);
  await context.close();

  const { page: live, context: liveContext } = await openWindow(site.browser, site.server.url, {
    seed: 9,
    init: () => {
      window.__shift = 0;
      new PerformanceObserver((list) => {
        for (const e of list.getEntries()) window.__shift += e.value;
      }).observe({ type: 'layout-shift', buffered: true });
    },
  });
  const now = await live.evaluate(boxes);
  // The customer's reading takes the place of its caption; the focus goes to the first stop.
  const reading = (list) => list.find((e) => e.id === 'Label17');
  assert.equal(reading(designed).text, 'オートレフ値');
  assert.match(reading(now).text, /^Ｓ.*° です。$/);
  const noReading = (list) => list.map((e) => (e.id === 'Label17' ? { ...e, text: '' } : e));
  assert.deepEqual(noReading(now), noReading(designed));
  await live.waitForTimeout(100);
  assert.equal(await live.evaluate(() => window.__shift), 0, 'cumulative layout shift');
  await liveContext.close();
});
