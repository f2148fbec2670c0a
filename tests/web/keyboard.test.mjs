// Operating the page from the keyboard and with a screen reader: the scroll bars' names and
// spoken values, the phoropter picture's words, where the focus goes when an action takes it
// away, Space and Enter on buttons and options, and focus marks and disabled captions that can be seen
// (measured on screenshots and computed styles).

import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';

import { SCREENSHOTS, core, expected, openWindow, readPage, useSiteAndBrowser } from './support.mjs';

const site = useSiteAndBrowser({ screenshots: true });

// The page and a core sitting of the same seed, acted on alike.
async function pair(seed, scale = 1) {
  const Trainer = await core();
  const sitting = new Trainer.PageSitting(seed);
  const design = JSON.parse(sitting.design());
  const opened = await openWindow(site.browser, site.server.url, { seed, scale });
  return { ...opened, sitting, design, state: JSON.parse(sitting.state()) };
}

const focusedId = (page) => page.evaluate(() => document.activeElement?.id ?? '');

// WCAG contrast of two sRGB colours.
function contrast(a, b) {
  const lum = (c) =>
    c
      .map((v) => v / 255)
      .map((v) => (v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4))
      .reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
  const [hi, lo] = [lum(a), lum(b)].sort((x, y) => y - x);
  return (hi + 0.05) / (lo + 0.05);
}

const parseRgb = (css) => css.match(/\d+(\.\d+)?/g).slice(0, 3).map(Number);

test('scroll bars say what they set and what their readouts show, after every action', async () => {
  const { page, context, sitting, design } = await pair(3);
  const readouts = { HScroll1: 'Label4', HScroll2: 'Label6', HScroll3: 'Label8', HScroll4: 'Label3' };
  const names = { HScroll1: '球面度数', HScroll2: '円柱度数', HScroll3: '乱視軸', HScroll4: 'クロスシリンダーの中間軸' };
  const spoken = () =>
    page.evaluate((readouts) => {
      const out = {};
      for (const [bar, label] of Object.entries(readouts)) {
        const el = document.getElementById(bar);
        out[bar] = {
          name: el.getAttribute('aria-label'),
          text: el.getAttribute('aria-valuetext'),
          readout: document.getElementById(label).textContent,
          now: el.getAttribute('aria-valuenow'),
        };
      }
      return out;
    }, readouts);
  const check = async (what) => {
    for (const [bar, s] of Object.entries(await spoken())) {
      assert.equal(s.name, names[bar], `${bar} name after ${what}`);
      assert.equal(s.text, s.readout, `${bar} value text after ${what}`);
      assert.match(s.now, /^-?\d+$/, `${bar} keeps its raw value`);
    }
  };
  await check('opening');
  await page.focus('#HScroll1');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('PageUp');
  await page.focus('#HScroll2');
  await page.keyboard.press('ArrowLeft');
  await page.focus('#HScroll3');
  await page.keyboard.press('PageDown');
  await check('keys on HScroll1..3');

  // The cross cylinder in: its bar speaks too, and the picture's words follow the core's.
  await page.click('#Command2');
  await page.focus('#HScroll4');
  await page.keyboard.press('ArrowRight');
  await check('the cross cylinder in');
  let state;
  sitting.track('HScroll1', +1);
  sitting.arrow('HScroll1', -1);
  sitting.arrow('HScroll2', -1);
  sitting.track('HScroll3', -1);
  sitting.click('Command2');
  state = JSON.parse(sitting.arrow('HScroll4', +1));
  assert.deepEqual(await readPage(page, design), expected(state));
  const svg = await page.evaluate(() => {
    const s = document.querySelector('#Frame5 svg');
    return { role: s.getAttribute('role'), label: s.getAttribute('aria-label'), hidden: s.getAttribute('aria-hidden') };
  });
  assert.deepEqual(svg, { role: 'img', label: state.phoropter, hidden: null });
  assert.match(state.phoropter, /クロスシリンダー/);
  const before = svg.label;
  await page.keyboard.press('PageUp');
  state = JSON.parse(sitting.track('HScroll4', +1));
  assert.equal(await page.getAttribute('#Frame5 svg', 'aria-label'), state.phoropter);
  assert.notEqual(state.phoropter, before);
  sitting.delete();
  await context.close();
});

