// The record panel beside the window: its parts and toggle, where it stands on a wide and a
// tablet-sized page, the review after an end, the record of two customers, the case code from
// the address (the desktop's customers for the same code), a downloaded CSV, the customer's
// view against the desktop build's pixels, axe-core with the panel open, and the panel's texts
// in the page's fonts.

import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import { readFile, writeFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';

import { SCREENSHOTS, SITE, core, serve, useSiteAndBrowser } from './support.mjs';

const site = useSiteAndBrowser({ screenshots: true });
const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const PROBE = path.join(process.env.TRAINER_NATIVE_BUILD ?? path.join(root, 'build'), 'panel_probe');
const AXE = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

const PARTS = ['RecordPanel', 'RecordPanelToggle', 'TraineeName', 'CaseCode', 'CaseCodeInput', 'CaseCodeStart', 'CaseCodeMessage',
  'CaseReview', 'ReviewPlot', 'ReviewSteps', 'ReviewSummary', 'SessionTable', 'ScoreSummary', 'SaveCsv',
  'SaveCsvMessage', 'PrintRecord', 'UnsavedNote', 'PatientView', 'PatientViewFront', 'PatientViewBack',
  'PatientViewCaption', 'SittingRecord'];

// What the desktop build prints (tools/probes/panel_probe_main.cpp).
async function probe(...args) {
  assert.ok(existsSync(PROBE), `${PROBE} is missing: build the desktop's panel_probe first`);
  const { stdout } = await promisify(execFile)(PROBE, args, { encoding: 'utf8', maxBuffer: 64 << 20 });
  return stdout.trimEnd().split('\n');
}

async function openPanel(url, query, { width = 1400, height = 900, scale = 1, acceptDownloads = false } = {}) {
  const context = await site.browser.newContext({ viewport: { width, height }, deviceScaleFactor: scale, acceptDownloads });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e));
  await page.goto(`${url}?${query}&sw=off`);
  await page.waitForSelector('html[data-ready="true"]');
  await page.waitForSelector('#RecordPanel');
  return { context, page, errors };
}

// The texts of a table's body, row by row.
const rowsOf = (page, id) =>
  page.$$eval(`#${id} tbody tr`, (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));

// Runs the same actions on the page and on a core sitting (same seed); `actions` are
// [kind, name, argument] as the page's act() takes them.
async function play(page, sitting, actions) {
  for (const [kind, name, argument] of actions) {
    if (kind === 'arrow') {
      await page.focus(`#${name}`);
      await page.keyboard.press(argument < 0 ? 'ArrowLeft' : 'ArrowRight');
      sitting.arrow(name, argument);
    } else {
      await page.click(`#${name}`);
      sitting[kind](name);
    }
  }
}

const withoutColumn = (rows, column) => rows.map((r) => r.filter((_, i) => i !== column));

test('the panel: its parts, beside the window on a wide page and below it on a tablet, the toggle folds it', async () => {
  const Trainer = await core();
  const texts = JSON.parse(Trainer.PageSitting.panelTexts());
  for (const [width, height, beside] of [[1400, 900, true], [820, 1180, false]]) {
    const { page, context, errors } = await openPanel(site.server.url, 'seed=3', { width, height });
    const seen = await page.evaluate((ids) => {
      const box = (id) => document.getElementById(id).getBoundingClientRect().toJSON();
      const toggle = document.getElementById('RecordPanelToggle');
      return {
        missing: ids.filter((id) => !document.getElementById(id)),
        form: box('Form1'), panel: box('RecordPanel'),
        toggle: [toggle.textContent, toggle.getAttribute('aria-expanded')],
        headers: [...document.querySelectorAll('#SessionTable thead th')].map((th) => th.textContent),
        stepHeaders: [...document.querySelectorAll('#ReviewSteps thead th')].map((th) => th.textContent),
        code: document.getElementById('CaseCode').textContent,
        after: document.getElementById('Form1').compareDocumentPosition(toggle) & Node.DOCUMENT_POSITION_FOLLOWING,
      };
    }, PARTS);
    assert.deepEqual(seen.missing, []);
    assert.deepEqual(seen.toggle, [texts.close, 'true']);
    assert.deepEqual(seen.headers, texts.sittingColumns);
    assert.deepEqual(seen.stepHeaders, texts.reviewColumns);
    assert.match(seen.code, /^問題コード [0-9A-Z]{4}-[0-9A-Z]{4}-[0-9A-Z*~$=]$/);
    assert.ok(seen.after, 'the panel follows the window in the tab order');
    // The window keeps its place and size; the panel takes the room beside or below it.
    const scale = Math.min(1, width / 878, height / 655);
    assert.deepEqual([seen.form.x, seen.form.y], [0, 0]);
    assert.ok(Math.abs(seen.form.width - 878 * scale) < 0.5, `window width ${seen.form.width}`);
    if (beside) assert.ok(seen.panel.x >= seen.form.right - 0.5 && seen.panel.y < 1, JSON.stringify(seen.panel));
    else assert.ok(seen.panel.y >= seen.form.bottom - 0.5 && seen.panel.x === 0, JSON.stringify(seen.panel));

    await page.click('#RecordPanelToggle');
    assert.deepEqual(await page.evaluate(() => [
      document.getElementById('RecordPanelToggle').textContent,
      document.getElementById('RecordPanelToggle').getAttribute('aria-expanded'),
      getComputedStyle(document.getElementById('RecordPanelBody')).display,
    ]), [texts.open, 'false', 'none']);
    // Folded, the panel still announces the end of a case.
    await page.click('#Command5');
    await page.waitForFunction(() => /^測定終了\u3000\d+ 点$/.test(document.getElementById('EndAnnouncement').textContent));
    await page.focus('#RecordPanelToggle');
    await page.keyboard.press('Enter');
    assert.equal(await page.getAttribute('#RecordPanelToggle', 'aria-expanded'), 'true');
    assert.deepEqual(errors, []);
    await context.close();
  }
});

