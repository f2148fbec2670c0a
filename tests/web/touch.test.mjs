// Touch and pen reach the same user paths as the mouse: the controls listen to pointer events.
// On tablets the window fits the width with every target reaching 24 px; a swipe over a scroll
// bar pans the page.

import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';

import { SCREENSHOTS, core, expected, readPage, useSiteAndBrowser } from './support.mjs';

const site = useSiteAndBrowser({ screenshots: true });

const centreOf = (page, selector) =>
  page.evaluate((s) => {
    const r = document.querySelector(s).getBoundingClientRect();
    return { x: r.left + r.width / 2, y: r.top + r.height / 2, left: r.left, width: r.width };
  }, selector);

test('taps on arrows, track and buttons, a touch drag of a thumb and a pen act as the mouse does', async () => {
  const context = await site.browser.newContext({ viewport: { width: 900, height: 680 }, hasTouch: true, isMobile: false });
  const page = await context.newPage();
  await page.goto(`${site.server.url}?seed=4&sw=off`);
  await page.waitForSelector('html[data-ready="true"]');
  const Trainer = await core();
  const sitting = new Trainer.PageSitting(4);
  const design = JSON.parse(sitting.design());

  const tap = async (selector) => {
    const c = await centreOf(page, selector);
    await page.touchscreen.tap(c.x, c.y);
  };
  await tap('#HScroll1 .arrow.right');
  sitting.arrow('HScroll1', 1);
  await tap('#HScroll2 .arrow.right');
  sitting.arrow('HScroll2', 1);
  const thumb = await centreOf(page, '#HScroll3 .thumb');
  const track = await centreOf(page, '#HScroll3 .track');
  await page.touchscreen.tap((track.left + thumb.x - 10) / 2, track.y); // midway along the track left of the thumb
  sitting.track('HScroll3', -1);
  await tap('#Command6');
  let state = sitting.click('Command6');
  assert.deepEqual(await readPage(page, design), expected(JSON.parse(state)));

  // A touch drag of the HScroll1 thumb to the right end: one change, at the release.
  const cdp = await context.newCDPSession(page);
  const t = await centreOf(page, '#HScroll1 .thumb');
  const end = await centreOf(page, '#HScroll1 .arrow.right');
  const touch = (type, x) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : [{ x, y: t.y }] });
  await touch('touchStart', t.x);
  await touch('touchMove', (t.x + end.x) / 2);
  assert.equal(await page.getAttribute('#HScroll1', 'aria-valuenow'), '41', 'no change while the thumb is dragged');
  await touch('touchMove', end.x + 40);
  await touch('touchEnd');
  state = sitting.release('HScroll1', 80);
  assert.deepEqual(await readPage(page, design), expected(JSON.parse(state)));

  // A pen on the left arrow and on an option button.
  const pen = async (selector) => {
    const c = await centreOf(page, selector);
    for (const type of ['mousePressed', 'mouseReleased'])
      await cdp.send('Input.dispatchMouseEvent', { type, x: c.x, y: c.y, button: 'left', clickCount: 1, pointerType: 'pen' });
  };
  await pen('#HScroll1 .arrow.left');
  sitting.arrow('HScroll1', -1);
  await pen('#Option4 + label');
  state = sitting.select('Option4');
  assert.deepEqual(await readPage(page, design), expected(JSON.parse(state)));
  sitting.delete();
  await context.close();
});

