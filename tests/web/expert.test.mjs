// ヒント and what follows the end of a case: the page's hint against the core's, and the
// procedure checks, the expert's figures and steps against the desktop build's for one code.

import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';

import { SCREENSHOTS, core, useSiteAndBrowser } from './support.mjs';

const site = useSiteAndBrowser({ screenshots: true });
const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const PROBE = path.join(process.env.TRAINER_NATIVE_BUILD ?? path.join(root, 'build'), 'panel_probe');
const CODE = '014S-C0PJ-V';

async function openPanel(query) {
  const context = await site.browser.newContext({ viewport: { width: 1400, height: 900 } });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e));
  await page.goto(`${site.server.url}?${query}&sw=off`);
  await page.waitForSelector('html[data-ready="true"]');
  await page.waitForSelector('#RecordPanel');
  return { context, page, errors };
}

const rowsOf = (page, id) =>
  page.$$eval(`#${id} tbody tr`, (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));

test('ヒント: only outside tests, the core\'s next step, announced and kept in the record', async () => {
  const Trainer = await core();
  const texts = JSON.parse(Trainer.PageSitting.panelTexts());
  const sitting = new Trainer.PageSitting(1, CODE);
  const { page, context, errors } = await openPanel(`case=${CODE}`);
  assert.equal(await page.isVisible('#HintButton'), false, 'a test keeps its answer until the end');
  await page.click('#Option11');
  sitting.select('Option11');
  assert.equal(await page.textContent('#HintButton'), texts.hint);
  assert.equal(await page.getAttribute('#HintText', 'aria-live'), 'polite');
  // From the keyboard, as any button.
  await page.focus('#HintButton');
  await page.keyboard.press('Enter');
  const hint = sitting.hint();
  assert.match(hint, /^まずレンズを .*雲霧/);
  await page.waitForFunction((t) => document.getElementById('HintText').textContent === t, hint);
  const rows = await rowsOf(page, 'ReviewSteps');
  assert.equal(rows.at(-1)[2], texts.hint, 'the hint is a step of the record');
  await page.screenshot({ path: path.join(SCREENSHOTS, 'hint-practice.png') });
  sitting.delete();
  assert.deepEqual(errors, []);
  await context.close();
});

test('after the end: the page\'s checks, expert figures and steps are the desktop\'s for the same code', async () => {
  assert.ok(existsSync(PROBE), `${PROBE} is missing: build the desktop's panel_probe first`);
  const actions = [['select', 'Option11'], ['arrow', 'HScroll1', 1], ['arrow', 'HScroll1', 1], ['select', 'Option7'],
    ['select', 'Option2'], ['click', 'Command6'], ['click', 'Command5']];
  const { stdout } = await promisify(execFile)(PROBE, ['review', CODE, ...actions.map((a) => a.join(' '))],
    { encoding: 'utf8', maxBuffer: 16 << 20 });
  const lines = stdout.trimEnd().split('\n').map((l) => l.split('\t'));
  const desktop = (kind) => lines.filter((l) => l[0] === kind).map((l) => l.slice(1));

  const { page, context, errors } = await openPanel(`case=${CODE}`);
  for (const [kind, name, argument] of actions) {
    if (kind === 'arrow') {
      await page.focus(`#${name}`);
      await page.keyboard.press(argument < 0 ? 'ArrowLeft' : 'ArrowRight');
    } else {
      await page.click(`#${name}`);
    }
  }
  await page.waitForSelector('#ProcedureReview li');
  const checks = await page.$$eval('#ProcedureReview li', (items) => items.map((li) => [
    li.querySelector('strong').textContent, li.querySelector('.check-head span').textContent,
    [...li.querySelectorAll('button.step')].map((b) => b.textContent.replace(/^手順 /, '')).join(' '),
    li.querySelector('.why').textContent]));
  assert.deepEqual(checks, desktop('check'));
  assert.ok(checks.length >= 5);
  assert.deepEqual(await rowsOf(page, 'ExpertSummary'), desktop('summary'));
  // The page's cells carry the core's line-break marks; their text is the desktop's.
  const unmarked = (rows) => rows.map((r) => r.map((t) => t.replace(/[\u200B\u2060]/g, '').replace(/\u00A0/g, ' ')));
  assert.deepEqual(unmarked(await rowsOf(page, 'ExpertSteps')), desktop('expert'));
  // The list is a list with a name; a check's step shows that step in the steps.
  assert.equal(await page.getAttribute('#ProcedureReview', 'aria-label'), '手順の振り返り');
  const withSteps = page.locator('#ProcedureReview button.step').first();
  const n = Number((await withSteps.textContent()).replace(/^手順 /, ''));
  await withSteps.focus();
  await page.keyboard.press('Enter');
  assert.equal(await page.$$eval('#ReviewSteps tbody tr', (rows, k) => rows[k].classList.contains('chosen'), n), true);
  // The expert's line beside the trainee's.
  assert.equal(await page.$$eval('#ReviewPlot polyline', (l) => l.length), 4);
  await page.locator('#ReviewPlot').screenshot({ path: path.join(SCREENSHOTS, 'review-expert-plot.png') });
  await page.locator('#ProcedureReview').screenshot({ path: path.join(SCREENSHOTS, 'review-checks.png') });
  assert.deepEqual(errors, []);
  await context.close();
});