test('after two customers: the review of the ended case, the record of both, the end announced, a row chosen by keyboard', async () => {
  const Trainer = await core();
  const texts = JSON.parse(Trainer.PageSitting.panelTexts());
  const sitting = new Trainer.PageSitting(5);
  const { page, context, errors } = await openPanel(site.server.url, 'seed=5');
  // Test mode: nothing of the review before the end.
  assert.deepEqual(await page.evaluate(() => ['ReviewHidden', 'ReviewPlot', 'ReviewSteps']
    .map((id) => document.getElementById(id).checkVisibility())), [true, false, false]);
  assert.equal(await page.textContent('#ReviewHidden'), texts.reviewHidden);
  assert.equal(await page.isVisible('#CustomerView'), false);
  const first = [['click', 'Command2'], ['arrow', 'HScroll1', 1], ['arrow', 'HScroll1', 1], ['select', 'Option7'],
    ['select', 'Option2'], ['click', 'Command6'], ['arrow', 'HScroll4', -1], ['click', 'Command3'], ['click', 'Command5']];
  await play(page, sitting, first);
  const core1 = JSON.parse(sitting.panel());
  const announced = sitting.announcement();
  assert.match(announced, /^測定終了\u3000\d+ 点$/);
  await page.waitForFunction((text) => document.getElementById('EndAnnouncement').textContent === text, announced);
  // Said once, as on the desktop: the panel redrawn (a row chosen) says nothing again.
  await page.evaluate(() => (document.getElementById('EndAnnouncement').textContent = 'heard'));
  await page.click('#SessionTable tbody tr:first-child button');
  await page.evaluate(() => new Promise((resolve) => {
    requestAnimationFrame(() => requestAnimationFrame(resolve));
  }));
  assert.equal(await page.textContent('#EndAnnouncement'), 'heard');
  const review = await page.evaluate(() => {
    const plot = document.getElementById('ReviewPlot');
    return {
      role: plot.getAttribute('role'), label: plot.getAttribute('aria-label'),
      description: document.getElementById(plot.getAttribute('aria-describedby')).textContent,
      lines: [...plot.querySelectorAll('polyline')].map((l) => [l.getAttribute('stroke'), l.getAttribute('points').split(' ').length]),
      marks: plot.querySelectorAll('.question').length,
      labels: [...plot.querySelectorAll('text')].map((t) => t.textContent),
      summary: [...document.querySelectorAll('#ReviewSummary dt, #ReviewSummary dd')].map((e) => e.textContent),
    };
  });
  assert.deepEqual([review.role, review.label, review.description], ['img', texts.review, core1.review.plotText]);
  // After the end the expert's line for the same customer comes first, under the trainee's three.
  assert.equal(review.lines.length, 4);
  assert.equal(new Set(review.lines.map(([colour]) => colour)).size, 4, 'four colours');
  for (const [, points] of review.lines.slice(1)) assert.equal(points, core1.review.rows.length);
  assert.equal(review.marks, 1, 'the one question asked');
  for (const label of ['残余度数（Ｄ）', '軸のずれ（°）', '手順', '0', '0°']) assert.ok(review.labels.includes(label), review.labels.join(' '));
  assert.deepEqual(withoutColumn(await rowsOf(page, 'ReviewSteps'), 1), withoutColumn(core1.review.rows, 1));
  assert.deepEqual(review.summary.filter((_, i) => i % 2 === 0), core1.review.summary.map(([h]) => h));

  // The second customer, left measuring.
  await play(page, sitting, [['click', 'STARTbutton'], ['select', 'Option11'], ['arrow', 'HScroll2', -1]]);
  const core2 = JSON.parse(sitting.panel());
  const rows = await rowsOf(page, 'SessionTable');
  assert.equal(rows.length, 2);
  assert.deepEqual(withoutColumn(rows, 9), withoutColumn(core2.rows, 9));
  assert.match(rows[0][7], /^\d+ 点$/);
  assert.equal(await page.textContent('#ScoreSummary'), core2.summary);
  assert.equal(await page.isVisible('#UnsavedNote'), true);
  // Practice mode: the review follows the case being measured.
  assert.deepEqual(withoutColumn(await rowsOf(page, 'ReviewSteps'), 1), withoutColumn(core2.review.rows, 1));

  // The first row, chosen from the keyboard.
  await page.focus('#SessionTable tbody tr:first-child button');
  await page.keyboard.press('Enter');
  sitting.chooseCase(0);
  assert.deepEqual(withoutColumn(await rowsOf(page, 'ReviewSteps'), 1), withoutColumn(core1.review.rows, 1));
  assert.deepEqual(await page.$$eval('#SessionTable tbody button', (b) => b.map((e) => e.getAttribute('aria-pressed'))), ['true', 'false']);

  // Leaving the page now asks nothing: the record is kept in the browser, and offered again at
  // the next visit (an unkept one asks: kept.test.mjs).
  assert.equal(await page.evaluate(() => {
    const e = new Event('beforeunload', { cancelable: true });
    window.dispatchEvent(e);
    return e.defaultPrevented;
  }), false);
  assert.deepEqual(errors, []);
  sitting.delete();
  await context.close();
});

