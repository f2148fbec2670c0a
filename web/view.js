// The window in the page: one element per control, placed as the layout says, and a mirror
// of the window logic's state after every action. Nothing here decides a text, an answer or
// a visibility; it shows what the state says.

import { ScrollBar } from './scrollbar.js';

const SVG = 'http://www.w3.org/2000/svg';
const TWIPS_PER_PIXEL = 15;

// The two Japanese faces of the layout, served with the page as subsets.
const FAMILIES = {
  'ＭＳ ゴシック': 'TrainerGothic',
  'ＭＳ Ｐゴシック': 'TrainerPGothic',
};
const DEFAULT_FONT = { family: 'ＭＳ Ｐゴシック', points: 9, bold: false };

const rgb = (c) => `rgb(${c[0]}, ${c[1]}, ${c[2]})`;

function fontOf(look) {
  const f = look.font.family ? look.font : DEFAULT_FONT;
  const px = (f.points * 96) / 72;
  return { css: `${f.bold ? 'bold ' : ''}${px}px ${FAMILIES[f.family]}`, px };
}

function place(el, d) {
  el.style.left = `${d.left}px`;
  el.style.top = `${d.top}px`;
  el.style.width = `${d.width}px`;
  el.style.height = `${d.height}px`;
}

export class WindowView {
  // act(kind, name, argument): a user action for the window logic. `shown`: a window this
  // code built before (index.html's, rendered when the site was built), whose elements are
  // taken over as they are instead of being made anew.
  constructor(design, stage, act, shown = null) {
    this.design = new Map(design.map((d) => [d.name, d]));
    this.act = act;
    this.elements = new Map(); // control name -> element carrying its id
    this.boxes = new Map(); // control name -> element placed at its geometry
    this.captions = new Map(); // control name -> node holding its caption
    this.bars = new Map();
    this.svg = null;
    this.shown = new Map(shown ? [shown, ...shown.querySelectorAll('[id]')].map((e) => [e.id, e]) : []);

    for (const d of design) this.build(d, stage);
    for (const d of design) if (d.children) this.stack(d);
  }

  container(d) {
    return d.container ? this.boxes.get(d.container) : null;
  }

  // The element shown for this control, or a new one.
  element(d, tag) {
    return this.shown.get(d.name) ?? document.createElement(tag);
  }