test('Space and Enter press buttons; one that hides or disables itself hands the focus on, never to END or the end button', async () => {
  const { page, context, sitting, design, errors } = await pair(5);
  let state;
  // [button, key, where the focus must be after it]
  for (const [name, key, to] of [
    ['Command6', 'Space', 'Command6'],
    ['Command2', 'Enter', 'HScroll4'],
    ['Command3', 'Space', 'Command3'],
    ['Command4', 'Space', 'Command2'],
    ['Command5', 'Enter', 'STARTbutton'],
    ['STARTbutton', 'Space', 'Command6'],
  ]) {
    await page.focus(`#${name}`);
    await page.keyboard.press(key);
    state = JSON.parse(sitting.click(name));
    const at = await focusedId(page);
    assert.equal(at, to, `focus after ${key} on ${name}`);
    assert.equal(at, sitting.focusAfter(name));
    assert.ok(!['Command1', 'Command5'].includes(at) || at === name, `moved onto ${at}`);
  }
  assert.deepEqual(await readPage(page, design), expected(state));

  // Enter selects a focused option (and does nothing on a scroll bar). Practice mode: the
  // end button leaves the frames enabled and still leads to STARTbutton.
  await page.focus('#Option11');
  assert.equal(await page.isChecked('#Option11'), false);
  await page.keyboard.press('Enter');
  sitting.select('Option11');
  assert.equal(await page.isChecked('#Option11'), true);
  await page.focus('#HScroll1');
  await page.keyboard.press('Enter');
  await page.keyboard.press('NumpadEnter');
  await page.focus('#Command5');
  await page.keyboard.press('Space');
  state = JSON.parse(sitting.click('Command5'));
  assert.equal(await focusedId(page), 'STARTbutton');
  assert.deepEqual(await readPage(page, design), expected(state));
  assert.deepEqual(errors, []);
  sitting.delete();
  await context.close();
});

// The colours of a screenshot of the page at CSS pixel points, at the device scale.
async function pixels(page, points, scale) {
  const png = await page.screenshot({ fullPage: false });
  return page.evaluate(
    async ({ b64, points, scale }) => {
      const img = new Image();
      img.src = `data:image/png;base64,${b64}`;
      await img.decode();
      const canvas = document.createElement('canvas');
      canvas.width = img.width;
      canvas.height = img.height;
      const g = canvas.getContext('2d');
      g.drawImage(img, 0, 0);
      return points.map(([x, y]) => [...g.getImageData(Math.floor(x * scale), Math.floor(y * scale), 1, 1).data].slice(0, 3));
    },
    { b64: png.toString('base64'), points, scale },
  );
}

// Where a focus mark lies on a control: the middle of its top and bottom sides, `inset` CSS
// pixels inside the box (negative: outside), clear of captions and of the radio's circle.
async function markPoints(page, selector, inset) {
  const r = await page.locator(selector).boundingBox();
  assert.ok(r, `${selector} is shown`);
  return [
    [r.x + r.width / 2, r.y + inset],
    [r.x + r.width / 2, r.y + r.height - inset - 0.5],
  ];
}