// The case tests/qt/review_plot_test.cpp plays on the desktop, on the same code: practice mode,
// lens changes, a chart, three questions, the cross cylinder in and turned, the end.
const SCRIPTED_CASE = [['select', 'Option11'], ['arrow', 'HScroll1', 1], ['arrow', 'HScroll1', 1], ['select', 'Option7'],
  ['select', 'Option2'], ['click', 'Command6'], ['arrow', 'HScroll2', -1], ['arrow', 'HScroll2', -1], ['arrow', 'HScroll2', -1],
  ['click', 'Command6'], ['click', 'Command2'], ['arrow', 'HScroll4', 1], ['click', 'Command3'], ['click', 'Command6'],
  ['click', 'Command5']];

test('the review plot: the page\'s SVG draws the core\'s plot of a scripted case, stroke by stroke and text by text', async () => {
  const Trainer = await core();
  const sitting = new Trainer.PageSitting(5);
  const { page, context, errors } = await openPanel(site.server.url, 'seed=5');
  await play(page, sitting, SCRIPTED_CASE);
  const plot = JSON.parse(sitting.plot());
  sitting.delete();
  await page.waitForFunction(() => document.querySelectorAll('#ReviewPlot text').length > 0);
  const drawn = await page.evaluate(() => {
    const svg = document.getElementById('ReviewPlot');
    const attrs = (e, names) => Object.fromEntries(names.map((n) => [n, e.getAttribute(n)]));
    const pen = ['stroke', 'stroke-width', 'stroke-dasharray'];
    const box = svg.getBoundingClientRect();
    return {
      size: [svg.getAttribute('viewBox'), box.width, box.height],
      paper: svg.querySelector('rect').getAttribute('fill'),
      strokes: [...svg.querySelectorAll('line')].map((e) => attrs(e, ['x1', 'y1', 'x2', 'y2', ...pen])),
      lines: [...svg.querySelectorAll('polyline')].map((e) => attrs(e, ['points', 'fill', ...pen])),
      rings: [...svg.querySelectorAll('circle')].map((e) => attrs(e, ['cx', 'cy', 'r', 'fill', ...pen])),
      texts: [...svg.querySelectorAll('text')].map((e) => ({ text: e.textContent, ...attrs(e, ['x', 'y', 'font-size', 'fill', 'transform']) })),
      // What the style sheet makes of them: nothing of its own.
      styled: [...svg.querySelectorAll('line, polyline, circle')].every((e) => getComputedStyle(e).stroke === e.getAttribute('stroke')) &&
        [...svg.querySelectorAll('text')].every((e) => getComputedStyle(e).fill === e.getAttribute('fill') &&
          getComputedStyle(e).fontSize === `${e.getAttribute('font-size')}px`),
    };
  });
  const s = (v) => String(v);
  const pen = (p) => ({ stroke: p.stroke, 'stroke-width': s(p.width), 'stroke-dasharray': p.dash || 'none' });
  // At the core's size where the panel has room, as on the desktop.
  assert.deepEqual(drawn.size, [`0 0 ${plot.width} ${plot.height}`, plot.width, plot.height]);
  assert.equal(drawn.paper, plot.paper);
  assert.deepEqual(drawn.strokes, plot.strokes.map((l) => ({ x1: s(l.x1), y1: s(l.y1), x2: s(l.x2), y2: s(l.y2), ...pen(l) })));
  assert.deepEqual(drawn.lines, plot.lines.map((l) => {
    const points = [];
    for (let i = 0; i < l.points.length; i += 2) points.push(`${l.points[i]},${l.points[i + 1]}`);
    return { points: points.join(' '), fill: 'none', ...pen(l) };
  }));
  assert.deepEqual(drawn.rings, plot.rings.map((r) => ({ cx: s(r.x), cy: s(r.y), r: s(r.r), fill: r.fill, ...pen(r) })));
  assert.deepEqual(drawn.texts, plot.texts.map((t) => ({
    text: t.text, x: s(t.x), y: s(t.y), 'font-size': s(t.size), fill: t.fill,
    transform: t.angle ? `rotate(${t.angle} ${t.x} ${t.y})` : null,
  })));
  assert.ok(drawn.styled, 'the style sheet overrides none of the core\'s colours and sizes');
  // The same scales and marks as the desktop draws for this case (tests/qt/review_plot_test.cpp).
  const labels = drawn.texts.map((t) => t.text);
  for (const label of ['0', '10', '60', '-8', '+4', '0°', '45°', '90°', '手順', '残余度数（Ｄ）', '軸のずれ（°）', '等価球面', '円柱', '軸のずれ', 'お手本']) {
    assert.ok(labels.includes(label), `${label} in ${labels.join(' ')}`);
  }
  assert.equal(drawn.rings.length, 3, 'the three questions asked');
  await page.locator('#ReviewPlot').screenshot({ path: path.join(SCREENSHOTS, 'review-plot.png') });
  assert.deepEqual(errors, []);
  await context.close();
});

