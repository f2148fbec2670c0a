// A horizontal scroll bar of our own: two arrows, a track and a thumb. It never changes its
// value itself; every user action goes to the window logic, which answers with the value.
//   arrows, Left / Right:        the small change (Right adds)
//   track, PageUp / PageDown:    the large change (PageUp adds)
//   Home / End:                  the ends
//   thumb drag:                  one change, at the release

import { el, setAttr } from './dom.js';

const MIN_THUMB = 26; // as short as the desktop's thumb gets
export const ARROW = 17; // width of each arrow button, as the style sheet draws it

export class ScrollBar {
  // act(kind, argument) with kind 'arrow' or 'track' (argument -1 / +1) or 'release' (value).
  constructor(el, design, act) {
    this.el = el;
    this.min = design.min;
    this.max = design.max;
    this.large = design.largeChange;
    this.act = act;
    this.value = this.min;
    this.drag = null;
    // The track's length follows from the layout; it is not read back from the page, so
    // mirroring never waits for a layout.
    this.trackLength = Math.max(0, design.width - 2 * ARROW);

    setAttr(el, 'role', 'scrollbar');
    setAttr(el, 'aria-orientation', 'horizontal');
    setAttr(el, 'aria-valuemin', String(this.min));
    setAttr(el, 'aria-valuemax', String(this.max));
    if (design.accessibleName) setAttr(el, 'aria-label', design.accessibleName);
    if (!el.classList.contains('scrollbar')) el.classList.add('scrollbar');

    // The parts of a bar shown before (the window index.html shows) are taken over.
    this.left = el.querySelector(':scope > .arrow.left') ?? part('arrow left');
    this.track = el.querySelector(':scope > .track') ?? part('track');
    this.thumb = this.track.querySelector(':scope > .thumb') ?? part('thumb');
    this.right = el.querySelector(':scope > .arrow.right') ?? part('arrow right');
    if (!this.thumb.parentNode) this.track.append(this.thumb);
    if (!this.left.parentNode) el.append(this.left, this.track, this.right);

    this.tap = null; // a touch on an arrow or the track, acted on when it ends as a tap
    this.left.addEventListener('pointerdown', (e) => this.press(e, () => act('arrow', -1)));
    this.right.addEventListener('pointerdown', (e) => this.press(e, () => act('arrow', +1)));
    this.track.addEventListener('pointerdown', (e) => {
      if (e.target !== this.track) return;
      const thumb = this.thumb.getBoundingClientRect();
      this.press(e, () => act('track', e.clientX < thumb.left ? -1 : +1));
    });
    for (const part of [this.left, this.right, this.track]) {
      part.addEventListener('pointerup', (e) => this.tapped(e));
      part.addEventListener('pointercancel', () => (this.tap = null)); // the browser pans the page
    }
    this.thumb.addEventListener('pointerdown', (e) => this.grab(e));
    this.thumb.addEventListener('pointermove', (e) => this.move(e));
    this.thumb.addEventListener('pointerup', (e) => this.letGo(e));
    this.thumb.addEventListener('pointercancel', () => this.cancel());
    el.addEventListener('keydown', (e) => this.key(e));
  }

  get disabled() {
    return this.el.getAttribute('aria-disabled') === 'true';
  }

  // Mirrors the window logic: value, whether the bar (or a frame around it) is disabled, and
  // the readout's text, which a screen reader says in place of the raw value.
  show(value, disabled, text) {
    this.value = value;
    setAttr(this.el, 'aria-valuenow', String(value));
    if (text === undefined) this.el.removeAttribute('aria-valuetext');
    else setAttr(this.el, 'aria-valuetext', text);
    setAttr(this.el, 'aria-disabled', disabled ? 'true' : 'false');
    const tabIndex = disabled ? -1 : this.tabStop;
    if (this.el.tabIndex !== tabIndex) this.el.tabIndex = tabIndex;
    if (!this.drag) this.place(this.offsetOf(value));
  }

