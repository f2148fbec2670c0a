// 振り返り's plot as SVG: the window logic works out every stroke, line, ring and text with its
// colour and style, at the size both views draw it (PageSitting.plot); this only draws them. The
// picture keeps that size where the panel has room and scales down where it has not.

import { svgEl } from './dom.js';

const stroke = (pen) => ({
  stroke: pen.stroke, 'stroke-width': pen.width, 'stroke-dasharray': pen.dash || 'none', 'stroke-linecap': 'butt',
});

// Draws `plot` (the JSON of PageSitting.plot) into `svg`, replacing what it showed.
export function drawReviewPlot(svg, plot) {
  svg.replaceChildren();
  svg.setAttribute('viewBox', `0 0 ${plot.width} ${plot.height}`);
  svg.setAttribute('width', plot.width);
  svg.setAttribute('height', plot.height);
  // Everything drawn is described by the text alternative; the parts stay out of the tree.
  const drawing = svg.appendChild(svgEl('g', { 'aria-hidden': 'true', class: 'plot' }));
  drawing.append(svgEl('rect', { x: 0, y: 0, width: plot.width, height: plot.height, fill: plot.paper, class: 'paper' }));
  for (const s of plot.strokes) drawing.append(svgEl('line', { x1: s.x1, y1: s.y1, x2: s.x2, y2: s.y2, ...stroke(s), class: 'stroke' }));
  for (const line of plot.lines) {
    const points = [];
    for (let i = 0; i < line.points.length; i += 2) points.push(`${line.points[i]},${line.points[i + 1]}`);
    drawing.append(svgEl('polyline', { points: points.join(' '), fill: 'none', ...stroke(line), 'stroke-linejoin': 'round', class: 'line' }));
  }
  for (const r of plot.rings) drawing.append(svgEl('circle', { cx: r.x, cy: r.y, r: r.r, fill: r.fill, ...stroke(r), class: 'question' }));
  // Each text from the start the core placed it at (it measured them in the font drawn here);
  // the answers' labels are the last.
  const firstAnswer = plot.texts.length - plot.answers;
  plot.texts.forEach((t, i) => {
    drawing.append(svgEl('text', {
      x: t.x, y: t.y, 'dominant-baseline': 'central', 'font-size': t.size, fill: t.fill,
      ...(t.angle ? { transform: `rotate(${t.angle} ${t.x} ${t.y})` } : {}),
      ...(i >= firstAnswer ? { class: 'answer' } : {}), text: t.text,
    }));
  });
}