// Many questions close together: a lens change and a question, again and again.
const CROWDED_CASE = [['select', 'Option11'],
  ...Array.from({ length: 24 }, (_, i) => [['arrow', i % 6 < 3 ? 'HScroll1' : 'HScroll2', i % 2 ? 1 : -1], ['click', 'Command6']]).flat(),
  ['click', 'Command5']];

test('at 1400x900 the tables fit the panel and the plot\'s answers neither overlap nor leave the plot', async () => {
  const Trainer = await core();
  const sitting = new Trainer.PageSitting(5);
  const { page, context, errors } = await openPanel(site.server.url, 'seed=5');
  await play(page, sitting, [['select', 'Option12'], ['arrow', 'HScroll1', 1], ['click', 'Command6'], ['click', 'Command5'],
    ['click', 'STARTbutton'], ['arrow', 'HScroll1', 1], ['click', 'Command5'], ['click', 'STARTbutton']]);
  await play(page, sitting, CROWDED_CASE);
  const plot = JSON.parse(sitting.plot());
  sitting.delete();
  await page.waitForFunction(() => document.querySelectorAll('#ReviewPlot text.answer').length > 0);
  const seen = await page.evaluate(() => {
    const tables = ['SessionTable', 'ReviewSteps', 'ExpertSummary', 'ExpertSteps'].map((id) => {
      const table = document.getElementById(id);
      const scroller = table.closest('.scroll') ?? table.parentElement;
      const outer = table.getBoundingClientRect();
      const outside = [...table.querySelectorAll('th, td')].filter((c) => {
        const r = c.getBoundingClientRect();
        // Text wider than its cell would spill; a cell outside the table would be cut.
        return r.left < outer.left - 0.5 || r.right > outer.right + 0.5 || c.scrollWidth > c.clientWidth + 1;
      }).map((c) => c.textContent);
      return { id, rows: table.tBodies[0].rows.length, scrolls: scroller.scrollWidth > scroller.clientWidth, outside };
    });
    const answers = [...document.querySelectorAll('#ReviewPlot text.answer')].map((e) => {
      const b = e.getBBox();
      return { text: e.textContent, x: b.x, y: b.y, width: b.width, height: b.height };
    });
    return { tables, answers };
  });
  for (const t of seen.tables) {
    assert.ok(t.rows > 0, t.id);
    assert.equal(t.scrolls, false, `${t.id} scrolls sideways`);
    assert.deepEqual(t.outside, [], `${t.id}: cells outside the table or their text outside the cell`);
  }
  // As many as the core placed, each as wide as the core measured it in the same font.
  const placed = plot.texts.slice(plot.texts.length - plot.answers);
  assert.ok(plot.answers >= 5, `${plot.answers} answers placed`);
  assert.deepEqual(seen.answers.map((a) => a.text), placed.map((t) => t.text));
  seen.answers.forEach((a, i) => {
    assert.ok(Math.abs(a.x - placed[i].x) < 0.5 && Math.abs(a.width - placed[i].width) < 0.75, `${a.text}: ${JSON.stringify(a)} vs ${JSON.stringify(placed[i])}`);
  });
  // Inside the plot area, and clear of each other (the em boxes the core placed: the glyphs'
  // boxes of a line's font reach a little above and below).
  const [left, top, right, bottom] = plot.area;
  const boxes = placed.map((t) => ({ text: t.text, left: t.x, right: t.x + t.width, top: t.y - t.size / 2, bottom: t.y + t.size / 2 }));
  for (const [i, b] of boxes.entries()) {
    assert.ok(b.left >= left && b.right <= right && b.top >= top && b.bottom <= bottom, `${b.text} leaves the plot`);
    const drawn = seen.answers[i];
    assert.ok(drawn.x >= left - 0.5 && drawn.x + drawn.width <= right + 0.5, `${b.text} drawn outside the plot`);
    for (const o of boxes.slice(i + 1)) {
      assert.ok(b.right <= o.left || o.right <= b.left || b.bottom <= o.top || o.bottom <= b.top, `${b.text} meets ${o.text}`);
    }
    for (const r of plot.rings) {
      const reach = r.r + r.width / 2;
      assert.ok(b.right <= r.x - reach || r.x + reach <= b.left || b.bottom <= r.y - reach || r.y + reach <= b.top, `${b.text} covers a ring`);
    }
  }
  await page.locator('#ReviewPlot').screenshot({ path: path.join(SCREENSHOTS, 'review-plot-crowded.png') });
  for (const id of ['SittingRecord', 'CaseReview']) {
    await page.locator(`#${id}`).screenshot({ path: path.join(SCREENSHOTS, `panel-1400-${id}.png`) });
  }
  assert.deepEqual(errors, []);
  await context.close();
});

