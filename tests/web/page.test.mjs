// The page as the web expects it: the tab order met by pressing Tab is the desktop's, the page
// names itself, a phone never shows the controls too small to touch, and axe-core finds
// nothing but the contrast of colours the window's layout fixes.

import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import path from 'node:path';
import { test } from 'node:test';
import { SCREENSHOTS, core, designOf, openWindow, useSiteAndBrowser } from './support.mjs';

const site = useSiteAndBrowser({ screenshots: true });
const AXE = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

// The desktop's tab stops in a state: the controls that can be operated, in tab order, and
// of each group of option buttons the selected one (or else the first).
function desktopStops(design, state) {
  const now = new Map(state.controls.map((c) => [c.name, c]));
  const byName = new Map(design.map((d) => [d.name, d]));
  const operable = (name) => {
    for (let n = name; n; n = byName.get(n).container) if (!now.get(n).visible || !now.get(n).enabled) return false;
    return true;
  };
  const order = design.filter((d) => d.tabIndex >= 0 && operable(d.name)).sort((a, b) => a.tabIndex - b.tabIndex);
  return order
    .filter((d) => {
      if (d.kind !== 'option') return true;
      const group = order.filter((o) => o.kind === 'option' && o.container === d.container);
      return d === (group.find((o) => now.get(o.name).selected) ?? group[0]);
    })
    .map((d) => d.name);
}

// Presses Tab from the first stop until the focus leaves the window.
async function tabWalk(page) {
  const seen = [];
  // From the heading above the window, which takes the focus for this walk only.
  await page.evaluate(() => {
    const h = document.querySelector('h1');
    h.tabIndex = -1;
    h.focus();
    h.removeAttribute('tabindex');
  });
  for (let i = 0; i < 40; ++i) {
    await page.keyboard.press('Tab');
    const id = await page.evaluate(() => (document.activeElement?.closest('#Form1') ? document.activeElement.id : ''));
    if (!id || seen.includes(id)) break;
    seen.push(id);
  }
  return seen;
}

// axe-core's violations, less the colour contrast of the texts whose colours the window's
// layout sets (a caption colour on a face colour of the layout's own).
async function violations(page, fixed) {
  await page.addScriptTag({ path: AXE });
  const found = await page.evaluate(async () => {
    const r = await window.axe.run(document, { resultTypes: ['violations'] });
    return r.violations.map((v) => ({ id: v.id, targets: v.nodes.map((n) => n.target.join(' ')) }));
  });
  return found
    .map((v) => (v.id === 'color-contrast' ? { ...v, targets: v.targets.filter((t) => !fixed.includes(t)) } : v))
    .filter((v) => v.targets.length > 0);
}

test('Tab meets the desktop\'s stops in its order, through the cross cylinder, a chart and the modes', async () => {
  const Trainer = await core();
  const design = designOf(Trainer);
  const sitting = new Trainer.PageSitting(1);
  const { page, context, errors } = await openWindow(site.browser, site.server.url, { seed: 1 });
  let state = JSON.parse(sitting.state());
  assert.deepEqual(await tabWalk(page), desktopStops(design, state), 'start');
  for (const name of ['Command2', 'Option8', 'Option12']) {
    await page.click(`#${name}`);
    state = JSON.parse(name.startsWith('Option') ? sitting.select(name) : sitting.click(name));
    assert.deepEqual(await tabWalk(page), desktopStops(design, state), `after ${name}`);
  }
  assert.deepEqual(errors, []);
  sitting.delete();
  await context.close();
});

test('the page names itself: title, description, main landmark, heading, the window\'s caption', async () => {
  const { page, context } = await openWindow(site.browser, site.server.url);
  const seen = await page.evaluate(() => ({
    title: document.title,
    description: document.querySelector('meta[name=description]')?.content ?? '',
    heading: [...document.querySelectorAll('main h1')].map((h) => h.textContent),
    caption: document.getElementById('Form1').dataset.caption,
    inMain: !!document.querySelector('main #Form1'),
  }));
  assert.equal(seen.title, '自覚的屈折検査トレーナー');
  assert.deepEqual(seen.heading, ['自覚的屈折検査トレーナー']);
  assert.equal(seen.caption, 'Form1');
  assert.ok(seen.inMain);
  assert.match(seen.description, /自覚的屈折検査/);
  await context.close();
});

for (const [width, height, upright] of [[412, 915, true], [915, 412, false]]) {
  test(`a ${width} × ${height} phone: every control at least 24 px to touch, the page pans${upright ? ', a hint to turn it' : ''}`, async () => {
    const context = await site.browser.newContext({ viewport: { width, height }, deviceScaleFactor: 2, isMobile: true, hasTouch: true });
    const page = await context.newPage();
    await page.goto(`${site.server.url}?seed=1&sw=off`);
    await page.waitForSelector('html[data-ready="true"]');
    const seen = await page.evaluate(() => {
      const small = [];
      for (const el of document.querySelectorAll('#Form1 button, #Form1 .option, #Form1 .scrollbar > .arrow')) {
        const r = el.getBoundingClientRect();
        if (r.width > 0 && (r.width < 24 || r.height < 24)) small.push(`${el.id || el.parentElement.id} ${r.width}×${r.height}`);
      }
      const hint = document.getElementById('turnHint');
      const hintBox = hint.getBoundingClientRect();
      const window_ = document.getElementById('Form1').getBoundingClientRect();
      return {
        small,
        hint: getComputedStyle(hint).display !== 'none' ? hint.textContent : '',
        clear: hintBox.bottom <= window_.top,
        pans: document.documentElement.scrollWidth > visualViewport.width,
      };
    });
    assert.deepEqual(seen.small, []);
    assert.ok(seen.pans, 'the window is larger than the screen and the page scrolls');
    assert.equal(seen.hint, upright ? '横向きにすると見やすくなります' : '');
    if (upright) assert.ok(seen.clear, 'the hint lies above the window, not over it');
    await page.screenshot({ path: path.join(SCREENSHOTS, `phone-${width}x${height}.png`) });
    await context.close();
  });
}

test('axe-core: nothing but the contrast of the layout\'s own colours, in every mode and state', async () => {
  const { page, context } = await openWindow(site.browser, site.server.url);
  const fixed = designOf(await core())
    .filter((d) => d.look?.fore || d.look?.back)
    .flatMap((d) => [`#${d.name}`, `label[for="${d.name}"]`]);
  const report = {};
  report.start = await violations(page, fixed);
  await page.click('#Command2');
  report.crossCylinder = await violations(page, fixed);
  await page.click('#Option11');
  report.practice = await violations(page, fixed);
  await page.click('#Command5');
  report.end = await violations(page, fixed);
  assert.deepEqual(report, { start: [], crossCylinder: [], practice: [], end: [] });
  await context.close();
});
