// The sitting kept in the browser's storage: a scripted sitting whose tab is closed or reloaded
// at many moments (between inputs, and while a burst of inputs is being handled), reopened and
// continued, must give back the same window and record; damaged entries are set aside with a
// message, storage that cannot be written is said once, two tabs keep sittings of their own, and
// 記録を消す removes what was kept.

import assert from 'node:assert/strict';
import { mkdir } from 'node:fs/promises';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { SCREENSHOTS, core, generator, launch, serve } from './support.mjs';

const PREFIX = 'refraction-trainer:';
const SEED = 11;
const CLOSES = Number(process.env.KEPT_CLOSES ?? 56);

const site = {};
before(async () => {
  site.server = await serve(undefined, { testBuild: true });
  site.browser = await launch();
});
after(async () => {
  await site.browser?.close();
  await site.server?.close();
});

// The record's CSV with the columns of times left out (所要時間, seconds, started), which the
// page's clock and the core's in node cannot share.
function withoutTimes(bytes) {
  const text = new TextDecoder().decode(bytes);
  return text
    .split('\r\n')
    .map((line) => line.split(',').filter((_, i) => ![9, 19, 20].includes(i)).join(','))
    .join('\n');
}

const inputsOf = (journal) => journal.split('\n').filter((l) => l.startsWith('i ')).length;

// A sitting of `count` inputs the window can take when they come, played in the core in node:
// the inputs, and after each the window's fingerprint, the inputs kept and the record.
async function scripted(count, rng) {
  const Trainer = await core();
  const s = new Trainer.PageSitting(SEED);
  const pick = (list) => list[Math.floor(rng() * list.length)];
  const script = [];
  const after = [{ fingerprint: s.fingerprint(), inputs: 0, record: withoutTimes(s.csvBytes()) }];
  let state = JSON.parse(s.state());
  while (script.length < count) {
    const roll = rng() * 100;
    let action;
    if (roll < 34) action = [pick(['arrow', 'arrow', 'track']), pick(['HScroll1', 'HScroll2', 'HScroll3', 'HScroll4']), pick([-1, 1])];
    else if (roll < 46) action = ['click', pick(['Command2', 'Command3', 'Command4'])];
    else if (roll < 56) action = ['select', pick(['Option5', 'Option6', 'Option7', 'Option8'])];
    else if (roll < 63) action = ['select', pick(['Option1', 'Option2', 'Option3', 'Option4', 'Option9'])];
    else if (roll < 78) action = ['click', 'Command6'];
    else if (roll < 82) action = ['select', pick(['Option10', 'Option11', 'Option12'])];
    else if (roll < 91) action = ['click', 'Command5']; // ends
    else action = ['click', 'STARTbutton']; // a new customer
    const control = state.controls.find((c) => c.name === action[1]);
    if (!control?.takesInput) continue;
    state = JSON.parse(action[2] === undefined ? s[action[0]](action[1]) : s[action[0]](action[1], action[2]));
    script.push(action);
    after.push({ fingerprint: s.fingerprint(), inputs: inputsOf(s.journal()), record: withoutTimes(s.csvBytes()) });
  }
  s.delete();
  return { script, after };
}

// In the page: the inputs given as a person gives them (clicks, a scroll bar's keys), one per
// task, so that the tab may go between any two.
function play(actions) {
  const keys = { arrow: ['ArrowLeft', 'ArrowRight'], track: ['PageDown', 'PageUp'] };
  return (async () => {
    for (const [kind, name, arg] of actions) {
      const el = document.getElementById(name);
      if (kind === 'click' || kind === 'select') el.click();
      else el.dispatchEvent(new KeyboardEvent('keydown', { key: keys[kind][arg > 0 ? 1 : 0], bubbles: true }));
      await new Promise((resolve) => {
        setTimeout(resolve, 0);
      });
    }
  })();
}