test('?case= plays the desktop\'s customers of that code', async () => {
  const code = '014S-C0PJ-V';
  const desktop = await probe('case', code, '3');
  // As the desktop program plays them (refraction-trainer --case 014S-C0PJ-V).
  assert.deepEqual(desktop.map((l) => l.split('\t')), [
    ['-3.25 -1 174', 'Ｓ-3.25Ｄ Ｃ-1.25Ｄ Ａ174°'],
    ['2.75 -1.25 1', 'Ｓ+2.75Ｄ Ｃ-1.50Ｄ Ａ177°'],
    ['3 -0.5 71', 'Ｓ+2.25Ｄ Ｃ-1.00Ｄ Ａ73°'],
  ]);
  const hooked = await serve(SITE, { testBuild: true });
  try {
    const { page, context, errors } = await openPanel(hooked.url, `case=${code.toLowerCase()}`);
    const seen = [];
    for (let i = 0; i < 3; ++i) {
      const [S, C, A] = JSON.parse(await page.evaluate(() => globalThis.trainerUnderTest.latestHiddenCase()));
      seen.push(`${S} ${C} ${A}\t${(await page.textContent('#Label17')).replace(/ です。$/, '')}`);
      await page.click('#Command5');
      await page.click('#STARTbutton');
    }
    assert.deepEqual(seen, desktop);
    assert.equal(await page.textContent('#CaseCode'), `問題コード ${code}`);
    assert.equal(await page.textContent('#CaseCodeMessage'), '');
    assert.deepEqual(errors, []);
    await context.close();
  } finally {
    await hooked.close();
  }
});

test('a bad code, in the address or typed, shows the message and changes nothing; a good one asks before abandoning', async () => {
  const Trainer = await core();
  const texts = JSON.parse(Trainer.PageSitting.panelTexts());
  const { page, context, errors } = await openPanel(site.server.url, 'case=014S-C0PJ-X');
  assert.equal(await page.textContent('#CaseCodeMessage'), texts.badCaseCode);
  assert.equal(await page.getAttribute('#CaseCodeMessage', 'role'), 'alert');
  const fresh = await page.textContent('#CaseCode');
  assert.match(fresh, /^問題コード [0-9A-Z]{4}-[0-9A-Z]{4}-.$/, 'a fresh code from the clock');
  await page.click('#Command2'); // the customer is being measured
  const reading = await page.textContent('#Label17');

  await page.fill('#CaseCodeInput', '014S-C0PJ');
  await page.click('#CaseCodeStart');
  await page.waitForFunction((t) => document.getElementById('CaseCodeMessage').textContent === t, texts.badCaseCode);
  assert.equal(await page.textContent('#CaseCode'), fresh);
  assert.equal(await page.textContent('#Label17'), reading);

  // Asked inside the panel, never with a dialog box: the earlier message gone, いいえ focused;
  // Escape is いいえ, then はい starts the code.
  page.on('dialog', (d) => {
    errors.push(`a dialog box: ${d.message()}`);
    d.dismiss();
  });
  await page.fill('#CaseCodeInput', '014s c0pj v');
  await page.click('#CaseCodeStart');
  assert.equal(await page.isVisible('#AbandonQuestion'), true);
  assert.equal(await page.textContent('#AbandonQuestionText'), texts.abandonQuestion);
  assert.equal(await page.textContent('#AbandonYes'), 'はい');
  assert.equal(await page.textContent('#AbandonNo'), 'いいえ');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'AbandonNo');
  await page.waitForFunction(() => document.getElementById('CaseCodeMessage').textContent === '');
  if (process.env.PANEL_PICTURES) await page.screenshot({ path: `${process.env.PANEL_PICTURES}/page_abandon_question.png` });
  await page.keyboard.press('Escape');
  assert.equal(await page.isVisible('#AbandonQuestion'), false);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'CaseCodeInput');
  assert.equal(await page.textContent('#CaseCode'), fresh);
  await page.keyboard.press('Enter');
  await page.keyboard.press('Shift+Tab');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'AbandonYes');
  await page.keyboard.press('Enter');
  assert.equal(await page.textContent('#CaseCode'), '問題コード 014S-C0PJ-V');
  assert.equal(await page.textContent('#Label17'), 'Ｓ-3.25Ｄ Ｃ-1.25Ｄ Ａ174° です。');
  assert.equal(await page.textContent('#CaseCodeMessage'), '');
  const rows = await rowsOf(page, 'SessionTable');
  assert.deepEqual(rows.map((r) => [r[2].replace(/[\u200b\u2060]/g, ''), r[5]]), [[fresh.slice(6), '中断'], ['014S-C0PJ-V', '測定中']]);
  // The new window works as the first did.
  await page.click('#Command2');
  assert.equal(await page.isVisible('#Frame4'), true);
  assert.deepEqual(errors, []);
  await context.close();
});

