// Real input in the page (mouse, keys, drags) against the window logic run alongside in node:
// after every event the page must show exactly what the core holds.

import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';

import { SITE, core, designOf, expected, generator, openWindow, showing, useSiteAndBrowser } from './support.mjs';

const EVENTS = Number(process.env.WEB_WALK_EVENTS ?? 2000);
const SEED = Number(process.env.WEB_WALK_SEED ?? 20261208);

// Counts what the page asks of the machine, without a print dialog or a sound.
const COUNTERS = `
  window.__effects = { prints: 0, beeps: 0 };
  window.print = () => { window.__effects.prints++; };
  const tone = AudioContext.prototype.createOscillator;
  AudioContext.prototype.createOscillator = function () { window.__effects.beeps++; return tone.call(this); };
`;

const site = useSiteAndBrowser();

// The page and the core side by side.
class Pair {
  constructor(Trainer, page, design) {
    this.Trainer = Trainer;
    this.page = page;
    this.design = design;
    this.byName = new Map(design.map((d) => [d.name, d]));
    this.expectedEffects = { prints: 0, beeps: 0 };
    this.ended = false;
    this.characters = new Set();
  }

  // The page's sitting with `seed`: the one it was opened with, after an end the next one.
  async startCore(seed) {
    this.seed = seed;
    this.sitting?.delete();
    this.sitting = new this.Trainer.PageSitting(seed);
    this.note(this.sitting.state());
  }

  note(json) {
    this.state = JSON.parse(json);
    for (const c of this.state.controls) for (const ch of c.caption ?? '') this.characters.add(ch);
    this.expectedEffects.prints += this.state.effects.prints;
    this.expectedEffects.beeps += this.state.effects.beeps;
    if (this.state.effects.end) this.ended = true;
  }

  // What the user has done, as the core hears it.
  apply(kind, name, argument) {
    this.note(argument === undefined ? this.sitting[kind](name) : this.sitting[kind](name, argument));
  }

  operable(name) {
    const s = new Map(this.state.controls.map((c) => [c.name, c]));
    for (let n = name; n; n = this.byName.get(n).container) if (!s.get(n).visible || !s.get(n).enabled) return false;
    return true;
  }

  // Puts the reader into the page once, so that each check sends nothing but the call.
  async install() {
    await this.page.evaluate(
      ({ design, showing, look }) => {
        const read = new Function(`return (${showing})`)();
        const all = new Function(`return (${look})`)();
        window.__look = () => all(design, read);
      },
      { design: this.design, showing: showing.toString(), look: look.toString() },
    );
  }

  // Compares the page with the core, and returns what the next event can reach.
  async check(what) {
    const seen = await this.page.evaluate(() => window.__look());
    assert.deepEqual(seen.controls, expected(this.state), `after ${what}`);
    assert.deepEqual(seen.effects, this.expectedEffects, `effects after ${what}`);
    assert.equal(seen.endShown, this.ended, `end notice after ${what}`);
    return seen;
  }
}

// In the page, in one go: what it shows, the effects it carried out, whether the end notice
// is up, the focused element, and the boxes of the controls a pointer can reach now (shown
// and on top at their centre).
function look(design, showing) {
  const controls = showing(design);
  const effects = window.__effects;
  const endShown = !document.getElementById('sessionEnd').hidden;
  const focused = document.activeElement?.id ?? '';
  const targets = [];
  {
    const out = targets;
    for (const el of document.querySelectorAll('#Form1 button, #Form1 input, #Form1 [role=scrollbar]')) {
      const box = el.type === 'radio' ? el.parentElement : el;
      const r = box.getBoundingClientRect();
      if (r.width === 0) continue;
      const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
      if (!hit || !box.contains(hit)) continue;
      const item = { id: el.id, left: r.left, top: r.top, width: r.width, height: r.height };
      if (el.getAttribute('role') === 'scrollbar') {
        const parts = ['.arrow.left', '.track', '.thumb', '.arrow.right'].map((s) => el.querySelector(s).getBoundingClientRect());
        item.parts = parts.map((p) => ({ left: p.left, top: p.top, width: p.width, height: p.height }));
      }
      out.push(item);
    }
  }
  return { controls, effects, endShown, focused, targets };
}

