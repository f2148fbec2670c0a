// Touch and pen reach the same user paths as the mouse: the controls listen to pointer events.

import assert from 'node:assert/strict';
import { test } from 'node:test';

import { core, expected, readPage, useSiteAndBrowser } from './support.mjs';

const site = useSiteAndBrowser();

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