test('CSV保存 downloads the record: byte-order mark, header, a row, CRLF, the core\'s file name with the name', async () => {
  const Trainer = await core();
  const texts = JSON.parse(Trainer.PageSitting.panelTexts());
  const { page, context, errors } = await openPanel(site.server.url, 'case=014S-C0PJ-V', { acceptDownloads: true });
  // 名前: labelled, kept without its outer spaces once left; kanji beyond the page's font show
  // in a system font.
  assert.equal(await page.getAttribute('label[for="TraineeName"]', 'for'), 'TraineeName');
  assert.equal(await page.textContent('label[for="TraineeName"]'), texts.traineeName);
  await page.fill('#TraineeName', ' 髙橋　𠮷子 ');
  await page.click('#Command5');
  assert.equal(await page.inputValue('#TraineeName'), '髙橋　𠮷子');
  await page.locator('#CaseCodePart').screenshot({ path: path.join(SCREENSHOTS, 'panel-name.png') });
  const family = await page.$eval('#TraineeName', (e) => getComputedStyle(e).fontFamily);
  assert.match(family, /^TrainerPGothic, .+, sans-serif$/);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#SaveCsv')]);
  const bytes = await readFile(await download.path());
  assert.deepEqual([...bytes.subarray(0, 3)], [0xef, 0xbb, 0xbf]);
  const text = bytes.subarray(3).toString('utf8');
  assert.ok(text.endsWith('\r\n'));
  const lines = text.slice(0, -2).split('\r\n');
  assert.ok(lines[0].startsWith(`${texts.sittingColumns.join(',')},correction_S,`), lines[0]);
  assert.equal(lines.length, 2);
  const row = lines[1].split(',');
  assert.deepEqual(row.slice(0, 4), ['1', 'テストモード', '014S-C0PJ-V', 'Ｓ-3.25Ｄ Ｃ-1.25Ｄ Ａ174°']);
  assert.match(row[7], /^\d+ 点$/);
  assert.equal(row.length, 28);
  assert.deepEqual(row.slice(-7, -4), ['ended', '髙橋　𠮷子', '014S-C0PJ-V']);
  // The procedure's figures: the expert's questions, the checks passed and made, no hints.
  assert.match(row.slice(-4).join(','), /^\d+,\d+,\d+,0$/);
  assert.equal(row[16], row[7].replace(' 点', ''));
  const today = await page.evaluate(() => {
    const d = new Date();
    const two = (n) => String(n).padStart(2, '0');
    return `${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())}`;
  });
  assert.equal(download.suggestedFilename(), `記録_014S-C0PJ-V_髙橋\u3000𠮷子_${today}.csv`);
  // The start with the browser's offset.
  const offset = await page.evaluate(() => -new Date().getTimezoneOffset());
  const sign = offset < 0 ? '-' : '+';
  const hhmm = `${String(Math.floor(Math.abs(offset) / 60)).padStart(2, '0')}:${String(Math.abs(offset) % 60).padStart(2, '0')}`;
  assert.match(row[20], new RegExp(`^${today}T\\d\\d:\\d\\d:\\d\\d\\${sign}${hhmm}$`));
  assert.equal(await page.textContent('#SaveCsvMessage'), texts.saved);
  assert.equal(await page.isVisible('#UnsavedNote'), false);

  // 印刷 prints the record alone; the window's own print, the window alone.
  await page.emulateMedia({ media: 'print' });
  const shown = () => page.evaluate(() => ['Form1', 'RecordPanel', 'SessionTable', 'CaseReview']
    .map((id) => document.getElementById(id).checkVisibility()));
  assert.deepEqual(await shown(), [true, false, false, false]);
  // The browser's print dialog stays shut: 印刷 only readies the page for it.
  // (The page as printed hides the panel until 印刷 is pressed: pressed as from the keyboard.)
  await page.evaluate(() => {
    window.print = () => {};
    document.getElementById('PrintRecord').click();
  });
  assert.deepEqual(await shown(), [false, true, true, false]);
  // Below the record, printed only: the procedure's figures, a row per customer.
  assert.equal(await page.isVisible('#SittingProcedure'), true);
  const figures = await page.$$eval('#SittingProcedure tbody tr', (trs) => trs.map((tr) => [...tr.cells].map((c) => c.textContent)));
  assert.deepEqual(figures.map((r) => r.slice(0, 2).concat(r.slice(-1))), [['1', row[8], '0']]);
  assert.deepEqual(figures[0].slice(2, 5), row.slice(-4, -1));
  // The record's line: the name, the code and the date; the headings each on one line.
  assert.equal(await page.textContent('#RecordHeading'), `名前 髙橋\u3000𠮷子\u3000問題コード 014S-C0PJ-V\u3000${today}`);
  assert.equal(await page.isVisible('#RecordHeading'), true);
  const headingHeights = await page.$$eval('#SessionTable thead th', (ths) => ths.map((th) => th.getBoundingClientRect().height));
  assert.ok(Math.max(...headingHeights) < 40, `headings ${headingHeights} tall: broken between characters`);
  const pdf = await page.pdf({ preferCSSPageSize: true, printBackground: false });
  const pdfPath = path.join(SCREENSHOTS, 'record-print.pdf');
  await writeFile(pdfPath, pdf);
  const { stdout: printed } = await promisify(execFile)('pdftotext', ['-layout', pdfPath, '-'], { encoding: 'utf8' });
  // pdftotext spaces the text as the glyphs stand.
  const unspaced = printed.replace(/\s/g, '');
  assert.ok(unspaced.endsWith('1/1'), printed);
  assert.ok(unspaced.includes(`問題コード014S-C0PJ-V${today}`), printed);
  assert.ok(unspaced.includes(texts.sittingColumns.join('')), printed);
  assert.ok(unspaced.includes(texts.procedureFigures + texts.procedureColumns.join('')), printed);
  assert.deepEqual(errors, []);
  await context.close();
});

