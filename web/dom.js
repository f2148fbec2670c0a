// The page's ways of making and changing elements, for every module of it.

export const SVG = 'http://www.w3.org/2000/svg';

// Writes only what differs: a write of the same value would still make the browser restyle
// (and for SVG re-lay out) the element, so taking over the window index.html shows would
// cost a layout.
export function setAttr(el, name, value) {
  if (el.getAttribute(name) !== value) el.setAttribute(name, value);
}

// The same for a style property (a custom property such as --scale too).
export function setStyle(el, name, value) {
  if (el.style.getPropertyValue(name) !== value) el.style.setProperty(name, value);
}

function fill(e, attributes, children) {
  for (const [k, v] of Object.entries(attributes)) {
    if (k === 'text') e.textContent = v;
    else if (v !== false && v != null) e.setAttribute(k, v === true ? '' : String(v));
  }
  e.append(...children);
  return e;
}

// An HTML element with its attributes and children: el('p', { id: 'X', text: 'caption' }, child).
// `text` is the element's text; an attribute true is set empty, one false or null not at all.
export function el(tag, attributes = {}, ...children) {
  return fill(document.createElement(tag), attributes, children);
}

// The same in SVG.
export function svgEl(tag, attributes = {}, ...children) {
  return fill(document.createElementNS(SVG, tag), attributes, children);
}