for (const scale of [1, 2]) {
  test(`focus marks stand out 3:1 on every button colour, option and scroll bar (device scale ${scale})`, async () => {
    const { page, context } = await pair(5, scale);
    // At the opening, with the cross cylinder in, and after the end in test mode: between
    // them every button colour, an option and both kinds of scroll bar.
    const figures = {};
    for (const [name, box, inset] of [
      ['Command1', '#Command1', 3],
      ['Command2', '#Command2', 3],
      ['Command5', '#Command5', 3],
      ['Command6', '#Command6', 3],
      ['Command7', '#Command7', 3],
      ['Option1', '.option:has(> #Option1)', 1],
      ['HScroll1', '#HScroll1', 2],
    ])
      await measure(name, box, inset);
    await page.click('#Command2');
    for (const [name, box, inset] of [
      ['Command3', '#Command3', 3],
      ['Command4', '#Command4', 3],
      ['HScroll4', '#HScroll4', 2],
    ])
      await measure(name, box, inset);
    await page.focus('#Command5');
    await page.keyboard.press('Space'); // test mode ends: STARTbutton appears
    await measure('STARTbutton', '#STARTbutton', 3);

    async function measure(name, box, inset) {
      // The face without the focus, then the mark with it, at the same pixels. A key first,
      // so that the browser shows the mark as after keyboard use.
      await page.evaluate(() => document.activeElement?.blur());
      const points = await markPoints(page, box, inset);
      const face = await pixels(page, points, scale);
      await page.keyboard.press('Shift');
      await page.focus(`#${name}`);
      const mark = await pixels(page, points, scale);
      const ratio = Math.min(...face.map((f, i) => contrast(f, mark[i])));
      figures[name] = Math.round(ratio * 100) / 100;
      assert.ok(ratio >= 3, `${name}: focus mark ${JSON.stringify(mark)} on ${JSON.stringify(face)} is ${ratio.toFixed(2)}:1`);
      if (scale === 2) await page.screenshot({ path: path.join(SCREENSHOTS, `focus-${name}-x2.png`), clip: await clipAround(box) });
    }
    async function clipAround(box) {
      const r = await page.locator(box).boundingBox();
      return { x: Math.max(0, r.x - 6), y: Math.max(0, r.y - 6), width: r.width + 12, height: r.height + 12 };
    }
    console.log(`focus-mark contrast at x${scale}: ${JSON.stringify(figures)}`);
    await context.close();
  });
}

test('disabled captions keep 3:1 against their faces and stay grey', async () => {
  const { page, context } = await pair(5);
  await page.click('#Command2'); // the cross cylinder in: its frame's buttons shown
  await page.click('#Command5'); // test mode after the end: frames and their buttons disabled
  const seen = await page.evaluate(() => {
    const out = [];
    const faceOf = (el) => {
      for (let e = el; e; e = e.parentElement) {
        const bg = getComputedStyle(e).backgroundColor;
        if (bg !== 'rgba(0, 0, 0, 0)' && bg !== 'transparent') return bg;
      }
      return 'rgb(255, 255, 255)';
    };
    for (const el of document.querySelectorAll('#Form1 button, #Form1 input[type=radio], #Form1 fieldset')) {
      if (!el.matches(':disabled') || el.closest('[hidden]')) continue;
      const text = el.matches('fieldset') ? el.querySelector(':scope > legend') : el.matches('input') ? el.labels[0] : el;
      out.push({ id: el.id, colour: getComputedStyle(text).color, face: faceOf(text) });
    }
    return out;
  });
  await page.locator('#Form1').screenshot({ path: path.join(SCREENSHOTS, 'disabled-x1.png') });
  const ids = seen.map((s) => s.id);
  for (const id of ['Command3', 'Command4', 'Command6', 'Frame4']) assert.ok(ids.includes(id), `${id} disabled`);
  const figures = {};
  for (const s of seen) {
    const ratio = contrast(parseRgb(s.colour), parseRgb(s.face));
    figures[s.id] = Math.round(ratio * 100) / 100;
    assert.ok(ratio >= 3, `${s.id}: ${s.colour} on ${s.face} is ${ratio.toFixed(2)}:1`);
    // Still plainly disabled: lighter than the black of an enabled caption.
    assert.ok(contrast(parseRgb(s.colour), [0, 0, 0]) > 2, `${s.id} caption ${s.colour} looks enabled`);
  }
  console.log(`disabled-caption contrast: ${JSON.stringify(figures)}`);
  await context.close();
});
