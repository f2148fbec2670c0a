// The page around the window: the sitting's lifetime (a new one at each start, none after END),
// the user's actions passed to it and its state mirrored into the view, the focus after each
// action, the window's scale on the screen, and what the window logic asks of the machine
// (beep, print, end).

import { el, setStyle } from './dom.js';
import { SittingStore } from './sitting_store.js';
import { WindowView, smallestTouchScale } from './view.js';

const WIDTH = 878;
const HEIGHT = 655;

// A short square-wave tone, as the system's beep.
class Beeper {
  constructor() {
    this.audio = null;
  }

  beep() {
    this.audio ??= new AudioContext();
    const tone = this.audio.createOscillator();
    const gain = this.audio.createGain();
    tone.type = 'square';
    tone.frequency.value = 880;
    gain.gain.value = 0.08;
    tone.connect(gain).connect(this.audio.destination);
    tone.start();
    tone.stop(this.audio.currentTime + 0.12);
  }
}

// Below this scale a touch screen pans instead of fitting the window: the window's controls,
// their hit areas enlarged as far as their neighbours allow, would get too small to touch.
const SMALLEST_TOUCH_FIT = 0.85;

// Keeps the window at the scale at which it fits the screen; never larger than 100 %. A touch
// screen too small for that (a phone) shows it at the scale at which every control is large
// enough to touch, and the page pans; held upright, where turning it helps, a hint says so.
function keepFitting(design) {
  const touchScale = smallestTouchScale(design);
  const touch = window.matchMedia('(pointer: coarse)');
  const fit = () => {
    // A phone's layout viewport grows to the page's width once the page pans: the screen's
    // size is what a touch screen fits the window to.
    const width = touch.matches ? Math.min(window.innerWidth, window.screen.width) : window.innerWidth;
    const height = touch.matches ? Math.min(window.innerHeight, window.screen.height) : window.innerHeight;
    const fits = Math.min(1, width / WIDTH, height / HEIGHT);
    const pans = touch.matches && fits < SMALLEST_TOUCH_FIT;
    const scale = pans ? Math.max(fits, touchScale) : fits;
    // Only when it changes (1 where nothing is set): a new value on the root restyles the page.
    const root = document.documentElement;
    if ((root.style.getPropertyValue('--scale') || '1') !== String(scale)) setStyle(root, '--scale', String(scale));
    if (root.classList.contains('pans') !== pans) root.classList.toggle('pans', pans);
  };
  fit();
  window.addEventListener('resize', fit);
  touch.addEventListener('change', fit);
}

export class PageController {
  // `seeded`: the seed of the first start (0: the customers are drawn from the clock, as on the
  // desktop); with one, each start after an end takes the next, so that a test can follow.
  // `caseText`: a code each start plays, as the desktop program started with it does.
  // `lms`: the learning system that opened the page (lms.js), or null.
  constructor(design, stage, { seeded, caseText, lms = null }) {
    this.design = design;
    this.stage = stage;
    this.seeded = seeded;
    this.seed = seeded;
    this.caseText = caseText;
    this.beeper = new Beeper();
    this.Trainer = null;
    this.sitting = null;
    this.view = null;
    this.firstFocus = null; // where the focus starts in the window shown last
    this.panel = null; // the record panel beside the window (panel.js), once it is there
    this.lms = lms;
    this.store = null; // where the sitting is kept (sitting_store.js); none in a learning system
    keepFitting(design);
    // Leaving the page ends the attempt in the learning system, as END does.
    if (lms) window.addEventListener('pagehide', () => this.finishLms());
    // A tab put away may never come back (a tablet frees it): what was done so far is sent.
    if (lms) {
      document.addEventListener('visibilitychange', () => {
        if (document.visibilityState === 'hidden') this.lms.commit(this.sitting?.brief());
      });
    }
    document.getElementById('restart').addEventListener('click', () => this.start(this.seeded ? this.seed + 1 : 0));
  }

  // The first start, once the window logic has loaded: the window takes over the elements of the
  // window as designed that index.html shows (`shown`), whether the page shows yet or not. The
  // focus can go to the window only once it shows (focusFirst).
  begin(Trainer, shown) {
    this.Trainer = Trainer;
    // In a learning system the record is the system's to keep: nothing goes into the browser.
    if (!this.lms) this.store = new SittingStore(Trainer, () => this.panel?.drawKept());
    // The class's code, where the teacher set one, is played instead of any other.
    if (this.lms) {
      this.lmsSettings = JSON.parse(Trainer.PageSitting.lmsSettings(this.lms.launchData));
      if (this.lmsSettings.case) this.caseText = this.lmsSettings.case;
    }
    this.start(this.seeded, shown);
  }

  // A new sitting. At the first start the window takes over `shown`; after an end a new window
  // takes the place of the old one.
  start(seed, shown = null) {
    this.seed = seed;
    this.sitting?.delete();
    this.sitting = new this.Trainer.PageSitting(seed, this.caseText);
    if (this.lms?.active) this.sitting.keptByLms();
    // A student coming back to the learning system goes on with the sitting it kept, once.
    if (this.lms?.suspendData && shown) {
      if (this.sitting.resumeBrief(this.lms.suspendData)) this.lms.resumed(JSON.parse(this.sitting.lmsReport(this.lms.launchData)));
    }
    // In a learning system the record is the student's: their name on it, in the CSV and printed.
    if (this.lms?.student.name) this.sitting.setTraineeName(this.lms.student.name);
    // Kept as it goes; a start without a code of its own offers the last sitting left unsaved.
    this.store?.begin(this.sitting, !this.seeded && !this.caseText);
    const end = document.getElementById('sessionEnd');
    if (!end.hidden) end.hidden = true;
    this.showWindow(shown);
    this.panel?.started();
  }