  set tabIndexStop(i) {
    this.tabStop = i;
    if (this.el.tabIndex !== i) this.el.tabIndex = i;
  }

  // Lengths in the bar's own (unscaled) pixels.
  lengths() {
    const track = this.trackLength;
    const span = this.max - this.min;
    const thumb = Math.max(MIN_THUMB, Math.round((track * this.large) / (span + this.large)));
    return { track, thumb, room: Math.max(0, track - thumb) };
  }

  offsetOf(value) {
    const { room } = this.lengths();
    const span = this.max - this.min;
    return span > 0 ? Math.round(((value - this.min) / span) * room) : 0;
  }

  valueAt(offset) {
    const { room } = this.lengths();
    const span = this.max - this.min;
    if (room === 0) return this.min;
    return this.min + Math.round((Math.min(Math.max(offset, 0), room) / room) * span);
  }

  place(offset) {
    const { thumb } = this.lengths();
    if (this.thumb.style.width !== `${thumb}px`) this.thumb.style.width = `${thumb}px`;
    if (this.thumb.style.left !== `${offset}px`) this.thumb.style.left = `${offset}px`;
  }

  // The factor between the page's pixels and the bar's own (the window is scaled to fit).
  scale() {
    const w = this.el.getBoundingClientRect().width;
    return w > 0 && this.el.offsetWidth > 0 ? w / this.el.offsetWidth : 1;
  }

  // A mouse or pen acts at once; a finger only once it is lifted without having panned the page
  // (a swipe that starts on the bar scrolls the page: the bar lets the browser pan, see
  // style.css, and the browser cancels the touch when it does).
  press(e, action) {
    if (e.button !== 0 || this.disabled) return;
    if (e.pointerType === 'touch') {
      this.tap = { id: e.pointerId, action };
      return;
    }
    e.preventDefault();
    this.el.focus({ preventScroll: true });
    action();
  }

  tapped(e) {
    const tap = this.tap;
    if (!tap || tap.id !== e.pointerId) return;
    this.tap = null;
    if (this.disabled) return;
    this.el.focus({ preventScroll: true });
    tap.action();
  }

  grab(e) {
    if (e.button !== 0 || this.disabled) return;
    e.preventDefault();
    this.el.focus({ preventScroll: true });
    this.thumb.setPointerCapture(e.pointerId);
    this.drag = { id: e.pointerId, startX: e.clientX, from: this.offsetOf(this.value), offset: this.offsetOf(this.value) };
    this.thumb.classList.add('pressed');
  }

  move(e) {
    if (!this.drag || e.pointerId !== this.drag.id) return;
    const { room } = this.lengths();
    const offset = this.drag.from + (e.clientX - this.drag.startX) / this.scale();
    this.drag.offset = Math.min(Math.max(offset, 0), room);
    this.place(this.drag.offset);
  }

  letGo(e) {
    if (!this.drag || e.pointerId !== this.drag.id) return;
    this.move(e);
    const value = this.valueAt(this.drag.offset);
    this.drag = null;
    this.thumb.classList.remove('pressed');
    this.act('release', value);
    this.place(this.offsetOf(this.value));
  }

  cancel() {
    this.drag = null;
    this.thumb.classList.remove('pressed');
    this.place(this.offsetOf(this.value));
  }

  key(e) {
    if (e.altKey || e.ctrlKey || e.metaKey) return;
    const keys = {
      ArrowLeft: ['arrow', -1],
      ArrowRight: ['arrow', +1],
      PageUp: ['track', +1],
      PageDown: ['track', -1],
      Home: ['release', this.min],
      End: ['release', this.max],
    };
    const step = keys[e.key];
    if (!step) return;
    // A scroll bar's keys are its own even while it is disabled: they never scroll the page
    // (which has the record panel below the window on a narrow screen).
    e.preventDefault();
    if (!this.disabled) this.act(step[0], step[1]);
  }
}

function part(classes) {
  return el('div', { class: classes, 'aria-hidden': 'true' });
}
