// The window in the page: one element per control, placed as the layout says, and a mirror
// of the window logic's state after every action. Nothing here decides a text, an answer or
// a visibility; it shows what the state says.

import { SVG, setAttr, setStyle } from './dom.js';
import { ARROW, ScrollBar } from './scrollbar.js';
// Where each chart picture lies in the one picture that holds them all (written when the site
// is built): one file for the page to ask for and decode instead of four.
import PICTURES from './pictures.js';

// The two Japanese faces of the layout, served with the page as subsets.
const FAMILIES = {
  'ＭＳ ゴシック': 'TrainerGothic',
  'ＭＳ Ｐゴシック': 'TrainerPGothic',
};

const rgb = (c) => `rgb(${c[0]}, ${c[1]}, ${c[2]})`;

// The control's font as the window logic resolved it (the window's default where it names none).
function fontOf(d) {
  const f = d.font;
  return { css: `${f.bold ? 'bold ' : ''}${f.pixels}px ${FAMILIES[f.family]}`, px: f.pixels };
}

// A caption: the lines the window logic set, one text with line breaks that the box keeps, or
// the text for the box to wrap.
function setCaption(node, s) {
  const shown = s.lines ? s.lines.join('\n') : s.caption;
  if (node.textContent === shown) return;
  node.textContent = shown;
  node.classList.toggle('set-lines', !!s.lines);
}

// The smallest scale at which every pointer target of the window is at least 24 × 24 CSS
// pixels (WCAG 2.5.8): buttons and option buttons (radio and caption together) by their boxes,
// scroll bars by their arrows.
export function smallestTouchScale(design) {
  const sides = design.flatMap((d) => {
    if (d.kind === 'button' || d.kind === 'option') return [Math.min(d.width, d.height)];
    if (d.kind === 'hscroll') return [Math.min(ARROW, d.height)];
    return [];
  });
  return 24 / Math.min(...sides);
}

function paint(el, d) {
  el.style.font = fontOf(d).css;
  if (d.look.fore) el.style.color = rgb(d.look.fore);
  if (d.look.back) el.style.backgroundColor = rgb(d.look.back);
}

