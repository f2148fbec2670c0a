// The panel beside the window: the case code, the customer's view, 振り返り (the review of a
// case) and 今回の記録 (the sitting's record). Every text, row, plot coordinate and picture
// comes from the window logic's sitting; the panel only shows them and forwards what the
// person asks (a code, a row, a save, a print). Built once the window is interactive.

import { el, svgEl } from './dom.js';
import { drawReviewPlot } from './review_plot.js';
import { StepColumns } from './step_columns.js';

// A table with one header cell per column and an empty body.
function table(id, caption, columns) {
  const head = el('tr', {}, ...columns.map((c) => el('th', { scope: 'col', text: c })));
  return el('table', { id }, el('caption', { text: caption }), el('thead', {}, head), el('tbody'));
}

// A row of texts; `first(cell, text, index)` may fill its first cell itself.
function rowOf(row, i, first) {
  const tr = el('tr');
  row.forEach((text, c) => {
    const cell = el(c === 0 ? 'th' : 'td', c === 0 ? { scope: 'row' } : {});
    if (c === 0 && first) first(cell, text, i);
    else cell.textContent = text;
    tr.append(cell);
  });
  return tr;
}

// Fills the body of `table` with `rows` of texts.
function fillRows(tableEl, rows, first = null) {
  tableEl.tBodies[0].replaceChildren(...rows.map((row, i) => rowOf(row, i, first)));
}

// The steps of a case in groups of rows (tbody), each skipped by the page while out of view: a
// few groups to look at for what shows, however many steps the case has.
const STEPS_GROUPED = 50;

// Adds `rows` to the steps' last group, and new groups as it fills; `fresh`: in place of all.
function addStepRows(tableEl, rows, fresh) {
  if (fresh) {
    for (const body of [...tableEl.tBodies]) body.remove();
    tableEl.append(el('tbody'));
  }
  let body = tableEl.tBodies[tableEl.tBodies.length - 1];
  for (const row of rows) {
    if (body.rows.length === STEPS_GROUPED) tableEl.append((body = el('tbody')));
    body.append(rowOf(row, 0, null));
  }
}

// Loads the panel's style sheet; resolves once it applies, so that the panel never shows
// unstyled.
function loadStyle() {
  const link = el('link', { rel: 'stylesheet', href: 'panel.css' });
  const loaded = new Promise((resolve) => {
    link.addEventListener('load', resolve);
    link.addEventListener('error', resolve);
  });
  document.head.append(link);
  return loaded;
}

export class RecordPanel {
  // host.sitting(): the page's sitting, null after the end; host.rebuild(): builds the window
  // anew after the sitting put a fresh window in place (a new code).
  static async create(Trainer, host) {
    await loadStyle();
    return new RecordPanel(Trainer, host);
  }