const centre = (b) => [b.left + b.width / 2, b.top + b.height / 2];

test(`a seeded walk of ${EVENTS} real input events keeps the page equal to the core`, { timeout: 600000 }, async () => {
  const Trainer = await core();
  const random = generator(SEED);
  const pick = (list) => list[Math.floor(random() * list.length)];
  const { page, context, errors } = await openWindow(site.browser, site.server.url, { seed: SEED, init: COUNTERS });
  const pair = new Pair(Trainer, page, designOf(Trainer));
  await pair.install();
  await pair.startCore(SEED);
  let seen = await pair.check('opening');

  const counts = {};
  for (let i = 0; i < EVENTS; ) {
    let what;
    if (pair.ended) {
      await page.click('#restart');
      pair.ended = false;
      await pair.startCore(pair.seed + 1);
      what = 'restart';
    } else {
      const { targets, focused } = seen;
      const r = random();
      const focusedDesign = pair.byName.get(focused);
      if (r < 0.22 && focusedDesign && (focusedDesign.kind === 'hscroll' || focusedDesign.kind === 'option' || focusedDesign.kind === 'button')) {
        // A key on the focused control.
        const d = focusedDesign;
        if (d.kind === 'hscroll') {
          const key = pick(['ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End']);
          await page.keyboard.press(key);
          const operable = pair.operable(d.name);
          if (operable) {
            if (key === 'ArrowLeft') pair.apply('arrow', d.name, -1);
            if (key === 'ArrowRight') pair.apply('arrow', d.name, +1);
            if (key === 'PageUp') pair.apply('track', d.name, +1);
            if (key === 'PageDown') pair.apply('track', d.name, -1);
            if (key === 'Home') pair.apply('release', d.name, d.min);
            if (key === 'End') pair.apply('release', d.name, d.max);
          }
          what = `${key} on ${d.name}`;
        } else if (d.kind === 'option') {
          const key = pick(['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Space']);
          await page.keyboard.press(key);
          const group = pair.design.filter((o) => o.kind === 'option' && o.container === d.container).sort((a, b) => a.tabIndex - b.tabIndex);
          if (key === 'Space') pair.apply('select', d.name);
          else {
            const step = key === 'ArrowLeft' || key === 'ArrowUp' ? -1 : 1;
            const at = group.indexOf(d);
            for (let k = 1; k < group.length; ++k) {
              const next = group[(((at + step * k) % group.length) + group.length) % group.length];
              if (pair.operable(next.name)) {
                pair.apply('select', next.name);
                break;
              }
            }
          }
          what = `${key} on ${d.name}`;
        } else {
          const key = pick(['Enter', 'Space']);
          if (d.name === 'Command1' && random() < 0.9) continue; // END only now and then
          await page.keyboard.press(key);
          pair.apply('click', d.name);
          what = `${key} on ${d.name}`;
        }
      } else if (r < 0.27) {
        await page.keyboard.press(random() < 0.8 ? 'Tab' : 'Shift+Tab');
        what = 'Tab';
      } else {
        // Scroll bars get half of the pointer events: they have the most ways of input.
        const bars = targets.filter((x) => x.parts);
        const t = bars.length && random() < 0.5 ? pick(bars) : pick(targets);
        if (!t) continue;
        const d = pair.byName.get(t.id);
        if (d.name === 'Command1' && random() < 0.9) continue;
        if (d.kind === 'hscroll') {
          const [left, track, thumb, right] = t.parts;
          const part = random();
          if (part < 0.35) {
            const dir = random() < 0.5 ? -1 : 1;
            await page.mouse.click(...centre(dir < 0 ? left : right));
            pair.apply('arrow', d.name, dir);
            what = `arrow ${dir} of ${d.name}`;
          } else if (part < 0.65) {
            // The track left or right of the thumb.
            const spaceLeft = thumb.left - track.left;
            const spaceRight = track.left + track.width - (thumb.left + thumb.width);
            // Whole pixels clear of the thumb and of the arrows on either side.
            const dir = spaceLeft < 3 ? 1 : spaceRight < 3 ? -1 : random() < 0.5 ? -1 : 1;
            if ((dir < 0 ? spaceLeft : spaceRight) < 3) continue;
            const x = dir < 0 ? track.left + 1 + random() * (spaceLeft - 2) : thumb.left + thumb.width + 1 + random() * (spaceRight - 2);
            await page.mouse.click(x, track.top + track.height / 2);
            pair.apply('track', d.name, dir);
            what = `track ${dir} of ${d.name}`;
          } else {
            // A thumb drag to a chosen value, letting go once.
            const room = track.width - thumb.width;
            const target = d.min + Math.floor(random() * (d.max - d.min + 1));
            const dx = track.left + ((target - d.min) / (d.max - d.min)) * room - thumb.left;
            const [x, y] = centre(thumb);
            await page.mouse.move(x, y);
            await page.mouse.down();
            for (const f of [0.4, 1]) await page.mouse.move(x + dx * f, y + (random() - 0.5) * 6);
            await page.mouse.up();
            pair.apply('release', d.name, target);
            what = `drag of ${d.name} to ${target}`;
          }
        } else {
          await page.mouse.click(...centre(t));
          pair.apply(d.kind === 'option' ? 'select' : 'click', d.name);
          what = `click on ${d.name}`;
        }
      }
    }
    ++i;
    counts[what.split(' ')[0]] = (counts[what.split(' ')[0]] ?? 0) + 1;
    seen = await pair.check(`event ${i}: ${what}`);
    if (process.env.WEB_WALK_TRACE) console.log(i, what);
  }
  // Every character shown on the way is in the fonts cut down for the page.
  const subset = new Set(await readFile(path.join(SITE, 'fonts', 'characters.txt'), 'utf8'));
  assert.deepEqual([...pair.characters].filter((c) => !subset.has(c)), []);
  console.log(`walk seed ${SEED}: ${JSON.stringify(counts)}; effects ${JSON.stringify(pair.expectedEffects)}`);
  assert.deepEqual(errors, []);
  pair.sitting.delete();
  await context.close();
});