// One builder per kind of control: makes the control's element (`fresh`), or takes over the
// one shown, and wires its input. Each returns the element that carries the control's id and
// the box placed at its geometry (the same but for an option button, whose box holds the
// radio button and its label).
const BUILDERS = {
  form(view, d, fresh, stage) {
    const el = view.element(d, 'div');
    if (fresh) {
      el.className = 'window';
      stage.append(el);
    }
    return { el, box: el };
  },

  frame(view, d, fresh) {
    const el = view.element(d, 'fieldset');
    if (fresh) {
      el.className = 'frame';
      const legend = document.createElement('legend');
      el.append(legend);
      // The caption colour is the legend's alone; what the frame holds keeps the window's.
      if (d.look.fore) legend.style.setProperty('--caption', rgb(d.look.fore));
      legend.style.font = fontOf(d).css;
      el.style.setProperty('--caption-middle', `${Math.round(fontOf(d).px * 1.2) >> 1}px`);
    }
    view.captions.set(d.name, el.querySelector(':scope > legend'));
    return { el, box: el };
  },

  label(view, d, fresh) {
    const el = view.element(d, 'div');
    if (fresh) {
      el.className = 'label';
      paint(el, d);
      el.style.textAlign = { left: 'left', centre: 'center', right: 'right' }[d.look.align];
      if (d.look.border) el.classList.add('bordered');
      if (!d.look.transparent) el.classList.add('opaque');
    }
    view.captions.set(d.name, el);
    return { el, box: el };
  },

  button(view, d, fresh) {
    const el = view.element(d, 'button');
    if (fresh) {
      el.type = 'button';
      el.className = 'button';
      paint(el, d);
    }
    view.captions.set(d.name, el);
    el.addEventListener('click', () => view.act('click', d.name));
    return { el, box: el };
  },

  // The radio button and its label side by side in the control's box; the label, which holds
  // the caption as its only content, fills the rest of the box.
  option(view, d, fresh) {
    const el = view.element(d, 'input');
    let box;
    if (fresh) {
      box = document.createElement('span');
      box.className = 'option';
      el.type = 'radio';
      el.name = d.container;
      const text = document.createElement('label');
      text.htmlFor = d.name;
      box.append(el, text);
      paint(box, d);
    } else box = el.parentNode;
    view.captions.set(d.name, box.querySelector('label'));
    el.addEventListener('click', () => view.act('select', d.name));
    el.addEventListener('keydown', (e) => view.arrowInGroup(e, d));
    // Enter and Return select the focused option, as Space does; nothing else.
    el.addEventListener('keydown', (e) => {
      if (e.key !== 'Enter' || e.altKey || e.ctrlKey || e.metaKey) return;
      e.preventDefault();
      view.act('select', d.name);
    });
    return { el, box };
  },

  hscroll(view, d) {
    const el = view.element(d, 'div');
    view.bars.set(d.name, new ScrollBar(el, d, (kind, arg) => view.act(kind, d.name, arg)));
    return { el, box: el };
  },

  image(view, d, fresh) {
    const el = view.element(d, 'img');
    if (fresh) {
      el.className = 'image';
      el.src = 'assets/charts.png';
      el.style.objectPosition = `${-PICTURES[d.picture][0]}px ${-PICTURES[d.picture][1]}px`;
      el.alt = '';
      el.draggable = false;
    }
    return { el, box: el };
  },

  circle(view, d, fresh) {
    const el = view.shown.get(d.name) ?? document.createElementNS(SVG, 'circle');
    if (fresh) {
      if (d.hasBorder) {
        setAttr(el, 'stroke', d.look.fore ? rgb(d.look.fore) : 'var(--window-text)');
        setAttr(el, 'stroke-width', String(d.look.borderWidth * view.twipsPerPixel));
      } else {
        setAttr(el, 'stroke', 'none');
      }
      if (d.fillStyle === 0) setAttr(el, 'fill', d.fillColour ? rgb(d.fillColour) : 'var(--button-face)');
      else setAttr(el, 'fill', 'none');
    }
    return { el };
  },

  line(view, d, fresh) {
    const el = view.shown.get(d.name) ?? document.createElementNS(SVG, 'line');
    if (fresh) {
      el.setAttribute('stroke', d.look.fore ? rgb(d.look.fore) : 'var(--window-text)');
      el.setAttribute('stroke-width', String(d.look.borderWidth * view.twipsPerPixel));
      el.setAttribute('stroke-linecap', 'round');
    }
    return { el };
  },
};

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
    const form = design.find((d) => d.kind === 'form');
    this.twipsPerPixel = form.twipsPerPixel;
    // The colours the window logic paints for the system's button face and window text.
    setStyle(document.documentElement, '--button-face', rgb(form.buttonFace));
    setStyle(document.documentElement, '--window-text', rgb(form.windowText));
    this.act = act;
    this.elements = new Map(); // control name -> element carrying its id
    this.boxes = new Map(); // control name -> element placed at its geometry
    this.captions = new Map(); // control name -> node holding its caption
    this.bars = new Map();
    this.svg = null;
    this.names = new Map(); // placed element -> control name
    this.lifted = liftedOutOfFrames(design);
    this.shown = new Map(shown ? [shown, ...shown.querySelectorAll('[id]')].map((e) => [e.id, e]) : []);

    for (const d of design) this.build(d, stage);
    for (const d of design) if (d.children) this.stack(d);
    this.arrange();
  }

  container(d) {
    return d.container ? this.boxes.get(d.container) : null;
  }

  // The element shown for this control, or a new one.
  element(d, tag) {
    return this.shown.get(d.name) ?? document.createElement(tag);
  }

  // Builds the control's element, or takes over the one index.html shows: that one this code
  // built from the same design when the site was built, so only its wiring is done again
  // (writing its look once more would cost the browser a restyle of the whole window).
  build(d, stage) {
    const builder = BUILDERS[d.kind];
    if (!builder) return;
    const fresh = !this.shown.has(d.name);
    const { el, box } = builder(this, d, fresh, stage);
    if (fresh) {
      el.id = d.name;
      // A caption takes one line where the window logic says its box is too low for two.
      if (d.wrap === false) box.classList.add('one-line'); // labels, buttons and options carry `wrap`
      // The window logic's colours for the focus mark and a disabled caption on this face.
      if (d.focusMark) box.style.setProperty('--focus-mark', rgb(d.focusMark));
      if (d.disabledCaption) box.style.setProperty('--disabled-caption', rgb(d.disabledCaption));
      if (d.look.toolTip) box.title = d.look.toolTip;
    }
    // The tab order is the document's (see arrange).
    if (d.tabIndex >= 0) {
      if (this.bars.has(d.name)) this.bars.get(d.name).tabIndexStop = 0;
      else if (fresh) el.tabIndex = 0;
    }
    this.elements.set(d.name, el);
    if (d.kind === 'circle' || d.kind === 'line') {
      const layer = this.shapeLayer(d);
      if (fresh) layer.append(el); // put in order by stack()
      return;
    }
    this.boxes.set(d.name, box);
    this.names.set(box, d.name);
    if (!fresh) return;
    if (this.lifted.has(d.name)) {
      // In the frame's place in the window, over the frame.
      const frame = this.design.get(d.container);
      place(box, { ...d, left: frame.left + d.left, top: frame.top + d.top });
      this.boxes.get(frame.container).append(box);
    } else if (d.kind !== 'form') {
      place(box, d);
      this.container(d).append(box);
    }
  }

  // The page's tab order is its document order, and it is the desktop's: in every container
  // the controls that take the focus, and the frames by their first stop, are put in the order
  // of the window's tab stops; everything else keeps its place.
  arrange() {
    const first = new Map();
    for (const d of this.design.values()) {
      if (d.tabIndex < 0) continue;
      first.set(d.name, d.tabIndex);
      if (!this.lifted.has(d.name)) first.set(d.container, Math.min(first.get(d.container) ?? Infinity, d.tabIndex));
    }
    const stop = (box) => first.get(this.names.get(box));
    for (const d of this.design.values()) {
      if (d.kind !== 'form' && d.kind !== 'frame') continue;
      const holder = this.boxes.get(d.name);
      const kids = [...holder.children].filter((b) => this.names.has(b));
      const stops = kids.filter((b) => stop(b) !== undefined).sort((a, b) => stop(a) - stop(b));
      let i = 0;
      const order = kids.map((b) => (stop(b) === undefined ? b : stops[i++]));
      // Moving an element re-lays it out: only where the order differs.
      if (order.some((b, k) => b !== kids[k])) holder.append(...order);
    }
    for (const name of this.lifted) {
      const box = this.boxes.get(name);
      const z = this.boxes.get(this.design.get(name).container).style.zIndex;
      if (box.style.zIndex !== z) box.style.zIndex = z;
    }
  }

  // The circles and lines of a frame are drawn in one SVG in the frame's twips.
  shapeLayer(d) {
    if (!this.svg) {
      const frame = this.design.get(d.container);
      this.svg = this.boxes.get(d.container).querySelector(':scope > svg') ?? document.createElementNS(SVG, 'svg');
      setAttr(this.svg, 'class', 'shapes');
      const t = this.twipsPerPixel;
      setAttr(this.svg, 'viewBox', `0 0 ${frame.width * t} ${frame.height * t}`);
      setAttr(this.svg, 'role', 'img');
      if (!this.svg.parentNode) this.boxes.get(d.container).append(this.svg);
    }
    return this.svg;
  }

  // Stacking: a container's children come top-most first. Boxes get z-indices (a box lifted
  // out of its frame takes the frame's, in arrange); the shapes go into their SVG bottom-most
  // first, which is the order SVG paints them.
  stack(d) {
    const n = d.children.length;
    d.children.forEach((name, i) => {
      const box = this.boxes.get(name);
      if (box && !this.lifted.has(name) && box.style.zIndex !== String(n - i)) box.style.zIndex = String(n - i);
    });
    const shapes = d.children.filter((name) => ['circle', 'line'].includes(this.design.get(name).kind));
    if (shapes.length) {
      const order = [...shapes].reverse().map((name) => this.elements.get(name));
      if (order.some((el, i) => this.svg.children[i] !== el)) this.svg.append(...order);
      const z = String(n - d.children.indexOf(shapes[0]));
      if (this.svg.style.zIndex !== z) this.svg.style.zIndex = z;
    }
  }

  // Arrow keys in a group of option buttons move to where the window logic says, and select it.
  arrowInGroup(e, d) {
    const key = { ArrowLeft: 'arrowPrevious', ArrowUp: 'arrowPrevious', ArrowRight: 'arrowNext', ArrowDown: 'arrowNext' }[
      e.key
    ];
    if (!key) return;
    e.preventDefault();
    const next = this.state.get(d.name)[key];
    if (!next) return;
    this.elements.get(next).focus();
    this.act('select', next);
  }

  mirror(state) {
    this.state = new Map(state.controls.map((s) => [s.name, s]));
    for (const s of state.controls) {
      const d = this.design.get(s.name);
      const el = this.elements.get(s.name);
      if (d.kind === 'form') {
        // A page draws no title bar: the window's caption rides on its element.
        if (el.dataset.caption !== s.caption) el.dataset.caption = s.caption;
        continue;
      }
      const caption = this.captions.get(s.name);
      if (caption) setCaption(caption, s);
      const box = this.boxes.get(s.name);
      switch (d.kind) {
        case 'frame':
        case 'button':
          el.disabled = !this.takesInput(s);
          break;
        case 'option':
          el.disabled = !this.takesInput(s);
          el.checked = s.selected;
          break;
        case 'label':
        case 'image':
          if (s.enabled) el.removeAttribute('aria-disabled');
          else setAttr(el, 'aria-disabled', 'true');
          break;
        case 'circle': {
          // A circle fits the shorter side of its box, centred; its border lies inside by the inset.
          const r = Math.min(s.width, s.height) / 2;
          setAttr(el, 'cx', String(s.left + s.width / 2));
          setAttr(el, 'cy', String(s.top + s.height / 2));
          setAttr(el, 'r', String(Math.max(0, r - d.inset)));
          break;
        }
        case 'line':
          setAttr(el, 'x1', String(s.x1));
          setAttr(el, 'y1', String(s.y1));
          setAttr(el, 'x2', String(s.x2));
          setAttr(el, 'y2', String(s.y2));
          break;
        default:
          break;
      }
      if (d.kind === 'circle' || d.kind === 'line') {
        const display = s.visible ? '' : 'none';
        if (el.style.display !== display) el.style.display = display;
      } else if (box.hidden === s.visible) box.hidden = !s.visible;
    }
    for (const [name, bar] of this.bars) {
      const s = this.state.get(name);
      bar.show(s.value, s.greyed, s.valueText);
    }
    if (this.svg) setAttr(this.svg, 'aria-label', state.phoropter);
  }

  // A control in its frame's element is disabled with the frame by the page itself; one
  // lifted out of it (see liftedOutOfFrames) by its own flag and the frame's.
  takesInput(s) {
    return this.lifted.has(s.name) ? this.enabledWithin(s.name) : s.enabled;
  }

  enabledWithin(name) {
    for (let n = name; n; n = this.design.get(n).container) if (!this.state.get(n).enabled) return false;
    return true;
  }
}

// The controls whose tab stop comes only after the window's tab order has left their frame
// for a stop outside it (a button or option button the desktop reaches later). They are
// placed in the window rather than in the frame's element, so that document order can follow
// the desktop's tab order; an option button keeps its group by its name.
function liftedOutOfFrames(design) {
  const form = design.find((d) => d.kind === 'form').name;
  const left = new Set();
  const lifted = new Set();
  let current = null;
  for (const d of design.filter((c) => c.tabIndex >= 0).sort((a, b) => a.tabIndex - b.tabIndex)) {
    const frame = d.container === form ? null : d.container;
    if (frame !== current && current) left.add(current);
    current = frame;
    if (frame && left.has(frame)) lifted.add(d.name);
  }
  return lifted;
}