  build(d, stage) {
    let el;
    let box;
    switch (d.kind) {
      case 'form':
        el = box = this.element(d, 'div');
        el.className = 'window';
        if (!el.parentNode) stage.append(el);
        break;
      case 'frame':
        el = box = this.element(d, 'fieldset');
        el.className = 'frame';
        {
          let legend = el.querySelector(':scope > legend');
          if (!legend) el.append((legend = document.createElement('legend')));
          this.captions.set(d.name, legend);
          // The caption colour is the legend's alone; what the frame holds keeps the window's.
          if (d.look.fore) legend.style.setProperty('--caption', rgb(d.look.fore));
          legend.style.font = fontOf(d.look).css;
          el.style.setProperty('--caption-middle', `${Math.round(fontOf(d.look).px * 1.2) >> 1}px`);
        }
        break;
      case 'label':
        el = box = this.element(d, 'div');
        el.className = 'label';
        this.captions.set(d.name, el);
        this.paint(el, d);
        el.style.textAlign = { left: 'left', centre: 'center', right: 'right' }[d.look.align];
        if (d.look.border) el.classList.add('bordered');
        if (!d.look.transparent) el.classList.add('opaque');
        break;
      case 'button':
        el = box = this.element(d, 'button');
        el.type = 'button';
        el.className = 'button';
        this.captions.set(d.name, el);
        this.paint(el, d);
        el.addEventListener('click', () => this.act('click', d.name));
        break;
      case 'option': {
        // The radio button and its label side by side in the control's box; the label,
        // which holds the caption as its only content, fills the rest of the box.
        el = this.element(d, 'input');
        box = el.parentNode ?? document.createElement('span');
        box.className = 'option';
        el.type = 'radio';
        el.name = d.container;
        const text = box.querySelector('label') ?? document.createElement('label');
        text.htmlFor = d.name;
        if (!text.parentNode) box.append(el, text);
        this.captions.set(d.name, text);
        this.paint(box, d);
        const font = fontOf(d.look);
        if (d.height < 2 * Math.round(font.px)) box.classList.add('one-line');
        el.addEventListener('click', () => this.act('select', d.name));
        el.addEventListener('keydown', (e) => this.arrowInGroup(e, d));
        // Enter and Return select the focused option, as Space does; nothing else.
        el.addEventListener('keydown', (e) => {
          if (e.key !== 'Enter' || e.altKey || e.ctrlKey || e.metaKey) return;
          e.preventDefault();
          this.act('select', d.name);
        });
        break;
      }
      case 'hscroll':
        el = box = this.element(d, 'div');
        this.bars.set(d.name, new ScrollBar(el, d, (kind, arg) => this.act(kind, d.name, arg)));
        break;
      case 'image':
        el = box = this.element(d, 'img');
        el.className = 'image';
        if (el.getAttribute('src') !== `assets/${d.picture}`) el.src = `assets/${d.picture}`;
        el.alt = '';
        el.draggable = false;
        break;
      case 'circle':
        el = this.shown.get(d.name) ?? document.createElementNS(SVG, 'circle');
        this.shapeLook(el, d);
        break;
      case 'line':
        el = this.shown.get(d.name) ?? document.createElementNS(SVG, 'line');
        el.setAttribute('stroke', d.look.fore ? rgb(d.look.fore) : 'var(--window-text)');
        el.setAttribute('stroke-width', String(d.look.borderWidth * TWIPS_PER_PIXEL));
        el.setAttribute('stroke-linecap', 'round');
        break;
      default:
        return;
    }
    el.id = d.name;
    // The window logic's colours for the focus mark and a disabled caption on this face.
    if (d.focusMark) box.style.setProperty('--focus-mark', rgb(d.focusMark));
    if (d.disabledCaption) box.style.setProperty('--disabled-caption', rgb(d.disabledCaption));
    if (d.look.toolTip) box.title = d.look.toolTip;
    if (d.tabIndex >= 0) {
      if (this.bars.has(d.name)) this.bars.get(d.name).tabIndexStop = d.tabIndex + 1;
      else el.tabIndex = d.tabIndex + 1;
    }
    this.elements.set(d.name, el);
    if (d.kind === 'circle' || d.kind === 'line') {
      this.shapeLayer(d).append(el); // appended bottom-most first by stack()
      return;
    }
    this.boxes.set(d.name, box);
    if (d.kind !== 'form') {
      place(box, d);
      if (box.parentNode !== this.container(d)) this.container(d).append(box);
    }
  }

  paint(el, d) {
    el.style.font = fontOf(d.look).css;
    if (d.look.fore) el.style.color = rgb(d.look.fore);
    if (d.look.back) el.style.backgroundColor = rgb(d.look.back);
  }

  shapeLook(el, d) {
    if (d.hasBorder) {
      el.setAttribute('stroke', d.look.fore ? rgb(d.look.fore) : 'var(--window-text)');
      el.setAttribute('stroke-width', String(d.look.borderWidth * TWIPS_PER_PIXEL));
    } else {
      el.setAttribute('stroke', 'none');
    }
    if (d.fillStyle === 0) el.setAttribute('fill', d.fillColour ? rgb(d.fillColour) : 'var(--button-face)');
    else el.setAttribute('fill', 'none');
  }

  // The circles and lines of a frame are drawn in one SVG in the frame's twips.
  shapeLayer(d) {
    if (!this.svg) {
      const frame = this.design.get(d.container);
      this.svg = this.boxes.get(d.container).querySelector(':scope > svg') ?? document.createElementNS(SVG, 'svg');
      this.svg.setAttribute('class', 'shapes');
      this.svg.setAttribute('viewBox', `0 0 ${frame.width * TWIPS_PER_PIXEL} ${frame.height * TWIPS_PER_PIXEL}`);
      this.svg.setAttribute('role', 'img');
      if (!this.svg.parentNode) this.boxes.get(d.container).append(this.svg);
    }
    return this.svg;
  }