test('a whole case played to its score shows what the core scores', async () => {
  const Trainer = await core();
  const { page, context } = await openWindow(site.browser, site.server.url, { seed: 77, init: COUNTERS });
  const pair = new Pair(Trainer, page, designOf(Trainer));
  await pair.install();
  await pair.startCore(77);
  const [S, C, A] = JSON.parse(pair.sitting.hiddenCase());

  // Keyboard to each bar: Home or End, then arrows to the value of the hidden correction.
  const setBar = async (name, value) => {
    const d = pair.byName.get(name);
    await page.focus(`#${name}`);
    await page.keyboard.press('Home');
    pair.apply('release', name, d.min);
    for (let v = d.min; v < value; ++v) {
      await page.keyboard.press('ArrowRight');
      pair.apply('arrow', name, 1);
    }
    await pair.check(`${name} at ${value}`);
  };
  await setBar('HScroll1', 40 - 4 * S);
  await setBar('HScroll2', -4 * C);
  await setBar('HScroll3', 180 - A);
  await page.click('#Command6');
  pair.apply('click', 'Command6');
  await pair.check('the acuity question');
  assert.equal(await page.textContent('#Label16'), '１．５まで見えます');
  await page.click('#Command5');
  pair.apply('click', 'Command5');
  await pair.check('the end of the measurement');
  assert.equal(await page.textContent('#Label23'), '100 点');
  assert.equal(await page.isVisible('#STARTbutton'), true);
  await context.close();
});
