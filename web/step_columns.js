// The steps of a case (ReviewSteps) grow by a row at every action. Laid out as one table, the
// browser lays out every row again for each row added (tens of milliseconds at 500 steps), so
// each row is laid out on its own, as a grid of the same columns (panel.css), and the columns'
// widths are worked out here the way a table would: each at least as wide as its widest part
// that may not be broken (the core marks where a cell may go on to another line), the rest of
// the width shared by how much more each column would take to show its texts on one line. A new
// row changes them only when it holds a wider text than any before it.

// Where the core lets a cell break (a space or a zero-width space); the no-break spaces and
// word joiners inside a part hold it together.
const BREAK = /[ \u200B]/;
const JOINERS = /[\u200B\u2060]/g;
// A cell's padding and its right border, as panel.css draws them, and a pixel for rounding; a
// row's left border.
const CELL_EXTRA = 3 + 3 + 1 + 1;
const ROW_EXTRA = 1;

export class StepColumns {
  constructor(table) {
    this.table = table;
    this.context = document.createElement('canvas').getContext('2d');
    this.fonts = null;
    this.reset();
  }

  // A new case: the widths start from the headings alone.
  reset() {
    const count = this.table.tHead.rows[0].cells.length;
    this.least = new Array(count).fill(0);
    this.most = new Array(count).fill(0);
    this.measured = false;
    this.shown = '';
  }

  width(text, font) {
    if (this.context.font !== font) this.context.font = font;
    return this.context.measureText(text).width;
  }

  // Takes the texts of `rows` (lists of cell texts) into the widths; the first cell of a row is
  // its heading, in its own font.
  measure(rows) {
    this.fontsOf();
    for (const row of rows) {
      row.forEach((text, c) => {
        const font = c === 0 ? this.fonts.heading : this.fonts.cell;
        let least = 0;
        for (const part of text.split(BREAK)) if (part) least = Math.max(least, this.width(part.replace(JOINERS, ''), font));
        this.least[c] = Math.max(this.least[c], least);
        this.most[c] = Math.max(this.most[c], this.width(text.replace(JOINERS, ''), font));
      });
    }
  }

  // The fonts the cells are drawn in (the headings, the step number's among them, in bold), read
  // once the table is styled.
  fontsOf() {
    if (this.fonts) return;
    const head = this.table.tHead.rows[0].cells[0];
    const style = getComputedStyle(head);
    const body = `${style.fontSize} ${style.fontFamily}`;
    this.fonts = { heading: `bold ${body}`, cell: body };
  }

  // The headings go on to another line between any two characters, as Japanese does.
  measureHeadings() {
    this.fontsOf();
    [...this.table.tHead.rows[0].cells].forEach((th, c) => {
      const text = th.textContent;
      let least = 0;
      for (const ch of text) least = Math.max(least, this.width(ch, this.fonts.heading));
      this.least[c] = Math.max(this.least[c], least);
      this.most[c] = Math.max(this.most[c], this.width(text, this.fonts.heading));
    });
    this.measured = true;
  }

  // Adds `rows` to the widths and writes the columns for a view `available` pixels wide.
  add(rows, available) {
    if (!this.measured) this.measureHeadings();
    this.measure(rows);
    this.apply(available);
  }

  apply(width) {
    if (!this.measured) return;
    const available = width - ROW_EXTRA;
    const least = this.least.map((w) => w + CELL_EXTRA);
    const most = this.most.map((w, c) => Math.max(w + CELL_EXTRA, least[c]));
    const sumLeast = least.reduce((a, b) => a + b, 0);
    const sumMost = most.reduce((a, b) => a + b, 0);
    let widths;
    if (available >= sumMost) {
      widths = most.map((w) => w + ((available - sumMost) * w) / sumMost);
    } else if (available > sumLeast) {
      widths = least.map((w, c) => w + ((available - sumLeast) * (most[c] - w)) / (sumMost - sumLeast));
    } else {
      widths = least; // wider than the view: it scrolls sideways, the step number staying
    }
    // Rounded down, so that the columns never add up to more than the view.
    const template = widths.map((w) => `${Math.max(1, Math.floor(w * 100) / 100)}px`).join(' ');
    if (template === this.shown) return;
    this.shown = template;
    this.table.style.setProperty('--step-columns', template);
  }
}