// Points on a circle of 11.5 CSS px around the centre of each target's hit area (its box and
// what its ::before adds), and the centre: each must reach that target or no other target (the
// size, or for an option button less than 24 px high, the spacing that WCAG 2.5.8 asks). The
// track's hit area is what its thumb leaves free: tried at the middle of the larger part, up and
// down.
const TARGETS = '#Form1 button, #Form1 .option, #Form1 .scrollbar > .arrow, #Form1 .scrollbar > .track, #Form1 .thumb, #RecordPanel button, #RecordPanel input';
function reachOfTargets(selector) {
  const targets = [...document.querySelectorAll(selector)].filter((e) => e.getClientRects().length);
  const owner = (hit) => {
    for (let n = hit; n; n = n.parentElement) if (targets.includes(n)) return n;
    return null;
  };
  const missed = [];
  for (const target of targets) {
    target.scrollIntoView({ block: 'center', inline: 'nearest' });
    const r = target.getBoundingClientRect();
    const before = getComputedStyle(target, '::before');
    const out = (side) => (before.content === 'none' ? 0 : Math.max(0, -parseFloat(before[side]) || 0));
    const scale = r.width / target.offsetWidth;
    const box = { left: r.left - out('left') * scale, right: r.right + out('right') * scale, top: r.top - out('top') * scale, bottom: r.bottom + out('bottom') * scale };
    let points;
    const y = (box.top + box.bottom) / 2;
    if (target.classList.contains('track')) {
      const thumb = target.querySelector('.thumb').getBoundingClientRect();
      const x = thumb.left - r.left > r.right - thumb.right ? (r.left + thumb.left) / 2 : (thumb.right + r.right) / 2;
      points = [[x, y], [x, y - 11.5], [x, y + 11.5]];
    } else {
      const x = (box.left + box.right) / 2;
      points = [[x, y], ...[0, 1, 2, 3, 4, 5, 6, 7].map((k) => [x + 11.5 * Math.cos((k * Math.PI) / 4), y + 11.5 * Math.sin((k * Math.PI) / 4)])];
    }
    points.forEach(([px, py], k) => {
      const hit = owner(document.elementFromPoint(px, py));
      if (hit !== target && (hit !== null || k === 0)) missed.push(`${target.id || `${target.closest('[id]').id} ${target.className}`} at ${Math.round(px - points[0][0])},${Math.round(py - points[0][1])}: ${hit?.id || hit?.className}`);
    });
  }
  return missed;
}

for (const [width, height] of [[820, 1180], [1180, 820]]) {
  test(`a ${width} × ${height} tablet: the window fits the width, every target reaches 24 px, the customer's view in sight`, async () => {
    const context = await site.browser.newContext({ viewport: { width, height }, hasTouch: true });
    const page = await context.newPage();
    await page.goto(`${site.server.url}?seed=1&sw=off`);
    await page.waitForSelector('#RecordPanel');
    await page.$eval('#Option11', (e) => e.click()); // practice: the customer's view shows
    await page.waitForFunction(() => !document.getElementById('CustomerView').hidden);
    const seen = await page.evaluate(() => {
      const form = document.getElementById('Form1').getBoundingClientRect();
      const view = document.getElementById('CustomerView').getBoundingClientRect();
      return {
        fits: form.right <= innerWidth && document.documentElement.scrollWidth <= innerWidth,
        viewInSight: view.top >= 0 && view.top < innerHeight - 100,
        hint: getComputedStyle(document.getElementById('turnHint')).display,
      };
    });
    seen.missed = await page.evaluate(reachOfTargets, TARGETS);
    // The questions each chart offers (option buttons 16 px apart in the layout) one by one.
    for (const chart of ['Option6', 'Option7', 'Option8']) {
      await page.$eval(`#${chart}`, (e) => e.click());
      seen.missed.push(...(await page.evaluate(reachOfTargets, TARGETS)));
    }
    assert.deepEqual(seen, { fits: true, viewInSight: true, hint: 'none', missed: [] });
    await page.screenshot({ path: path.join(SCREENSHOTS, `tablet-${width}x${height}.png`) });
    await context.close();
  });
}

test('a swipe that starts on a scroll bar leaves the lens; a tap still turns it', async () => {
  const context = await site.browser.newContext({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true });
  const page = await context.newPage();
  await page.goto(`${site.server.url}?seed=4&sw=off`);
  await page.waitForSelector('html[data-ready="true"]');
  const cdp = await context.newCDPSession(page);
  const before = await page.getAttribute('#HScroll1', 'aria-valuenow');
  for (const part of ['#HScroll1 .arrow.right', '#HScroll1 .track']) {
    const c = await centreOf(page, part);
    const x = part.endsWith('track') ? c.left + 5 : c.x; // clear of the thumb
    await cdp.send('Input.synthesizeScrollGesture', { x: Math.round(x), y: Math.round(c.y), xDistance: -120, yDistance: -200, gestureSourceType: 'touch', speed: 1200 });
  }
  assert.equal(await page.getAttribute('#HScroll1', 'aria-valuenow'), before, 'no lens change from the swipes');
  const c = await centreOf(page, '#HScroll1 .arrow.right');
  await page.touchscreen.tap(c.x, c.y);
  assert.notEqual(await page.getAttribute('#HScroll1', 'aria-valuenow'), before, 'a tap on the arrow turns the lens');
  await context.close();
});
