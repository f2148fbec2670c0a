// Starts the window: loads the window logic (WebAssembly) and the fonts, builds the view in
// place of the window index.html shows as designed, and carries out what the window logic
// asks of the machine (beep, print, end).
// ?case=CODE plays that case code's customers (the same as on the desktop); ?seed=N (1 or
// more) plays the code of number N (tests, demonstrations).

// Every control's design, as the window logic gives it (written when the site is built).
import design from './design.js';
import createTrainer from './trainer.js';
import { WindowView, smallestTouchScale } from './view.js';

const WIDTH = 878;
const HEIGHT = 655;

const stage = document.getElementById('stage');
const params = new URLSearchParams(location.search);

// Without ?seed the customers are drawn as on the desktop, from the clock (seed 0); with it,
// each new session after an end takes the next seed, so that a test can follow.
const seeded = Number(params.get('seed')) || 0;
let seed = seeded;
const nextSeed = () => (seeded ? seed + 1 : 0);
// A code in the address: each start plays it, as the desktop program started with it does.
const caseText = params.get('case') ?? '';

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

// The scale at which the whole window fits the screen; never larger than 100 %. On a touch
// screen never smaller than the scale at which every control is large enough to touch: the
// page pans there instead.
const touchScale = smallestTouchScale(design);
const touch = window.matchMedia('(pointer: coarse)');
function fit() {
  const fits = Math.min(1, window.innerWidth / WIDTH, window.innerHeight / HEIGHT);
  const scale = touch.matches ? Math.max(fits, touchScale) : fits;
  // Only when it changes (1 where nothing is set): a new value on the root restyles the page.
  const root = document.documentElement.style;
  if ((root.getPropertyValue('--scale') || '1') !== String(scale)) root.setProperty('--scale', String(scale));
}

fit();
window.addEventListener('resize', fit);
touch.addEventListener('change', fit);

performance.mark('trainer-script');
const Trainer = await createTrainer({
  // Instantiates the module that index.html began compiling.
  instantiateWasm(imports, receive) {
    window.trainerWasm
      .then((module) => WebAssembly.instantiate(module, imports))
      .then((instance) => receive(instance));
    return {};
  },
});

performance.mark('trainer-loaded');
let session = null;
let view = null;
// Where the focus starts in the window shown last.
let firstFocus = null;
// The record panel beside the window (panel.js), once the window is interactive.
let panel = null;

// A print in the browser cannot fail, so the window logic never has a notice for the page.
function carryOut(effects) {
  for (let i = 0; i < effects.beeps; ++i) beep();
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
  const state = JSON.parse(argument === undefined ? session[kind](name) : session[kind](name, argument));
  view.mirror(state);
  settleFocus(before);
  panel?.refresh();
  carryOut(state.effects);
}

// A new session. At the first start the window takes over the elements of the window as
// designed that index.html shows (`shown`); after an end a new window takes the place of the
// old one.
function start(newSeed, shown = null) {
  seed = newSeed;
  session?.delete();
  session = new Trainer.Session(seed, caseText);
  const end = document.getElementById('sessionEnd');
  if (!end.hidden) end.hidden = true;
  showWindow(shown);
  panel?.started();
}

// The session's window in the page: `shown` at the first start, else a new view in place of
// the old (after an end, or when the panel started a new code in the same session). The focus
// starts where the window logic says, as on the desktop; at the first start the page may not
// show yet (an element not shown cannot take it), so there the caller gives it.
function showWindow(shown = null) {
  if (shown) view = new WindowView(design, stage, act, shown);
  else {
    const old = document.getElementById('Form1');
    view = new WindowView(design, document.createDocumentFragment(), act);
    old.replaceWith(view.elements.get('Form1'));
  }
  const state = JSON.parse(session.state());
  view.mirror(state);
  firstFocus = state.firstFocus ? view.elements.get(state.firstFocus) : null;
  if (!shown) focusFirst();
}

function focusFirst() {
  firstFocus?.focus({ preventScroll: true });
}

// The session has ended: the window stays as it was, inert, under the notice.
function showEnd() {
  panel?.ended();
  session.delete();
  session = null;
  document.getElementById('Form1').inert = true;
  const end = document.getElementById('sessionEnd');
  end.hidden = false;
  end.querySelector('#restart').focus();
}

document.getElementById('restart').addEventListener('click', () => start(nextSeed()));
// The window is taken over at once, whether it shows yet or not. The page shows when its faces
// are there (index.html): where the window logic ran first, it is laid out only once, as the
// customer's window; where the faces came first, the window as designed has been painted
// meanwhile. The focus can go to the window only once it shows.
start(seeded, document.getElementById('Form1'));
await window.trainerFonts;
focusFirst();
document.documentElement.dataset.ready = 'true';
performance.mark('trainer-interactive');

// The panel is no part of the window's first load: its module and styles come once the window
// has been drawn (after the next frame), so that building the panel does not hold the window's
// first paint back.
new Promise((resolve) => {
  requestAnimationFrame(() => setTimeout(resolve));
})
  .then(() => import('./panel.js'))
  .then(({ RecordPanel }) => RecordPanel.create(Trainer, { session: () => session, rebuild: () => showWindow() }))
  .then((p) => (panel = p));

if ('serviceWorker' in navigator && params.get('sw') !== 'off') navigator.serviceWorker.register('sw.js');