test('the customer\'s view: the desktop build\'s pixels on the canvases, one picture or both faces', async () => {
  const scenarios = [
    [['select', 'Option11'], ['select', 'Option7'], ['arrow', 'HScroll1', 1], ['arrow', 'HScroll1', 1]],
    [['select', 'Option12'], ['select', 'Option6'], ['arrow', 'HScroll1', -1]],
    [['select', 'Option12'], ['select', 'Option8'], ['click', 'Command2'], ['arrow', 'HScroll4', 1], ['click', 'Command3']],
  ];
  const Trainer = await core();
  for (const actions of scenarios) {
    const desktop = await probe('view', ...actions.map((a) => a.join(' ')));
    const { page, context, errors } = await openPanel(site.server.url, 'seed=1');
    const sitting = new Trainer.PageSitting(1);
    await play(page, sitting, actions);
    sitting.delete();
    // The picture follows the action in the next frame; the part is busy until then.
    await page.waitForSelector('#CustomerView:not([aria-busy])', { state: 'attached' });
    const ids = desktop.length === 4 ? ['PatientViewFront', 'PatientViewBack'] : ['PatientView'];
    const shown = await page.evaluate((list) => list.map((id) => {
      const c = document.getElementById(id);
      const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let binary = '';
      for (let i = 0; i < data.length; i += 0x8000) binary += String.fromCharCode(...data.subarray(i, i + 0x8000));
      return { visible: c.checkVisibility(), label: c.getAttribute('aria-label'), role: c.getAttribute('role'), width: c.width, height: c.height, bytes: btoa(binary) };
    }), ids);
    ids.forEach((id, i) => {
      const [width, height, ...description] = desktop[2 * i].split(' ');
      const expected = Buffer.from(desktop[2 * i + 1], 'hex');
      const s = { ...shown[i], bytes: Buffer.from(shown[i].bytes, 'base64') };
      assert.deepEqual([s.visible, s.role, s.label, s.width, s.height], [true, 'img', description.join(' '), Number(width), Number(height)], id);
      let worst = 0;
      for (let b = 0; b < expected.length; ++b) worst = Math.max(worst, Math.abs(expected[b] - s.bytes[b]));
      assert.equal(s.bytes.length, expected.length);
      assert.ok(worst <= 1, `${id}: a channel differs by ${worst}`);
    });
    if (ids.length === 2) {
      assert.equal(await page.isVisible('#PatientView'), false);
      // After 反転 the mark is on うら, as the window says.
      const captions = await page.evaluate(() => ['PatientViewFrontCaption', 'PatientViewBackCaption'].map((id) => {
        const c = document.getElementById(id);
        return [c.textContent, c.classList.contains('in-front')];
      }));
      assert.deepEqual(captions, [['おもて', false], ['うら（提示中）', true]]);
      if (process.env.PANEL_PICTURES) await page.screenshot({ path: `${process.env.PANEL_PICTURES}/page_faces_flipped.png` });
    }
    assert.equal(await page.textContent('#PatientViewCaption'), '見え方のイメージ');
    assert.deepEqual(errors, []);
    await context.close();
  }
});

test('axe-core finds nothing in the open panel; its texts are all in the panel\'s font', async () => {
  const { page, context } = await openPanel(site.server.url, 'seed=2');
  await play(page, { click() {}, select() {}, arrow() {} }, [['select', 'Option11'], ['select', 'Option8'], ['click', 'Command2'],
    ['select', 'Option9'], ['click', 'Command6'], ['click', 'Command5'], ['click', 'STARTbutton']]);
  await page.fill('#CaseCodeInput', 'x');
  await page.click('#CaseCodeStart');
  await page.addScriptTag({ path: AXE });
  const found = await page.evaluate(async () => {
    const r = await window.axe.run('#RecordPanel', { resultTypes: ['violations'] });
    return r.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  });
  assert.deepEqual(found, []);

  const shown = await page.evaluate(() => {
    const panel = document.getElementById('RecordPanel');
    const labels = [...panel.querySelectorAll('[aria-label]')].map((e) => e.getAttribute('aria-label'));
    return [panel.textContent, ...labels].join('');
  });
  const script = 'import sys, json\nfrom fontTools.ttLib import TTFont\n' +
    'print(json.dumps(sorted(TTFont(sys.argv[1]).getBestCmap())))';
  // The panel is set in the proportional font alone (panel.css), cut down with its texts too.
  for (const font of ['ipagp.woff2']) {
    const { stdout } = await promisify(execFile)('/usr/bin/python3', ['-c', script, path.join(SITE, 'fonts', font)]);
    const cmap = new Set(JSON.parse(stdout));
    // The zero-width marks of where a cell may break and where not are drawn by no font.
    const missing = [...new Set(shown.replace(/[\s\u200b\u2060]/g, ''))].filter((ch) => !cmap.has(ch.codePointAt(0)));
    assert.deepEqual(missing, [], font);
  }
  await context.close();
});

