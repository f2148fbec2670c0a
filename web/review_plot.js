// 振り返り's plot as SVG: the window logic works out every stroke, line, ring and text with its
// colour and style, at the size both views draw it (PageSitting.plot); this only draws them. The
// picture keeps that size where the panel has room and scales down where it has not.

import { setAttr, svgEl } from './dom.js';

const stroke = (pen) => ({
  stroke: pen.stroke, 'stroke-width': pen.width, 'stroke-dasharray': pen.dash || 'none', 'stroke-linecap': 'butt',
});

// The elements of `group` made to show `items` in order: the element at each place is kept and
// only what differs is written (a step more moves the plot's points, and most of its texts stay
// as they were); `attributes(item, index)` gives each one's attributes, null for none, `text` its text.
function show(group, tag, items, attributes) {
  const kids = group.children;
  items.forEach((item, i) => {
    const node = kids[i] ?? group.appendChild(svgEl(tag));
    for (const [name, value] of Object.entries(attributes(item, i))) {
      if (name === 'text') {
        if (node.textContent !== value) node.textContent = value;
      } else if (value === null) node.removeAttribute(name);
      else setAttr(node, name, String(value));
    }
  });
  while (kids.length > items.length) kids[kids.length - 1].remove();
}

// Draws `plot` (the JSON of PageSitting.plot) into `svg`, in place of what it showed.
export function drawReviewPlot(svg, plot) {
  setAttr(svg, 'viewBox', `0 0 ${plot.width} ${plot.height}`);
  setAttr(svg, 'width', String(plot.width));
  setAttr(svg, 'height', String(plot.height));
  // Everything drawn is described by the text alternative; the parts stay out of the tree.
  let drawing = svg.querySelector(':scope > g.plot');
  if (!drawing) {
    drawing = svgEl('g', { 'aria-hidden': 'true', class: 'plot' },
      svgEl('rect', { x: 0, y: 0, class: 'paper' }), svgEl('g'), svgEl('g'), svgEl('g'), svgEl('g'));
    svg.replaceChildren(drawing);
  }
  const [paper, strokes, lines, rings, texts] = drawing.children;
  setAttr(paper, 'width', String(plot.width));
  setAttr(paper, 'height', String(plot.height));
  setAttr(paper, 'fill', plot.paper);
  show(strokes, 'line', plot.strokes, (s) => ({ x1: s.x1, y1: s.y1, x2: s.x2, y2: s.y2, ...stroke(s), class: 'stroke' }));
  show(lines, 'polyline', plot.lines, (line) => {
    const points = [];
    for (let i = 0; i < line.points.length; i += 2) points.push(`${line.points[i]},${line.points[i + 1]}`);
    return { points: points.join(' '), fill: 'none', ...stroke(line), 'stroke-linejoin': 'round', class: 'line' };
  });
  show(rings, 'circle', plot.rings, (r) => ({ cx: r.x, cy: r.y, r: r.r, fill: r.fill, ...stroke(r), class: 'question' }));
  // Each text from the start the core placed it at (it measured them in the font drawn here);
  // the answers' labels are the last.
  const firstAnswer = plot.texts.length - plot.answers;
  show(texts, 'text', plot.texts, (t, i) => ({
    x: t.x, y: t.y, 'dominant-baseline': 'central', 'font-size': t.size, fill: t.fill,
    transform: t.angle ? `rotate(${t.angle} ${t.x} ${t.y})` : null, class: i >= firstAnswer ? 'answer' : null, text: t.text,
  }));
}
