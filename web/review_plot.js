// 振り返り's plot as SVG: the window logic works out every coordinate, tick and label for the
// size asked (Session.plot); this only draws them.

const SVG = 'http://www.w3.org/2000/svg';

// The three lines, each with its own colour and dash so that they differ without colour too.
export const LINES = [
  { key: 'equivalent', colour: 'rgb(0, 90, 200)', dash: '' },
  { key: 'cylinder', colour: 'rgb(200, 60, 0)', dash: '6 3' },
  { key: 'axisDifference', colour: 'rgb(0, 130, 60)', dash: '2 3' },
];

function node(parent, name, attributes = {}, text = null) {
  const el = document.createElementNS(SVG, name);
  for (const [k, v] of Object.entries(attributes)) el.setAttribute(k, String(v));
  if (text != null) el.textContent = text;
  parent.append(el);
  return el;
}

const fixed = (v) => Math.round(v * 10) / 10;

// Draws `plot` (the JSON of Session.plot) into `svg`, replacing what it showed.
export function drawReviewPlot(svg, plot) {
  svg.replaceChildren();
  svg.setAttribute('viewBox', `0 0 ${plot.width} ${plot.height}`);
  svg.setAttribute('width', plot.width);
  svg.setAttribute('height', plot.height);
  const [left, top, right, bottom] = plot.area;
  // Everything drawn is described by the text alternative; the parts stay out of the tree.
  const drawing = node(svg, 'g', { 'aria-hidden': 'true', class: 'plot' });
  node(drawing, 'rect', { x: left, y: top, width: right - left, height: bottom - top, class: 'area' });
  for (const t of plot.dioptres.ticks) {
    node(drawing, 'line', { x1: left - 4, y1: fixed(t.at), x2: right, y2: fixed(t.at), class: 'grid' });
    node(drawing, 'text', { x: left - 6, y: fixed(t.at), class: 'tick left' }, t.label);
  }
  for (const t of plot.degrees.ticks) {
    node(drawing, 'line', { x1: right, y1: fixed(t.at), x2: right + 4, y2: fixed(t.at), class: 'axis' });
    node(drawing, 'text', { x: right + 6, y: fixed(t.at), class: 'tick right' }, t.label);
  }
  for (const t of plot.steps.ticks) {
    node(drawing, 'line', { x1: fixed(t.at), y1: bottom, x2: fixed(t.at), y2: bottom + 4, class: 'axis' });
    node(drawing, 'text', { x: fixed(t.at), y: bottom + 15, class: 'tick bottom' }, t.label);
  }
  node(drawing, 'line', { x1: left, y1: fixed(plot.zeroY), x2: right, y2: fixed(plot.zeroY), class: 'zero' });
  // Scale titles along the left and right edges, the steps' under the scale's right end.
  const middle = (top + bottom) / 2;
  node(drawing, 'text', { x: 0, y: 0, class: 'title', transform: `translate(11 ${middle}) rotate(-90)` }, plot.dioptres.title);
  node(drawing, 'text', { x: 0, y: 0, class: 'title', transform: `translate(${plot.width - 6} ${middle}) rotate(90)` }, plot.degrees.title);
  node(drawing, 'text', { x: right, y: bottom + 25, class: 'title end' }, plot.steps.title);

  for (const line of LINES) {
    const xy = plot[line.key];
    const points = [];
    for (let i = 0; i < xy.length; i += 2) points.push(`${fixed(xy[i])},${fixed(xy[i + 1])}`);
    node(drawing, 'polyline', {
      points: points.join(' '), fill: 'none', stroke: line.colour, 'stroke-width': 2,
      'stroke-dasharray': line.dash, 'stroke-linejoin': 'round', class: `line ${line.key}`,
    });
  }
  // A question asked: a marked point on the spherical-equivalent line, the answer slanting up
  // to the right from it (all alike, so that neighbours lie side by side), to the left near the
  // right edge so that it stays inside.
  for (const q of plot.questions) {
    const mark = node(drawing, 'g', { class: 'question', transform: `translate(${fixed(q.x)} ${fixed(q.y)})` });
    node(mark, 'circle', { r: 4 });
    if (!q.text) continue;
    const leftward = q.x > right - 110;
    node(mark, 'text', leftward ? { x: -3, y: -7, transform: 'rotate(35)', class: 'end' } : { x: 3, y: -7, transform: 'rotate(-35)' }, q.text);
  }
}
