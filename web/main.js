// Starts the window: loads the window logic (WebAssembly) and the fonts, builds the view,
// and carries out what the window logic asks of the machine (beep, print, end).
// ?seed=N (1 or more) makes the customers reproducible (tests, demonstrations).

import createTrainer from './trainer.js';
import { WindowView, smallestTouchScale } from './view.js';

const WIDTH = 878;
const HEIGHT = 655;

const stage = document.getElementById('stage');
const params = new URLSearchParams(location.search);

// Without ?seed the customers are drawn as on the desktop, from the clock (seed 0); with it,
// each new session after an end takes the next seed, so that a test can follow.
const seeded = Number(params.get('seed')) || 0;
const nextSeed = () => (seeded ? window.trainer.seed + 1 : 0);

let audio = null;
function beep() {
  audio ??= new AudioContext();
  const tone = audio.createOscillator();
  const gain = audio.createGain();
  tone.type = 'square';
  tone.frequency.value = 880;
  gain.gain.value = 0.08;
  tone.connect(gain).connect(audio.destination);
  tone.start();
  tone.stop(audio.currentTime + 0.12);
}

function notice(text) {
  const n = document.getElementById('notice');
  n.textContent = text;
  n.hidden = false;
  clearTimeout(notice.timer);
  notice.timer = setTimeout(() => (n.hidden = true), 4000);
}

// The scale at which the whole window fits the screen; never larger than 100 %. On a touch
// screen never smaller than the scale at which every control is large enough to touch: the
// page pans there instead.
let touchScale = 0;
const touch = window.matchMedia('(pointer: coarse)');
function fit() {
  const fits = Math.min(1, window.innerWidth / WIDTH, window.innerHeight / HEIGHT);
  const scale = touch.matches ? Math.max(fits, touchScale) : fits;
  document.documentElement.style.setProperty('--scale', String(scale));
}

performance.mark('trainer-script');
const [Trainer] = await Promise.all([
  createTrainer({
    // Instantiates the module that index.html began compiling.
    instantiateWasm(imports, receive) {
      window.trainerWasm
        .then((module) => WebAssembly.instantiate(module, imports))
        .then((instance) => receive(instance));
      return {};
    },
  }),
  document.fonts.load('12px TrainerPGothic'),
  document.fonts.load('12px TrainerGothic'),
]);

performance.mark('trainer-loaded');
let session = null;
let view = null;
let lastState = '';

function carryOut(effects) {
  for (let i = 0; i < effects.beeps; ++i) beep();
  for (const text of effects.notices) notice(text);
  if (effects.end) showEnd();
  if (effects.prints > 0) window.print();
}

// The control whose element has the keyboard focus: '' for none (the focus on the page
// itself), null for an element of the page's own (the end notice, the restart button).
function focusedControl() {
  const el = document.activeElement;
  if (!el || el === document.body || el === document.documentElement) return '';
  return view.elements.get(el.id) === el ? el.id : null;
}

// After an action the focus stays where it is while that can still be operated; when the
// action hid or disabled it (or it fell to the page), it goes where the window logic says.
function settleFocus(before) {
  if (before === null || !session) return;
  const now = document.activeElement;
  const stranded =
    !now || now === document.body || (view.elements.get(now.id) === now && !view.state.get(now.id).takesInput);
  if (!stranded) return;
  const target = view.elements.get(session.focusAfter(before));
  if (target && target !== now) target.focus({ preventScroll: true });
}

function act(kind, name, argument) {
  if (!session) return;
  const before = focusedControl();
  lastState = argument === undefined ? session[kind](name) : session[kind](name, argument);
  const state = JSON.parse(lastState);
  view.mirror(state);
  settleFocus(before);
  carryOut(state.effects);
}

function start(seed) {
  session?.delete();
  stage.replaceChildren();
  session = new Trainer.Session(seed);
  const design = JSON.parse(session.design());
  view = new WindowView(design, stage, act);
  touchScale = smallestTouchScale(design);
  fit();
  const end = document.createElement('div');
  end.id = 'sessionEnd';
  end.setAttribute('role', 'dialog');
  end.setAttribute('aria-modal', 'true');
  end.setAttribute('aria-labelledby', 'sessionEndText');
  end.hidden = true;
  end.innerHTML =
    '<p id="sessionEndText">測定を終了しました。</p><button type="button" id="restart">もう一度はじめる</button>';
  end.querySelector('#restart').addEventListener('click', () => start(nextSeed()));
  const n = document.createElement('div');
  n.id = 'notice';
  n.setAttribute('role', 'status');
  n.hidden = true;
  stage.append(end, n);
  lastState = session.state();
  const state = JSON.parse(lastState);
  view.mirror(state);
  window.trainer.seed = seed;
  // The focus starts where the window logic says, as on the desktop.
  if (state.firstFocus) view.elements.get(state.firstFocus).focus({ preventScroll: true });
}

// The session has ended: the window stays as it was, inert, under the notice.
function showEnd() {
  session.delete();
  session = null;
  document.getElementById('Form1').inert = true;
  const end = document.getElementById('sessionEnd');
  end.hidden = false;
  end.querySelector('#restart').focus();
}

// For the tests: the state the page last mirrored, as the window logic wrote it.
window.trainer = { state: () => lastState, seed: 0 };

window.addEventListener('resize', fit);
touch.addEventListener('change', fit);
start(seeded);
document.documentElement.dataset.ready = 'true';
performance.mark('trainer-interactive');

if ('serviceWorker' in navigator && params.get('sw') !== 'off') navigator.serviceWorker.register('sw.js');