async function open(context, query = '') {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e));
  await page.goto(`${site.server.url}?sw=off${query}`);
  await page.waitForSelector('html[data-ready="true"]');
  await page.waitForSelector('#RecordPanel');
  return { page, errors };
}

// What the page's sitting is now: its window's fingerprint, its journal and its record.
function now(page) {
  return page.evaluate(() => ({
    fingerprint: globalThis.trainerUnderTest.latestFingerprint(),
    journal: globalThis.trainerUnderTest.latestJournal(),
    csv: [...new Uint8Array(globalThis.trainerUnderTest.latestCsv())],
  }));
}

const keptKeys = (page) => page.evaluate((prefix) => Object.keys(localStorage).filter((k) => k.startsWith(prefix)).sort(), PREFIX);

test('closed or reloaded at any moment, the page resumes the same window and record', { timeout: 240000 }, async () => {
  const rng = generator(20261209);
  const { script, after: expected } = await scripted(CLOSES * 11, rng);
  const context = await site.browser.newContext({ viewport: { width: 1400, height: 900 } });
  let { page, errors } = await open(context, `&seed=${SEED}`);
  let at = 0; // inputs of the script the sitting has had
  let closes = 0;
  const mismatches = [];
  while (closes < CLOSES && at < script.length) {
    const burst = script.slice(at, at + 1 + Math.floor(rng() * 20));
    const whileHandling = closes % 2 === 1;
    let before = null;
    if (whileHandling) {
      // Closed somewhere in a burst of inputs.
      page.evaluate(play, burst).catch(() => {});
      await new Promise((resolve) => {
        setTimeout(resolve, rng() * 25);
      });
    } else {
      await page.evaluate(play, burst);
      before = await now(page);
    }
    // Reloaded now and then (the first page, opened with its seed, would start that code again).
    if (closes > 0 && closes % 5 === 2) {
      await page.reload();
      await page.waitForSelector('html[data-ready="true"]');
      await page.waitForSelector('#RecordPanel');
    } else {
      await page.close(); // no unload handlers run, as when a tab is killed
      assert.deepEqual(errors, []);
      ({ page, errors } = await open(context));
    }
    await page.waitForSelector('#ResumeSitting:visible');
    // Offered without taking the focus, which is the window's.
    assert.notEqual(await page.evaluate(() => document.activeElement.id), 'ResumeSitting');
    await page.click('#ResumeSitting');
    assert.equal(await page.locator('#ResumeOffer').isHidden(), true);
    const resumed = await now(page);
    const kept = inputsOf(resumed.journal);
    // Nothing lost but the inputs not yet handled when the tab went.
    let j = at + burst.length;
    if (whileHandling) {
      while (j > at && expected[j].inputs > kept) --j;
    } else {
      assert.deepEqual(resumed.csv, before.csv, `record after close ${closes}`);
      assert.equal(resumed.fingerprint, before.fingerprint);
    }
    if (expected[j].inputs !== kept || expected[j].fingerprint !== resumed.fingerprint ||
        expected[j].record !== withoutTimes(new Uint8Array(resumed.csv)))
      mismatches.push(`close ${closes} after input ${j}: kept ${kept} inputs, expected ${expected[j].inputs}`);
    at = j;
    closes += 1;
  }
  assert.deepEqual(mismatches, []);
  assert.ok(closes >= CLOSES, `${closes} closes`);
  // One sitting kept, however often it was closed.
  assert.equal(new Set((await keptKeys(page)).map((k) => k.split(':')[2])).size, 1);
  await context.close();
});