  // The sitting's window in the page: `shown` at the first start, else a new view in place of
  // the old (after an end, or when the panel started a new code in the same sitting). The focus
  // starts where the window logic says, as on the desktop; at the first start the page may not
  // show yet (an element not shown cannot take it), so there the caller gives it.
  showWindow(shown = null) {
    const act = (kind, name, argument) => this.act(kind, name, argument);
    if (shown) this.view = new WindowView(this.design, this.stage, act, shown);
    else {
      const old = document.getElementById('Form1');
      this.view = new WindowView(this.design, document.createDocumentFragment(), act);
      old.replaceWith(this.view.elements.get('Form1'));
    }
    const state = JSON.parse(this.sitting.state());
    this.view.mirror(state);
    this.firstFocus = state.firstFocus ? this.view.elements.get(state.firstFocus) : null;
    if (!shown) this.focusFirst();
  }

  // The sitting offered, played into a fresh window; the window built anew with the focus where
  // the window logic puts it at start. When it does not play back, a fresh sitting has the window
  // and the panel says why.
  resume() {
    if (!this.store?.offered || !this.sitting) return;
    this.store.resume();
    this.showWindow();
    this.panel?.resumed();
  }

  // What the panel did that the sitting wrote down (a hint, a name, a code, a save): kept.
  kept() {
    this.store?.flush();
  }

  focusFirst() {
    this.firstFocus?.focus({ preventScroll: true });
  }

  // A user action for the window logic: its state mirrored, the focus settled, the panel told,
  // the effects carried out.
  act(kind, name, argument) {
    const sitting = this.sitting;
    if (!sitting) return;
    const before = this.focusedControl();
    // The first input to the window starts anew: the sitting offered stays kept.
    this.store?.touch();
    const state = JSON.parse(argument === undefined ? sitting[kind](name) : sitting[kind](name, argument));
    this.store?.flush();
    this.view.mirror(state);
    this.settleFocus(before);
    this.panel?.refresh();
    // A case has ended: the learning system hears of it.
    if (this.lms?.active && sitting.announcement()) {
      this.lms.report(JSON.parse(sitting.lmsReport(this.lms.launchData)), sitting.brief());
    }
    this.carryOut(state.effects);
  }

  // A print in the browser cannot fail, so the window logic never has a notice for the page.
  carryOut(effects) {
    for (let i = 0; i < effects.beeps; ++i) this.beeper.beep();
    if (effects.end) this.showEnd();
    if (effects.prints > 0) window.print();
  }

  // The control whose element has the keyboard focus: '' for none (the focus on the page
  // itself), null for an element of the page's own (the end notice, the restart button).
  focusedControl() {
    const el = document.activeElement;
    if (!el || el === document.body || el === document.documentElement) return '';
    return this.view.elements.get(el.id) === el ? el.id : null;
  }

  // After an action the focus stays where it is while that can still be operated; when the
  // action hid or disabled it (or it fell to the page), it goes where the window logic says.
  settleFocus(before) {
    if (before === null || !this.sitting) return;
    const { elements, state } = this.view;
    const now = document.activeElement;
    const stranded = !now || now === document.body || (elements.get(now.id) === now && !state.get(now.id).takesInput);
    if (!stranded) return;
    const target = elements.get(this.sitting.focusAfter(before));
    if (target && target !== now) target.focus({ preventScroll: true });
  }

  // The sitting has ended: the window stays as it was, inert, under the notice.
  showEnd() {
    this.panel?.ended();
    if (this.lms?.active) {
      this.finishLms();
      const texts = JSON.parse(this.Trainer.PageSitting.lmsTexts());
      document.getElementById('sessionEndText').after(el('p', { id: 'LmsFinished', text: texts.finished }));
    }
    this.store?.stop();
    this.sitting.delete();
    this.sitting = null;
    document.getElementById('Form1').inert = true;
    const end = document.getElementById('sessionEnd');
    end.hidden = false;
    end.querySelector('#restart').focus();
  }

  // The attempt in the learning system ends with the time spent on this page.
  finishLms() {
    this.lms?.finish(this.Trainer ? (ms) => this.Trainer.PageSitting.lmsTimespan(ms) : null, this.sitting?.brief());
  }

  // In a learning system the panel shows whose record it is (the system's name for the student,
  // in the name field), and says once when the system refused a value.
  showLms() {
    const texts = JSON.parse(this.Trainer.PageSitting.lmsTexts());
    const message = el('p', { id: 'LmsMessage', role: 'status' });
    this.panel.body.prepend(el('section', { id: 'LmsPart', 'aria-label': texts.student }, message));
    // The name is the learning system's: shown, not to be changed.
    if (this.lms.student.name) this.panel.name.readOnly = true;
    this.lms.whenRefused((error) => {
      message.textContent = this.Trainer.PageSitting.lmsRefused(error);
    });
  }

  // The record panel: its module and styles come once the window has been drawn (after the next
  // frame), so that building the panel does not hold the window's first paint back.
  async addPanel() {
    await new Promise((resolve) => {
      requestAnimationFrame(() => setTimeout(resolve));
    });
    const { RecordPanel } = await import('./panel.js');
    this.panel = await RecordPanel.create(this.Trainer, {
      sitting: () => this.sitting,
      rebuild: () => this.showWindow(),
      store: () => this.store,
      resume: () => this.resume(),
      kept: () => this.kept(),
      lmsKeeps: () => Boolean(this.lms?.active),
    });
    if (this.lms) this.showLms();
  }
}