  constructor(Trainer, host) {
    this.host = host;
    const t = (this.texts = JSON.parse(Trainer.PageSitting.panelTexts()));
    this.open = true;
    this.shown = {}; // what each part last drew, to redraw only what changed
    this.message = '';

    this.toggle = el('button', { type: 'button', id: 'RecordPanelToggle', 'aria-expanded': 'true', 'aria-controls': 'RecordPanelBody', text: t.close });
    this.announcer = el('p', { id: 'EndAnnouncement', class: 'visually-hidden', 'aria-live': 'polite' });

    // The sitting kept from the last time, offered until chosen or the window's first input
    // (no dialog, and the focus stays where it is); what the storage could not do.
    this.resumeButton = el('button', { type: 'button', id: 'ResumeSitting', text: t.resumeSitting, 'aria-describedby': 'ResumeOfferText' });
    this.startAnew = el('button', { type: 'button', id: 'StartAnew', text: t.startAnew, 'aria-describedby': 'ResumeOfferText' });
    this.offer = el('section', { id: 'ResumeOffer', 'aria-labelledby': 'ResumeOfferText', hidden: true },
      el('p', { id: 'ResumeOfferText', text: t.resumeOffer }), el('div', { class: 'row' }, this.resumeButton, this.startAnew));
    this.storageMessage = el('p', { id: 'StorageMessage', role: 'status', hidden: true });

    // 名前: optional; the sitting keeps it cleaned (panel().name), shown back once typed.
    this.name = el('input', { id: 'TraineeName', type: 'text', autocomplete: 'off', spellcheck: 'false', maxlength: '40' });
    const namePart = el('div', { class: 'row', id: 'TraineeNamePart' },
      el('label', { for: 'TraineeName', text: t.traineeName }), this.name);

    this.code = el('p', { id: 'CaseCode' });
    this.input = el('input', { id: 'CaseCodeInput', type: 'text', autocomplete: 'off', spellcheck: 'false', autocapitalize: 'characters', 'aria-describedby': 'CaseCodeMessage' });
    this.start = el('button', { type: 'button', id: 'CaseCodeStart', text: t.caseCodeStart });
    this.codeMessage = el('p', { id: 'CaseCodeMessage', role: 'alert' });
    // The question before a new code abandons the customer being measured, asked in the panel.
    this.questionText = el('p', { id: 'AbandonQuestionText' });
    this.abandonYes = el('button', { type: 'button', id: 'AbandonYes', text: t.yes, 'aria-describedby': 'AbandonQuestionText' });
    this.abandonNo = el('button', { type: 'button', id: 'AbandonNo', text: t.no, 'aria-describedby': 'AbandonQuestionText' });
    this.question = el('div', { id: 'AbandonQuestion', role: 'group', 'aria-labelledby': 'AbandonQuestionText', hidden: true },
      this.questionText, el('div', { class: 'row' }, this.abandonYes, this.abandonNo));
    const codePart = el('section', { id: 'CaseCodePart', 'aria-label': t.caseCode },
      namePart,
      this.code,
      el('div', { class: 'row' }, el('label', { for: 'CaseCodeInput', text: t.caseCodeInput }), this.input, this.start),
      this.codeMessage, this.question);

    // ヒント: the expert's next step, on request; the text is announced as it changes.
    this.hintButton = el('button', { type: 'button', id: 'HintButton', text: t.hint, 'aria-describedby': 'HintText' });
    this.hintText = el('p', { id: 'HintText', 'aria-live': 'polite' });
    this.hintPart = el('section', { id: 'HintPart', 'aria-label': t.hint }, el('div', { class: 'row' }, this.hintButton), this.hintText);

    const canvas = (id) => el('canvas', { id, role: 'img', width: 1, height: 1 });
    this.single = canvas('PatientView');
    this.front = canvas('PatientViewFront');
    this.back = canvas('PatientViewBack');
    this.faceCaptions = [el('figcaption', { id: 'PatientViewFrontCaption', text: t.front }),
      el('figcaption', { id: 'PatientViewBackCaption', text: t.back })];
    this.faces = el('div', { class: 'faces' },
      el('figure', {}, this.front, this.faceCaptions[0]),
      el('figure', {}, this.back, this.faceCaptions[1]));
    this.viewPart = el('section', { id: 'CustomerView', 'aria-labelledby': 'PatientViewCaption' },
      el('h2', { id: 'PatientViewCaption', text: t.customerView }), this.single, this.faces);

    this.reviewHidden = el('p', { id: 'ReviewHidden', text: t.reviewHidden });
    this.plot = svgEl('svg', { id: 'ReviewPlot', role: 'img', 'aria-label': t.review, 'aria-describedby': 'ReviewPlotText' });
    this.plotText = el('div', { id: 'ReviewPlotText', class: 'visually-hidden' });
    this.steps = table('ReviewSteps', t.reviewSteps, t.reviewColumns);
    this.summary = el('dl', { id: 'ReviewSummary' });
    this.stepsScroll = el('div', { class: 'scroll', tabindex: '0', role: 'group', 'aria-label': t.reviewSteps }, this.steps);
    // The steps' columns for the width they have, worked out anew when that changes.
    this.stepColumns = new StepColumns(this.steps);
    this.stepsWidth = 0;
    new ResizeObserver(([entry]) => {
      this.stepsWidth = entry.contentRect.width;
      if (this.stepsWidth > 0) this.stepColumns.apply(this.stepsWidth);
    }).observe(this.stepsScroll);
    // After the end: the checks of the procedure, the expert's figures beside the trainee's, its steps.
    this.checks = el('ul', { id: 'ProcedureReview', 'aria-label': t.procedureReview });
    this.expertSummary = table('ExpertSummary', t.expertSummary, t.expertSummaryColumns);
    this.expertSteps = table('ExpertSteps', t.expertSteps, t.expertColumns);
    this.afterEnd = el('div', { class: 'after-end' },
      el('h3', { text: t.procedureReview }), this.checks,
      this.expertSummary,
      el('div', { class: 'scroll', tabindex: '0', role: 'group', 'aria-label': t.expertSteps }, this.expertSteps));
    this.reviewShown = el('div', { class: 'review' }, this.plot, this.plotText, this.summary, this.stepsScroll, this.afterEnd);
    const reviewPart = el('section', { id: 'CaseReview', 'aria-labelledby': 'CaseReviewHeading' },
      el('h2', { id: 'CaseReviewHeading', text: t.review }), this.reviewHidden, this.reviewShown);

    this.table = table('SessionTable', t.sitting, t.sittingColumns);
    // Printed only, below the record: the procedure's figures per customer (filled when printing).
    this.procedure = table('SittingProcedure', t.procedureFigures, t.procedureColumns);
    // The printed record's line above the table: the name, the code and the date.
    this.heading = el('p', { id: 'RecordHeading' });
    this.scores = el('p', { id: 'ScoreSummary' });
    this.save = el('button', { type: 'button', id: 'SaveCsv', text: t.saveCsv });
    this.print = el('button', { type: 'button', id: 'PrintRecord', text: t.printRecord });
    this.saveMessage = el('p', { id: 'SaveCsvMessage', 'aria-live': 'polite' });
    this.unsavedNote = el('p', { id: 'UnsavedNote', text: t.unsavedNote });
    // 記録を消す (a shared computer), asked here first: はい removes every kept sitting.
    this.deleteKept = el('button', { type: 'button', id: 'DeleteKept', text: t.deleteKept, hidden: true });
    this.deleteYes = el('button', { type: 'button', id: 'DeleteKeptYes', text: t.yes, 'aria-describedby': 'DeleteKeptQuestion' });
    this.deleteNo = el('button', { type: 'button', id: 'DeleteKeptNo', text: t.no, 'aria-describedby': 'DeleteKeptQuestion' });
    this.deleteAsk = el('div', { id: 'DeleteKeptAsk', role: 'group', 'aria-labelledby': 'DeleteKeptQuestion', hidden: true },
      el('p', { id: 'DeleteKeptQuestion', text: t.deleteKeptQuestion }), el('div', { class: 'row' }, this.deleteYes, this.deleteNo));
    const sittingPart = el('section', { id: 'SittingRecord', 'aria-labelledby': 'SittingHeading' },
      el('h2', { id: 'SittingHeading', text: t.sitting }),
      this.heading,
      el('div', { class: 'scroll', tabindex: '0', role: 'group', 'aria-label': t.sitting }, this.table),
      this.scores,
      el('div', { class: 'printed', id: 'SittingProcedurePart' }, this.procedure),
      el('div', { class: 'row' }, this.save, this.print),
      this.saveMessage, this.unsavedNote, el('div', { class: 'row' }, this.deleteKept), this.deleteAsk);

    this.body = el('div', { id: 'RecordPanelBody' }, this.offer, this.storageMessage, codePart, this.hintPart, this.viewPart, reviewPart, sittingPart);
    this.root = el('aside', { id: 'RecordPanel', 'aria-label': t.panel }, this.toggle, this.announcer, this.body);
    document.body.classList.add('with-record-panel');
    document.querySelector('main').after(this.root);

    this.toggle.addEventListener('click', () => this.setOpen(!this.open));
    this.name.addEventListener('input', () => {
      this.host.sitting()?.setTraineeName(this.name.value);
      this.host.kept();
    });
    this.resumeButton.addEventListener('click', () => this.host.resume());
    this.startAnew.addEventListener('click', () => {
      // The button goes: the focus stays in the panel.
      this.input.focus();
      this.host.store()?.withdraw();
    });
    this.deleteKept.addEventListener('click', () => this.askDelete(true));
    this.deleteNo.addEventListener('click', () => this.askDelete(false));
    this.deleteYes.addEventListener('click', async () => {
      this.askDelete(false);
      await this.host.store()?.deleteAll();
      this.draw();
    });
    this.deleteAsk.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') {
        e.preventDefault();
        this.askDelete(false);
      }
    });
    this.name.addEventListener('change', () => this.draw());
    this.start.addEventListener('click', () => this.startCode());
    this.abandonYes.addEventListener('click', () => this.answerAbandon(true));
    this.abandonNo.addEventListener('click', () => this.answerAbandon(false));
    this.question.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') {
        e.preventDefault();
        this.answerAbandon(false);
      }
    });
    this.input.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') {
        // Not also a click on the button the question focuses.
        e.preventDefault();
        this.startCode();
      }
    });
    this.hintButton.addEventListener('click', () => this.askHint());
    this.save.addEventListener('click', () => this.saveCsv());
    this.print.addEventListener('click', () => this.printRecord());
    window.addEventListener('afterprint', () => document.documentElement.classList.remove('printing-record'));
    // Leaving the page with a record neither saved nor kept asks first, as pages do; a kept one
    // is offered again at the next visit, and a learning system keeps its own.
    window.addEventListener('beforeunload', (e) => {
      if (this.host.sitting()?.unsaved() && !this.host.store()?.keeping && !this.host.lmsKeeps()) {
        e.preventDefault();
        e.returnValue = '';
      }
    });
    this.root.inert = !host.sitting();
    this.draw();
    this.drawKept();
  }

  // The offer, what the storage says and 記録を消す, as the store has them now.
  drawKept() {
    const store = this.host.store();
    const offering = !!store?.offered;
    if (!offering && this.offer.contains(document.activeElement)) this.input.focus();
    this.offer.hidden = !offering;
    const message = store?.message ?? '';
    if (this.storageMessage.textContent !== message) this.storageMessage.textContent = message;
    this.storageMessage.hidden = !message;
    this.deleteKept.hidden = !store;
    if (!store) this.deleteAsk.hidden = true;
  }

  askDelete(asking) {
    this.deleteAsk.hidden = !asking;
    (asking ? this.deleteNo : this.deleteKept).focus();
  }

  setOpen(open) {
    this.open = open;
    this.toggle.setAttribute('aria-expanded', String(open));
    this.toggle.textContent = open ? this.texts.close : this.texts.open;
    this.body.hidden = !open;
    if (open) this.draw();
  }

  // After every action on the window: announces the end of a case when the action ended one
  // (folded too), and shows what changed.
  refresh() {
    const announce = this.host.sitting()?.announcement();
    if (announce) {
      this.announcer.textContent = '';
      // A new text in the live region, even when it repeats the last one.
      requestAnimationFrame(() => (this.announcer.textContent = announce));
    }
    this.draw();
  }

  // Reads the sitting's panel data and shows what changed; announces nothing (the end was
  // announced after the action that ended the case, not again when the panel redraws).
  draw() {
    const sitting = this.host.sitting();
    this.host.kept();
    this.drawKept();
    if (!sitting || !this.open) return;
    // The review's rows come only after those shown already (a case's steps are only added).
    const data = JSON.parse(sitting.panel(this.shown.reviewCase ?? '', this.shown.reviewRows ?? 0));
    this.code.textContent = data.code;
    this.heading.textContent = data.heading;
    // What the sitting kept, once the field is left (spaces trimmed, control characters gone).
    if (document.activeElement !== this.name && this.name.value !== data.name) this.name.value = data.name;
    this.codeMessage.textContent = this.message || data.message;
    this.unsavedNote.hidden = !data.unsaved;
    if (this.unsavedNote.textContent !== data.note) this.unsavedNote.textContent = data.note;
    if (data.unsaved) this.saveMessage.textContent = '';
    this.scores.textContent = data.summary;
    this.drawHint(data.hint);
    this.drawRows(data);
    this.drawReview(data.review, data.reviewNote);
    this.drawView(sitting, data.view);
  }

  drawRows(data) {
    const key = JSON.stringify([data.rows, data.current]);
    if (this.shown.rows === key) return;
    this.shown.rows = key;
    fillRows(this.table, data.rows, (cell, text, i) => {
      const choose = el('button', { type: 'button', class: 'choose', 'aria-pressed': String(i === data.current), text });
      choose.addEventListener('click', () => this.chooseCase(i));
      cell.append(choose);
    });
    [...this.table.tBodies[0].rows].forEach((row, i) => {
      row.classList.toggle('current', i === data.current);
      // A click anywhere on a row chooses it, as its button does from the keyboard.
      row.addEventListener('click', (e) => {
        if (!e.target.closest('button')) this.chooseCase(i);
      });
    });
  }

  // The review: a new case drawn whole; a step more of the case shown adds its row, its line of
  // the text alternative and its point of the plot, and writes the summary anew.
  drawReview(review, note) {
    this.reviewHidden.hidden = !!review;
    this.reviewShown.hidden = !review;
    if (!review) {
      if (this.reviewHidden.textContent !== note) this.reviewHidden.textContent = note;
      this.shown.review = null;
      this.shown.reviewCase = null;
      this.shown.reviewRows = 0;
      return;
    }
    const rows = review.from + review.rows.length;
    const key = JSON.stringify([review.case, rows, review.summary]);
    if (this.shown.review === key) return;
    this.shown.review = key;
    const sitting = this.host.sitting();
    if (!sitting) return;
    drawReviewPlot(this.plot, JSON.parse(sitting.plot()));
    // The text alternative in one block per part sent: a new line lays out only its own.
    if (review.from === 0) {
      this.plotText.replaceChildren(el('div', { text: review.plotText }));
      this.stepColumns.reset();
      this.stepColumns.add(review.rows, this.stepsWidth);
      addStepRows(this.steps, review.rows, true);
    } else if (review.rows.length) {
      this.plotText.append(el('div', { text: review.plotText }));
      this.stepColumns.add(review.rows, this.stepsWidth);
      addStepRows(this.steps, review.rows, false);
    }
    this.shown.reviewCase = review.case;
    this.shown.reviewRows = rows;
    this.drawAfterEnd(review);
    const summary = JSON.stringify(review.summary);
    if (this.shown.summary === summary) return;
    this.shown.summary = summary;
    this.summary.replaceChildren(...review.summary.flatMap(([heading, text]) => [el('dt', { text: heading }), el('dd', { text })]));
  }

  drawHint(hint) {
    this.hintPart.hidden = !hint.offered;
    if (this.hintText.textContent !== hint.text) this.hintText.textContent = hint.text;
  }

  askHint() {
    const sitting = this.host.sitting();
    if (!sitting) return;
    const text = sitting.hint();
    // The same hint again is announced again.
    this.hintText.textContent = '';
    this.draw();
    requestAnimationFrame(() => (this.hintText.textContent = text));
  }

  // The checks (each step they point at shows that step in the steps when chosen) and the
  // expert, for an ended case.
  drawAfterEnd(review) {
    this.afterEnd.hidden = !review.checks;
    if (!review.checks) return;
    this.checks.replaceChildren(...review.checks.map((k) => {
      const head = el('p', { class: 'check-head' },
        el('strong', { text: k.name }), '：', el('span', { class: k.good ? 'good' : 'caution', text: k.verdict }),
        ...(k.detail ? [`（${k.detail}）`] : []));
      const steps = el('div', { class: 'row' }, ...k.steps.map((n) => {
        const b = el('button', { type: 'button', class: 'step', text: `${this.texts.stepNumber}${n}` });
        b.addEventListener('click', () => this.showStep(n));
        return b;
      }));
      return el('li', { class: k.good ? 'good' : 'caution' }, head, el('p', { class: 'why', text: k.why }), steps);
    }));
    fillRows(this.expertSummary, review.expertSummary);
    fillRows(this.expertSteps, review.expertRows);
  }

  // Marks step `n` in the steps and brings it into view.
  showStep(n) {
    const rows = [...this.steps.querySelectorAll('tbody tr')];
    rows.forEach((row, i) => row.classList.toggle('chosen', i === n));
    rows[n]?.scrollIntoView({ block: 'nearest' });
  }

  // The customer's view: fetched only while shown and only when something it depends on changed.
  // Worked out at the start of the frame after the one that shows the action, so that the window
  // answers the trainee's key at once; a key held down meanwhile leaves one picture to work out,
  // of the last setting. The part is busy until then.
  drawView(sitting, view) {
    this.viewPart.hidden = !view.shown;
    if (!view.shown || this.shown.view === view.version) return;
    this.shown.view = view.version;
    if (this.viewPending) return;
    this.viewPending = true;
    this.viewPart.setAttribute('aria-busy', 'true');
    requestAnimationFrame(() => requestAnimationFrame(() => {
      this.viewPending = false;
      this.viewPart.removeAttribute('aria-busy');
      const now = this.host.sitting();
      if (now && !this.viewPart.hidden) this.paintView(now);
    }));
  }

  // The pictures of the window's setting now, on their canvases.
  paintView(sitting) {
    const pictures = JSON.parse(sitting.customerView());
    const canvases = pictures.length === 2 ? [this.front, this.back] : [this.single];
    this.single.hidden = pictures.length === 2;
    this.faces.hidden = pictures.length !== 2;
    pictures.forEach((p, i) => {
      const canvas = canvases[i];
      // A copy at once: the view into the module's memory lasts only until its next call.
      const bytes = new Uint8ClampedArray(sitting.pictureBytes(i));
      canvas.width = p.width;
      canvas.height = p.height;
      canvas.getContext('2d').putImageData(new ImageData(bytes, p.width, p.height), 0, 0);
      canvas.setAttribute('aria-label', p.description);
      if (p.caption !== undefined) {
        // The face in front of the eye now, as the core marks it.
        this.faceCaptions[i].textContent = p.caption;
        this.faceCaptions[i].classList.toggle('in-front', p.inFront);
      }
    });
  }

  chooseCase(index) {
    this.host.sitting()?.chooseCase(index);
    this.draw();
  }

  startCode() {
    const sitting = this.host.sitting();
    if (!sitting) return;
    this.afterCode(sitting.startCode(this.input.value, false));
  }

  answerAbandon(yes) {
    const sitting = this.host.sitting();
    if (!sitting) return;
    this.afterCode(sitting.answerAbandon(yes));
    if (!yes) this.input.focus();
  }

  // After an attempt at a code: the question shown (いいえ focused) or gone, the message the
  // core gives, or the fresh window.
  afterCode(result) {
    const panel = JSON.parse(this.host.sitting().panel());
    const asking = result === 'confirm';
    this.questionText.textContent = panel.question;
    this.question.hidden = !asking;
    if (asking) this.abandonNo.focus();
    this.message = panel.message;
    if (result === 'ok') {
      this.input.value = '';
      this.shown = {};
      this.host.rebuild();
      this.draw();
    } else {
      // The same message again is announced again.
      this.codeMessage.textContent = '';
      requestAnimationFrame(() => (this.codeMessage.textContent = this.message));
    }
  }

  saveCsv() {
    const sitting = this.host.sitting();
    if (!sitting) return;
    try {
      const bytes = new Uint8Array(sitting.csvBytes()); // a copy, BOM and all
      const url = URL.createObjectURL(new Blob([bytes], { type: 'text/csv;charset=utf-8' }));
      const a = el('a', { href: url, download: sitting.csvFileName(), hidden: true });
      document.body.append(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(url), 10000);
      sitting.markSaved();
      this.saveMessage.textContent = this.texts.saved;
    } catch (e) {
      this.saveMessage.textContent = `${this.texts.saveFailed}：${e.message}`;
    }
    this.draw();
  }

  printRecord() {
    this.draw(); // the printed line carries the name as now typed
    const sitting = this.host.sitting();
    if (sitting) fillRows(this.procedure, JSON.parse(sitting.procedureTable()));
    document.documentElement.classList.add('printing-record');
    window.print();
  }

  // The program has ended (END): its record ended with it. The panel stays as it was, inert,
  // until a new start.
  ended() {
    this.root.inert = true;
  }

  // A kept sitting was played into a fresh window: drawn whole, its name in the field.
  resumed() {
    this.shown = {};
    this.question.hidden = true;
    this.message = '';
    const sitting = this.host.sitting();
    if (sitting) this.name.value = JSON.parse(sitting.panel()).name;
    this.draw();
  }

  started() {
    this.root.inert = false;
    // The same trainee goes on in the new start.
    this.host.sitting()?.setTraineeName(this.name.value);
    this.shown = {};
    this.draw();
  }
}