test('a start with a code of its own offers nothing; the first input to the window withdraws the offer and the old sitting stays', async () => {
  const context = await site.browser.newContext();
  let { page } = await open(context, '&seed=3');
  await page.click('#Command2');
  await page.close();
  ({ page } = await open(context, '&case=014S-C0PJ-V'));
  await page.waitForTimeout(200);
  assert.equal(await page.locator('#ResumeOffer').isHidden(), true);
  await page.close();
  ({ page } = await open(context));
  await page.waitForSelector('#ResumeSitting:visible');
  const keys = await keptKeys(page);
  await page.click('#Command2');
  assert.equal(await page.locator('#ResumeOffer').isHidden(), true);
  // The old sitting and the new one are both kept.
  assert.deepEqual((await keptKeys(page)).filter((k) => keys.includes(k)), keys);
  // The start left untouched with its code is gone.
  assert.equal(new Set((await keptKeys(page)).map((k) => k.split(':')[2])).size, 2);
  // END, then a new start in the same tab: the sitting just ended is offered, as at a new visit.
  const ended = await now(page);
  await page.click('#Command1');
  await page.click('#restart');
  await page.waitForSelector('#ResumeSitting:visible');
  await page.click('#ResumeSitting');
  // END is an input like any other, kept, and played back without ending anything.
  const resumed = await now(page);
  assert.match(resumed.journal.slice(ended.journal.length), /^i \d+ Command1 c 0 \d+ [0-9a-f]{16}\n$/);
  assert.ok(resumed.journal.startsWith(ended.journal));
  assert.equal(resumed.fingerprint, ended.fingerprint);
  assert.equal(await page.isHidden('#sessionEnd'), true);
  await context.close();
});

test('damaged or newer entries are set aside with a message and the page starts as usual', async () => {
  const context = await site.browser.newContext();
  let { page } = await open(context, '&seed=3');
  await page.click('#Command2');
  const journal = (await now(page)).journal;
  await page.evaluate(
    ([prefix, journal]) => {
      localStorage.clear();
      localStorage.setItem(`${prefix}sitting:zz1-a:0000`, journal.slice(0, -7)); // cut inside its last line
      localStorage.setItem(`${prefix}sitting:zz2-b:0000`, journal.replace('\ni ', '\nx ')); // a line that is no entry
      localStorage.setItem(`${prefix}sitting:zz3-c:0000`, 'refraction-trainer sitting 9\ncode 0000-0003-3\n'); // a later version
      localStorage.setItem(`${prefix}sitting:zz4-d:0000`, journal.replace(/[0-9a-f]{16}\n$/, '0000000000000000\n')); // does not play back
    },
    [PREFIX, journal],
  );
  await page.close();
  ({ page } = await open(context));
  await page.waitForSelector('#StorageMessage:visible');
  await page.waitForSelector('#ResumeSitting:visible'); // the one that reads, until it is played
  await page.click('#ResumeSitting');
  const message = await page.textContent('#StorageMessage');
  const Trainer = await core();
  const keys = await keptKeys(page);
  const aside = keys.filter((k) => k.startsWith(`${PREFIX}unreadable:`));
  assert.equal(aside.length, 4);
  const byId = (id) => aside.find((k) => k.includes(`:${id}-`));
  assert.deepEqual(message.split('\n'), [
    Trainer.PageSitting.setAsideMessage(3, byId('zz3-c')),
    Trainer.PageSitting.setAsideMessage(2, byId('zz2-b')),
    Trainer.PageSitting.setAsideMessage(1, byId('zz1-a')),
    Trainer.PageSitting.setAsideMessage(0, byId('zz4-d')),
  ]);
  // Kept as they were, nothing deleted.
  assert.equal(await page.evaluate((k) => localStorage.getItem(k), byId('zz3-c')), 'refraction-trainer sitting 9\ncode 0000-0003-3\n');
  assert.equal(keys.some((k) => k.includes(':zz')), true);
  // A fresh sitting has the window, and it works.
  assert.equal(inputsOf((await now(page)).journal), 0);
  await page.click('#Command2');
  assert.equal(inputsOf((await now(page)).journal), 1);
  await context.close();
});

