// How the page looks: screenshots at device scale 1 and 2 (written to build-web/screenshots/
// for a person to look at), the glyphs coming from the IPA fonts served with the page, and
// the whole window scaled down on a small screen.

import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';

import { SCREENSHOTS, core, expected, openWindow, readPage, useSiteAndBrowser } from './support.mjs';

const site = useSiteAndBrowser({ screenshots: true });

// The page and the core after the same clicks.
async function played(seed, clicks, scale) {
  const Trainer = await core();
  const sitting = new Trainer.PageSitting(seed);
  const design = JSON.parse(sitting.design());
  const opened = await openWindow(site.browser, site.server.url, { seed, scale });
  let state = sitting.state();
  for (const id of clicks) {
    await opened.page.click(`#${id}`);
    state = id.startsWith('Option') ? sitting.select(id) : sitting.click(id);
  }
  assert.deepEqual(await readPage(opened.page, design), expected(JSON.parse(state)));
  sitting.delete();
  return { ...opened, design };
}

for (const scale of [1, 2]) {
  test(`screenshots at device scale ${scale}: test mode after the end, and with the cross cylinder in`, async () => {
    for (const [name, clicks] of [
      ['end', ['Command6', 'Command5']],
      ['crosscylinder', ['Command2', 'Command3']],
    ]) {
      const { page, context } = await played(5, clicks, scale);
      const file = path.join(SCREENSHOTS, `${name}-x${scale}.png`);
      const shot = await page.locator('#Form1').screenshot({ path: file });
      // PNG width and height from the header: the window at its size times the scale.
      assert.deepEqual([shot.readUInt32BE(16), shot.readUInt32BE(20)], [878 * scale, 655 * scale]);
      await context.close();
    }
  });
}

test('every text is drawn with glyphs of the IPA fonts served with the page', async () => {
  const { page, context, design } = await played(9, ['Option11', 'Command6', 'Command2', 'Command5'], 1);
  const cdp = await context.newCDPSession(page);
  await cdp.send('DOM.enable');
  await cdp.send('CSS.enable');
  const { root } = await cdp.send('DOM.getDocument', { depth: -1 });
  const used = new Map();
  let texts = 0;
  for (const d of design.filter((d) => ['frame', 'label', 'button', 'option'].includes(d.kind))) {
    const selector = d.kind === 'frame' ? `#${d.name} > legend` : d.kind === 'option' ? `#${d.name} + label` : `#${d.name}`;
    const { nodeId } = await cdp.send('DOM.querySelector', { nodeId: root.nodeId, selector });
    const { fonts } = await cdp.send('CSS.getPlatformFontsForNode', { nodeId });
    if (fonts.length) ++texts;
    for (const f of fonts) used.set(`${d.name}: ${f.familyName} ${f.isCustomFont ? 'web font' : 'system font'}`, f.glyphCount);
  }
  assert.ok(texts > 40, `${texts} controls with text drawn`);
  const wrong = [...used.keys()].filter((k) => !/: IPAP?Gothic web font$/.test(k));
  assert.deepEqual(wrong, [], 'texts drawn with another font');
  const families = new Set([...used.keys()].map((k) => k.split(': ')[1]));
  assert.deepEqual([...families].sort(), ['IPAGothic web font', 'IPAPGothic web font']);

  // The faces the page loaded are the subsets, not a font of the system.
  const faces = await page.evaluate(() => [...document.fonts].map((f) => [f.family, f.status]));
  assert.deepEqual(faces.sort(), [['TrainerGothic', 'loaded'], ['TrainerPGothic', 'loaded']]);
  await context.close();
});

test('printing gives the window alone, landscape, on one page', async () => {
  const { page, context } = await played(3, ['Command6'], 1);
  const pdf = (await page.pdf({ preferCSSPageSize: true, printBackground: true })).toString('latin1');
  assert.equal((pdf.match(/\/Type\s*\/Page\b(?!s)/g) ?? []).length, 1, 'pages');
  const [, width, height] = /\/MediaBox\s*\[\s*0 0 ([\d.]+) ([\d.]+)\s*\]/.exec(pdf).map(Number);
  assert.ok(width > height, `landscape page, ${width} x ${height} pt`);
  await page.emulateMedia({ media: 'print' });
  const shown = await page.evaluate(() => ({
    scale: getComputedStyle(document.getElementById('stage')).transform,
    background: getComputedStyle(document.body).backgroundColor,
    window: document.getElementById('Form1').getBoundingClientRect().width,
  }));
  assert.deepEqual(shown, { scale: 'none', background: 'rgb(255, 255, 255)', window: 878 });
  await context.close();
});

test('on a small screen the whole window is scaled down, not reflowed', async () => {
  const context = await site.browser.newContext({ viewport: { width: 600, height: 800 } });
  const page = await context.newPage();
  await page.goto(`${site.server.url}?seed=2&sw=off`);
  await page.waitForSelector('html[data-ready="true"]');
  const [form, button] = await page.evaluate(() =>
    ['Form1', 'Command5'].map((id) => {
      const r = document.getElementById(id).getBoundingClientRect();
      return [r.left, r.top, r.width, r.height].map((v) => Math.round(v * 100) / 100);
    }));
  const scale = 600 / 878;
  assert.deepEqual(form.map(Math.round), [0, 0, 600, Math.round(655 * scale)]);
  const design = [560, 424, 89, 73]; // Command5 in layout pixels
  assert.deepEqual(button.map(Math.round), design.map((v) => Math.round(v * scale)));
  await context.close();
});
