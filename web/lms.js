// The page opened from a school's learning system (SCORM 1.2): it finds the system's API, tells
// it who is measuring and how each case ended, and finishes the attempt at END or on leaving.
// What is reported comes from the window logic (the sitting's lmsReport); this module only
// carries it to the API and checks every call. Outside a learning system there is no link and
// the page is as it always is.

// How many parent windows the search climbs, as learning systems expect of their content.
const LEVELS = 7;

// The API object of the first window at or above `win` that has one; null where a window of
// another origin stands in the way.
function searchUp(win) {
  let w = win;
  for (let level = 0; w && level <= LEVELS; ++level) {
    try {
      if (w.API) return w.API;
      if (!w.parent || w.parent === w) return null;
    } catch {
      return null;
    }
    w = w.parent;
  }
  return null;
}

// The SCORM 1.2 API the standard way: in this window's parents, else in those of the window that
// opened it (a learning system that launches content in a new window).
export function findApi(win = window) {
  const api = searchUp(win);
  if (api) return api;
  try {
    return win.opener ? searchUp(win.opener) : null;
  } catch {
    return null;
  }
}

export class LmsLink {
  // The link to the learning system that opened this page, begun; null outside one.
  static open(win = window) {
    const api = findApi(win);
    if (!api) return null;
    const link = new LmsLink(api);
    link.initialize();
    return link;
  }

  constructor(api) {
    this.api = api;
    this.active = false; // between LMSInitialize and LMSFinish
    this.student = { name: '', id: '' };
    this.launchData = '';
    this.first = 0; // the number of the first interaction this page writes
    this.sent = 0; // interactions of the sitting written so far
    this.incomplete = true; // the exercise as last reported
    this.startedAt = performance.now();
    this.refusal = 0; // the error of the first call the system refused, until it is said
    this.said = false;
    this.show = null; // shows a refusal once the panel is there
  }

  initialize() {
    this.active = this.call('LMSInitialize');
    if (!this.active) return;
    this.student = { name: this.get('cmi.core.student_name'), id: this.get('cmi.core.student_id') };
    this.launchData = this.get('cmi.launch_data');
    // The sitting in brief the system kept when the student last left, to resume from ('' for none).
    this.suspendData = this.get('cmi.suspend_data', { quiet: true });
    // Interactions written in earlier sessions of the attempt stay; ours follow them. A system
    // that keeps no count starts at 0.
    this.first = Number(this.get('cmi.interactions._count', { quiet: true })) || 0;
    const status = this.get('cmi.core.lesson_status', { quiet: true });
    if (status === '' || status === 'not attempted') this.set('cmi.core.lesson_status', 'incomplete');
  }

  // An API function called and its error checked: true when the system took it.
  call(name, ...args) {
    let result;
    try {
      result = this.api[name](...args.length ? args : ['']);
    } catch {
      this.refuse(101);
      return false;
    }
    const error = this.lastError();
    if (String(result) === 'false' || error !== 0) {
      this.refuse(error || 101);
      return false;
    }
    return true;
  }

  // The system's error for the last call: 0 for none; a system that cannot say is taken to
  // have failed (101, a general exception), never to break the page.
  lastError() {
    try {
      return Number(this.api.LMSGetLastError?.() ?? 0) || 0;
    } catch {
      return 101;
    }
  }

  // A value of the data model; '' when the system has none. `quiet`: an element a system may
  // not keep, whose absence is nothing to tell the student.
  get(element, { quiet = false } = {}) {
    let value;
    try {
      value = this.api.LMSGetValue(element);
    } catch {
      if (!quiet) this.refuse(101);
      return '';
    }
    const error = this.lastError();
    if (error !== 0) {
      if (!quiet) this.refuse(error);
      return '';
    }
    return String(value ?? '');
  }

  set(element, value) {
    return this.active && this.call('LMSSetValue', element, String(value));
  }

  // The first refusal is said once; the trainer goes on working either way.
  refuse(error) {
    if (this.refusal || this.said) return;
    this.refusal = error;
    this.show?.(error);
  }

  // Shows a refusal with `say(error)` from now on (at once for one already had).
  whenRefused(say) {
    this.show = (error) => {
      this.said = true;
      say(error);
    };
    if (this.refusal && !this.said) this.show(this.refusal);
  }

  // The sitting resumed from the suspend data: its ended cases (`report`, lmsReport) are those the
  // last interactions written hold; the next ended case follows them.
  resumed(report) {
    this.sent = report.interactions.length;
    this.first = Math.max(0, this.first - this.sent);
  }

  // The sitting in brief kept for the student's next session, written with the next commit.
  suspend(brief) {
    if (brief !== undefined) this.set('cmi.suspend_data', brief);
  }

  // Everything set so far sent to the system (a student who closes the tab may not come back).
  commit(brief) {
    if (!this.active) return;
    this.suspend(brief);
    this.call('LMSCommit');
  }

  // The sitting's report (lmsReport): the ended cases not written yet, the score and the status,
  // and the sitting in brief.
  report(report, brief) {
    if (!this.active) return;
    report.interactions.slice(this.sent).forEach((it, k) => {
      const at = `cmi.interactions.${this.first + this.sent + k}.`;
      this.set(`${at}id`, it.id);
      this.set(`${at}type`, 'performance');
      this.set(`${at}objectives.0.id`, it.mode);
      this.set(`${at}student_response`, it.response);
      this.set(`${at}result`, it.score);
      this.set(`${at}latency`, it.latency);
    });
    this.sent = report.interactions.length;
    if (report.score !== '') {
      this.set('cmi.core.score.raw', report.score);
      this.set('cmi.core.score.min', 0);
      this.set('cmi.core.score.max', 100);
    }
    this.set('cmi.core.lesson_status', report.status);
    this.incomplete = report.status === 'incomplete';
    this.suspend(brief);
    this.call('LMSCommit');
  }

  // The end of the attempt: the time spent (as `timespan(ms)` writes it), the sitting in brief and
  // LMSFinish; the attempt is suspended while the exercise is not complete. Once only.
  finish(timespan, brief) {
    if (!this.active) return;
    this.suspend(brief);
    if (timespan) this.set('cmi.core.session_time', timespan(performance.now() - this.startedAt));
    this.set('cmi.core.exit', this.incomplete === false ? '' : 'suspend');
    this.call('LMSFinish');
    this.active = false;
  }
}