test('storage that cannot be written is said once, and the page goes on unkept', async () => {
  const texts = JSON.parse((await core()).PageSitting.panelTexts());
  const stubs = [
    // Full: every write refused.
    `Storage.prototype.setItem = function () { throw new DOMException('full', 'QuotaExceededError'); };`,
    // Disabled (a private window without storage): the property itself throws.
    `Object.defineProperty(window, 'localStorage', { get() { throw new DOMException('denied', 'SecurityError'); } });`,
  ];
  for (const stub of stubs) {
    const context = await site.browser.newContext();
    const page = await context.newPage();
    await page.addInitScript(stub);
    const errors = [];
    page.on('pageerror', (e) => errors.push(e));
    let asked = false;
    page.on('dialog', (d) => {
      asked = true;
      d.dismiss();
    });
    await page.goto(`${site.server.url}?sw=off`);
    await page.waitForSelector('#StorageMessage:visible');
    for (const name of ['Command2', 'Command5', 'STARTbutton', 'Command2']) await page.click(`#${name}`);
    await page.fill('#TraineeName', '山田');
    assert.equal(await page.textContent('#StorageMessage'), texts.storageUnwritable);
    assert.equal(await page.textContent('#UnsavedNote'), texts.unsavedNote);
    assert.equal(inputsOf((await now(page)).journal), 4);
    assert.deepEqual(errors, []);
    // Unkept, leaving asks first.
    await page.close({ runBeforeUnload: true });
    await new Promise((resolve) => {
      setTimeout(resolve, 300);
    });
    assert.equal(asked, true);
    await context.close();
  }
});

test('two tabs keep sittings of their own, and a tab does not offer the one another keeps', async () => {
  const context = await site.browser.newContext();
  const { page: a } = await open(context);
  await a.click('#Command2');
  await a.click('#HScroll1 .arrow.right');
  const { page: b } = await open(context);
  await b.waitForTimeout(300);
  assert.equal(await b.locator('#ResumeOffer').isHidden(), true);
  await b.click('#Command2');
  await b.click('#Command3');
  const journals = await a.evaluate((prefix) => {
    const byId = {};
    for (const k of Object.keys(localStorage).sort())
      if (k.startsWith(`${prefix}sitting:`)) byId[k.split(':')[2]] = (byId[k.split(':')[2]] ?? '') + localStorage.getItem(k);
    return Object.values(byId).sort();
  }, PREFIX);
  assert.deepEqual(journals, [(await now(a)).journal, (await now(b)).journal].sort());
  // B is newer, but open: a third tab offers A's once A is closed.
  const aJournal = (await now(a)).journal;
  await a.close();
  const { page: c } = await open(context);
  await c.click('#ResumeSitting');
  assert.equal((await now(c)).journal, aJournal);
  await context.close();
});

test('without Web Locks a tab still leaves alone the sitting another open tab keeps', async () => {
  const context = await site.browser.newContext();
  await context.addInitScript(() => {
    delete Navigator.prototype.locks;
  });
  const { page: a } = await open(context);
  await a.click('#Command2');
  const { page: b } = await open(context);
  await b.waitForTimeout(300);
  assert.equal(await b.locator('#ResumeOffer').isHidden(), true);
  // Its sign of life gone (the tab left), A's sitting is offered.
  await a.close({ runBeforeUnload: true });
  const { page: c } = await open(context);
  await c.waitForSelector('#ResumeSitting:visible');
  await context.close();
});