// Pictures to look at (build-web/screenshots/panel-*.png): a wide and a tablet-sized page at
// device scales 1 and 2, after a few actions in practice mode and after an end.
// The size of a PNG in pixels, from its header.
const pngSize = (png) => [png.readUInt32BE(16), png.readUInt32BE(20)];

// How the page lies out in the screenshot: its size, the window's and the panel's boxes, and every
// element of the panel that reaches sideways outside the panel's box or, text in a box of its own,
// outside its own box (what scrolls inside a scrolling part, the SVG's drawing and the texts only
// screen readers get are left out: they are clipped by design; beside the window the panel
// scrolls downwards within itself).
const layoutOf = (page) => page.evaluate(() => {
  const panel = document.getElementById('RecordPanel');
  const outer = panel.getBoundingClientRect();
  const overflowing = panel.scrollWidth > panel.clientWidth ? ['RecordPanel (scrolls sideways)'] : [];
  for (const e of panel.querySelectorAll('*')) {
    if (e.closest('.visually-hidden') || e.parentElement.closest('.scroll, svg')) continue;
    const r = e.getBoundingClientRect();
    if (r.width === 0 && r.height === 0) continue;
    const name = e.id || `${e.tagName.toLowerCase()}.${e.className.baseVal ?? e.className} in #${e.closest('[id]').id}`;
    if (r.left < outer.left - 0.5 || r.right > outer.right + 0.5) overflowing.push(name);
    else if (!(e instanceof SVGElement) && getComputedStyle(e).overflowX === 'visible' && e.scrollWidth > e.clientWidth + 1 && e.clientWidth > 0) overflowing.push(`${name} (its text)`);
  }
  const box = (el) => el.getBoundingClientRect().toJSON();
  return {
    page: [document.documentElement.scrollWidth, document.documentElement.scrollHeight],
    form: box(document.getElementById('Form1')), panel: outer.toJSON(), overflowing,
  };
});

test('screenshots of the panel: the page as laid out, beside the window on a wide page, below it on a tablet, nothing outside its box', async () => {
  const noCore = { click() {}, select() {}, arrow() {} };
  for (const [name, width, height] of [['wide', 1400, 900], ['tablet', 820, 1180]]) {
    for (const scale of [1, 2]) {
      const { page, context, errors } = await openPanel(site.server.url, 'case=014S-C0PJ-V', { width, height, scale });
      await play(page, noCore, [['select', 'Option11'], ['select', 'Option7'], ['arrow', 'HScroll1', 1], ['select', 'Option2'],
        ['click', 'Command6'], ['arrow', 'HScroll2', -1], ['arrow', 'HScroll2', -1], ['click', 'Command6']]);
      const shots = [];
      shots.push([await page.screenshot({ path: path.join(SCREENSHOTS, `panel-${name}-practice-x${scale}.png`), fullPage: true }), await layoutOf(page)]);
      await play(page, noCore, [['click', 'Command2'], ['arrow', 'HScroll4', 1], ['click', 'Command5']]);
      await page.waitForSelector('#ReviewPlot polyline', { state: 'attached' });
      shots.push([await page.screenshot({ path: path.join(SCREENSHOTS, `panel-${name}-ended-x${scale}.png`), fullPage: true }), await layoutOf(page)]);
      for (const [png, layout] of shots) {
        const where = `${name} x${scale}`;
        // The whole page, at the device's scale, and never wider than the screen.
        assert.deepEqual(pngSize(png), [width * scale, layout.page[1] * scale], where);
        assert.equal(layout.page[0], width, `${where}: the page scrolls sideways`);
        assert.ok(layout.panel.width > 300 && layout.panel.height > 300, `${where}: panel ${JSON.stringify(layout.panel)}`);
        if (name === 'wide') {
          // Beside the window, its top within the window's height, inside the screen.
          assert.ok(layout.panel.left >= layout.form.right - 0.5, `${where}: panel not right of the window`);
          assert.ok(layout.panel.top < layout.form.bottom && layout.panel.right <= width + 0.5, `${where}: panel not beside the window`);
        } else {
          // Below the window, the window scaled to the page's width as without the panel.
          assert.ok(layout.panel.top >= layout.form.bottom - 0.5 && layout.panel.left === 0, `${where}: panel not below the window`);
          assert.ok(Math.abs(layout.form.width - 878 * Math.min(1, width / 878, height / 655)) < 0.5, `${where}: window ${layout.form.width}`);
        }
        assert.deepEqual(layout.overflowing, [], `${where}: outside their boxes`);
      }
      assert.deepEqual(errors, []);
      await context.close();
    }
  }
});