  // Stacking: a container's children come top-most first. Boxes get z-indices; the shapes
  // go into their SVG bottom-most first, which is the order SVG paints them.
  stack(d) {
    const n = d.children.length;
    d.children.forEach((name, i) => {
      const box = this.boxes.get(name);
      if (box) box.style.zIndex = String(n - i);
    });
    const shapes = d.children.filter((name) => ['circle', 'line'].includes(this.design.get(name).kind));
    if (shapes.length) {
      const order = [...shapes].reverse().map((name) => this.elements.get(name));
      if (order.some((el, i) => this.svg.children[i] !== el)) this.svg.append(...order);
      this.svg.style.zIndex = String(n - d.children.indexOf(shapes[0]));
    }
  }

  // Arrow keys in a group of option buttons move to the next one that can be operated, in
  // tab order, and select it.
  arrowInGroup(e, d) {
    const step = { ArrowLeft: -1, ArrowUp: -1, ArrowRight: +1, ArrowDown: +1 }[e.key];
    if (!step) return;
    e.preventDefault();
    const group = [...this.design.values()]
      .filter((o) => o.kind === 'option' && o.container === d.container)
      .sort((a, b) => a.tabIndex - b.tabIndex);
    const at = group.indexOf(d);
    for (let k = 1; k < group.length; ++k) {
      const next = group[(((at + step * k) % group.length) + group.length) % group.length];
      if (!this.operable(next.name)) continue;
      this.elements.get(next.name).focus();
      this.act('select', next.name);
      return;
    }
  }

  // Whether the user could operate the control now, as the page shows it.
  operable(name) {
    for (let n = name; n; n = this.design.get(n).container) {
      const s = this.state.get(n);
      if (!s.visible || !s.enabled) return false;
    }
    return true;
  }

  mirror(state) {
    this.state = new Map(state.controls.map((s) => [s.name, s]));
    for (const s of state.controls) {
      const d = this.design.get(s.name);
      const el = this.elements.get(s.name);
      if (d.kind === 'form') {
        document.title = s.caption;
        continue;
      }
      const caption = this.captions.get(s.name);
      if (caption && caption.textContent !== s.caption) caption.textContent = s.caption;
      const box = this.boxes.get(s.name);
      switch (d.kind) {
        case 'frame':
        case 'button':
          el.disabled = !s.enabled;
          break;
        case 'option':
          el.disabled = !s.enabled;
          el.checked = s.selected;
          break;
        case 'label':
        case 'image':
          if (s.enabled) el.removeAttribute('aria-disabled');
          else el.setAttribute('aria-disabled', 'true');
          break;
        case 'circle': {
          // A circle fits the shorter side of its box, centred; its border lies inside.
          const r = Math.min(s.width, s.height) / 2;
          const inset = d.hasBorder ? (d.look.borderWidth * TWIPS_PER_PIXEL) / 2 : 0;
          el.setAttribute('cx', String(s.left + s.width / 2));
          el.setAttribute('cy', String(s.top + s.height / 2));
          el.setAttribute('r', String(Math.max(0, r - inset)));
          break;
        }
        case 'line':
          el.setAttribute('x1', String(s.x1));
          el.setAttribute('y1', String(s.y1));
          el.setAttribute('x2', String(s.x2));
          el.setAttribute('y2', String(s.y2));
          break;
        default:
          break;
      }
      if (d.kind === 'circle' || d.kind === 'line') el.style.display = s.visible ? '' : 'none';
      else if (box.hidden === s.visible) box.hidden = !s.visible;
    }
    // Scroll bars last: whether a frame around them is disabled is known only now.
    for (const [name, bar] of this.bars) {
      const s = this.state.get(name);
      bar.show(s.value, !this.enabledWithin(name), s.valueText);
    }
    if (this.svg && this.svg.getAttribute('aria-label') !== state.phoropter)
      this.svg.setAttribute('aria-label', state.phoropter);
  }

  enabledWithin(name) {
    for (let n = name; n; n = this.design.get(n).container) if (!this.state.get(n).enabled) return false;
    return true;
  }
}