test('記録を消す asks first, then removes every kept sitting but those of other open tabs', async () => {
  const texts = JSON.parse((await core()).PageSitting.panelTexts());
  const context = await site.browser.newContext();
  let { page } = await open(context, '&seed=4');
  await page.click('#Command2');
  await page.close();
  const { page: other } = await open(context, '&seed=5');
  await other.click('#Command2');
  ({ page } = await open(context));
  await page.waitForSelector('#ResumeSitting:visible');
  await page.click('#DeleteKept');
  assert.equal(await page.textContent('#DeleteKeptQuestion'), texts.deleteKeptQuestion);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'DeleteKeptNo');
  await page.click('#DeleteKeptNo');
  assert.equal(new Set((await keptKeys(page)).map((k) => k.split(':')[2])).size, 3);
  await page.click('#DeleteKept');
  await page.click('#DeleteKeptYes');
  await page.waitForSelector('#StorageMessage:visible');
  assert.equal(await page.textContent('#StorageMessage'), texts.keptDeleted);
  assert.equal(await page.locator('#ResumeOffer').isHidden(), true);
  const otherJournal = (await now(other)).journal;
  const left = await keptKeys(page);
  assert.equal(left.length, 1);
  assert.equal(await page.evaluate((k) => localStorage.getItem(k), left[0]), otherJournal);
  // This sitting is no longer kept: the note says so, and its inputs stay out of the storage.
  await page.click('#Command2');
  assert.equal(await page.textContent('#UnsavedNote'), texts.unsavedNote);
  assert.deepEqual(await keptKeys(page), left);
  await context.close();
});

test('the offer, its message and 記録を消す fit the panel at a desktop width and on a phone', async () => {
  await mkdir(SCREENSHOTS, { recursive: true });
  const sizes = [
    { name: 'desktop-1400', viewport: { width: 1400, height: 900 } },
    { name: 'phone-390', viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
  ];
  for (const { name, ...options } of sizes) {
    const context = await site.browser.newContext(options);
    let { page } = await open(context, '&seed=6');
    await page.click('#Command2');
    await page.evaluate((prefix) => localStorage.setItem(`${prefix}sitting:zzz-bad:0000`, 'refraction-trainer sitting 1\ncode'), PREFIX);
    await page.close();
    ({ page } = await open(context));
    await page.waitForSelector('#ResumeSitting:visible');
    await page.waitForSelector('#StorageMessage:visible');
    // On a phone the panel lies below the window, which pans: pressed where it is.
    await page.locator('#DeleteKept').evaluate((b) => b.click());
    const boxes = {};
    for (const id of ['ResumeOfferText', 'ResumeSitting', 'StartAnew', 'StorageMessage', 'TraineeName', 'DeleteKeptQuestion', 'DeleteKeptYes', 'DeleteKeptNo'])
      boxes[id] = await page.locator(`#${id}`).boundingBox();
    const panel = await page.locator('#RecordPanel').boundingBox();
    const inside = (b) => b.x >= panel.x - 0.5 && b.x + b.width <= panel.x + panel.width + 0.5;
    const apart = (a, b) => a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y || b.y + b.height <= a.y;
    for (const [id, b] of Object.entries(boxes)) assert.ok(inside(b), `${name}: ${id} inside the panel`);
    const ids = Object.keys(boxes);
    for (let i = 0; i < ids.length; ++i)
      for (let k = i + 1; k < ids.length; ++k) assert.ok(apart(boxes[ids[i]], boxes[ids[k]]), `${name}: ${ids[i]} and ${ids[k]} apart`);
    // Nothing drawn over them: each is what is found at its middle.
    for (const id of ids) {
      const hit = await page.evaluate((target) => {
        const el = document.getElementById(target);
        el.scrollIntoView({ block: 'center' });
        const r = el.getBoundingClientRect();
        return document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2)?.closest(`#${target}`) === el;
      }, id);
      assert.ok(hit, `${name}: ${id} not covered`);
    }
    // The question of 記録を消す, then the top of the panel with the offer.
    await page.evaluate(() => document.getElementById('DeleteKeptAsk').scrollIntoView({ block: 'center' }));
    await page.screenshot({ path: path.join(SCREENSHOTS, `kept-delete-${name}.png`) });
    await page.evaluate(() => document.getElementById('ResumeOffer').scrollIntoView({ block: 'center' }));
    await page.screenshot({ path: path.join(SCREENSHOTS, `kept-offer-${name}.png`) });
    await context.close();
  }
});
