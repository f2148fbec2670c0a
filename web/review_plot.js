// 振り返り's plot as SVG: the window logic works out every coordinate, tick and label for the
// size asked (Session.plot); this only draws them.

import { svgEl } from './dom.js';

// The three lines, each with its own colour and dash so that they differ without colour too.
export const LINES = [
  { key: 'equivalent', colour: 'rgb(0, 90, 200)', dash: '' },
  { key: 'cylinder', colour: 'rgb(200, 60, 0)', dash: '6 3' },
  { key: 'axisDifference', colour: 'rgb(0, 130, 60)', dash: '2 3' },
];

const fixed = (v) => Math.round(v * 10) / 10;

// Draws `plot` (the JSON of Session.plot) into `svg`, replacing what it showed.
export function drawReviewPlot(svg, plot) {
  svg.replaceChildren();
  svg.setAttribute('viewBox', `0 0 ${plot.width} ${plot.height}`);
  svg.setAttribute('width', plot.width);
  svg.setAttribute('height', plot.height);
  const [left, top, right, bottom] = plot.area;
  // Everything drawn is described by the text alternative; the parts stay out of the tree.
  const drawing = svg.appendChild(svgEl('g', { 'aria-hidden': 'true', class: 'plot' }));
  drawing.append(svgEl('rect', { x: left, y: top, width: right - left, height: bottom - top, class: 'area' }));
  for (const t of plot.dioptres.ticks) {
    drawing.append(
      svgEl('line', { x1: left - 4, y1: fixed(t.at), x2: right, y2: fixed(t.at), class: 'grid' }),
      svgEl('text', { x: left - 6, y: fixed(t.at), class: 'tick left', text: t.label }));
  }
  for (const t of plot.degrees.ticks) {
    drawing.append(
      svgEl('line', { x1: right, y1: fixed(t.at), x2: right + 4, y2: fixed(t.at), class: 'axis' }),
      svgEl('text', { x: right + 6, y: fixed(t.at), class: 'tick right', text: t.label }));
  }
  for (const t of plot.steps.ticks) {
    drawing.append(
      svgEl('line', { x1: fixed(t.at), y1: bottom, x2: fixed(t.at), y2: bottom + 4, class: 'axis' }),
      svgEl('text', { x: fixed(t.at), y: bottom + 15, class: 'tick bottom', text: t.label }));
  }
  drawing.append(svgEl('line', { x1: left, y1: fixed(plot.zeroY), x2: right, y2: fixed(plot.zeroY), class: 'zero' }));
  // Scale titles along the left and right edges, the steps' under the scale's right end.
  const middle = (top + bottom) / 2;
  drawing.append(
    svgEl('text', { x: 0, y: 0, class: 'title', transform: `translate(11 ${middle}) rotate(-90)`, text: plot.dioptres.title }),
    svgEl('text', { x: 0, y: 0, class: 'title', transform: `translate(${plot.width - 6} ${middle}) rotate(90)`, text: plot.degrees.title }),
    svgEl('text', { x: right, y: bottom + 25, class: 'title end', text: plot.steps.title }));

  for (const line of LINES) {
    const xy = plot[line.key];
    const points = [];
    for (let i = 0; i < xy.length; i += 2) points.push(`${fixed(xy[i])},${fixed(xy[i + 1])}`);
    drawing.append(svgEl('polyline', {
      points: points.join(' '), fill: 'none', stroke: line.colour, 'stroke-width': 2,
      'stroke-dasharray': line.dash, 'stroke-linejoin': 'round', class: `line ${line.key}`,
    }));
  }
  // A question asked: a marked point on the spherical-equivalent line, the answer slanting up
  // to the right from it (all alike, so that neighbours lie side by side), to the left near the
  // right edge so that it stays inside.
  for (const q of plot.questions) {
    const mark = drawing.appendChild(svgEl('g', { class: 'question', transform: `translate(${fixed(q.x)} ${fixed(q.y)})` }, svgEl('circle', { r: 4 })));
    if (!q.text) continue;
    const leftward = q.x > right - 110;
    mark.append(svgEl('text', leftward ? { x: -3, y: -7, transform: 'rotate(35)', class: 'end', text: q.text } : { x: 3, y: -7, transform: 'rotate(-35)', text: q.text }));
  }
}
